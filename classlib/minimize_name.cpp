#include "classlib/minimize_name.h"

namespace classlib {

namespace {

const char kEllipsis[] = "...\\";

// "\a\b\c\" becomes "\...\b\c\", and "\...\b\c\" becomes "\...\c\".
std::string CutFirstFolder(std::string folders) {
  const bool rooted = !folders.empty() && folders[0] == '\\';
  if (rooted) folders.erase(0, 1);
  if (folders.compare(0, 4, kEllipsis) == 0) folders.erase(0, 4);
  const size_t slash = folders.find('\\');
  folders = slash == std::string::npos ? std::string() : kEllipsis + folders.substr(slash + 1);
  return rooted ? "\\" + folders : folders;
}

}  // namespace

std::string MinimizeName(const std::string& fileName, int maxWidth,
                         const std::function<int(const std::string&)>& textWidth) {
  const size_t slash = fileName.find_last_of('\\');
  std::string folders = slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
  const std::string name = fileName.substr(folders.size());
  // "C:" or "\\server\share" leads the folders and goes last.
  size_t driveLength = 0;
  if (folders.size() >= 2 && folders[1] == ':') {
    driveLength = 2;
  } else if (folders.compare(0, 2, "\\\\") == 0) {
    const size_t share = folders.find('\\', 2);
    if (share != std::string::npos) driveLength = folders.find('\\', share + 1);
  }
  std::string drive = folders.substr(0, driveLength);
  folders.erase(0, driveLength);
  std::string result = fileName;
  while ((!folders.empty() || !drive.empty()) && textWidth(result) > maxWidth) {
    if (folders == "\\...\\") {
      drive.clear();
      folders = kEllipsis;
    } else if (folders.empty() || folders == "\\") {
      drive.clear();
      folders.clear();
    } else {
      folders = CutFirstFolder(folders);
    }
    result = drive + folders + name;
  }
  return result;
}

}  // namespace classlib
