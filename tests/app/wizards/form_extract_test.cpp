#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/restore_listing.h"
#include "app/wizards/extract_outcome.h"
#include "app/wizards/main_window_hooks.h"
#include "classlib/datetime.h"
#include "classlib/wide.h"
#include "tests/app/restore_fixture.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test.h"
#include "zip/fs.h"
#include "zip/message_pump.h"
#include "zip/path_strings.h"

namespace {

namespace fsys = std::filesystem;
using restore_fixture::Backup;
using restore_fixture::FilesBelow;
using restore_fixture::Row;
using restore_fixture::TheFixtures;
using testing_support::ClickButton;
using testing_support::Join;

const char kSuccessStep[] = "Datei(en) erfolgreich extrahiert.";
const char kSuccessInfo[] = "Die ausgewählte(n) Datei(en) wurde(n) erfolgreich extrahiert.";
const char kEndedEarlyStep[] = "Extraktion vorzeitig beendet.";

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

std::uint32_t DosTime(int year, int month, int day) {
  return classlib::DateTimeToFileDate(classlib::EncodeDate(year, month, day) + classlib::EncodeTime(12, 0, 0, 0));
}

void Copy(const std::string& from, const std::string& to) {
  ASSERT_TRUE(CopyFileW(classlib::Widen(from).c_str(), classlib::Widen(to).c_str(), FALSE)) << from;
}

void CopyInto(const std::string& file, const std::string& folder) {
  Copy(file, Join(folder, file.substr(zip::ExtractFilePath(file).size())));
}

class FormExtract : public ::testing::Test {
 protected:
  FormExtract() {
    testing_support::InitWindows();
    app::MainWindow().SetEnabled = [this](bool on) { mainWindow.push_back(on); };
    app::MainWindow().SetSchedulerEnabled = [this](bool on) { schedulerTimer.push_back(on); };
    NewDestination("Ziel");
  }
  ~FormExtract() override {
    zip::SetMessagePump({});
    app::MainWindow() = app::MainWindowHooks();
    EXPECT_TRUE(testing_support::TakeBoundaryErrors().empty());
  }

  void NewDestination(const std::string& name) {
    dest = dir / name;
    fsys::create_directories(fsys::u8path(dest));
  }
  void Open(const std::string& archive) {
    prompts.ChooseNextFile(archive);
    ClickButton(*windows.page->FlatButtonOpen);
  }
  // Marks the rows with these file names, after sorting the list by date.
  std::vector<Row> Mark(const std::vector<std::string>& names) {
    windows.ClickColumn(3);
    std::vector<Row> marked;
    classlib::TListItems& items = windows.page->ListViewRestore->Items();
    for (int i = 0; i < items.Count(); ++i) {
      if (std::find(names.begin(), names.end(), items[i]->Caption()) == names.end()) continue;
      items[i]->SetSelected(true);
      marked.push_back(windows.Rows()[static_cast<std::size_t>(i)]);
    }
    return marked;
  }
  // "Fertig" on the start page, the destination chosen in the folder tree.
  void Run() {
    ASSERT_TRUE(form().FolderTree->SetPath(dest));
    ClickButton(*form().FlatButtonNext);
  }
  void ExpectSuccess() {
    EXPECT_EQ(form().LabelCreationStep->Caption(), kSuccessStep);
    EXPECT_EQ(form().LabelCreationInfo->Caption(), kSuccessInfo);
    EXPECT_EQ(form().FlatProgressBarArchive->Position(), 100);
    EXPECT_EQ(form().FlatButtonNext->Caption(), "Fertig");
  }
  void ExpectNoSuccessText() {
    EXPECT_NE(form().LabelCreationStep->Caption(), kSuccessStep);
    EXPECT_EQ(form().LabelCreationInfo->Caption().find("erfolgreich"), std::string::npos);
  }
  // "Fertig" after the run.
  void Finish() {
    ClickButton(*form().FlatButtonNext);
    EXPECT_FALSE(form().Visible());
  }
  app::TFormExtract& form() { return *windows.extract; }

