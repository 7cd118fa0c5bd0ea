#include "app/placement_journal.h"

#include <cstdint>

#include "classlib/exceptions.h"
#include "classlib/text.h"
#include "zip/fs.h"

namespace app {
namespace {

namespace fs = zip::fs;

const char kJournal[] = "~plan";
// No file name holds "|" or a line break.
const char kBetween = '|';
const char kEnd[] = "Ende";
// Far beyond the list of 999 generations of 999 parts each.
constexpr std::int64_t kMostBytes = 64 * 1024 * 1024;

std::string Contents(const FileRenames& renames) {
  std::string text;
  for (const auto& [from, to] : renames) text += from + kBetween + to + "\r\n";
  return text + kEnd + "\r\n";
}

std::string NoJournalText(const std::string& path) {
  return "Die Datei \"" + path + "\" einer unterbrochenen Sicherung ist keine lesbare Liste der Umbenennungen.";
}

std::string ReadAll(const std::string& path) {
  const fs::Handle h = fs::Open(path, fs::kOpenRead | fs::kShareDenyWrite);
  if (h == fs::kInvalidHandle) throw classlib::EFOpenError(NoJournalText(path));
  const std::int64_t size = fs::FileSize(h);
  std::string text(size >= 0 && size <= kMostBytes ? static_cast<std::size_t>(size) : 0, '\0');
  const bool read = size >= 0 && size <= kMostBytes && fs::Read(h, &text[0], size) == size;
  fs::Close(h);
  if (!read) throw classlib::EFOpenError(NoJournalText(path));
  return text;
}

}  // namespace

std::string PlacementJournalName(const std::string& asideZip) { return asideZip + kJournal; }

std::string JournalAsideZip(const std::string& fileName) {
  const std::size_t marker = sizeof kJournal - 1;
  if (fileName.size() <= marker || !classlib::SameTextAscii(fileName.substr(fileName.size() - marker), kJournal))
    return {};
  return fileName.substr(0, fileName.size() - marker);
}

bool WritePlacementJournal(const std::string& path, const FileRenames& renames) {
  const std::string text = Contents(renames);
  const fs::Handle h = fs::CreateNew(path);
  if (h == fs::kInvalidHandle) return false;
  const bool written = fs::Write(h, text.data(), static_cast<std::int64_t>(text.size())) ==
                           static_cast<std::int64_t>(text.size()) &&
                       fs::Flush(h);
  if (fs::Close(h) && written) return true;
  fs::Delete(path);
  return false;
}

std::optional<FileRenames> ReadPlacementJournal(const std::string& path) {
  const std::string text = ReadAll(path);
  const std::string end = std::string(kEnd) + "\r\n";
  if (text.size() < end.size() || text.compare(text.size() - end.size(), end.size(), end) != 0) return std::nullopt;
  FileRenames renames;
  for (std::size_t at = 0; at < text.size() - end.size();) {
    const std::size_t lineEnd = text.find("\r\n", at);
    const std::string line = text.substr(at, lineEnd - at);
    const std::size_t between = line.find(kBetween);
    if (between == std::string::npos || line.find(kBetween, between + 1) != std::string::npos)
      throw classlib::EFOpenError(NoJournalText(path));
    renames.emplace_back(line.substr(0, between), line.substr(between + 1));
    at = lineEnd + 2;
  }
  return renames;
}

}  // namespace app
