// The other process of the hand-over tests.
//   handover_peer --first SERVICE OUTPUT DELAY_MS WORK_MS
//     a running copy: waits DELAY_MS before it offers SERVICE (a copy still starting), then pumps
//     messages; each macro it receives is appended to OUTPUT, one line per line and "--" after
//     it, after which its handler works WORK_MS, pumping messages as a backup run does.
//   handover_peer --hung SERVICE OUTPUT
//     a running copy that offers SERVICE, writes "--" to OUTPUT and then stops taking messages.
//   handover_peer ARGUMENTS...   (with ORV_HANDOVER_SERVICE set)
//     a second start: renames its own server as the program does and hands its command line
//     over; exit code 0 when delivered, 1 when nobody answered.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/dde_hand_over.h"
#include "app/hand_over.h"
#include "classlib/wide.h"

namespace {

void Append(const std::string& path, const std::string& text) {
  const HANDLE file = CreateFileW(classlib::Widen(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

void WorkFor(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (ULONGLONG now; (now = GetTickCount64()) < end;) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
}

int RunFirstCopy(const std::vector<std::string>& args) {
  const std::string service = args[2], output = args[3];
  const DWORD workMs = std::stoul(args[5]);
  Sleep(std::stoul(args[4]));
  app::THandOverServer server(service);
  if (!server.Listening()) return 2;
  server.OnExecuteMacro = [&](const classlib::TStringList& lines) {
    std::string block;
    for (const std::string& line : lines) block += line + "\n";
    Append(output, block + "--\n");
    WorkFor(workMs);
  };
  // The tests end this process; the timer only keeps a forgotten one from staying.
  SetTimer(nullptr, 0, 60000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); });
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

int RunHungCopy(const std::string& service, const std::string& output) {
  app::THandOverServer server(service);
  Append(output, "--\n");
  Sleep(60000);
  return 0;
}

int RunSecondStart(const std::string& service) {
  app::THandOverServer own(service);
  own.SetTopic(app::kSecondStartTopic);
  return app::HandOverToRunningCopy(app::HandOverLines(), service) == app::HandOverResult::Delivered ? 0 : 1;
}

}  // namespace

int main() {
  const std::vector<std::string> args = app::CommandLineArguments(app::ProgramCommandLine());
  if (args.size() == 6 && args[1] == "--first") return RunFirstCopy(args);
  if (args.size() == 4 && args[1] == "--hung") return RunHungCopy(args[2], args[3]);
  const char* service = std::getenv("ORV_HANDOVER_SERVICE");
  return service ? RunSecondStart(service) : 3;
}
