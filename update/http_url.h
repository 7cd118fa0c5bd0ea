// Where a URL of the HTTP client points: plain HTTP, host and object path.
#pragma once

#include <string>

namespace update {

struct THTTPTarget {
  std::string Host;
  unsigned short Port = 80;
  // From the first "/" on; empty when the URL has none.
  std::string Path;
};

// An optional "http://" (any case) is dropped; the host runs up to the first "/". A host that ends
// in ":" and a port number 1..65535 names that port; otherwise the port is 80 and the host stays as
// it is (another scheme or a malformed port then fails to resolve).
THTTPTarget SplitURL(const std::string& url);

}  // namespace update
