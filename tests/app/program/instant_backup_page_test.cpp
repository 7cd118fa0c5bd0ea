// The Instant Backup page with the definition wizard and the scheduler it works with, on a form
// of its own as the main window hosts it.
#include "app/instant_backup_page.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/backup_definition.h"
#include "app/desktop_link.h"
#include "app/file_state_list.h"
#include "app/scheduler.h"
#include "app/single_backup_list.h"
#include "app/wizards/form_instant.h"
#include "app/wizards/form_recover.h"
#include "classlib/registry.h"
#include "classlib/wide.h"
#include "tests/app/folder_job.h"
#include "tests/app/wizards/wizard_fixture.h"
#include "tests/support/host_python.h"
#include "tests/support/scripted_prompts.h"
#include "zip/fs.h"
#include "zip/fs_helpers.h"

using namespace app;
using classlib::PromptResult;
using testing_support::ClickButton;
using testing_support::FileExists;
using testing_support::PressKey;

namespace {

const char kBackups[] = "Software\\Norvex\\Orvanta\\Backups";
const char kDefined[] = "05. März 2024 um 14:22 Uhr";

// Reads a shell link after the public format of .lnk files and prints its target, arguments,
// working folder, description and icon, one a line.
const char kReadLink[] = R"(
import struct, sys
data = open(sys.argv[1], 'rb').read()
assert struct.unpack_from('<I', data, 0)[0] == 0x4C, 'header size'
assert data[4:20] == bytes.fromhex('0114020000000000c000000000000046'), 'class'
flags, = struct.unpack_from('<I', data, 20)
icon_index, = struct.unpack_from('<i', data, 56)
unicode = flags & 0x80
at = 0x4C
if flags & 0x1:
    at += 2 + struct.unpack_from('<H', data, at)[0]
target = ''
if flags & 0x2:
    size, header, info_flags, volume, base, network, suffix = struct.unpack_from('<7I', data, at)
    def cstr(offset):
        end = data.index(b'\0', at + offset)
        return data[at + offset:end].decode('mbcs' if sys.platform == 'win32' else 'latin-1')
    if info_flags & 1:
        target = cstr(base) + cstr(suffix)
    at += size
strings = {}
for bit, name in ((0x4, 'description'), (0x8, 'relative'), (0x10, 'workdir'), (0x20, 'arguments'),
                  (0x40, 'icon')):
    if flags & bit:
        count, = struct.unpack_from('<H', data, at)
        at += 2
        width = 2 if unicode else 1
        raw = data[at:at + count * width]
        # Some writers count a terminating NUL, which the format leaves out.
        strings[name] = raw.decode('utf-16-le' if unicode else 'latin-1').rstrip('\0')
        at += count * width
for line in (target, strings.get('arguments', ''), strings.get('workdir', ''), strings.get('description', ''),
             strings.get('icon', '') + ',' + str(icon_index)):
    print(line)
)";

class InstantBackupPage : public wizard_testing::WizardFixture {
 protected:
  InstantBackupPage() {
    MainWindow().Jobs = [this] { return &jobs; };
    MainWindow().RefreshInformationPanel = [this] { page->RefreshInformationPanel(); };
    for (const char* folder : {"Quelle", "Ziel", "Logs", "Desktop"}) zip::ForceDirectories(dir / folder);
    testing_support::WriteFile(dir / "Quelle\\Brief.txt", "Brief");
    host->SetCaption("Orvanta");
    host->SetClientSize(596, 340);
    page->SetParent(host);
    page->SetAlign(classlib::TAlign::alClient);
    page->SetJobs(&jobs);
    page->FormInstant = wizard;
    page->Schedule = &scheduler;
    page->AddTrayMenu(*tray->Items());
    host->Show();
  }
  ~InstantBackupPage() override {
    delete host;
    delete wizard;
    delete recover;
    classlib::SetPopupChooserForTesting(nullptr);
    SetKnownDesktopFolderForTesting(nullptr);
  }

