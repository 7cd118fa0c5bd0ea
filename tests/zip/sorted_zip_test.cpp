#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "classlib/exceptions.h"
#include "zip/sorted_zip.h"

using namespace zip;

namespace {

constexpr std::uint32_t k2GiB = 0x80000000u;
constexpr std::uint32_t k4GiBLess1 = 0xFFFFFFFFu;

std::uint32_t DosDate(int year, int month, int day) {
  return static_cast<std::uint32_t>((year - 1980) << 9 | month << 5 | day) << 16;
}

TZipHeaderInfo Named(const std::string& directory, const std::string& fileName) {
  TZipHeaderInfo entry;
  entry.SetDirectory(directory);
  entry.SetFileName(fileName);
  return entry;
}

TZipHeaderInfo Dated(std::uint32_t dosDate) {
  TZipHeaderInfo entry;
  entry.DateTime = dosDate;
  return entry;
}

TZipHeaderInfo Sized(std::uint32_t compressed, std::uint32_t uncompressed) {
  TZipHeaderInfo entry;
  entry.CompressedSize = compressed;
  entry.UncompressedSize = uncompressed;
  return entry;
}

TZipHeaderInfo At(std::uint16_t disk, std::uint32_t offset) {
  TZipHeaderInfo entry;
  entry.DiskNumberStart = disk;
  entry.LocalHeaderOffset = offset;
  return entry;
}

int Sign(int value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

struct OrderCase {
  TZipSortMode mode;
  std::vector<TZipHeaderInfo> added;
  std::vector<int> order;  // positions in added, as the list holds them
};

const std::vector<OrderCase>& OrderCases() {
  static const std::vector<OrderCase> cases = {
      // Equal names: the later one goes first.
      {TZipSortMode::ByName,
       {Named("b", "x.txt"), Named("A", "Z.txt"), Named("a", "z.TXT"), Named("a", "y.txt"), Named("", "b.txt")},
       {3, 2, 1, 4, 0}},
      {TZipSortMode::ByFileName, {Named("z", "b.txt"), Named("a", "B.TXT"), Named("m", "a.txt")}, {2, 1, 0}},
      {TZipSortMode::ByDirectoryName,
       {Named("b", "1"), Named("A\\", "2"), Named("a", "3"), Named("", "4")},
       {3, 2, 1, 0}},
      // Newest first, equal dates in the order added; a date that is no date counts as oldest.
      {TZipSortMode::ByDate,
       {Dated(DosDate(2020, 5, 1)), Dated(DosDate(2021, 1, 1)), Dated(DosDate(2020, 5, 1)),
        Dated(DosDate(2020, 2, 31)), Dated(DosDate(1980, 1, 1))},
       {1, 0, 2, 4, 3}},
      // Largest first, equal sizes in the order added; 2 GiB and more are not negative.
      {TZipSortMode::ByCompressedSize,
       {Sized(1, 0), Sized(k4GiBLess1, 0), Sized(k2GiB, 0), Sized(0x7FFFFFFF, 0), Sized(k2GiB, 0), Sized(0, 0)},
       {1, 2, 4, 3, 0, 5}},
      {TZipSortMode::ByUnCompressedSize,
       {Sized(0, 1), Sized(0, k4GiBLess1), Sized(0, k2GiB), Sized(0, 0x7FFFFFFF), Sized(0, k2GiB), Sized(0, 0)},
       {1, 2, 4, 3, 0, 5}},
      // Pairs of equal rates, so each tie comes out in reverse: 100 (capped), 50 (no overflow at
      // 2 GiB), 2 (2.5 and 1.5 both round to 2), 0 (0.5 rounds down; size 0 has rate 0).
      {TZipSortMode::ByRate,
       {Sized(150, 100), Sized(k4GiBLess1, k4GiBLess1), Sized(k2GiB, k4GiBLess1), Sized(50, 100), Sized(5, 200),
        Sized(3, 200), Sized(1, 200), Sized(0, 0)},
       {1, 0, 3, 2, 5, 4, 7, 6}},
      // Archive order: part, then offset compared unsigned; the same header twice comes out in reverse.
      {TZipSortMode::ByNone,
       {At(0, k2GiB), At(1, 0), At(0, k4GiBLess1), At(0, 5), At(0, 5), At(0, 0x7FFFFFFF)},
       {4, 3, 5, 0, 2, 1}},
  };
  return cases;
}

}  // namespace

TEST(SortedZip, EachModePlacesEntriesAndTiesAsDocumented) {
  for (const OrderCase& c : OrderCases()) {
    TSortedZip list(TDuplicates::Accept, c.mode, false);
    for (const TZipHeaderInfo& entry : c.added) list.Add(const_cast<TZipHeaderInfo*>(&entry));
    std::vector<int> order;
    for (int i = 0; i < list.Count(); ++i) order.push_back(static_cast<int>(list.Items(i) - c.added.data()));
    EXPECT_EQ(order, c.order) << "mode " << static_cast<int>(c.mode);
  }
}

TEST(SortedZip, CompareReportsEqualityOnlyWhereTheModeAllowsIt) {
  struct Case {
    TZipSortMode mode;
    TZipHeaderInfo item, key;
    int sign;
  };
  const TZipHeaderInfo same = Named("Dir", "A.txt");
  const Case cases[] = {
      {TZipSortMode::ByName, Named("Dir", "A.txt"), Named("dir", "a.TXT"), 0},
      {TZipSortMode::ByName, Named("", "Äpfel"), Named("", "äpfel"), -1},  // only A-Z fold
      {TZipSortMode::ByFileName, same, same, 0},
      {TZipSortMode::ByDirectoryName, Named("x", "1"), Named("X", "2"), 0},
      {TZipSortMode::ByDate, Dated(DosDate(2020, 5, 1)), Dated(DosDate(2020, 5, 1)), -1},
      {TZipSortMode::ByDate, Dated(DosDate(2020, 5, 1)), Dated(DosDate(2020, 5, 2)), 1},
      {TZipSortMode::ByCompressedSize, Sized(k2GiB, 0), Sized(k2GiB, 0), -1},
      {TZipSortMode::ByCompressedSize, Sized(1, 0), Sized(k4GiBLess1, 0), 1},
      {TZipSortMode::ByUnCompressedSize, Sized(0, k4GiBLess1), Sized(0, k4GiBLess1), -1},
      {TZipSortMode::ByUnCompressedSize, Sized(0, k4GiBLess1), Sized(0, 1), -1},
      {TZipSortMode::ByRate, Sized(5, 200), Sized(3, 200), 0},
      {TZipSortMode::ByRate, Sized(0, 0), Sized(1, 100), 1},
      {TZipSortMode::ByNone, At(2, k2GiB), At(2, k2GiB), 0},
      {TZipSortMode::ByNone, At(0, k4GiBLess1), At(1, 0), -1},
      {TZipSortMode::ByNone, At(0, k4GiBLess1), At(0, 1), 1},
  };
  for (const Case& c : cases) {
    TSortedZip list(TDuplicates::Accept, c.mode);
    EXPECT_EQ(Sign(list.Compare(c.item, c.key)), c.sign)
        << "mode " << static_cast<int>(c.mode) << ": " << c.item.Path() << " / " << c.key.Path();
  }
}

// The directory reader's use: an owning archive-order list that refuses a second record for the
// same local header and finds records by part and offset, viewed through a referring list.
TEST(SortedZip, ArchiveOrderListRefusesASecondHeaderAndFindsByKey) {
  TSortedZip archiveOrder(TDuplicates::Error);
  EXPECT_EQ(archiveOrder.SortMode(), TZipSortMode::ByNone);
  for (std::uint32_t offset : {k2GiB, 0u, 100u}) {
    auto entry = std::make_unique<TZipHeaderInfo>(At(0, offset));
    entry->SetFileName("f" + std::to_string(offset));
    archiveOrder.Add(entry.release());
  }
  auto again = std::make_unique<TZipHeaderInfo>(At(0, 100));
  try {
    archiveOrder.Add(again.get());
    ADD_FAILURE() << "a second record for one header was taken";
  } catch (const classlib::EListError& e) {
    EXPECT_STREQ(e.what(), "Duplicate Object index");
  }
  EXPECT_EQ(archiveOrder.Count(), 3);

  int index = -1;
  ASSERT_TRUE(archiveOrder.Find(At(0, k2GiB), index));
  EXPECT_EQ(archiveOrder.Items(index)->FileName(), "f2147483648");
  EXPECT_FALSE(archiveOrder.Find(At(1, 0), index));
  EXPECT_EQ(index, 3);

  TSortedZip byName(TDuplicates::Accept, TZipSortMode::ByName, false);
  for (int i = 0; i < archiveOrder.Count(); ++i) byName.Add(archiveOrder.Items(i));
  EXPECT_EQ(byName.First()->FileName(), "f0");
  EXPECT_EQ(byName.Last()->FileName(), "f2147483648");
}
