#include "app/backup_limits.h"

#include "app/file_helpers.h"

namespace app {

std::string TooManyFilesProblem(int count) {
  if (count <= kMaxBackupFiles) return {};
  return "Die Sicherung umfasst " + SetThousand(std::to_string(count)) + " Dateien; ein Backup kann höchstens " +
         SetThousand(std::to_string(kMaxBackupFiles)) + " Dateien aufnehmen.";
}

}  // namespace app
