#include "app/burn_folder.h"

#include <windows.h>

#include "classlib/exceptions.h"
#include "classlib/wide.h"

namespace app {
namespace {

// Numbers tried before giving up: far more than stopped burns ever leave.
constexpr int kMostBurnFolders = 1000;

}  // namespace

std::string CreateBurnFolder(const std::string& tempFolder) {
  for (int n = 1; n <= kMostBurnFolders; ++n) {
    const std::string folder = tempFolder + "Orvanta CD " + std::to_string(n);
    if (CreateDirectoryW(classlib::Widen(folder).c_str(), nullptr)) return folder + "\\";
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  throw classlib::EFCreateError("Im temporären Ordner \"" + tempFolder +
                                "\" konnte kein Ordner für die Dateien zum Brennen angelegt werden.");
}

void RemoveBurnFolder(const std::string& folder) { RemoveDirectoryW(classlib::Widen(folder).c_str()); }

}  // namespace app
