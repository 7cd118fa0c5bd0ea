// The program: the class library and the control library set up, the windows created once, the
// message loop until the program is asked to end, and the windows freed again, the main window
// last (it writes the end of the log).
#include <windows.h>

#include <exception>

#include "app/form_main.h"
#include "app/paced_pump.h"
#include "app/program_windows.h"
#include "classlib/forms.h"
#include "controls/panels/vis_application.h"
#include "zip/message_pump.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int exitCode = 0;
  classlib::TApplication& application = classlib::Application();
  try {
    controls::StartControlLibrary();
    application.Initialize();
    application.SetTitle("Orvanta");
    // The archive engine lets the windows run through the same loop as the rest of the program,
    // paced as the program's own loops are.
    zip::SetMessagePump([] { app::ProcessMessagesPaced(); });
    app::CreateProgramWindows(&application, app::ProgramStart());
    application.Run();
  } catch (...) {
    application.HandleException(std::current_exception());
    exitCode = 1;
  }
  try {
    while (application.ComponentCount() > 0) delete application.Components(application.ComponentCount() - 1);
    controls::StopControlLibrary();
  } catch (...) {
    exitCode = 1;
  }
  return exitCode;
}