  // A stored definition on the source folder, every 60 minutes, with a state file.
  void Store(const std::string& name) {
    BackupDefinition def = app_testing::FolderJob(name, dir / "Quelle", dir / "Ziel\\");
    def.Definition = kDefined;
    WriteBackupDefinition(def);
    testing_support::WriteFile(StateFileName(name), std::string(8, '\0'));
  }
  void StoreAndList(const std::vector<std::string>& names) {
    for (const std::string& name : names) Store(name);
    scheduler.GetBackups();
  }

  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    classlib::TListItems& items = page->ListViewInstantBackup->Items();
    for (int i = 0; i < items.Count(); ++i) rows.push_back(items[i]->Caption() + "|" + items[i]->SubItem(0));
    return rows;
  }

  // Selects exactly the rows of names in the list view, as clicks with Ctrl would.
  void Select(const std::vector<std::string>& names) {
    classlib::TListItems& items = page->ListViewInstantBackup->Items();
    for (int i = 0; i < items.Count(); ++i)
      items[i]->SetSelected(std::find(names.begin(), names.end(), items[i]->Caption()) != names.end());
  }

  // The list's popup menu, opened from the keyboard, choosing item.
  void ChooseFromPopup(classlib::TMenuItem* item) {
    classlib::SetPopupChooserForTesting([item](classlib::TPopupMenu&, int, int) { return item; });
    HWND list = page->ListViewInstantBackup->Handle();
    SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
  }

  std::string Dump() const { return registry.Dump(kBackups); }
  // A dump's keys, each with its values, a line each.
  static std::vector<std::string> KeyBlocks(const std::string& dump) {
    std::vector<std::string> blocks;
    std::size_t at = 0;
    while (at < dump.size()) {
      std::size_t end = dump.find('\n', at);
      if (end == std::string::npos) end = dump.size();
      std::string line = dump.substr(at, end - at);
      at = end + 1;
      while (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty()) continue;
      if (line.rfind("HKEY_", 0) == 0 || blocks.empty()) blocks.emplace_back();
      blocks.back() += line + "\n";
    }
    return blocks;
  }

  void NextToTheEnd() {
    for (int i = 0; i < 12 && wizard->Visible(); ++i) ClickButton(*wizard->FlatButtonNext);
    ASSERT_FALSE(wizard->Visible()) << "not saved";
  }

  testing_support::ScriptedPrompts prompts;
  JobList jobs;
  TFormRecover* recover = new TFormRecover(nullptr);
  std::vector<std::string> executed;
  std::function<void(const std::string&)> duringRun = [](const std::string&) {};
  Scheduler scheduler{jobs, *recover, [this](const std::string& job) {
                        executed.push_back(job);
                        duringRun(job);
                      }};
  TFormInstant* wizard = new TFormInstant(nullptr, nullptr);
  classlib::TForm* host = new classlib::TForm(nullptr);
  TInstantBackupPage* page = new TInstantBackupPage(host);
  classlib::TPopupMenu* tray = new classlib::TPopupMenu(host);
};

TEST_F(InstantBackupPage, TheListShowsTheJobsAndFollowsTheirColumn) {
  StoreAndList({"Briefe", "Abends"});
  const classlib::TListView& list = *page->ListViewInstantBackup;
  ASSERT_EQ(list.ColumnCount(), 2);
  EXPECT_EQ(list.Column(0).Caption, "Backup-Bezeichnung");
  EXPECT_EQ(list.Column(1).Caption, "Nächste Sicherung");
  EXPECT_EQ(list.Column(1).Alignment, classlib::TAlignment::taCenter);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Abends|60 Minute(n)", "Briefe|60 Minute(n)"}));
  jobs.SetNextRun("Briefe", kRunning);
  EXPECT_EQ(Rows()[1], "Briefe|Wird durchgeführt...");
  // The selection in the view is the model's, and survives a new order.
  Select({"Briefe"});
  EXPECT_EQ(jobs.SelectedNames(), std::vector<std::string>{"Briefe"});
  jobs.Add("Aaa", "n/a");
  jobs.Sort();
  EXPECT_EQ(Rows()[0], "Aaa|n/a");
  EXPECT_TRUE(page->ListViewInstantBackup->Items()[2]->Selected());
  EXPECT_EQ(page->ListViewInstantBackup->SelCount(), 1);
}

