#include <gtest/gtest.h>

#include "classlib/format.h"
#include "classlib/text.h"

using namespace classlib;

TEST(Text, FoldsOnlyAsciiLetters) {
  EXPECT_EQ(LowerAscii("ÄBC.Txt"), "Äbc.txt");
  EXPECT_TRUE(SameTextAscii("README.TXT", "readme.txt"));
  EXPECT_FALSE(SameTextAscii("Ärger", "ärger"));
}

TEST(Text, Utf8DecodesAndEncodes) {
  const std::string s = "Prüfung äöüß 😀";
  const std::u32string cps = DecodeUtf8(s);
  EXPECT_EQ(cps.size(), 14u);
  EXPECT_EQ(cps[2], U'ü');
  EXPECT_EQ(cps.back(), U'\U0001F600');
  EXPECT_EQ(EncodeUtf8(cps), s);
}

TEST(Text, BrokenUtf8NeverFails) {
  const std::u32string cps = DecodeUtf8("a\xFF" "b\xC3");
  EXPECT_EQ(cps, (std::u32string{U'a', 0xDCFF, U'b', 0xDCC3}));
  EXPECT_EQ(DecodeUtf8("\xC0\x80"), (std::u32string{0xDCC0, 0xDC80}));  // overlong
}

TEST(Text, FormatsLikePrintf) {
  EXPECT_EQ(Format("Index %d is out of range", -1), "Index -1 is out of range");
  EXPECT_EQ(Format("%s", ""), "");
}
