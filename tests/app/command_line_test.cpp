#include "app/command_line.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/file_helpers.h"
#include "app/hand_over.h"
#include "classlib/wide.h"
#include "tests/support/host_python.h"
#include "tests/support/string_list_print.h"
#include "tests/support/temp_dir.h"

#ifdef GetLongPathName
#undef GetLongPathName
#endif

using app::GetLongPathName;
using classlib::TStringList;

namespace {

// Replaces every "{D}" by folder.
std::string In(const std::string& folder, std::string text) {
  for (std::size_t at; (at = text.find("{D}")) != std::string::npos;) text.replace(at, 3, folder);
  return text;
}

void MakeFolder(const std::string& path) {
  ASSERT_TRUE(CreateDirectoryW(classlib::Widen(app::ExtendedLengthPath(path)).c_str(), nullptr)) << path;
}

void MakeFile(const std::string& path) {
  const HANDLE file = CreateFileW(classlib::Widen(app::ExtendedLengthPath(path)).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  CloseHandle(file);
}

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; });
  return s;
}

// A scratch folder with names that hold blanks and umlauts, and a path far beyond 260 characters:
//   Mein Ordner\Datei Ä.txt, Ordner2\x.txt, a.txt, b.txt, Tief\<long names...>\Ende.txt
class CommandLine : public ::testing::Test {
 protected:
  CommandLine() {
    MakeFolder(D + "\\Mein Ordner");
    MakeFile(D + "\\Mein Ordner\\Datei Ä.txt");
    MakeFolder(D + "\\Ordner2");
    MakeFile(D + "\\Ordner2\\x.txt");
    MakeFile(D + "\\a.txt");
    MakeFile(D + "\\b.txt");
    deep = D + "\\Tief";
    MakeFolder(deep);
    for (int i = 0; i < 6; ++i) {
      deep += "\\Ein ziemlich langer Ordnername Nummer " + std::to_string(i) + " für tiefe Pfade";
      MakeFolder(deep);
    }
    deep += "\\Ende.txt";
    MakeFile(deep);
  }

  TStringList Files(const std::string& commandLine) {
    TStringList list{"stale"};
    app::GetFileNamesFromCommandLine(list, In(D, commandLine));
    return list;
  }

  testing_support::TempDir dir;
  const std::string D = dir.Path();
  std::string deep;
};

TEST_F(CommandLine, ArgumentsAsThePlatformSplitsThem) {
  const std::vector<std::string> expected = {"C:\\Pro gramme\\orvapp.exe", "/start", "Ä b", "c\"d"};
  EXPECT_EQ(app::CommandLineArguments("\"C:\\Pro gramme\\orvapp.exe\" /start \"Ä b\" c\\\"d"), expected);
}

TEST_F(CommandLine, PathsFromArguments) {
  ASSERT_GT(classlib::Widen(deep).size(), 300u);
  struct Case {
    const char* what;
    std::string commandLine;
    TStringList expected;
  };
  const Case cases[] = {
      {"no arguments", "orvapp.exe", {}},
      {"a path split at blanks is joined again, in its stored case",
       "orvapp.exe {D}\\mein ordner\\Datei Ä.txt",
       {In(D, "{D}\\Mein Ordner\\Datei Ä.txt")}},
      {"a quoted path", "orvapp.exe \"{D}\\Mein Ordner\\Datei Ä.txt\"", {In(D, "{D}\\Mein Ordner\\Datei Ä.txt")}},
      {"a folder, then a file; the folder's first word alone names nothing yet",
       "orvapp.exe {D}\\Mein Ordner {D}\\a.txt",
       {In(D, "{D}\\Mein Ordner"), In(D, "{D}\\a.txt")}},
      {"a relative name is dropped", "orvapp.exe gibtsnicht.txt {D}\\Ordner2", {In(D, "{D}\\Ordner2")}},
      {"a full path that names nothing does not swallow the next one",
       "orvapp.exe {D}\\weg {D}\\Ordner2\\x.txt",
       {In(D, "{D}\\Ordner2\\x.txt")}},
      {"a trailing fragment is dropped", "orvapp.exe {D}\\a.txt {D}\\Mein", {In(D, "{D}\\a.txt")}},
      {"wildcards name nothing", "orvapp.exe {D}\\*.txt {D}\\?.txt {D}\\b.txt", {In(D, "{D}\\b.txt")}},
      {"a path over 260 characters, split at its blanks", "orvapp.exe " + deep, {deep}},
  };
  for (const Case& c : cases) EXPECT_EQ(Files(c.commandLine), c.expected) << c.what;
}