  testing_support::TempDir dir;
  std::string dest;
  std::vector<bool> mainWindow, schedulerTimer;
  testing_support::ScriptedPrompts prompts;
  restore_fixture::RestoreWindows windows;
};

TEST_F(FormExtract, RestoresAllOrTheMarkedFilesOfEveryBackup) {
  const restore_fixture::Fixtures& f = TheFixtures();
  // The folder tree reads a folder's children once: every destination exists before it looks.
  for (int i = 1; i <= 6; ++i) NewDestination("Ziel " + std::to_string(i));
  int run = 0;
  for (const Backup* backup : {&f.own, &f.infoZip, &f.python}) {
    SCOPED_TRACE(backup->archive);
    Open(backup->archive);
    if (!backup->password.empty()) prompts.EnterNextText(backup->password);
    NewDestination("Ziel " + std::to_string(++run));
    ClickButton(*windows.page->FlatButtonExtractAll);
    ASSERT_TRUE(form().Visible());
    EXPECT_TRUE(form().CheckBoxDirs->Checked());
    Run();
    ExpectSuccess();
    Finish();
    restore_fixture::ExpectRestored(backup->rows, dest, true);

    // The password stays known for the next run of the same backup.
    NewDestination("Ziel " + std::to_string(++run));
    const std::vector<Row> marked = Mark({"bericht.txt", "klein.txt"});
    ASSERT_EQ(marked.size(), 2u);
    ClickButton(*windows.page->FlatButtonExtract);
    ClickButton(*form().CheckBoxDirs);
    Run();
    ExpectSuccess();
    Finish();
    restore_fixture::ExpectRestored(marked, dest, false);
  }
  ASSERT_EQ(prompts.inputRequests.size(), 2u);
  EXPECT_EQ(prompts.inputRequests[0].caption, "Passwort erforderlich");
  EXPECT_EQ(prompts.inputRequests[0].prompt, "Bitte geben Sie das Sicherungs-Passwort ein:");
  EXPECT_TRUE(prompts.inputRequests[0].masked);
  // The split set's parts were found without asking.
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(mainWindow, std::vector<bool>({false, true, false, true, false, true, false, true, false, true, false, true}));
  EXPECT_EQ(schedulerTimer, mainWindow);
}

TEST_F(FormExtract, OnlyNewerFilesReplaceExistingOnesWhenAsked) {
  Open(TheFixtures().python.archive);
  const std::string older = Join(dest, "klein.txt"), newer = Join(dest, "leer.txt");
  auto prepare = [&] {
    testing_support::WriteFile(older, "alt");
    testing_support::WriteFile(newer, "neuer");
    ASSERT_TRUE(zip::fs::SetFileDate(older, DosTime(2000, 1, 1)));
    ASSERT_TRUE(zip::fs::SetFileDate(newer, DosTime(2030, 1, 1)));
  };
  prepare();
  const std::vector<Row> marked = Mark({"klein.txt", "leer.txt"});
  ClickButton(*windows.page->FlatButtonExtract);
  ClickButton(*form().CheckBoxDirs);
  Run();
  EXPECT_EQ(testing_support::ReadFile(older), "Hallo Welt");
  EXPECT_EQ(testing_support::ReadFile(newer), "neuer");
  ExpectNoSuccessText();
  EXPECT_EQ(form().LabelAction->Caption(), "1 Datei(en) extrahiert, 1 nicht.");
  EXPECT_NE(form().LabelCreationInfo->Caption().find("1 (nicht überschrieben, die vorhandene Datei ist nicht älter)"),
            std::string::npos)
      << form().LabelCreationInfo->Caption();
  Finish();

  prepare();
  ClickButton(*windows.page->FlatButtonExtract);
  // Closing reset the options.
  EXPECT_TRUE(form().CheckBoxNewer->Checked());
  ClickButton(*form().CheckBoxDirs);
  ClickButton(*form().CheckBoxNewer);
  Run();
  ExpectSuccess();
  Finish();
  restore_fixture::ExpectRestored(marked, dest, false);
}

TEST_F(FormExtract, AMissingPartIsAskedForUntilCancelThenTheSummaryShows) {
  const std::string set = dir / "Satz";
  fsys::create_directories(fsys::u8path(set));
  const std::string own = TheFixtures().own.archive;
  CopyInto(own, set);
  CopyInto(zip::ChangeFileExt(own, ".001"), set);
  Open(Join(set, "eigen.zip"));
  ASSERT_EQ(windows.Rows(), TheFixtures().own.rows);
  prompts.EnterNextText(TheFixtures().own.password);
  prompts.AnswerNext(classlib::PromptResult::Retry);
  prompts.AnswerNext(classlib::PromptResult::Cancel);
  ClickButton(*windows.page->FlatButtonExtractAll);
  Run();

  ASSERT_EQ(prompts.messages.size(), 2u);
  const classlib::MessageRequest& question = prompts.messages[0];
  EXPECT_EQ(question.text, app::MissingPartText(2, Join(set, "eigen.002")));
  EXPECT_EQ(question.text,
            "Bitte legen Sie den Datenträger 2 ein und wiederholen\rSie den Vorgang!\r\r"
            "Hinweis: Datenträger 2 enthält benötigte Datei\reigen.002.");
  EXPECT_EQ(question.caption, "Orvanta");
  EXPECT_EQ(question.buttons, classlib::PromptButtons::RetryCancel);
  EXPECT_TRUE(question.systemModal);
  // The user learns that the run ended before its end, and why.
  ASSERT_TRUE(form().Visible());
  EXPECT_EQ(form().LabelCreationStep->Caption(), kEndedEarlyStep);
  EXPECT_NE(form().LabelCreationInfo->Caption().find("Datenträger 2 mit der Datei eigen.002 wurde nicht eingelegt."),
            std::string::npos)
      << form().LabelCreationInfo->Caption();
  EXPECT_TRUE(EndsWith(form().LabelAction->Caption(), " Datei(en) extrahiert, dann wurde die Extraktion abgebrochen."))
      << form().LabelAction->Caption();
  EXPECT_EQ(form().FlatButtonNext->Caption(), "Fertig");
  Finish();
  EXPECT_EQ(mainWindow, std::vector<bool>({false, true}));
}

TEST_F(FormExtract, AWrongThenTheRightPasswordRestoresEverything) {
  Open(TheFixtures().infoZip.archive);
  prompts.EnterNextText("falsch");
  prompts.EnterNextText(TheFixtures().infoZip.password);
  ClickButton(*windows.page->FlatButtonExtractAll);
  Run();
  ExpectSuccess();
  EXPECT_EQ(prompts.inputRequests.size(), 2u);
  restore_fixture::ExpectRestored(TheFixtures().infoZip.rows, dest, true);
}

TEST_F(FormExtract, TheSameWrongPasswordTwiceGivesTheFileUpAtOnce) {
  Open(TheFixtures().infoZip.archive);
  prompts.EnterNextText("falsch");
  prompts.EnterNextText("falsch");
  prompts.EnterNextText(TheFixtures().infoZip.password);
  ClickButton(*windows.page->FlatButtonExtractAll);
  Run();
  EXPECT_EQ(prompts.inputRequests.size(), 3u);
  EXPECT_EQ(FilesBelow(dest).size(), TheFixtures().infoZip.rows.size() - 1);
  ExpectNoSuccessText();
  EXPECT_NE(form().LabelCreationInfo->Caption().find("1 (falsches Passwort)"), std::string::npos)
      << form().LabelCreationInfo->Caption();
}

// A cancel at the password question, whether the first check failed or a wrong password passed
// it (one in about 256 does) and its data failed the CRC, ends the run with its summary; nothing
// of the entry is left.
TEST_F(FormExtract, CancelAtThePasswordQuestionEndsTheRunWithItsSummary) {
  const restore_fixture::Fixtures& f = TheFixtures();
  ASSERT_FALSE(f.passingPassword.empty());
  const struct {
    const char* what;
    std::string archive;
    std::string password;
  } cases[] = {{"the check failed", f.infoZip.archive, ""}, {"the check passed", f.secret, f.passingPassword}};
  NewDestination("Ziel 1");
  NewDestination("Ziel 2");
  int run = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    dest = dir / ("Ziel " + std::to_string(++run));
    Open(c.archive);
    form().UnZipArchive().SetPassword(c.password);
    prompts.EnterNextText(std::nullopt);
    ClickButton(*windows.page->FlatButtonExtractAll);
    Run();
    EXPECT_EQ(prompts.inputRequests.size(), static_cast<std::size_t>(run));
    EXPECT_TRUE(FilesBelow(dest).empty());
    ASSERT_TRUE(form().Visible());
    const std::string info = form().LabelCreationInfo->Caption();
    EXPECT_EQ(form().LabelCreationStep->Caption(), kEndedEarlyStep);
    EXPECT_NE(info.find("Die Passwortabfrage wurde abgebrochen."), std::string::npos) << info;
    EXPECT_NE(info.find("1 (falsches Passwort)"), std::string::npos) << info;
    Finish();
  }
}

