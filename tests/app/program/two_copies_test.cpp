// The real program, twice in one Wine session: a first copy that runs, and second starts that
// hand their command lines to it. The program keeps its settings in the session's registry, so the
// tests put its key aside first and back afterwards; each copy of the program file lives in a
// scratch folder, where it writes its log.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/backup_definition.h"
#include "app/desktop_link.h"
#include "app/program_paths.h"
#include "app/program_settings.h"
#include "classlib/forms.h"
#include "classlib/gui_thread.h"
#include "classlib/wide.h"
#include "tests/app/program/program_fixture.h"
#include "tests/support/locked_file.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait.h"
#include "tests/support/window_test.h"
#include "zip/fs_helpers.h"

using namespace program_testing;
using testing_support::kWaitMs;
using testing_support::WaitText;

namespace {

const wchar_t kProgramKey[] = L"Software\\Norvex\\Orvanta";

// The program's key moved aside for the life of the object and put back afterwards.
class SavedProgramKey {
 public:
  SavedProgramKey() : aside_(classlib::Widen(std::string("Software\\Norvex\\Orvanta-tests-") + Unique(""))) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    HKEY copy = nullptr;
    saved_ = RegCreateKeyExW(HKEY_CURRENT_USER, aside_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &copy,
                             nullptr) == ERROR_SUCCESS &&
             RegCopyTreeW(key, nullptr, copy) == ERROR_SUCCESS;
    RegCloseKey(copy);
    RegCloseKey(key);
    if (!saved_) throw std::runtime_error("the program's registry key cannot be put aside");
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
  }
  ~SavedProgramKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
    if (!saved_) return;
    HKEY key = nullptr, copy = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
            ERROR_SUCCESS &&
        RegOpenKeyExW(HKEY_CURRENT_USER, aside_.c_str(), 0, KEY_READ, &copy) == ERROR_SUCCESS &&
        RegCopyTreeW(copy, nullptr, key) == ERROR_SUCCESS)
      RegDeleteTreeW(HKEY_CURRENT_USER, aside_.c_str());
    RegCloseKey(copy);
    RegCloseKey(key);
  }
  SavedProgramKey(const SavedProgramKey&) = delete;
  SavedProgramKey& operator=(const SavedProgramKey&) = delete;

 private:
  std::wstring aside_;
  bool saved_ = false;
};

// The top-level window of process with the class and the caption (either may be empty: any).
HWND WindowOf(DWORD process, const std::wstring& windowClass, const std::wstring& caption) {
  struct Search {
    DWORD process;
    std::wstring windowClass, caption;
    HWND found = nullptr;
  } search{process, windowClass, caption};
  EnumWindows(
      [](HWND window, LPARAM parameter) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(parameter);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t text[256] = {};
        if (owner != s.process) return TRUE;
        if (!s.windowClass.empty() && (!GetClassNameW(window, text, 256) || s.windowClass != text)) return TRUE;
        if (!s.caption.empty() && (!GetWindowTextW(window, text, 256) || s.caption != text)) return TRUE;
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The list with three columns below window: the Single Backup page's.
HWND SingleBackupList(HWND window) {
  HWND found = nullptr;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM parameter) -> BOOL {
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        if (std::wstring(name) != WC_LISTVIEWW) return TRUE;
        const auto header = reinterpret_cast<HWND>(SendMessageW(child, LVM_GETHEADER, 0, 0));
        if (SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) != 3) return TRUE;
        *reinterpret_cast<HWND*>(parameter) = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// The rows of a list in another process, "name|folder": the texts are asked for into memory of
// that process.
std::vector<std::string> RowsOf(HWND list, DWORD process) {
  std::vector<std::string> rows;
  const HANDLE other = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
  if (!other) return rows;
  constexpr int kChars = 1024;
  void* remote = VirtualAllocEx(other, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE);
  auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(LVITEMW));
  const auto cell = [&](int row, int column) {
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = remoteText;
    item.cchTextMax = kChars;
    std::vector<wchar_t> text(kChars, L'\0');
    if (!WriteProcessMemory(other, remote, &item, sizeof item, nullptr)) return std::string();
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(other, remoteText, text.data(), kChars * sizeof(wchar_t), nullptr);
    text.back() = L'\0';
    return classlib::Narrow(text.data());
  };
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; remote && row < count; ++row) rows.push_back(cell(row, 0) + "|" + cell(row, 1));
  if (remote) VirtualFreeEx(other, remote, 0, MEM_RELEASE);
  CloseHandle(other);
  return rows;
}

