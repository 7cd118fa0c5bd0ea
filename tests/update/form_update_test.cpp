#include "update/form_update.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/window_test.h"
#include "tests/update/local_server.h"
#include "tests/update/update_fixture.h"
#include "update/form_download.h"

namespace {

using testing_support::ClickButton;
using testing_support::CloseBox;
using update::TFormDownload;
using update::TFormUpdate;
using update_testing::PumpUntil;
using update_testing::VersionFile;

constexpr char kSuccessAction[] = "Informationen erfolgreich heruntergeladen.";
constexpr char kFailureAction[] = "Informationen konnten nicht heruntergeladen werden.";
constexpr char kSuccessInfo[] =
    "Update Wizard hat die Informationen zur im Internet verfügbaren Version erfolgreich heruntergeladen.";
constexpr char kFailureInfo[] =
    "Update Wizard konnte die Informationen zur im Internet verfügbaren Version nicht erfolgreich herunterladen.";
constexpr char kNewVersion[] = "Es ist eine neue Version verfügbar!";
constexpr char kNoNewVersion[] = "Derzeit ist keine neue Version verfügbar!";

class FormUpdate : public update_testing::UpdateTest {
 protected:
  void SetUp() override {
    UpdateTest::SetUp();
    testing_support::InitWindows();
    form = std::make_unique<TFormUpdate>(nullptr);
    download = std::make_unique<TFormDownload>(nullptr);
    form->SetDownloadForm(download.get());
    form->Show();
  }

  void TearDown() override {
    download.reset();
    form.reset();
    EXPECT_TRUE(testing_support::TakeBoundaryErrors().empty());
    UpdateTest::TearDown();
  }

  // "Überprüfen", and the wait for its answer.
  void Check() {
    ClickButton(*form->FlatButtonNext);
    EXPECT_TRUE(PumpUntil([&] { return form->FlatButtonNext->Caption() == "Fertig "; }))
        << "the check never ended: " << form->LabelAvailableVersion->Caption();
  }

  std::unique_ptr<TFormUpdate> form;
  std::unique_ptr<TFormDownload> download;
};

TEST_F(FormUpdate, ShowsWhatTheVersionFileOffersOrTheFailure) {
  const struct {
    const char* name;
    std::string file;  // empty: none on the server
    const char* mode;
    bool success;
    const char* available;
    const char* size;
    const char* versionInfo;
    bool canDownload;
  } cases[] = {
      {"newer", VersionFile("2.41"), "whole", true, "2.41", "1024 KB", kNewVersion, true},
      {"newer build", VersionFile("2.4.0.12"), "whole", true, "2.4.0.12", "1024 KB", kNewVersion, true},
      {"same", VersionFile("2.402"), "whole", true, "2.402", "1024 KB", kNoNewVersion, true},
      {"no length", VersionFile("2.41"), "nolength", true, "2.41", "1024 KB", kNewVersion, true},
      {"only two lines", "[data full]\nVersion=2.41\n", "whole", true, "2.402", "0", kNoNewVersion, false},
      {"size without number", VersionFile("2.41", "viel"), "whole", true, "2.41", "viel", kNewVersion, false},
      {"CR LF", "[data full]\r\nVersion=2.41\r\nSize=1024 KB\r\n", "whole", false, "", "", "", false},
      {"missing size line", "a\n[data full]\nVersion=2.41\n", "whole", false, "", "", "", false},
      {"no trailing LF", "a\n[data full]\nVersion=2.41\nSize=1024 KB", "whole", false, "", "", "", false},
      {"not found", "", "whole", false, "", "", "", false},
      {"cut short", VersionFile("2.41"), "short", false, "", "", "", false},
  };
  int index = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string dir = "manual-" + std::to_string(index++);
    if (!c.file.empty()) Put(dir, {{"update.ini", c.file}});
    ServeFrom(dir, c.mode);
    Check();
    EXPECT_TRUE(form->PanelDownload->Visible());
    EXPECT_EQ(form->LabelActualVersion->Caption(), "2.402");
    if (c.success) {
      EXPECT_EQ(form->LabelDownloadAction->Caption(), kSuccessAction);
      EXPECT_EQ(form->LabelDownloadInfo->Caption(), kSuccessInfo);
      EXPECT_EQ(form->LabelAvailableVersion->Caption(), c.available);
      EXPECT_EQ(form->LabelDownloadSize->Caption(), c.size);
    } else {
      EXPECT_EQ(form->LabelDownloadAction->Caption(), kFailureAction);
      EXPECT_EQ(form->LabelDownloadInfo->Caption(), kFailureInfo);
      EXPECT_EQ(form->LabelAvailableVersion->Caption(), "Fehler");
      EXPECT_EQ(form->LabelDownloadSize->Caption(), "Fehler");
    }
    EXPECT_EQ(form->LabelVersionInfo->Caption(), c.versionInfo);
    EXPECT_EQ(form->FlatButtonDownload->Enabled(), c.canDownload);
    // "Download" without a setup to fetch does nothing.
    if (!c.canDownload) {
      form->FlatButtonDownload->Click();
      EXPECT_FALSE(download->Visible());
      EXPECT_TRUE(form->Enabled());
    }
    // "Fertig" closes; the next showing starts over.
    ClickButton(*form->FlatButtonNext);
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(form->PanelDownload->Visible());
    EXPECT_EQ(form->FlatButtonNext->Caption(), "Überprüfen ");
    form->Show();
  }
}

TEST_F(FormUpdate, HoldsTheMainWindowAndTheSchedulerWhileShown) {
  EXPECT_FALSE(mainEnabled);
  EXPECT_FALSE(schedulerEnabled);
  EXPECT_FALSE(form->PanelDownload->Visible());
  CloseBox(*form);
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(mainEnabled);
  EXPECT_TRUE(schedulerEnabled);
}

TEST_F(FormUpdate, ClosedDuringTheCheckItsAnswerIsDropped) {
  // Large enough to take a while in chunks.
  Put("manual-slow", {{"update.ini", std::string(30000, '#') + "\n" + VersionFile("2.41")}});
  ServeFrom("manual-slow", "slow");
  ClickButton(*form->FlatButtonNext);
  EXPECT_EQ(form->LabelAvailableVersion->Caption(), "Wird ermittelt...");
  EXPECT_EQ(form->LabelDownloadSize->Caption(), "Wird ermittelt...");
  CloseBox(*form);
  PumpUntil([] { return false; }, 1500);
  EXPECT_EQ(form->FlatButtonNext->Caption(), "Überprüfen ");
  EXPECT_FALSE(form->PanelDownload->Visible());

  // The next showing checks afresh.
  form->Show();
  ServeFrom("manual-slow");
  Check();
  EXPECT_EQ(form->LabelAvailableVersion->Caption(), "2.41");
}

}  // namespace
