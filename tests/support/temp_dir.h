// A fresh folder for one test, removed with everything in it afterwards. Paths are UTF-8.
#pragma once

#include <string>

namespace testing_support {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const;

 private:
  std::string path_;
};

// A folder joined with a relative name, with the host's separator.
std::string Join(const std::string& folder, const std::string& name);

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace testing_support
