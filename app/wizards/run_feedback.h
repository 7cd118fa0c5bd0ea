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
// The label shows path shortened to its width; messages are pumped.
void ShowShortenedPath(classlib::TLabel& label, const std::string& path);

// OnSkippingFile: a file that could not be opened is offered for another try unless errors are
// suppressed; one that is given up is logged.
void AnswerSkippedFile(zip::TSkipReason Reason, const std::string& FName, bool& Retry);

// The writers' events on the window's status line and bars: total and file percentages, a skipped
// file (AnswerSkippedFile), the CD writer's closing steps and track progress, and its busy mark
// cleared at the end of an erase or write. OnStartZip stays the window's own.
void ConnectRunDisplay(zip::TZipWriter& ZipArchive, TCDWriter& OrvBurner, classlib::TLabel& LabelAction,
                       controls::TVisProgressFill& FlatProgressBarActual,
                       controls::TVisProgressFill& FlatProgressBarArchive);

}  // namespace app
