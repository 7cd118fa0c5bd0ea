#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/wizards/form_add.h"
#include "tests/app/wizards/single_backup_fixture.h"
#include "zip/fs.h"

using namespace app;
using testing_support::ClickButton;
using testing_support::CloseBox;

namespace {

class AddDialog : public wizard_testing::SingleBackupFixture {
 protected:
  AddDialog() { page->FormAdd = add; }
  ~AddDialog() override { delete add; }

  // The page's "Hinzufügen", then the files or the folders page.
  void OpenPage(bool folders) {
    ClickButton(*page->FlatButtonSingleAdd);
    ASSERT_TRUE(add->Visible());
    (folders ? add->RadioButtonFolders : add->RadioButtonFiles)->SetChecked(true);
    ClickButton(*add->FlatButtonNext);
  }

  // A click on a column header of the list, as the list reports it to its parent.
  static void ClickColumn(classlib::TListView& list, int column) {
    NMLISTVIEW click = {};
    click.hdr.hwndFrom = list.Handle();
    click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list.Handle()));
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageW(GetParent(list.Handle()), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
  }

  static void AddRow(classlib::TListView& list, const std::string& name, const std::string& folder,
                     const std::string& size) {
    classlib::TListItem* item = list.Items().Add();
    item->SetCaption(name);
    item->AddSubItem(folder);
    item->AddSubItem(size);
  }

  TFormAdd* add = new TFormAdd(nullptr);
};

TEST_F(AddDialog, FolderImportListsEveryFileBelowWithItsSizeAndTheTakeOverFillsThePage) {
  const std::string root = dir / "Daten";
  MakeFile("Daten\\klein.txt", 1023);
  MakeFile("Daten\\leer.txt", 0);
  MakeFile("Daten\\Unter\\zwei.dat", 2048);
  MakeFile("Daten\\Unter\\Tief\\groß.bin", 1234 * 1024 + 5);
  MakeFile("Daten\\Nur lesen\\d.txt", 10);
  zip::fs::SetAttributes(root + "\\Nur lesen", zip::fs::kAttrReadOnly);
  zip::ForceDirectories(root + "\\Leer");
  AddRow(PageList(), "vorher.txt", "C:\\Alt\\", "5 KB");

  OpenPage(true);
  EXPECT_TRUE(add->PanelFolders->Visible());
  EXPECT_EQ(add->FlatButtonNext->Caption(), "Fertig");
  EXPECT_EQ(Rows(*add->ListViewFolders), std::vector<std::string>{"vorher.txt|C:\\Alt\\|5 KB"});
  add->ListViewFolders->Items().Clear();
  prompts.ChooseNextFolder(root);
  ClickButton(*add->FlatButtonFoldersAdd);

  ASSERT_EQ(prompts.folderRequests.size(), 1u);
  EXPECT_EQ(prompts.folderRequests[0].prompt,
            "Wählen Sie nun das Verzeichnis aus, welches samt Unterverzeichnissen eingelesen werden soll.");
  std::vector<std::string> rows = Rows(*add->ListViewFolders);
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(rows, (std::vector<std::string>{
                      "d.txt|" + root + "\\Nur lesen\\|1 KB",
                      "groß.bin|" + root + "\\Unter\\Tief\\|1.234 KB",
                      "klein.txt|" + root + "\\|1 KB",
                      "leer.txt|" + root + "\\|1 KB",
                      "zwei.dat|" + root + "\\Unter\\|2 KB",
                  }));
  EXPECT_EQ(add->FlatProgressBarWait->MaxValue(), 5);
  EXPECT_EQ(add->FlatProgressBarWait->UserValue(), 5);
  EXPECT_FALSE(add->Waiting());
  EXPECT_FALSE(main.enabled);
  EXPECT_FALSE(main.schedulerEnabled);

  const std::vector<std::string> listed = Rows(*add->ListViewFolders);
  ClickButton(*add->FlatButtonNext);
  EXPECT_FALSE(add->Visible());
  EXPECT_EQ(Rows(PageList()), listed);
  EXPECT_EQ(page->LabelSingleBackupCount->Caption(), "Zur Archivierung wurde(n) 5 Datei(en) ausgewählt, 1,21 MB.");
  EXPECT_TRUE(main.enabled);
  EXPECT_TRUE(main.schedulerEnabled);
  EXPECT_TRUE(add->PanelStep1->Visible());
  EXPECT_EQ(add->LabelWait->Caption(), "Backup Wizard liest die Dateien ein.");
}

TEST_F(AddDialog, AFileChosenTwiceIsListedTwiceAndRemovingTakesTheSelectedItems) {
  const std::string a = MakeFile("a.txt", 3000), b = MakeFile("b.txt", 100);
  OpenPage(false);
  prompts.ChooseNextFiles(std::vector<std::string>{a, b});
  prompts.ChooseNextFiles(std::vector<std::string>{a});
  prompts.ChooseNextFiles(std::nullopt);
  for (int i = 0; i < 3; ++i) ClickButton(*add->FlatButtonFilesAdd);
  EXPECT_EQ(prompts.fileRequests[0].title, "Dateien hinzufügen");
  EXPECT_EQ(prompts.fileRequests[0].filter, "Alle Dateien (*.*)|*.*");
  const std::string folder = dir.Path() + "\\";
  EXPECT_EQ(Rows(*add->ListViewFiles),
            (std::vector<std::string>{"a.txt|" + folder + "|2 KB", "b.txt|" + folder + "|1 KB",
                                      "a.txt|" + folder + "|2 KB"}));

  add->ListViewFiles->Items()[0]->SetSelected(true);
  add->ListViewFiles->Items()[2]->SetSelected(true);
  ClickButton(*add->FlatButtonFilesDelete);
  EXPECT_EQ(Rows(*add->ListViewFiles), std::vector<std::string>{"b.txt|" + folder + "|1 KB"});
  add->ListViewFiles->Items()[0]->SetSelected(true);
  add->ListViewFiles->SetFocus();
  testing_support::PressKey(add->ListViewFiles->Handle(), VK_DELETE);
  EXPECT_EQ(add->ListViewFiles->Items().Count(), 0);
}

