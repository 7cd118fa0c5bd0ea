// What a start of the program was given: "/start" and a definition's name runs that backup; any
// other arguments name files and folders for the single-backup list. Every function takes the raw
// command line (UTF-8), so tests give their own; the program passes ProgramCommandLine().
#pragma once

#include <string>
#include <vector>

#include "classlib/stringlist.h"

// <windows.h> maps this name to its wide function; ours must keep its name.
#ifdef GetLongPathName
#undef GetLongPathName
#endif

namespace app {

extern const char kStartSwitch[];  // "/start"

// The process's command line as the system gave it.
std::string ProgramCommandLine();

// The arguments as the platform splits them (quotes group, the program's name first).
std::vector<std::string> CommandLineArguments(const std::string& commandLine);

// The first argument is exactly "/start" (letters as written).
bool HasStartSwitch(const std::string& commandLine);
// The definition's name after "/start": the raw rest of the command line behind "/start" and the
// one blank after it, blanks inside kept; one pair of quotes around all of it is removed, as a
// shell adds them to a name with blanks. Empty when there is none.
std::string StartSwitchName(const std::string& commandLine);

// The full long paths of the existing files and folders named by the arguments, in their order.
// Arguments are joined again at blanks while they form a full path that names nothing yet; other
// fragments, and names with wildcards, are dropped.
void GetFileNamesFromCommandLine(classlib::TStringList& list, const std::string& commandLine = ProgramCommandLine());

// The full form of path with each component as the file system stores it (long name, stored case).
// From the first component that cannot be found on, the rest stays as given, short forms too;
// a component with a wildcard is never looked up. Drive, network and overlong paths alike.
std::string GetLongPathName(const std::string& path);

}  // namespace app
