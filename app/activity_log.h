// The activity log: a text file beside the program ("orvapp.exe" logs to "orvapp.log") that
// records starts and ends of the program and of every backup. Lines are ANSI text ended by CR LF,
// labels 14 characters wide; each block of the log has its own function, so no caller builds log
// lines by hand. Writing the log never throws and never stops a backup: a line that cannot be
// written waits for the next write.
#pragma once

#include <string>

namespace app {

// The program file with ".log" in place of its extension.
std::string LogFile();

// Follows the setting "Logfile erstellen"; off, nothing is written and no file is created.
void SetLoggingEnabled(bool enabled);
bool LoggingEnabled();

// Appends one line (UTF-8; characters the ANSI code page lacks become "?") when logging is on,
// then lets the windows run.
void WriteLogInfo(const std::string& line);

enum class RunEnd { Completed, Cancelled, Failed };

void LogProgramStart();
void LogProgramEndByUser();
void LogProgramEndBySession();
// The job's name on one line and cut after 100 characters, wherever it came from.
void LogInstantBackupStart(const std::string& jobName);
void LogSingleBackupStart();
// "Beendet um:", the reason, and the dashed line that closes the run's block.
void LogRunEnd(RunEnd reason);
// A job's run refused before it began, as one block: its start, the reason as a "Fehler:" line
// and its end as an abort, as a run that fails before it is under way logs them.
void LogRefusedRun(const std::string& jobName, const std::string& reason);
// A file the zip writer skipped: "<file> konnte nicht gesichert werden."
void LogSkippedFile(const std::string& fileName);
// A file that a run stopped before its end left behind, now deleted:
// "Aktion:       <file> einer unterbrochenen Sicherung entfernt."
void LogLeftoverRemoved(const std::string& fileName);
// A time-named archive that took another name, as another file has its own:
// "Aktion:       Das Backup heißt <used>, da es <taken> schon gibt."
void LogArchiveNameTaken(const std::string& taken, const std::string& used);
// A file of an older backup that a run stopped while placing the new one had moved aside, now
// back under its name: "Aktion:       <file> einer unterbrochenen Sicherung wiederhergestellt."
void LogDroppedFileRestored(const std::string& fileName);
// The run's destination lies in a folder it backs up and is left out of the backup.
void LogDestinationLeftOut(const std::string& folder);
// Where the files of a backup not (or not wholly) burned are kept.
void LogUnburnedFilesKept(const std::string& folder);
// Any other failure within a run, as one "Fehler:" line; line breaks in text become spaces.
void LogError(const std::string& text);

}  // namespace app