// The same wrong password, passing the check, given twice: the entry is given up, a file of its
// name stays as it was, and the next entry comes back.
TEST_F(FormExtract, AWrongPasswordPassingTheCheckTwiceLeavesTheFileThereAsItWas) {
  const restore_fixture::Fixtures& f = TheFixtures();
  ASSERT_FALSE(f.passingPassword.empty());
  Open(f.secret);
  testing_support::WriteFile(Join(dest, "geheim.txt"), "vorher");
  form().UnZipArchive().SetPassword(f.passingPassword);
  prompts.EnterNextText(f.passingPassword);
  ClickButton(*windows.page->FlatButtonExtractAll);
  ClickButton(*form().CheckBoxNewer);
  Run();
  EXPECT_EQ(prompts.inputRequests.size(), 1u);
  EXPECT_EQ(FilesBelow(dest), std::vector<std::string>({"geheim.txt", "offen.txt"}));
  EXPECT_EQ(testing_support::ReadFile(Join(dest, "geheim.txt")), "vorher");
  EXPECT_EQ(form().LabelAction->Caption(), "1 Datei(en) extrahiert, 1 nicht.");
  EXPECT_NE(form().LabelCreationInfo->Caption().find("1 (falsches Passwort)"), std::string::npos)
      << form().LabelCreationInfo->Caption();
  Finish();
}

