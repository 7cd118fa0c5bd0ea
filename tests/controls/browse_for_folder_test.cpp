// The folder picker: what it tells the shell's dialog, what the dialog's notifications make it
// send back, and what it answers for real and for virtual folders.
#include "controls/flat/browse_for_folder.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "classlib/forms.h"
#include "classlib/wide.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait.h"
#include "tests/support/window_test.h"

using controls::BrowseFlag;
using controls::TBrowseFlag;
using controls::TBrowseForFolder;
using controls::TBrowseLocation;

namespace {

// A window that keeps the dialog messages the picker's callback sends it.
struct Sent {
  UINT message;
  WPARAM wParam;
  std::string text;  // the string lParam points at, or the number
};
std::vector<Sent> sent;

LRESULT CALLBACK RecorderProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case BFFM_SETSELECTIONW:
    case BFFM_SETSTATUSTEXTW:
      sent.push_back({message, wParam, classlib::Narrow(reinterpret_cast<const wchar_t*>(lParam))});
      return 0;
    case BFFM_ENABLEOK:
      sent.push_back({message, wParam, std::to_string(lParam)});
      return 0;
    default:
      return DefWindowProcW(wnd, message, wParam, lParam);
  }
}

PIDLIST_ABSOLUTE ItemListOf(const std::string& folder) { return ILCreateFromPathW(classlib::Widen(folder).c_str()); }

PIDLIST_ABSOLUTE SpecialItemList(int csidl) {
  PIDLIST_ABSOLUTE list = nullptr;
  SHGetSpecialFolderLocation(nullptr, csidl, &list);
  return list;
}

class BrowseForFolder : public ::testing::Test {
 protected:
  BrowseForFolder() {
    testing_support::InitWindows();
    WNDCLASSW cls = {};
    cls.lpfnWndProc = RecorderProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"OrvBrowseRecorder";
    RegisterClassW(&cls);
    recorder = CreateWindowW(L"OrvBrowseRecorder", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    sent.clear();
    form = new classlib::TForm(nullptr);
    picker = new TBrowseForFolder(form);
  }
  ~BrowseForFolder() override {
    controls::SetBrowseDialogForTesting(nullptr);
    delete form;
    DestroyWindow(recorder);
  }

  // The dialog as the test plays it: keeps what it was given, opens (its callback runs), and
  // returns the item list of answer.
  void Dialog(std::function<PIDLIST_ABSOLUTE()> answer, const wchar_t* displayName = L"") {
    controls::SetBrowseDialogForTesting([this, answer, displayName](BROWSEINFOW& info) {
      given = info;
      title = classlib::Narrow(info.lpszTitle);
      initialized = info.lpfn(recorder, BFFM_INITIALIZED, 0, info.lParam);
      validateAnswer = info.lpfn(recorder, BFFM_VALIDATEFAILEDW, 0, info.lParam);
      lstrcpynW(info.pszDisplayName, displayName, MAX_PATH);
      return answer ? answer() : nullptr;
    });
  }

  HWND recorder = nullptr;
  classlib::TForm* form;
  TBrowseForFolder* picker;
  testing_support::TempDir dir;
  BROWSEINFOW given = {};
  std::string title;
  int initialized = -1;
  int validateAnswer = -1;
};

TEST_F(BrowseForFolder, TheDialogOpensAtTheFolderWithTheStatusTextOverItsForm) {
  picker->SetFolderName(dir.Path());
  picker->SetStatusText("Bitte wählen");
  picker->SetCaption("Wählen Sie ein Verzeichnis.");
  Dialog(nullptr);
  EXPECT_FALSE(picker->ChooseFolder());
  EXPECT_EQ(given.hwndOwner, form->Handle());
  EXPECT_EQ(title, "Wählen Sie ein Verzeichnis.");
  EXPECT_EQ(given.pidlRoot, nullptr);
  EXPECT_TRUE(given.ulFlags & BIF_VALIDATE);
  EXPECT_EQ(initialized, 0);
  EXPECT_EQ(validateAnswer, 1);
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].message, static_cast<UINT>(BFFM_SETSELECTIONW));
  EXPECT_EQ(sent[0].wParam, static_cast<WPARAM>(TRUE));
  EXPECT_EQ(sent[0].text, dir.Path());
  EXPECT_EQ(sent[1].message, static_cast<UINT>(BFFM_SETSTATUSTEXTW));
  EXPECT_EQ(sent[1].text, "Bitte wählen");
  EXPECT_EQ(picker->FolderName(), dir.Path());

  // Empty texts are not sent.
  sent.clear();
  picker->SetFolderName("");
  picker->SetStatusText("");
  picker->ChooseFolder();
  EXPECT_TRUE(sent.empty());
}

