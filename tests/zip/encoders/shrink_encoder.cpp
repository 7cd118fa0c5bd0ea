#include "tests/zip/encoders/shrink_encoder.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "tests/zip/encoders/bit_writer.h"

namespace test_encoders {

namespace {

constexpr int kTableSize = 8192;
constexpr int kFirstFreeCode = 257;
constexpr std::uint32_t kControlCode = 256;
constexpr int kFree = -1;

// The decompressor's table as it will stand, kept in step code by code.
class TShrinker {
 public:
  TShrinker() : prefix_(kTableSize, kFree), suffix_(kTableSize) {}

  std::string Run(const std::string& data) {
    if (data.empty()) return {};
    std::uint32_t current = static_cast<std::uint8_t>(data[0]);
    for (std::size_t i = 1; i < data.size(); ++i) {
      const auto byte = static_cast<std::uint8_t>(data[i]);
      const auto found = children_.find(Key(current, byte));
      if (found != children_.end()) {
        current = found->second;
        continue;
      }
      current = EmitAndAdd(current, byte);
    }
    Emit(current);
    return out_.Finish();
  }

  int Clears() const { return clears_; }

 private:
  static std::uint32_t Key(std::uint32_t prefix, std::uint8_t byte) { return prefix << 8 | byte; }

  // Widens the codes (256,1) until code fits.
  void Emit(std::uint32_t code) {
    while (code >> codeSize_ != 0) Emit(kControlCode, 1);
    out_.Write(code, codeSize_);
  }
  void Emit(std::uint32_t control, std::uint32_t command) {
    out_.Write(control, codeSize_);
    out_.Write(command, codeSize_);
    if (command == 1) ++codeSize_;
  }

  // Sends code; the decompressor then adds code + byte. A full table must be cleared right away
  // (decompressors take no code while it is full), and the code the next one is added to must
  // survive the clearing, which frees the leaves: a leaf is sent as its prefix and its last byte
  // starts the next code. Returns the code that goes on with byte.
  std::uint32_t EmitAndAdd(std::uint32_t code, std::uint8_t byte) {
    if (nextFree_ == kTableSize && code > kControlCode && !HasChildren(code)) {
      const std::uint32_t last = suffix_[code];
      EmitAndAdd(static_cast<std::uint32_t>(prefix_[code]), static_cast<std::uint8_t>(last));
      const auto found = children_.find(Key(last, byte));
      if (found != children_.end()) return found->second;
      code = last;
    }
    Emit(code);
    if (nextFree_ == kTableSize) {
      Emit(kControlCode, 2);
      PartialClear();
      ++clears_;
    }
    Add(code, byte);
    return byte;
  }

  void Add(std::uint32_t prefix, std::uint8_t byte) {
    if (nextFree_ == kTableSize) return;
    prefix_[nextFree_] = static_cast<int>(prefix);
    suffix_[nextFree_] = byte;
    children_[Key(prefix, byte)] = static_cast<std::uint32_t>(nextFree_);
    while (nextFree_ < kTableSize && prefix_[nextFree_] != kFree) ++nextFree_;
  }

  bool HasChildren(std::uint32_t code) const {
    for (int c = kFirstFreeCode; c < kTableSize; ++c)
      if (prefix_[c] == static_cast<int>(code)) return true;
    return false;
  }

  void PartialClear() {
    std::vector<bool> isPrefix(kTableSize);
    for (int c = kFirstFreeCode; c < kTableSize; ++c)
      if (prefix_[c] != kFree) isPrefix[prefix_[c]] = true;
    for (int c = kFirstFreeCode; c < kTableSize; ++c) {
      if (isPrefix[c] || prefix_[c] == kFree) continue;
      children_.erase(Key(static_cast<std::uint32_t>(prefix_[c]), suffix_[c]));
      prefix_[c] = kFree;
    }
    nextFree_ = kFirstFreeCode;
    while (nextFree_ < kTableSize && prefix_[nextFree_] != kFree) ++nextFree_;
  }

  std::vector<int> prefix_;
  std::vector<std::uint8_t> suffix_;
  std::unordered_map<std::uint32_t, std::uint32_t> children_;
  int nextFree_ = kFirstFreeCode;
  int codeSize_ = 9;
  int clears_ = 0;
  TBitWriter out_;
};

}  // namespace

std::string Shrink(const std::string& data, int* clears) {
  TShrinker shrinker;
  std::string out = shrinker.Run(data);
  if (clears) *clears = shrinker.Clears();
  return out;
}

}  // namespace test_encoders
