#include "app/generations.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>

#include "app/activity_log.h"
#include "app/archive_names.h"
#include "app/file_helpers.h"
#include "app/free_name.h"
#include "app/placement_journal.h"
#include "classlib/exceptions.h"
#include "classlib/format.h"
#include "classlib/text.h"
#include "zip/end_central.h"
#include "zip/fs.h"
#include "zip/path_strings.h"
#include "zip/streams.h"

namespace app {
namespace {

namespace fs = zip::fs;

using Renames = FileRenames;

std::function<void()>& PlacementStep() {
  static std::function<void()> step;
  return step;
}

// After each file operation of a placement: where a test stops it as a kill would.
void StepDone() {
  if (PlacementStep()) PlacementStep()();
}

bool IsDigits(const std::string& s) { return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos; }

// "." and three digits, as the zip writer numbers parts.
bool IsPartExtension(const std::string& extension) {
  return extension.size() == 4 && extension[0] == '.' && IsDigits(extension.substr(1));
}

// The stem of a file of a set: its name without ".zip" or a part's extension; none for other names.
std::optional<std::string> SetFileStem(const std::string& file) {
  const std::string extension = zip::ExtractFileExt(file);
  if (!classlib::SameTextAscii(extension, ".zip") && !IsPartExtension(extension)) return std::nullopt;
  return file.substr(0, file.size() - extension.size());
}

// The highest part number of a split set.
constexpr int kMostParts = 999;

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

// What a dropped file's name gets while the new set is not yet in place: "~alt", then nothing or a
// number from 2.
const char kDropped[] = "~alt";

// One suffix free for every file of a dropped set, so the set can be told and moved back whole;
// empty when there is none.
std::string DroppedSuffix(const std::vector<std::string>& files) {
  return FirstFreeName([](int n) { return kDropped + (n > 1 ? std::to_string(n) : std::string()); },
                       [&](const std::string& suffix) {
                         return std::any_of(files.begin(), files.end(),
                                            [&](const std::string& file) { return Exists(file + suffix); });
                       });
}

// Renames that can all be taken back: the first failure undoes the earlier ones.
class Moves {
 public:
  bool Move(const std::string& from, const std::string& to) {
    if (fs::Rename(from, to)) {
      done_.emplace_back(from, to);
      StepDone();
      return true;
    }
    error_ = classlib::Format("Die Datei \"%s\" konnte nicht in \"%s\" umbenannt werden%s", from.c_str(), to.c_str(),
                              Exists(to) ? ", da es schon eine Datei dieses Namens gibt." : ".");
    for (auto it = done_.rbegin(); it != done_.rend(); ++it)
      if (!fs::Rename(it->second, it->first)) {
        error_ += classlib::Format(" \"%s\" konnte nicht zurück in \"%s\" umbenannt werden.", it->second.c_str(),
                                   it->first.c_str());
        undone_ = false;
      }
    done_.clear();
    return false;
  }
  const std::string& Error() const { return error_; }
  // Whether all that was moved before a failure went back.
  bool Undone() const { return undone_; }

