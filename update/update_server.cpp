#include "update/update_server.h"

namespace update {
namespace {

std::string& ServerForTesting() {
  static std::string address;
  return address;
}

}  // namespace

std::string UpdateServer() { return ServerForTesting().empty() ? kUpdateServer : ServerForTesting(); }

void SetUpdateServerForTesting(const std::string& address) { ServerForTesting() = address; }

std::string UpdateFileURL() { return UpdateServer() + "/update.ini"; }

std::string SetupFileURL() { return UpdateServer() + "/orvapp.exe"; }

void SetUpUpdateFetch(THTTPFetch& fetch, const std::string& referer) {
  fetch.SetAcceptTypes("*/*");
  fetch.SetUseCache(false);
  fetch.SetWaitThread(true);
  fetch.SetReferer(referer);
}

}  // namespace update
