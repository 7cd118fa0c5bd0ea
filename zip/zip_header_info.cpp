#include "zip/zip_header_info.h"

#include <algorithm>

#include "classlib/text.h"
#include "zip/dos_date.h"
#include "zip/oem.h"
#include "zip/zip_records.h"

namespace zip {

namespace {

bool HasNonAscii(const std::string& s) {
  return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Reads up to count bytes; a failing stream counts as delivering nothing.
std::int64_t ReadSome(THugeStream& stream, void* buffer, std::int64_t count) {
  return std::max<std::int64_t>(0, stream.Read(buffer, count));
}

bool ReadName(THugeStream& stream, std::uint16_t length, std::string& name) {
  name.assign(length, '\0');
  return ReadSome(stream, &name[0], length) == length;
}

}  // namespace

void TZipHeaderInfo::Reset() {
  VersionMadeBy = 20;
  VersionNeeded = 20;
  Flags = 0;
  CompressionMethod = 8;
  DateTime = 0;
  CRC32 = 0xFFFFFFFF;
  CompressedSize = 0;
  UncompressedSize = 0;
  FileNameLength = 0;
  CentralExtraLength = 0;
  LocalExtraLength = 0;
  CommentLength = 0;
  DiskNumberStart = 0;
  InternalAttributes = 1;
  ExternalAttributes = 32;
  LocalHeaderOffset = 0;
  CentralRecordOffset = 0;
  fileName_.clear();
  directory_.clear();
  ClearComment();
  ProcessFlag = 0;
  Status = 0;
  Selected = false;
  Overlaps = false;
  RegionEnd = -1;
  oem_ = false;
}

void TZipHeaderInfo::Assign(const TZipHeaderInfo& source) {
  if (&source == this) return;
  VersionMadeBy = source.VersionMadeBy;
  VersionNeeded = source.VersionNeeded;
  Flags = source.Flags;
  CompressionMethod = source.CompressionMethod;
  DateTime = source.DateTime;
  CRC32 = source.CRC32;
  CompressedSize = source.CompressedSize;
  UncompressedSize = source.UncompressedSize;
  CentralExtraLength = source.CentralExtraLength;
  LocalExtraLength = source.LocalExtraLength;
  DiskNumberStart = source.DiskNumberStart;
  InternalAttributes = source.InternalAttributes;
  ExternalAttributes = source.ExternalAttributes;
  LocalHeaderOffset = source.LocalHeaderOffset;
  CentralRecordOffset = source.CentralRecordOffset;
  ProcessFlag = source.ProcessFlag;
  Status = source.Status;
  Selected = source.Selected;
  Overlaps = source.Overlaps;
  RegionEnd = source.RegionEnd;
  SetFileName(source.fileName_);
  SetDirectory(source.directory_);
  if (source.HasComment() && source.commentLoaded_) {
    SetComment(source.comment_);
  } else {
    ClearComment();
    CommentLength = source.CommentLength;
  }
}

void TZipHeaderInfo::SetFileName(const std::string& value) {
  if (value == fileName_) return;
  fileName_ = value;
  UpdateNameLength();
}

void TZipHeaderInfo::SetDirectory(const std::string& value) {
  const std::string withSlash = value.empty() || value.back() == '\\' ? value : value + '\\';
  if (withSlash == directory_) return;
  directory_ = withSlash;
  UpdateNameLength();
}

void TZipHeaderInfo::SetOEMConvert(bool value) {
  oem_ = value;
  UpdateNameLength();
}

void TZipHeaderInfo::SetComment(const std::string& value) {
  comment_ = value.substr(0, kMaxCommentLength);
  commentLoaded_ = true;
  CommentLength = static_cast<std::uint16_t>(comment_.size());
}

void TZipHeaderInfo::ClearComment() {
  comment_.clear();
  commentLoaded_ = false;
  CommentLength = 0;
}

bool TZipHeaderInfo::EncodeName(std::string& bytes) const {
  std::string path = Path();
  std::replace(path.begin(), path.end(), '\\', '/');
  if (oem_ && TryToOem(path, bytes)) return false;
  // Not representable in OEM (or OEM not wanted): UTF-8, marked as such for every reader. Bytes of
  // a foreign host's name that are no UTF-8 go back unmarked, as they came.
  bytes = path;
  return HasNonAscii(bytes) && classlib::EncodeUtf8(classlib::DecodeUtf8(bytes)) == bytes;
}

void TZipHeaderInfo::UpdateNameLength() {
  std::string bytes;
  EncodeName(bytes);
  FileNameLength = static_cast<std::uint16_t>(bytes.size());
}

void TZipHeaderInfo::SetStoredName(const std::string& stored, bool fromOem) {
  std::string name = (Flags & kFlagUtf8Name) ? stored : fromOem ? FromOem(stored) : stored;
  std::replace(name.begin(), name.end(), '/', '\\');
  const std::size_t cut = name.rfind('\\');
  directory_ = cut == std::string::npos ? std::string() : name.substr(0, cut + 1);
  fileName_ = cut == std::string::npos ? name : name.substr(cut + 1);
}

std::string TZipHeaderInfo::PrepareNameForWriting() {
  std::string name;
  Flags = static_cast<std::uint16_t>(EncodeName(name) ? Flags | kFlagUtf8Name : Flags & ~kFlagUtf8Name);
  FileNameLength = static_cast<std::uint16_t>(name.size());
  return name;
}

void TZipHeaderInfo::SaveLocalToStream(THugeStream& stream) {
  LocalHeaderOffset = static_cast<std::uint32_t>(stream.Position());
  const std::string name = PrepareNameForWriting();
  std::uint8_t h[kLocalHeaderSize];
  Put32(h, LocalSignature());
  Put16(h + 4, VersionNeeded);
  Put16(h + 6, Flags);
  Put16(h + 8, CompressionMethod);
  Put32(h + 10, DateTime);
  Put32(h + 14, CRC32);
  Put32(h + 18, CompressedSize);
  Put32(h + 22, UncompressedSize);
  Put16(h + 26, FileNameLength);
  Put16(h + 28, LocalExtraLength);
  stream.WriteBuffer(h, kLocalHeaderSize);
  stream.WriteBuffer(name.data(), static_cast<std::int64_t>(name.size()));
}

void TZipHeaderInfo::SaveCentralToStream(THugeStream& stream, const std::string& extraField) {
  const std::string name = PrepareNameForWriting();
  CentralExtraLength = static_cast<std::uint16_t>(extraField.size());
  std::uint8_t h[kCentralRecordSize];
  Put32(h, CentralSignature());
  Put16(h + 4, VersionMadeBy);
  Put16(h + 6, VersionNeeded);
  Put16(h + 8, Flags);
  Put16(h + 10, CompressionMethod);
  Put32(h + 12, DateTime);
  Put32(h + 16, CRC32);
  Put32(h + 20, CompressedSize);
  Put32(h + 24, UncompressedSize);
  Put16(h + 28, FileNameLength);
  Put16(h + 30, CentralExtraLength);
  Put16(h + 32, CommentLength);
  Put16(h + 34, DiskNumberStart);
  Put16(h + 36, InternalAttributes);
  Put32(h + 38, ExternalAttributes);
  Put32(h + 42, LocalHeaderOffset);
  stream.WriteBuffer(h, kCentralRecordSize);
  stream.WriteBuffer(name.data(), static_cast<std::int64_t>(name.size()));
  stream.WriteBuffer(extraField.data(), static_cast<std::int64_t>(extraField.size()));
  if (commentLoaded_) stream.WriteBuffer(comment_.data(), static_cast<std::int64_t>(comment_.size()));
}

bool TZipHeaderInfo::ReadLocalFromStream(THugeStream& stream) {
  const std::int64_t start = stream.Position();
  std::uint8_t h[kLocalHeaderSize];
  std::string stored;
  if (ReadSome(stream, h, kLocalHeaderSize) != kLocalHeaderSize || Get32(h) != LocalSignature() ||
      !ReadName(stream, Get16(h + 26), stored)) {
    stream.SetPosition(start);
    return false;
  }
  VersionMadeBy = 0;
  VersionNeeded = Get16(h + 4);
  Flags = Get16(h + 6);
  CompressionMethod = Get16(h + 8);
  DateTime = RepairDosDate(Get32(h + 10));
  CRC32 = Get32(h + 14);
  CompressedSize = Get32(h + 18);
  UncompressedSize = Get32(h + 22);
  FileNameLength = Get16(h + 26);
  LocalExtraLength = Get16(h + 28);
  ClearComment();
  DiskNumberStart = 0;
  InternalAttributes = 0;
  ExternalAttributes = 0;
  CentralRecordOffset = 0;
  ProcessFlag = 0;
  Selected = false;
  LocalHeaderOffset = static_cast<std::uint32_t>(start);
  SetStoredName(stored, oem_);
  return true;
}

bool TZipHeaderInfo::ReadCentralFromStream(THugeStream& stream) {
  THugeStream* s = &stream;
  return ReadCentralFromStream(s, {});
}

bool TZipHeaderInfo::ReadCentralFromStream(THugeStream*& stream, const NextPartCallback& nextPart) {
  std::int64_t start = stream->Position();
  std::uint8_t h[kCentralRecordSize];
  std::int64_t got = ReadSome(*stream, h, kCentralRecordSize);
  const bool cutByPartEnd = got == 0 || (got >= 4 && Get32(h) == CentralSignature());
  if (got < kCentralRecordSize && cutByPartEnd && nextPart) {
    if (THugeStream* next = nextPart()) {
      stream = next;
      // A record that starts at the new part's beginning is found there again later.
      const std::int64_t resumeAt = stream->Position();
      if (got == 0) start = resumeAt;
      got += ReadSome(*stream, h + got, kCentralRecordSize - got);
      if (got < kCentralRecordSize) start = resumeAt;
    }
  }
  std::string stored;
  if (got != kCentralRecordSize || Get32(h) != CentralSignature() || !ReadName(*stream, Get16(h + 28), stored)) {
    stream->SetPosition(start);
    return false;
  }
  VersionMadeBy = Get16(h + 4);
  VersionNeeded = Get16(h + 6);
  Flags = Get16(h + 8);
  CompressionMethod = Get16(h + 10);
  DateTime = RepairDosDate(Get32(h + 12));
  CRC32 = Get32(h + 16);
  CompressedSize = Get32(h + 20);
  UncompressedSize = Get32(h + 24);
  FileNameLength = Get16(h + 28);
  CentralExtraLength = Get16(h + 30);
  ClearComment();
  CommentLength = Get16(h + 32);
  DiskNumberStart = Get16(h + 34);
  InternalAttributes = Get16(h + 36);
  ExternalAttributes = Get32(h + 38);
  LocalHeaderOffset = Get32(h + 42);
  ProcessFlag = 0;
  Selected = false;
  CentralRecordOffset = static_cast<std::uint32_t>(start);
  SetStoredName(stored, oem_ && (VersionMadeBy >> 8) == 0);
  return true;
}

}  // namespace zip
