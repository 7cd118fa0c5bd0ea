#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/cd_devices.h"
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

using Texts = std::vector<std::string>;

TEST(CDDevices, EntriesNameTheDriveFirstOrSayThereIsNone) {
  TCDWriter writer(nullptr);
  EXPECT_EQ(CDWriterEntries(writer), Texts{"Kein CD-Recorder verfügbar!"});

  writer.SetBackend(std::make_unique<CDSimulator>(std::vector<std::shared_ptr<SimulatedCDDevice>>{
      Drive("E", "Lumatec", "RW-5200", 24), Drive("G", "Orbis", "DVD-9", 8)}));
  EXPECT_EQ(CDWriterEntries(writer), (Texts{"(E:) Lumatec RW-5200", "(G:) Orbis DVD-9"}));

  // The device is chosen by its letter in any case; speeds tell which one is selected.
  EXPECT_TRUE(SelectCDDevice(writer, "g"));
  EXPECT_EQ(writer.GetMaxWriteSpeed(), 8);
  EXPECT_TRUE(SelectCDDevice(writer, "E"));
  EXPECT_EQ(writer.GetMaxWriteSpeed(), 24);
  for (const char* none : {"F", "", "E:", "EG"}) {
    EXPECT_FALSE(SelectCDDevice(writer, none)) << none;
    EXPECT_EQ(FindCDDevice(writer, none), -1) << none;
  }
}

TEST(CDDevices, OnlyAnEntryOfADeviceHasADriveLetter) {
  EXPECT_EQ(DriveLetterOfEntry("(E:) Lumatec RW-5200"), "E");
  EXPECT_EQ(DriveLetterOfEntry("(k:) Orbis DVR 108"), "k");
  EXPECT_EQ(DriveLetterOfEntry("(f:)"), "f");
  // The entry shown without devices: its second character is an "e", and no drive's.
  for (const char* none : {"Kein CD-Recorder verfügbar!", "", "(E)", "E:) Lumatec", "(1:) Nummer"})
    EXPECT_EQ(DriveLetterOfEntry(none), "") << none;
}

TEST(CDDevices, SpeedsAreOfferedDownToOneAndReadBackFromTheirText) {
  EXPECT_EQ(CDSpeedEntries(7), (Texts{"7-fach", "5-fach", "3-fach", "1-fach"}));
  EXPECT_EQ(CDSpeedEntries(4), (Texts{"4-fach", "2-fach", "1-fach"}));
  EXPECT_EQ(CDSpeedEntries(1), Texts{"1-fach"});
  const struct {
    const char* text;
    int speed;
  } cases[] = {{"8-fach", 8}, {"52-fach", 52}, {"1-fach", 1}, {"-fach", 0},       {"8", 0},
               {"", 0},       {"schnell", 0}, {"8 fach", 0}, {"99999-fach", 0}, {"x8-fach", 0}};
  for (const auto& c : cases) EXPECT_EQ(SpeedOfEntry(c.text), c.speed) << c.text;
}

}  // namespace
