#include "zip/match.h"

#include "classlib/text.h"

namespace zip {
namespace {

enum Result { kValid = 1, kPatternEnded, kAbort, kSetMismatch, kLiteralMismatch, kBadPattern };

struct CharSet {
  const char32_t* first = nullptr;  // characters between "<" (and its negation mark) and ">"
  const char32_t* last = nullptr;
  bool negated = false;

  bool Accepts(char32_t c) const {
    bool in = false;
    for (const char32_t* p = first; p < last && !in; ++p) {
      if (p + 2 < last && p[1] == '-') {
        in = p[0] <= c && c <= p[2];
        p += 2;
      } else {
        in = *p == c;
      }
    }
    return in != negated;
  }
};

class Matcher {
 public:
  Matcher(const std::u32string& pattern, const std::u32string& name) : p_(pattern), n_(name) {}

  // Reads the set whose "<" stands at `at`; false for a set without its ">".
  bool ReadSet(size_t at, CharSet& set, size_t& after) const {
    size_t i = at + 1;
    set.negated = i < p_.size() && (p_[i] == '!' || p_[i] == '^');
    if (set.negated) ++i;
    const size_t close = p_.find(U'>', i);
    if (close == std::u32string::npos) return false;
    set.first = p_.data() + i;
    set.last = p_.data() + close;
    after = close + 1;
    return true;
  }

  bool PatternIsWellFormed() const {
    CharSet set;
    for (size_t i = 0; i < p_.size();) {
      if (p_[i] != '<') {
        ++i;
        continue;
      }
      if (!ReadSet(i, set, i)) return false;
    }
    return true;
  }

  Result Match(size_t pi, size_t ni) const {
    if (p_.size() - pi == 1 && p_[pi] == '*') return kValid;
    for (;;) {
      if (pi == p_.size()) return ni == n_.size() ? kValid : kPatternEnded;
      // Only a single star may match the empty rest: "a**" does not match "a".
      if (ni == n_.size()) return p_.size() - pi == 1 && p_[pi] == '*' ? kValid : kAbort;
      const char32_t c = p_[pi];
      if (c == '*') {
        CharSet starSet;
        size_t unused;
        const bool hasStarSet = pi + 1 < p_.size() && p_[pi + 1] == '<' && ReadSet(pi + 1, starSet, unused);
        return StarSearch(pi, ni, hasStarSet ? &starSet : nullptr);
      }
      if (c == '<') {
        CharSet set;
        if (!ReadSet(pi, set, pi)) return kBadPattern;
        if (!set.Accepts(n_[ni])) return kSetMismatch;
        ++ni;
        continue;
      }
      if (c != '?' && c != n_[ni]) return kLiteralMismatch;
      ++pi;
      ++ni;
    }
  }

 private:
  Result StarSearch(size_t pi, size_t ni, const CharSet* starSet) const {
    for (; pi < p_.size() && (p_[pi] == '*' || p_[pi] == '?'); ++pi)
      if (p_[pi] == '?' && ni < n_.size()) ++ni;
    // The name must outlast the run: "*?" matches "ab" but not "a".
    if (ni == n_.size()) return kAbort;
    if (pi == p_.size()) return kValid;
    for (;;) {
      const char32_t c = p_[pi];
      if ((c == n_[ni] || c == '<') && Match(pi, ni) == kValid) return kValid;
      if (starSet && !starSet->Accepts(n_[ni])) return kAbort;
      if (++ni == n_.size()) return kAbort;
    }
  }

  const std::u32string& p_;
  const std::u32string& n_;
};

}  // namespace

bool IsMatch(const std::string& pattern, const std::string& name) {
  const std::u32string p = classlib::DecodeUtf8(classlib::LowerAscii(pattern));
  const std::u32string n = classlib::DecodeUtf8(classlib::LowerAscii(name));
  const Matcher matcher(p, n);
  return matcher.PatternIsWellFormed() && matcher.Match(0, 0) == kValid;
}

}  // namespace zip
