// A world for the update check and its windows: a main window and a system that only record what
// they are told, a temporary folder of the test's own, the tests' key in place of the vendor's, and
// the version file and setup served from the test server's site folder.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/system_actions.h"
#include "app/wizards/main_window_hooks.h"
#include "classlib/wide.h"
#include "tests/support/temp_dir.h"
#include "tests/update/local_server.h"
#include "tests/update/signing.h"
#include "update/http_fetch.h"
#include "update/update_server.h"
#include "update/vendor_signature.h"

namespace update_testing {

class UpdateTest : public testing::Test {
 protected:
  void SetUp() override {
    app::MainWindowHooks& h = app::MainWindow();
    h.Enabled = [this] { return mainEnabled; };
    h.SetEnabled = [this](bool value) { mainEnabled = value; };
    h.SetSchedulerEnabled = [this](bool value) { schedulerEnabled = value; };
    h.UpdateMenuCaption = [this] { return menuCaption; };
    h.SetUpdateMenuCaption = [this](const std::string& caption) {
      menuCaption = caption;
      captionsSet.push_back(caption);
    };
    h.AutoUpdate = [this] { return autoUpdate; };
    h.Quit = [this] { ++quits; };
    h.TempFolder = [this] { return temp.Path() + "\\"; };
    app::SystemActions& s = app::System();
    s.Online = [this] { return online; };
    s.OpenFile = [this](const std::string& file) {
      opened.push_back(file);
      return openSucceeds;
    };
    s.ExitSystem = [](unsigned) { return false; };
    update::SetVendorPublicKeyForTesting(VendorTestKey().publicPoint);
  }

  void TearDown() override {
    app::MainWindow() = app::MainWindowHooks();
    app::System() = app::SystemActions();
    update::SetUpdateServerForTesting("");
    update::SetVendorPublicKeyForTesting("");
    update::THTTPFetch::SetStallTimeoutForTesting(0);
  }

  // Puts files (name, bytes) into the site folder dir.
  static void Put(const std::string& dir, const std::map<std::string, std::string>& files) {
    const std::string folder = SiteFolder() + "\\" + dir;
    CreateDirectoryW(classlib::Widen(folder).c_str(), nullptr);
    for (const auto& [name, bytes] : files) testing_support::WriteFile(folder + "\\" + name, bytes);
  }
  // Points the program at the site folder dir, served as mode (see http_answers.py).
  static void ServeFrom(const std::string& dir, const std::string& mode = "whole") {
    update::SetUpdateServerForTesting(ServerUrl("/site/" + mode + "/" + dir));
  }

  // The server has the request for the file name of dir, served silent.
  static bool Asked(const std::string& dir, const std::string& name) {
    return testing_support::FileExists(SiteFolder() + "\\" + dir + "\\" + name + ".asked");
  }

  // The names in the temporary folder.
  std::vector<std::string> TempContents() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(classlib::Widen(temp / "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      const std::string name = classlib::Narrow(found.cFileName);
      if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
  }

  testing_support::TempDir temp;
  bool mainEnabled = true;
  bool schedulerEnabled = true;
  std::string menuCaption = "&Aktualisierung";
  std::vector<std::string> captionsSet;
  bool autoUpdate = true;
  int quits = 0;
  bool online = true;
  bool openSucceeds = true;
  std::vector<std::string> opened;
};

// The text of a version file offering version and size, and digestLine after them when not empty.
inline std::string VersionText(const std::string& version, const std::string& size, const std::string& digestLine) {
  std::string text = "[info]\nname=Orvanta\n\n[data full]\nVersion=" + version + "\nSize=" + size + "\n";
  if (!digestLine.empty()) text += digestLine + "\n";
  return text;
}

// A version file the vendor signed, offering version and size and the setup by its digest.
inline std::string VersionFile(const std::string& version, const std::string& size = "1024 KB",
                               const std::string& setup = "setup") {
  return Signed(VersionText(version, size, DigestLine(setup)));
}

}  // namespace update_testing
