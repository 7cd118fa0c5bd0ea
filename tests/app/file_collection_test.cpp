#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "app/file_collection.h"
#include "classlib/wide.h"
#include "app/single_backup_list.h"
#include "classlib/forms.h"
#include "tests/app/app_fixture.h"
#include "tests/app/host_links.h"
#include "tests/support/host_python.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test.h"
#include "zip/fs_helpers.h"

using namespace app;
using namespace app_testing;

namespace {

int IndexOf(const classlib::TStringList& list, const std::string& item) {
  const auto found = std::find(list.begin(), list.end(), item);
  return found == list.end() ? -1 : static_cast<int>(found - list.begin());
}

std::vector<std::string> Sorted(const classlib::TStringList& list) {
  std::vector<std::string> items(list.begin(), list.end());
  std::sort(items.begin(), items.end());
  return items;
}

}  // namespace

TEST(TypeFilter, ExtensionsWithTheirDot) {
  using F = FileTypeFilter;
  const struct {
    const char* name;
    const char* types;
    F filter;
    bool passes;
  } cases[] = {
      {"brief.doc", "*.doc;*.xls", F::OnlyTypes, true},
      {"BRIEF.DOC", "*.doc", F::OnlyTypes, true},         // without regard to case
      {"tabelle.xls", "*.DOC;*.XLS", F::OnlyTypes, true},  // the last entry needs no ";"
      {"brief.docx", "*.doc", F::OnlyTypes, false},
      {"pack.tar.gz", "*.gz", F::OnlyTypes, true},         // the last dot decides
      {"pack.tar.gz", "*.tar", F::OnlyTypes, false},
      {"brief.doc", "doc", F::OnlyTypes, false},           // an entry without its dot never matches
      {"README", "*.doc", F::OnlyTypes, false},
      {"brief.doc", "", F::OnlyTypes, false},
      {"brief.doc", "*.doc", F::AllButTypes, false},
      {"bild.bmp", "*.doc", F::AllButTypes, true},
      {"README", "*.doc", F::AllButTypes, true},            // no extension: always taken
      {"README", "", F::AllButTypes, true},
      {"bild.bmp", "", F::AllButTypes, false},              // empty types: only files without extension
      {"bild.bmp", "*.doc", F::AllFiles, true},
      {"README", "", F::AllFiles, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PassesTypeFilter(c.name, c.types, c.filter), c.passes) << c.name << " / " << c.types;
}

class Collection : public AppFixture {
 protected:
  void SetUp() override {
    for (const char* name : {"a.doc", "b.txt", "sub1\\c.txt", "sub1\\deep\\d.doc", ".punkt\\e.txt", ".punkt\\h.txt",
                             "sub2\\f.doc", "schreibgeschuetzt\\g.txt"})
      MakeFile("quelle\\" + std::string(name));
    SetFileAttributesW(classlib::Widen(Root() + "schreibgeschuetzt").c_str(), FILE_ATTRIBUTE_READONLY);
  }
  void TearDown() override {
    SetFileAttributesW(classlib::Widen(Root() + "schreibgeschuetzt").c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  std::string Root() const { return dir / "quelle\\"; }
};

TEST_F(Collection, AFoldersOwnFilesComeBeforeThoseOfItsSubfolders) {
  classlib::TStringList list;
  ASSERT_TRUE(CollectFolderFiles(Root(), "", FileTypeFilter::AllFiles, list, 0, true));
  const std::string r = Root();
  EXPECT_EQ(Sorted(list), (std::vector<std::string>{r + ".punkt\\e.txt", r + ".punkt\\h.txt", r + "a.doc", r + "b.txt",
                                                    r + "schreibgeschuetzt\\g.txt", r + "sub1\\c.txt",
                                                    r + "sub1\\deep\\d.doc", r + "sub2\\f.doc"}));
  EXPECT_EQ(Sorted(classlib::TStringList{list[0], list[1]}), (std::vector<std::string>{r + "a.doc", r + "b.txt"}));
  EXPECT_EQ(IndexOf(list, r + "sub1\\deep\\d.doc"), IndexOf(list, r + "sub1\\c.txt") + 1);

  classlib::TStringList flat = {"vorher"};
  ASSERT_TRUE(CollectFolderFiles(dir / "quelle", "*.doc", FileTypeFilter::OnlyTypes, flat, 0, false));
  EXPECT_EQ(flat, (classlib::TStringList{"vorher", r + "a.doc"}));  // appended; "\" added to the folder
}

// Links to folders are followed, but never to a folder the collection has been in or will be in:
// every file once, and the walk ends.
TEST_F(Collection, LinksAreFollowedButNeverBackIntoTheTree) {
  const std::string r = Root();
  MakeFile("anderswo\\fremd.txt");
  const HostLinks links({
      {r + "sub1\\deep\\zurueck", r},           // back to the top
      {r + "a_zu_sub2", r + "sub2"},            // listed before the folder it leads to
      {r + "sub2\\zu_deep", r + "sub1\\deep"},  // into another branch
      {r + "aussen", dir / "anderswo"},         // out of the tree: followed
      {dir / "anderswo\\heim", r + "sub1"},     // and from there back in
  });
  ASSERT_EQ(GetFileAttributesW(classlib::Widen(r + "aussen").c_str()),
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
  classlib::TStringList list;
  ASSERT_TRUE(CollectFolderFiles(r, "", FileTypeFilter::AllFiles, list, 0, true));
  EXPECT_EQ(Sorted(list), (std::vector<std::string>{r + ".punkt\\e.txt", r + ".punkt\\h.txt", r + "a.doc",
                                                    r + "aussen\\fremd.txt", r + "b.txt",
                                                    r + "schreibgeschuetzt\\g.txt", r + "sub1\\c.txt",
                                                    r + "sub1\\deep\\d.doc", r + "sub2\\f.doc"}));
  EXPECT_EQ(CountFiles(r), 8);  // the single backup's import follows no link
}

// A listed folder that a link in another listed folder leads to comes once, by its listed name;
// what else the links bring stays where it was, after the tree it was found in.
TEST_F(Collection, AListedFolderReachedByALinkComesByItsListedName) {
  const std::string r = Root();
  MakeFile("anderswo\\fremd.txt");
  const HostLinks links({{r + "sub1\\nach_aussen", dir / "anderswo"}, {r + "sub1\\zu_sub2", r + "sub2"}});
  BackupDefinition extended;
  extended.Option = BackupOption::Extended;
  extended.FolderList = {{r + "sub1", true}, {r + "sub2", true}};
  EXPECT_EQ(CollectDefinitionFiles(extended).Files,
            (classlib::TStringList{r + "sub1\\c.txt", r + "sub1\\deep\\d.doc", r + "sub1\\nach_aussen\\fremd.txt",
                                   r + "sub2\\f.doc"}));
}

TEST_F(Collection, SizeLimitKeepsFilesUpToIt) {
  MakeFile("quelle\\genau.bin", DosTime(2024, 1, 1, 0, 0), std::string(1024, 'x'));
  MakeFile("quelle\\mehr.bin", DosTime(2024, 1, 1, 0, 0), std::string(1025, 'x'));
  classlib::TStringList list;
  ASSERT_TRUE(CollectFolderFiles(Root(), "*.bin", FileTypeFilter::OnlyTypes, list, 1, false));
  EXPECT_EQ(list, (classlib::TStringList{Root() + "genau.bin"}));

  BackupDefinition def;
  def.MaxSize = "200 MB";
  EXPECT_EQ(SizeLimitKB(def), 0);  // switched off
  def.SizeEnabled = true;
  EXPECT_EQ(SizeLimitKB(def), 200 * 1024);
  def.MaxSize = "viel";
  EXPECT_EQ(SizeLimitKB(def), 0);
}

TEST_F(Collection, CountFilesEntersEveryFolder) {
  EXPECT_EQ(CountFiles(Root()), 8);  // also in hidden and read-only folders
  EXPECT_EQ(CountFiles(dir / "quelle\\sub1"), 2);
  EXPECT_EQ(CountFiles(dir / "fehlt"), 0);
  EXPECT_EQ(CountFiles(""), 0);
}

TEST_F(Collection, UnusableFoldersCollectNothingAndSayWhy) {
  const struct {
    std::string folder;
    std::string problem;
  } cases[] = {
      {"", "Es ist kein Ordner zur Sicherung angegeben."},
      {"quelle\\", "Der Ordner \"quelle\\\" ist kein vollständiger Pfad."},
      {"\\", "Der Ordner \"\\\" ist kein vollständiger Pfad."},
      {dir / "fehlt\\", "Der Ordner \"" + dir / "fehlt\\" + "\" existiert nicht."},
  };
  for (const auto& c : cases) {
    classlib::TStringList list;
    EXPECT_FALSE(CollectFolderFiles(c.folder, "", FileTypeFilter::AllFiles, list, 0, true)) << c.folder;
    EXPECT_EQ(list.Count(), 0) << c.folder;
    BackupDefinition def;
    def.Option = BackupOption::Folders;
    def.Folder = c.folder;
    const CollectedFiles collected = CollectDefinitionFiles(def);
    EXPECT_EQ(collected.Files.Count(), 0);
    EXPECT_EQ(collected.Problems, std::vector<std::string>{c.problem});
  }
}

TEST_F(Collection, EachKindOfDefinition) {
  const std::string r = Root();
  BackupDefinition files;
  files.Option = BackupOption::Files;
  files.FileList = {r + "b.txt", r + "weg.txt", r + "sub1", r + "a.doc"};
  EXPECT_EQ(CollectDefinitionFiles(files).Files, (classlib::TStringList{r + "b.txt", r + "a.doc"}));

  BackupDefinition folder;
  folder.Option = BackupOption::Folders;
  folder.Folder = r + "sub1\\";
  folder.Types = "*.doc";
  folder.TypeFilter = FileTypeFilter::AllButTypes;
  folder.Subfolders = true;
  EXPECT_EQ(CollectDefinitionFiles(folder).Files, (classlib::TStringList{r + "sub1\\c.txt"}));
  folder.TypeFilter = FileTypeFilter::OnlyTypes;
  folder.Subfolders = false;
  EXPECT_EQ(CollectDefinitionFiles(folder).Files.Count(), 0);

  BackupDefinition extended;
  extended.Option = BackupOption::Extended;
  extended.FolderList = {{r + "sub2", false}, {r + "fehlt", true}, {r + "sub1", true}};
  const CollectedFiles collected = CollectDefinitionFiles(extended);
  EXPECT_EQ(collected.Files, (classlib::TStringList{r + "sub2\\f.doc", r + "sub1\\c.txt", r + "sub1\\deep\\d.doc"}));
  EXPECT_EQ(collected.Problems, std::vector<std::string>{"Der Ordner \"" + r + "fehlt\\\" existiert nicht."});
}

// A folder dropped into a single-backup list: every file below it, no folder names, and links to
// folders (here one back to the folder itself and one to another tree) not followed.
TEST(SingleBackupList, AFolderListsEveryFileBelowItButNoFoldersAndFollowsNoLinks) {
  testing_support::InitWindows();
  testing_support::TempDir dir;
  const std::string top = dir / "Dokumente";
  zip::ForceDirectories(top + "\\Briefe\\Alt");
  zip::ForceDirectories(top + "\\Leer");
  zip::ForceDirectories(dir / "Anderswo");
  testing_support::WriteFile(top + "\\Liste.txt", std::string(3000, 'l'));
  testing_support::WriteFile(top + "\\Briefe\\Brief.txt", "b");
  testing_support::WriteFile(top + "\\Briefe\\Alt\\Alter Brief.txt", "a");
  testing_support::WriteFile(dir / "Anderswo\\Fremd.txt", "f");
  const HostLinks links({{top + "\\Briefe\\Schleife", top}, {top + "\\Verweis", dir / "Anderswo"}});
  classlib::TForm form(nullptr);
  classlib::TListView* list = app::NewFileListView(&form, &form, 0, 0, 400, 200);
  app::MyFileRead(top, *list);
  std::vector<std::string> rows;
  for (int i = 0; i < list->Items().Count(); ++i)
    rows.push_back(list->Items()[i]->SubItem(0) + list->Items()[i]->Caption() + "|" + list->Items()[i]->SubItem(1));
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(rows, (std::vector<std::string>{top + "\\Briefe\\Alt\\Alter Brief.txt|1 KB", top + "\\Briefe\\Brief.txt|1 KB",
                                            top + "\\Liste.txt|2 KB"}));
}
