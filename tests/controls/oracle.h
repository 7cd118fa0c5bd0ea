// The Python oracles beside the tests (container_oracle.py for container files and waves,
// region_oracle.py for the region shapes), run on the host from both trees.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace controls_test {

// Runs the oracle with the command and its arguments (file names through FileArg) and returns what
// it printed; the test fails when the oracle does.
std::string RunOracle(const std::vector<std::string>& Args, const std::string& Module = "container_oracle");
// A file name argument, as the host sees it.
std::string FileArg(const std::string& Path);

// The oracle's checksum: the sum of each byte times its position plus one, modulo 2^32.
std::uint32_t Checksum(const std::uint8_t* Data, size_t Size);
inline std::uint32_t Checksum(const std::vector<std::uint8_t>& Data) { return Checksum(Data.data(), Data.size()); }

// The non-empty lines of an oracle's output.
std::vector<std::string> Lines(const std::string& Text);

// Text as the oracle writes it: two lower-case hex digits a byte.
std::string Hex(const std::string& Text);

}  // namespace controls_test
