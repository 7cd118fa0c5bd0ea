#include "app/wizards/form_instant.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/backup_definition.h"
#include "app/file_state_list.h"
#include "app/job_list.h"
#include "app/password_coder.h"
#include "app/program_settings.h"
#include "app/schedule.h"
#include "app/single_backup_list.h"
#include "app/wizards/instant_pages.h"
#include "app/wizards/window_style.h"
#include "classlib/registry.h"
#include "classlib/wide.h"
#include "tests/app/wizards/simulated_recorders.h"
#include "tests/app/wizards/wizard_fixture.h"
#include "tests/support/host_python.h"
#include "tests/support/scripted_prompts.h"
#include "zip/fs_helpers.h"

using namespace app;
using classlib::PromptResult;
using testing_support::ClickButton;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

const char kBackups[] = "Software\\Norvex\\Orvanta\\Backups";

std::string Golden(const std::string& name) { return ReadFile(std::string(WIZARD_TEST_DATA) + "/golden/" + name); }

class InstantWizard : public wizard_testing::WizardFixture {
 protected:
  InstantWizard() {
    MainWindow().Jobs = [this] { return &jobs; };
    for (const char* folder : {"Daten", "Fotos", "Ziel", "Briefe"}) zip::ForceDirectories(dir / folder);
    WriteFile(dir / "Briefe\\Angebot.txt", std::string(3000, 'a'));
    WriteFile(dir / "Briefe\\Rechnung.txt", std::string(100, 'r'));
  }
  ~InstantWizard() override { delete form; }

  void Next() { ClickButton(*form->FlatButtonNext); }
  void Back() { ClickButton(*form->FlatButtonBack); }

  void NextTo(int page) {
    for (int i = 0; i < 12 && form->PageIndex() != page; ++i) Next();
  }

  // "Weiter" until the wizard closes (a save) or stops moving (a refusal).
  void NextToTheEnd() {
    for (int i = 0; i < 12 && form->Visible(); ++i) {
      const int before = form->PageIndex();
      Next();
      if (form->Visible() && form->PageIndex() == before) return;
    }
  }

  // The Backups key as reg prints it, the scratch folder written <temp>.
  std::string Dump() const {
    std::string text = registry.Dump(kBackups);
    for (size_t at = text.find(dir.Path()); at != std::string::npos; at = text.find(dir.Path(), at))
      text.replace(at, dir.Path().size(), "<temp>");
    return text;
  }

  // A folder definition with a value off its default on every page, in expert mode.
  void FillFolderDefinition() {
    form->CheckBoxExpert->SetChecked(true);
    form->AddDefinition();
    form->RadioButtonFolders->SetChecked(true);
    form->RadioButtonExtended->SetChecked(true);
    AddExtendedFolder(*form->ListViewExtended, dir / "Fotos", false);
    AddExtendedFolder(*form->ListViewExtended, dir / "Daten", true);
    ASSERT_TRUE(form->FolderTree->SetPath(dir / "Daten"));
    form->CheckBoxFolders->SetChecked(true);
    form->RadioButtonNot->SetChecked(true);
    form->FlatEditTypen->SetText("*.tmp;*.bak");
    form->CheckBoxMax->SetChecked(true);
    form->FlatComboBoxMax->SetItemIndex(2);
    form->SpinEditMinutes->SetValue(30);
    form->CheckBoxTime->SetChecked(true);
    form->MaskEditTime->SetText("07:30");
    form->CheckBoxSunday->SetChecked(false);
    form->RadioButtonGarantieAsk->SetChecked(true);
    form->RadioButtonPart->SetChecked(true);
    form->RadioButtonPartNewDate->SetChecked(true);
    form->DateCalendarDate->SetSelectedDate(classlib::EncodeDate(2024, 2, 1));
    form->SpinEditInstances->SetValue(3);
    form->CheckBoxUser->SetChecked(false);
    form->CheckBoxPassword->SetChecked(true);
    form->FlatEditPasswordPW->SetText("Geheim");
    form->FlatEditPasswordPWRepeat->SetText("Geheim");
    form->FlatComboBoxSplitVariante->SetItemIndex(3);
    form->RadioButtonSplitCD->SetChecked(true);
    ASSERT_TRUE(form->FolderTreeSave->SetPath(dir / "Ziel"));
    form->FlatEditName->SetText("Buero taeglich");
  }

  // A simple folder definition in normal mode, whose extended list was built before the one
  // folder was chosen.
  void SaveSimpleFolderDefinition(const std::string& name) {
    form->CheckBoxExpert->SetChecked(false);
    form->AddDefinition();
    form->RadioButtonFolders->SetChecked(true);
    form->RadioButtonExtended->SetChecked(true);
    AddExtendedFolder(*form->ListViewExtended, dir / "Fotos", false);
    form->RadioButtonSimple->SetChecked(true);
    ASSERT_TRUE(form->FolderTree->SetPath(dir / "Daten"));
    ASSERT_TRUE(form->FolderTreeSave->SetPath(dir / "Ziel"));
    form->FlatEditName->SetText(name);
    NextToTheEnd();
    ASSERT_FALSE(form->Visible()) << "not saved";
  }

  // A files definition of two letters, in normal mode.
  void FillFileDefinition(const std::string& name) {
    form->CheckBoxExpert->SetChecked(false);
    form->AddDefinition();
    form->RadioButtonFiles->SetChecked(true);
    AddFileItem(*form->ListViewFiles, dir / "Briefe\\Angebot.txt");
    AddFileItem(*form->ListViewFiles, dir / "Briefe\\Rechnung.txt");
    ASSERT_TRUE(form->FolderTreeSave->SetPath(dir / "Ziel"));
    form->FlatEditName->SetText(name);
  }

  void SaveFileDefinition(const std::string& name) {
    FillFileDefinition(name);
    NextToTheEnd();
    ASSERT_FALSE(form->Visible()) << "not saved";
  }

  // "Weiter" through the pages of the stored definition, changing nothing.
  void EditAndSaveUnchanged(const std::string& name) {
    ASSERT_TRUE(form->EditDefinition(name));
    NextToTheEnd();
    ASSERT_FALSE(form->Visible()) << "not saved";
  }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const classlib::MessageRequest& m : prompts.messages) texts.push_back(m.text);
    return texts;
  }

  testing_support::ScriptedPrompts prompts;
  JobList jobs;
  TCDWriter devices{nullptr};
  TFormInstant* form = new TFormInstant(nullptr, &devices);
};

