// The end-of-central-directory record with the archive comment.
#pragma once

#include <cstdint>
#include <string>

#include "zip/streams.h"

namespace zip {

class TEndCentral {
 public:
  TEndCentral() { Reset(); }

  void Reset();
  void Assign(const TEndCentral& source);
  void AssignTo(TEndCentral& target) const { target.Assign(*this); }

  std::uint32_t Signature;
  std::uint16_t ThisDisk;
  std::uint16_t DirectoryDisk;
  std::uint16_t EntriesOnThisDisk;
  std::uint16_t TotalEntries;
  std::uint32_t DirectorySize;
  std::uint32_t DirectoryOffset;
  std::uint16_t CommentLength;
  std::int64_t CommentOffset;  // file position of the comment: the record + 22
  bool CommentsChanged;

  // The comment is held only once loaded or set; CommentLength may be non-zero before that.
  bool CommentLoaded() const { return commentLoaded_; }
  const std::string& Comment() const { return comment_; }
  void SetComment(const std::string& value);
  bool HasComment() const { return CommentLength != 0; }
  std::int64_t RecordSize() const { return 22 + CommentLength; }

  // The 22 fixed bytes, then the comment when it is held.
  void SaveEndCentral(THugeStream& stream);
  // Looks for the record in the last 65,557 bytes, nearest the end winning. An empty stream is an
  // empty archive. The comment is not read; its length is cut to the bytes the file holds.
  bool FindEndCentral(THugeStream& stream);

 private:
  std::string comment_;
  bool commentLoaded_ = false;
};

}  // namespace zip
