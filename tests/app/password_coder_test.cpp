#include <gtest/gtest.h>

#include "app/password_coder.h"

using app::Coder;
using app::Decoder;
using app::kPasswordKey;

// Computed outside this code base: the key-stream rule in a few lines of Python, then its base64.
TEST(PasswordCoder, KnownVectors) {
  const std::pair<std::string, std::string> vectors[] = {
      {"a", "Hw=="},
      {"ab", "Hyw="},
      {"abc", "Hywj"},
      {"Geheim", "OUavIuit"},
      {"Passwort123!", "LtTZPNKKUBv/SzyV"},
      {"Pr\xFC" "fung \xE4\xF6\xFC\xDF", "Lse8QPtaRNF5m3OM"},
  };
  for (const auto& [plain, stored] : vectors) {
    EXPECT_EQ(Coder(plain, kPasswordKey), stored);
    EXPECT_EQ(Decoder(stored, kPasswordKey), plain);
  }
}

TEST(PasswordCoder, RoundTripsEveryByteAtEveryLengthUpTo31) {
  for (int first = 0; first < 256; ++first) {
    for (size_t length = 0; length <= 31; ++length) {
      std::string plain;
      for (size_t i = 0; i < length; ++i) plain.push_back(static_cast<char>((first + i * 37) & 0xFF));
      const std::string stored = Coder(plain, kPasswordKey);
      ASSERT_EQ(stored.size(), (length + 2) / 3 * 4);
      ASSERT_EQ(Decoder(stored, kPasswordKey), plain) << "first byte " << first << ", length " << length;
    }
  }
}

TEST(PasswordCoder, PaddingFollowsTheLastGroup) {
  EXPECT_EQ(Coder("x", kPasswordKey).substr(2), "==");
  EXPECT_EQ(Coder("xy", kPasswordKey).substr(3), "=");
  EXPECT_EQ(Coder("xyz", kPasswordKey).find('='), std::string::npos);
  EXPECT_EQ(Coder("Geheim", kPasswordKey), Coder("Geheim", kPasswordKey));  // no salt
}

TEST(PasswordCoder, DecoderToleratesOddInput) {
  EXPECT_EQ(Decoder("", kPasswordKey), "");
  EXPECT_EQ(Decoder("Hw", kPasswordKey).size(), 3u);  // a short group reads as if padded with strangers, not "="
  EXPECT_EQ(Decoder("Hw==", kPasswordKey), "a");
  EXPECT_EQ(Decoder("====", kPasswordKey), "");
  EXPECT_EQ(Decoder(std::string(400, 'A'), kPasswordKey).size(), 255u);
}
