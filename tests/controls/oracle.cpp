#include "tests/controls/oracle.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/host_python.h"

namespace controls_test {

std::string RunOracle(const std::vector<std::string>& Args, const std::string& Module) {
  std::vector<std::string> args = {CONTROLS_TEST_DIR, Module};
  args.insert(args.end(), Args.begin(), Args.end());
  std::string output;
  const bool ok = testing_support::RunHostPython(
      "import importlib, sys\nsys.path.insert(0, sys.argv[1])\nimportlib.import_module(sys.argv[2]).main(sys.argv[3:])\n",
      args,
      output);
  EXPECT_TRUE(ok) << output;
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
  return output;
}

std::string FileArg(const std::string& Path) { return testing_support::HostPath(Path); }

std::uint32_t Checksum(const std::uint8_t* Data, size_t Size) {
  std::uint32_t sum = 0;
  for (size_t i = 0; i < Size; ++i) sum += static_cast<std::uint32_t>((i + 1) * Data[i]);
  return sum;
}

std::vector<std::string> Lines(const std::string& Text) {
  std::vector<std::string> lines;
  std::istringstream in(Text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string Hex(const std::string& Text) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : Text) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return hex;
}

}  // namespace controls_test
