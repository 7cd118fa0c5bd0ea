#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>

#include "classlib/prompt.h"
#include "classlib/wide.h"
#include "tests/support/wait.h"
#include "tests/support/window_test.h"

namespace {

// What the user does in the box once it shows: read the preset, type, press a button.
std::wstring presetSeen;
LONG_PTR editStyleSeen = 0;
std::wstring toType;
WORD buttonToPress = IDOK;

void CALLBACK AnswerInputBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = FindWindowW(L"#32770", L"Passwort erforderlich");
  if (!box) return;
  KillTimer(nullptr, timer);
  HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
  wchar_t text[64] = {};
  GetWindowTextW(edit, text, 64);
  presetSeen = text;
  editStyleSeen = GetWindowLongPtrW(edit, GWL_STYLE);
  SetWindowTextW(edit, toType.c_str());
  SendMessageW(box, WM_COMMAND, buttonToPress, 0);
}

bool AskWithTheRealBox(WORD button, std::string& text, bool masked = false) {
  buttonToPress = button;
  SetTimer(nullptr, 0, 20, AnswerInputBox);
  const testing_support::DialogDeadline deadline("the input box");
  const bool entered = classlib::Prompts().InputText(
      {"Passwort erforderlich", "Bitte geben Sie das Sicherungs-Passwort ein:", masked}, text);
  EXPECT_EQ(deadline.Problem(), "");
  return entered;
}

TEST(InputBox, GivesTheEnteredTextOrKeepsThePresetOnCancel) {
  testing_support::InitWindows();
  toType = classlib::Widen("Geheimnis äß");
  std::string text = "vorher";
  ASSERT_TRUE(AskWithTheRealBox(IDOK, text));
  EXPECT_EQ(presetSeen, L"vorher");
  EXPECT_EQ(text, "Geheimnis äß");
  EXPECT_FALSE(AskWithTheRealBox(IDCANCEL, text));
  EXPECT_EQ(text, "Geheimnis äß");
}

TEST(InputBox, AMaskedEntryHidesWhatIsTyped) {
  testing_support::InitWindows();
  toType = L"Geheim";
  std::string text;
  ASSERT_TRUE(AskWithTheRealBox(IDOK, text));
  EXPECT_EQ(editStyleSeen & ES_PASSWORD, 0);
  ASSERT_TRUE(AskWithTheRealBox(IDOK, text, true));
  EXPECT_EQ(editStyleSeen & ES_PASSWORD, ES_PASSWORD);
  EXPECT_EQ(text, "Geheim");
}

// The user presses Return in the message box once it shows.
void CALLBACK PressReturnInMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = FindWindowW(L"#32770", L"Frage");
  if (!box) return;
  KillTimer(nullptr, timer);
  HWND focus = GetFocus();
  PostMessageW(focus ? focus : box, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageW(focus ? focus : box, WM_KEYUP, VK_RETURN, 0xC0000001);
}

TEST(Question, ReturnPressesTheDefaultButton) {
  testing_support::InitWindows();
  classlib::MessageRequest request;
  request.text = "Beenden?";
  request.caption = "Frage";
  request.buttons = classlib::PromptButtons::YesNo;
  for (const auto& [button, answer] : {std::pair{1, classlib::PromptResult::Yes}, std::pair{2, classlib::PromptResult::No}}) {
    request.defaultButton = button;
    SetTimer(nullptr, 0, 20, PressReturnInMessageBox);
    EXPECT_EQ(classlib::Prompts().Message(request), answer) << "default button " << button;
  }
}

}  // namespace
