#include "controls/panels/vis_streams.h"

#include <algorithm>
#include <limits>

#include "controls/panels/vis_lzrw.h"

namespace controls {

using classlib::EReadError;
using classlib::TStream;

void WriteInt(TStream& Stream, std::int32_t Value) {
  const auto v = static_cast<std::uint32_t>(Value);
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                 static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
  Stream.WriteBuffer(bytes, 4);
}

std::int32_t ReadInt(TStream& Stream) {
  std::uint8_t b[4];
  Stream.ReadBuffer(b, 4);
  return static_cast<std::int32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24);
}

void WriteByte(TStream& Stream, std::uint8_t Value) { Stream.WriteBuffer(&Value, 1); }

std::uint8_t ReadByte(TStream& Stream) {
  std::uint8_t value;
  Stream.ReadBuffer(&value, 1);
  return value;
}

void WriteShortStr(TStream& Stream, const std::string& Value) {
  size_t n = std::min<size_t>(Value.size(), 255);
  // Back to the start of the character that the cut would split.
  if (n < Value.size())
    while (n > 0 && (static_cast<unsigned char>(Value[n]) & 0xC0) == 0x80) --n;
  WriteByte(Stream, static_cast<std::uint8_t>(n));
  Stream.WriteBuffer(Value.data(), n);
}

std::string ReadShortStr(TStream& Stream) {
  std::string value(ReadByte(Stream), '\0');
  Stream.ReadBuffer(value.data(), value.size());
  return value;
}

std::int32_t ReadLength(TStream& Stream) {
  const std::int32_t n = ReadInt(Stream);
  if (n < 0 || n > Stream.Remaining()) throw EReadError("Ungültige Blocklänge im Datenstrom");
  return n;
}

void WriteSizedBlock(TStream& Stream, const TVisBytes& Data) {
  if (Data.size() > static_cast<size_t>(std::numeric_limits<std::int32_t>::max()))
    throw classlib::EWriteError("Der Block ist zu groß");
  WriteInt(Stream, static_cast<std::int32_t>(Data.size()));
  Stream.WriteBuffer(Data.data(), Data.size());
}

TVisBytes ReadSizedBlock(TStream& Stream) {
  TVisBytes data(static_cast<size_t>(ReadLength(Stream)));
  Stream.ReadBuffer(data.data(), data.size());
  return data;
}

void WriteCompressedBlocks(TStream& Stream, const TVisBytes& Data) {
  TVisBytes chunks;
  TVisBytes block(LZRWCompressBound(kVisChunkSize));
  for (size_t at = 0; at < Data.size(); at += kVisChunkSize) {
    const size_t n = std::min(kVisChunkSize, Data.size() - at);
    const size_t size = LZRWCompress(Data.data() + at, n, block.data(), block.size());
    for (int shift = 0; shift < 32; shift += 8) chunks.push_back(static_cast<std::uint8_t>(size >> shift));
    chunks.insert(chunks.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(size));
  }
  WriteSizedBlock(Stream, chunks);
}

TVisBytes ReadCompressedBlocks(TStream& Stream) {
  std::int64_t left = ReadLength(Stream);
  TVisBytes data;
  TVisBytes block;
  TVisBytes piece(kVisChunkSize);
  while (left > 0) {
    if (left < 4) throw EReadError("Ungültige Blocklänge im Datenstrom");
    const std::int32_t size = ReadInt(Stream);
    left -= 4;
    // A block holds at least its kind byte and at most the stored form of a whole piece.
    if (size < 1 || size > left || static_cast<size_t>(size) > kVisChunkSize + 1)
      throw EReadError("Ungültige Blocklänge im Datenstrom");
    block.resize(static_cast<size_t>(size));
    Stream.ReadBuffer(block.data(), block.size());
    left -= size;
    const size_t n = LZRWDecompress(block.data(), block.size(), piece.data(), piece.size());
    data.insert(data.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(n));
  }
  return data;
}

void WriteBlock(TStream& Stream, const TVisBytes& Data, bool Compressed) {
  if (Compressed)
    WriteCompressedBlocks(Stream, Data);
  else
    WriteSizedBlock(Stream, Data);
}

TVisBytes ReadBlock(TStream& Stream, bool Compressed) {
  return Compressed ? ReadCompressedBlocks(Stream) : ReadSizedBlock(Stream);
}

void WriteStrings(TStream& Stream, const classlib::TStringList& List, bool Compressed) {
  const std::string text = List.Text();
  WriteBlock(Stream, TVisBytes(text.begin(), text.end()), Compressed);
}

void ReadStrings(TStream& Stream, classlib::TStringList& List, bool Compressed) {
  const TVisBytes text = ReadBlock(Stream, Compressed);
  List.SetText(std::string(text.begin(), text.end()));
}

}  // namespace controls
