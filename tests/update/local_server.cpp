#include "tests/update/local_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <sstream>
#include <stdexcept>

#include "classlib/gui_thread.h"
#include "classlib/wide.h"
#include "tests/support/host_python.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait.h"

namespace update_testing {
namespace {

// Wine's own export that maps a host path to its drive letter.
std::wstring WindowsPath(const std::string& hostPath) {
  using ToDos = WCHAR*(CDECL*)(LPCSTR);
  auto toDos = reinterpret_cast<ToDos>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_dos_file_name")));
  if (!toDos) throw std::runtime_error("the HTTP tests run under Wine only");
  WCHAR* dosPath = toDos(hostPath.c_str());
  if (!dosPath) throw std::runtime_error("no Windows path for " + hostPath);
  std::wstring result(dosPath);
  HeapFree(GetProcessHeap(), 0, dosPath);
  return result;
}

// Opens the connection whose close ends the server, and keeps it for the life of the program.
void HoldLifeline(int port) {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("no sockets");
  SOCKET lifeline = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const char request[] = "GET /lifeline HTTP/1.0\r\n\r\n";
  if (lifeline == INVALID_SOCKET || connect(lifeline, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      send(lifeline, request, sizeof request - 1, 0) != static_cast<int>(sizeof request - 1)) {
    throw std::runtime_error("cannot reach the HTTP test server");
  }
}

// The server's port file and, beside it, its site folder.
const testing_support::TempDir& ServerFolder() {
  static testing_support::TempDir folder;
  return folder;
}

struct Ports {
  int server;
  int unaccepting;
};

// Starts the script and reads the ports it listens on. The host process has no Windows handle;
// the script ends when the lifeline closes.
Ports StartServer() {
  const std::string portFile = ServerFolder() / "port";
  std::wstring command = L"\"" + WindowsPath(ORV_PYTHON3) + L"\" \"" + classlib::Widen(ORV_HTTP_ANSWERS) +
                         L"\" \"" + classlib::Widen(testing_support::HostPath(portFile)) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    throw std::runtime_error("cannot start " ORV_PYTHON3);
  }
  if (process.hThread) CloseHandle(process.hThread);
  if (process.hProcess) CloseHandle(process.hProcess);
  for (DWORD waited = 0; waited < testing_support::kWaitMs; waited += 50) {
    if (testing_support::FileExists(portFile)) {
      std::istringstream lines(testing_support::ReadFile(portFile));
      Ports ports{};
      lines >> ports.server >> ports.unaccepting;
      HoldLifeline(ports.server);
      return ports;
    }
    Sleep(50);
  }
  throw std::runtime_error("the HTTP test server did not start within " + testing_support::WaitText());
}

const Ports& ServerPorts() {
  static const Ports ports = StartServer();
  return ports;
}

}  // namespace

std::string ServerUrl(const std::string& path) {
  return "http://127.0.0.1:" + std::to_string(ServerPorts().server) + path;
}

std::string UnacceptingUrl(const std::string& path) {
  return "http://127.0.0.1:" + std::to_string(ServerPorts().unaccepting) + path;
}

namespace {

// Lists the local ends of the connections to PORT in SYN_SENT; with a list of them given, waits
// until one not on it shows.
constexpr char kConnectAttempts[] = R"(import sys, time
port = "%04X" % int(sys.argv[1])
def attempts():
    found = set()
    for line in open("/proc/net/tcp").readlines()[1:]:
        local, remote, state = line.split()[1:4]
        if remote.endswith(":" + port) and state == "02":
            found.add(local)
    return found
if len(sys.argv) == 2:
    print(" ".join(sorted(attempts())))
    sys.exit(0)
before = set(sys.argv[2].split())
deadline = time.time() + 10
while not attempts() - before:
    if time.time() > deadline:
        sys.exit(1)
    time.sleep(0.02)
)";

}  // namespace

std::string ConnectAttempts() {
  std::string output;
  if (!testing_support::RunHostPython(kConnectAttempts, {std::to_string(ServerPorts().unaccepting)}, output)) {
    throw std::runtime_error("cannot list the connects: " + output);
  }
  return output;
}

bool WaitForConnectAttempt(const std::string& before) {
  std::string output;
  return testing_support::RunHostPython(kConnectAttempts, {std::to_string(ServerPorts().unaccepting), before}, output);
}

std::string SiteFolder() {
  const std::string folder = ServerFolder() / "site";
  CreateDirectoryW(classlib::Widen(folder).c_str(), nullptr);
  return folder;
}

bool PumpUntil(const std::function<bool()>& done, unsigned long milliseconds) {
  const ULONGLONG deadline = GetTickCount64() + milliseconds;
  // A timer keeps the pump waking up.
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, nullptr);
  classlib::PumpMessagesUntil([&] { return done() || GetTickCount64() > deadline; });
  KillTimer(nullptr, timer);
  return done();
}

std::string Pattern(int size) {
  std::string bytes(static_cast<size_t>(size), '\0');
  for (int i = 0; i < size; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>(i % 251);
  return bytes;
}

}  // namespace update_testing
