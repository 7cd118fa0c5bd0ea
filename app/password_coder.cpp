#include "app/password_coder.h"

#include "app/base64.h"

namespace app {
namespace {

constexpr std::uint16_t kMultiplier = 0x7E51;
constexpr std::uint16_t kIncrement = 0x2D58;

std::uint16_t NextKey(std::uint8_t scrambled, std::uint16_t key) {
  return static_cast<std::uint16_t>((scrambled + key) * kMultiplier + kIncrement);
}

}  // namespace

std::string Coder(const std::string& password, std::uint16_t key) {
  std::string scrambled;
  for (unsigned char b : password) {
    const auto c = static_cast<std::uint8_t>(b ^ (key >> 8));
    scrambled.push_back(static_cast<char>(c));
    key = NextKey(c, key);
  }
  std::string stored;
  for (size_t i = 0; i < scrambled.size(); i += 3) {
    std::uint8_t group[3] = {0, 0, 0};
    const int count = static_cast<int>(scrambled.size() - i < 3 ? scrambled.size() - i : 3);
    for (int k = 0; k < count; ++k) group[k] = static_cast<std::uint8_t>(scrambled[i + static_cast<size_t>(k)]);
    const auto chars = base64::EncodeGroup(group, count);
    stored.append(chars.data(), chars.size());
  }
  return stored;
}

std::string Decoder(const std::string& stored, std::uint16_t key) {
  std::string password;
  for (size_t i = 0; i < stored.size(); i += 4) {
    char chars[4] = {0, 0, 0, 0};  // a short last group reads as characters outside the table
    for (size_t k = 0; k < 4 && i + k < stored.size(); ++k) chars[k] = stored[i + k];
    std::uint8_t bytes[3];
    const int count = base64::DecodeGroup(chars, bytes);
    for (int k = 0; k < count && password.size() < 255; ++k) {
      password.push_back(static_cast<char>(bytes[k] ^ (key >> 8)));
      key = NextKey(bytes[k], key);
    }
  }
  return password;
}

}  // namespace app
