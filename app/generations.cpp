#include "app/generations.h"

#include <map>
#include <utility>

#include "app/archive_names.h"
#include "app/file_helpers.h"
#include "classlib/format.h"
#include "classlib/text.h"
#include "zip/fs.h"
#include "zip/path_strings.h"

namespace app {
namespace {

namespace fs = zip::fs;

using Renames = std::vector<std::pair<std::string, std::string>>;

bool IsDigits(const std::string& s) { return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos; }

// "." and three or more digits, as the zip writer numbers parts.
bool IsPartExtension(const std::string& extension) {
  return extension.size() >= 4 && extension[0] == '.' && IsDigits(extension.substr(1));
}

bool Exists(const std::string& path) { return fs::FileExists(path) || fs::DirectoryExists(path); }

std::vector<std::string> FileNamesIn(const std::string& folder) {
  std::vector<std::string> names;
  fs::FindData entry;
  const fs::FindHandle h = fs::FindFirst(folder, entry);
  if (h == fs::kInvalidHandle) return names;
  do {
    if ((entry.attributes & fs::kAttrDirectory) == 0) names.push_back(entry.name);
  } while (fs::FindNext(h, entry));
  fs::FindClose(h);
  return names;
}

std::string FileName(const std::string& path) { return path.substr(zip::ExtractFilePath(path).size()); }

// A free name for a file that is to be dropped, kept until the new set is in place.
std::string DroppedName(const std::string& file) {
  std::string name = file + "~alt";
  for (int n = 2; Exists(name); ++n) name = file + "~alt" + std::to_string(n);
  return name;
}

// Renames that can all be taken back: the first failure undoes the earlier ones.
class Moves {
 public:
  bool Move(const std::string& from, const std::string& to) {
    if (fs::Rename(from, to)) {
      done_.emplace_back(from, to);
      return true;
    }
    error_ = classlib::Format("Die Datei \"%s\" konnte nicht in \"%s\" umbenannt werden.", from.c_str(), to.c_str());
    for (auto it = done_.rbegin(); it != done_.rend(); ++it)
      if (!fs::Rename(it->second, it->first))
        error_ += classlib::Format(" \"%s\" konnte nicht zurück in \"%s\" umbenannt werden.", it->second.c_str(),
                                   it->first.c_str());
    done_.clear();
    return false;
  }
  const std::string& Error() const { return error_; }

 private:
  Renames done_;
  std::string error_;
};

// Moves the dropped files aside, then does the renames; deletes the dropped files only when all
// went through.
PlacementResult Place(const std::vector<std::string>& dropped, const Renames& renames) {
  PlacementResult result;
  Moves moves;
  Renames aside;
  for (const std::string& file : dropped) aside.emplace_back(file, DroppedName(file));
  Renames all = aside;
  all.insert(all.end(), renames.begin(), renames.end());
  for (const auto& [from, to] : all)
    if (!moves.Move(from, to)) {
      result.Error = moves.Error();
      return result;
    }
  result.Ok = true;
  for (const auto& entry : aside)
    if (!fs::Delete(entry.second)) result.NotDeleted.push_back(entry.second);
  return result;
}

// The renames that give the written set the names that name(part) gives; part 0 is the ".zip".
template <typename Namer>
Renames RenamesOf(const ArchiveSet& written, Namer name) {
  Renames renames;
  for (int part = 1; part < written.Files; ++part)
    renames.emplace_back(PartFileName(written.ZipFile, part), name(part));
  renames.emplace_back(written.ZipFile, name(0));
  return renames;
}

}  // namespace

std::vector<std::string> ArchiveSetFiles(const ArchiveSet& set) {
  std::vector<std::string> files;
  for (int part = 1; part < set.Files; ++part) files.push_back(PartFileName(set.ZipFile, part));
  files.push_back(set.ZipFile);
  return files;
}

std::int64_t ArchiveSetSize(const ArchiveSet& set) {
  std::int64_t total = 0;
  for (const std::string& file : ArchiveSetFiles(set)) {
    const std::int64_t size = GetFileSize64(file);
    if (size < 0) return -1;
    total += size;
  }
  return total;
}

std::string AsideArchiveName(const std::string& archive) {
  const std::string folder = zip::ExtractFilePath(archive);
  const std::string name = FileName(archive);
  const std::string stem = name.substr(0, HasZipExtension(name) ? name.size() - 4 : name.size()) + "~neu";
  const std::vector<std::string> present = FileNamesIn(folder);
  for (int n = 1;; ++n) {
    const std::string candidate = stem + (n > 1 ? std::to_string(n) : "") + ".";
    bool taken = false;
    for (const std::string& file : present) taken = taken || classlib::StartsTextAscii(file, candidate);
    if (!taken) return folder + candidate + "zip";
  }
}

PlacementResult ReplaceArchiveSet(const ArchiveSet& written, const std::string& target) {
  const std::string folder = zip::ExtractFilePath(target);
  const std::string name = FileName(target);
  const std::string stem = name.substr(0, name.size() - zip::ExtractFileExt(name).size());
  std::vector<std::string> old;
  for (const std::string& file : FileNamesIn(folder)) {
    const std::string extension = zip::ExtractFileExt(file);
    const bool part = classlib::StartsTextAscii(file, stem) && file.size() == stem.size() + extension.size() &&
                      IsPartExtension(extension);
    if (part || classlib::SameTextAscii(file, name)) old.push_back(folder + file);
  }
  return Place(old, RenamesOf(written, [&](int part) { return part == 0 ? target : PartFileName(target, part); }));
}

PlacementResult RotateGenerations(const ArchiveSet& written, const std::string& base, int generations) {
  if (generations < 2) return ReplaceArchiveSet(written, base + ".zip");
  const std::string folder = zip::ExtractFilePath(base);
  const std::string stem = FileName(base);

  // The files of each generation in reach, by their extension (".zip" or a part's number).
  std::map<int, std::vector<std::string>> extensions;
  for (const std::string& file : FileNamesIn(folder)) {
    if (!classlib::StartsTextAscii(file, stem)) continue;
    const std::string rest = file.substr(stem.size());
    const std::size_t dot = rest.find('.');
    const std::string number = rest.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : rest.substr(dot);
    if (!IsDigits(number) || number[0] == '0' || number.size() > 4) continue;
    const bool zip = classlib::SameTextAscii(extension, ".zip");
    const int generation = std::stoi(number);
    if ((zip || IsPartExtension(extension)) && generation <= generations)
      extensions[generation].push_back(zip ? ".zip" : extension);
  }
  const auto named = [&](int generation, const std::string& extension) {
    return base + std::to_string(generation) + extension;
  };

  std::vector<std::string> dropped;
  for (const std::string& extension : extensions[generations]) dropped.push_back(named(generations, extension));
  Renames renames;
  for (int generation = generations - 1; generation >= 1; --generation)
    for (const std::string& extension : extensions[generation])
      renames.emplace_back(named(generation, extension), named(generation + 1, extension));
  for (const auto& rename : RenamesOf(written, [&](int part) {
         return part == 0 ? GenerationFileName(base, 1) : GenerationPartName(base, 1, part);
       }))
    renames.push_back(rename);
  return Place(dropped, renames);
}

}  // namespace app
