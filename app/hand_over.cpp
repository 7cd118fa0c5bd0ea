#include "app/hand_over.h"

#include "app/definition_name.h"

namespace app {

const char kNoAnswerText[] =
    "Orvanta läuft bereits, antwortet aber nicht.\r\r"
    "Der Auftrag konnte nicht übergeben werden. Bitte versuchen Sie es in einigen Sekunden erneut.";

std::string NoSuchDefinitionText(const std::string& name) {
  return RunFailureText(name, "Es gibt keine Backup-Definition mit dieser Bezeichnung.");
}

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

HandOverAction DecideHandOver(const classlib::TStringList& lines) {
  HandOverAction action;
  if (lines.Count() > 0 && lines[0] == kStartSwitch) {
    if (lines.Count() < 2 || !IsBackupName(lines[1])) return action;
    action.kind = HandOverAction::Kind::RunBackup;
    action.backupName = lines[1];
    return action;
  }
  for (const std::string& line : lines) {
    if (!line.empty()) action.paths.Add(line);
  }
  if (action.paths.Count() > 0) action.kind = HandOverAction::Kind::AddPaths;
  return action;
}

void HandOverQueue::Drain() {
  if (draining_) return;
  draining_ = true;
  try {
    while (!waiting_.empty() && !busy_()) {
      const classlib::TStringList lines = waiting_.front();
      waiting_.pop_front();
      carryOut_(lines);
    }
  } catch (...) {
    draining_ = false;
    throw;
  }
  draining_ = false;
}

}  // namespace app