class TwoCopies : public ::testing::Test {
 protected:
  TwoCopies() {
    // Our windows answer the broadcasts of a second start while we wait for it.
    testing_support::InitWindows();
    const HANDLE running = OpenSemaphoreW(SYNCHRONIZE, FALSE, L"Orvanta");
    if (running) {
      CloseHandle(running);
      throw std::runtime_error("a copy of the program runs in this Wine session already");
    }
    std::wstring built = classlib::Widen(std::string("Z:") + ORVAPP_EXE);
    for (wchar_t& c : built)
      if (c == L'/') c = L'\\';
    if (!CopyFileW(built.c_str(), classlib::Widen(program).c_str(), FALSE))
      throw std::runtime_error("the program file cannot be copied");
    zip::ForceDirectories(source);
    zip::ForceDirectories(target);
  }
  ~TwoCopies() override {
    for (auto it = processes_.rbegin(); it != processes_.rend(); ++it) {
      End(*it);
      CloseHandle(*it);
    }
  }

  HANDLE Start(const std::string& arguments) {
    std::wstring command = classlib::Widen("\"" + program + "\" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
      ADD_FAILURE() << "cannot start " << program << " (error " << GetLastError() << ")";
      return nullptr;
    }
    CloseHandle(process.hThread);
    processes_.push_back(process.hProcess);
    return process.hProcess;
  }

  // Waits (answering our own windows' messages) until done() or the bound passed; returns done().
  static bool WaitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!done()) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      classlib::Application().ProcessMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
  }

  // The main window of a copy once it exists: its windows are all made by then. Null, with the
  // reason as a failure, when the copy ended first or made none within the wait.
  static HWND MainWindowOf(HANDLE process) {
    HWND main = nullptr;
    WaitUntil([&] {
      main = WindowOf(GetProcessId(process), L"", L"Orvanta v2.4");
      return main || WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    });
    DWORD exitCode = STILL_ACTIVE;
    if (!main && GetExitCodeProcess(process, &exitCode) && exitCode != STILL_ACTIVE)
      ADD_FAILURE() << "the copy ended with " << exitCode << " before it made its main window";
    else if (!main)
      ADD_FAILURE() << "the copy made no main window within " << WaitText();
    return main;
  }

  std::string Log() const {
    const std::string path = dir / "orvapp.log";
    return testing_support::FileExists(path) ? testing_support::ReadFile(path) : std::string();
  }

  bool LogHolds(const std::string& text) const {
    return WaitUntil([&] { return Log().find(text) != std::string::npos; });
  }

  // A run of the copy has logged its end and given its main window back, which it disabled; else
  // a failure says which of the two did not come within the wait.
  bool RunEnded(HWND main) const {
    if (!LogHolds("Grund:        Ende der Durchf\xFChrung")) {
      ADD_FAILURE() << "the run logged no end within " << WaitText() << ":\n" << Log();
      return false;
    }
    if (!WaitUntil([&] { return IsWindowEnabled(main) != FALSE; })) {
      ADD_FAILURE() << "the run ended, and the main window stayed disabled for " << WaitText();
      return false;
    }
    return true;
  }

  // Ends a copy as the end of the Windows session does (it logs that end); one that does not end
  // is killed, and the failure says how far it came.
  static void End(HANDLE process) {
    if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return;
    const HWND main = WindowOf(GetProcessId(process), L"", L"Orvanta v2.4");
    DWORD_PTR mayEnd = 0, ignored = 0;
    const bool asked = main && SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, kWaitMs, &mayEnd);
    if (asked && mayEnd) SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, kWaitMs, &ignored);
    if (!classlib::WaitRunningSynchronizedCalls(process, kWaitMs)) {
      ADD_FAILURE() << "a copy of the program did not end within " << WaitText() << " after the end of the session"
                    << (!main    ? ": it has no main window"
                        : !asked ? ": it did not answer whether it may end"
                        : !mayEnd ? ": it refused to end"
                                  : "");
      TerminateProcess(process, 1);
      WaitForSingleObject(process, kWaitMs);
    }
  }

  SavedProgramKey savedKey;
  testing_support::TempDir dir;
  const std::string program = dir / "orvapp.exe";
  const std::string source = dir / "Quelle";
  const std::string target = dir / "Ziel";

 private:
  std::vector<HANDLE> processes_;
};

