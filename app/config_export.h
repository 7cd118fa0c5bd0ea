// "Konfiguration sichern": the program's registry key with its settings and every definition,
// exported by the registry editor into a .reg file beside the program, which a double click
// imports again on another system.
#pragma once

#include <string>

namespace app {

// The full name of the program's key as the registry editor takes it.
extern const char kConfigurationKey[];  // "HKEY_CURRENT_USER\Software\Norvex\Orvanta"

// The program file with ".reg" in place of its extension.
std::string ConfigurationFile();

// Exports key into target. The registry editor writes a fresh file beside target, which then
// replaces an older export; false (target untouched) when no export came out.
bool ExportConfiguration(const std::string& key, const std::string& target);

// The messages after an export.
std::string ExportedText(const std::string& target);
// Said after the export when stored definitions have names that break the name rule: they are
// exported as they are, but no run carries them out until they are renamed. Empty when none do.
std::string BrokenNamesNote();
std::string ExportFailedText(const std::string& target);

}  // namespace app
