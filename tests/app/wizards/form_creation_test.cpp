#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/cd_simulator.h"
#include "app/wizards/form_creation.h"
#include "classlib/exceptions.h"
#include "classlib/format.h"
#include "tests/app/host_links.h"
#include "tests/app/wizards/simulated_recorders.h"
#include "tests/app/wizards/single_backup_fixture.h"
#include "tests/support/host_python.h"
#include "tests/support/locked_file.h"
#include "zip/fs.h"

using namespace app;
using classlib::PromptResult;
using testing_support::ClickButton;
using testing_support::CloseBox;
using wizard_testing::Bytes;

namespace {

const std::string kStartBlock =
    "Uhrzeit:      05.03.2024 14:22\r\nTyp:          Single Backup\r\nArt:          Start der Durchf\xFChrung\r\n";
const std::string kCompleted = wizard_testing::RunEndBlock("Ende der Durchf\xFChrung");
const std::string kCancelled = wizard_testing::RunEndBlock("Abbruch der Durchf\xFChrung");
const std::string kFailed = wizard_testing::RunEndBlock("Fehler bei Durchf\xFChrung");

// Tests the archive with the peer tools (python3 -m zipfile, unzip, 7z) and prints its entry names
// one a line, sorted. With a second argument, the archive is a split set, named as this program
// names the parts: they are renamed to the convention of the zip tool (".z01", ...) and joined
// with "zip -s 0" first.
const char kPeerCheck[] = R"(import atexit, os, shutil, subprocess, sys, tempfile, zipfile
archive = sys.argv[1]
def run(*command):
    done = subprocess.run(command, capture_output=True, text=True, errors='replace')
    if done.returncode != 0:
        print(' '.join(command), 'failed:', done.stdout, done.stderr)
        sys.exit(1)
if len(sys.argv) > 2:
    work = tempfile.mkdtemp()
    atexit.register(shutil.rmtree, work)
    folder, name = os.path.split(archive)
    stem = name[:-4]
    for entry in os.listdir(folder):
        if entry.startswith(stem + '.') and entry[len(stem) + 1:].isdigit():
            shutil.copy(os.path.join(folder, entry), os.path.join(work, stem + '.z' + entry[len(stem) + 2:]))
    shutil.copy(archive, os.path.join(work, name))
    joined = os.path.join(work, 'joined.zip')
    run('zip', '-s', '0', os.path.join(work, name), '--out', joined)
    archive = joined
run('python3', '-m', 'zipfile', '-t', archive)
run('unzip', '-t', archive)
run('7z', 't', archive)
for n in sorted(zipfile.ZipFile(archive).namelist()):
    print(n)
)";

class CreationWizard : public wizard_testing::SingleBackupFixture {
 protected:
  CreationWizard() {
    zip::ForceDirectories(target);
    page->FormCreation = creation;
  }
  ~CreationWizard() override { delete creation; }

  // Files to back up, listed on the page.
  std::vector<std::string> ListFiles(const std::vector<std::pair<std::string, size_t>>& files) {
    std::vector<std::string> paths;
    for (const auto& [name, size] : files) {
      paths.push_back(MakeFile("Quelle\\" + name, size));
      AddFileItem(PageList(), paths.back());
    }
    return paths;
  }

  // "Erstellen", and on through the pages to the split page with the destination and the name.
  void GoToSplitPage(const std::string& name) {
    ClickButton(*page->FlatButtonSingleCreate);
    ASSERT_TRUE(creation->Visible());
    ClickButton(*creation->FlatButtonNext);
    ASSERT_TRUE(creation->FolderTree->SetPath(target));
    ClickButton(*creation->FlatButtonNext);
    ASSERT_TRUE(creation->PanelStep2->Visible());
    creation->FlatEditName->SetText(name);
    ClickButton(*creation->FlatButtonNext);
    ASSERT_TRUE(creation->PanelStep3Split->Visible());
    ASSERT_EQ(creation->FlatButtonNext->Caption(), "Fertig");
  }

  void Create(const std::string& name) {
    GoToSplitPage(name);
    ClickButton(*creation->FlatButtonNext);
  }

