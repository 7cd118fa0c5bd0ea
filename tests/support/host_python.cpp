#include "tests/support/host_python.h"

#include <windows.h>

#include <chrono>
#include <thread>

#include "classlib/wide.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait.h"

namespace testing_support {
namespace {

const char kWrapper[] = R"(import io, os, sys, traceback
done, script = sys.argv[1], sys.argv[2]
sys.argv = [script] + sys.argv[3:]
out = io.StringIO()
sys.stdout = out
status = 0
try:
    exec(compile(open(script, encoding='utf-8').read(), script, 'exec'), {'__name__': '__main__'})
except SystemExit as e:
    status = e.code if isinstance(e.code, int) else 1
except BaseException:
    traceback.print_exc(file=out)
    status = 1
with open(done + '.part', 'w', encoding='utf-8') as f:
    f.write('%d\n%s' % (status, out.getvalue()))
os.replace(done + '.part', done)
)";

std::wstring Quoted(const std::string& arg) {
  std::wstring out = L"\"";
  for (wchar_t c : classlib::Widen(arg)) {
    if (c == L'"') out += L'\\';
    out += c;
  }
  return out + L"\"";
}

}  // namespace

std::string HostPath(const std::string& windowsPath) {
  using ToUnix = char*(CDECL*)(const WCHAR*);
  // Through void (*)(), the one function type that converts to any other without a warning.
  const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) return windowsPath;
  char* unix = toUnix(classlib::Widen(windowsPath).c_str());
  if (!unix) return windowsPath;
  std::string result(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

bool RunHostPython(const std::string& script, const std::vector<std::string>& args, std::string& output) {
  TempDir dir;
  const std::string wrapper = dir / "wrapper.py", user = dir / "script.py", done = dir / "done.txt";
  WriteFile(wrapper, kWrapper);
  WriteFile(user, script);
  std::wstring command = L"Z:\\usr\\bin\\python3";
  for (const std::string& arg : {HostPath(wrapper), HostPath(done), HostPath(user)}) command += L" " + Quoted(arg);
  for (const std::string& arg : args) command += L" " + Quoted(arg);

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    output = "python3 of the host could not be started";
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
  while (!FileExists(done)) {
    if (std::chrono::steady_clock::now() > deadline) {
      output = "python3 of the host did not finish within " + WaitText();
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  const std::string all = ReadFile(done);
  const std::size_t newline = all.find('\n');
  output = all.substr(newline + 1);
  return all.substr(0, newline) == "0";
}

}  // namespace testing_support
