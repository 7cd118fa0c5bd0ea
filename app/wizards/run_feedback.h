// What a window that shows a backup being written does with the events of its zip writer and
// its CD writer: the progress window's run and the creation wizard's single backup answer them
// alike.
#pragma once

#include <string>

#include "app/cd_writer.h"
#include "classlib/stdctrls.h"
#include "controls/panels/vis_progress_fill.h"
#include "zip/zip_writer.h"

namespace app {

// A system-modal Yes/No question with the caption "Orvanta"; true for Yes. Return answers Yes,
// or No where Yes would end something the user did not mean to lose.
enum class ReturnAnswers { Yes, No };
bool AskYesNo(const std::string& text, ReturnAnswers onReturn = ReturnAnswers::Yes);

// path shortened (by leaving out folders) to the width of the label in its font.
std::string ShortenedToLabel(classlib::TLabel& label, const std::string& path);

// The file a run writes, on the window's status line, shortened to its width. Files may follow
// each other faster than anyone reads them, and each name costs a measurement and a paint: a
// name comes on the line at most every kFileNameIntervalMs, and one that has to wait follows
// with the run's next progress report once its time has come.
class TFileStatusLine {
 public:
  static constexpr unsigned kFileNameIntervalMs = 40;

  explicit TFileStatusLine(classlib::TLabel& label) : label_(label) {}
  TFileStatusLine(const TFileStatusLine&) = delete;
  TFileStatusLine& operator=(const TFileStatusLine&) = delete;

  classlib::TLabel& Label() { return label_; }
  // The writer starts on the file at path (OnStartZip); messages are pumped now and then.
  void StartFile(const std::string& path);
  // A progress report of the run: the waiting name, when its time has come.
  void CatchUp();
  // A new run: no name of an earlier one follows.
  void Clear() { waiting_.clear(); }

 private:
  classlib::TLabel& label_;
  std::string waiting_;
  unsigned long long shownAt_ = 0;
};

// OnSkippingFile: a file that could not be opened is offered for another try unless errors are
// suppressed; one that is given up is logged.
void AnswerSkippedFile(zip::TSkipReason Reason, const std::string& FName, bool& Retry);

// The writers' events on the window's status line and bars: total and file percentages, a skipped
// file (AnswerSkippedFile), the CD writer's closing steps and track progress, and its busy mark
// cleared at the end of an erase or write. The bars repaint only when their percentage changes,
// and messages are pumped now and then. OnStartZip stays the window's own, which tells
// FileStatus.
void ConnectRunDisplay(zip::TZipWriter& ZipArchive, TCDWriter& OrvBurner, TFileStatusLine& FileStatus,
                       controls::TVisProgressFill& FlatProgressBarActual,
                       controls::TVisProgressFill& FlatProgressBarArchive);

}  // namespace app
