#include "app/burn_on_cd.h"

#include <algorithm>
#include <optional>

#include "app/archive_names.h"
#include "app/cd_devices.h"
#include "app/file_helpers.h"
#include "classlib/clock.h"
#include "classlib/date_format.h"
#include "classlib/forms.h"
#include "classlib/prompt.h"
#include "zip/fs.h"
#include "zip/path_strings.h"

namespace app {
namespace {

constexpr std::intptr_t kWriting = 1;
constexpr std::intptr_t kErasing = 2;
// Refused starts in a row before the user is asked; each attempt starts from an empty image.
constexpr int kStartAttempts = 3;

const char kNoDisc[] =
    "Kein beschreibbarer Datenträger eingelegt!\r\rLegen Sie einen beschreibbaren Datenträger ein\r"
    "und wiederholen Sie den Vorgang!";
const char kNotErased[] =
    "Datenträger konnte nicht gelöscht werden!\r\rLegen Sie einen beschreibbaren Datenträger ein\r"
    "und wiederholen Sie den Vorgang!";
const char kDiscTooSmall[] =
    "Speicherkapazität des Datenträgers nicht ausreichend!\r\rBitte legen Sie einen Datenträger mit ausreichend\r"
    "freiem Speicherplatz ein und klicken Sie auf \"Wiederholen\"!";
const char kNextDisc[] =
    "Datenträger-Wechsel erforderlich!\r\rBitte legen Sie den nächsten Datenträger ein und klicken Sie\r"
    "auf \"Wiederholen\", um mit dem Schreibvorgang fortzufahren!";
const char kNotStarting[] =
    "Der CD-Recorder startet den Schreibvorgang nicht!\r\rPrüfen Sie den CD-Recorder und den Datenträger\r"
    "und wiederholen Sie den Vorgang!";

classlib::PromptResult Ask(const std::string& text, classlib::PromptButtons buttons) {
  classlib::MessageRequest request;
  request.text = text;
  request.caption = "Orvanta";
  request.buttons = buttons;
  request.icon = classlib::PromptIcon::Warning;
  request.systemModal = true;
  return classlib::Prompts().Message(request);
}

std::string FileNameOf(const std::string& path) { return path.substr(zip::ExtractFilePath(path).size()); }

BurnReport NotBurned(BurnResult result, const std::string& file, const std::string& reason) {
  return {result, file + " konnte nicht auf CD gebrannt werden: " + reason + "."};
}

BurnReport UserDeclined(const std::string& file) {
  return NotBurned(BurnResult::Declined, file, "vom Anwender abgebrochen");
}

// One burn: the attempt loop with what it keeps between attempts.
class Burn {
 public:
  Burn(TCDWriter& writer, const BurnSettings& settings, IBurnProgress& progress, const std::string& file)
      : writer_(writer), settings_(settings), progress_(progress), file_(file) {}

  BurnReport Run() {
    for (;;) {
      if (progress_.CancelRequested() || classlib::Application().Terminated()) return Stopped();
      if (std::optional<BurnReport> end = Attempt()) return *end;
    }
  }

 private:
  // An attempt ends the burn with a report, or asks for another (nothing).
  using AttemptEnd = std::optional<BurnReport>;

  AttemptEnd Attempt() {
    const int device = FindCDDevice(writer_, settings_.DriveLetter);
    if (device < 0) return NoDevice();
    if (GetFileSize64(file_) < 0) return FileMissing();
    if (!writer_.SelectDevice(device)) return NoDevice();
    if (!writer_.IsDiscPresent()) return AskAgain(kNoDisc, Declined());
    writer_.RefreshDiscInfo();
    if (settings_.Erase && writer_.GetDiscState() != 0 && writer_.IsDiscRewritable()) {
      const TCDOutcome erased = Erase();
      if (erased == TCDOutcome::Cancelled) return Stopped();
      if (erased != TCDOutcome::Completed) return AskAgain(kNotErased, Declined());
    }
    const std::int64_t freeKB = FreeKB();
    if (freeKB <= kDiscReserveKB) return AskAgain(kNoDisc, Declined());
    if (!FitsOnDisc(static_cast<std::int64_t>(GetFileSizeKB(file_)), freeKB))
      return AskAgain(kDiscTooSmall, Declined());
    return Write();
  }

