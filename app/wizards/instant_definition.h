// What the definition wizard checks and stores, apart from its window: the rules for the name, the
// time of day and the password, and the save itself, which never loses the definition being edited
// and never lets a new definition start from another one's file dates.
#pragma once

#include <string>

#include "app/backup_definition.h"
#include "app/definition_name.h"
#include "classlib/datetime.h"

namespace app {

constexpr int kPasswordLength = 30;

extern const char kNameClashText[];  // "Es existiert bereits ein Backup mit dieser Bezeichnung!"
// Asks for a folder of the file system to back up.
extern const char kChooseFolderText[];

// Whether name would take the key of a stored definition other than the one being edited
// (editedName, empty for a new one): registry keys ignore letter case, and so does this.
bool NameClashes(const std::string& name, const std::string& editedName);

// Why time ("hh:mm") is no time of day; empty when it is one.
std::string TimeProblem(const std::string& time);
// A warning when the schedule is switched on but no weekday is; empty otherwise.
std::string WeekdayWarning(const BackupDefinition& def);
// Why the password cannot be stored and typed back: at most 30 characters, each of the ANSI code
// page; empty when it can.
std::string PasswordProblem(const std::string& password);
// A folder of the file system, not a virtual node of the shell's tree or nothing.
bool IsRealFolder(const std::string& path);

// Why the values of a page cannot be stored, as a sentence for the user; empty when they can, and
// for pages without rules. The name page's clash test is NameClashes.
std::string PageProblem(const BackupDefinition& def, int page);

// The first problem that refuses a save, in the order of the pages, with the page that shows it;
// a name taken by another definition, or archives that would meet another one's in the same
// folder (FindDestinationClash), refuse it on the name page.
struct SaveProblem {
  int Page = -1;  // -1: none
  std::string Text;
};
SaveProblem CheckDefinition(const BackupDefinition& def, const std::string& editedName);

// Stores def under def.Title, checked beforehand. A new definition is written whole before
// anything else happens, and a half-written one is removed again; an edited one keeps its results
// of the last run and is put back as it was when writing fails; a renamed one is written under
// the new name whole before the old key goes. The state file of a renamed definition follows it,
// replacing whatever had the new name; a state file left by a deleted definition of the new name
// is removed. Raises what the registry raised, with the stored definitions as before. Returns a
// warning for the user when a state file could not be put in place, else empty.
std::string SaveDefinition(const BackupDefinition& def, const std::string& editedName);

}  // namespace app