 private:
  Renames done_;
  std::string error_;
  bool undone_ = true;
};

Renames FileNamesOf(const Renames& renames) {
  Renames names;
  for (const auto& [from, to] : renames) names.emplace_back(FileName(from), FileName(to));
  return names;
}

// Moves the dropped files aside, then does the renames; deletes the dropped files only when all
// went through. The list of the renames stays in the folder until they are done or taken back.
PlacementResult Place(const ArchiveSet& written, const std::vector<std::string>& dropped, const Renames& renames) {
  PlacementResult result;
  const std::string suffix = dropped.empty() ? std::string() : DroppedSuffix(dropped);
  if (!dropped.empty() && suffix.empty()) {
    result.Error = NoFreeNameText(dropped.back() + kDropped);
    return result;
  }
  Renames aside;
  for (const std::string& file : dropped) aside.emplace_back(file, file + suffix);
  Renames all = aside;
  all.insert(all.end(), renames.begin(), renames.end());
  const std::string journal = PlacementJournalName(written.ZipFile);
  if (!WritePlacementJournal(journal, FileNamesOf(all))) {
    result.Error = "Die Datei \"" + journal + "\" konnte nicht erstellt werden.";
    return result;
  }
  StepDone();
  Moves moves;
  for (const auto& [from, to] : all)
    if (!moves.Move(from, to)) {
      result.Error = moves.Error();
      // What could not go back is put right by the next start, after the list.
      if (moves.Undone()) fs::Delete(journal);
      return result;
    }
  result.Ok = true;
  for (const auto& entry : aside) {
    if (!fs::Delete(entry.second)) result.NotDeleted.push_back(entry.second);
    StepDone();
  }
  // A list that stays is finished by the next start.
  fs::Delete(journal);
  return result;
}

// The part numbers of the set whose ".zip" is zipFile, in order, with 0 for the ".zip" itself last;
// none without the ".zip": parts alone are no backup to replace. The end record tells how many
// parts the set has; without one that can be read, the parts that exist in an unbroken run from 1
// are the set's.
std::vector<int> SetParts(const std::string& zipFile) {
  if (!fs::FileExists(zipFile)) return {};
  int count = -1;
  try {
    zip::THugeFileStream stream(zipFile, fs::kOpenRead | fs::kShareDenyNone);
    zip::TEndCentral end;
    if (end.FindEndCentral(stream)) count = std::min(end.ThisDisk + 1, kMostParts + 1);
  } catch (const std::exception&) {
    // Unreadable: its parts are told by their names alone.
  }
  std::vector<int> parts;
  if (count < 0) {
    for (int part = 1; part <= kMostParts && fs::FileExists(PartFileName(zipFile, part)); ++part) parts.push_back(part);
  } else {
    for (int part = 1; part < count; ++part)
      if (fs::FileExists(PartFileName(zipFile, part))) parts.push_back(part);
  }
  parts.push_back(0);
  return parts;
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

// What AsideArchiveName gives for a stem: "~neu", then nothing or a number from 2.
const char kAside[] = "~neu";

}  // namespace

std::string AsideArchiveStem(const std::string& file) {
  const std::optional<std::string> setStem = SetFileStem(file);
  if (!setStem) return {};
  std::string rest = *setStem;
  const std::size_t digits = rest.find_last_not_of("0123456789") + 1;
  const std::string number = rest.substr(digits);
  if (!number.empty() && (number[0] == '0' || number == "1")) return {};
  rest.erase(digits);
  const std::size_t marker = sizeof kAside - 1;
  if (rest.size() <= marker || !classlib::SameTextAscii(rest.substr(rest.size() - marker), kAside)) return {};
  return rest.substr(0, rest.size() - marker);
}

namespace {

// A dropped file's name split into the name it had and the suffix it got; none for other names.
std::optional<std::pair<std::string, std::string>> SplitDropped(const std::string& name) {
  const std::size_t at = name.rfind(kDropped);
  if (at == std::string::npos || at == 0) return std::nullopt;
  const std::string number = name.substr(at + sizeof kDropped - 1);
  if (!number.empty() && (!IsDigits(number) || number[0] == '0' || number == "1" || number.size() > 4))
    return std::nullopt;
  return std::make_pair(name.substr(0, at), name.substr(at));
}

int SuffixNumber(const std::string& suffix) {
  const std::string number = suffix.substr(sizeof kDropped - 1);
  return number.empty() ? 1 : std::stoi(number);
}

// Deletes a file a stopped run left, and logs it; false when it stays.
bool RemoveLeftover(const std::string& file) {
  if (!fs::Delete(file)) {
    LogError("Die Datei \"" + file + "\" einer unterbrochenen Sicherung konnte nicht entfernt werden.");
    return false;
  }
  LogLeftoverRemoved(file);
  return true;
}

// Moves the dropped set of the ".zip" file zipName back, its parts first. A file in the way was
// moved in by the stopped placement: with newSetGoesThere, a part of the new set, which goes as a
// leftover of the run; else a file of a younger generation, and the set stays aside.
void MoveDroppedSetBack(const std::string& folder, const std::string& zipName, const std::string& suffix,
                        const std::vector<std::string>& names, bool newSetGoesThere) {
  const std::string stem = WithoutZipExtension(zipName);
  std::vector<std::string> originals;
  for (const std::string& name : names) {
    const auto dropped = SplitDropped(name);
    if (!dropped || dropped->second != suffix) continue;
    const std::string& original = dropped->first;
    const std::string extension = zip::ExtractFileExt(original);
    if (IsPartExtension(extension) &&
        classlib::SameTextAscii(original.substr(0, original.size() - extension.size()), stem))
      originals.push_back(original);
  }
  originals.push_back(zipName);
  for (const std::string& original : originals)
    if (!newSetGoesThere && Exists(folder + original)) {
      LogError("Die ältere Sicherung \"" + folder + zipName + suffix + "\" bleibt liegen, da es \"" + folder +
               original + "\" schon gibt.");
      return;
    }
  for (const std::string& original : originals) {
    const std::string file = folder + original;
    if (fs::FileExists(file) && !RemoveLeftover(file)) return;
    if (!fs::Rename(file + suffix, file)) {
      LogError("Die Datei \"" + file + suffix + "\" konnte nicht zurück in \"" + file + "\" umbenannt werden.");
      return;
    }
    LogDroppedFileRestored(file);
  }
}

// Whether name is one a placement of ours renames: an archive or part of ours or of ours written
// aside, or such a name dropped under "~alt".
bool IsOwnName(const std::string& name, const std::function<bool(const std::string& stem)>& ours) {
  if (name.empty() || name.find_first_of("\\/:") != std::string::npos) return false;
  const auto dropped = SplitDropped(name);
  const std::string file = dropped ? dropped->first : name;
  const std::string aside = AsideArchiveStem(file);
  if (!aside.empty()) return ours(aside);
  const std::optional<std::string> stem = SetFileStem(file);
  return stem && ours(*stem);
}

// The renames were made in order, so the last one done tells that all were: the new set is in
// place, and only the dropped set is left to delete.
void FinishPlacement(const std::string& at, const Renames& renames) {
  for (const auto& entry : renames)
    if (SplitDropped(entry.second) && fs::FileExists(at + entry.second)) RemoveLeftover(at + entry.second);
}

// Takes the renames back, the last first; one that was not made leaves both names as they are.
// The new set goes back aside, to go with the leftovers; an older one is back in its place.
void TakeBackPlacement(const std::string& at, const Renames& renames) {
  for (auto it = renames.rbegin(); it != renames.rend(); ++it) {
    const std::string from = at + it->first, to = at + it->second;
    if (Exists(from)) continue;
    const bool older = AsideArchiveStem(it->first).empty();
    if (!fs::FileExists(to)) {
      // The new set may have gone with its run's failure; a file of an older set is missed.
      if (older) LogError("Die Datei \"" + from + "\" einer unterbrochenen Sicherung fehlt.");
      continue;
    }
    if (!fs::Rename(to, from))
      throw classlib::EFCreateError("Die Datei \"" + to +
                                    "\" einer unterbrochenen Sicherung konnte nicht zurück in \"" + from +
                                    "\" umbenannt werden.");
    if (older) LogDroppedFileRestored(from);
  }
}

// Puts right what the placement whose list is journalName left in at, and deletes the list. A list
// that names a file not ours is not followed.
void RepairPlacement(const std::string& at, const std::string& journalName,
                     const std::function<bool(const std::string& stem)>& ours) {
  const std::string journal = at + journalName;
  const std::optional<Renames> renames = ReadPlacementJournal(journal);
  if (renames && !renames->empty()) {
    for (const auto& [from, to] : *renames)
      if (!IsOwnName(from, ours) || !IsOwnName(to, ours))
        throw classlib::EFOpenError("Die Datei \"" + journal +
                                    "\" einer unterbrochenen Sicherung nennt eine Datei, die nicht zu dieser Sicherung "
                                    "gehört: \"" + from + "\" oder \"" + to + "\".");
    const auto& last = renames->back();
    if (!Exists(at + last.first) && fs::FileExists(at + last.second))
      FinishPlacement(at, *renames);
    else
      TakeBackPlacement(at, *renames);
  }
  // A list left behind could later take back renames of a placement that went through.
  if (!fs::Delete(journal))
    throw classlib::EFCreateError("Die Datei \"" + journal +
                                  "\" einer unterbrochenen Sicherung konnte nicht entfernt werden.");
  LogLeftoverRemoved(journal);
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
  const std::string stem = WithoutZipExtension(name) + kAside;
  const std::vector<std::string> present = FileNamesIn(folder);
  const std::string free = FirstFreeName(
      [&](int n) { return stem + (n > 1 ? std::to_string(n) : "") + "."; },
      [&](const std::string& candidate) {
        for (const std::string& file : present)
          if (classlib::StartsTextAscii(file, candidate)) return true;
        return false;
      });
  if (free.empty()) throw classlib::EFCreateError(NoFreeNameText(folder + stem + ".zip"));
  return folder + free + "zip";
}

std::string FreeArchiveName(const std::string& folder, const std::string& name) {
  const std::string stem = WithoutZipExtension(name);
  const std::vector<std::string> present = FileNamesIn(zip::WithTrailingBackslash(folder));
  const std::string free = FirstFreeName([&](int n) { return NumberedStem(stem, n); },
                                         [&](const std::string& candidate) {
                                           for (const std::string& file : present)
                                             if (classlib::StartsTextAscii(file, candidate) &&
                                                 (classlib::SameTextAscii(file, candidate + ".zip") ||
                                                  IsPartExtension(file.substr(candidate.size()))))
                                               return true;
                                           return false;
                                         });
  if (free.empty()) throw classlib::EFCreateError(NoFreeNameText(name));
  return free + ".zip";
}

void RemoveLeftoverAsideFiles(const std::string& folder, const std::function<bool(const std::string& stem)>& ours) {
  const std::string at = zip::WithTrailingBackslash(folder);
  for (const std::string& name : FileNamesIn(at)) {
    const std::string stem = AsideArchiveStem(name);
    if (!stem.empty() && ours(stem)) RemoveLeftover(at + name);
  }
}

void RepairStoppedPlacements(const std::string& folder, const std::function<bool(const std::string& stem)>& ours) {
  const std::string at = zip::WithTrailingBackslash(folder);
  for (const std::string& name : FileNamesIn(at)) {
    const std::string stem = AsideArchiveStem(JournalAsideZip(name));
    if (!stem.empty() && ours(stem)) RepairPlacement(at, name, ours);
  }
}

void RestoreDroppedSets(const std::string& folder, const BackupDefinition& def) {
  const std::string at = zip::WithTrailingBackslash(folder);
  const std::vector<std::string> names = FileNamesIn(at);
  std::vector<std::pair<std::string, std::string>> sets;
  for (const std::string& name : names) {
    const auto dropped = SplitDropped(name);
    if (dropped && HasZipExtension(dropped->first) && IsKeptArchiveStem(def, WithoutZipExtension(dropped->first)))
      sets.push_back(*dropped);
  }
  // The latest drop of a name took the highest number.
  std::sort(sets.begin(), sets.end(),
            [](const auto& a, const auto& b) { return SuffixNumber(a.second) > SuffixNumber(b.second); });
  for (const auto& [zipName, suffix] : sets)
    if (!Exists(at + zipName))
      MoveDroppedSetBack(at, zipName, suffix, names, GenerationsOf(def) < 2);
}

PlacementResult ReplaceArchiveSet(const ArchiveSet& written, const std::string& target) {
  std::vector<std::string> old;
  for (int part : SetParts(target)) old.push_back(part == 0 ? target : PartFileName(target, part));
  return Place(written, old,
               RenamesOf(written, [&](int part) { return part == 0 ? target : PartFileName(target, part); }));
}

PlacementResult RotateGenerations(const ArchiveSet& written, const std::string& base, int generations) {
  if (generations < 2) return ReplaceArchiveSet(written, base + ".zip");
  const auto named = [&](int generation, int part) {
    return part == 0 ? GenerationFileName(base, generation) : GenerationPartName(base, generation, part);
  };
  std::vector<std::string> dropped;
  for (int part : SetParts(named(generations, 0))) dropped.push_back(named(generations, part));
  Renames renames;
  for (int generation = generations - 1; generation >= 1; --generation)
    for (int part : SetParts(named(generation, 0)))
      renames.emplace_back(named(generation, part), named(generation + 1, part));
  for (const auto& rename : RenamesOf(written, [&](int part) { return named(1, part); })) renames.push_back(rename);
  return Place(written, dropped, renames);
}

void SetPlacementStepForTesting(std::function<void()> step) { PlacementStep() = std::move(step); }

}  // namespace app