// ---- edit

TEST_F(InstantBackupPage, EditingAndSavingUnchangedLeavesAnIdenticalDump) {
  // A files definition made with the wizard, and one with the results of a run.
  ClickButton(*page->FlatButtonInstantAdd);
  ASSERT_TRUE(wizard->Visible());
  wizard->RadioButtonFiles->SetChecked(true);
  AddFileItem(*wizard->ListViewFiles, dir / "Quelle\\Brief.txt");
  ASSERT_TRUE(wizard->FolderTreeSave->SetPath(dir / "Ziel"));
  wizard->FlatEditName->SetText("Nur Briefe");
  NextToTheEnd();
  ClickButton(*page->FlatButtonInstantAdd);
  wizard->RadioButtonFolders->SetChecked(true);
  ASSERT_TRUE(wizard->FolderTree->SetPath(dir / "Quelle"));
  ASSERT_TRUE(wizard->FolderTreeSave->SetPath(dir / "Ziel"));
  wizard->FlatEditName->SetText("Alles");
  NextToTheEnd();
  WriteBackupResults("Alles", {"04.03.2024 18:00", "1.024 KB", "12"});
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Alles|10 Minute(n)", "Nur Briefe|10 Minute(n)"}));

  const std::string before = Dump();
  ASSERT_NE(before.find("Nur Briefe"), std::string::npos);
  for (const char* name : {"Alles", "Nur Briefe"}) {
    Select({name});
    ClickButton(*page->FlatButtonInstantEdit);
    ASSERT_TRUE(wizard->Visible()) << name;
    EXPECT_EQ(wizard->EditedJobName(), name);
    NextToTheEnd();
    EXPECT_EQ(Dump(), before) << name;
  }
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(InstantBackupPage, EditWaitsWhileTheJobIsTestedAndABrokenOneLeavesAddNew) {
  StoreAndList({"Briefe"});
  Select({"Briefe"});
  jobs.SetNextRun("Briefe", kChecking);
  ClickButton(*page->FlatButtonInstantEdit);
  EXPECT_FALSE(wizard->Visible());

  jobs.SetNextRun("Briefe", "5 Minute(n)");
  {
    classlib::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Norvex\\Orvanta\\Backups\\Briefe", false));
    reg.WriteString("Intervall", "viel");
  }
  prompts.AnswerNext(PromptResult::Ok);
  ClickButton(*page->FlatButtonInstantEdit);
  EXPECT_FALSE(wizard->Visible());
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text.rfind("Das Backup \"Briefe\" kann nicht bearbeitet werden.", 0), 0u);
  // "Hinzufügen" then starts a new definition, which cannot take the broken one's place.
  ClickButton(*page->FlatButtonInstantAdd);
  EXPECT_TRUE(wizard->Visible());
  EXPECT_TRUE(wizard->EditedJobName().empty());
  wizard->Close();
  EXPECT_TRUE(BackupDefinitionExists("Briefe"));
}

// ---- delete

