// Wildcard matching of file and entry names. "?" is one character, "*" any run, "<...>" one
// character of a set ("<!...>" or "<^...>" negated, "a-z" ranges); square brackets are legal in
// file names, so sets use angle brackets. Only the letters A-Z are matched without regard to case.
// A star directly followed by a set passes over characters of that set only. Stored filters rely
// on two rules of the search: a run of stars and question marks must leave the name a character
// ("*?" matches "ab", not "a"), and at the end of the name only a single star may be left ("a*"
// matches "a", "a**" does not).
#pragma once

#include <string>

namespace zip {

bool IsMatch(const std::string& pattern, const std::string& name);

}  // namespace zip
