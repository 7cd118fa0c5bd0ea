// The one rule for a definition's name, wherever the name comes from: the wizard, a registry file
// imported by hand, a shortcut's "/start" or a second start's hand-over. The name becomes a
// registry key, the archive's and the state file's file name and a shortcut's name, so it must be
// a plain file name that stays inside its folder and names no device.
#pragma once

#include <string>

namespace app {

constexpr int kDefinitionNameLength = 30;

// The characters a name may have: digits, A-Z, a-z, "-", blank, "." and "_"; and backspace, for
// the wizard's name field, which discards the others as they are typed.
bool IsDefinitionNameKey(wchar_t key);
// Why name cannot name a definition, as a sentence for the user; empty when it can.
std::string DefinitionNameProblem(const std::string& name);

// The message of a run that could not be carried out:
// "Die Sicherung "<name>" konnte nicht durchgeführt werden:" and the reason.
std::string RunFailureText(const std::string& name, const std::string& reason);

}  // namespace app