// Windows reserves these names for devices, whatever the case, the extension or the folder: each is
// refused, the run goes on with the next entry, with either option.
TEST_F(FormExtract, NamesOfDevicesAreRefusedAndTheNextFileIsExtracted) {
  const restore_fixture::Fixtures& f = TheFixtures();
  ASSERT_GT(f.reservedCount, 0);
  std::vector<std::string> following;
  for (int i = 0; i < f.reservedCount; ++i) following.push_back("nach-" + std::to_string(i) + ".txt");
  const std::string n = std::to_string(f.reservedCount);
  NewDestination("Ziel 1");
  NewDestination("Ziel 2");
  for (bool onlyNewer : {true, false}) {
    SCOPED_TRACE(onlyNewer);
    dest = dir / (onlyNewer ? "Ziel 1" : "Ziel 2");
    Open(f.reserved);
    ClickButton(*windows.page->FlatButtonExtractAll);
    if (!onlyNewer) ClickButton(*form().CheckBoxNewer);
    Run();
    EXPECT_EQ(FilesBelow(dest), following);
    EXPECT_EQ(form().LabelAction->Caption(), n + " Datei(en) extrahiert, " + n + " nicht.");
    EXPECT_NE(form().LabelCreationInfo->Caption().find(n + " (unzulässiger Name oder nicht erstellbar)."),
              std::string::npos)
        << form().LabelCreationInfo->Caption();
    Finish();
  }
}