  // The files of the destination folder and their bytes.
  std::map<std::string, std::string> Target() const {
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAW found;
    const HANDLE h = FindFirstFileW(classlib::Widen(target + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return files;
    do {
      const std::string name = classlib::Narrow(found.cFileName);
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        files[name] = testing_support::ReadFile(target + "\\" + name);
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return files;
  }

  // The names the archive holds after the peer tools passed it.
  std::string PeerChecked(const std::string& archive, bool split = false) {
    std::vector<std::string> args = {testing_support::HostPath(archive)};
    if (split) args.push_back("split");
    std::string output;
    EXPECT_TRUE(testing_support::RunHostPython(kPeerCheck, args, output)) << output;
    return output;
  }

  // Entry names as the writer stores full paths: without the drive, "/" between folders.
  static std::string EntryNames(std::vector<std::string> paths) {
    for (std::string& p : paths) {
      p = p.substr(3);
      std::replace(p.begin(), p.end(), '\\', '/');
    }
    std::sort(paths.begin(), paths.end());
    std::string names;
    for (const std::string& p : paths) names += p + "\n";
    return names;
  }

  std::string target = dir / "Ziel";
  TFormCreation* creation = new TFormCreation(nullptr);
};

TEST_F(CreationWizard, ArchiveHoldsExactlyTheListedFilesPassesThePeersAndMarksTheProgramBusy) {
  const std::vector<std::string> files =
      ListFiles({{"Bericht.txt", 20000}, {"Unter\\Übersicht März.xls", 150000}, {"leer.dat", 0}});
  bool busy = false, mainEnabled = true, animating = false;
  creation->ZipArchive.OnEndZip = [&](const std::string&, std::uint32_t, std::uint32_t, std::int64_t) {
    busy = main.backupRunning;
    mainEnabled = main.enabled;
    animating = main.trayAnimating;
    EXPECT_TRUE(creation->Creating());
  };
  Create("Sicherung");

  EXPECT_TRUE(busy);
  EXPECT_FALSE(mainEnabled);
  EXPECT_TRUE(animating);
  EXPECT_FALSE(main.backupRunning);
  EXPECT_FALSE(main.trayAnimating);
  EXPECT_FALSE(creation->Creating());
  const std::string archive = target + "\\Sicherung.zip";
  EXPECT_EQ(Target().size(), 1u);
  EXPECT_EQ(PeerChecked(archive), EntryNames(files));
  EXPECT_EQ(Log(), kStartBlock + kCompleted);
  EXPECT_TRUE(creation->PanelStepCreate->Visible());
  EXPECT_EQ(creation->LabelStatus->Caption(), "Backup erfolgreich erstellt.");
  EXPECT_EQ(creation->LabelAction->Caption(), "Backup erfolgreich erstellt.");
  EXPECT_EQ(creation->LabelInfo->Caption(), "Das Backup wurde erfolgreich erstellt.");
  EXPECT_EQ(creation->LabelOutput->Caption().rfind("Backup-Verzeichnis:\r", 0), 0u);
  EXPECT_EQ(creation->FlatProgressBarArchive->UserValue(), creation->FlatProgressBarArchive->MaxValue());
  EXPECT_EQ(creation->FlatButtonNext->Caption(), "Schließen");
  EXPECT_FALSE(creation->FlatButtonBack->Visible());
  EXPECT_FALSE(main.enabled);

  ClickButton(*creation->FlatButtonNext);
  EXPECT_FALSE(creation->Visible());
  EXPECT_TRUE(main.enabled);
  EXPECT_TRUE(main.schedulerEnabled);
  // The next time starts afresh.
  EXPECT_TRUE(creation->PanelWelcome->Visible());
  EXPECT_EQ(creation->FlatEditName->Text(), "unbenannt.zip");
  EXPECT_EQ(creation->FolderTree->Path(), "C:\\");
  EXPECT_FALSE(creation->CheckBoxStep3->Checked());
}

// A file put on the list again (alone and with its folder, or by a path through a link to its
// folder) goes in once, by the path without the link, and is not reported as not saved.
TEST_F(CreationWizard, AFileListedTwiceGoesInOnce) {
  const std::string alone = MakeFile("Quelle\\Brief.txt"), other = MakeFile("Quelle\\Notiz.txt");
  const std::string link = dir / "Verweis";
  const app_testing::HostLinks links({{link, dir / "Quelle"}});
  AddFileItem(PageList(), link + "\\Notiz.txt");
  AddFileItem(PageList(), alone);
  MyFileRead(dir / "Quelle", PageList());
  AddFileItem(PageList(), link + "\\Notiz.txt");
  ASSERT_EQ(PageList().Items().Count(), 5);
  Create("Sicherung");
  EXPECT_EQ(PeerChecked(target + "\\Sicherung.zip"), EntryNames({alone, other}));
  EXPECT_EQ(Log(), kStartBlock + kCompleted);
}

TEST_F(CreationWizard, ZipIsAppendedToAPlainNameAndAnyZipEndingKeptAsTyped) {
  ListFiles({{"a.txt", 100}});
  const struct {
    const char* typed;
    const char* file;
  } cases[] = {{"Sicherung", "Sicherung.zip"},
               {"Daten.ZIP", "Daten.ZIP"},
               {"Bericht.Zip", "Bericht.Zip"},
               {"alt.zip.bak", "alt.zip.bak.zip"},
               {"März 2024", "März 2024.zip"}};
  for (const auto& c : cases) {
    Create(c.typed);
    ClickButton(*creation->FlatButtonNext);
    EXPECT_EQ(Target().count(c.file), 1u) << c.typed;
  }
  EXPECT_EQ(Target().size(), std::size(cases));
}

TEST_F(CreationWizard, ANameThatCannotBeAFileNameIsRefusedOnFertigAndThePageStays) {
  ListFiles({{"a.txt", 100}});
  const char kChars[] = "Die Bezeichnung des Backups darf keines der Zeichen \\ / : * ? \" < > | enthalten.";
  const char kEmpty[] = "Bitte geben Sie eine Bezeichnung für das Backup ein.";
  const char kControl[] = "Die Bezeichnung des Backups darf keine Steuerzeichen enthalten.";
  const auto device = [](const std::string& name) {
    return "\"" + name + "\" ist ein Gerätename von Windows und kann nicht als Bezeichnung des Backups verwendet werden.";
  };
  const struct {
    std::string name;
    std::string message;
  } cases[] = {
      {"", kEmpty},          {"   ", kEmpty},        {".zip", kEmpty},         {"a\\b", kChars},
      {"a/b", kChars},       {"C:Daten", kChars},    {"a*b", kChars},          {"wer?", kChars},
      {"\"x\"", kChars},     {"a<b", kChars},        {"a>b", kChars},          {"a|b", kChars},
      {"a\tb", kControl},    {"Zeile\r\n", kControl}, {"CON", device("CON")}, {"lpt1.zip", device("lpt1")},
      {"Nul.txt", device("Nul")}, {"com9 ", device("com9 ")},
  };
  GoToSplitPage("unbenannt.zip");
  for (const auto& c : cases) {
    prompts.AnswerNext(PromptResult::Ok);
    creation->FlatEditName->SetText(c.name);
    ClickButton(*creation->FlatButtonNext);
    ASSERT_EQ(prompts.messages.size(), 1u) << c.name;
    EXPECT_EQ(prompts.messages[0].text, c.message) << c.name;
    EXPECT_EQ(prompts.messages[0].caption, "Orvanta");
    prompts.messages.clear();
    EXPECT_TRUE(creation->PanelStep3Split->Visible()) << c.name;
    EXPECT_FALSE(main.backupRunning);
  }
  EXPECT_TRUE(Target().empty());
  EXPECT_EQ(Log(), "");
}

TEST_F(CreationWizard, TheNameFieldDiscardsCharactersNoFileNameTakesAsTheyAreTyped) {
  creation->FlatEditName->SetText("");
  for (wchar_t c : std::wstring(L"a\\b:c/d*e?f\"g<h>i|j~k l.zip"))
    SendMessageW(creation->FlatEditName->Handle(), WM_CHAR, c, 1);
  EXPECT_EQ(creation->FlatEditName->Text(), "abcdefghijk l.zip");
}

TEST_F(CreationWizard, SplitArchiveIsThePartsAndTheZipEachWithinItsSizeAndJoinsWithThePeers) {
  const std::vector<std::string> files = ListFiles({{"a.bin", 300000}, {"b.bin", 260000}, {"c.bin", 100}});
  GoToSplitPage("Geteilt");
  creation->CheckBoxStep3->SetChecked(true);
  EXPECT_TRUE(creation->VisSpinEditMax->Enabled());
  creation->VisSpinEditMax->SetText("100 KB");  // typed below the least size: taken as 250 KB
  ClickButton(*creation->FlatButtonNext);

  EXPECT_EQ(creation->VisSpinEditMax->Value(), 250);
  const std::map<std::string, std::string> written = Target();
  ASSERT_GE(written.size(), 3u);
  int part = 1;
  for (const auto& [name, bytes] : written) {
    EXPECT_LE(bytes.size(), 250u * 1024) << name;
    if (part < static_cast<int>(written.size())) {
      EXPECT_EQ(name, classlib::Format("Geteilt.%03d", part));
    }
    ++part;
  }
  EXPECT_EQ(written.rbegin()->first, "Geteilt.zip");
  // The result names the parts too, a run of more than two by its first and last.
  const int parts = static_cast<int>(written.size()) - 1;
  const std::string partsLine =
      parts > 2 ? classlib::Format("Geteilt.001 bis Geteilt.%03d", parts) : std::string("Geteilt.001, Geteilt.002");
  const std::string output = creation->LabelOutput->Caption();
  const std::string ending = "Geteilt.zip\rTeilarchive: " + partsLine;
  EXPECT_EQ(output.rfind("Backup-Verzeichnis:\r", 0), 0u) << output;
  EXPECT_EQ(output.substr(output.size() - std::min(output.size(), ending.size())), ending);
  EXPECT_EQ(PeerChecked(target + "\\Geteilt.zip", true), EntryNames(files));
  EXPECT_EQ(Log(), kStartBlock + kCompleted);
}

// Ways a creation ends early; each leaves the older archive of the same name as it was.
TEST_F(CreationWizard, CancelLeavesTheOlderArchiveAndClosesTheWizard) {
  ListFiles({{"a.bin", 300000}, {"b.bin", 300000}, {"c.bin", 300000}});
  const std::string older = Bytes(5000);
  const struct {
    const char* way;
    UINT message;
    WPARAM wParam;
  } cases[] = {{"Abbrechen", BM_CLICK, 0}, {"close box", WM_SYSCOMMAND, SC_CLOSE}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.way);
    testing_support::WriteFile(target + "\\Sicherung.zip", older);
    testing_support::WriteFile(dir / "orvapp.log", "");
    bool stayedWhileCreating = true;
    int files = 0;
    creation->ZipArchive.OnEndZip = [&](const std::string&, std::uint32_t, std::uint32_t, std::int64_t) {
      if (files++ == 0) {
        HWND to = c.message == BM_CLICK ? creation->FlatButtonNext->Handle() : creation->Handle();
        PostMessageW(to, c.message, c.wParam, 0);
      } else {
        stayedWhileCreating = stayedWhileCreating && creation->Visible();
      }
    };
    Create("Sicherung");

    EXPECT_TRUE(stayedWhileCreating);
    EXPECT_LT(files, 3);
    EXPECT_FALSE(creation->Visible());
    EXPECT_EQ(Target(), (std::map<std::string, std::string>{{"Sicherung.zip", older}}));
    EXPECT_EQ(Log(), kStartBlock + kCancelled);
    EXPECT_FALSE(main.backupRunning);
    EXPECT_FALSE(main.trayAnimating);
    EXPECT_TRUE(main.enabled);
    EXPECT_TRUE(main.schedulerEnabled);
  }
}

TEST_F(CreationWizard, FailureLeavesTheOlderArchiveLogsTheErrorAndKeepsTheWizardUsable) {
  const std::vector<std::string> files = ListFiles({{"a.bin", 300000}, {"b.bin", 300000}});
  const std::string older = Bytes(5000);
  const char kMaybeReadOnly[] =
      "Das Backup konnte nicht erstellt werden. Möglicherweise ist das Zielverzeichnis schreibgeschützt.";
  std::vector<std::unique_ptr<testing_support::LockedFile>> locks;
  const struct {
    const char* way;
    std::function<void()> arrange;
    std::string error;  // what the log and the window tell
    std::string info;
    std::string skipped = {};  // the log's lines of files left out
  } cases[] = {
      {"the writer fails",
       [&] {
         creation->ZipArchive.OnEndZip = [](const std::string&, std::uint32_t, std::uint32_t, std::int64_t) {
           throw classlib::EWriteError("Schreibfehler auf Laufwerk C");
         };
       },
       "Schreibfehler auf Laufwerk C", kMaybeReadOnly},
      {"the older archive cannot give way",
       [&] { locks.push_back(std::make_unique<testing_support::LockedFile>(target + "\\Sicherung.zip")); },
       "Die Datei \"" + target + "\\Sicherung.zip\" konnte nicht in \"" + target +
           "\\Sicherung.zip~alt\" umbenannt werden.",
       kMaybeReadOnly},
      {"no file can be read",
       [&] {
         for (const std::string& file : files) {
           locks.push_back(std::make_unique<testing_support::LockedFile>(file));
           prompts.AnswerNext(PromptResult::No);  // not again
         }
       },
       "Keine der 2 Dateien konnte gesichert werden; die erste, \"" + files[0] +
           "\", ließ sich nicht öffnen oder lesen (möglicherweise ist sie exklusiv geöffnet).",
       "Das Backup wurde nicht erstellt, da keine der Dateien gesichert werden konnte.",
       "Fehler:       " + files[0] + " konnte nicht gesichert werden.\r\nFehler:       " + files[1] +
           " konnte nicht gesichert werden.\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.way);
    testing_support::WriteFile(target + "\\Sicherung.zip", older);
    testing_support::WriteFile(dir / "orvapp.log", "");
    creation->ZipArchive.OnEndZip = nullptr;
    c.arrange();
    Create("Sicherung");
    locks.clear();

    EXPECT_EQ(Target(), (std::map<std::string, std::string>{{"Sicherung.zip", older}}));
    EXPECT_EQ(Log(),
              kStartBlock + c.skipped + "Fehler:       " + classlib::ToCodePage(c.error, CP_ACP) + "\r\n" + kFailed);
    EXPECT_TRUE(creation->Visible());
    EXPECT_EQ(creation->LabelStatus->Caption(), "Backup nicht erstellt.");
    EXPECT_EQ(creation->LabelInfo->Caption(), c.info);
    EXPECT_EQ(creation->LabelOutput->Caption(), c.error);
    EXPECT_FALSE(main.backupRunning);
    EXPECT_FALSE(main.trayAnimating);
    EXPECT_FALSE(creation->Creating());
    EXPECT_EQ(creation->FlatButtonNext->Caption(), "Schließen");
    CloseBox(*creation);
    EXPECT_FALSE(creation->Visible());
    EXPECT_TRUE(main.enabled);
  }
}

// A single backup replaces the older one of its name as a whole, touches no other file of a like
// name, and clears what an interrupted creation of that name left aside.
TEST_F(CreationWizard, OnlyTheOlderBackupOfTheNameAndWhatWasLeftAsideGiveWay) {
  const std::vector<std::string> files = ListFiles({{"a.txt", 100}});
  Create("Sicherung");
  ClickButton(*creation->FlatButtonNext);
  const std::map<std::string, std::string> others = {
      {"Sicherung.2024", "ein Jahr"}, {"Sicherung.0001", "vier Ziffern"}, {"Sicherung1.txt", "ein Text"},
      {"Sicherung.001", "kein Teil"}, {"Sicherung~neu.txt", "kein Rest"},  {"Andere~neu.zip", "nicht dieser"}};
  const std::vector<std::string> left = {"Sicherung~neu.zip", "Sicherung~neu.001", "Sicherung~neu2.002"};
  for (const auto& [name, content] : others) testing_support::WriteFile(target + "\\" + name, content);
  for (const std::string& name : left) testing_support::WriteFile(target + "\\" + name, "ein Rest");
  testing_support::WriteFile(dir / "orvapp.log", "");

  Create("Sicherung");
  std::map<std::string, std::string> after = Target();
  EXPECT_EQ(PeerChecked(target + "\\Sicherung.zip"), EntryNames(files));
  after.erase("Sicherung.zip");
  EXPECT_EQ(after, others);
  std::string removed;
  for (const std::string& name : left)
    removed += "Aktion:       " + target + "\\" + name + " einer unterbrochenen Sicherung entfernt.\r\n";
  const std::string log = Log();
  ASSERT_EQ(log.size(), kStartBlock.size() + removed.size() + kCompleted.size()) << log;
  for (const std::string& name : left)
    EXPECT_NE(log.find("Aktion:       " + target + "\\" + name + " einer unterbrochenen Sicherung entfernt.\r\n"),
              std::string::npos)
        << name;
  EXPECT_EQ(log.substr(log.size() - kCompleted.size()), kCompleted);
}

TEST_F(CreationWizard, ADestinationFolderThatIsGoneEndsInTheFailureOutcome) {
  ListFiles({{"a.txt", 100}});
  GoToSplitPage("Sicherung");
  RemoveDirectoryW(classlib::Widen(target).c_str());
  ClickButton(*creation->FlatButtonNext);
  EXPECT_EQ(creation->LabelStatus->Caption(), "Backup nicht erstellt.");
  EXPECT_NE(Log().find(kFailed), std::string::npos);
  EXPECT_FALSE(main.backupRunning);
}

TEST_F(CreationWizard, ANodeOfTheTreeThatIsNoFolderIsRefusedAsDestination) {
  creation->Show();
  ClickButton(*creation->FlatButtonNext);
  const HWND tree = creation->FolderTree->Handle();
  TreeView_SelectItem(tree, TreeView_GetRoot(tree));  // the desktop
  prompts.AnswerNext(PromptResult::Ok);
  ClickButton(*creation->FlatButtonNext);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_TRUE(creation->PanelStep1->Visible());
}

TEST_F(CreationWizard, WithoutACdWriterThereIsNoSpeedListAndNoBurnChoice) {
  creation->Show();
  ASSERT_EQ(creation->FlatComboBoxBurner->Items().Count(), 1);
  EXPECT_EQ(creation->FlatComboBoxBurner->Items()[0], "Kein CD-Recorder verfügbar!");
  EXPECT_EQ(creation->FlatComboBoxCDRSpeed->Items().Count(), 0);
  EXPECT_FALSE(creation->RadioButtonBurn->Enabled());
  EXPECT_FALSE(creation->FlatButtonSettings->Enabled());
  EXPECT_TRUE(creation->RadioButtonDir->Checked());
}

class BurningWizard : public CreationWizard {
 protected:
  // The user picks the writer of that drive letter.
  void ChooseWriter(char letter) {
    recorders.inUse = letter == 'E' ? 0 : 1;
    classlib::TComboBox& combo = *creation->FlatComboBoxBurner;
    combo.SetItemIndex(recorders.inUse);
    SendMessageW(GetParent(combo.Handle()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo.Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo.Handle()));
  }

  // The burn choice with the second speed of drive letter, split into parts of 250 KB, through
  // to the creation.
  void Burn(char letter) {
    ClickButton(*page->FlatButtonSingleCreate);
    ClickButton(*creation->FlatButtonNext);
    ChooseWriter(letter);
    creation->RadioButtonBurn->SetChecked(true);
    ClickButton(*creation->FlatButtonSettings);
    creation->FlatComboBoxCDRSpeed->SetItemIndex(1);
    ClickButton(*creation->FlatButtonNext);  // back from the burn settings
    ClickButton(*creation->FlatButtonNext);
    creation->FlatEditName->SetText("Auf CD");
    ClickButton(*creation->FlatButtonNext);
    creation->CheckBoxStep3->SetChecked(true);
    creation->VisSpinEditMax->SetValue(250);
    ClickButton(*creation->FlatButtonNext);
  }

  wizard_testing::SimulatedRecorders recorders{dir.Path(), *creation->OrvBurner, prompts};
};

TEST_F(BurningWizard, TheWritersAreListedWithTheSpeedsOfTheSelectedOne) {
  creation->Show();
  ClickButton(*creation->FlatButtonNext);
  ASSERT_EQ(creation->FlatComboBoxBurner->Items().Count(), 2);
  EXPECT_EQ(creation->FlatComboBoxBurner->Items()[0], "(E:) Lumtec Brenner E");
  EXPECT_TRUE(creation->RadioButtonBurn->Enabled());
  std::vector<std::string> speeds;
  for (int i = 0; i < creation->FlatComboBoxCDRSpeed->Items().Count(); ++i)
    speeds.push_back(creation->FlatComboBoxCDRSpeed->Items()[i]);
  EXPECT_EQ(speeds, (std::vector<std::string>{"24-fach", "22-fach", "20-fach", "18-fach", "16-fach", "14-fach",
                                              "12-fach", "10-fach", "8-fach", "6-fach", "4-fach", "2-fach",
                                              "1-fach"}));
  EXPECT_EQ(creation->FlatComboBoxCDRSpeed->ItemIndex(), 0);

  // The erase choice only for a rewritable disc.
  for (char letter : {'E', 'F'}) {
    ChooseWriter(letter);
    ClickButton(*creation->FlatButtonSettings);
    EXPECT_TRUE(creation->PanelStep3Burn->Visible());
    EXPECT_EQ(creation->CheckBoxCDRWDelete->Enabled(), letter == 'F') << letter;
    ClickButton(*creation->FlatButtonBack);
    EXPECT_TRUE(creation->PanelStep1->Visible());
  }
  EXPECT_EQ(creation->FlatComboBoxCDRSpeed->Items()[0], "7-fach");
}

TEST_F(BurningWizard, EachDiscGetsOnePartTheArchiveItselfFirstAndSuccessNamesTheDrive) {
  const std::vector<std::string> files = ListFiles({{"a.bin", 300000}, {"b.bin", 300000}});
  for (int i = 0; i < 2; ++i) prompts.AnswerNext(PromptResult::Retry);
  Burn('F');

  ASSERT_EQ(prompts.messages.size(), 2u);
  for (const classlib::MessageRequest& m : prompts.messages) {
    EXPECT_EQ(m.text,
              "Datenträger-Wechsel erforderlich!\r\rBitte legen Sie den nächsten Datenträger ein und klicken Sie\r"
              "auf \"Wiederholen\", um mit dem Schreibvorgang fortzufahren!");
    EXPECT_EQ(m.buttons, classlib::PromptButtons::RetryCancel);
    EXPECT_TRUE(m.systemModal);
  }
  // The first two discs were put in before the wizard started (one per drive).
  ASSERT_EQ(recorders.discs.size(), 4u);
  const std::vector<std::shared_ptr<SimulatedDisc>> used = {recorders.discs[1], recorders.discs[2], recorders.discs[3]};
  const char* names[] = {"\\Auf CD.zip", "\\Auf CD.001", "\\Auf CD.002"};
  const std::string joined = dir / "Zusammen";
  zip::ForceDirectories(joined);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(used[i]->Files, std::vector<std::string>{names[i]});
    EXPECT_TRUE(used[i]->Closed);
    CopyFileW(classlib::Widen(used[i]->HostFolder + names[i]).c_str(), classlib::Widen(joined + names[i]).c_str(),
              TRUE);
  }
  EXPECT_EQ(PeerChecked(joined + "\\Auf CD.zip", true), EntryNames(files));
  // Burned files are gone from the temporary folder, with the folder they were staged in.
  EXPECT_FALSE(zip::fs::DirectoryExists(main.tempFolder + "Orvanta CD 1"));
  EXPECT_EQ(recorders.drives[1]->WriteSpeed, 5);
  EXPECT_EQ(recorders.drives[1]->Ejects, 3);
  EXPECT_EQ(creation->LabelOutput->Caption(),
            "Backup-Verzeichnis:\rF:\\Auf CD.zip\rTeilarchive: Auf CD.001, Auf CD.002");
  EXPECT_EQ(Log(), kStartBlock + kCompleted);
}

// The user learns where the files not burned are kept, to burn or copy them himself.
TEST_F(BurningWizard, AFailedBurnACancelledQuestionOrAbbrechenEndsAsCancelledAndTellsWhatWasNotBurned) {
  ListFiles({{"a.bin", 300000}, {"b.bin", 300000}, {"c.bin", 300000}});
  // Each burn stages its set in a folder of its own.
  const std::string staged = main.tempFolder + "Orvanta CD 1\\";
  const std::string archive = staged + "Auf CD.zip";
  const auto notBurned = [&](const std::string& reason) {
    return "Fehler:       " + archive + " konnte nicht auf CD gebrannt werden: " + reason + ".\r\n";
  };
  const auto keptIn = [&](const std::string& names) {
    return "Das Backup wurde nicht vollständig auf CD gebrannt.\r\rDie noch nicht gebrannten Dateien liegen im "
           "Verzeichnis \"" + staged + "\":\r\r" + names;
  };
  const struct {
    const char* way;
    std::function<void()> arrange;
    std::vector<PromptResult> answers;
    std::string logged;
    std::string told;
  } cases[] = {
      {"the write fails", [&] { recorders.drives[0]->FailWriteAtBlock = 5; }, {PromptResult::Ok},
       notBurned("Schreibvorgang fehlgeschlagen"), keptIn("Auf CD.zip\rAuf CD.001 bis Auf CD.003")},
      {"no disc, and Cancel", [&] { recorders.drives[0]->Disc = nullptr; }, {PromptResult::Cancel},
       notBurned("vom Anwender abgebrochen"), keptIn("Auf CD.zip\rAuf CD.001 bis Auf CD.003")},
      {"Cancel at the disc change", [] {}, {PromptResult::Cancel},
       "Fehler:       " + staged + "Auf CD.001 konnte nicht auf CD gebrannt werden: vom Anwender "
       "abgebrochen.\r\n",
       keptIn("Auf CD.001 bis Auf CD.003")},
      {"Cancel at the last disc change", [] {}, {PromptResult::Retry, PromptResult::Retry, PromptResult::Cancel},
       "Fehler:       " + staged + "Auf CD.003 konnte nicht auf CD gebrannt werden: vom Anwender "
       "abgebrochen.\r\n",
       keptIn("Auf CD.003")},
      {"Abbrechen while writing",
       [&] {
         auto shown = creation->OrvBurner->OnTrackWriteStatus;
         creation->OrvBurner->OnTrackWriteStatus = [this, shown](classlib::TComponent* sender, int track, int blocks,
                                                                 int buffer) {
           shown(sender, track, blocks, buffer);
           PostMessageW(creation->FlatButtonNext->Handle(), BM_CLICK, 0, 0);
         };
       },
       {}, notBurned("Brennen abgebrochen"), keptIn("Auf CD.zip\rAuf CD.001 bis Auf CD.003")},
  };
  const auto status = creation->OrvBurner->OnTrackWriteStatus;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.way);
    testing_support::WriteFile(dir / "orvapp.log", "");
    for (const char* name : {"Auf CD.zip", "Auf CD.001", "Auf CD.002", "Auf CD.003"}) zip::fs::Delete(staged + name);
    RemoveDirectoryW(classlib::Widen(staged).c_str());
    prompts.messages.clear();
    recorders.InsertBlankDisc(*recorders.drives[0]);
    c.arrange();
    for (PromptResult a : c.answers) prompts.AnswerNext(a);
    prompts.AnswerNext(PromptResult::Ok);
    Burn('E');
    EXPECT_FALSE(creation->Visible());
    EXPECT_EQ(Log(), kStartBlock + c.logged + kCancelled);
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_EQ(prompts.messages.back().text, c.told);
    EXPECT_FALSE(main.backupRunning);
    EXPECT_TRUE(main.enabled);
    EXPECT_EQ(creation->OrvBurner->Tag, 0);
  }

  // What the last one kept stays as it was, and the next burn goes through beside it.
  creation->OrvBurner->OnTrackWriteStatus = status;
  std::map<std::string, std::string> kept;
  for (const char* name : {"Auf CD.zip", "Auf CD.001", "Auf CD.002", "Auf CD.003"})
    kept[name] = testing_support::ReadFile(staged + name);
  testing_support::WriteFile(dir / "orvapp.log", "");
  recorders.InsertBlankDisc(*recorders.drives[0]);
  for (int i = 0; i < 3; ++i) prompts.AnswerNext(PromptResult::Retry);
  Burn('E');
  EXPECT_EQ(Log(), kStartBlock + kCompleted);
  for (const auto& [name, content] : kept) EXPECT_TRUE(testing_support::ReadFile(staged + name) == content) << name;
  EXPECT_FALSE(zip::fs::DirectoryExists(main.tempFolder + "Orvanta CD 2"));
}

}  // namespace
