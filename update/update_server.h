// Where the program looks for updates: the version file and the setup on the vendor's web server.
#pragma once

#include <string>

namespace update {

// The vendor's web server: "http://" and host, optionally ":" port, optionally a leading path.
constexpr char kUpdateServer[] = "http://update.norvex.de";

// kUpdateServer, unless tests point the program at a server of their own.
std::string UpdateServer();
// An empty address restores kUpdateServer.
void SetUpdateServerForTesting(const std::string& address);

// The version file and the setup on the server.
std::string UpdateFileURL();
std::string SetupFileURL();

}  // namespace update