TEST_F(InstantBackupPage, DeleteAsksAndRemovesExactlyTheSelectedKeysAndStateFiles) {
  StoreAndList({"Anna", "Bernd", "Carla", "Dora"});
  zip::fs::Delete(StateFileName("Carla"));  // a missing state file deletes the key alone
  const std::string before = Dump();
  Select({"Anna", "Carla"});

  prompts.AnswerNext(PromptResult::No);
  PressKey(page->ListViewInstantBackup->Handle(), VK_DELETE);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Ausgewählte(s) Backup(s) löschen?");
  EXPECT_EQ(prompts.messages[0].caption, "Orvanta");
  EXPECT_EQ(prompts.messages[0].buttons, classlib::PromptButtons::YesNo);
  EXPECT_EQ(prompts.messages[0].icon, classlib::PromptIcon::Question);
  EXPECT_TRUE(prompts.messages[0].systemModal);
  EXPECT_EQ(Dump(), before);

  prompts.AnswerNext(PromptResult::Yes);
  ClickButton(*page->FlatButtonInstantDelete);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Bernd|60 Minute(n)", "Dora|60 Minute(n)"}));
  EXPECT_EQ(ListBackupDefinitions(), (classlib::TStringList{"Bernd", "Dora"}));
  for (const char* name : {"Anna", "Carla"}) EXPECT_FALSE(FileExists(StateFileName(name))) << name;
  for (const char* name : {"Bernd", "Dora"}) EXPECT_TRUE(FileExists(StateFileName(name))) << name;
  // The others' keys are as they were, value by value.
  std::vector<std::string> kept;
  for (const std::string& block : KeyBlocks(before))
    if (block.find("Backups\\Anna") == std::string::npos && block.find("Backups\\Carla") == std::string::npos)
      kept.push_back(block);
  EXPECT_EQ(KeyBlocks(Dump()), kept);

  // Without a selection nothing is asked.
  Select({});
  ClickButton(*page->FlatButtonInstantDelete);
  EXPECT_EQ(prompts.messages.size(), 2u);
}

TEST_F(InstantBackupPage, DeleteIsRefusedWhileAJobIsTestedOrRuns) {
  StoreAndList({"Anna", "Bernd"});
  const std::string refusal = kDeleteWhileBusyText;
  // During a run, also of another job and also once "Alle deaktivieren" overwrote its column.
  duringRun = [&](const std::string&) {
    for (const std::vector<std::string>& names : {std::vector<std::string>{"Anna"}, {"Bernd"}}) {
      Select(names);
      prompts.AnswerNext(PromptResult::Ok);
      ClickButton(*page->FlatButtonInstantDelete);
    }
    page->Alledeaktivieren1->Click();
    Select({"Anna"});
    prompts.AnswerNext(PromptResult::Ok);
    ClickButton(*page->FlatButtonInstantDelete);
  };
  Select({"Anna"});
  ChooseFromPopup(page->Durchfhren1);
  EXPECT_EQ(executed, std::vector<std::string>{"Anna"});
  ASSERT_EQ(prompts.messages.size(), 3u);
  for (const classlib::MessageRequest& m : prompts.messages) EXPECT_EQ(m.text, refusal);
  // While the files are tested.
  jobs.SetNextRun("Bernd", kChecking);
  Select({"Anna", "Bernd"});
  prompts.AnswerNext(PromptResult::Ok);
  ClickButton(*page->FlatButtonInstantDelete);
  ASSERT_EQ(prompts.messages.size(), 4u);
  EXPECT_EQ(prompts.messages[3].text, refusal);
  EXPECT_EQ(ListBackupDefinitions(), (classlib::TStringList{"Anna", "Bernd"}));
  EXPECT_TRUE(FileExists(StateFileName("Anna")));
}

// ---- switching off and on

