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

TEST_F(FormExtract, AMissingPartIsAskedForUntilCancelThenTheRunEndsQuietly) {
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
  EXPECT_FALSE(form().Visible());
  EXPECT_EQ(form().LabelCreationStep->Caption(), "Dateien werden extrahiert...");
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

TEST_F(FormExtract, CancelInThePasswordBoxCancelsTheRun) {
  Open(TheFixtures().infoZip.archive);
  prompts.EnterNextText(std::nullopt);
  ClickButton(*windows.page->FlatButtonExtractAll);
  Run();
  EXPECT_EQ(prompts.inputRequests.size(), 1u);
  EXPECT_FALSE(form().Visible());
  EXPECT_TRUE(FilesBelow(dest).empty());
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

TEST_F(FormExtract, ADamagedFileIsReported) {
  Open(TheFixtures().damaged);
  ClickButton(*windows.page->FlatButtonExtractAll);
  Run();
  std::string intact;
  for (int i = 0; i < 100; ++i) intact += "c.txt";
  EXPECT_EQ(testing_support::ReadFile(Join(dest, "c.txt")), intact);
  ExpectNoSuccessText();
  EXPECT_EQ(form().LabelAction->Caption(), "2 Datei(en) extrahiert, 1 nicht.");
  EXPECT_NE(form().LabelCreationInfo->Caption().find("1 (beschädigt, CRC-Fehler)"), std::string::npos)
      << form().LabelCreationInfo->Caption();
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
