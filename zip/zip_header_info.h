// One archive entry as the engine carries it between its headers and its lists. Names are UTF-8
// inside, with "\" as the directory separator; the headers hold OEM bytes or, for a name the OEM
// code page cannot hold, UTF-8 marked by flag bit 11.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "zip/streams.h"

namespace zip {

// Closes the current part, opens the next and returns its stream; nullptr when there is none.
using NextPartCallback = std::function<THugeStream*()>;

class TZipHeaderInfo {
 public:
  TZipHeaderInfo() { Reset(); }

  void Reset();
  // Copies every field but the OEM flag; the name length follows the target's OEM flag.
  void Assign(const TZipHeaderInfo& source);
  void AssignTo(TZipHeaderInfo& target) const { target.Assign(*this); }

  std::uint16_t VersionMadeBy;
  std::uint16_t VersionNeeded;
  std::uint16_t Flags;
  std::uint16_t CompressionMethod;
  std::uint32_t DateTime;
  std::uint32_t CRC32;
  std::uint32_t CompressedSize;
  std::uint32_t UncompressedSize;
  // Byte length of the encoded name (directory + file name) as stored in the headers.
  std::uint16_t FileNameLength;
  std::uint16_t CentralExtraLength;
  std::uint16_t LocalExtraLength;
  std::uint16_t CommentLength;
  std::uint16_t DiskNumberStart;
  std::uint16_t InternalAttributes;
  std::uint32_t ExternalAttributes;
  std::uint32_t LocalHeaderOffset;
  std::uint32_t CentralRecordOffset;
  std::uint8_t ProcessFlag;
  std::uint8_t Status;  // kDropOnRewrite: leave the entry out when the archive is rewritten
  bool Selected;
  // Set when the directory is read. Overlaps: the local header lies in the central directory, or
  // its data cannot fit before what follows it; never extracted.
  // RegionEnd: the position in its part its header and data must end by; -1 for no limit.
  bool Overlaps;
  std::int64_t RegionEnd;

  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& value);
  const std::string& Directory() const { return directory_; }
  // A non-empty value gets a trailing "\".
  void SetDirectory(const std::string& value);
  std::string Path() const { return directory_ + fileName_; }

  bool OEMConvert() const { return oem_; }
  void SetOEMConvert(bool value);

  // The comment is held only once loaded or set; CommentLength may be non-zero before that.
  bool CommentLoaded() const { return commentLoaded_; }
  const std::string& Comment() const { return comment_; }
  void SetComment(const std::string& value);
  void ClearComment();
  bool HasComment() const { return CommentLength != 0; }

  bool Encrypted() const { return (Flags & 0x0001) != 0; }
  bool HasDescriptor() const { return (Flags & 0x0008) != 0; }
  std::int64_t LocalSize() const { return 30 + FileNameLength + LocalExtraLength; }
  std::int64_t CentralSize() const { return 46 + FileNameLength + CentralExtraLength + CommentLength; }

  // Sets LocalHeaderOffset to the stream position, then writes the 30 fixed bytes and the name.
  void SaveLocalToStream(THugeStream& stream);
  // Writes the 46 fixed bytes, the name, the given extra field (copied from the archive being
  // updated; CentralExtraLength follows it) and the comment when one is held. A comment counted
  // in CommentLength but not loaded is the caller's to copy right after.
  void SaveCentralToStream(THugeStream& stream, const std::string& extraField = {});

  // False for missing or damaged data, with the stream back where it was; on success the stream
  // stands just behind the name.
  bool ReadLocalFromStream(THugeStream& stream);
  // A record cut short by the end of a part is completed from the next part through nextPart,
  // which replaces stream.
  bool ReadCentralFromStream(THugeStream*& stream, const NextPartCallback& nextPart);
  bool ReadCentralFromStream(THugeStream& stream);

  static constexpr std::uint8_t kDropOnRewrite = 2;

 private:
  void UpdateNameLength();
  void SetStoredName(const std::string& stored, bool fromOem);
  bool EncodeName(std::string& bytes) const;
  // Encodes the name and sets flag bit 11 and FileNameLength to match what is written.
  std::string PrepareNameForWriting();

  std::string fileName_;
  std::string directory_;
  std::string comment_;
  bool commentLoaded_ = false;
  bool oem_ = false;
};

}  // namespace zip