  std::int64_t FreeKB() { return static_cast<std::int64_t>(writer_.GetFreeBlocks(1)) * 2048 / 1024; }

  // Quick, then complete when the quick one left no room. Completed: the disc has room now.
  TCDOutcome Erase() {
    const auto erase = [this](bool quick) {
      const TCDOutcome outcome = Operate(kErasing, [&] { return writer_.EraseDisc(quick); });
      writer_.RefreshDiscInfo();
      return outcome;
    };
    progress_.SetStatus("CD wird gelöscht... (TOC)");
    TCDOutcome outcome = erase(true);
    if (outcome == TCDOutcome::Cancelled || (outcome == TCDOutcome::Completed && FreeKB() > kDiscReserveKB))
      return outcome;
    progress_.SetStatus("CD wird gelöscht... (COMPLETE)");
    outcome = erase(false);
    return outcome == TCDOutcome::Completed && FreeKB() <= kDiscReserveKB ? TCDOutcome::Failed : outcome;
  }

  AttemptEnd Write() {
    progress_.SetBarMaximum(BurnBar::Archive, 100);
    progress_.SetBarMaximum(BurnBar::Actual, 100);
    writer_.SetWriteType(1);
    const int maxSpeed = writer_.GetMaxWriteSpeed();
    writer_.SetWriteSpeed(settings_.Speed > 0 ? std::min(settings_.Speed, maxSpeed) : maxSpeed);
    const std::string label = "Backup " + classlib::FormatDateTime("d-m-yy", classlib::Now());
    if (writer_.IsDiscRewritable()) {
      if (!settings_.Erase) {
        progress_.SetStatus("Sessions werden importiert...");
        ImportLastSession();
      }
      writer_.SetVolumeIdentifier(label);
      progress_.SetStatus("CD wird geschrieben...");
      writer_.SetCloseDisc(settings_.FinalizeRewritable);
    } else {
      progress_.SetStatus("CD wird geschrieben...");
      ImportLastSession();
      writer_.SetVolumeIdentifier(label);
      writer_.SetCloseDisc(settings_.FinalizeWriteOnce);
    }
    const bool prepared = writer_.AddFile(DiscPathOf(file_), file_) && writer_.PrepareWrite(true);
    progress_.SetBarMaximum(BurnBar::Archive, writer_.GetImageBlocks());
    const TCDOutcome outcome = Operate(kWriting, [&] { return prepared && writer_.StartWriting(); });
    if (outcome == TCDOutcome::Completed) {
      zip::fs::Delete(file_);
      if (settings_.Eject) writer_.EjectDisc();
      return BurnReport{};
    }
    if (outcome == TCDOutcome::Cancelled) return Stopped();
    if (!started_) return Refused();
    Ask("Der Schreibvorgang ist fehlgeschlagen!\r\rDie Datei " + FileNameOf(file_) +
            " wurde nicht auf den Datenträger geschrieben.",
        classlib::PromptButtons::Ok);
    return Report(BurnResult::WriteFailed, "Schreibvorgang fehlgeschlagen");
  }

  void ImportLastSession() {
    if (writer_.GetSessionCount() > 0) writer_.ImportLastSession(true);
  }

  // Starts an erase or a write under the busy mark and waits for its end.
  template <typename Start>
  TCDOutcome Operate(std::intptr_t mark, Start start) {
    writer_.Tag = mark;
    started_ = start();
    if (!started_) {
      writer_.Tag = 0;
      return TCDOutcome::Failed;
    }
    classlib::Application().WaitUntil([&] { return writer_.Tag != mark; });
    // The program is ending, or the mark was cleared while the device still works: stop it.
    if (writer_.LastOutcome() == TCDOutcome::Running) {
      writer_.Tag = 0;
      writer_.AbortWriting();
    }
    return writer_.LastOutcome();
  }

