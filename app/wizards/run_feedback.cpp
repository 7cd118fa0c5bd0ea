#include "app/wizards/run_feedback.h"

#include <windows.h>

#include "app/activity_log.h"
#include "app/paced_pump.h"
#include "app/wizards/main_window_hooks.h"
#include "classlib/forms.h"
#include "classlib/minimize_name.h"
#include "classlib/prompt.h"

namespace app {

bool AskYesNo(const std::string& text, ReturnAnswers onReturn) {
  classlib::MessageRequest request;
  request.text = text;
  request.caption = "Orvanta";
  request.buttons = classlib::PromptButtons::YesNo;
  request.icon = classlib::PromptIcon::Question;
  request.systemModal = true;
  request.defaultButton = onReturn == ReturnAnswers::No ? 2 : 1;
  return classlib::Prompts().Message(request) == classlib::PromptResult::Yes;
}

std::string ShortenedToLabel(classlib::TLabel& label, const std::string& path) {
  HDC screen = GetDC(nullptr);
  std::string shortened;
  {
    classlib::TCanvas canvas(screen);
    canvas.Font().Assign(label.Font());
    shortened = classlib::MinimizeName(path, label.Width(), [&](const std::string& s) { return canvas.TextWidth(s); });
  }
  ReleaseDC(nullptr, screen);
  return shortened;
}

void TFileStatusLine::StartFile(const std::string& path) {
  waiting_ = path;
  CatchUp();
  ProcessMessagesPaced();
}

void TFileStatusLine::CatchUp() {
  if (waiting_.empty() || GetTickCount64() - shownAt_ < kFileNameIntervalMs) return;
  label_.SetCaption(ShortenedToLabel(label_, waiting_));
  waiting_.clear();
  shownAt_ = GetTickCount64();
}

void AnswerSkippedFile(zip::TSkipReason Reason, const std::string& FName, bool& Retry) {
  if (Reason == zip::TSkipReason::srFileOpenError && !MainWindow().PreventErrors()) {
    Retry = AskYesNo("Folgende Datei konnte nicht gesichert werden, da sie\rmöglicherweise exklusiv geöffnet ist:\r\r" +
                     FName + "\r\rVersuch wiederholen?");
    if (Retry) return;
  }
  LogSkippedFile(FName);
}

void ConnectRunDisplay(zip::TZipWriter& ZipArchive, TCDWriter& OrvBurner, TFileStatusLine& FileStatus,
                       controls::TVisProgressFill& FlatProgressBarActual,
                       controls::TVisProgressFill& FlatProgressBarArchive) {
  classlib::TLabel& LabelAction = FileStatus.Label();
  ZipArchive.OnTotalPercentDone = [&](int Percent) {
    FlatProgressBarArchive.SetUserValue(Percent);
    FileStatus.CatchUp();
    ProcessMessagesPaced();
  };
  ZipArchive.OnFilePercentDone = [&](int Percent) {
    FlatProgressBarActual.SetUserValue(Percent);
    FileStatus.CatchUp();
    ProcessMessagesPaced();
  };
  ZipArchive.OnSkippingFile = [](zip::TSkipReason Reason, const std::string& FName, int, bool& Retry) {
    AnswerSkippedFile(Reason, FName, Retry);
  };
  OrvBurner.OnClosingDisc = [&](classlib::TComponent*) { LabelAction.SetCaption("CD wird geschlossen..."); };
  OrvBurner.OnClosingSession = [&](classlib::TComponent*) { LabelAction.SetCaption("Session wird geschlossen..."); };
  OrvBurner.OnTrackWriteStart = [&](classlib::TComponent*, int, int) { FlatProgressBarActual.SetMaxValue(100); };
  OrvBurner.OnTrackWriteStatus = [&](classlib::TComponent*, int, int BlocksWritten, int DeviceBufferUsed) {
    FlatProgressBarActual.SetUserValue(DeviceBufferUsed);
    FlatProgressBarArchive.SetUserValue(BlocksWritten);
    classlib::Application().ProcessMessages();
  };
  const classlib::TNotifyEvent idle = [&OrvBurner](classlib::TComponent*) { OrvBurner.Tag = 0; };
  OrvBurner.OnEraseComplete = idle;
  OrvBurner.OnWritingCancelled = idle;
  OrvBurner.OnWritingComplete = idle;
}

}  // namespace app
