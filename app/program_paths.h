// Where the program file lives: the log, the state files and the exported settings sit beside it.
#pragma once

#include <string>

namespace app {

// The running program's full path, unless a test set another.
std::string ProgramFile();
// Its folder, with a trailing "\".
std::string ProgramFolder();

// Tests place the program in a scratch folder; empty returns to the real file.
void SetProgramFileForTesting(const std::string& path);

}  // namespace app
