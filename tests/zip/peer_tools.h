// Runs the installed zip tools as black-box peers. They exist only on the native host.
#pragma once

#ifndef _WIN32

#include <cstdio>
#include <string>

namespace peer_tools {

// Single-quoted for the shell, so any file name passes unchanged.
inline std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline bool Installed(const std::string& tool) {
  return std::system(("command -v " + Quote(tool) + " >/dev/null 2>&1").c_str()) == 0;
}

// Exit status of the command; its output (stdout and stderr) goes to output.
inline int Run(const std::string& command, std::string& output) {
  output.clear();
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;) output.append(buf, n);
  return pclose(pipe);
}

}  // namespace peer_tools

#endif