const std::string kStartAction = "Aktion:       Orvanta gestartet";

// The files (not folders) of a folder with their bytes, and their names.
using Files = std::map<std::string, std::string>;
Files FilesOf(const std::string& folder) {
  Files files;
  WIN32_FIND_DATAW found;
  const HANDLE h = FindFirstFileW(classlib::Widen(folder + "\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return files;
  do {
    const std::string name = classlib::Narrow(found.cFileName);
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      files[name] = testing_support::ReadFile(folder + "\\" + name);
  } while (FindNextFileW(h, &found));
  FindClose(h);
  return files;
}
std::vector<std::string> NamesOf(const Files& files) {
  std::vector<std::string> names;
  for (const auto& entry : files) names.push_back(entry.first);
  return names;
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST_F(TwoCopies, ASecondStartHandsItsDefinitionToTheRunningCopyAndEnds) {
  testing_support::WriteFile(source + "\\Bericht.txt", "Bericht");
  app::WriteBackupDefinition(FolderJob("Name With Blanks", source, target + "\\"));
  const HANDLE first = Start("");
  const HWND main = MainWindowOf(first);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }))
      << "the main window did not show within " << WaitText();
  EXPECT_NE(WindowOf(GetProcessId(first), L"OrvantaTrayIcon", L""), nullptr);

  const HANDLE second = Start("/start Name With Blanks");
  ASSERT_TRUE(classlib::WaitRunningSynchronizedCalls(second, kWaitMs))
      << "the second start did not end within " << WaitText();
  DWORD exitCode = 99;
  GetExitCodeProcess(second, &exitCode);
  EXPECT_EQ(exitCode, 0u);

  ASSERT_TRUE(RunEnded(main));
  EXPECT_NE(Log().find("Name:         Name With Blanks\r\n"), std::string::npos) << Log();
  EXPECT_TRUE(testing_support::FileExists(target + "\\Name With Blanks.zip"));
  // The second start wrote nothing to the log.
  EXPECT_EQ(Occurrences(Log(), kStartAction), 1u);

  End(first);
  const std::string log = Log();
  const std::string end = "Aktion:       Orvanta beendet\r\nArt:          System-ShutDown\r\n" + kDoubleLine + "\r\n";
  EXPECT_EQ(log.substr(log.size() - std::min(log.size(), end.size())), end) << log;
}

// A name with "\\" can never be a definition's: the running copy tells so and logs the refusal.
TEST_F(TwoCopies, ASecondStartsNameWithABackslashIsToldAndLoggedByTheRunningCopy) {
  const HANDLE first = Start("");
  const HWND main = MainWindowOf(first);
  ASSERT_NE(main, nullptr);
  const struct {
    const char* arguments;
    const char* name;
  } cases[] = {{"/start Ordner\\Name", "Ordner\\Name"}, {"/start \"..\\x\"", "..\\x"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const HANDLE second = Start(c.arguments);
    ASSERT_TRUE(classlib::WaitRunningSynchronizedCalls(second, kWaitMs))
        << "the second start did not end within " << WaitText();
    DWORD exitCode = 99;
    GetExitCodeProcess(second, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(LogHolds(std::string("Name:         ") + c.name +
                         "\r\nArt:          Start der Durchf\xFChrung\r\nFehler:       Die Bezeichnung darf nur "))
        << "no refusal logged within " << WaitText() << ":\n" << Log();
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = WindowOf(GetProcessId(first), L"#32770", L"Orvanta")) != nullptr; }))
        << "the running copy told nothing within " << WaitText();
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);  // the box's text
    const std::string told = classlib::Narrow(text);
    EXPECT_EQ(told.rfind("Die Sicherung \"" + std::string(c.name) + "\" konnte nicht durchgef\xC3\xBChrt werden:", 0), 0u)
        << told;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << "the box did not close within " << WaitText();
  }
  EXPECT_EQ(Occurrences(Log(), "Grund:        Abbruch der Durchf\xFChrung\r\n" + kDashLine), 2u) << Log();
  EXPECT_EQ(Occurrences(Log(), kStartAction), 1u);
}

