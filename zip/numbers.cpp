#include "zip/numbers.h"

namespace zip {
namespace {

// Exact: part * 100 does not fit 64 bits for the largest sizes.
int RoundedPercent(unsigned __int128 part, unsigned __int128 whole) {
  if (whole == 0) return 0;
  if (part >= whole) return 100;
  const unsigned __int128 scaled = part * 100;
  unsigned __int128 quotient = scaled / whole;
  const unsigned __int128 twiceRest = (scaled % whole) * 2;
  if (twiceRest > whole || (twiceRest == whole && (quotient & 1) != 0)) ++quotient;
  return static_cast<int>(quotient);
}

}  // namespace

int Percent(std::uint32_t part, std::uint32_t whole) { return RoundedPercent(part, whole); }

int Percent(std::int64_t part, std::int64_t whole) {
  if (whole <= 0 || part <= 0) return 0;
  return RoundedPercent(static_cast<unsigned __int128>(part), static_cast<unsigned __int128>(whole));
}

}  // namespace zip
