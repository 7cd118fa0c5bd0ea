// Runs a Python script of the host (Linux) from a test under Wine, as an outside oracle. Wine
// starts host programs but neither waits for them nor passes their exit code on, so the script's
// output comes back through a file that appears whole once the script has ended. In the native
// tree the script simply runs on the host.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// The host's form of a Windows path, for arguments of the script.
std::string HostPath(const std::string& windowsPath);

// Runs script with the arguments in sys.argv[1:]; output receives what it printed (or the
// traceback). True when it ended without an error.
bool RunHostPython(const std::string& script, const std::vector<std::string>& args, std::string& output);

}  // namespace testing_support
