// What a start hands to the running copy, and what the running copy makes of it. A start's lines
// are "/start" and a definition's name, or the paths of its command line; the first start carries
// out its own lines the same way, as if it had received them.
#pragma once

#include <string>

#include "app/command_line.h"
#include "classlib/stringlist.h"

namespace app {

// "/start" and the name when the command line names a definition; else the paths it names (none
// for a "/start" without a usable name, which is no run).
classlib::TStringList HandOverLines(const std::string& commandLine = ProgramCommandLine());

struct HandOverAction {
  enum class Kind {
    Ignore,             // nothing to do
    TellBackupRunning,  // refused while a backup runs: show kBackupRunningText
    RunBackup,          // carry out the definition backupName
    AddPaths,           // append paths to the single-backup list
  };
  Kind kind = Kind::Ignore;
  std::string backupName;
  classlib::TStringList paths;
};

// The running copy's answer to received lines.
HandOverAction DecideHandOver(const classlib::TStringList& lines, bool backupRunning);

// Box texts (caption "Orvanta") for a refused hand-over and for a second start nobody answered.
extern const char kBackupRunningText[];
extern const char kNoAnswerText[];

}  // namespace app
