#include "classlib/prompt.h"

#include <stdexcept>

namespace classlib {

PromptService& PlatformPrompts();

namespace {

PromptService*& Installed() {
  static PromptService* service = nullptr;
  return service;
}

}  // namespace

bool PromptService::OpenFile(const FileOpenRequest& request, std::string&) {
  throw std::logic_error("unscripted file dialog: " + request.title);
}

bool PromptService::OpenFiles(const FileOpenRequest& request, std::vector<std::string>&) {
  throw std::logic_error("unscripted file dialog: " + request.title);
}

bool PromptService::SelectFolder(const FolderRequest& request, std::string&) {
  throw std::logic_error("unscripted folder dialog: " + request.prompt);
}

bool PromptService::InputText(const InputRequest& request, std::string&) {
  throw std::logic_error("unscripted input box: " + request.prompt);
}

PromptService& Prompts() { return Installed() ? *Installed() : PlatformPrompts(); }

void SetPromptsForTesting(PromptService* service) { Installed() = service; }

#ifndef _WIN32
// The native build has no screen: a prompt there is a test that forgot its script.
PromptService& PlatformPrompts() {
  struct NoScreen : PromptService {
    PromptResult Message(const MessageRequest& request) override {
      throw std::logic_error("unscripted message box: " + request.text);
    }
  };
  static NoScreen service;
  return service;
}
#endif

}  // namespace classlib
