#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "classlib/prompt.h"
#include "classlib/wide.h"
#include "tests/support/wait.h"
#include "tests/support/window_test.h"

namespace {

// What the user does in the box once it shows: read the preset, type, press a button.
std::wstring presetSeen;
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
  SetWindowTextW(edit, toType.c_str());
  SendMessageW(box, WM_COMMAND, buttonToPress, 0);
}

bool AskWithTheRealBox(WORD button, std::string& text) {
  buttonToPress = button;
  SetTimer(nullptr, 0, 20, AnswerInputBox);
  const testing_support::DialogDeadline deadline("the input box");
  const bool entered =
      classlib::Prompts().InputText({"Passwort erforderlich", "Bitte geben Sie das Sicherungs-Passwort ein:"}, text);
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

}  // namespace
