// The program's windows: created once at start, in a fixed order, and kept until the program
// ends; each is only shown and hidden.
#pragma once

namespace classlib {
class TComponent;
}
namespace update {
class TFormUpdate;
class TFormDownload;
}  // namespace update

namespace app {

class TFormMain;
class TFormProgress;
class TFormInstant;
class TFormAdd;
class TFormCreation;
class TFormPopup;
class TFormExtract;
class TFormRecover;
class TFormInfo;
struct ProgramStart;

struct ProgramWindows {
  TFormMain* FormMain = nullptr;
  TFormProgress* FormProgress = nullptr;
  TFormInstant* FormInstant = nullptr;
  TFormAdd* FormAdd = nullptr;
  TFormCreation* FormCreation = nullptr;
  TFormPopup* FormPopup = nullptr;
  TFormExtract* FormExtract = nullptr;
  TFormInfo* FormInfo = nullptr;
  update::TFormUpdate* FormUpdate = nullptr;
  update::TFormDownload* FormDownload = nullptr;
  TFormRecover* FormRecover = nullptr;
};

// Creates the windows, owned by owner, and hands them to the main window. A second start creates
// only the main window, which has handed its command line over and asked the program to end.
ProgramWindows CreateProgramWindows(classlib::TComponent* owner, const ProgramStart& start);

}  // namespace app
