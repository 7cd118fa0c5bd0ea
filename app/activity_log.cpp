#include "app/activity_log.h"

#include <windows.h>

#include <initializer_list>

#include "app/file_helpers.h"
#include "app/program_paths.h"
#include "classlib/clock.h"
#include "classlib/date_format.h"
#include "classlib/wide.h"
#include "zip/message_pump.h"
#include "zip/path_strings.h"

namespace app {
namespace {

const char kTime[] = "Uhrzeit:      ";
const char kAction[] = "Aktion:       ";
const char kType[] = "Typ:          ";
const char kName[] = "Name:         ";
const char kKind[] = "Art:          ";
const char kEndedAt[] = "Beendet um:   ";
const char kReason[] = "Grund:        ";
const char kError[] = "Fehler:       ";
const std::string kDoubleLine(73, '=');
const std::string kDashLine(73, '-');

// Lines kept while the file cannot be written, so a short lock loses nothing; bounded, so a log
// that never opens again cannot fill the memory.
constexpr std::size_t kMaxPendingBytes = 64 * 1024;

bool& Enabled() {
  static bool enabled = true;
  return enabled;
}

std::string& Pending() {
  static std::string bytes;
  return bytes;
}

void Flush(std::string& pending) {
  const HANDLE h = CreateFileW(classlib::Widen(ExtendedLengthPath(LogFile())).c_str(), FILE_APPEND_DATA,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  while (!pending.empty()) {
    DWORD written = 0;
    const DWORD want = static_cast<DWORD>(pending.size());
    if (!WriteFile(h, pending.data(), want, &written, nullptr) || written == 0) break;
    pending.erase(0, written);
  }
  CloseHandle(h);
}

void WriteBlock(std::initializer_list<std::string> lines) {
  try {
    std::string& pending = Pending();
    if (Enabled()) {
      for (const std::string& line : lines) pending += classlib::ToCodePage(line, CP_ACP) + "\r\n";
      Flush(pending);
      if (pending.size() > kMaxPendingBytes) pending.clear();
    } else {
      pending.clear();
    }
  } catch (...) {
    // A log line is never worth a backup.
  }
  try {
    zip::ProcessMessages();
  } catch (...) {
  }
}

std::string NowText() { return classlib::DateTimeToStr(classlib::Now()); }

}  // namespace

std::string LogFile() { return zip::ChangeFileExt(ProgramFile(), ".log"); }

void SetLoggingEnabled(bool enabled) { Enabled() = enabled; }
bool LoggingEnabled() { return Enabled(); }

void WriteLogInfo(const std::string& line) { WriteBlock({line}); }

void LogProgramStart() {
  WriteBlock({kDoubleLine, kTime + NowText(), std::string(kAction) + "Orvanta gestartet", kDashLine});
}

void LogProgramEndByUser() {
  WriteBlock({kTime + NowText(), std::string(kAction) + "Orvanta beendet", std::string(kKind) + "Terminierung durch Anwender",
              kDoubleLine});
}

void LogProgramEndBySession() {
  WriteBlock({kTime + NowText(), std::string(kAction) + "Orvanta beendet", std::string(kKind) + "System-ShutDown",
              kDoubleLine});
}

void LogInstantBackupStart(const std::string& jobName) {
  WriteBlock({kTime + NowText(), std::string(kType) + "Instant Backup", kName + jobName,
              std::string(kKind) + "Start der Durchführung"});
}

void LogSingleBackupStart() {
  WriteBlock({kTime + NowText(), std::string(kType) + "Single Backup", std::string(kKind) + "Start der Durchführung"});
}

void LogRunEnd(RunEnd reason) {
  const char* text = reason == RunEnd::Completed   ? "Ende der Durchführung"
                     : reason == RunEnd::Cancelled ? "Abbruch der Durchführung"
                                                   : "Fehler bei Durchführung";
  WriteBlock({kEndedAt + NowText(), kReason + std::string(text), kDashLine});
}

void LogSkippedFile(const std::string& fileName) { LogError(fileName + " konnte nicht gesichert werden."); }

void LogError(const std::string& text) { WriteBlock({kError + text}); }

}  // namespace app
