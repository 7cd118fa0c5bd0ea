// The engine's entry lists: TZipHeaderInfo records kept in one of the TZipSortMode orders.
#pragma once

#include "zip/object_list.h"
#include "zip/zip_header_info.h"

namespace zip {

// ByDate puts the newest first, the size modes the largest first, ByRate the least compressed
// first and ByNone archive order (part, then local header offset). The name modes and ByRate let
// equal entries compare equal; ByDate and the size modes never do, so equal entries keep the
// order they were added in.
enum class TZipSortMode { ByName, ByFileName, ByDirectoryName, ByDate, ByCompressedSize, ByUnCompressedSize, ByRate, ByNone };

class TSortedZip : public TSortedObjectList<TZipHeaderInfo> {
 public:
  explicit TSortedZip(TDuplicates duplicates, TZipSortMode sortMode = TZipSortMode::ByNone, bool ownsItems = true)
      : TSortedObjectList(duplicates, ownsItems), sortMode_(sortMode) {}

  TZipSortMode SortMode() const { return sortMode_; }

  int Compare(const TZipHeaderInfo& item, const TZipHeaderInfo& key) const override;

 private:
  TZipSortMode sortMode_;
};

}  // namespace zip