TEST_F(TwoCopies, ASecondStartWithPathsAppendsThemToTheRunningCopysList) {
  const std::string file = dir / "Mein Brief.txt";
  testing_support::WriteFile(file, "Brief");
  zip::ForceDirectories(source + "\\Ein Ordner");
  testing_support::WriteFile(source + "\\Ein Ordner\\Bild.jpg", "Bild");
  app::WriteBoolSetting(app::setting::kMinimized, true);
  const HANDLE first = Start("");
  const HWND main = MainWindowOf(first);
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(IsWindowVisible(main));

  // A full path with blanks but without quotes is joined again.
  const HANDLE second = Start("\"" + file + "\" " + source + "\\Ein Ordner");
  ASSERT_TRUE(classlib::WaitRunningSynchronizedCalls(second, kWaitMs))
      << "the second start did not end within " << WaitText();
  const HWND list = SingleBackupList(main);
  ASSERT_NE(list, nullptr);
  const std::vector<std::string> expected = {"Mein Brief.txt|" + dir.Path() + "\\",
                                             "Bild.jpg|" + source + "\\Ein Ordner\\"};
  std::vector<std::string> rows;
  WaitUntil([&] { return (rows = RowsOf(list, GetProcessId(first))).size() >= expected.size(); });
  EXPECT_EQ(rows, expected);
  // The window shows with the list.
  EXPECT_TRUE(IsWindowVisible(main));
}

