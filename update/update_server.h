// Where the program looks for updates: the version file and the setup on the vendor's web server.
#pragma once

#include <string>

#include "update/http_fetch.h"

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

// The settings every fetch of the update shares: any media type, always from the server, waiting
// for the transfer; referer names the asking window.
void SetUpUpdateFetch(THTTPFetch& fetch, const std::string& referer);

}  // namespace update