// "Bericht.txt" and "bericht.TXT", "name", "name." and "name " are one file to Windows: the first
// comes back, the others are not counted as extracted.
TEST_F(FormExtract, NamesWindowsFoldsIntoOneAreExtractedOnce) {
  Open(TheFixtures().sameNames);
  ClickButton(*windows.page->FlatButtonExtractAll);
  ClickButton(*form().CheckBoxNewer);
  Run();
  EXPECT_EQ(FilesBelow(dest), std::vector<std::string>({"Bericht.txt", "name"}));
  EXPECT_EQ(testing_support::ReadFile(Join(dest, "Bericht.txt")), "erster");
  EXPECT_EQ(testing_support::ReadFile(Join(dest, "name")), "eins");
  EXPECT_EQ(form().LabelAction->Caption(), "2 Datei(en) extrahiert, 3 nicht.");
  EXPECT_NE(form().LabelCreationInfo->Caption().find("3 (gleicher Name wie eine andere Datei im Backup)"),
            std::string::npos)
      << form().LabelCreationInfo->Caption();
}

TEST_F(FormExtract, EachRefusalNamesItsReason) {
  const std::string readOnly = Join(dest, "schreibgeschuetzt.txt");
  testing_support::WriteFile(readOnly, "alt");
  ASSERT_TRUE(zip::fs::SetAttributes(readOnly, zip::fs::kAttrReadOnly));
  testing_support::WriteFile(Join(dest, "ordner"), "eine Datei");
  // The engine's box for the method it does not know.
  prompts.AnswerNext(classlib::PromptResult::Ok);
  Open(TheFixtures().reasons);
  ClickButton(*windows.page->FlatButtonExtractAll);
  ClickButton(*form().CheckBoxNewer);
  Run();
  const std::string info = form().LabelCreationInfo->Caption();
  EXPECT_EQ(form().LabelAction->Caption(), "1 Datei(en) extrahiert, 3 nicht.");
  for (const char* reason : {"1 (nicht überschrieben, die vorhandene Datei ist schreibgeschützt)",
                             "1 (unbekannte Komprimierungsmethode)",
                             "1 (Ordner nicht angelegt, eine Datei trägt seinen Namen)"})
    EXPECT_NE(info.find(reason), std::string::npos) << info;
  EXPECT_EQ(info.find("unzulässiger Name"), std::string::npos) << info;
  EXPECT_EQ(testing_support::ReadFile(readOnly), "alt");
  EXPECT_EQ(testing_support::ReadFile(Join(dest, "gut.txt")), "gut.txt");
  zip::fs::SetAttributes(readOnly, 0);
}

TEST_F(FormExtract, UnsafeNamesAreRefusedAndNothingLandsOutsideTheFolder) {
  Open(TheFixtures().unsafe);
  ClickButton(*windows.page->FlatButtonExtractAll);
  Run();
  EXPECT_EQ(FilesBelow(dir.Path()), std::vector<std::string>({"Ziel\\gut.txt"}));
  ExpectNoSuccessText();
  EXPECT_EQ(form().LabelAction->Caption(), "1 Datei(en) extrahiert, 2 nicht.");
  EXPECT_NE(form().LabelCreationInfo->Caption().find("2 (unzulässiger Name oder nicht erstellbar)"), std::string::npos)
      << form().LabelCreationInfo->Caption();
}

