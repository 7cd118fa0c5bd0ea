// What the pack asks of the system: colour depth, the platform, the user, the program's and the
// system's folders, and rectangle arithmetic. Strings are UTF-8; folders come back without a
// trailing backslash unless a function says otherwise.
#pragma once

#include <windows.h>

#include <string>

namespace controls {

enum class TVisPathPrefix { ppWindows, ppSystem, ppProgram, ppFixed };

// True on the NT family; set by the library's start-up.
extern bool IsWinNT;
void DetectPlatform();

// Bits per pixel of the display (planes x bits).
int ColorDepth();
// The logged-on user's name, or "(Unbekannt)".
std::string CurrentUserName();
// The program file's full path, and its folder ending in "\".
std::string ProgramFileName();
std::string AppPath();
std::string SystemDirectory();
std::string WindowsDirectory();
// The prefix's folder with (Slash) or without a trailing "\"; ppFixed gives "".
std::string CreatePathPrefix(TVisPathPrefix Prefix, bool Slash);

void RectSize(const RECT& Rect, int& W, int& H);
// Source's size scaled to fit Target, keeping its proportions, at Target's top left. An empty
// Source gives an empty rectangle there.
void FitRect(const RECT& Source, const RECT& Target, RECT& Result);

}  // namespace controls
