#include "app/file_collection.h"

#include <windows.h>

#include <deque>
#include <functional>
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

// A folder as the file system knows it, whichever path or link leads to it.
using FolderId = std::tuple<DWORD, DWORD, DWORD>;

std::optional<FolderId> IdentityOf(const std::string& folder) {
  const std::string path = folder.size() > 3 && folder.back() == '\\' ? folder.substr(0, folder.size() - 1) : folder;
  const HANDLE h = CreateFileW(classlib::Widen(ExtendedLengthPath(path)).c_str(), 0,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(h, &info) != FALSE;
  CloseHandle(h);
  // Some file systems give no index: such a folder has no identity to tell.
  if (!known || (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0)) return std::nullopt;
  return FolderId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

// Calls visit for every file of a folder (ending in "\"), then, with recurse, walks each subfolder
// in the order listed. Folders are told by their directory bit alone, whatever other attributes
// they carry, and only "." and ".." are passed over. Folders that are links (junctions, symbolic
// links) are skipped with Links::Skip; else they are followed once the tree without them is
// walked, and only to a folder the walk has not been in, so a link back into the tree collects
// nothing twice and the walk ends. The same holds for every folder below a link, since two links
// may lead to a folder and to one inside it. The folder leaveOut (when given) is not entered,
// nor anything below it.
class Walk {
 public:
  Walk(Links links, const Visit& visit, const std::string& leaveOut = {})
      : follow_(links), visit_(visit), leaveOut_(leaveOut),
        leaveOutId_(leaveOut.empty() ? std::nullopt : IdentityOf(leaveOut)) {}

  // False when visit stopped the walk.
  bool Run(const std::string& folder, bool recurse) {
    if (!Enter(folder, false)) return true;
    if (!Files(folder, recurse, false)) return false;
    while (!links_.empty()) {
      const std::string link = links_.front();
      links_.pop_front();
      if (Enter(link, true) && !Files(link, true, true)) return false;
    }
    return true;
  }

  // Whether the walk met leaveOut and left it out.
  bool LeftOut() const { return leftOut_; }

 private:
  bool Files(const std::string& folder, bool recurse, bool belowLink) {
    std::vector<std::string> subfolders;
    {
      Listing listing(folder);
      for (bool more = listing.Valid(); more; more = listing.Next()) {
        const fs::FindData& entry = listing.Entry();
        const bool link = (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if ((entry.attributes & fs::kAttrDirectory) == 0) {
          if (!visit_(folder, entry)) return false;
        } else if (recurse && entry.name != "." && entry.name != "..") {
          if (!link) subfolders.push_back(folder + entry.name + "\\");
          else if (follow_ == Links::Follow) links_.push_back(folder + entry.name + "\\");
        }
        ProcessMessagesPaced();
      }
    }
    for (const std::string& subfolder : subfolders)
      if (Enter(subfolder, belowLink) && !Files(subfolder, true, belowLink)) return false;
    return true;
  }

  // Notes the folder as walked; false when it is not to be entered. Reached by a link: false when
  // the walk has been there, or where cannot be told. A plain folder of the tree is always entered:
  // without links a tree has no circles, and an identity the file system gives wrongly must not
  // leave folders out.
  bool Enter(const std::string& folder, bool byLink) {
    const std::optional<FolderId> id = IdentityOf(folder);
    if (IsLeftOut(folder, id)) {
      leftOut_ = true;
      return false;
    }
    const bool fresh = id && visited_.insert(*id).second;
    return fresh || !byLink;
  }

  bool IsLeftOut(const std::string& folder, const std::optional<FolderId>& id) const {
    if (leaveOut_.empty()) return false;
    if (id && leaveOutId_) return *id == *leaveOutId_;
    return PathKey(zip::WithTrailingBackslash(folder)) == PathKey(zip::WithTrailingBackslash(leaveOut_));
  }

  const Links follow_;
  const Visit& visit_;
  const std::string leaveOut_;
  const std::optional<FolderId> leaveOutId_;
  bool leftOut_ = false;
  std::set<FolderId> visited_;
  // Links met, to follow once the folders without them are walked.
  std::deque<std::string> links_;
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

using Collect = std::function<void(const std::string& path, const fs::FindData& entry)>;

// CollectFolderFiles of a usable folder, handing each file to collect with what its folder's
// listing says of it, and leaving out the folder leaveOut; true when the walk met it.
bool CollectFolder(const std::string& folder, const std::string& types, FileTypeFilter filter,
                   std::int64_t sizeLimitKB, bool recurse, const std::string& leaveOut, const Collect& collect) {
  const Visit visit = [&](const std::string& at, const fs::FindData& entry) {
    const bool fits = sizeLimitKB <= 0 || entry.size <= sizeLimitKB * 1024;
    if (fits && PassesTypeFilter(entry.name, types, filter)) collect(at + entry.name, entry);
    return true;
  };
  Walk walk(Links::Follow, visit, leaveOut);
  walk.Run(zip::WithTrailingBackslash(folder), recurse);
  return walk.LeftOut();
}

void Add(CollectedFiles& result, const std::string& path, const CollectedFile& found) {
  result.Files.Add(path);
  result.Found.push_back(found);
}

void CollectInto(CollectedFiles& result, const std::string& folder, const BackupDefinition& def, bool recurse,
                 const std::string& leaveOut) {
  const std::string problem = FolderProblem(folder);
  if (!problem.empty()) {
    result.Problems.push_back(problem);
    return;
  }
  const bool leftOut = CollectFolder(folder, def.Types, def.TypeFilter, SizeLimitKB(def), recurse, leaveOut,
                                     [&](const std::string& path, const fs::FindData& entry) {
                                       Add(result, path, {entry.size, entry.attributes, entry.dosTime});
                                     });
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

// Listed folders may lie in one another: each file goes in once, where it first came.
void KeepFirstOfEach(CollectedFiles& result) {
  std::set<std::wstring> seen;
  classlib::TStringList files;
  std::vector<CollectedFile> found;
  for (int i = 0; i < result.Files.Count(); ++i)
    if (seen.insert(PathKey(result.Files[i])).second) {
      files.Add(result.Files[i]);
      found.push_back(result.Found[i]);
    }
  result.Files = files;
  result.Found = std::move(found);
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
  CollectFolder(folder, types, filter, sizeLimitKB, recurse, {},
                [&](const std::string& path, const fs::FindData&) { list.Add(path); });
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
      break;
    case BackupOption::Folders:
      CollectInto(result, def.Folder, def, def.Subfolders, destination);
      break;
    case BackupOption::Extended:
      if (def.FolderList.empty()) result.Problems.push_back(kNoFolder);
      for (const BackupFolder& folder : def.FolderList)
        CollectInto(result, zip::WithTrailingBackslash(folder.Path), def, folder.Recursive, destination);
      if (def.FolderList.size() > 1) KeepFirstOfEach(result);
      break;
  }
  return result;
}

}  // namespace app
