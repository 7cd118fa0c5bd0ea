// The pieces of the pack's binary stream formats. Integers are 32-bit little-endian; a short
// string is a length byte and at most 255 bytes; a sized block is an int32 length and that many
// bytes; a compressed block sequence is an int32 total T of the bytes that follow, then chunks of
// an int32 length and one compressed block each, every block from at most 32781 input bytes.
// Every length read is checked against what the stream still holds, so a damaged stream raises
// classlib::EReadError (or EVisLZRWError for a damaged block) and never reads past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "classlib/streams.h"
#include "classlib/stringlist.h"

namespace controls {

using TVisBytes = std::vector<std::uint8_t>;

// Input bytes per compressed block.
constexpr size_t kVisChunkSize = 32781;

void WriteInt(classlib::TStream& Stream, std::int32_t Value);
std::int32_t ReadInt(classlib::TStream& Stream);
void WriteByte(classlib::TStream& Stream, std::uint8_t Value);
std::uint8_t ReadByte(classlib::TStream& Stream);
// Texts are UTF-8; a longer one is cut to the last whole character within 255 bytes.
void WriteShortStr(classlib::TStream& Stream, const std::string& Value);
std::string ReadShortStr(classlib::TStream& Stream);

// An int32 length read from the stream, refused unless 0 <= n <= the bytes left.
std::int32_t ReadLength(classlib::TStream& Stream);

void WriteSizedBlock(classlib::TStream& Stream, const TVisBytes& Data);
TVisBytes ReadSizedBlock(classlib::TStream& Stream);
void WriteCompressedBlocks(classlib::TStream& Stream, const TVisBytes& Data);
TVisBytes ReadCompressedBlocks(classlib::TStream& Stream);
// One of the two above, as Compressed says.
void WriteBlock(classlib::TStream& Stream, const TVisBytes& Data, bool Compressed);
TVisBytes ReadBlock(classlib::TStream& Stream, bool Compressed);

// The list's text form (each line ended by CR LF) as a block.
void WriteStrings(classlib::TStream& Stream, const classlib::TStringList& List, bool Compressed);
void ReadStrings(classlib::TStream& Stream, classlib::TStringList& List, bool Compressed);

}  // namespace controls
