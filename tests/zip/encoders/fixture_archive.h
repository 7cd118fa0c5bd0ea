// Wraps compressed data into a real zip archive with the engine's record writers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace test_encoders {

struct TFixtureEntry {
  std::string name;
  std::uint16_t method;
  std::uint16_t flags;
  std::string original;  // gives the CRC and the uncompressed size
  std::string compressed;
};

std::string BuildArchive(const std::vector<TFixtureEntry>& entries);

}  // namespace test_encoders
