// What the Instant Backup page does with the definitions, apart from its window: switching them
// off and on in the list, deleting them with their state files, and the stored results the
// information panel shows.
#pragma once

#include <string>
#include <vector>

#include "app/job_list.h"

namespace app {

extern const char kDeleteQuestion[];     // "Ausgewählte(s) Backup(s) löschen?"
extern const char kDeleteWhileBusyText[];

// The texts of the information panel.
struct DefinitionInfo {
  std::string Name;
  std::string Definition;  // the sentence on when it was defined
  std::string Last, Size, Files;  // the last run's results, or "n/a"
};

class DefinitionList {
 public:
  explicit DefinitionList(JobList& jobs) : jobs_(jobs) {}

  // "Aktiv": switched on, a job gets its column recomputed; switched off, "Deaktiviert".
  void SetActive(const std::vector<std::string>& names, bool active);
  // Every switched-off job gets its column recomputed; the others stay.
  void ActivateAll();
  // Every job is switched off, whatever its column showed; a running backup goes on.
  void DeactivateAll();

  // The edit waits while the job's files are being tested.
  bool CanEdit(const std::string& name) const;
  // Why names cannot be deleted now, empty when they can: nothing is deleted while a backup runs
  // or a job is being tested (busy: the scheduler has a run or a tick on its way).
  std::string DeleteRefusal(const std::vector<std::string>& names, bool busy) const;
  // Deletes each job's key with its subkeys and its state file (none for a name that breaks the
  // name rule), from the last to the first, and takes it from the list. Returns the names whose
  // key could not be deleted; they stay listed.
  std::vector<std::string> Delete(const std::vector<std::string>& names);

  // The panel's texts for the stored job name; a value that is not stored (or not text) reads "n/a".
  static DefinitionInfo Information(const std::string& name);

 private:
  JobList& jobs_;
};

}  // namespace app