TEST_F(AddDialog, AColumnClickSortsThePageListAscendingByThatColumn) {
  AddRow(PageList(), "b.txt", "D:\\zwei\\", "1.000 KB");
  AddRow(PageList(), "A.txt", "c:\\Drei\\", "999 KB");
  AddRow(PageList(), "c.txt", "C:\\eins\\", "2 KB");
  OpenPage(false);
  const struct {
    int column;
    std::vector<std::string> names;
  } cases[] = {{2, {"c.txt", "A.txt", "b.txt"}}, {0, {"A.txt", "b.txt", "c.txt"}}, {1, {"A.txt", "c.txt", "b.txt"}}};
  for (const auto& c : cases) {
    ClickColumn(*add->ListViewFiles, c.column);
    std::vector<std::string> names;
    for (int i = 0; i < add->ListViewFiles->Items().Count(); ++i)
      names.push_back(add->ListViewFiles->Items()[i]->Caption());
    EXPECT_EQ(names, c.names) << "column " << c.column;
  }
}

TEST_F(AddDialog, OpeningWithAnEmptyPageListGivesBothListsNothingAndTheBarAValidRange) {
  ClickButton(*page->FlatButtonSingleAdd);
  EXPECT_EQ(add->ListViewFiles->Items().Count(), 0);
  EXPECT_EQ(add->ListViewFolders->Items().Count(), 0);
  EXPECT_LT(add->FlatProgressBarWait->MinValue(), add->FlatProgressBarWait->MaxValue());
  EXPECT_EQ(add->FlatProgressBarWait->UserValue(), add->FlatProgressBarWait->MinValue());
  EXPECT_TRUE(add->PanelStep1->Visible());
  EXPECT_FALSE(add->FlatButtonBack->Visible());
}

TEST_F(AddDialog, ClosingWhileAFolderIsReadStopsTheReadingAndClosesTheWindow) {
  for (int i = 0; i < 40; ++i) MakeFile("Viele\\datei" + std::to_string(i) + ".txt", 10);
  OpenPage(true);
  prompts.ChooseNextFolder(dir / "Viele");
  // Handled at the first pumping of the reading.
  PostMessageW(add->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  ClickButton(*add->FlatButtonFoldersAdd);
  EXPECT_FALSE(add->Visible());
  EXPECT_LT(add->ListViewFolders->Items().Count(), 40);
  EXPECT_TRUE(main.enabled);
  EXPECT_EQ(PageList().Items().Count(), 0);

  // The next reading runs to its end.
  OpenPage(true);
  add->ListViewFolders->Items().Clear();
  prompts.ChooseNextFolder(dir / "Viele");
  ClickButton(*add->FlatButtonFoldersAdd);
  EXPECT_EQ(add->ListViewFolders->Items().Count(), 40);
  EXPECT_TRUE(add->Visible());
  CloseBox(*add);
  EXPECT_FALSE(add->Visible());
}

TEST_F(AddDialog, ThePageRemovesSelectedItemsAndCreatesOnlyWithFiles) {
  ClickButton(*page->FlatButtonSingleCreate);
  EXPECT_EQ(page->LabelSingleBackupCount->Caption(), "Bitte wählen Sie zuerst Dateien aus, die gesichert werden sollen!");

  AddRow(PageList(), "a.txt", "C:\\", "999 KB");
  AddRow(PageList(), "b.txt", "C:\\", "1.234.567 KB");
  AddRow(PageList(), "c.txt", "C:\\", "1 KB");
  page->SetFilesText();
  EXPECT_EQ(page->LabelSingleBackupCount->Caption(),
            "Zur Archivierung wurde(n) 3 Datei(en) ausgewählt, 1.206,61 MB.");
  PageList().Items()[1]->SetSelected(true);
  PageList().SetFocus();
  testing_support::PressKey(PageList().Handle(), VK_DELETE);
  EXPECT_EQ(Rows(PageList()), (std::vector<std::string>{"a.txt|C:\\|999 KB", "c.txt|C:\\|1 KB"}));
  EXPECT_EQ(page->LabelSingleBackupCount->Caption(), "Zur Archivierung wurde(n) 2 Datei(en) ausgewählt, 0,98 MB.");

  // Sums beyond 32 bits of KB.
  PageList().Items().Clear();
  AddRow(PageList(), "gross1.img", "D:\\", "1.500.000.000 KB");
  AddRow(PageList(), "gross2.img", "D:\\", "1.500.000.000 KB");
  page->SetFilesText();
  EXPECT_EQ(page->LabelSingleBackupCount->Caption(),
            "Zur Archivierung wurde(n) 2 Datei(en) ausgewählt, 2.929.687,50 MB.");
}

}  // namespace
