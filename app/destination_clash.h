// Several definitions may write into one folder, but none may touch a backup of another. A run
// creates, renames and deletes its archive, its partial archive, their generations and parts, and
// the names it writes aside; when one of these is the name of an archive of another definition
// that writes into the same folder, the two would destroy each other's backups ("Daten" with three
// generations rotates "Daten1.zip", the backup of "Daten1"). Two time-named definitions never
// clash: such an archive takes a free name instead of replacing a file.
#pragma once

#include <optional>
#include <string>

#include "app/backup_definition.h"

namespace app {

struct DestinationClash {
  std::string Other;  // the other definition's name
  std::string File;   // a file name both would use
};

// The first stored definition, other than def and the one being edited (editedName, empty for
// none), that writes into folder unattended without burning and one of whose archive names def's
// runs would create, rename or delete there. A definition that cannot be read is passed over: its
// run fails before it writes.
std::optional<DestinationClash> FindDestinationClash(const BackupDefinition& def, const std::string& folder,
                                                     const std::string& editedName = {});

// The run's reason to fail ("Fehler:" line and message), and the wizard's refusal.
std::string RunClashText(const DestinationClash& clash, const std::string& folder);
std::string WizardClashText(const DestinationClash& clash);

// Whether a and b name the same folder as Windows sees it: "." and "..", "/" for "\", short
// names and letter case do not count.
bool SameFolder(const std::string& a, const std::string& b);

}  // namespace app
