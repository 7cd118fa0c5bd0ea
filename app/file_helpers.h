// Small file and number helpers that the log, the run and the windows share.
#pragma once

#include <cstdint>
#include <string>

namespace app {

// The program's folder + "Logs\" + name; creates the folder (and missing parents) when needed.
std::string LogFileName(const std::string& name);

// "." before every group of three digits from the right: "1234567" gives "1.234.567".
std::string SetThousand(const std::string& digits);

// Bytes of the first file (not folder) that matches path, a plain path or a wildcard pattern; -1
// when none does.
std::int64_t GetFileSize64(const std::string& path);
// The same in whole KB, rounded down but at least 1 for an existing file; -1 when none matches.
double GetFileSizeKB(const std::string& path);

// True when a file can be created (and is deleted again) in folder; the read-only attribute of a
// folder says nothing about that.
bool FolderIsWritable(const std::string& folder);

// The form the wide API takes for paths of any length: "\\?\" before a long absolute path
// ("\\?\UNC\" for a network path). Short and relative paths stay as they are.
std::string ExtendedLengthPath(const std::string& path);

// A path's form for comparing as Windows compares file names: upper-cased as the file system does,
// so two paths name the same file when their keys are equal.
std::wstring PathKey(const std::string& path);

}  // namespace app