// Data that failed its check is never found under the file's name: with no file there none is
// made, an older file there stays as it was, and a restore of an intact backup afterwards, only
// newer files, brings every file back. What was readable is kept beside it, under a name that says
// it is damaged, and the summary says so.
TEST_F(FormExtract, DamagedDataNeverStandsUnderTheFilesName) {
  const restore_fixture::Fixtures& f = TheFixtures();
  for (int i = 1; i <= 3; ++i) NewDestination("Ziel " + std::to_string(i));
  auto restore = [&](const std::string& archive) {
    Open(archive);
    ClickButton(*windows.page->FlatButtonExtractAll);
    Run();
  };
  auto makeOld = [](const std::string& file) {
    fsys::create_directories(fsys::u8path(file).parent_path());
    testing_support::WriteFile(file, "alt");
    ASSERT_TRUE(zip::fs::SetFileDate(file, DosTime(2000, 1, 1)));
  };
  auto isOld = [](const std::string& file) {
    std::uint32_t date = 0;
    return testing_support::ReadFile(file) == "alt" && zip::fs::FileAge(file, date) && date == DosTime(2000, 1, 1);
  };

  // One byte flipped: nothing there, then an older file there.
  for (bool fileThere : {false, true}) {
    SCOPED_TRACE(fileThere);
    dest = dir / (fileThere ? "Ziel 2" : "Ziel 1");
    if (fileThere) makeOld(Join(dest, "b.txt"));
    restore(f.damaged);
    const std::string info = form().LabelCreationInfo->Caption();
    EXPECT_NE(info.find("1 (beschädigt, CRC-Fehler)."), std::string::npos) << info;
    EXPECT_NE(info.find("Die lesbaren Daten von 1 beschädigten Datei(en) liegen daneben, mit „(beschädigt)“ im Namen."),
              std::string::npos)
        << info;
    std::vector<std::string> expected = {"a.txt", "b (beschädigt).txt", "c.txt"};
    if (fileThere) expected.insert(expected.begin() + 2, "b.txt");
    EXPECT_EQ(FilesBelow(dest), expected);
    if (fileThere) {
      EXPECT_TRUE(isOld(Join(dest, "b.txt")));
    }
    Finish();
    // The others are there with their dates already.
    restore(f.intact);
    EXPECT_EQ(form().LabelAction->Caption(), "1 Datei(en) extrahiert, 2 nicht.");
    Finish();
    std::string intact;
    for (int i = 0; i < 100; ++i) intact += "b.txt";
    EXPECT_EQ(testing_support::ReadFile(Join(dest, "b.txt")), intact);
  }

  // A part cut short: an older copy of every file there, each either stays or is replaced by the
  // file as it was backed up.
  dest = dir / "Ziel 3";
  const std::vector<Row>& rows = f.python.rows;
  for (const Row& row : rows) makeOld(Join(dest, row.folder + row.name));
  restore(f.cutSplit);
  ExpectNoSuccessText();
  int damaged = 0;
  for (const Row& row : rows) {
    const std::string file = Join(dest, row.folder + row.name);
    if (isOld(file)) {
      ++damaged;
    } else {
      EXPECT_TRUE(testing_support::ReadFile(file) == testing_support::ReadFile(restore_fixture::SourceOf(row))) << file;
    }
  }
  EXPECT_GT(damaged, 0);
  // Each damaged file's readable data lies beside it; out of the way for the check below.
  int kept = 0;
  for (const std::string& file : FilesBelow(dest)) {
    if (file.find(app::kDamagedMark) == std::string::npos) continue;
    ++kept;
    EXPECT_TRUE(fsys::remove(fsys::u8path(Join(dest, file)))) << file;
  }
  EXPECT_EQ(kept, damaged);
  Finish();
  restore(f.python.archive);
  EXPECT_EQ(form().LabelAction->Caption(), std::to_string(damaged) + " Datei(en) extrahiert, " +
                                               std::to_string(rows.size() - damaged) + " nicht.");
  Finish();
  restore_fixture::ExpectRestored(rows, dest, true);
}

