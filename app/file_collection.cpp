#include "app/file_collection.h"

#include <windows.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

#include "app/file_helpers.h"
#include "app/file_state_list.h"
#include "app/paced_pump.h"
#include "classlib/format.h"
#include "classlib/text.h"
#include "classlib/wide.h"
#include "zip/fs.h"
#include "zip/path_strings.h"

namespace app {
namespace {

namespace fs = zip::fs;

// Returns false to stop the walk.
using Visit = std::function<bool(const std::string& folder, const fs::FindData& entry)>;

class Listing {
 public:
  explicit Listing(const std::string& folder) : handle_(fs::FindFirst(folder, entry_)) {}
  ~Listing() {
    if (handle_ != fs::kInvalidHandle) fs::FindClose(handle_);
  }
  Listing(const Listing&) = delete;
  Listing& operator=(const Listing&) = delete;

  bool Valid() const { return handle_ != fs::kInvalidHandle; }
  const fs::FindData& Entry() const { return entry_; }
  bool Next() { return fs::FindNext(handle_, entry_); }

 private:
  fs::FindData entry_;
  fs::FindHandle handle_;
};

enum class Links { Follow, Skip };

// A file or folder as the file system knows it, whichever path or link leads to it.
using FileId = std::tuple<DWORD, DWORD, DWORD>;

std::optional<FileId> IdentityOf(const std::string& path) {
  const std::string at = path.size() > 3 && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
  const HANDLE h = CreateFileW(classlib::Widen(ExtendedLengthPath(at)).c_str(), 0,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(h, &info) != FALSE;
  CloseHandle(h);
  // Some file systems give no index: such a file has no identity to tell.
  if (!known || (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0)) return std::nullopt;
  return FileId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

// Whether path leads through a link (junction, symbolic link): it is one, or a folder on its way.
// folders keeps the answers for the folders on the way, for the next path.
bool ReachedByLink(const std::string& path, std::map<std::wstring, bool>& folders) {
  const std::string at = path.size() > 3 && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
  const DWORD attributes = GetFileAttributesW(classlib::Widen(ExtendedLengthPath(at)).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return true;
  // Up to the drive ("C:") or the server ("\\server"), which are no links.
  const std::size_t cut = at.find_last_of('\\');
  if (cut == std::string::npos || cut <= 2) return false;
  const std::string folder = at.substr(0, cut);
  const std::wstring key = PathKey(folder);
  const auto known = folders.find(key);
  if (known != folders.end()) return known->second;
  const bool byLink = ReachedByLink(folder, folders);
  folders[key] = byLink;
  return byLink;
}

// Calls visit for every file of a folder (ending in "\"), then, with recurse, walks each subfolder
// in the order listed. Folders are told by their directory bit alone, whatever other attributes
// they carry, and only "." and ".." are passed over. Folders that are links (junctions, symbolic
// links) are skipped with Links::Skip; else they are followed once the trees without them are
// walked, and only to a folder the walk has not been in, so a link back into a tree collects
// nothing twice and the walk ends. The same holds for every folder below a link, since two links
// may lead to a folder and to one inside it, and for a tree whose own path leads through a link.
// So a folder both walked and reached by a link keeps its own name. The folder leaveOut (when
// given) is not entered, nor anything below it.
class Walk {
 public:
  Walk(Links links, const Visit& visit, const std::string& leaveOut = {})
      : follow_(links), visit_(visit), leaveOut_(leaveOut),
        leaveOutId_(leaveOut.empty() ? std::nullopt : IdentityOf(leaveOut)) {}

  // False when visit stopped the walk.
  bool Run(const std::string& folder, bool recurse) { return Tree(folder, recurse) && FollowLinks(links_.size() - 1); }

  // Walks the tree of folder without the links in it: those wait for FollowLinks(n), n counting
  // the calls of Tree from 0. False when visit stopped the walk.
  bool Tree(const std::string& folder, bool recurse) {
    links_.emplace_back();
    current_ = links_.size() - 1;
    std::map<std::wstring, bool> folders;
    if (follow_ == Links::Follow && ReachedByLink(folder, folders) && IdentityOf(folder)) {
      links_[current_].push_back({folder, recurse});
      return true;
    }
    const Part part = Enter(folder, false, recurse);
    return part == Part::Nothing || Files(folder, recurse, false, part);
  }

  // Follows the links that the walk of the nth tree met, and those met on the way. False when
  // visit stopped the walk.
  bool FollowLinks(std::size_t n) {
    current_ = n;
    std::deque<Start>& links = links_[n];
    while (!links.empty()) {
      const Start link = links.front();
      links.pop_front();
      const Part part = Enter(link.folder, true, link.recurse);
      if (part != Part::Nothing && !Files(link.folder, link.recurse, true, part)) return false;
    }
    return true;
  }

  // Whether the walk met leaveOut and left it out.
  bool LeftOut() const { return leftOut_; }

 private:
  // What of a folder the walk enters.
  enum class Part { Nothing, Whole, BelowItsFiles };

  struct Start {
    std::string folder;
    bool recurse;
  };

  bool Files(const std::string& folder, bool recurse, bool belowLink, Part part) {
    std::vector<std::string> subfolders;
    {
      Listing listing(folder);
      for (bool more = listing.Valid(); more; more = listing.Next()) {
        const fs::FindData& entry = listing.Entry();
        const bool link = (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if ((entry.attributes & fs::kAttrDirectory) == 0) {
          if (part == Part::Whole && !visit_(folder, entry)) return false;
        } else if (recurse && entry.name != "." && entry.name != "..") {
          if (!link) subfolders.push_back(folder + entry.name + "\\");
          else if (follow_ == Links::Follow) links_[current_].push_back({folder + entry.name + "\\", true});
        }
        ProcessMessagesPaced();
      }
    }
    for (const std::string& subfolder : subfolders) {
      const Part below = Enter(subfolder, belowLink, true);
      if (below != Part::Nothing && !Files(subfolder, true, belowLink, below)) return false;
    }
    return true;
  }

  // Notes the folder as walked, with recurse all below it too, and says what of it to walk.
  // Reached by a link: nothing where the walk has been, or where cannot be told, but what lies
  // below a folder whose own files alone were walked. A plain folder of a tree is always walked
  // whole: without links a tree has no circles, and an identity the file system gives wrongly
  // must not leave folders out.
  Part Enter(const std::string& folder, bool byLink, bool recurse) {
    const std::optional<FileId> id = IdentityOf(folder);
    if (IsLeftOut(folder, id)) {
      leftOut_ = true;
      return Part::Nothing;
    }
    if (!id) return byLink ? Part::Nothing : Part::Whole;
    const auto [at, fresh] = visited_.emplace(*id, recurse);
    const bool belowWalked = at->second;
    at->second = belowWalked || recurse;
    if (fresh || !byLink) return Part::Whole;
    return belowWalked || !recurse ? Part::Nothing : Part::BelowItsFiles;
  }

  bool IsLeftOut(const std::string& folder, const std::optional<FileId>& id) const {
    if (leaveOut_.empty()) return false;
    if (id && leaveOutId_) return *id == *leaveOutId_;
    return PathKey(zip::WithTrailingBackslash(folder)) == PathKey(zip::WithTrailingBackslash(leaveOut_));
  }

  const Links follow_;
  const Visit& visit_;
  const std::string leaveOut_;
  const std::optional<FileId> leaveOutId_;
  bool leftOut_ = false;
  // The folders walked, each with whether all below it is walked too.
  std::map<FileId, bool> visited_;
  // Per tree, the links met, to follow once the trees without them are walked.
  std::vector<std::deque<Start>> links_;
  std::size_t current_ = 0;
};

bool WalkFiles(const std::string& folder, bool recurse, Links links, const Visit& visit) {
  return Walk(links, visit).Run(folder, recurse);
}

const char kNoFolder[] = "Es ist kein Ordner zur Sicherung angegeben.";

bool IsFullPath(const std::string& path) {
  const bool drive = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
  const bool network = path.size() > 2 && path[0] == '\\' && path[1] == '\\';
  return drive || network;
}

// Why folder cannot be collected; empty when it can.
std::string FolderProblem(const std::string& folder) {
  if (folder.empty()) return kNoFolder;
  if (!IsFullPath(folder)) return classlib::Format("Der Ordner \"%s\" ist kein vollständiger Pfad.", folder.c_str());
  if (!fs::DirectoryExists(folder)) return classlib::Format("Der Ordner \"%s\" existiert nicht.", folder.c_str());
  return {};
}

using Collect = std::function<void(std::size_t tree, const std::string& path, const fs::FindData& entry)>;

// Collects usable folders with the filters, handing each file to collect with the number of the
// folder it was collected for and what its folder's listing says of it, and leaving out the folder
// leaveOut; true when the walk met it.
bool CollectFolders(const std::vector<BackupFolder>& folders, const std::string& types, FileTypeFilter filter,
                    std::int64_t sizeLimitKB, const std::string& leaveOut, const Collect& collect) {
  std::size_t tree = 0;
  const Visit visit = [&](const std::string& at, const fs::FindData& entry) {
    const bool fits = sizeLimitKB <= 0 || entry.size <= sizeLimitKB * 1024;
    if (fits && PassesTypeFilter(entry.name, types, filter)) collect(tree, at + entry.name, entry);
    return true;
  };
  Walk walk(Links::Follow, visit, leaveOut);
  // Every folder's tree before any link, so that a folder listed and also reached by a link inside
  // another keeps the name it is listed by.
  for (tree = 0; tree < folders.size(); ++tree)
    walk.Tree(zip::WithTrailingBackslash(folders[tree].Path), folders[tree].Recursive);
  for (tree = 0; tree < folders.size(); ++tree) walk.FollowLinks(tree);
  return walk.LeftOut();
}

void Add(CollectedFiles& result, const std::string& path, const CollectedFile& found) {
  result.Files.Add(path);
  result.Found.push_back(found);
}

// The files of the usable folders, each folder's after those of the folders listed before it, and
// a sentence for each folder that is not usable.
void CollectInto(CollectedFiles& result, const std::vector<BackupFolder>& folders, const BackupDefinition& def,
                 const std::string& leaveOut) {
  std::vector<BackupFolder> usable;
  for (const BackupFolder& folder : folders) {
    const std::string problem = FolderProblem(folder.Path);
    if (problem.empty()) usable.push_back(folder);
    else result.Problems.push_back(problem);
  }
  std::vector<CollectedFiles> perFolder(usable.size());
  const bool leftOut = CollectFolders(usable, def.Types, def.TypeFilter, SizeLimitKB(def), leaveOut,
                                      [&](std::size_t tree, const std::string& path, const fs::FindData& entry) {
                                        Add(perFolder[tree], path, {entry.size, entry.attributes, entry.dosTime});
                                      });
  for (const CollectedFiles& collected : perFolder)
    for (int i = 0; i < collected.Files.Count(); ++i)
      Add(result, collected.Files[i], collected.Found[static_cast<std::size_t>(i)]);
  if (leftOut) result.DestinationLeftOut = true;
}

// A file of a "Files" job as a listing of its folder would show it; unset when it is no file.
std::optional<CollectedFile> ListedFile(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(classlib::Widen(ExtendedLengthPath(path)).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return std::nullopt;
  const std::int64_t size = static_cast<std::int64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  return CollectedFile{size, data.dwFileAttributes, GetFileDate(path)};
}

// Keeps the files for which keep(index) holds, in their order.
void KeepWhere(CollectedFiles& result, const std::function<bool(int)>& keep) {
  classlib::TStringList files;
  std::vector<CollectedFile> found;
  for (int i = 0; i < result.Files.Count(); ++i)
    if (keep(i)) {
      files.Add(result.Files[i]);
      found.push_back(result.Found[static_cast<std::size_t>(i)]);
    }
  result.Files = files;
  result.Found = std::move(found);
}

// Listed folders may lie in one another: each file goes in once, where it first came.
void KeepFirstOfEach(CollectedFiles& result) {
  std::set<std::wstring> seen;
  KeepWhere(result, [&](int i) { return seen.insert(PathKey(result.Files[i])).second; });
}

// Whether each of files stays when each file is to go in once: a path given again (in any case)
// where it first came, a file given also by a path through a link by the path without it, or the
// first such path when all have one. Paths without a link to one file all stay: they are its
// hard links, each a name of its own.
std::vector<bool> FirstNameOfEachFile(const classlib::TStringList& files) {
  std::set<std::wstring> seen;
  std::map<std::wstring, bool> folders;
  std::vector<bool> again, byLink;
  for (const std::string& file : files) {
    again.push_back(!seen.insert(PathKey(file)).second);
    byLink.push_back(!again.back() && ReachedByLink(file, folders));
  }
  std::vector<std::optional<FileId>> ids(byLink.size());
  std::set<FileId> taken;
  if (std::find(byLink.begin(), byLink.end(), true) != byLink.end())
    for (std::size_t i = 0; i < ids.size(); ++i) {
      if (!again[i]) ids[i] = IdentityOf(files[static_cast<int>(i)]);
      if (!again[i] && !byLink[i] && ids[i]) taken.insert(*ids[i]);
    }
  std::vector<bool> stays;
  for (std::size_t i = 0; i < ids.size(); ++i)
    stays.push_back(!again[i] && (!byLink[i] || !ids[i] || taken.insert(*ids[i]).second));
  return stays;
}

}  // namespace

bool PassesTypeFilter(const std::string& fileName, const std::string& types, FileTypeFilter filter) {
  const std::string extension = zip::ExtractFileExt(fileName);
  const std::string list = classlib::LowerAscii(types) + ";";
  const bool listed = !types.empty() && !extension.empty() &&
                      list.find(classlib::LowerAscii(extension) + ";") != std::string::npos;
  switch (filter) {
    case FileTypeFilter::AllFiles: return true;
    case FileTypeFilter::OnlyTypes: return listed;
    case FileTypeFilter::AllButTypes: return extension.empty() || (!types.empty() && !listed);
  }
  return false;
}

bool CollectFolderFiles(const std::string& folder, const std::string& types, FileTypeFilter filter,
                        classlib::TStringList& list, std::int64_t sizeLimitKB, bool recurse) {
  if (!FolderProblem(folder).empty()) return false;
  CollectFolders({{folder, recurse}}, types, filter, sizeLimitKB, {},
                 [&](std::size_t, const std::string& path, const fs::FindData&) { list.Add(path); });
  return true;
}

int CountFiles(const std::string& folder) {
  int count = 0;
  VisitFilesBelow(folder, [&](const std::string&, const std::string&) {
    ++count;
    return true;
  });
  return count;
}

void VisitFilesBelow(const std::string& folder,
                     const std::function<bool(const std::string& folder, const std::string& name)>& visit) {
  if (!IsFullPath(folder)) return;
  WalkFiles(zip::WithTrailingBackslash(folder), true, Links::Skip,
            [&](const std::string& at, const fs::FindData& entry) { return visit(at, entry.name); });
}

classlib::TStringList EachFileOnce(const classlib::TStringList& files) {
  const std::vector<bool> stays = FirstNameOfEachFile(files);
  classlib::TStringList once;
  for (int i = 0; i < files.Count(); ++i)
    if (stays[static_cast<std::size_t>(i)]) once.Add(files[i]);
  return once;
}

std::int64_t SizeLimitKB(const BackupDefinition& def) {
  if (!def.SizeEnabled || def.MaxSize.size() <= 3) return 0;
  const std::string number = def.MaxSize.substr(0, def.MaxSize.size() - 3);
  if (number.empty() || number.size() > 9 || number.find_first_not_of("0123456789") != std::string::npos) return 0;
  return std::stoll(number) * 1024;
}

CollectedFiles CollectDefinitionFiles(const BackupDefinition& def, const std::string& destination) {
  CollectedFiles result;
  switch (def.Option) {
    case BackupOption::Files:
      for (const std::string& file : def.FileList)
        if (const std::optional<CollectedFile> found = ListedFile(file)) Add(result, file, *found);
      if (result.Files.Count() > 1) {
        const std::vector<bool> stays = FirstNameOfEachFile(result.Files);
        KeepWhere(result, [&](int i) { return stays[static_cast<std::size_t>(i)]; });
      }
      break;
    case BackupOption::Folders:
      CollectInto(result, {{def.Folder, def.Subfolders}}, def, destination);
      break;
    case BackupOption::Extended: {
      if (def.FolderList.empty()) result.Problems.push_back(kNoFolder);
      std::vector<BackupFolder> folders;
      for (const BackupFolder& folder : def.FolderList)
        folders.push_back({zip::WithTrailingBackslash(folder.Path), folder.Recursive});
      CollectInto(result, folders, def, destination);
      if (folders.size() > 1) KeepFirstOfEach(result);
      break;
    }
  }
  return result;
}

}  // namespace app
