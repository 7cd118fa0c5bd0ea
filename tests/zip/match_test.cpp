#include <gtest/gtest.h>

#include "zip/match.h"

namespace {

struct MatchCase {
  const char* pattern;
  const char* name;
  bool matches;
};

const MatchCase kCases[] = {
    {"*", "", true},
    {"*", "anything.at.all", true},
    {"", "", true},
    {"", "a", false},
    {"*.*", "readme.txt", true},
    {"*.*", "readme", false},
    {"*.*", "readme.", true},
    {"*.TXT", "notes.txt", true},
    {"NOTES.txt", "notes.TXT", true},
    {"ä*", "Äpfel", false},  // only A-Z fold
    {"ä*", "äpfel", true},
    {"data<0-9>.zip", "data7.zip", true},
    {"data<0-9>.zip", "datax.zip", false},
    {"<!a-c>*", "b.txt", false},
    {"<^a-c>*", "d.txt", true},
    {"<a-c", "a", false},      // "<" without ">"
    {"x<", "x", false},
    {"x<!", "x!", false},
    {"*<abc", "abc", false},
    {"<z-a>", "m", false},     // a range written high to low matches nothing
    {"<a-cx>", "x", true},
    {"<->", "-", true},
    {"<a->", "-", true},
    {"<>", "a", false},
    {"<!>", "a", true},
    {"*?", "ab", true},
    {"*?", "a", false},        // "?" takes the last character, and the search ends with the name
    {"*?", "", false},
    {"a*?", "ab", false},
    {"a*?", "abc", true},
    {"*??", "a", false},
    {"*??", "ab", false},
    {"*??", "abc", true},
    {"?*", "a", true},
    {"*<abc>x", "ax", true},
    {"*<abc>x", "abcax", true},
    {"*<abc>x", "zax", false},  // a star before a set only passes over that set's characters
    {"*<!abc>x", "zzx", true},
    {"*<!abc>x", "azx", false},
    {"a*b*c", "aXbYc", true},
    {"a*b*c", "aXbY", false},
    {"a*", "a", true},
    {"a**", "a", false},       // at the end of the name only a single star may be left
    {"**", "", false},
    {"a**", "ab", true},
    {"*a*", "bab", true},
    {"*.doc", "brief.doc.bak", false},
    {"*.doc*", "brief.doc.bak", true},
    {"?.txt", "ü.txt", true},  // "?" takes one character, not one byte
    {"prüfung*", "Prüfung äöüß.txt", true},
    {"[a]*", "[a]b", true},    // square brackets are ordinary characters
};

}  // namespace

TEST(IsMatch, Table) {
  for (const MatchCase& c : kCases)
    EXPECT_EQ(zip::IsMatch(c.pattern, c.name), c.matches) << "pattern \"" << c.pattern << "\", name \"" << c.name
                                                          << "\"";
}
