#include "zip/end_central.h"

#include <algorithm>
#include <vector>

#include "zip/zip_records.h"

namespace zip {

void TEndCentral::Reset() {
  Signature = EndSignature();
  ThisDisk = 0;
  DirectoryDisk = 0;
  EntriesOnThisDisk = 0;
  TotalEntries = 0;
  DirectorySize = 0;
  DirectoryOffset = 0;
  CommentLength = 0;
  comment_.clear();
  commentLoaded_ = false;
  CommentOffset = 0;
  CommentsChanged = false;
}

void TEndCentral::Assign(const TEndCentral& source) {
  if (&source == this) return;
  Signature = source.Signature;
  ThisDisk = source.ThisDisk;
  DirectoryDisk = source.DirectoryDisk;
  EntriesOnThisDisk = source.EntriesOnThisDisk;
  TotalEntries = source.TotalEntries;
  DirectorySize = source.DirectorySize;
  DirectoryOffset = source.DirectoryOffset;
  CommentLength = source.CommentLength;
  if (source.commentLoaded_) {
    SetComment(source.comment_);
  } else {
    comment_.clear();
    commentLoaded_ = false;
  }
  CommentOffset = source.CommentOffset;
}

void TEndCentral::SetComment(const std::string& value) {
  comment_ = value.substr(0, kMaxCommentLength);
  commentLoaded_ = true;
  CommentLength = static_cast<std::uint16_t>(comment_.size());
}

void TEndCentral::SaveEndCentral(THugeStream& stream) {
  std::uint8_t r[kEndRecordSize];
  Put32(r, Signature);
  Put16(r + 4, ThisDisk);
  Put16(r + 6, DirectoryDisk);
  Put16(r + 8, EntriesOnThisDisk);
  Put16(r + 10, TotalEntries);
  Put32(r + 12, DirectorySize);
  Put32(r + 16, DirectoryOffset);
  Put16(r + 20, CommentLength);
  stream.WriteBuffer(r, kEndRecordSize);
  if (CommentLength != 0 && commentLoaded_)
    stream.WriteBuffer(comment_.data(), static_cast<std::int64_t>(comment_.size()));
}

bool TEndCentral::FindEndCentral(THugeStream& stream) {
  const std::int64_t size = stream.Size();
  if (size < kEndRecordSize) return size == 0;
  const std::int64_t n = std::min<std::int64_t>(kMaxCommentLength + kEndRecordSize, size);
  std::vector<std::uint8_t> tail(static_cast<std::size_t>(n));
  const std::int64_t here = stream.Position();
  stream.SetPosition(size - n);
  const bool complete = stream.Read(tail.data(), n) == n;
  stream.SetPosition(here);
  if (!complete) return false;
  const std::uint8_t first = EndSignatureFirstByte();
  for (std::int64_t i = n - kEndRecordSize; i >= 0; --i) {
    const std::uint8_t* r = &tail[static_cast<std::size_t>(i)];
    if (r[0] != first || Get32(r) != EndSignature()) continue;
    ThisDisk = Get16(r + 4);
    DirectoryDisk = Get16(r + 6);
    EntriesOnThisDisk = Get16(r + 8);
    TotalEntries = Get16(r + 10);
    DirectorySize = Get32(r + 12);
    DirectoryOffset = Get32(r + 16);
    CommentOffset = size - n + i + kEndRecordSize;
    // A length past the end of the file would make the comment read run off it.
    CommentLength = static_cast<std::uint16_t>(std::min<std::int64_t>(Get16(r + 20), size - CommentOffset));
    return true;
  }
  return false;
}

}  // namespace zip
