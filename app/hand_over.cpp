#include "app/hand_over.h"

#include "app/backup_definition.h"
#include "app/definition_name.h"

namespace app {

const char kNoAnswerText[] =
    "Orvanta läuft bereits, antwortet aber nicht.\r\r"
    "Der Auftrag konnte nicht übergeben werden. Bitte versuchen Sie es in einigen Sekunden erneut.";

const char kNoSuchDefinitionReason[] = "Es gibt keine Backup-Definition mit dieser Bezeichnung.";

std::string RunRefusal(const std::string& name) {
  const std::string problem = DefinitionNameProblem(name);
  if (!problem.empty()) return problem;
  // Deleted or renamed while its hand-over waited, or never there.
  return BackupDefinitionExists(name) ? std::string() : kNoSuchDefinitionReason;
}

classlib::TStringList HandOverLines(const std::string& commandLine) {
  classlib::TStringList lines;
  if (HasStartSwitch(commandLine)) {
    const std::string name = StartSwitchName(commandLine);
    if (!name.empty()) lines = {kStartSwitch, name};
  } else {
    GetFileNamesFromCommandLine(lines, commandLine);
  }
  return lines;
}

HandOverAction DecideHandOver(const classlib::TStringList& lines) {
  HandOverAction action;
  if (lines.Count() > 0 && lines[0] == kStartSwitch) {
    // The hand-over splits a name with line breaks into lines; whole, the name rule refuses it.
    for (int i = 1; i < lines.Count(); ++i) action.backupName += (i > 1 ? "\r\n" : "") + lines[i];
    if (!action.backupName.empty()) action.kind = HandOverAction::Kind::RunBackup;
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
