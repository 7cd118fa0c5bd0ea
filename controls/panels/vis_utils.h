// Small portable helpers of the pack: blank tests, trailing backslashes, extremes of a list,
// rounding.
#pragma once

#include <cmath>
#include <initializer_list>
#include <string>

namespace controls {

// Empty or blanks only.
bool IsBlank(const std::string& S);
// S with one trailing "\" (a blank S gets one too).
std::string AddBackslash(const std::string& S);
// S without one trailing "\"; a blank S stays as it is.
std::string RemoveBackslash(const std::string& S);
// The largest / smallest entry; an empty list raises classlib::EListError.
int MaxIntValue(std::initializer_list<int> Values);
int MinIntValue(std::initializer_list<int> Values);
// The nearest integer, halves to the even one.
inline int RoundHalfEven(double Value) { return static_cast<int>(std::nearbyint(Value)); }

}  // namespace controls