TEST_F(InstantBackupPage, AktivAndTheTrayEntriesSwitchExactlyTheirJobs) {
  StoreAndList({"Anna", "Bernd", "Carla"});
  jobs.SetNextRun("Anna", "7 Minute(n)");
  jobs.SetNextRun("Carla", kRunning);
  Select({"Anna", "Bernd"});
  // "Aktiv" shows whether the first selected job is on, and toggles the selected ones.
  ChooseFromPopup(page->Aktivieren1);
  EXPECT_FALSE(page->Aktivieren1->Checked());
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Anna|Deaktiviert", "Bernd|Deaktiviert", "Carla|Wird durchgeführt..."}));
  ChooseFromPopup(page->Aktivieren1);
  EXPECT_TRUE(page->Aktivieren1->Checked());
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Anna|60 Minute(n)", "Bernd|60 Minute(n)", "Carla|Wird durchgeführt..."}));

  EXPECT_EQ(tray->Items()->Items(0)->Caption(), "&Instant Backups");
  jobs.SetNextRun("Anna", "7 Minute(n)");
  page->Alledeaktivieren1->Click();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Anna|Deaktiviert", "Bernd|Deaktiviert", "Carla|Deaktiviert"}));
  jobs.SetNextRun("Bernd", "3 Minute(n)");
  page->Alleaktivieren1->Click();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Anna|60 Minute(n)", "Bernd|3 Minute(n)", "Carla|60 Minute(n)"}));

  // A job switched off is passed over by the tick; one due beside it runs.
  jobs.SetNextRun("Anna", "1 Minute(n)");
  jobs.SetNextRun("Bernd", "1 Minute(n)");
  Select({"Bernd"});
  ChooseFromPopup(page->Aktivieren1);
  // The next minute's tick: a countdown counts the minutes after the one it was set in.
  classlib::SetClockForTesting([] { return classlib::EncodeDate(2024, 3, 5) + classlib::EncodeTime(14, 23, 0, 0); });
  scheduler.TimerBackupTimer(nullptr);
  EXPECT_EQ(executed, std::vector<std::string>{"Anna"});
  EXPECT_EQ(jobs.NextRun("Bernd"), kDeactivated);
  EXPECT_EQ(jobs.NextRun("Anna"), "60 Minute(n)");

  // Switched off during its run, by hand or by the tick, a job stays off once the run ended.
  page->Alleaktivieren1->Click();
  duringRun = [&](const std::string&) { page->Alledeaktivieren1->Click(); };
  Select({"Anna"});
  ChooseFromPopup(page->Durchfhren1);
  jobs.SetNextRun("Bernd", "1 Minute(n)");
  page->Alleaktivieren1->Click();
  classlib::SetClockForTesting([] { return classlib::EncodeDate(2024, 3, 5) + classlib::EncodeTime(14, 24, 0, 0); });
  scheduler.TimerBackupTimer(nullptr);
  EXPECT_EQ(executed, (std::vector<std::string>{"Anna", "Anna", "Bernd"}));
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Anna|Deaktiviert", "Bernd|Deaktiviert", "Carla|Deaktiviert"}));
}

// ---- the information panel

