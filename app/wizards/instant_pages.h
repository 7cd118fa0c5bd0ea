// The pages of the definition wizard and how "Weiter" and "Zurück" step through them: normal mode
// shows the four main pages, expert mode every page (a definition of single files has no filter
// page); while the two passwords differ, every step shows the password page. Which page comes next
// follows from where the wizard stands alone, so it is decided here.
#pragma once

#include <string>

namespace app {

enum InstantPage {
  kWelcomePage = 0,
  kSourcePage = 1,  // the files or the folders to back up
  kFilterPage = 2,
  kSchedulePage = 3,
  kCatchUpPage = 4,
  kKindPage = 5,  // full or partial
  kInstancesPage = 6,
  kPasswordPage = 7,
  kSplitPage = 8,
  kDestinationPage = 9,
  kNamePage = 10,
  kSavePage = 11,  // no page: "Fertig" on the name page saves
};

struct PageStepInput {
  int Page = -1;      // where the wizard stands; -1 before the first page
  bool Back = false;  // "Zurück" asked for the step: it comes here with Page lowered by 2
  bool Expert = false;
  bool Editing = false;
  bool Files = true;              // a definition of single files, not of folders
  bool BurnerShown = false;       // the burner settings lie over the destination page
  bool PasswordMismatch = false;  // the password is on and its repetition differs
};

enum class PageAction { Close, Show, Save };

struct PageStep {
  int Page;
  PageAction Action;
};

PageStep StepPage(const PageStepInput& in);

// "Schritt 2 von 4" for the page in that mode; empty for a page that is no step.
std::string StepText(int page, bool expert, bool files);

}  // namespace app
