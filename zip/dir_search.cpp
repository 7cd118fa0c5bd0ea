#include "zip/dir_search.h"

#include "zip/match.h"
#include "zip/path_strings.h"

namespace zip {
namespace {

// By name: a drive root has neither entry, and the host's order is not fixed.
bool IsSelfOrParent(const std::string& name) { return name == "." || name == ".."; }

bool IsSubDirectory(const fs::FindData& entry) {
  return (entry.attributes & fs::kAttrDirectory) != 0 && !IsSelfOrParent(entry.name);
}

}  // namespace

TSearchData::TSearchData(const std::string& directory, const std::string& mask)
    : directory_(WithTrailingBackslash(directory)), mask_(mask) {
  handle_ = fs::FindFirst(directory_, entry_);
  found_ = handle_ != fs::kInvalidHandle;
}

TSearchData::~TSearchData() {
  if (handle_ != fs::kInvalidHandle) fs::FindClose(handle_);
}

void TSearchData::Next() {
  if (found_) found_ = fs::FindNext(handle_, entry_);
}

TDirSearch::TDirSearch(const std::string& startPath, bool recurse, const std::string& mask)
    : mask_(mask), recurse_(recurse) {
  std::string start = WithTrailingBackslash(startPath);
  const std::size_t wildcard = start.find_first_of(kWildcardCharacters);
  if (wildcard != std::string::npos) {
    const std::size_t split = start.rfind('\\', wildcard);
    const std::size_t patternsStart = split == std::string::npos ? 0 : split + 1;
    std::string rest = start.substr(patternsStart, start.size() - 1 - patternsStart);
    start.erase(patternsStart);
    for (std::size_t from = 0, to;; from = to + 1) {
      to = rest.find('\\', from);
      patterns_.push_back(rest.substr(from, to - from));
      if (to == std::string::npos) break;
    }
  }
  Push(start);
}

void TDirSearch::Push(const std::string& directory) {
  const std::size_t level = levels_.size();
  levels_.push_back(std::make_unique<TSearchData>(directory, level < patterns_.size() ? patterns_[level] : mask_));
}

std::string TDirSearch::NextFile(fs::FindData& record) {
  while (!levels_.empty()) {
    TSearchData& top = *levels_.back();
    if (top.Exhausted()) {
      levels_.pop_back();
      if (!levels_.empty()) levels_.back()->Next();
      continue;
    }
    const fs::FindData& entry = top.Entry();
    const bool patternLevel = levels_.size() <= patterns_.size();
    if (patternLevel) {
      if (IsSubDirectory(entry) && IsMatch(top.Mask(), entry.name)) {
        Push(top.Directory() + entry.name);
        continue;
      }
    } else if (IsSubDirectory(entry)) {
      if (recurse_) {
        const std::string directory = top.Directory() + entry.name + "\\";
        record = entry;
        Push(directory);
        return directory;
      }
    } else if (!IsSelfOrParent(entry.name)) {
      // A name without extension is matched with a "." appended, so "*.*" and "*." find it.
      const bool hasExtension = entry.name.find('.') != std::string::npos;
      if (IsMatch(top.Mask(), hasExtension ? entry.name : entry.name + ".")) {
        record = entry;
        std::string name = top.Directory() + entry.name;
        top.Next();
        return name;
      }
    }
    top.Next();
  }
  return {};
}

}  // namespace zip
