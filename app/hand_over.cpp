#include "app/hand_over.h"

namespace app {

const char kBackupRunningText[] =
    "Orvanta führt momentan eine Sicherung durch.\r\r"
    "Der Auftrag des zweiten Programmstarts wurde nicht ausgeführt. Bitte wiederholen Sie ihn, "
    "wenn die Sicherung beendet ist.";
const char kNoAnswerText[] =
    "Orvanta läuft bereits, antwortet aber nicht.\r\r"
    "Der Auftrag konnte nicht übergeben werden. Bitte versuchen Sie es in einigen Sekunden erneut.";

classlib::TStringList HandOverLines(const std::string& commandLine) {
  classlib::TStringList lines;
  if (HasStartSwitch(commandLine)) {
    const std::string name = StartSwitchName(commandLine);
    if (IsBackupName(name)) lines = {kStartSwitch, name};
  } else {
    GetFileNamesFromCommandLine(lines, commandLine);
  }
  return lines;
}

HandOverAction DecideHandOver(const classlib::TStringList& lines, bool backupRunning) {
  HandOverAction action;
  const bool run = lines.Count() > 0 && lines[0] == kStartSwitch;
  if (run && (lines.Count() < 2 || !IsBackupName(lines[1]))) return action;
  if (!run) {
    for (const std::string& line : lines) {
      if (!line.empty()) action.paths.Add(line);
    }
    if (action.paths.Count() == 0) return action;
  }
  if (backupRunning) {
    action.kind = HandOverAction::Kind::TellBackupRunning;
    action.paths.Clear();
  } else if (run) {
    action.kind = HandOverAction::Kind::RunBackup;
    action.backupName = lines[1];
  } else {
    action.kind = HandOverAction::Kind::AddPaths;
  }
  return action;
}

}  // namespace app
