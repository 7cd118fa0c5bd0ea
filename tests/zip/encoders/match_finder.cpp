#include "tests/zip/encoders/match_finder.h"

namespace test_encoders {

namespace {
constexpr std::size_t kNone = static_cast<std::size_t>(-1);
}

TMatchFinder::TMatchFinder(const std::string& data, std::size_t maxDistance, std::size_t maxLength)
    : data_(data),
      maxDistance_(maxDistance),
      maxLength_(maxLength),
      head_(65536, kNone),
      previous_(data.size(), kNone) {}

std::size_t TMatchFinder::Hash(std::size_t position) const {
  return static_cast<unsigned char>(data_[position]) << 8 | static_cast<unsigned char>(data_[position + 1]);
}

TMatch TMatchFinder::FindAndInsert(std::size_t position) {
  TMatch best;
  if (position + 1 < data_.size()) {
    const std::size_t limit = std::min(maxLength_, data_.size() - position);
    std::size_t candidate = head_[Hash(position)];
    for (int chain = 0; candidate != kNone && position - candidate <= maxDistance_ && chain < kMaxChain; ++chain) {
      std::size_t length = 0;
      while (length < limit && data_[candidate + length] == data_[position + length]) ++length;
      if (length > best.length) best = {length, position - candidate};
      candidate = previous_[candidate];
    }
  }
  Insert(position);
  return best;
}

void TMatchFinder::Insert(std::size_t position) {
  if (position + 1 >= data_.size()) return;
  const std::size_t h = Hash(position);
  previous_[position] = head_[h];
  head_[h] = position;
}

}  // namespace test_encoders
