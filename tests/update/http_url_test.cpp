#include "update/http_url.h"

#include <gtest/gtest.h>

namespace {

using update::SplitURL;

struct UrlCase {
  const char* url;
  const char* host;
  unsigned short port;
  const char* path;
};

TEST(SplitURL, HostPortAndPath) {
  const UrlCase cases[] = {
      {"http://www.example.org/update.ini", "www.example.org", 80, "/update.ini"},
      {"HtTp://www.example.org/a/b.ini", "www.example.org", 80, "/a/b.ini"},
      {"www.example.org/update.ini", "www.example.org", 80, "/update.ini"},
      {"http://www.example.org/", "www.example.org", 80, "/"},
      {"http://www.example.org", "www.example.org", 80, ""},
      {"http://127.0.0.1:8080/update.ini", "127.0.0.1", 8080, "/update.ini"},
      {"127.0.0.1:65535", "127.0.0.1", 65535, ""},
      // No port number: the host stays as it is and fails to resolve.
      {"http://host:0/x", "host:0", 80, "/x"},
      {"http://host:65536/x", "host:65536", 80, "/x"},
      {"http://host:8o/x", "host:8o", 80, "/x"},
      {"http://host:/x", "host:", 80, "/x"},
      // Another scheme is no scheme here.
      {"https://host/x", "https:", 80, "//host/x"},
  };
  for (const UrlCase& c : cases) {
    SCOPED_TRACE(c.url);
    const update::THTTPTarget target = SplitURL(c.url);
    EXPECT_EQ(target.Host, c.host);
    EXPECT_EQ(target.Port, c.port);
    EXPECT_EQ(target.Path, c.path);
  }
}

}  // namespace
