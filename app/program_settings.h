// The program settings: named values of the program key, each written as soon as the user changes
// it and read once at start-up.
#pragma once

#include <string>

namespace app {

extern const char kProgramKey[];  // "\Software\Norvex\Orvanta"
extern const char kBackupsKey[];  // "\Software\Norvex\Orvanta\Backups"

namespace setting {
constexpr char kMinimized[] = "Minimized";
constexpr char kPreventErrors[] = "PreventErrors";
constexpr char kAnimatedIcon[] = "AnimatedIcon";
constexpr char kAutoUpdate[] = "AutoUpdate";
constexpr char kLogfile[] = "Logfile";
constexpr char kTemp[] = "Temp";
constexpr char kCompressRatio[] = "CompressRatio";
constexpr char kExpertMode[] = "ExpertMode";
}  // namespace setting

struct ProgramSettings {
  bool Minimized = false;
  bool PreventErrors = true;
  bool AnimatedIcon = true;
  bool AutoUpdate = false;
  bool Logfile = true;
  std::string Temp;  // with a trailing "\"
  int CompressRatio = 6;
  bool ExpertMode = false;
};

// Missing values take their defaults; the temporary folder defaults to the user's %TEMP%.
ProgramSettings ReadProgramSettings();
// %TEMP% as ExpandedFolderText gives it, in its long form, with a trailing "\".
std::string DefaultTempFolder();
// A folder text with its environment variables expanded (left as they are when that fails) and
// blanks and control characters at both ends removed.
std::string ExpandedFolderText(const std::string& text);

void WriteBoolSetting(const char* name, bool value);
void WriteIntegerSetting(const char* name, int value);
void WriteStringSetting(const char* name, const std::string& value);

}  // namespace app