TEST_F(TwoCopies, WithNoCopyRunningAStartRunsItsOwnDefinitionAndStaysInTheTray) {
  testing_support::WriteFile(source + "\\Bericht.txt", "Bericht");
  app::WriteBackupDefinition(FolderJob("Nachts", source, target + "\\"));
  app::WriteBoolSetting(app::setting::kMinimized, true);
  const HANDLE first = Start("/start Nachts");
  const HWND main = MainWindowOf(first);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(RunEnded(main));
  EXPECT_NE(Log().find("Name:         Nachts\r\n"), std::string::npos);
  EXPECT_TRUE(testing_support::FileExists(target + "\\Nachts.zip"));
  EXPECT_FALSE(IsWindowVisible(main));
  EXPECT_NE(WindowOf(GetProcessId(first), L"OrvantaTrayIcon", L""), nullptr);
  EXPECT_EQ(WaitForSingleObject(first, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

// The program killed while it writes a backup: the backup before stays as it was, byte for byte,
// and the next run of the job clears what the killed one left aside.
TEST_F(TwoCopies, ARunKilledWhileWritingLeavesTheBackupAsItWasAndTheNextRunClearsWhatItLeft) {
  const std::string big = source + "\\Gross.bin";
  const std::string held = source + "\\Offen.txt";
  testing_support::WriteFile(big, RandomBytes(3000000, 11));
  testing_support::WriteFile(held, "offen");
  app::BackupDefinition def = FolderJob("Nachts", source, target + "\\");
  def.Option = app::BackupOption::Files;
  def.FileList = {big, held};
  def.SplitVar = "Diskette 3,5\" (1.44 MB)";
  def.SplitEver = app::SplitWhen::Always;
  app::WriteBackupDefinition(def);
  app::WriteBoolSetting(app::setting::kMinimized, true);
  app::WriteBoolSetting(app::setting::kPreventErrors, false);  // asks about a file it cannot open
  const std::string completed = "Grund:        Ende der Durchf\xFChrung";
  const auto runs = [&](std::size_t count) {
    return WaitUntil([&] { return Occurrences(Log(), completed) == count; });
  };
  const std::vector<std::string> backup = {"Nachts.001", "Nachts.002", "Nachts.zip"};

  const HANDLE first = Start("/start Nachts");
  ASSERT_TRUE(runs(1)) << "no run ended within " << WaitText() << ":\n" << Log();
  End(first);
  const Files before = FilesOf(target);
  ASSERT_EQ(NamesOf(before), backup);

  // Killed while it asks whether to try the file held open again: the other is written aside.
  {
    testing_support::LockedFile lock(held);
    const HANDLE killed = Start("/start Nachts");
    ASSERT_TRUE(WaitUntil([&] { return WindowOf(GetProcessId(killed), L"#32770", L"Orvanta") != nullptr; }))
        << "the copy asked nothing within " << WaitText() << ":\n" << Log();
    ASSERT_TRUE(TerminateProcess(killed, 1));
    ASSERT_EQ(WaitForSingleObject(killed, kWaitMs), static_cast<DWORD>(WAIT_OBJECT_0))
        << "the killed copy did not end within " << WaitText();
  }
  Files left = FilesOf(target);
  for (const auto& [name, content] : before) {
    EXPECT_EQ(left[name], content) << name;
    left.erase(name);
  }
  const std::vector<std::string> aside = NamesOf(left);
  ASSERT_FALSE(aside.empty());
  for (const std::string& name : aside) EXPECT_EQ(name.rfind("Nachts~neu.", 0), 0u) << name;

  ASSERT_TRUE(Start("/start Nachts"));
  ASSERT_TRUE(runs(2)) << "no second run ended within " << WaitText() << ":\n" << Log();
  EXPECT_EQ(NamesOf(FilesOf(target)), backup);
  for (const std::string& name : aside)
    EXPECT_NE(Log().find("Aktion:       " + target + "\\" + name + " einer unterbrochenen Sicherung entfernt.\r\n"),
              std::string::npos)
        << name << "\n" << Log();
}

TEST_F(TwoCopies, ADesktopShortcutStartedBesideTheRunningCopyRunsItsDefinitionThere) {
  testing_support::WriteFile(source + "\\Bericht.txt", "Bericht");
  app::WriteBackupDefinition(FolderJob("Jeden Abend um 6", source, target + "\\"));
  const std::string desktop = dir / "Desktop";
  zip::ForceDirectories(desktop);
  app::SetProgramFileForTesting(program);
  const app::DesktopShortcut shortcut = app::ShortcutFor("Jeden Abend um 6", desktop);
  app::SetProgramFileForTesting("");
  ASSERT_TRUE(app::CreateLink(shortcut));
  const HANDLE first = Start("");
  const HWND main = MainWindowOf(first);
  ASSERT_NE(main, nullptr);

  // Opened as the desktop opens it.
  const std::wstring link = classlib::Widen(shortcut.LinkFile);
  SHELLEXECUTEINFOW open{};
  open.cbSize = sizeof open;
  open.fMask = SEE_MASK_NOCLOSEPROCESS;
  open.lpFile = link.c_str();
  open.nShow = SW_SHOWNORMAL;
  ASSERT_TRUE(ShellExecuteExW(&open));
  if (open.hProcess) {
    EXPECT_TRUE(classlib::WaitRunningSynchronizedCalls(open.hProcess, kWaitMs))
        << "the second start did not end within " << WaitText();
    CloseHandle(open.hProcess);
  }
  ASSERT_TRUE(RunEnded(main));
  EXPECT_NE(Log().find("Name:         Jeden Abend um 6\r\n"), std::string::npos) << Log();
  EXPECT_TRUE(testing_support::FileExists(target + "\\Jeden Abend um 6.zip"));
  EXPECT_EQ(Occurrences(Log(), kStartAction), 1u);
}

}  // namespace
