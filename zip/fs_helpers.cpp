#include "zip/fs_helpers.h"

#include <random>
#include <vector>

#include "classlib/clock.h"
#include "classlib/exceptions.h"
#include "classlib/format.h"
#include "classlib/prompt.h"
#include "classlib/text.h"
#include "zip/dos_date.h"
#include "zip/fs.h"
#include "zip/messages.h"
#include "zip/path_strings.h"
#include "zip/streams.h"

namespace zip {
namespace {

constexpr std::int32_t kCopyBufferSize = 65536;
constexpr int kBackupNameTries = 100;

// Creates a new file "KPZ..." in directory and returns it open; raises EFCreateError.
fs::Handle CreateTempFile(const std::string& directory, std::string& name) {
  static const char kLetters[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  thread_local std::minstd_rand random(std::random_device{}());
  std::uniform_int_distribution<int> letter(0, sizeof kLetters - 2);
  const std::string prefix = WithTrailingBackslash(directory) + "KPZ";
  // Another name only while the one tried is taken; any other failure ends the search.
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = prefix;
    for (int i = 0; i < 8; ++i) name += kLetters[letter(random)];
    const fs::Handle handle = fs::CreateNew(name);
    if (handle != fs::kInvalidHandle) return handle;
    if (!fs::FileExists(name) && !fs::DirectoryExists(name)) break;
  }
  throw classlib::EFCreateError(classlib::Format("Datei %s kann nicht erstellt werden", prefix.c_str()));
}

std::vector<std::string> SplitAtBackslashes(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t end; (end = path.find('\\', start)) != std::string::npos; start = end + 1)
    parts.push_back(path.substr(start, end - start));
  parts.push_back(path.substr(start));
  return parts;
}

// Drive letters, empty parts and relative steps are not looked up, nor patterns that would match
// some other entry.
bool IsLookedUp(const std::string& component) {
  return !component.empty() && component != "." && component != ".." &&
         component.find(':') == std::string::npos && !HasWildcards(component);
}

}  // namespace

std::string ConvertPathNames(const std::string& path) {
  std::string written = path;
  if (written.size() >= 2 && written[1] == ':' && (written.size() == 2 || written[2] != '\\'))
    written.insert(2, "\\");
  std::string prefix, result;
  bool first = true;
  for (const std::string& component : SplitAtBackslashes(written)) {
    if (!first) {
      prefix += '\\';
      result += '\\';
    }
    first = false;
    prefix += component;
    const std::string shortName = IsLookedUp(component) ? fs::ShortNameOf(prefix) : std::string();
    result += shortName.empty() ? component : shortName;
  }
  return result;
}

classlib::TDateTime FileDateTime(const std::string& name) {
  std::uint32_t dosTime = 0;
  classlib::TDateTime result;
  if (fs::FileAge(name, dosTime) && classlib::TryFileDateToDateTime(RepairDosDate(dosTime), result)) return result;
  return classlib::Now();
}

bool ForceDirectories(const std::string& path) {
  std::string directory = path;
  while (directory.size() > 1 && (directory.back() == '\\' || directory.back() == '/')) directory.pop_back();
  if (directory.empty() || !fs::PathFits(directory)) return false;
  // From the top down, stopping at the first folder that cannot be made: a loop, as an archive may
  // name any depth. A drive or a network share is taken as given.
  const std::size_t first = ExtractDrive(directory).size() + 1;
  for (std::size_t end = directory.find_first_of("\\/", first);; end = directory.find_first_of("\\/", end + 1)) {
    const std::string d = directory.substr(0, end);
    if (!fs::DirectoryExists(d) && !fs::MakeDirectory(d) && !fs::DirectoryExists(d)) return false;
    if (end == std::string::npos) return true;
  }
}

bool RenameWithBackup(const std::string& source, const std::string& target) {
  if (!classlib::SameTextAscii(ExtractDrive(source), ExtractDrive(target))) return false;
  fs::CriticalErrorsSuppressed quiet;
  // Neither host's rename replaces a file, so this fails when there is one to put aside.
  if (fs::Rename(source, target)) return true;
  if (!fs::FileExists(target)) return false;
  // A "$$$" file left by an earlier crash may be the only copy of something: use the next free name,
  // within a bound, as some names (devices among them) are taken whatever is put after them.
  std::string backup = target + "$$$";
  for (int n = 1; fs::FileExists(backup) || fs::DirectoryExists(backup); ++n) {
    if (n > kBackupNameTries) return false;
    backup = target + "$$$" + std::to_string(n);
  }
  const bool targetMoved = fs::Rename(target, backup);
  if (!fs::Rename(source, target)) {
    // Put the old target back: the caller sees a failure and must still find it.
    if (targetMoved) fs::Rename(backup, target);
    return false;
  }
  if (targetMoved) fs::Delete(backup);
  return true;
}

void MoveOrCopyFile(const std::string& source, const std::string& target) {
  if (RenameWithBackup(source, target)) return;
  TLFNFileStream in(source, kCopyBufferSize, false, fs::kOpenRead | fs::kShareDenyWrite);
  TLFNFileStream out(target, kCopyBufferSize, false, fs::kCreate);
  const std::int64_t copied = out.CopyFrom(in, 0);
  out.Close();
  in.Close();
  if (copied == 0)
    classlib::Prompts().Message(classlib::MessageRequest{LoadZipString(kMsgCouldNotCopyFrom) + source + " -> " + target,
                                                         LoadZipString(kMsgError), classlib::PromptButtons::Ok});
}

std::string MakeTempFileName(const std::string& directory) {
  std::string name;
  fs::Close(CreateTempFile(directory, name));
  return name;
}

std::unique_ptr<TLFNFileStream> MakeTempFile(const std::string& directory, std::int32_t bufferSize, bool flushOnClose,
                                             std::string& name) {
  return std::make_unique<TLFNFileStream>(CreateTempFile(directory, name), bufferSize, flushOnClose);
}

std::string GetVolumeLabel(const std::string& root) {
  std::string label;
  fs::ReadVolumeLabel(root, label);
  return label;
}

bool SetVolumeLabel(const std::string& root, const std::string& label) {
  fs::WriteVolumeLabel(root, "");
  return fs::WriteVolumeLabel(root, label);
}

}  // namespace zip
