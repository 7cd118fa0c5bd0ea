#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "classlib/streams.h"
#include "controls/panels/vis_container.h"
#include "tests/controls/oracle.h"
#include "tests/support/temp_dir.h"

using controls::TVisCustomContainer;
using controls::TVisListItem;
using controls::TVisStringList;
using controls::TVisWaveList;
using controls_test::FileArg;
using controls_test::Hex;
using controls_test::RunOracle;

namespace {

// A container as the oracle's "read" prints it.
std::string Describe(const TVisCustomContainer& list) {
  std::ostringstream out;
  out << "kind " << (list.Kind() == controls::lkStringList ? "sll" : "wvl");
  for (int i = 0; i < list.Count(); ++i) {
    const TVisListItem* item = list.Item(i);
    out << "\nitem flags " << int{item->GetFlags()} << " description " << Hex(item->Description()) << " ident "
        << item->Ident();
    if (auto* strings = dynamic_cast<const controls::TVisStringListItem*>(item)) {
      out << "\nlines";
      for (const std::string& line : strings->Items()) out << ' ' << Hex(line);
    } else if (auto* wave = dynamic_cast<const controls::TVisWaveListItem*>(item)) {
      const auto& bytes = wave->Wave().Data()->Bytes();
      out << "\nwave " << bytes.size() << ' ' << controls_test::Checksum(bytes);
    }
  }
  return out.str();
}

}  // namespace

// Files written by the oracle load as it describes them; what we save, it reads the same way.
TEST(Container, StringListFilesAgreeWithTheOracle) {
  testing_support::TempDir dir;
  const std::string theirs = dir / "fremd.txt", ours = dir / "eigen.txt";
  RunOracle({"strings", FileArg(theirs)});
  const std::string expected = RunOracle({"read", FileArg(theirs)});

  TVisStringList list(nullptr);
  list.LoadFromFile(theirs);
  EXPECT_EQ(Describe(list), expected);
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Item(2)->Items().Count(), 1400);

  list.SaveToFile(ours);
  EXPECT_EQ(RunOracle({"read", FileArg(ours)}), expected);

  std::int32_t count = -1;
  std::vector<std::int32_t> positions;
  EXPECT_EQ(controls::GetContainerFileInfo(ours, count, &positions), controls::lkStringList);
  EXPECT_EQ(count, 4);
  ASSERT_EQ(positions.size(), 4u);
  EXPECT_EQ(positions[0], 9 + 4 + 16);
  controls::TVisStringListItem item(nullptr);
  controls::LoadItemFromFile(ours, controls::lkStringList, nullptr, item, 3);
  EXPECT_EQ(item.Description(), "leer");
  controls::LoadItemFromFile(ours, controls::lkStringList, &positions, item, 0);
  EXPECT_EQ(item.Description(), "Eins");
  EXPECT_EQ(item.Ident(), 7);
  EXPECT_EQ(item.Items(), (classlib::TStringList{"erste", "", "dritte"}));
}

TEST(Container, WaveListFilesAgreeWithTheOracle) {
  testing_support::TempDir dir;
  const std::string mono = dir / "mono.wav", stereo = dir / "stereo.wav";
  RunOracle({"wave", FileArg(mono), "1", "1", "8000", "300"});
  RunOracle({"wave", FileArg(stereo), "2", "2", "44100", "40000"});
  const std::string theirs = dir / "fremd.wav", ours = dir / "eigen.wav";
  RunOracle({"waves", FileArg(theirs), FileArg(mono), FileArg(stereo)});
  const std::string expected = RunOracle({"read", FileArg(theirs)});

  TVisWaveList list(nullptr);
  list.LoadFromFile(theirs);
  EXPECT_EQ(Describe(list), expected);
  list.SaveToFile(ours);
  EXPECT_EQ(RunOracle({"read", FileArg(ours)}), expected);
}