// ---- the page step

TEST_F(InstantWizard, PagesForwardAndBackInEachModeAndKind) {
  const struct {
    bool expert;
    bool files;
    std::vector<int> forward;  // the pages "Weiter" shows from the welcome page
    std::vector<int> back;     // the pages "Zurück" shows from the name page; -1 closed
  } cases[] = {
      {false, true, {0, 1, 3, 9, 10}, {9, 3, 1, 0, -1}},
      {false, false, {0, 1, 3, 9, 10}, {9, 3, 1, 0, -1}},
      {true, true, {0, 1, 3, 4, 5, 6, 7, 8, 9, 10}, {9, 8, 7, 6, 5, 4, 3, 1, 0, -1}},
      {true, false, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, -1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.expert ? "expert" : "normal") + (c.files ? " files" : " folders"));
    form->CheckBoxExpert->SetChecked(c.expert);
    form->AddDefinition();
    (c.files ? form->RadioButtonFiles : form->RadioButtonFolders)->SetChecked(true);
    AddFileItem(*form->ListViewFiles, dir / "Briefe\\Angebot.txt");
    form->FolderTree->SetPath(dir / "Daten");
    form->FolderTreeSave->SetPath(dir / "Ziel");
    std::vector<int> shown = {form->PageIndex()};
    std::vector<std::string> steps;
    while (form->PageIndex() != kNamePage && shown.size() < 12) {
      Next();
      shown.push_back(form->PageIndex());
      steps.push_back(form->LabelInfo->Caption());
    }
    EXPECT_EQ(shown, c.forward);
    const int count = static_cast<int>(c.forward.size()) - 1;
    EXPECT_EQ(steps.front(), "Schritt 1 von " + std::to_string(count));
    EXPECT_EQ(steps.back(), "Schritt " + std::to_string(count) + " von " + std::to_string(count));
    EXPECT_EQ(form->FlatButtonNext->Caption(), "Fertig");
    // The source page of the kind chosen.
    shown.clear();
    while (form->Visible() && shown.size() < 12) {
      Back();
      shown.push_back(form->Visible() ? form->PageIndex() : -1);
      if (form->PageIndex() == kSourcePage) {
        EXPECT_TRUE((c.files ? form->PanelStep1Files : form->PanelStep1Folders)->Visible());
      }
    }
    EXPECT_EQ(shown, c.back);
    EXPECT_EQ(form->FlatButtonNext->Caption(), "Weiter");
  }
}

TEST_F(InstantWizard, AnEditStartsOnTheSourcePageAndBackThereClosesWithoutSaving) {
  SaveFileDefinition("Briefe");
  const std::string stored = Dump();
  ASSERT_TRUE(form->EditDefinition("Briefe"));
  EXPECT_EQ(form->PageIndex(), kSourcePage);
  EXPECT_TRUE(form->PanelStep1Files->Visible());
  EXPECT_FALSE(form->PanelWelcome->Visible());
  Back();
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(Dump(), stored);
  EXPECT_TRUE(form->EditedJobName().empty());
}

TEST_F(InstantWizard, BurnerSettingsLeadToTheDestinationOrTheSplitPage) {
  const struct {
    bool expert;
    int afterNext;
    int afterBack;
  } cases[] = {{false, kDestinationPage, kSchedulePage}, {true, kSplitPage, kSplitPage}};
  wizard_testing::SimulatedRecorders recorders{dir.Path(), devices, prompts};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expert ? "expert" : "normal");
    for (bool back : {false, true}) {
      form->CheckBoxExpert->SetChecked(c.expert);
      form->AddDefinition();
      form->RadioButtonFolders->SetChecked(true);
      form->FolderTree->SetPath(dir / "Daten");
      form->FolderTreeSave->SetPath(dir / "Ziel");
      NextTo(kDestinationPage);
      EXPECT_TRUE(form->RadioButtonBurn->Enabled());
      ClickButton(*form->FlatButtonBurnerSettings);
      EXPECT_TRUE(form->PanelBurner->Visible());
      EXPECT_FALSE(form->PanelStep4->Visible());
      EXPECT_EQ(form->LabelHeader->Caption(), "CD-Recording");
      back ? Back() : Next();
      EXPECT_FALSE(form->PanelBurner->Visible());
      EXPECT_EQ(form->PageIndex(), back ? c.afterBack : c.afterNext);
      form->Close();
    }
  }
}

TEST_F(InstantWizard, ExpertModeShowsThePageAgainWithItsStepsAndIsStored) {
  form->CheckBoxExpert->SetChecked(false);
  form->AddDefinition();
  form->RadioButtonFolders->SetChecked(true);
  form->FolderTree->SetPath(dir / "Daten");
  Next();
  Next();
  ASSERT_EQ(form->PageIndex(), kSchedulePage);
  EXPECT_EQ(form->LabelInfo->Caption(), "Schritt 2 von 4");
  ClickButton(*form->CheckBoxExpert);
  EXPECT_EQ(form->PageIndex(), kSchedulePage);
  EXPECT_EQ(form->LabelInfo->Caption(), "Schritt 3 von 10");
  EXPECT_TRUE(ReadProgramSettings().ExpertMode);
  Next();
  EXPECT_EQ(form->PageIndex(), kCatchUpPage);
  ClickButton(*form->CheckBoxExpert);
  EXPECT_FALSE(ReadProgramSettings().ExpertMode);
  // Without expert mode the catch-up page is skipped forward.
  EXPECT_EQ(form->PageIndex(), kDestinationPage);
}

// ---- what is stored

