// The pack's block compressor. One block holds at most 65535 input bytes: byte 0 is 0x40
// (compressed) or 0x80 (stored: the input follows unchanged). A compressed block is groups of a
// 16-bit control word (high byte first, read from the top bit, one bit per item) and up to 16
// items: bit 0 a literal byte; bit 1 a copy of 3-18 bytes from 1-4095 bytes back (2 bytes:
// offset in the first 12 bits, length - 3 in the last 4) or, with offset 0, a run of 16-4111
// equal bytes (4 bytes: 0, count - 16 in 12 bits, the byte).
#pragma once

#include <cstddef>
#include <cstdint>

#include "classlib/exceptions.h"

namespace controls {

// A block that cannot be decompressed, or a call outside the format's limits.
CLASSLIB_EXCEPTION(EVisLZRWError, classlib::Exception);

constexpr size_t kLZRWMaxInput = 65535;

// Room the compressor needs for Count input bytes: it may write one item and a control word past
// the input size before it falls back to the stored form.
constexpr size_t LZRWCompressBound(size_t Count) { return Count + 6; }

// Compresses Count bytes into Dest (at least LZRWCompressBound(Count) bytes); returns the block's
// size, never more than Count + 1.
size_t LZRWCompress(const std::uint8_t* Source, size_t Count, std::uint8_t* Dest, size_t DestCapacity);

// Decompresses a block of Size bytes into Dest; returns the number of bytes written. A block
// that is damaged or would not fit into DestCapacity raises EVisLZRWError.
size_t LZRWDecompress(const std::uint8_t* Source, size_t Size, std::uint8_t* Dest, size_t DestCapacity);

}  // namespace controls
