#include "tests/support/child_process.h"

#include "classlib/wide.h"
#include "tests/support/temp_dir.h"

namespace testing_support {

namespace {

std::string SystemError(const char* what, DWORD code) {
  return std::string(what) + " (error " + std::to_string(code) + ")";
}

}  // namespace

ChildRun RunChild(const std::wstring& CommandLine, DWORD TimeoutMs) {
  ChildRun run;
  const std::string program = classlib::Narrow(CommandLine.substr(0, CommandLine.find(L' ')));
  TempDir dir;
  const std::wstring outputName = classlib::Widen(dir / "output.txt");
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE output = CreateFileW(outputName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  if (output == INVALID_HANDLE_VALUE) {
    run.Problem = SystemError("no file for the output of the program", GetLastError());
    return run;
  }
  std::wstring command = CommandLine;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output;
  startup.hStdError = output;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process = {};
  const bool started = CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                                      &startup, &process);
  const DWORD startError = GetLastError();
  CloseHandle(output);
  if (!started) {
    run.Problem = SystemError((program + " did not start").c_str(), startError);
    return run;
  }
  const DWORD waited = WaitForSingleObject(process.hProcess, TimeoutMs);
  DWORD exitCode = 0;
  if (waited == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &exitCode);
  } else {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 5000);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  run.Output = ReadFile(dir / "output.txt");
  if (waited != WAIT_OBJECT_0)
    run.Problem = program + " did not end within " + std::to_string(TimeoutMs / 1000) + " s";
  else if (exitCode != 0)
    run.Problem = program + " ended with " + std::to_string(exitCode) + ": " + run.Output;
  return run;
}

}  // namespace testing_support