TEST_F(InstantWizard, SavedDefinitionsEqualTheGoldenDump) {
  // The wizard's first use: in normal mode the confirmation it never showed stays off.
  SaveFileDefinition("Briefe");
  FillFolderDefinition();
  NextToTheEnd();
  ASSERT_FALSE(form->Visible()) << ::testing::PrintToString(MessageTexts());
  SaveSimpleFolderDefinition("Ordner");
  EXPECT_EQ(Dump(), Golden("instant_definitions.txt"));
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(InstantWizard, EditingAndSavingUnchangedLeavesAnIdenticalDump) {
  FillFolderDefinition();
  NextToTheEnd();
  SaveFileDefinition("Briefe");
  SaveSimpleFolderDefinition("Ordner");
  // Results of a run stay with the definition.
  WriteBackupResults("Briefe", {"04. März 2024 - 18:00 Uhr", "1,25 MB", "2"});
  WriteAfterBackup("Buero taeglich", AfterBackupAction::OpenFile, "C:\\Programme\\pruefen.exe");
  const std::string stored = Dump();
  ASSERT_FALSE(stored.empty());
  EditAndSaveUnchanged("Buero taeglich");
  EditAndSaveUnchanged("Briefe");
  // The one folder is chosen, and the extended list is there to switch back to.
  ASSERT_TRUE(form->EditDefinition("Ordner"));
  EXPECT_TRUE(form->RadioButtonSimple->Checked());
  ASSERT_EQ(form->ListViewExtended->Items().Count(), 1);
  EXPECT_EQ(form->ListViewExtended->Items()[0]->Caption(), dir / "Fotos");
  NextToTheEnd();
  ASSERT_FALSE(form->Visible());
  EXPECT_EQ(Dump(), stored);
  EXPECT_TRUE(prompts.messages.empty()) << ::testing::PrintToString(MessageTexts());
}

TEST_F(InstantWizard, ThePasswordDecodesByTheKeyRuleToWhatWasTyped) {
  ASSERT_EQ(GetACP(), 1252u);
  const std::string typed = "Geheim-\xC3\xA4\xE2\x82\xAC";  // "Geheim-ä€", all in Windows-1252
  FillFolderDefinition();
  form->FlatEditPasswordPW->SetText(typed);
  form->FlatEditPasswordPWRepeat->SetText(typed);
  NextToTheEnd();
  ASSERT_FALSE(form->Visible());
  classlib::TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Norvex\\Orvanta\\Backups\\Buero taeglich"));
  const char script[] = R"(import base64, sys
k = 0x7E51
plain = bytearray()
for c in base64.b64decode(sys.argv[1], validate=True):
    plain.append(c ^ (k >> 8))
    k = ((c + k) * 0x7E51 + 0x2D58) & 0xFFFF
print(plain.decode('cp1252'), end='')
)";
  std::string output;
  ASSERT_TRUE(testing_support::RunHostPython(script, {reg.ReadString("Password")}, output)) << output;
  EXPECT_EQ(output, typed);
}

TEST_F(InstantWizard, ANewDefinitionJoinsTheMainWindowsListSortedAndTheWizardResets) {
  jobs.Add("Zeitung", "n/a");
  main.panelRefreshes = 0;
  SaveFileDefinition("Briefe");
  ASSERT_EQ(jobs.Count(), 2);
  EXPECT_EQ(jobs.Item(0).Name, "Briefe");
  EXPECT_EQ(jobs.Item(0).NextRun, "10 Minute(n)");
  EXPECT_EQ(main.panelRefreshes, 1);
  EXPECT_TRUE(main.enabled);
  EXPECT_TRUE(main.schedulerEnabled);
  // Closing put the controls back to their defaults.
  EXPECT_EQ(form->FlatEditName->Text(), "Unbenannt");
  EXPECT_EQ(form->ListViewFiles->Items().Count(), 0);
  EXPECT_EQ(form->MaskEditTime->Text(), "18:00");
  EXPECT_EQ(form->SpinEditMinutes->Value(), 10);
  EXPECT_FALSE(form->CheckBoxUser->Checked());
  EXPECT_EQ(form->PageIndex(), -1);
}

TEST_F(InstantWizard, WhileShownTheMainWindowAndTheSchedulerWait) {
  main.schedulerEnabled = true;
  form->AddDefinition();
  EXPECT_FALSE(main.enabled);
  EXPECT_FALSE(main.schedulerEnabled);
  testing_support::CloseBox(*form);
  EXPECT_TRUE(main.enabled);
  EXPECT_TRUE(main.schedulerEnabled);
}

// ---- renaming and the state file

TEST_F(InstantWizard, ARenameWritesTheNewKeyMovesTheStateFileOverAStaleOneAndDropsTheOldKey) {
  SaveFileDefinition("Briefe");
  WriteBackupResults("Briefe", {"04. März 2024 - 18:00 Uhr", "1,25 MB", "2"});
  WriteFile(StateFileName("Briefe"), "dates of Briefe");
  WriteFile(StateFileName("Post"), "dates of a deleted Post");
  ASSERT_TRUE(form->EditDefinition("Briefe"));
  form->FlatEditName->SetText("Post");
  NextToTheEnd();
  ASSERT_FALSE(form->Visible());
  EXPECT_FALSE(BackupDefinitionExists("Briefe"));
  const std::optional<BackupDefinition> post = ReadBackupDefinition("Post");
  ASSERT_TRUE(post);
  EXPECT_EQ(post->FileList.size(), 2u);
  EXPECT_EQ(post->BackupSize, "1,25 MB");
  EXPECT_EQ(ReadFile(StateFileName("Post")), "dates of Briefe");
  EXPECT_FALSE(testing_support::FileExists(StateFileName("Briefe")));
  ASSERT_EQ(jobs.Count(), 1);
  EXPECT_EQ(jobs.Item(0).Name, "Post");
  EXPECT_EQ(jobs.Item(0).NextRun, "10 Minute(n)");
}

TEST_F(InstantWizard, ANewDefinitionNeverStartsFromTheStateFileOfADeletedOne) {
  WriteFile(StateFileName("Briefe"), "dates of an older Briefe");
  SaveFileDefinition("Briefe");
  EXPECT_FALSE(testing_support::FileExists(StateFileName("Briefe")));
}