TEST_F(InstantBackupPage, InformationShowsTheStoredResultsOrNA) {
  StoreAndList({"Anna", "Bernd"});
  WriteBackupResults("Anna", {"04.03.2024 18:00", "1.024 KB", "12"});
  {
    classlib::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Norvex\\Orvanta\\Backups\\Bernd", false));
    reg.DeleteValue("Definition");
  }
  const struct {
    const char* name;
    std::vector<std::string> texts;
  } cases[] = {
      {"Anna", {"Anna", "Dieses Backup wurde am 05. März 2024 um 14:22 Uhr definiert.", "04.03.2024 18:00", "1.024 KB",
                "12"}},
      {"Bernd", {"Bernd", "Zu dieser Backup-Definition wurde kein Erstellungsdatum gespeichert.", "n/a", "n/a", "n/a"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Select({c.name});
    ChooseFromPopup(page->Informationen1);
    ASSERT_TRUE(page->PanelBackupInfo->Visible());
    EXPECT_FALSE(page->ListViewInstantBackup->Visible());
    EXPECT_EQ((std::vector<std::string>{page->LabelBackupInfoName->Caption(),
                                        page->LabelBackupInfoDefinition->Caption(),
                                        page->LabelBackupInfoLast->Caption(), page->LabelBackupInfoSize->Caption(),
                                        page->LabelBackupInfoFiles->Caption()}),
              c.texts);
    ClickButton(*page->FlatButtonInfoBack);
    EXPECT_FALSE(page->PanelBackupInfo->Visible());
    EXPECT_TRUE(page->ListViewInstantBackup->Visible());
  }

  // "Erstellen" runs the job shown; a run that ends refreshes the panel through the wizard's hook.
  Select({"Bernd"});
  page->ListViewInstantBackup->OnDblClick(page->ListViewInstantBackup);
  ASSERT_TRUE(page->PanelBackupInfo->Visible());
  duringRun = [](const std::string& job) { WriteBackupResults(job, {"05.03.2024 14:22", "1 KB", "1"}); };
  ClickButton(*page->FlatButtonInfoCreate);
  EXPECT_EQ(executed, std::vector<std::string>{"Bernd"});
  MainWindow().RefreshInformationPanel();
  EXPECT_EQ(page->LabelBackupInfoLast->Caption(), "05.03.2024 14:22");
  // The job deleted from under the panel takes the panel with it.
  prompts.AnswerNext(PromptResult::Yes);
  ClickButton(*page->FlatButtonInstantDelete);
  EXPECT_FALSE(page->PanelBackupInfo->Visible());
}

// ---- desktop shortcut

TEST_F(InstantBackupPage, TheShortcutStartsTheProgramWithTheFullNameAndIsParsedByTheFormat) {
  StoreAndList({"Backup am Abend"});
  const std::string desktop = dir / "Desktop";
  SetKnownDesktopFolderForTesting([&] { return desktop + "\\"; });
  Select({"Backup am Abend"});
  prompts.AnswerNext(PromptResult::Ok);
  ChooseFromPopup(page->DesktopVerknpfung1);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].icon, classlib::PromptIcon::Information);
  const std::string link = desktop + "\\Backup am Abend.lnk";
  ASSERT_TRUE(FileExists(link));

  std::string output;
  ASSERT_TRUE(testing_support::RunHostPython(kReadLink, {testing_support::HostPath(link)}, output)) << output;
  const std::string program = dir / "orvapp.exe";
  EXPECT_EQ(output, program + "\n/start Backup am Abend\n" + dir.Path() + "\\\nBackup am Abend durchführen...\n" +
                        program + ",0\n");
}

TEST_F(InstantBackupPage, TheDesktopComesFromTheShellElseFromShellFoldersAndNoLinkGoesAstray) {
  StoreAndList({"Abends"});
  Select({"Abends"});
  SetKnownDesktopFolderForTesting([] { return std::string(); });
  const std::string fallback = dir / "Desktop";
  {
    classlib::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", true));
    reg.WriteString("Desktop", fallback);
  }
  prompts.AnswerNext(PromptResult::Ok);
  ChooseFromPopup(page->DesktopVerknpfung1);
  EXPECT_TRUE(FileExists(fallback + "\\Abends.lnk"));

  // Neither tells: the user hears of it and no link is written.
  {
    classlib::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", false));
    reg.DeleteValue("Desktop");
  }
  // A desktop that does not exist: the save fails and says so.
  const struct {
    std::string known;
  } cases[] = {{""}, {dir / "Nirgends"}};
  for (const auto& c : cases) {
    SetKnownDesktopFolderForTesting([&] { return c.known; });
    prompts.AnswerNext(PromptResult::Ok);
    ChooseFromPopup(page->DesktopVerknpfung1);
    EXPECT_EQ(prompts.messages.back().text, "Die Desktop-Verknüpfung \"Abends\" konnte nicht erstellt werden.");
    EXPECT_EQ(prompts.messages.back().icon, classlib::PromptIcon::Warning);
  }
  EXPECT_FALSE(FileExists("C:\\Abends.lnk"));
  EXPECT_FALSE(FileExists(dir / "Nirgends\\Abends.lnk"));
}