// Each damaged file is reported with what happened to its data; what was readable of it lies
// beside it, and where nothing was, nothing does.
TEST_F(FormExtract, ADamagedFileIsReportedWithWhatHappened) {
  const char kKeptText[] =
      "Die lesbaren Daten von 1 beschädigten Datei(en) liegen daneben, mit „(beschädigt)“ im Namen.";
  const char kNothingText[] = "Von 2 beschädigten Datei(en) waren keine Daten lesbar; daneben liegt nichts.";
  const struct {
    const char* what;
    std::string archive;
    std::string action;
    std::string reason;
    const char* beside;
    const char* notBeside;
    std::vector<std::string> files;
  } cases[] = {
      {"a byte of stored data flipped", TheFixtures().damaged, "2 Datei(en) extrahiert, 1 nicht.",
       "Nicht extrahiert: 1 (beschädigt, CRC-Fehler).", kKeptText, kNothingText,
       {"a.txt", "b (beschädigt).txt", "c.txt"}},
      {"deflated data zero-filled and cut after its first byte", TheFixtures().broken,
       "1 Datei(en) extrahiert, 2 nicht.", "Nicht extrahiert: 2 (beschädigt, Daten ungültig oder unvollständig).",
       kNothingText, kKeptText, {"a.txt"}},
  };
  // The folder tree lists the folders there are when it first opens.
  for (std::size_t i = 1; i <= std::size(cases); ++i) NewDestination("Ziel " + std::to_string(i));
  int run = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    dest = dir / ("Ziel " + std::to_string(++run));
    Open(c.archive);
    ClickButton(*windows.page->FlatButtonExtractAll);
    Run();
    ExpectNoSuccessText();
    EXPECT_EQ(form().LabelAction->Caption(), c.action);
    const std::string info = form().LabelCreationInfo->Caption();
    EXPECT_NE(info.find(c.reason), std::string::npos) << info;
    EXPECT_NE(info.find(c.beside), std::string::npos) << info;
    EXPECT_EQ(info.find(c.notBeside), std::string::npos) << info;
    EXPECT_EQ(FilesBelow(dest), c.files);
    std::string intact;
    for (int i = 0; i < 100; ++i) intact += "a.txt";
    EXPECT_EQ(testing_support::ReadFile(Join(dest, "a.txt")), intact);
    Finish();
  }
}

TEST_F(FormExtract, AnArchiveChangedSinceItWasListedIsRefused) {
  const std::string copy = dir / "kopie.zip";
  Copy(TheFixtures().python.archive, copy);
  Open(copy);
  Copy(TheFixtures().infoZip.archive, copy);
  ClickButton(*windows.page->FlatButtonExtractAll);
  Run();
  EXPECT_TRUE(FilesBelow(dest).empty());
  EXPECT_EQ(form().LabelCreationStep->Caption(), "Extraktion vorzeitig beendet.");
  EXPECT_NE(form().LabelCreationInfo->Caption().find(app::kArchiveChangedText), std::string::npos);
  EXPECT_EQ(form().FlatButtonNext->Caption(), "Fertig");
  // The result stays until "Fertig" is pressed.
  testing_support::CloseBox(form());
  EXPECT_TRUE(form().Visible());
  Finish();
}

TEST_F(FormExtract, AVirtualFolderIsNoDestination) {
  Open(TheFixtures().python.archive);
  prompts.AnswerNext(classlib::PromptResult::Ok);
  ClickButton(*windows.page->FlatButtonExtractAll);
  const HWND tree = form().FolderTree->Handle();
  TreeView_SelectItem(tree, TreeView_GetRoot(tree));
  ClickButton(*form().FlatButtonNext);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text.rfind("Bitte wählen Sie ein Verzeichnis aus", 0), 0u);
  EXPECT_TRUE(form().PanelRestore->Visible());
  ClickButton(*form().FlatButtonBack);
  EXPECT_FALSE(form().Visible());
}

TEST_F(FormExtract, AbbrechenStopsTheRunAndClosesTheWindowOnceTheReaderHasStopped) {
  Open(TheFixtures().python.archive);
  ClickButton(*windows.page->FlatButtonExtractAll);
  bool closeRefused = false;
  zip::SetMessagePump([&] {
    if (form().FlatButtonNext->Caption() != "Abbrechen") return;
    testing_support::CloseBox(form());
    closeRefused = form().Visible();
    ClickButton(*form().FlatButtonNext);
    // Still open while the reader is on the stack.
    EXPECT_TRUE(form().Visible());
  });
  Run();
  EXPECT_TRUE(closeRefused);
  EXPECT_FALSE(form().Visible());
  EXPECT_TRUE(FilesBelow(dest).empty());
  EXPECT_EQ(mainWindow, std::vector<bool>({false, true}));
}

}  // namespace
