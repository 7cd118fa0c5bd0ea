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
using update::THTTPFetch;
using update_testing::DigestLine;
using update_testing::Signed;
using update_testing::VersionText;
using update_testing::PumpUntil;
using update_testing::VersionFile;

constexpr char kSuccessAction[] = "Informationen erfolgreich heruntergeladen.";
constexpr char kSuccessInfo[] =
    "Update Wizard hat die Informationen zur im Internet verfügbaren Version erfolgreich heruntergeladen.";
constexpr char kFailureAction[] = "Informationen konnten nicht heruntergeladen werden.";
constexpr char kFailureInfo[] =
    "Update Wizard konnte die Informationen zur im Internet verfügbaren Version nicht erfolgreich herunterladen.";
constexpr char kNotVerifiedAction[] = "Informationen konnten nicht verifiziert werden.";
constexpr char kNotVerifiedInfo[] =
    "Update Wizard konnte nicht bestätigen, dass die Informationen zur im Internet verfügbaren Version vom "
    "Hersteller stammen.";
constexpr char kUnreadableAction[] = "Informationen konnten nicht gelesen werden.";
constexpr char kUnreadableInfo[] =
    "Update Wizard hat die Informationen zur im Internet verfügbaren Version heruntergeladen, kann sie aber nicht "
    "lesen.";
constexpr char kNewVersion[] = "Es ist eine neue Version verfügbar!";
constexpr char kNoNewVersion[] = "Derzeit ist keine neue Version verfügbar!";

// text written with the line ends end, and signed so: its signature line ends so too.
std::string SignedWithLineEnds(const std::string& text, const std::string& end) {
  std::string written;
  for (char c : text) c == '\n' ? written += end : written += c;
  const std::string file = Signed(written);
  return file.substr(0, file.size() - 1) + end;
}

// What the window shows after a check.
struct Outcome {
  const char* action;
  const char* info;
  const char* available;  // "Fehler" unless there is an offer
  const char* size;
  const char* versionInfo;
  bool canDownload;
};

Outcome Offer(const char* available, const char* size, const char* versionInfo, bool canDownload = true) {
  return {kSuccessAction, kSuccessInfo, available, size, versionInfo, canDownload};
}
const Outcome kNotVerified{kNotVerifiedAction, kNotVerifiedInfo, "Fehler", "Fehler", "", false};
const Outcome kUnreadable{kUnreadableAction, kUnreadableInfo, "Fehler", "Fehler", "", false};
const Outcome kNotDownloaded{kFailureAction, kFailureInfo, "Fehler", "Fehler", "", false};

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

  void ExpectShown(const Outcome& expected) {
    EXPECT_TRUE(form->PanelDownload->Visible());
    EXPECT_EQ(form->LabelActualVersion->Caption(), "2.402");
    EXPECT_EQ(form->LabelDownloadAction->Caption(), expected.action);
    EXPECT_EQ(form->LabelDownloadInfo->Caption(), expected.info);
    EXPECT_EQ(form->LabelAvailableVersion->Caption(), expected.available);
    EXPECT_EQ(form->LabelDownloadSize->Caption(), expected.size);
    EXPECT_EQ(form->LabelVersionInfo->Caption(), expected.versionInfo);
    EXPECT_EQ(form->FlatButtonDownload->Enabled(), expected.canDownload);
  }

  std::unique_ptr<TFormUpdate> form;
  std::unique_ptr<TFormDownload> download;
};