// Names put straight into the registry: listed, but no link file is named after them.
TEST_F(InstantBackupPage, ANameThatBreaksTheNameRuleIsListedButGetsNoShortcut) {
  const std::string desktop = dir / "Desktop";
  SetKnownDesktopFolderForTesting([&] { return desktop + "\\"; });
  const struct {
    const char* name;
    const char* reason;
  } cases[] = {
      {"../Ausbruch",
       "Die Bezeichnung darf nur Buchstaben (A-Z, a-z), Ziffern, Leerzeichen und die Zeichen - . _ enthalten."},
      {"CON", "\"CON\" ist ein Gerätename von Windows und kann nicht als Bezeichnung des Backups verwendet werden."},
  };
  for (const auto& c : cases) WriteBackupDefinition(app_testing::FolderJob(c.name, dir / "Quelle", dir / "Ziel\\"));
  scheduler.GetBackups();
  EXPECT_EQ(Rows().size(), 2u);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Select({c.name});
    prompts.AnswerNext(PromptResult::Ok);
    ChooseFromPopup(page->DesktopVerknpfung1);
    EXPECT_EQ(prompts.messages.back().text,
              std::string("Die Desktop-Verknüpfung \"") + c.name + "\" konnte nicht erstellt werden:\r\r" + c.reason);
  }
  EXPECT_FALSE(FileExists(dir / "Ausbruch.lnk"));
  WIN32_FIND_DATAW found;
  const HANDLE links = FindFirstFileW(classlib::Widen(desktop + "\\*.lnk").c_str(), &found);
  EXPECT_EQ(links, INVALID_HANDLE_VALUE);
  if (links != INVALID_HANDLE_VALUE) FindClose(links);
}

// ---- keyboard

TEST_F(InstantBackupPage, ThePageWorksByKeyboard) {
  StoreAndList({"Anna", "Bernd"});
  page->ListViewInstantBackup->SetFocus();
  std::vector<classlib::TWinControl*> cycle = {page->ListViewInstantBackup};
  for (int i = 0; i < 6; ++i) {
    PressKey(GetFocus(), VK_TAB);
    classlib::TWinControl* focused = classlib::TWinControl::FindControl(GetFocus());
    if (focused == cycle.front()) break;
    cycle.push_back(focused);
  }
  EXPECT_EQ(cycle, (std::vector<classlib::TWinControl*>{page->ListViewInstantBackup, page->FlatButtonInstantAdd,
                                                         page->FlatButtonInstantEdit, page->FlatButtonInstantDelete}));
  // Arrows select, Del deletes after the question.
  page->ListViewInstantBackup->SetFocus();
  PressKey(GetFocus(), VK_DOWN);
  PressKey(GetFocus(), VK_HOME);
  EXPECT_EQ(jobs.SelectedNames(), std::vector<std::string>{"Anna"});
  prompts.AnswerNext(PromptResult::No);
  PressKey(GetFocus(), VK_DELETE);
  EXPECT_EQ(prompts.messages.size(), 1u);
  // The popup from the keyboard, the panel's buttons by Space; back in the list afterwards.
  ChooseFromPopup(page->Informationen1);
  ASSERT_TRUE(page->PanelBackupInfo->Visible());
  EXPECT_EQ(GetFocus(), page->FlatButtonInfoBack->Handle());
  PressKey(GetFocus(), VK_SPACE);
  EXPECT_FALSE(page->PanelBackupInfo->Visible());
  EXPECT_EQ(GetFocus(), page->ListViewInstantBackup->Handle());
  page->FlatButtonInstantEdit->SetFocus();
  PressKey(GetFocus(), VK_SPACE);
  EXPECT_TRUE(wizard->Visible());
  EXPECT_EQ(wizard->EditedJobName(), "Anna");
  wizard->Close();
}

}  // namespace