TEST_F(CommandLine, RelativeNamesCountFromTheWorkingFolder) {
  wchar_t previous[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, previous);
  SetCurrentDirectoryW(classlib::Widen(D + "\\Mein Ordner").c_str());
  const TStringList files = Files("orvapp.exe \"Datei Ä.txt\"");
  SetCurrentDirectoryW(previous);
  EXPECT_EQ(files, TStringList{D + "\\Mein Ordner\\Datei Ä.txt"});
}

TEST_F(CommandLine, LongPathNames) {
  // The short names of our own two components; Wine's GetShortPathName can mix up the many
  // scratch folders of parallel tests above them.
  const auto shortName = [](const std::string& path) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(classlib::Widen(path).c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    return search == INVALID_HANDLE_VALUE ? std::string() : classlib::Narrow(found.cAlternateFileName);
  };
  const std::string shortForm =
      "{D}\\" + shortName(D + "\\Mein Ordner") + "\\" + shortName(D + "\\Mein Ordner\\Datei Ä.txt");
  ASSERT_NE(shortForm, "{D}\\\\");
  struct Case {
    const char* what;
    std::string path;
    std::string expected;
  };
  const Case cases[] = {
      {"stored case", "{D}\\MEIN ORDNER\\datei Ä.TXT", "{D}\\Mein Ordner\\Datei Ä.txt"},
      {"a short form", shortForm, "{D}\\Mein Ordner\\Datei Ä.txt"},
      {"the rest from the first missing component stays as given", "{D}\\mein ordner\\FEHLT\\MEINOR~9\\x.txt",
       "{D}\\Mein Ordner\\FEHLT\\MEINOR~9\\x.txt"},
      {"a wildcard is not expanded", "{D}\\mein ordner\\*.txt", "{D}\\Mein Ordner\\*.txt"},
      {"a wildcard in the middle", "{D}\\?.txt\\x", "{D}\\?.txt\\x"},
      {"a trailing backslash", "{D}\\ordner2\\", "{D}\\Ordner2\\"},
      {"the full form", "{D}\\Ordner2\\..\\mein ordner\\.", "{D}\\Mein Ordner"},
      {"a network path nobody serves", "\\\\orvkeinhost\\freigabe\\Ein Ordner\\A~1.TXT",
       "\\\\orvkeinhost\\freigabe\\Ein Ordner\\A~1.TXT"},
      {"a drive root", "c:\\", "c:\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(GetLongPathName(In(D, c.path)), In(D, c.expected)) << c.what;
  EXPECT_EQ(GetLongPathName(Upper(deep)), deep);
}

// Wine serves "\\host\share" from the folder dosdevices\unc\host\share of its prefix.
TEST_F(CommandLine, LongPathNamesOnANetworkShare) {
  std::string dosDevices = testing_support::HostPath("C:\\");
  const std::size_t drive = dosDevices.rfind("/c:");
  if (drive == std::string::npos) GTEST_SKIP() << "not under Wine";
  dosDevices = "Z:" + dosDevices.substr(0, drive);
  std::replace(dosDevices.begin(), dosDevices.end(), '/', '\\');
  const std::string host = "orvtest" + std::to_string(GetCurrentProcessId());
  const std::string unc = dosDevices + "\\unc";
  CreateDirectoryW(classlib::Widen(unc).c_str(), nullptr);
  MakeFolder(unc + "\\" + host);
  MakeFolder(unc + "\\" + host + "\\share");
  MakeFolder(unc + "\\" + host + "\\share\\Ein Ordner");
  MakeFile(unc + "\\" + host + "\\share\\Ein Ordner\\Lange Datei.txt");
  const std::string share = "\\\\" + host + "\\share";

  EXPECT_EQ(GetLongPathName(share + "\\EIN ORDNER\\lange datei.TXT"), share + "\\Ein Ordner\\Lange Datei.txt");
  EXPECT_EQ(GetLongPathName(share + "\\ein ordner\\Fehlt"), share + "\\Ein Ordner\\Fehlt");
  EXPECT_EQ(GetLongPathName("\\\\?\\UNC\\" + host + "\\share\\ein ordner"),
            "\\\\?\\UNC\\" + host + "\\share\\Ein Ordner");
  TStringList files;
  app::GetFileNamesFromCommandLine(files, "orvapp.exe " + share + "\\ein ordner\\Lange Datei.txt");
  EXPECT_EQ(files, TStringList{share + "\\Ein Ordner\\Lange Datei.txt"});

  DeleteFileW(classlib::Widen(unc + "\\" + host + "\\share\\Ein Ordner\\Lange Datei.txt").c_str());
  for (const char* folder : {"\\share\\Ein Ordner", "\\share", ""})
    RemoveDirectoryW(classlib::Widen(unc + "\\" + host + folder).c_str());
  RemoveDirectoryW(classlib::Widen(unc).c_str());  // only when no other test uses it
}

TEST_F(CommandLine, StartSwitch) {
  struct Case {
    const char* commandLine;
    TStringList lines;
  };
  const Case cases[] = {
      {"orvapp.exe /start Name With Blanks", {"/start", "Name With Blanks"}},
      {"\"C:\\Program Files\\Orvanta\\orvapp.exe\" /start Tägliche Sicherung", {"/start", "Tägliche Sicherung"}},
      {"orvapp.exe \"/start\" Wochenende", {"/start", "Wochenende"}},
      // A shell quotes a name with blanks; a desktop shortcut passes it bare.
      {"orvapp.exe /start \"Name With Blanks\"", {"/start", "Name With Blanks"}},
      {"orvapp.exe /start \"Name", {"/start", "\"Name"}},
      {"orvapp.exe /start \"\"", {}},
      // Only the switch of the first argument counts, not "/start" within the program's path.
      {"\"C:\\Backup/start\\orvapp.exe\" /start Nachts", {"/start", "Nachts"}},
      {"orvapp.exe /start", {}},
      {"orvapp.exe /start ", {}},
      // A name with "\\" is never a definition's; the running copy refuses it with its message. After
      // the switch even an existing file is a name: paths come without it.
      {"orvapp.exe /start Ordner\\Name", {"/start", "Ordner\\Name"}},
      {"orvapp.exe /start \\", {"/start", "\\"}},
      {"orvapp.exe /start \"..\\x\"", {"/start", "..\\x"}},
      {"orvapp.exe /start C:\\x", {"/start", "C:\\x"}},
      {"orvapp.exe /start {D}\\a.txt", {"/start", "{D}\\a.txt"}},
      {"orvapp.exe /start \"{D}\\Mein Ordner\"", {"/start", "{D}\\Mein Ordner"}},
      {"orvapp.exe /start Zeile\r\nC:\\x", {"/start", "Zeile\r\nC:\\x"}},
      {"orvapp.exe /START Name", {}},
      {"orvapp.exe Name /start", {}},
  };
  for (const Case& c : cases) {
    TStringList lines;
    for (const std::string& line : c.lines) lines.Add(In(D, line));
    EXPECT_EQ(app::HandOverLines(In(D, c.commandLine)), lines) << c.commandLine;
  }
}

}  // namespace
