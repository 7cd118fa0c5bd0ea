#include "zip/unshrink.h"

#include <algorithm>
#include <cstdint>

#include "zip/bit_reader.h"
#include "zip/decoder_memory.h"

namespace zip {

namespace {

constexpr int kTableSize = 8192;
constexpr int kFirstCodeSize = 9;
constexpr int kMaxCodeSize = 13;
constexpr std::uint32_t kControlCode = 256;
constexpr std::uint32_t kWiden = 1;
constexpr std::uint32_t kPartialClear = 2;
constexpr int kFirstFreeCode = 257;
constexpr std::int16_t kFree = -1;

class TShrinkTable {
 public:
  TShrinkTable() : prefix_(kTableSize, kFree), suffix_(kTableSize), stack_(kTableSize), isPrefix_(kTableSize) {
    for (int c = 0; c < 256; ++c) {
      prefix_[c] = 0;
      suffix_[c] = static_cast<std::uint8_t>(c);
    }
  }

  // Puts the bytes of code on the stack and returns them; a free code stands for the old code's
  // bytes followed by the first of them (the code the compressor has just made). Empty when the
  // chain does not end within the stack, which only damaged data can cause.
  bool Expand(std::uint32_t code, std::uint32_t oldCode, const std::uint8_t*& bytes, int& length) {
    int top = kTableSize;
    while (code >= kControlCode) {
      if (top == 0) return false;
      if (prefix_[code] == kFree) {
        stack_[--top] = first_;
        code = oldCode;
      } else {
        stack_[--top] = suffix_[code];
        code = static_cast<std::uint32_t>(prefix_[code]);
      }
    }
    if (top == 0) return false;
    first_ = static_cast<std::uint8_t>(code);
    stack_[--top] = first_;
    bytes = stack_.data() + top;
    length = kTableSize - top;
    return true;
  }

  // The old code followed by the first byte of the code just expanded becomes the next free code.
  void Add(std::uint32_t oldCode) {
    if (nextFree_ >= kTableSize) return;
    prefix_[nextFree_] = static_cast<std::int16_t>(oldCode);
    suffix_[nextFree_] = first_;
    FindNextFree(nextFree_ + 1);
  }

  // Frees every code below the next free one that is no code's prefix.
  void PartialClear() {
    std::fill(isPrefix_.begin(), isPrefix_.end(), false);
    for (int c = kFirstFreeCode; c < kTableSize; ++c)
      if (prefix_[c] != kFree) isPrefix_[prefix_[c]] = true;
    for (int c = kFirstFreeCode; c < nextFree_; ++c)
      if (!isPrefix_[c]) prefix_[c] = kFree;
    FindNextFree(kFirstFreeCode);
  }

  void SetFirst(std::uint8_t byte) { first_ = byte; }

 private:
  void FindNextFree(int from) {
    nextFree_ = from;
    while (nextFree_ < kTableSize && prefix_[nextFree_] != kFree) ++nextFree_;
  }

  TDecoderVector<std::int16_t> prefix_;
  TDecoderVector<std::uint8_t> suffix_;
  TDecoderVector<std::uint8_t> stack_;
  TDecoderVector<bool> isPrefix_;  // the partial clear's work
  std::uint8_t first_ = 0;  // first byte of the last code expanded
  int nextFree_ = kFirstFreeCode;
};

}  // namespace

TDecodeResult Unshrink(TEntryInput& input, TEntryOutput& output) {
  TBitReader bits(input);
  TShrinkTable table;
  int codeSize = kFirstCodeSize;

  std::uint32_t oldCode;
  if (!bits.ReadBits(codeSize, oldCode)) return TDecodeResult::kComplete;  // no data at all
  if (oldCode >= kControlCode) return TDecodeResult::kDamaged;
  table.SetFirst(static_cast<std::uint8_t>(oldCode));
  output.OutByte(static_cast<std::uint8_t>(oldCode));

  std::uint32_t code;
  while (bits.ReadBits(codeSize, code)) {
    if (code == kControlCode) {
      std::uint32_t command;
      if (!bits.ReadBits(codeSize, command)) return TDecodeResult::kDamaged;
      if (command == kWiden) {
        if (codeSize == kMaxCodeSize) return TDecodeResult::kDamaged;
        ++codeSize;
      } else if (command == kPartialClear) {
        table.PartialClear();
      }
      continue;
    }
    const std::uint8_t* bytes;
    int length;
    if (!table.Expand(code, oldCode, bytes, length)) return TDecodeResult::kDamaged;
    output.OutBytes(bytes, static_cast<std::size_t>(length));
    table.Add(oldCode);
    oldCode = code;
  }
  return TDecodeResult::kComplete;
}

}  // namespace zip
