// What the program's tests share: names no other copy uses, definitions to run, and the log's
// blocks as the program writes them.
#pragma once

#include <windows.h>

#include <string>

#include "classlib/wide.h"
#include "tests/app/folder_job.h"

namespace program_testing {

// A name of this process that no earlier call gave.
inline std::string Unique(const std::string& prefix) {
  static int counter = 0;
  return prefix + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
}

using app_testing::FolderJob;
using app_testing::RandomBytes;

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
// A run refused before it began, with reason as the program has it (UTF-8).
inline std::string RefusedRunLines(const std::string& time, const std::string& job, const std::string& reason) {
  return RunStartLines(time, job) + "Fehler:       " + classlib::ToCodePage(reason, CP_ACP) + "\r\n" +
         RunEndLines(time, "Abbruch der Durchf\xFChrung");
}

}  // namespace program_testing
