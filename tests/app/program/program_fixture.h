// What the program's tests share: names no other copy uses, a definition to run, and the log's
// blocks as the program writes them.
#pragma once

#include <windows.h>

#include <string>

#include "app/backup_definition.h"

namespace program_testing {

// A name of this process that no earlier call gave.
inline std::string Unique(const std::string& prefix) {
  static int counter = 0;
  return prefix + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
}

// A full backup of a folder with its subfolders into target, one generation, every 60 minutes,
// no confirmation.
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

inline const std::string kDoubleLine(73, '=');
inline const std::string kDashLine(73, '-');

// The log's lines at time (as the log writes it: "05.03.2024 14:22").
inline std::string StartBlock(const std::string& time) {
  return kDoubleLine + "\r\nUhrzeit:      " + time + "\r\nAktion:       Orvanta gestartet\r\n" + kDashLine + "\r\n";
}
inline std::string EndBlock(const std::string& time, const std::string& kind) {
  return "Uhrzeit:      " + time + "\r\nAktion:       Orvanta beendet\r\nArt:          " + kind + "\r\n" + kDoubleLine +
         "\r\n";
}
inline std::string RunStartLines(const std::string& time, const std::string& job) {
  return "Uhrzeit:      " + time + "\r\nTyp:          Instant Backup\r\nName:         " + job +
         "\r\nArt:          Start der Durchf\xFChrung\r\n";
}
// reason as the log has it (ANSI).
inline std::string RunEndLines(const std::string& time, const std::string& reason) {
  return "Beendet um:   " + time + "\r\nGrund:        " + reason + "\r\n" + kDashLine + "\r\n";
}

}  // namespace program_testing
