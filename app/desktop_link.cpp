#include "app/desktop_link.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "app/program_paths.h"
#include "classlib/registry.h"
#include "classlib/wide.h"

namespace app {
namespace {

std::function<std::string()>& KnownFolderForTesting() {
  static std::function<std::string()> knownFolder;
  return knownFolder;
}

std::string KnownDesktopFolder() {
  if (KnownFolderForTesting()) return KnownFolderForTesting()();
  PWSTR path = nullptr;
  std::string folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &path))) folder = classlib::Narrow(path);
  CoTaskMemFree(path);
  return folder;
}

std::string ShellFoldersDesktop() {
  classlib::TRegistry reg;
  if (!reg.OpenKeyReadOnly("\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders")) return {};
  try {
    return reg.ValueExists("Desktop") ? reg.ReadString("Desktop") : std::string();
  } catch (const std::exception&) {
    return {};
  }
}

std::string WithoutTrailingBackslash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '\\') folder.pop_back();
  return folder;
}

template <typename T>
struct Released {
  T* p = nullptr;
  ~Released() {
    if (p) p->Release();
  }
};

// COM for this thread, for as long as the object lives.
class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }

 private:
  HRESULT result_;
};

}  // namespace

bool CreateLink(const std::string& Target, const std::string& Arguments, const std::string& IconFile,
                const std::string& WorkingFolder, const std::string& Description, const std::string& LinkFile) {
  ComScope com;
  Released<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link.p))))
    return false;
  std::string folder = WorkingFolder;
  if (folder.size() >= 2 && folder.compare(folder.size() - 2, 2, "\\\\") == 0) folder.pop_back();
  const bool set = SUCCEEDED(link.p->SetPath(classlib::Widen(Target).c_str())) &&
                   SUCCEEDED(link.p->SetArguments(classlib::Widen(Arguments).c_str())) &&
                   SUCCEEDED(link.p->SetDescription(classlib::Widen(Description).c_str())) &&
                   SUCCEEDED(link.p->SetWorkingDirectory(classlib::Widen(folder).c_str())) &&
                   SUCCEEDED(link.p->SetIconLocation(classlib::Widen(IconFile).c_str(), 0));
  if (!set) return false;
  Released<IPersistFile> file;
  if (FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p)))) return false;
  return SUCCEEDED(file.p->Save(classlib::Widen(LinkFile).c_str(), TRUE));
}

bool CreateLink(const DesktopShortcut& l) {
  return CreateLink(l.Target, l.Arguments, l.IconFile, l.WorkingFolder, l.Description, l.LinkFile);
}

std::string DesktopFolder() {
  std::string folder = KnownDesktopFolder();
  if (folder.empty()) folder = ShellFoldersDesktop();
  return WithoutTrailingBackslash(folder);
}

void SetKnownDesktopFolderForTesting(std::function<std::string()> knownFolder) {
  KnownFolderForTesting() = std::move(knownFolder);
}

DesktopShortcut ShortcutFor(const std::string& name, const std::string& desktop) {
  DesktopShortcut link;
  link.Target = ProgramFile();
  link.Arguments = "/start " + name;
  link.IconFile = ProgramFile();
  link.WorkingFolder = ProgramFolder();
  link.Description = name + " durchführen...";
  link.LinkFile = desktop + "\\" + name + ".lnk";
  return link;
}

}  // namespace app
