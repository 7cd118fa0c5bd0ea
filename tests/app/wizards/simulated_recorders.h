// Two simulated recorders for a window's CD writer: "(E:) Lumtec Brenner E" (24-fach) takes
// write-once discs, "(F:) Lumtec Brenner F" (7-fach) rewritable ones. Each holds a blank disc from
// the start, and when the user is asked to change the disc, a blank one goes into the drive in use.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/cd_simulator.h"
#include "tests/support/scripted_prompts.h"
#include "zip/fs_helpers.h"

namespace wizard_testing {

class SimulatedRecorders {
 public:
  // Discs are folders "CD1", "CD2", ... of folder.
  SimulatedRecorders(const std::string& folder, app::TCDWriter& writer, testing_support::ScriptedPrompts& prompts)
      : folder_(folder) {
    for (const char* letter : {"E", "F"}) {
      auto drive = std::make_shared<app::SimulatedCDDevice>();
      drive->DriveLetter = letter;
      drive->Vendor = "Lumtec";
      drive->Product = std::string("Brenner ") + letter;
      drive->MaxWriteSpeed = letter[0] == 'E' ? 24 : 7;
      drives.push_back(drive);
      InsertBlankDisc(*drive);
    }
    writer.SetBackend(std::make_unique<app::CDSimulator>(drives));
    prompts.onMessage = [this](const std::string& text) {
      if (text.rfind("Datenträger-Wechsel erforderlich!", 0) == 0) InsertBlankDisc(*drives[inUse]);
    };
  }

  std::shared_ptr<app::SimulatedDisc> InsertBlankDisc(app::SimulatedCDDevice& drive) {
    auto disc = std::make_shared<app::SimulatedDisc>();
    disc->HostFolder = folder_ + "\\CD" + std::to_string(discs.size() + 1);
    disc->Rewritable = drive.DriveLetter == "F";
    zip::ForceDirectories(disc->HostFolder);
    drive.Disc = disc;
    discs.push_back(disc);
    return disc;
  }

  std::vector<std::shared_ptr<app::SimulatedCDDevice>> drives;
  // Every disc put in, in order.
  std::vector<std::shared_ptr<app::SimulatedDisc>> discs;
  // The drive that gets the next disc: 0 for E, 1 for F.
  int inUse = 0;

 private:
  std::string folder_;
};

}  // namespace wizard_testing
