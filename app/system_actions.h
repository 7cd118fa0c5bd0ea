// What the program asks of Windows itself: ending the session, opening a document, starting a
// program and whether the machine is online. Tests put recorders here, so no test shuts the
// machine down.
#pragma once

#include <functional>
#include <string>

namespace app {

// ExitWindowsEx with the flags (EWX_POWEROFF, EWX_REBOOT, ...) after enabling the shutdown
// privilege; true when Windows accepted.
bool MyExitWindows(unsigned flags);
// Opens a file (or a web or mail address) with the shell's "open" verb in a normal window; true
// when the shell started it.
bool ShellOpenFile(const std::string& file);
// Starts program with the parameters in a normal window; true when the shell started it.
bool ShellRunProgram(const std::string& program, const std::string& parameters);
// InternetGetConnectedState: true when the machine has a connection to the Internet.
bool InternetConnected();

struct SystemActions {
  std::function<bool(unsigned flags)> ExitSystem = MyExitWindows;
  std::function<bool(const std::string& file)> OpenFile = ShellOpenFile;
  std::function<bool(const std::string& program, const std::string& parameters)> RunProgram = ShellRunProgram;
  std::function<bool()> Online = InternetConnected;
};

// The program's one set; tests assign a fresh SystemActions to start over.
SystemActions& System();

}  // namespace app