TEST_F(FormUpdate, ShowsWhatTheSignedVersionFileOffersOrWhyThereIsNothing) {
  const std::string newer = VersionText("2.41", "1024 KB", DigestLine("setup"));
  std::string flipped = VersionFile("2.41");
  flipped[flipped.find("2.41") + 2] ^= 1;
  const struct {
    const char* name;
    std::string file;  // empty: none on the server
    const char* mode;
    Outcome shown;
  } cases[] = {
      {"newer", VersionFile("2.41"), "whole", Offer("2.41", "1024 KB", kNewVersion)},
      {"newer build", VersionFile("2.4.0.12"), "whole", Offer("2.4.0.12", "1024 KB", kNewVersion)},
      // A version file of the own or an older version, signed and replayed: nothing to download.
      {"same", VersionFile("2.402"), "whole", Offer("2.402", "1024 KB", kNoNewVersion, false)},
      {"older", VersionFile("2.3"), "whole", Offer("2.3", "1024 KB", kNoNewVersion, false)},
      {"older build", VersionFile("2.4.0.1"), "whole", Offer("2.4.0.1", "1024 KB", kNoNewVersion, false)},
      {"no length", VersionFile("2.41"), "nolength", Offer("2.41", "1024 KB", kNewVersion)},
      {"size without number", VersionFile("2.41", "viel"), "whole", Offer("2.41", "viel", kNewVersion, false)},
      // The same file as written with other line ends, and signed so.
      {"CR LF", SignedWithLineEnds(newer, "\r\n"), "whole", Offer("2.41", "1024 KB", kNewVersion)},
      {"CR", SignedWithLineEnds(newer, "\r"), "whole", Offer("2.41", "1024 KB", kNewVersion)},
      {"unsigned", newer, "whole", kNotVerified},
      {"signed with another key", Signed(newer, update_testing::OtherTestKey()), "whole", kNotVerified},
      {"a byte flipped after signing", flipped, "whole", kNotVerified},
      {"without a digest", Signed(VersionText("2.41", "1024 KB", "")), "whole", kNotVerified},
      {"signed, section cut short", Signed("a\n[data full]\nVersion=2.41\n"), "whole", kUnreadable},
      {"signed, no version", VersionFile("neu"), "whole", kUnreadable},
      {"not found", "", "whole", kNotDownloaded},
      {"cut short", VersionFile("2.41"), "short", kNotDownloaded},
  };
  int index = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string dir = "manual-" + std::to_string(index++);
    if (!c.file.empty()) Put(dir, {{"update.ini", c.file}});
    ServeFrom(dir, c.mode);
    Check();
    ExpectShown(c.shown);
    // "Download" without a setup to fetch does nothing.
    if (!c.shown.canDownload) {
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
  Put("manual-slow", {{"update.ini", Signed(std::string(30000, '#') + "\n" + VersionText("2.41", "1 KB",
                                                                                        DigestLine("setup")))}});
  ServeFrom("manual-slow", "slow");
  ClickButton(*form->FlatButtonNext);
  EXPECT_EQ(form->LabelAvailableVersion->Caption(), "Wird ermittelt...");
  EXPECT_EQ(form->LabelDownloadSize->Caption(), "Wird ermittelt...");
  CloseBox(*form);
  PumpUntil([] { return false; }, 1500);
  EXPECT_EQ(form->FlatButtonNext->Caption(), "Überprüfen ");
  EXPECT_FALSE(form->PanelDownload->Visible());
}

// Closed during a check and opened again, "Überprüfen" at once shows the server's answer, not the
// end of the check the closing cancelled, however long that takes to end.
TEST_F(FormUpdate, ReopenedAndCheckedAtOnceItShowsTheNewAnswer) {
  THTTPFetch::SetStallTimeoutForTesting(1000);
  Put("reopen", {{"update.ini", Signed(std::string(30000, '#') + "\n" +
                                      VersionText("2.41", "1024 KB", DigestLine("setup")))}});
  for (const char* mode : {"slow", "silent"}) {
    SCOPED_TRACE(mode);
    ServeFrom("reopen", mode);
    ClickButton(*form->FlatButtonNext);
    // The silent server holds the transfer inside its request.
    if (std::string(mode) == "silent") {
      ASSERT_TRUE(PumpUntil([] { return Asked("reopen", "update.ini"); }));
    }
    CloseBox(*form);
    form->Show();
    ServeFrom("reopen");
    Check();
    ExpectShown(Offer("2.41", "1024 KB", kNewVersion));
    ClickButton(*form->FlatButtonNext);
    form->Show();
  }
}

// Counts what a plain window of the program is asked to paint.
class PaintedWindow {
 public:
  PaintedWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
      if (message == WM_PAINT) {
        ++paints;
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
      }
      return DefWindowProcW(window, message, wParam, lParam);
    };
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"OrvantaPaintCounter";
    RegisterClassW(&windowClass);
    window_ = CreateWindowW(L"OrvantaPaintCounter", L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  }
  ~PaintedWindow() { DestroyWindow(window_); }
  // Asks for painting anew and forgets what was painted.
  void Invalidate() {
    testing_support::Pump();
    paints = 0;
    InvalidateRect(window_, nullptr, TRUE);
  }
  static inline int paints = 0;

 private:
  HWND window_;
};

// The program ends by freeing its windows: a check still connecting to a host that takes no
// connection holds it no longer than the stall timeout, and the other windows paint meanwhile.
TEST_F(FormUpdate, AQuitWhileConnectingEndsWithinTheStallTimeout) {
  constexpr int kStall = 1000;
  THTTPFetch::SetStallTimeoutForTesting(kStall);
  update::SetUpdateServerForTesting(update_testing::UnacceptingUrl(""));
  const std::string before = update_testing::ConnectAttempts();
  ClickButton(*form->FlatButtonNext);
  ASSERT_TRUE(update_testing::WaitForConnectAttempt(before));
  PaintedWindow other;
  other.Invalidate();
  const ULONGLONG start = GetTickCount64();
  form.reset();
  const ULONGLONG took = GetTickCount64() - start;
  EXPECT_GE(took, static_cast<ULONGLONG>(kStall) / 2) << "the connect ended by itself";
  EXPECT_LT(took, static_cast<ULONGLONG>(kStall) + 3000);
  EXPECT_GT(PaintedWindow::paints, 0);
}

}  // namespace