TEST_F(BrowseForFolder, OnlyAFileSystemFolderCanBeConfirmedAndComesBack) {
  // The callback allows OK only where the selection has a path.
  PIDLIST_ABSOLUTE computer = SpecialItemList(CSIDL_DRIVES);
  PIDLIST_ABSOLUTE folder = ItemListOf(dir.Path());
  TBrowseForFolder::BrowseCallback(recorder, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(computer), 0);
  TBrowseForFolder::BrowseCallback(recorder, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(folder), 0);
  CoTaskMemFree(computer);
  CoTaskMemFree(folder);
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].message, static_cast<UINT>(BFFM_ENABLEOK));
  EXPECT_EQ(sent[0].text, "0");
  EXPECT_EQ(sent[1].text, "1");

  picker->SetFolderName("C:\\");
  const struct {
    const char* what;
    std::function<PIDLIST_ABSOLUTE()> answer;
  } nothing[] = {
      {"cancel", nullptr},
      {"Computer", [] { return SpecialItemList(CSIDL_DRIVES); }},
      {"Netzwerk", [] { return SpecialItemList(CSIDL_NETWORK); }},
  };
  for (const auto& c : nothing) {
    SCOPED_TRACE(c.what);
    Dialog(c.answer, L"Arbeitsplatz");
    EXPECT_FALSE(picker->ChooseFolder());
    EXPECT_EQ(picker->FolderName(), "C:\\");
    EXPECT_EQ(picker->DisplayName(), "");
  }

  Dialog([this] { return ItemListOf(dir.Path()); }, L"Ordner");
  EXPECT_TRUE(picker->ChooseFolder());
  EXPECT_EQ(picker->FolderName(), dir.Path());
  EXPECT_EQ(picker->DisplayName(), "Ordner");
}

TEST_F(BrowseForFolder, FlagsAndRootReachTheDialog) {
  picker->SetFlags(BrowseFlag(TBrowseFlag::bf_statustext) | BrowseFlag(TBrowseFlag::bf_EditBox));
  picker->SetRoot(TBrowseLocation::bl_DRIVES);
  Dialog(nullptr);
  picker->ChooseFolder();
  EXPECT_EQ(given.ulFlags, static_cast<UINT>(BIF_STATUSTEXT | BIF_EDITBOX | BIF_VALIDATE));
  // BIF_VALIDATE has no member.
  EXPECT_EQ(picker->Flags(), BrowseFlag(TBrowseFlag::bf_statustext) | BrowseFlag(TBrowseFlag::bf_EditBox));
  PIDLIST_ABSOLUTE drives = SpecialItemList(CSIDL_DRIVES);
  EXPECT_TRUE(ILIsEqual(given.pidlRoot, drives));
  CoTaskMemFree(drives);

  picker->SetCustomRoot(ItemListOf(dir.Path()));
  picker->SetRoot(TBrowseLocation::bl_CUSTOM);
  picker->ChooseFolder();
  PIDLIST_ABSOLUTE custom = ItemListOf(dir.Path());
  EXPECT_TRUE(ILIsEqual(given.pidlRoot, custom));
  CoTaskMemFree(custom);
}

// The shell's own dialog, once: it opens at the folder and OK returns it. OK is pressed once the
// tree shows the folder selected, as a user would.
HWND VisibleDialog() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND wnd, LPARAM param) -> BOOL {
        wchar_t cls[16] = {};
        GetClassNameW(wnd, cls, 16);
        if (lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(wnd)) return TRUE;
        *reinterpret_cast<HWND*>(param) = wnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

std::wstring SelectedInTree(HWND dialog) {
  const HWND tree = FindWindowExW(dialog, nullptr, L"SysTreeView32", nullptr);
  const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  wchar_t text[MAX_PATH] = {};
  TVITEMW request = {};
  request.mask = TVIF_TEXT;
  request.hItem = item;
  request.pszText = text;
  request.cchTextMax = MAX_PATH;
  if (!tree || !item || !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&request))) return {};
  return text;
}

VOID CALLBACK PressOkOnceSelected(HWND, UINT, UINT_PTR, DWORD) {
  const HWND dialog = VisibleDialog();
  if (!dialog) return;
  wchar_t windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring selected = SelectedInTree(dialog);
  const std::wstring name = std::wstring(windows).substr(std::wstring(windows).rfind(L'\\') + 1);
  if (CompareStringOrdinal(selected.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL)
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(BrowseForFolder, TheShellsDialogReturnsTheFolderItOpenedAt) {
  // A folder the shell knows from its start: one made a moment ago may not be in its view yet.
  wchar_t windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  const std::string folder = classlib::Narrow(windows);
  picker->SetFolderName(folder);
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, PressOkOnceSelected);
  const testing_support::DialogDeadline deadline("the shell's dialog");
  const bool chosen = picker->ChooseFolder();
  KillTimer(nullptr, timer);
  ASSERT_EQ(deadline.Problem(), "");
  EXPECT_TRUE(chosen);
  EXPECT_EQ(CompareStringOrdinal(classlib::Widen(picker->FolderName()).c_str(), -1, windows, -1, TRUE), CSTR_EQUAL)
      << picker->FolderName();
  EXPECT_NE(picker->DisplayName(), "");
}

}  // namespace
