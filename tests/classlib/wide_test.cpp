#include <windows.h>

#include <gtest/gtest.h>

#include "classlib/wide.h"

using namespace classlib;

TEST(Wide, RoundTripsNamesBeyondTheAnsiCodePage) {
  for (const std::string s : {"", "plain.txt", "Prüfung äöüß.txt", "Ωμέγα 日本 😀.dat"}) {
    EXPECT_EQ(Narrow(Widen(s)), s);
  }
  EXPECT_EQ(Widen("😀"), std::wstring(L"\xD83D\xDE00"));
}

TEST(Wide, UnpairedSurrogatesSurvive) {
  const std::wstring odd = L"a\xD800" L"b\xDC01";
  EXPECT_EQ(Widen(Narrow(odd)), odd);
}

TEST(Wide, CodePagesRefuseWhatTheyCannotHold) {
  std::string bytes;
  ASSERT_TRUE(TryToCodePage("Grüße", 1252, bytes));
  EXPECT_EQ(bytes, "Gr\xFC\xDF" "e");
  EXPECT_EQ(FromCodePage(bytes, 1252), "Grüße");
  EXPECT_FALSE(TryToCodePage("Ωmega", 1252, bytes));
  ASSERT_TRUE(TryToCodePage("ä", 850, bytes));
  EXPECT_EQ(bytes, "\x84");
  EXPECT_EQ(ToCodePage("Ωmega Größe", 1252), "?mega Gr\xF6\xDF" "e");
  EXPECT_EQ(ToCodePage("", 1252), "");
}