TEST_F(InstantWizard, ChangingOnlyTheLetterCaseRenamesTheKeyAndKeepsEverything) {
  SaveFileDefinition("Briefe");
  WriteFile(StateFileName("Briefe"), "dates");
  ASSERT_TRUE(form->EditDefinition("Briefe"));
  form->FlatEditName->SetText("BRIEFE");
  NextToTheEnd();
  ASSERT_FALSE(form->Visible());
  const classlib::TStringList names = ListBackupDefinitions();
  ASSERT_EQ(names.Count(), 1);
  EXPECT_EQ(names[0], "BRIEFE");
  EXPECT_EQ(ReadBackupDefinition("BRIEFE")->FileList.size(), 2u);
  EXPECT_EQ(ReadFile(StateFileName("BRIEFE")), "dates");
}

TEST_F(InstantWizard, AnEditWhoseWriteFailsKeepsTheOldDefinition) {
  SaveFileDefinition("Briefe");
  const std::string stored = Dump();
  // A value name longer than the registry takes: the write fails after the first values.
  const std::string unstorable = dir / (std::string(17000, 'x') + ".txt");
  for (const char* name : {"Post", "Briefe"}) {
    SCOPED_TRACE(name);
    prompts.AnswerNext(PromptResult::Ok);
    ASSERT_TRUE(form->EditDefinition("Briefe"));
    form->FlatEditName->SetText(name);
    classlib::TListItem* item = form->ListViewFiles->Items().Add();
    item->SetCaption(unstorable.substr(dir.Path().size() + 1));
    item->AddSubItem(dir.Path() + "\\");
    item->AddSubItem("1 KB");
    NextToTheEnd();
    ASSERT_TRUE(form->Visible());
    EXPECT_EQ(form->PageIndex(), kNamePage);
    EXPECT_EQ(prompts.messages.back().text.rfind("Die Backup-Definition konnte nicht gespeichert werden.", 0), 0u);
    EXPECT_EQ(Dump(), stored);
    form->Close();
  }
}

// ---- refusals

TEST_F(InstantWizard, BadNamesAndClashesAreRefusedWithTheNamePageShownAndNothingStored) {
  SaveFileDefinition("Briefe");
  const std::string stored = Dump();
  const struct {
    std::string name;
    const char* message;
  } cases[] = {
      {"", "Bitte geben Sie eine Bezeichnung für das Backup ein."},
      {"   ", "Bitte geben Sie eine Bezeichnung für das Backup ein."},
      {"briefe", "Es existiert bereits ein Backup mit dieser Bezeichnung!"},
      {"BRIEFE", "Es existiert bereits ein Backup mit dieser Bezeichnung!"},
      {"Con", "\"Con\" ist ein Gerätename von Windows und kann nicht als Bezeichnung des Backups verwendet werden."},
      {"lpt1.Sicherung",
       "\"lpt1\" ist ein Gerätename von Windows und kann nicht als Bezeichnung des Backups "
       "verwendet werden."},
      {"B\xC3\xBCro",
       "Die Bezeichnung darf nur Buchstaben (A-Z, a-z), Ziffern, Leerzeichen und die Zeichen - . _ "
       "enthalten."},
      {"Daten\\Teil",
       "Die Bezeichnung darf nur Buchstaben (A-Z, a-z), Ziffern, Leerzeichen und die Zeichen - . _ "
       "enthalten."},
      {" Briefe", "Die Bezeichnung darf nicht mit einem Leerzeichen beginnen oder enden."},
      {std::string(31, 'a'), "Die Bezeichnung darf höchstens 30 Zeichen lang sein."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    prompts.messages.clear();
    prompts.AnswerNext(PromptResult::Ok);
    FillFileDefinition("Neu");
    NextTo(kNamePage);
    ASSERT_EQ(form->PageIndex(), kNamePage);
    // Pasted past the key filter and the length limit.
    SetWindowTextW(form->FlatEditName->Handle(), classlib::Widen(c.name).c_str());
    Next();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, c.message);
    EXPECT_EQ(prompts.messages[0].caption, "Orvanta");
    EXPECT_TRUE(form->PanelStep5->Visible());
    EXPECT_EQ(form->PageIndex(), kNamePage);
    EXPECT_EQ(Dump(), stored);
    form->Close();
  }
  // An edit keeps its own name, in any letter case, and takes no other's.
  SaveFileDefinition("Post");
  prompts.AnswerNext(PromptResult::Ok);
  ASSERT_TRUE(form->EditDefinition("Post"));
  form->FlatEditName->SetText("briefe");
  NextToTheEnd();
  EXPECT_EQ(prompts.messages.back().text, "Es existiert bereits ein Backup mit dieser Bezeichnung!");
  EXPECT_TRUE(prompts.messages.back().systemModal);
  EXPECT_TRUE(BackupDefinitionExists("Post"));
}

// "Daten" with three generations would rotate "Daten1.zip", the backup of "Daten1" in the same folder.
TEST_F(InstantWizard, ANameOrGenerationCountWhoseArchivesMeetAnotherDefinitionsInItsFolderIsRefused) {
  SaveFileDefinition("Daten1");
  const std::string refusal =
      "Das Backup \"Daten1\" sichert in dasselbe Verzeichnis. Mit dieser Bezeichnung und Anzahl der "
      "Backup-Instanzen würden beide Backups die Datei \"Daten1.zip\" verwenden, und eines würde die Sicherungen des "
      "anderen überschreiben oder löschen. Bitte wählen Sie eine andere Bezeichnung oder Anzahl der Backup-Instanzen.";
  const std::string stored = Dump();
  prompts.AnswerNext(PromptResult::Ok);
  FillFileDefinition("Daten");
  form->SpinEditInstances->SetValue(3);
  NextToTheEnd();
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{refusal});
  EXPECT_EQ(form->PageIndex(), kNamePage);
  EXPECT_TRUE(form->PanelStep5->Visible());
  EXPECT_EQ(Dump(), stored);

  // In another folder it meets nothing.
  ASSERT_TRUE(form->FolderTreeSave->SetPath(dir / "Fotos"));
  NextToTheEnd();
  ASSERT_FALSE(form->Visible()) << "not saved";
  EXPECT_EQ(ReadBackupDefinition("Daten")->Instances, 3);

  // An edit checks the same.
  const std::string both = Dump();
  prompts.messages.clear();
  prompts.AnswerNext(PromptResult::Ok);
  ASSERT_TRUE(form->EditDefinition("Daten"));
  ASSERT_TRUE(form->FolderTreeSave->SetPath(dir / "Ziel"));
  NextToTheEnd();
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{refusal});
  EXPECT_EQ(Dump(), both);
  form->Close();
}

