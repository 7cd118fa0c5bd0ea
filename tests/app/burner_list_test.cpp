#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/burner_list.h"
#include "app/cd_simulator.h"

using namespace app;

namespace {

std::shared_ptr<SimulatedCDDevice> Drive(const char* letter, const char* vendor, const char* product, int speed) {
  auto drive = std::make_shared<SimulatedCDDevice>();
  drive->DriveLetter = letter;
  drive->Vendor = vendor;
  drive->Product = product;
  drive->MaxWriteSpeed = speed;
  return drive;
}

TEST(BurnerList, EntriesNameTheDriveFirstOrSayThereIsNone) {
  TCDWriter writer(nullptr);
  EXPECT_EQ(BurnerEntries(writer).Count(), 1);
  EXPECT_EQ(BurnerEntries(writer)[0], "Kein CD-Recorder verfügbar!");

  writer.SetBackend(std::make_unique<CDSimulator>(std::vector<std::shared_ptr<SimulatedCDDevice>>{
      Drive("E", "Lumatec", "RW-5200", 24), Drive("G", "Orbis", "DVD-9", 8)}));
  const classlib::TStringList entries = BurnerEntries(writer);
  ASSERT_EQ(entries.Count(), 2);
  EXPECT_EQ(entries[0], "(E:) Lumatec RW-5200");
  EXPECT_EQ(entries[1], "(G:) Orbis DVD-9");

  // The device is chosen by its letter in any case; speeds tell which one is selected.
  EXPECT_TRUE(SelectBurner(writer, 'g'));
  EXPECT_EQ(writer.GetMaxWriteSpeed(), 8);
  EXPECT_TRUE(SelectBurner(writer, 'E'));
  EXPECT_EQ(writer.GetMaxWriteSpeed(), 24);
  EXPECT_FALSE(SelectBurner(writer, 'F'));
}

TEST(BurnerList, OnlyAnEntryOfADeviceHasADriveLetter) {
  EXPECT_EQ(BurnerDriveLetter("(E:) Lumatec RW-5200"), 'E');
  EXPECT_EQ(BurnerDriveLetter("(f:)"), 'f');
  for (const char* none : {"Kein CD-Recorder verfügbar!", "", "(E)", "E:) Lumatec", "(1:) Nummer"})
    EXPECT_EQ(BurnerDriveLetter(none), 0) << none;
}

}  // namespace
