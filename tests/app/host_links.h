// Links to folders, made on the host for the life of the object: Wine shows the host's links as
// links to folders but makes none itself. (Gone before the scratch folder is, whose removal would
// follow them.)
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/host_python.h"

namespace app_testing {

class HostLinks {
 public:
  // Each link's place and where it leads.
  explicit HostLinks(const std::vector<std::pair<std::string, std::string>>& links) {
    for (const auto& [at, to] : links) {
      paths_.push_back(testing_support::HostPath(at));
      targets_.push_back(testing_support::HostPath(to));
    }
    Host("for at, to in zip(sys.argv[1::2], sys.argv[2::2]): os.symlink(to, at)", true);
  }
  ~HostLinks() { Host("for at in sys.argv[1::2]: os.unlink(at)", false); }
  HostLinks(const HostLinks&) = delete;
  HostLinks& operator=(const HostLinks&) = delete;

 private:
  void Host(const std::string& loop, bool both) const {
    std::vector<std::string> args;
    for (std::size_t i = 0; i < paths_.size(); ++i) {
      args.push_back(paths_[i]);
      args.push_back(both ? targets_[i] : std::string("-"));
    }
    std::string output;
    EXPECT_TRUE(testing_support::RunHostPython("import os, sys\n" + loop, args, output)) << output;
  }

  std::vector<std::string> paths_;
  std::vector<std::string> targets_;
};

}  // namespace app_testing
