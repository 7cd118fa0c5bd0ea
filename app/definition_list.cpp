#include "app/definition_list.h"

#include <exception>

#include "app/backup_definition.h"
#include "app/definition_name.h"
#include "app/file_state_list.h"
#include "app/program_settings.h"
#include "app/schedule.h"
#include "classlib/registry.h"
#include "zip/fs.h"

namespace app {

const char kDeleteQuestion[] = "Ausgewählte(s) Backup(s) löschen?";
const char kDeleteWhileBusyText[] =
    "Während ein Backup geprüft oder durchgeführt wird, können keine Backups gelöscht werden. Bitte versuchen "
    "Sie es danach noch einmal.";

namespace {

// The stored text, or empty when the value is missing or not text.
std::string StoredText(const classlib::TRegistry& reg, const std::string& value) {
  try {
    return reg.ValueExists(value) ? reg.ReadString(value) : std::string();
  } catch (const std::exception&) {
    return {};
  }
}

std::string OrNotAvailable(const std::string& text) { return text.empty() ? std::string(kNoSchedule) : text; }

}  // namespace

void DefinitionList::SetActive(const std::vector<std::string>& names, bool active) {
  for (const std::string& name : names) jobs_.SetNextRun(name, active ? SetMinutesText(name) : kDeactivated);
}

void DefinitionList::ActivateAll() {
  for (const std::string& name : jobs_.Names())
    if (jobs_.NextRun(name) == kDeactivated) jobs_.SetNextRun(name, SetMinutesText(name));
}

void DefinitionList::DeactivateAll() {
  for (const std::string& name : jobs_.Names()) jobs_.SetNextRun(name, kDeactivated);
}

bool DefinitionList::CanEdit(const std::string& name) const { return jobs_.NextRun(name) != kChecking; }

std::string DefinitionList::DeleteRefusal(const std::vector<std::string>& names, bool busy) const {
  bool inUse = busy;
  for (const std::string& name : names) {
    const std::string text = jobs_.NextRun(name);
    inUse = inUse || text == kRunning || text == kChecking;
  }
  return inUse ? kDeleteWhileBusyText : std::string();
}

std::vector<std::string> DefinitionList::Delete(const std::vector<std::string>& names) {
  std::vector<std::string> kept;
  for (auto it = names.rbegin(); it != names.rend(); ++it) {
    const std::string& name = *it;
    // A key that is gone already counts as deleted.
    if (!DeleteBackupDefinition(name) && BackupDefinitionExists(name)) {
      kept.insert(kept.begin(), name);
      continue;
    }
    // A name that breaks the rule has no state file: its file name may lie outside "Logs\".
    const std::string stateFile = DefinitionNameProblem(name).empty() ? StateFileName(name) : std::string();
    if (!stateFile.empty() && zip::fs::FileExists(stateFile)) zip::fs::Delete(stateFile);
    jobs_.Remove(name);
  }
  return kept;
}

DefinitionInfo DefinitionList::Information(const std::string& name) {
  DefinitionInfo info;
  info.Name = name;
  classlib::TRegistry reg;
  const bool stored = !name.empty() && name.find('\\') == std::string::npos &&
                      reg.OpenKeyReadOnly(std::string(kBackupsKey) + "\\" + name);
  const auto text = [&](const char* value) { return stored ? StoredText(reg, value) : std::string(); };
  const std::string defined = text("Definition");
  info.Definition = defined.empty() ? "Zu dieser Backup-Definition wurde kein Erstellungsdatum gespeichert."
                                    : "Dieses Backup wurde am " + defined + " definiert.";
  info.Last = OrNotAvailable(text("LastBackup"));
  info.Size = OrNotAvailable(text("BackupSize"));
  info.Files = OrNotAvailable(text("BackupFiles"));
  return info;
}

}  // namespace app
