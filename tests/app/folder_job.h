// A backup definition as the tests of runs use it, and bytes to back up.
#pragma once

#include <cstddef>
#include <string>

#include "app/backup_definition.h"

namespace app_testing {

// A full backup of a folder with its subfolders into target (with its trailing "\"), one
// generation, every 60 minutes, no confirmation.
inline app::BackupDefinition FolderJob(const std::string& name, const std::string& source, const std::string& target) {
  app::BackupDefinition def;
  def.Title = name;
  def.Option = app::BackupOption::Folders;
  def.Folder = source;
  def.Subfolders = true;
  def.Create = target;
  def.Instances = 1;
  def.FullBackup = true;
  def.IntEnabled = true;
  def.Intervall = 60;
  return def;
}

// Bytes that deflate cannot shrink, so their archive takes as many bytes as they do; the same for
// the same seed.
inline std::string RandomBytes(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned state = seed * 2654435761u + 12345;
  for (char& b : bytes) {
    state = state * 1103515245 + 12345;
    b = static_cast<char>(state >> 16);
  }
  return bytes;
}

}  // namespace app_testing
