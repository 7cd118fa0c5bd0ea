// Turns the source of a backup definition (listed files, one base folder, or a list of folders,
// with the type filter) into the flat list of files to back up. The run and the scheduler's test
// for changes both collect through here, so they see the same files.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/backup_definition.h"
#include "classlib/stringlist.h"

namespace app {

// types is the user's list such as "*.bmp;*.exe;*.doc": a file's extension (from its last ".",
// the dot included) matches when, lower-cased and followed by ";", it occurs in the lower-cased
// list followed by ";". OnlyTypes takes files with a matching extension; AllButTypes takes files
// without a match, and always those without an extension.
bool PassesTypeFilter(const std::string& fileName, const std::string& types, FileTypeFilter filter);

// Appends folder + name for every file of folder that passes the type filter and is not larger
// than sizeLimitKB (0: no limit); with recurse then does the same below each subfolder in turn, so
// a folder's own files come before those of its subfolders. Folders that are links (junctions,
// symbolic links) are followed once the tree without them is collected, and only to a folder not
// collected yet, as is every folder below a link, so neither a link back into the tree nor two
// links to a folder and to one inside it collect a file twice, and the walk ends.
// False, collecting nothing, when folder is empty, not a full path, or does not exist: it never
// means the current directory.
bool CollectFolderFiles(const std::string& folder, const std::string& types, FileTypeFilter filter,
                        classlib::TStringList& list, std::int64_t sizeLimitKB, bool recurse);

// The number of files below folder, in all its subfolders: the files VisitFilesBelow visits.
int CountFiles(const std::string& folder);

// Calls visit(folder, name) for every file below folder (a full path), the folder's own files
// first, then each subfolder's, depth first; messages are pumped after every entry. Folders that
// are links (junctions, symbolic links) are not entered: they may lead in a circle or onto other
// drives. visit returns false to stop the walk.
void VisitFilesBelow(const std::string& folder,
                     const std::function<bool(const std::string& folder, const std::string& name)>& visit);

// The files of a list made by hand, each file once: a path given again (in any case) where it
// first came, a file given also by a path through a link (junction, symbolic link) by the path
// without it.
classlib::TStringList EachFileOnce(const classlib::TStringList& files);

// The definition's maximum file size in KB ("200 MB" gives 204800); 0 when switched off or
// unreadable.
std::int64_t SizeLimitKB(const BackupDefinition& def);

// A collected file as the search of its folder found it, so that nothing after the collection
// needs to ask the file system for it again.
struct CollectedFile {
  std::int64_t Size = 0;
  std::uint32_t Attributes = 0;
  std::uint32_t DosTime = 0;  // the last write as a DOS date-time; 0 when it has none
};

struct CollectedFiles {
  classlib::TStringList Files;        // existing files, in collection order
  std::vector<CollectedFile> Found;   // what was found of each of Files, by the same index
  std::vector<std::string> Problems;  // one sentence per folder that gave nothing because it is unusable
  bool DestinationLeftOut = false;    // the destination lay in a collected folder and was left out
};

// For Files the listed files that exist, each file once as EachFileOnce says; for Folders the
// base folder with its type filter and recursion; for Extended each listed folder with its own
// recursion, each file once however the folders nest or links lead from one into another, a
// listed folder by the name it is listed by. The folder destination (when given), where the
// backups go, and everything below it are left out, so a backup never holds backups.
CollectedFiles CollectDefinitionFiles(const BackupDefinition& def, const std::string& destination = {});

}  // namespace app