TEST_F(InstantWizard, TheNameFieldTakesOnlyItsCharactersAsTheyAreTyped) {
  form->AddDefinition();
  form->FlatEditName->SetText("");
  testing_support::TypeChars(form->FlatEditName->Handle(), L"B\u00fcro /2024:_a.b-\\c\b");
  EXPECT_EQ(form->FlatEditName->Text(), "Bro 2024_a.b-");
}

TEST_F(InstantWizard, TimesThatAreNoTimeOfDayAreRefusedOnTheirPageAndAtTheSave) {
  for (const char* time : {"24:00", "12:60", "99:99", ""}) {
    SCOPED_TRACE(time);
    prompts.messages.clear();
    prompts.AnswerNext(PromptResult::Ok);
    FillFileDefinition("Briefe");
    Next();
    Next();
    ASSERT_EQ(form->PageIndex(), kSchedulePage);
    form->MaskEditTime->SetText(time);
    Next();
    EXPECT_EQ(form->PageIndex(), kSchedulePage);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text,
              "Bitte geben Sie eine gültige Uhrzeit ein: Stunden von 00 bis 23, Minuten von 00 bis 59.");
    // Changed after the page was left, it is refused at the save, with its page shown.
    form->MaskEditTime->SetText("23:59");
    Next();
    Next();
    ASSERT_EQ(form->PageIndex(), kNamePage);
    form->MaskEditTime->SetText(time);
    prompts.AnswerNext(PromptResult::Ok);
    Next();
    EXPECT_EQ(form->PageIndex(), kSchedulePage);
    EXPECT_TRUE(form->PanelStep2->Visible());
    EXPECT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(ListBackupDefinitions().Count(), 0);
    form->Close();
  }
}

TEST_F(InstantWizard, NoWeekdayWithATimeOfDayIsWarnedAbout) {
  FillFileDefinition("Briefe");
  form->CheckBoxTime->SetChecked(true);
  for (classlib::TCheckBox* day :
       {form->CheckBoxMonday, form->CheckBoxTuesday, form->CheckBoxWednesday, form->CheckBoxThursday,
        form->CheckBoxFriday, form->CheckBoxSaturday, form->CheckBoxSunday})
    day->SetChecked(false);
  Next();
  Next();
  prompts.AnswerNext(PromptResult::Ok);
  Next();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text,
            "Es ist kein Wochentag ausgewählt: Das Backup wird deshalb nie zur angegebenen Uhrzeit durchgeführt.");
  EXPECT_EQ(form->PageIndex(), kDestinationPage);
}

TEST_F(InstantWizard, PasswordsMustMatchFitAndBeTypeable) {
  form->CheckBoxExpert->SetChecked(true);
  form->AddDefinition();
  form->RadioButtonFolders->SetChecked(true);
  form->FolderTree->SetPath(dir / "Daten");
  form->FolderTreeSave->SetPath(dir / "Ziel");
  NextTo(kPasswordPage);
  form->CheckBoxPassword->SetChecked(true);
  form->FlatEditPasswordPW->SetText("geheim");
  form->FlatEditPasswordPWRepeat->SetText("Geheim");
  for (int i = 0; i < 2; ++i) {
    Next();
    EXPECT_EQ(form->PageIndex(), kPasswordPage);
    EXPECT_TRUE(form->LabelPasswordNotice->Visible());
    EXPECT_FALSE(form->LabelPasswordHint->Visible());
    EXPECT_FALSE(form->CheckBoxExpert->Enabled());
    // The repetition is what to type again.
    EXPECT_EQ(GetFocus(), form->FlatEditPasswordPWRepeat->Handle());
  }
  Back();
  EXPECT_EQ(form->PageIndex(), kPasswordPage);
  form->CheckBoxPassword->SetChecked(false);
  Next();
  EXPECT_EQ(form->PageIndex(), kSplitPage);
  EXPECT_TRUE(form->CheckBoxExpert->Enabled());
  Back();
  form->CheckBoxPassword->SetChecked(true);

  const struct {
    std::string password;
    const char* message;
  } cases[] = {
      {"", "Bitte geben Sie ein Passwort ein, oder verwenden Sie keinen Passwort-Schutz."},
      {std::string(31, 'p'), "Das Passwort darf höchstens 30 Zeichen lang sein."},
      {"\xE5\xAF\x86\xE7\xA0\x81",
       "Das Passwort enthält Zeichen, die Windows hier nicht darstellen kann. Bitte "
       "verwenden Sie nur Buchstaben, Ziffern und die Zeichen der Tastatur."},
  };
  for (const auto& c : cases) {
    prompts.messages.clear();
    prompts.AnswerNext(PromptResult::Ok);
    // Set past the field's limit, as a paste into an older field might.
    SetWindowTextW(form->FlatEditPasswordPW->Handle(), classlib::Widen(c.password).c_str());
    SetWindowTextW(form->FlatEditPasswordPWRepeat->Handle(), classlib::Widen(c.password).c_str());
    Next();
    EXPECT_EQ(form->PageIndex(), kPasswordPage);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, c.message);
  }
}

