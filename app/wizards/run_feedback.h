// What a window that shows a backup being written does with the zip writer's events: the
// progress window's run and the creation wizard's single backup answer them alike.
#pragma once

#include <string>

#include "classlib/stdctrls.h"
#include "zip/zip_reader.h"

namespace app {

// A system-modal Yes/No question with the caption "Orvanta"; true for Yes.
bool AskYesNo(const std::string& text);

// path shortened (by leaving out folders) to the width of the label in its font.
std::string ShortenedToLabel(classlib::TLabel& label, const std::string& path);
// The label shows path shortened to its width; messages are pumped.
void ShowShortenedPath(classlib::TLabel& label, const std::string& path);

// OnSkippingFile: a file that could not be opened is offered for another try unless errors are
// suppressed; one that is given up is logged.
void AnswerSkippedFile(zip::TSkipReason Reason, const std::string& FName, bool& Retry);

}  // namespace app
