#include "app/activity_log.h"

#include <windows.h>

#include <vector>

#include "app/file_helpers.h"
#include "app/program_paths.h"
#include "classlib/clock.h"
#include "classlib/date_format.h"
#include "classlib/forms.h"
#include "classlib/wide.h"
#include "zip/path_strings.h"

namespace app {
namespace {

const std::string kTime = "Uhrzeit:      ";
const std::string kAction = "Aktion:       ";
const std::string kType = "Typ:          ";
const std::string kName = "Name:         ";
const std::string kKind = "Art:          ";
const std::string kEndedAt = "Beendet um:   ";
const std::string kReason = "Grund:        ";
const std::string kError = "Fehler:       ";
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
  const std::wstring file = classlib::Widen(ExtendedLengthPath(LogFile()));
  const HANDLE h = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  while (!pending.empty()) {
    DWORD written = 0;
    const DWORD want = static_cast<DWORD>(pending.size());
    if (!WriteFile(h, pending.data(), want, &written, nullptr) || written == 0) break;
    pending.erase(0, written);
  }
  CloseHandle(h);
}

using Lines = std::vector<std::string>;

// The lines are made inside, so not even the time text can throw to the caller.
template <typename MakeLines>
void WriteBlock(MakeLines makeLines) {
  try {
    std::string& pending = Pending();
    if (Enabled()) {
      for (const std::string& line : makeLines()) pending += classlib::ToCodePage(line, CP_ACP) + "\r\n";
      Flush(pending);
      if (pending.size() > kMaxPendingBytes) pending.clear();
    } else {
      pending.clear();
    }
  } catch (...) {
    // A log line is never worth a backup.
  }
  try {
    classlib::Application().ProcessMessages();
  } catch (...) {
  }
}

std::string NowText() { return classlib::DateTimeToStr(classlib::Now()); }

}  // namespace

std::string LogFile() { return zip::ChangeFileExt(ProgramFile(), ".log"); }

void SetLoggingEnabled(bool enabled) { Enabled() = enabled; }
bool LoggingEnabled() { return Enabled(); }

void WriteLogInfo(const std::string& line) { WriteBlock([&] { return Lines{line}; }); }

void LogProgramStart() {
  WriteBlock([] { return Lines{kDoubleLine, kTime + NowText(), kAction + "Orvanta gestartet", kDashLine}; });
}

void LogProgramEndByUser() {
  WriteBlock([] {
    return Lines{kTime + NowText(), kAction + "Orvanta beendet", kKind + "Terminierung durch Anwender", kDoubleLine};
  });
}

void LogProgramEndBySession() {
  WriteBlock(
      [] { return Lines{kTime + NowText(), kAction + "Orvanta beendet", kKind + "System-ShutDown", kDoubleLine}; });
}

void LogInstantBackupStart(const std::string& jobName) {
  WriteBlock([&] {
    return Lines{kTime + NowText(), kType + "Instant Backup", kName + jobName, kKind + "Start der Durchführung"};
  });
}

void LogSingleBackupStart() {
  WriteBlock([] { return Lines{kTime + NowText(), kType + "Single Backup", kKind + "Start der Durchführung"}; });
}

void LogRunEnd(RunEnd reason) {
  const char* text = reason == RunEnd::Completed   ? "Ende der Durchführung"
                     : reason == RunEnd::Cancelled ? "Abbruch der Durchführung"
                                                   : "Fehler bei Durchführung";
  WriteBlock([&] { return Lines{kEndedAt + NowText(), kReason + text, kDashLine}; });
}

void LogSkippedFile(const std::string& fileName) {
  WriteBlock([&] { return Lines{kError + fileName + " konnte nicht gesichert werden."}; });
}

void LogLeftoverRemoved(const std::string& fileName) {
  WriteBlock([&] { return Lines{kAction + fileName + " einer unterbrochenen Sicherung entfernt."}; });
}

void LogArchiveNameTaken(const std::string& taken, const std::string& used) {
  WriteBlock([&] { return Lines{kAction + "Das Backup heißt " + used + ", da es " + taken + " schon gibt."}; });
}

void LogDroppedFileRestored(const std::string& fileName) {
  WriteBlock([&] { return Lines{kAction + fileName + " einer unterbrochenen Sicherung wiederhergestellt."}; });
}

void LogDestinationLeftOut(const std::string& folder) {
  WriteBlock([&] { return Lines{kAction + folder + " ist das Ziel der Sicherung und wird nicht mitgesichert."}; });
}

void LogUnburnedFilesKept(const std::string& folder) {
  WriteBlock([&] { return Lines{kAction + "Die nicht gebrannten Dateien bleiben in " + folder + "."}; });
}

void LogError(const std::string& text) {
  WriteBlock([&] {
    // A message box's text keeps to its one line: each line break becomes a space.
    std::string line = kError;
    for (std::size_t at = 0; at < text.size(); ++at) {
      const bool lineBreak = text[at] == '\r' || text[at] == '\n';
      if (!lineBreak) line += text[at];
      else if (line.back() != ' ') line += ' ';
    }
    return Lines{line};
  });
}

}  // namespace app
