#include "update/http_url.h"

#include <cctype>

namespace update {
namespace {

constexpr char kScheme[] = "http://";
constexpr size_t kSchemeLength = sizeof kScheme - 1;

bool StartsWithScheme(const std::string& url) {
  if (url.size() < kSchemeLength) return false;
  for (size_t i = 0; i < kSchemeLength; ++i) {
    if (std::tolower(static_cast<unsigned char>(url[i])) != kScheme[i]) return false;
  }
  return true;
}

// Takes a trailing ":port" off host when it is a port number.
unsigned short TakePort(std::string& host) {
  const size_t colon = host.rfind(':');
  if (colon == std::string::npos) return 80;
  const std::string digits = host.substr(colon + 1);
  if (digits.empty() || digits.size() > 5) return 80;
  unsigned long port = 0;
  for (char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return 80;
    port = port * 10 + static_cast<unsigned long>(c - '0');
  }
  if (port == 0 || port > 65535) return 80;
  host.erase(colon);
  return static_cast<unsigned short>(port);
}

}  // namespace

THTTPTarget SplitURL(const std::string& url) {
  const std::string rest = StartsWithScheme(url) ? url.substr(kSchemeLength) : url;
  THTTPTarget target;
  const size_t slash = rest.find('/');
  target.Host = rest.substr(0, slash);
  if (slash != std::string::npos) target.Path = rest.substr(slash);
  target.Port = TakePort(target.Host);
  return target;
}

}  // namespace update
