// The native tree runs on the host itself: the script is simply started.
#include <cstdio>

#include "tests/support/host_python.h"
#include "tests/support/temp_dir.h"

namespace testing_support {
namespace {

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace

std::string HostPath(const std::string& windowsPath) { return windowsPath; }

bool RunHostPython(const std::string& script, const std::vector<std::string>& args, std::string& output) {
  TempDir dir;
  const std::string user = dir / "script.py";
  WriteFile(user, script);
  std::string command = "python3 " + Quote(user);
  for (const std::string& arg : args) command += " " + Quote(arg);
  output.clear();
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return false;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  return pclose(pipe) == 0;
}

}  // namespace testing_support