  // A refused start tries again at once, a few times; then the user decides.
  AttemptEnd Refused() {
    if (++refusals_ < kStartAttempts) return std::nullopt;
    refusals_ = 0;
    return AskAgain(kNotStarting, Report(BurnResult::StartRefused, "der CD-Recorder startet den Schreibvorgang nicht"));
  }

  // Retry: another attempt; Cancel: the burn ends with cancelled.
  AttemptEnd AskAgain(const char* text, const BurnReport& cancelled) {
    if (Ask(text, classlib::PromptButtons::RetryCancel) == classlib::PromptResult::Retry) return std::nullopt;
    return cancelled;
  }

  BurnReport Declined() const { return UserDeclined(file_); }

  BurnReport NoDevice() {
    const bool letter = IsDriveLetter(settings_.DriveLetter);
    const std::string drive = letter ? settings_.DriveLetter + ":" : "";
    Ask((letter ? "Der CD-Recorder " + drive + " ist nicht verfügbar!" : std::string("Kein CD-Recorder verfügbar!")) +
            "\r\rDas Backup kann nicht auf CD gebrannt werden.",
        classlib::PromptButtons::Ok);
    return Report(BurnResult::NoDevice, letter ? "kein CD-Recorder " + drive : "kein CD-Recorder gewählt");
  }

  BurnReport FileMissing() {
    Ask("Die Datei " + file_ + " wurde nicht gefunden!\r\rSie kann nicht auf CD gebrannt werden.",
        classlib::PromptButtons::Ok);
    return Report(BurnResult::FileMissing, "Datei nicht gefunden");
  }

  BurnReport Stopped() const { return Report(BurnResult::Cancelled, "Brennen abgebrochen"); }

  BurnReport Report(BurnResult result, const std::string& reason) const { return NotBurned(result, file_, reason); }

  TCDWriter& writer_;
  const BurnSettings& settings_;
  IBurnProgress& progress_;
  const std::string& file_;
  bool started_ = false;
  int refusals_ = 0;
};

}  // namespace

bool FitsOnDisc(std::int64_t fileKB, std::int64_t freeKB) { return fileKB < freeKB - kDiscReserveKB; }

std::string DiscPathOf(const std::string& file) { return "\\" + FileNameOf(file); }

std::vector<DiscFile> DiscFilesOf(const std::string& finalArchive, int parts) {
  std::vector<DiscFile> files{{finalArchive, DiscPathOf(finalArchive)}};
  for (int part = 1; part < parts; ++part) {
    const std::string source = PartFileName(finalArchive, part);
    files.push_back({source, DiscPathOf(source)});
  }
  return files;
}

BurnReport BurnOnCD(TCDWriter& writer, const BurnSettings& settings, IBurnProgress& progress, const std::string& file) {
  progress.SetBarValue(BurnBar::Archive, 0);
  progress.SetBarValue(BurnBar::Actual, 0);
  const BurnReport report = Burn(writer, settings, progress, file).Run();
  progress.FillBar(BurnBar::Archive);
  progress.FillBar(BurnBar::Actual);
  return report;
}

BurnReport BurnArchiveSet(TCDWriter& writer, const BurnSettings& settings, IBurnProgress& progress,
                          const std::string& finalArchive, int parts) {
  const std::vector<DiscFile> discs = DiscFilesOf(finalArchive, parts);
  for (std::size_t disc = 0; disc < discs.size(); ++disc) {
    if (disc > 0 && Ask(kNextDisc, classlib::PromptButtons::RetryCancel) != classlib::PromptResult::Retry)
      return UserDeclined(discs[disc].Source);
    const BurnReport report = BurnOnCD(writer, settings, progress, discs[disc].Source);
    if (!report.Burned()) return report;
  }
  return BurnReport{};
}

}  // namespace app
