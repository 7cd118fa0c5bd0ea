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

// A text keeps to its one line: each run of control characters (line breaks above all) becomes
// one blank.
std::string OneLine(const std::string& text) {
  std::string line;
  for (char c : text) {
    const bool control = static_cast<unsigned char>(c) < 0x20;
    if (!control) line += c;
    else if (line.empty() || line.back() != ' ') line += ' ';
  }
  return line;
}

// A job's name may come from another program's command line: at most this many characters of it
// are written, so one bad name cannot swell the log.
constexpr std::size_t kLoggedNameLength = 100;

std::string LoggedName(const std::string& jobName) {
  const std::string name = OneLine(jobName);
  const std::wstring wide = classlib::Widen(name);
  if (wide.size() <= kLoggedNameLength) return name;
  // Never half a character that takes two UTF-16 units.
  const std::size_t cut = IS_LOW_SURROGATE(wide[kLoggedNameLength]) ? kLoggedNameLength - 1 : kLoggedNameLength;
  return classlib::Narrow(wide.substr(0, cut)) + "...";
}

Lines InstantBackupStartLines(const std::string& jobName) {
  return {kTime + NowText(), kType + "Instant Backup", kName + LoggedName(jobName), kKind + "Start der Durchführung"};
}

Lines RunEndLines(RunEnd reason) {
  const char* text = reason == RunEnd::Completed   ? "Ende der Durchführung"
                     : reason == RunEnd::Cancelled ? "Abbruch der Durchführung"
                                                   : "Fehler bei Durchführung";
  return {kEndedAt + NowText(), kReason + text, kDashLine};
}

std::string ErrorLine(const std::string& text) { return OneLine(kError + text); }

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
  WriteBlock([&] { return InstantBackupStartLines(jobName); });
}

void LogSingleBackupStart() {
  WriteBlock([] { return Lines{kTime + NowText(), kType + "Single Backup", kKind + "Start der Durchführung"}; });
}

void LogRunEnd(RunEnd reason) {
  WriteBlock([&] { return RunEndLines(reason); });
}

void LogRefusedRun(const std::string& jobName, const std::string& reason) {
  WriteBlock([&] {
    Lines lines = InstantBackupStartLines(jobName);
    lines.push_back(ErrorLine(reason));
    for (const std::string& line : RunEndLines(RunEnd::Cancelled)) lines.push_back(line);
    return lines;
  });
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
  WriteBlock([&] { return Lines{ErrorLine(text)}; });
}

}  // namespace app
