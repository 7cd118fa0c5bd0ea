#include "update/automatic_update.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/update/local_server.h"
#include "tests/update/update_fixture.h"
#include "update/http_fetch.h"

namespace {

using update::THTTPFetch;
using update_testing::PumpUntil;
using update_testing::Signed;
using update_testing::VersionFile;
using update_testing::VersionText;

class AutomaticUpdateCheck : public update_testing::UpdateTest {
 protected:
  // Starts the check; when it started, waits for the end of its transfer.
  bool Run(THTTPFetch& fetch) {
    if (!update::StartAutomaticUpdateCheck(fetch)) return false;
    bool ended = false;
    const update::TOnDoneStringEvent done = fetch.OnDoneString;
    fetch.OnDoneString = [&](const std::string& result) {
      done(result);
      ended = true;
    };
    fetch.OnError = [&] { ended = true; };
    EXPECT_TRUE(PumpUntil([&] { return ended; })) << "the check never ended";
    return true;
  }
};

TEST_F(AutomaticUpdateCheck, StartsOnlyWhenSwitchedOnOnlineAndNotYetMarked) {
  Put("auto-start", {{"update.ini", VersionFile("2.41")}});
  ServeFrom("auto-start");
  const struct {
    const char* name;
    bool autoUpdate;
    bool online;
    const char* caption;
    bool starts;
  } cases[] = {
      {"all set", true, true, "&Aktualisierung", true},
      {"offline", true, false, "&Aktualisierung", false},
      {"switched off", false, true, "&Aktualisierung", false},
      {"already marked", true, true, "UPDATE", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    autoUpdate = c.autoUpdate;
    online = c.online;
    menuCaption = c.caption;
    THTTPFetch fetch(nullptr);
    EXPECT_EQ(Run(fetch), c.starts);
    if (c.starts) {
      EXPECT_EQ(fetch.Referer(), "Auto Update Wizard");
    }
  }
}

TEST_F(AutomaticUpdateCheck, MarksTheMenuOnlyForANewerVersionAndIsSilentOtherwise) {
  const std::string digest = update_testing::DigestLine("setup");
  const std::string newer = VersionText("2.41", "1024 KB", digest);
  const struct {
    const char* name;
    std::string file;  // empty: none on the server
    std::vector<std::string> captions;
  } cases[] = {
      {"newer", VersionFile("2.41"), {"UPDATE"}},
      {"newer build", VersionFile("2.4.0.12"), {"UPDATE"}},
      {"same", VersionFile("2.402"), {"&Aktualisierung"}},
      {"older", VersionFile("2.4"), {"&Aktualisierung"}},
      {"CR LF", Signed("[data full]\r\nVersion=2.41\r\nSize=1024 KB\r\n" + digest + "\r\n"), {"UPDATE"}},
      {"CR", Signed("[data full]\rVersion=2.41\rSize=1024 KB\r" + digest + "\r"), {"UPDATE"}},
      // Only what the vendor signed may mark the menu.
      {"unsigned", newer, {}},
      {"signed with another key", Signed(newer, update_testing::OtherTestKey()), {}},
      {"without a digest", Signed(VersionText("2.41", "1024 KB", "")), {}},
      {"missing size line", Signed("a\n[data full]\nVersion=2.41\n"), {}},
      {"not found", "", {}},
  };
  int index = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string dir = "auto-" + std::to_string(index++);
    if (!c.file.empty()) Put(dir, {{"update.ini", c.file}});
    ServeFrom(dir);
    captionsSet.clear();
    menuCaption = "&Aktualisierung";
    THTTPFetch fetch(nullptr);
    ASSERT_TRUE(Run(fetch));
    EXPECT_EQ(captionsSet, c.captions);
  }
}

}  // namespace