TEST_F(InstantWizard, DifferingPasswordsHoldEveryStepOnTheirPageAlsoWhenExpertModeIsLeft) {
  const struct {
    bool files;
    bool leaveExpertMode;
    int afterMatch;  // the page "Weiter" shows once the passwords agree
  } cases[] = {
      {true, true, kDestinationPage},
      {false, true, kDestinationPage},
      {true, false, kSplitPage},
      {false, false, kSplitPage},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.files ? "files" : "folders") + (c.leaveExpertMode ? ", expert mode left" : ""));
    form->CheckBoxExpert->SetChecked(true);
    form->AddDefinition();
    (c.files ? form->RadioButtonFiles : form->RadioButtonFolders)->SetChecked(true);
    AddFileItem(*form->ListViewFiles, dir / "Briefe\\Angebot.txt");
    form->FolderTree->SetPath(dir / "Daten");
    form->FolderTreeSave->SetPath(dir / "Ziel");
    NextTo(kPasswordPage);
    ASSERT_EQ(form->PageIndex(), kPasswordPage);
    form->CheckBoxPassword->SetChecked(true);
    form->FlatEditPasswordPW->SetText("geheim");
    form->FlatEditPasswordPWRepeat->SetText("Geheim");
    if (c.leaveExpertMode) ClickButton(*form->CheckBoxExpert);
    for (bool back : {false, false, true, true}) {
      back ? Back() : Next();
      EXPECT_EQ(form->PageIndex(), kPasswordPage) << (back ? "Zurück" : "Weiter");
      EXPECT_TRUE(form->PanelPassword->Visible());
      EXPECT_TRUE(form->LabelPasswordNotice->Visible());
      EXPECT_FALSE(form->CheckBoxExpert->Enabled());
    }
    EXPECT_EQ(form->LabelHeader->Caption(), "Passwort-Schutz");
    EXPECT_FALSE(form->LabelInfo->Caption().empty());
    form->FlatEditPasswordPWRepeat->SetText("geheim");
    Next();
    EXPECT_EQ(form->PageIndex(), c.afterMatch);
    EXPECT_TRUE(form->CheckBoxExpert->Enabled());
    EXPECT_FALSE(form->LabelPasswordNotice->Visible());
    // Back and on to the name page as the mode goes, and the definition saves.
    Back();
    EXPECT_EQ(form->PageIndex(), c.leaveExpertMode ? kSchedulePage : kPasswordPage);
    form->FlatEditName->SetText("Geschuetzt");
    NextToTheEnd();
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(ReadBackupDefinition("Geschuetzt")->Password, "geheim");
    DeleteBackupDefinition("Geschuetzt");
  }
}

TEST_F(InstantWizard, AStoredSizeLimitTheListLacksSelectsNoneAndIsKept) {
  FillFolderDefinition();
  NextToTheEnd();
  {
    classlib::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Norvex\\Orvanta\\Backups\\Buero taeglich", false));
    reg.WriteString("MaxSize", "300 MB");
  }
  const std::string stored = Dump();
  ASSERT_TRUE(form->EditDefinition("Buero taeglich"));
  EXPECT_EQ(form->FlatComboBoxMax->ItemIndex(), -1);
  NextToTheEnd();
  ASSERT_FALSE(form->Visible());
  EXPECT_EQ(Dump(), stored);
  // A size chosen from the list replaces it.
  ASSERT_TRUE(form->EditDefinition("Buero taeglich"));
  form->FlatComboBoxMax->SetItemIndex(1);
  NextToTheEnd();
  EXPECT_EQ(ReadBackupDefinition("Buero taeglich")->MaxSize, "100 MB");
}

TEST_F(InstantWizard, OnlyRealFoldersAreTakenAsSourceOrDestination) {
  const std::string gone = dir / "Weg";
  for (bool source : {true, false}) {
    SCOPED_TRACE(source ? "source" : "destination");
    prompts.messages.clear();
    prompts.AnswerNext(PromptResult::Ok);
    zip::ForceDirectories(gone);
    form->AddDefinition();
    form->RadioButtonFolders->SetChecked(true);
    form->RadioButtonSimple->SetChecked(true);
    form->FolderTree->SetPath(source ? gone : dir / "Daten");
    form->FolderTreeSave->SetPath(source ? dir / "Ziel" : gone);
    RemoveDirectoryW(classlib::Widen(gone).c_str());
    NextToTheEnd();
    EXPECT_EQ(form->PageIndex(), source ? kSourcePage : kDestinationPage);
    ASSERT_EQ(prompts.messages.size(), 1u);
    form->Close();
  }
  // A virtual node of the tree (the desktop) is no folder either.
  prompts.AnswerNext(PromptResult::Ok);
  form->AddDefinition();
  form->FolderTree->SetPath(dir / "Daten");
  ASSERT_TRUE(form->FolderTreeSave->SetPath(dir / "Ziel"));
  TreeView_SelectItem(form->FolderTreeSave->Handle(), TreeView_GetRoot(form->FolderTreeSave->Handle()));
  ASSERT_EQ(form->FolderTreeSave->Path(), "");
  NextToTheEnd();
  EXPECT_EQ(form->PageIndex(), kDestinationPage);
  // Without a CD writer the burn choice is greyed out; a definition that still asks for it is refused.
  EXPECT_FALSE(form->RadioButtonBurn->Enabled());
  EXPECT_FALSE(form->FlatComboBoxBurner->Enabled());
  EXPECT_FALSE(form->FlatButtonBurnerSettings->Enabled());
  form->RadioButtonBurn->SetChecked(true);
  prompts.AnswerNext(PromptResult::Ok);
  Next();
  EXPECT_EQ(form->PageIndex(), kDestinationPage);
  EXPECT_EQ(prompts.messages.back().text,
            "Es ist kein CD-Recorder verfügbar. Bitte wählen Sie ein Verzeichnis als Zielort des Backups.");
}

// ---- editing

TEST_F(InstantWizard, AnEditThatCannotBeReadShowsNothingAndAddStaysNew) {
  SaveFileDefinition("Briefe");
  {
    classlib::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Norvex\\Orvanta\\Backups\\Briefe", false));
    reg.WriteString("Instances", "drei");
  }
  prompts.AnswerNext(PromptResult::Ok);
  EXPECT_FALSE(form->EditDefinition("Briefe"));
  EXPECT_FALSE(form->Visible());
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text,
            "Das Backup \"Briefe\" kann nicht bearbeitet werden.\r\rUngültiger Datentyp für 'Instances'");
  EXPECT_TRUE(form->EditedJobName().empty());
  EXPECT_EQ(form->ListViewFiles->Items().Count(), 0);
  form->AddDefinition();
  EXPECT_EQ(form->PageIndex(), kWelcomePage);
  form->Close();
  prompts.AnswerNext(PromptResult::Ok);
  EXPECT_FALSE(form->EditDefinition("Nicht da"));
}

