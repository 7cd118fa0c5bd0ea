#include "app/program_windows.h"

#include "app/form_info.h"
#include "app/form_main.h"
#include "app/wizards/form_add.h"
#include "app/wizards/form_creation.h"
#include "app/wizards/form_extract.h"
#include "app/wizards/form_instant.h"
#include "app/wizards/form_popup.h"
#include "app/wizards/form_progress.h"
#include "app/wizards/form_recover.h"
#include "update/form_download.h"
#include "update/form_update.h"

namespace app {

ProgramWindows CreateProgramWindows(classlib::TComponent* owner, const ProgramStart& start) {
  ProgramWindows w;
  // The main window first: the writers of the next windows copy its compression level and
  // temporary folder when they are created.
  w.FormMain = new TFormMain(owner, start);
  if (w.FormMain->SecondInstance()) return w;
  w.FormProgress = new TFormProgress(owner);
  // The definition wizard lists the drives of the progress window's CD writer.
  w.FormInstant = new TFormInstant(owner, w.FormProgress->OrvBurner);
  w.FormAdd = new TFormAdd(owner);
  w.FormCreation = new TFormCreation(owner);
  w.FormPopup = new TFormPopup(owner);
  w.FormExtract = new TFormExtract(owner);
  w.FormInfo = new TFormInfo(owner);
  // The folder selection belongs to the definition wizard.
  w.FormUpdate = new update::TFormUpdate(owner);
  w.FormDownload = new update::TFormDownload(owner);
  w.FormUpdate->SetDownloadForm(w.FormDownload);
  w.FormRecover = new TFormRecover(owner);
  w.FormMain->WindowsCreated(w);
  return w;
}

}  // namespace app