// Every damaged file fails with an exception, and the container keeps what it held.
TEST(Container, DamagedFilesLeaveTheContainerAsItWas) {
  testing_support::TempDir dir;
  const std::string good = dir / "gut.txt";
  RunOracle({"strings", FileArg(good)});
  for (const char* kind : {"strings", "waves"}) {
    const std::vector<std::string> names = controls_test::Lines(RunOracle({"damaged", FileArg(dir.Path()), kind}));
    ASSERT_FALSE(names.empty());
    TVisCustomContainer* list = std::string(kind) == "strings" ? static_cast<TVisCustomContainer*>(new TVisStringList(nullptr))
                                                               : new TVisWaveList(nullptr);
    if (std::string(kind) == "strings") list->LoadFromFile(good);
    const std::string before = Describe(*list);
    int changes = 0;
    list->OnChange = [&](classlib::TObject*) { ++changes; };
    for (const std::string& name : names) {
      SCOPED_TRACE(name);
      EXPECT_THROW(list->LoadFromFile(dir / name), classlib::Exception);
      EXPECT_EQ(Describe(*list), before);
    }
    EXPECT_EQ(changes, 0);
    delete list;
  }
}

TEST(Container, FileKindsAndItemIndexes) {
  testing_support::TempDir dir;
  const std::string strings = dir / "liste.txt", other = dir / "anders.dat";
  RunOracle({"strings", FileArg(strings)});
  testing_support::WriteFile(other, std::string("\x08VISXXX30\x01\0\0\0", 13));
  std::int32_t count = -1;
  EXPECT_EQ(controls::GetContainerFileInfo(other, count, nullptr), controls::kUnknownContainer);
  EXPECT_EQ(count, 0);
  testing_support::WriteFile(other + "2", "BM");
  EXPECT_EQ(controls::GetContainerFileInfo(other + "2", count, nullptr), controls::kUnknownContainer);

  controls::TVisStringListItem item(nullptr);
  item.SetDescription("vorher");
  // A file of another kind names the file, then its path; a missing entry names the path, then the entry.
  const struct {
    std::string file;
    int kind;
    int index;
    std::string message;
  } refused[] = {
      {other, controls::lkStringList, 0, "Datei anders.dat kann nicht geöffnet werden: " + other},
      {strings, controls::lkWaveList, 0, "Datei liste.txt kann nicht geöffnet werden: " + strings},
      {strings, controls::lkStringList, 4, "Datei " + strings + " kann nicht geöffnet werden: Eintrag 4 fehlt"},
      {strings, controls::lkStringList, -1, "Datei " + strings + " kann nicht geöffnet werden: Eintrag -1 fehlt"},
  };
  for (const auto& c : refused) {
    try {
      controls::LoadItemFromFile(c.file, c.kind, nullptr, item, c.index);
      FAIL() << c.file << " " << c.index;
    } catch (const classlib::EFOpenError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  EXPECT_EQ(item.Description(), "vorher");

  EXPECT_EQ(controls::ContainerFileExt(controls::lkImageList, true), ".iml");
  EXPECT_EQ(controls::ContainerFileExt(controls::lkGeneralList, false), "*");
  EXPECT_EQ(controls::ContainerSignature(controls::lkRichTextList), "VISRTL50");
}

TEST(Container, ItemsAndNotification) {
  TVisStringList list(nullptr);
  std::vector<classlib::TObject*> senders;
  list.OnChange = [&](classlib::TObject* sender) { senders.push_back(sender); };
  list.Clear();
  EXPECT_EQ(senders, std::vector<classlib::TObject*>{&list});

  list.SetDefaultCompressed(true);
  auto* item = static_cast<controls::TVisStringListItem*>(list.Add());
  EXPECT_TRUE(item->Compressed());
  senders.clear();
  item->SetItems({"a"});
  EXPECT_EQ(senders, std::vector<classlib::TObject*>{item});

  // Without description and identifier only the flags byte precedes the data.
  item->SetCompressed(false);
  classlib::TMemoryStream s;
  item->WriteToStream(s);
  EXPECT_EQ(s.Bytes(), (std::vector<std::uint8_t>{0, 3, 0, 0, 0, 'a', '\r', '\n'}));

  TVisStringList copy(nullptr);
  copy.Assign(list);
  ASSERT_EQ(copy.Count(), 1);
  EXPECT_TRUE(copy.DefaultCompressed());
  EXPECT_EQ(copy.Item(0)->Items(), item->Items());
  EXPECT_NE(copy.Item(0), item);

  delete item;
  EXPECT_EQ(list.Count(), 0);
  EXPECT_THROW(list.Item(0), classlib::EListError);
  controls::TVisStringListItem stranger(nullptr);
  EXPECT_THROW(list.Add(&stranger), classlib::EInvalidOperation);
}
