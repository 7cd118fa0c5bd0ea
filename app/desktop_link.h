// Desktop shortcuts that start one backup definition: the program file with "/start " and the
// definition's name, written as shell links into the user's desktop folder.
#pragma once

#include <functional>
#include <string>

namespace app {

// Writes a shell link at LinkFile, overwriting one of that name. WorkingFolder is given with its
// trailing "\" (a second one is dropped); the icon is IconFile's first. False when the link object
// could not be made or set, or the file not saved.
bool CreateLink(const std::string& Target, const std::string& Arguments, const std::string& IconFile,
                const std::string& WorkingFolder, const std::string& Description, const std::string& LinkFile);

// The user's desktop folder without a trailing "\": as the shell knows it, else (where the shell
// cannot tell) the "Desktop" value of the current user's "Shell Folders" key; empty when neither
// names one, so no link lands in the root folder.
std::string DesktopFolder();
// Tests answer for the shell: the function returns the known desktop folder, empty when the shell
// cannot tell. Null returns to the shell.
void SetKnownDesktopFolderForTesting(std::function<std::string()> knownFolder);

struct DesktopShortcut {
  std::string Target, Arguments, IconFile, WorkingFolder, Description, LinkFile;
};
// The shortcut of the definition name in the folder desktop: this program started with its name.
DesktopShortcut ShortcutFor(const std::string& name, const std::string& desktop);
bool CreateLink(const DesktopShortcut& link);

}  // namespace app