TEST_F(InstantWizard, AnEditFillsEveryControlAndMissingValuesKeepTheirDefaults) {
  FillFolderDefinition();
  NextToTheEnd();
  {
    classlib::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Norvex\\Orvanta\\Backups\\Buero taeglich", false));
    for (const char* value : {"Instances", "Intervall", "User", "Recover"}) reg.DeleteValue(value);
  }
  ASSERT_TRUE(form->EditDefinition("Buero taeglich"));
  EXPECT_EQ(form->EditedJobName(), "Buero taeglich");
  EXPECT_EQ(form->FlatEditName->Text(), "Buero taeglich");
  EXPECT_TRUE(form->RadioButtonFolders->Checked());
  EXPECT_TRUE(form->RadioButtonExtended->Checked());
  EXPECT_TRUE(form->PanelExtended->Visible());
  ASSERT_EQ(form->ListViewExtended->Items().Count(), 2);
  EXPECT_EQ(form->ListViewExtended->Items()[0]->Caption(), dir / "Daten");
  EXPECT_EQ(form->ListViewExtended->Items()[0]->SubItem(0), "ja");
  EXPECT_EQ(form->ListViewExtended->Items()[1]->SubItem(0), "nein");
  EXPECT_TRUE(form->RadioButtonNot->Checked());
  EXPECT_EQ(form->FlatComboBoxMax->Text(), "50 MB");
  EXPECT_EQ(form->MaskEditTime->Text(), "07:30");
  EXPECT_FALSE(form->CheckBoxSunday->Checked());
  EXPECT_TRUE(form->RadioButtonPartNewDate->Checked());
  EXPECT_EQ(form->FlatEditDate->Text(), " 01.02.2024");
  EXPECT_EQ(form->FlatEditPasswordPWRepeat->Text(), "Geheim");
  EXPECT_EQ(form->FlatComboBoxSplitVariante->Text(), "CD-R/RW 80 (700 MB)");
  EXPECT_TRUE(form->RadioButtonSplitCD->Checked());
  EXPECT_EQ(form->FolderTreeSave->Path(), dir / "Ziel");
  // Missing: the defaults.
  EXPECT_EQ(form->SpinEditInstances->Value(), 1);
  EXPECT_EQ(form->SpinEditMinutes->Value(), 10);
  EXPECT_FALSE(form->CheckBoxUser->Checked());
  EXPECT_TRUE(form->RadioButtonGarantieEver->Checked());
}

// ---- the lists of the pages

