// The automatic update check of the main window. Once per program run the scheduler starts it
// through MainWindow().StartAutomaticUpdateCheck, which the main window points here with its own
// HTTPFetch; its only trace is the caption of the main menu's update entry.
#pragma once

#include <string>

#include "update/http_fetch.h"

namespace update {

constexpr char kUpdateMenuCaption[] = "&Aktualisierung";
constexpr char kNewVersionMenuCaption[] = "UPDATE";

// Starts the download of the version file when "Automatisch melden" is checked, the update entry
// still reads "&Aktualisierung" and the machine is online; true when it started (false also when
// the component refused, its earlier check still running).
bool StartAutomaticUpdateCheck(THTTPFetch& HTTPFetch);

// The version file arrived: the update entry reads "UPDATE" when the vendor's signed file offers a
// newer version, else "&Aktualisierung". Any other file changes nothing, silently.
void AutomaticUpdateCheckDone(const std::string& Result);

}  // namespace update
