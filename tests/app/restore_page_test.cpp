#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/restore_listing.h"
#include "classlib/wide.h"
#include "tests/app/restore_fixture.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test.h"

namespace {

using restore_fixture::Backup;
using restore_fixture::Row;
using restore_fixture::TheFixtures;
using testing_support::ClickButton;

class RestorePage : public ::testing::Test {
 protected:
  RestorePage() { testing_support::InitWindows(); }
  ~RestorePage() override { EXPECT_TRUE(testing_support::TakeBoundaryErrors().empty()); }

  // "Backup öffnen" with the file chosen in the dialog.
  void Open(const std::string& archive) {
    prompts.ChooseNextFile(archive);
    ClickButton(*windows.page->FlatButtonOpen);
  }

  testing_support::ScriptedPrompts prompts;
  restore_fixture::RestoreWindows windows;
};

TEST_F(RestorePage, ListsEveryBackupAsPythonReadsIt) {
  const restore_fixture::Fixtures& f = TheFixtures();
  for (const Backup* backup : {&f.own, &f.infoZip, &f.python}) {
    SCOPED_TRACE(backup->archive);
    ASSERT_FALSE(backup->rows.empty());
    Open(backup->archive);
    EXPECT_EQ(windows.Rows(), backup->rows);
    EXPECT_EQ(windows.page->LabelRestore->Caption(), backup->label);
    EXPECT_EQ(windows.page->OpenedArchive(), backup->archive);
    EXPECT_FALSE(windows.page->FlatProgressBarRestore->Visible());
  }
  ASSERT_EQ(prompts.fileRequests.size(), 3u);
  EXPECT_EQ(prompts.fileRequests[0].title, "ZIP-Datei öffnen");
  EXPECT_EQ(prompts.fileRequests[0].filter, "ZIP-Dateien|*.zip");
  // Nothing was asked: the split set's parts were found where they are.
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(RestorePage, TotalsOfAThousandMBAndMoreAreGrouped) {
  EXPECT_EQ(app::RestoreLabelText(2, 1234567, 512), "Backup enthält 2 Datei(en). Orig.: 1.205,63 MB, kompr.: 0,50 MB.");
}

TEST_F(RestorePage, ColumnClicksSortAndItemsKeepTheirEntry) {
  Open(TheFixtures().python.archive);
  windows.ClickColumn(2);
  const std::vector<Row> bySize = windows.Rows();
  EXPECT_EQ(bySize.back().name, "nullen.bin");
  EXPECT_EQ(bySize.back().size, "1171 KB");
  EXPECT_EQ(bySize.front().size, "1 KB");
  windows.ClickColumn(0);
  EXPECT_EQ(windows.Rows().front().name, "bericht.txt");
  // Each item still knows its entry in the directory.
  zip::TZipReader& reader = windows.extract->UnZipArchive();
  classlib::TListItems& items = windows.page->ListViewRestore->Items();
  for (int i = 0; i < items.Count(); ++i) EXPECT_EQ(reader.EntryName(static_cast<int>(items[i]->Data)), items[i]->Caption());
}

// The list's window holds only the number of rows and asks the items for their texts: it shows
// each row as the page listed it, and a marked row stays marked wherever a sort moves it.
TEST_F(RestorePage, TheWindowShowsEveryRowAndMarksMoveWithTheirRows) {
  Open(TheFixtures().python.archive);
  classlib::TListView& list = *windows.page->ListViewRestore;
  auto shown = [&] {
    std::vector<Row> rows;
    for (int i = 0; i < ListView_GetItemCount(list.Handle()); ++i) {
      std::string cells[4];
      for (int column = 0; column < 4; ++column) {
        wchar_t text[260] = {};
        ListView_GetItemText(list.Handle(), i, column, text, 260);
        cells[column] = classlib::Narrow(text);
      }
      rows.push_back({cells[0], cells[1], cells[2], cells[3]});
    }
    return rows;
  };
  EXPECT_EQ(shown(), TheFixtures().python.rows);
  for (int i = 0; i < list.Items().Count(); ++i)
    if (list.Items()[i]->Caption() == "klein.txt" || list.Items()[i]->Caption() == "nullen.bin")
      list.Items()[i]->SetSelected(true);
  for (const int column : {2, 0, 3}) {
    SCOPED_TRACE(column);
    windows.ClickColumn(column);
    EXPECT_EQ(shown(), windows.Rows());
    std::vector<std::string> marked;
    for (const classlib::TListItem* item : list.SelectedItems()) marked.push_back(item->Caption());
    std::sort(marked.begin(), marked.end());
    EXPECT_EQ(marked, (std::vector<std::string>{"klein.txt", "nullen.bin"}));
    EXPECT_EQ(list.SelCount(), 2);
  }
}

TEST_F(RestorePage, ButtonsWithoutFilesAndTheDeleteKeyDoNothing) {
  ClickButton(*windows.page->FlatButtonExtractAll);
  EXPECT_FALSE(windows.extract->Visible());
  Open(TheFixtures().python.archive);
  ClickButton(*windows.page->FlatButtonExtract);
  EXPECT_FALSE(windows.extract->Visible());
  const int count = windows.page->ListViewRestore->Items().Count();
  windows.page->ListViewRestore->Items()[0]->SetSelected(true);
  testing_support::PressKey(windows.page->ListViewRestore->Handle(), VK_DELETE);
  EXPECT_EQ(windows.page->ListViewRestore->Items().Count(), count);
  EXPECT_FALSE(windows.page->ExtractAllEntries());
}

TEST_F(RestorePage, NothingElseStartsWhileTheExtractionWindowShows) {
  Open(TheFixtures().python.archive);
  ClickButton(*windows.page->FlatButtonExtractAll);
  ASSERT_TRUE(windows.extract->Visible());
  EXPECT_TRUE(windows.page->ExtractAllEntries());
  ClickButton(*windows.page->FlatButtonOpen);
  windows.page->OpenBackup(TheFixtures().infoZip.archive);
  EXPECT_EQ(prompts.fileRequests.size(), 1u);
  EXPECT_EQ(windows.page->OpenedArchive(), TheFixtures().python.archive);
  EXPECT_EQ(windows.Rows(), TheFixtures().python.rows);
}

TEST_F(RestorePage, AFileThatIsNoBackupReachesTheErrorBoxWithTheListEmpty) {
  Open(TheFixtures().python.archive);
  testing_support::TempDir dir;
  const std::string notZip = dir / "kein Backup.zip";
  testing_support::WriteFile(notZip, std::string(3000, 'x'));
  Open(notZip);
  EXPECT_EQ(testing_support::TakeBoundaryErrors().size(), 1u);
  EXPECT_EQ(windows.page->ListViewRestore->Items().Count(), 0);
  EXPECT_EQ(windows.page->LabelRestore->Caption(), app::kRestoreLabelEmpty);
  EXPECT_EQ(windows.page->OpenedArchive(), "");
  EXPECT_FALSE(windows.page->FlatProgressBarRestore->Visible());
  ClickButton(*windows.page->FlatButtonExtractAll);
  EXPECT_FALSE(windows.extract->Visible());
}

}  // namespace