TEST_F(InstantWizard, FileListAddsFromTheDialogRemovesWithoutAskingAndSortsByColumn) {
  form->AddDefinition();
  Next();
  prompts.ChooseNextFiles(std::vector<std::string>{dir / "Briefe\\Rechnung.txt", dir / "Briefe\\Angebot.txt"});
  ClickButton(*form->FlatButtonFilesAdd);
  ASSERT_EQ(prompts.fileRequests.size(), 1u);
  EXPECT_EQ(prompts.fileRequests[0].title, "Dateien hinzufügen");
  EXPECT_EQ(prompts.fileRequests[0].filter, "Alle Dateien (*.*)|*.*");
  ASSERT_EQ(form->ListViewFiles->Items().Count(), 2);
  EXPECT_EQ(form->ListViewFiles->Items()[0]->SubItem(1), "1 KB");
  form->ListViewFiles->OnColumnClick(form->ListViewFiles, 2);
  EXPECT_EQ(form->ListViewFiles->Items()[1]->Caption(), "Angebot.txt");
  form->ListViewFiles->Items()[0]->SetSelected(true);
  testing_support::PressKey(form->ListViewFiles->Handle(), VK_DELETE);
  ASSERT_EQ(form->ListViewFiles->Items().Count(), 1);
  EXPECT_EQ(form->ListViewFiles->Items()[0]->Caption(), "Angebot.txt");
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(InstantWizard, FolderListTakesRealFoldersFromThePickerAsksBeforeRemovingAndToggles) {
  form->AddDefinition();
  form->RadioButtonFolders->SetChecked(true);
  Next();
  ClickButton(*form->RadioButtonExtended);
  EXPECT_EQ(form->FlatTabControlMain->ActiveTab(), 1);
  EXPECT_TRUE(form->PanelExtended->Visible());

  TFormSelect& select = *form->FormSelect;
  for (const char* folder : {"Fotos", "Daten", "fotos"}) {
    ClickButton(*form->FlatButtonExtendedAdd);
    EXPECT_TRUE(select.Visible());
    EXPECT_FALSE(form->Enabled());
    ASSERT_TRUE(select.FolderTree->SetPath(dir / folder));
    select.CheckBoxRecursive->SetChecked(std::string(folder) != "fotos");
    ClickButton(*select.FlatButtonApply);
    EXPECT_FALSE(select.Visible());
    EXPECT_TRUE(form->Enabled());
  }
  // A folder listed already in another letter case only changes its "Rekursiv".
  ASSERT_EQ(form->ListViewExtended->Items().Count(), 2);
  EXPECT_EQ(form->ListViewExtended->Items()[0]->Caption(), dir / "Daten");
  EXPECT_EQ(form->ListViewExtended->Items()[1]->SubItem(0), "nein");

  // The desktop is no folder; "Abbrechen" adds nothing.
  ClickButton(*form->FlatButtonExtendedAdd);
  TreeView_SelectItem(select.FolderTree->Handle(), TreeView_GetRoot(select.FolderTree->Handle()));
  prompts.AnswerNext(PromptResult::Ok);
  ClickButton(*select.FlatButtonApply);
  EXPECT_TRUE(select.Visible());
  ASSERT_EQ(prompts.messages.size(), 1u);
  ClickButton(*select.FlatButtonCancel);
  EXPECT_FALSE(select.Visible());
  EXPECT_TRUE(form->Enabled());
  EXPECT_EQ(form->ListViewExtended->Items().Count(), 2);

  // A double-click on a row toggles its "Rekursiv" once.
  RECT row = {};
  ListView_GetItemRect(form->ListViewExtended->Handle(), 0, &row, LVIR_LABEL);
  testing_support::DoubleClickAt(form->ListViewExtended->Handle(), (row.left + row.right) / 2,
                                 (row.top + row.bottom) / 2);
  EXPECT_TRUE(form->ListViewExtended->Items()[0]->Selected());
  EXPECT_EQ(form->ListViewExtended->Items()[0]->SubItem(0), "nein");
  prompts.AnswerNext(PromptResult::No);
  testing_support::PressKey(form->ListViewExtended->Handle(), VK_DELETE);
  EXPECT_EQ(form->ListViewExtended->Items().Count(), 2);
  prompts.AnswerNext(PromptResult::Yes);
  ClickButton(*form->FlatButtonExtendedDelete);
  ASSERT_EQ(form->ListViewExtended->Items().Count(), 1);
  const classlib::MessageRequest& question = prompts.messages.back();
  EXPECT_EQ(question.text, "Ausgewählte(s) Verzeichnis(se) löschen?");
  EXPECT_EQ(question.buttons, classlib::PromptButtons::YesNo);
  EXPECT_TRUE(question.systemModal);
}

TEST_F(InstantWizard, ClickingASentenceTogglesItsCheckBoxAndTheDateFollowsTheCalendar) {
  form->AddDefinition();
  // Each field can be changed only while its check box is on.
  EXPECT_TRUE(form->SpinEditMinutes->Enabled());
  EXPECT_FALSE(form->MaskEditTime->Enabled());
  form->LabelIntervallEnd->OnClick(form->LabelIntervallEnd);
  EXPECT_FALSE(form->CheckBoxIntervall->Checked());
  EXPECT_FALSE(form->SpinEditMinutes->Enabled());
  form->LabelTimeEnd->OnClick(form->LabelTimeEnd);
  EXPECT_TRUE(form->CheckBoxTime->Checked());
  EXPECT_TRUE(form->MaskEditTime->Enabled());
  EXPECT_EQ(form->FlatEditDate->Text(), " 05.03.2024");
  form->DateCalendarDate->SetSelectedDate(classlib::EncodeDate(2023, 12, 24));
  form->DateCalendarDate->OnChange(form->DateCalendarDate);
  EXPECT_EQ(form->FlatEditDate->Text(), " 24.12.2023");
  form->UpDownDate->SetPosition(2);
  form->UpDownDate->OnChange(form->UpDownDate);
  EXPECT_TRUE(form->DateCalendarDate->Visible());
}

// The types count only for "Nur folgende" and "Folgende ... nicht", the size only while its box is
// on: each field can be changed exactly then, for a new and for an edited definition, whether its
// option changes by a click, by Space or by an arrow key.
TEST_F(InstantWizard, TheFilterPagesFieldsAreEnabledOnlyWhileTheirOptionsAreOn) {
  struct Fields {
    bool types, size;
    bool operator==(const Fields& o) const { return types == o.types && size == o.size; }
  };
  auto shown = [&] {
    EXPECT_TRUE(form->PanelStep2Folders->Visible());
    // Off, the type field is white, not light, so that it looks off also while empty.
    EXPECT_EQ(form->FlatEditTypen->Color(), form->FlatEditTypen->Enabled() ? kLightColor : kWhiteColor);
    return Fields{IsWindowEnabled(form->FlatEditTypen->Handle()) != FALSE,
                  IsWindowEnabled(form->FlatComboBoxMax->Handle()) != FALSE};
  };
  auto press = [&](classlib::TWinControl& control, WORD key) {
    control.SetFocus();
    testing_support::PressKey(control.Handle(), key);
  };
  FillFolderDefinition();
  NextTo(kFilterPage);
  EXPECT_TRUE(shown() == (Fields{true, true}));
  NextToTheEnd();
  ASSERT_FALSE(form->Visible()) << "not saved";

  form->AddDefinition();
  form->RadioButtonFolders->SetChecked(true);
  form->RadioButtonSimple->SetChecked(true);
  ASSERT_TRUE(form->FolderTree->SetPath(dir / "Daten"));
  NextTo(kFilterPage);
  EXPECT_TRUE(shown() == (Fields{false, false}));
  const struct {
    const char* what;
    std::function<void()> change;
    Fields fields;
  } steps[] = {
      {"click on Nur folgende", [&] { ClickButton(*form->RadioButtonOnly); }, {true, false}},
      {"Space on the size's box", [&] { press(*form->CheckBoxMax, VK_SPACE); }, {true, true}},
      {"click on Alle", [&] { ClickButton(*form->RadioButtonAll); }, {false, true}},
      {"Space on Folgende ... nicht", [&] { press(*form->RadioButtonNot, VK_SPACE); }, {true, true}},
      {"arrow down to Alle", [&] { press(*form->RadioButtonNot, VK_DOWN); }, {false, true}},
      {"click on the size's box", [&] { ClickButton(*form->CheckBoxMax); }, {false, false}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    step.change();
    EXPECT_TRUE(shown() == step.fields);
  }
  EXPECT_TRUE(form->RadioButtonAll->Checked());
  EXPECT_FALSE(form->CheckBoxMax->Checked());
  form->Close();

  ASSERT_TRUE(form->EditDefinition("Buero taeglich"));
  NextTo(kFilterPage);
  EXPECT_TRUE(shown() == (Fields{true, true}));
  form->Close();
}

TEST_F(InstantWizard, TheCalendarPicksTheSinceDateByItsArrowAndADay) {
  form->AddDefinition();
  form->UpDownDate->SetPosition(2);
  form->UpDownDate->OnChange(form->UpDownDate);
  controls::TDateCalendar& calendar = *form->DateCalendarDate;
  EXPECT_EQ(calendar.TitleButton()->Caption(), "März 2024");
  const controls::TCalendarButton& previous = *calendar.PrevButton();
  testing_support::ClickAt(calendar.TitlePanel()->Handle(), previous.Left() + previous.Width() / 2,
                           previous.Top() + previous.Height() / 2);
  EXPECT_EQ(form->FlatEditDate->Text(), " 05.02.2024");
  controls::TCalendarGrid& grid = *calendar.Grid();
  for (int row = 1; row < grid.RowCount(); ++row)
    for (int col = grid.FixedCols(); col < grid.ColCount(); ++col)
      if (grid.CellText(col, row) == "20" && grid.CellType(col, row) == controls::TTypeOfCell::dtDay) {
        const RECT r = grid.CellRect(col, row);
        testing_support::ClickAt(grid.Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
      }
  EXPECT_EQ(form->FlatEditDate->Text(), " 20.02.2024");
  // A whole day, as the definition stores it.
  EXPECT_EQ(calendar.SelectedDate(), classlib::EncodeDate(2024, 2, 20));
}

}  // namespace
