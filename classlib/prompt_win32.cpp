#include <windows.h>

#include "classlib/prompt.h"
#include "classlib/wide.h"

namespace classlib {

namespace {

UINT ButtonsFlag(PromptButtons b) {
  switch (b) {
    case PromptButtons::Ok: return MB_OK;
    case PromptButtons::OkCancel: return MB_OKCANCEL;
    case PromptButtons::YesNo: return MB_YESNO;
    case PromptButtons::YesNoCancel: return MB_YESNOCANCEL;
    case PromptButtons::RetryCancel: return MB_RETRYCANCEL;
    case PromptButtons::AbortRetryIgnore: return MB_ABORTRETRYIGNORE;
  }
  return MB_OK;
}

UINT IconFlag(PromptIcon i) {
  switch (i) {
    case PromptIcon::None: return 0;
    case PromptIcon::Information: return MB_ICONINFORMATION;
    case PromptIcon::Warning: return MB_ICONWARNING;
    case PromptIcon::Error: return MB_ICONERROR;
    case PromptIcon::Question: return MB_ICONQUESTION;
  }
  return 0;
}

class BoxPrompts : public PromptService {
 public:
  PromptResult Message(const MessageRequest& r) override {
    const UINT flags = ButtonsFlag(r.buttons) | IconFlag(r.icon) | (r.systemModal ? MB_SYSTEMMODAL : MB_APPLMODAL);
    const int answer = MessageBoxW(GetActiveWindow(), Widen(r.text).c_str(), Widen(r.caption).c_str(), flags);
    return answer == 0 ? PromptResult::Cancel : static_cast<PromptResult>(answer);
  }
};

}  // namespace

PromptService& PlatformPrompts() {
  static BoxPrompts service;
  return service;
}

}  // namespace classlib
