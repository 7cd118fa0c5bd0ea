// The directory walk that expands wildcard file specifications: files below a start path whose
// names match a mask, optionally recursing, with wildcards allowed in the directory part.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "zip/fs.h"

namespace zip {

// One directory being listed: every entry of it, in the host's order.
class TSearchData {
 public:
  TSearchData(const std::string& directory, const std::string& mask);
  ~TSearchData();
  TSearchData(const TSearchData&) = delete;
  TSearchData& operator=(const TSearchData&) = delete;

  // Moves to the next entry when there is one.
  void Next();
  bool Exhausted() const { return !found_; }

  const std::string& Directory() const { return directory_; }
  const std::string& Mask() const { return mask_; }
  const fs::FindData& Entry() const { return entry_; }

 private:
  std::string directory_;  // ends in "\" unless it names the current directory
  std::string mask_;
  fs::FindData entry_;
  fs::FindHandle handle_;
  bool found_;
};

class TDirSearch {
 public:
  // startPath may hold wildcards in its directory part, such as "C:\data\*\logs\".
  TDirSearch(const std::string& startPath, bool recurse, const std::string& mask);

  // The next matching file as directory + name, with its entry in record; when recursing each
  // directory comes once, as its path + "\", before its contents. Empty when the walk is done.
  std::string NextFile(fs::FindData& record);

 private:
  void Push(const std::string& directory);

  // Grows with the tree, so no folder is too deep to be found.
  std::vector<std::unique_ptr<TSearchData>> levels_;
  std::string mask_;
  bool recurse_;
  // Level i < patterns_.size() lists the sub-directories that match patterns_[i].
  std::vector<std::string> patterns_;
};

}  // namespace zip
