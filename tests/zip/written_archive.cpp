#include "tests/zip/written_archive.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_dir.h"
#include "tests/zip/archive_fixtures.h"
#include "zip/path_strings.h"

namespace written_archive {

std::map<std::string, std::string> ReadEntries(const std::vector<std::string>& parts, const std::string& password) {
  testing_support::TempDir dest;
  archive_fixtures::TestReader reader;
  reader.OnBadCRC = [](std::uint32_t, std::uint32_t, int index) { ADD_FAILURE() << "bad CRC in entry " << index; };
  reader.OnSkippingFile = [](zip::TSkipReason, const std::string& name, int, bool&) {
    ADD_FAILURE() << "skipped " << name;
  };
  reader.SetZipName(parts.back());
  reader.SetDestDir(dest.Path());
  reader.SetRecreateDirs(true);
  reader.SetDoAll(true);
  reader.SetPassword(password);
  reader.ExtractMatching();
  EXPECT_EQ(reader.DiskCount(), static_cast<int>(parts.size()));
  std::map<std::string, std::string> result;
  for (int i = 0; i < reader.EntryCount(); ++i) {
    std::string path = reader.EntryPath(i);
    zip::BackslashesToSlashes(path);
    result[path] = path.back() == '/' ? std::string() : testing_support::ReadFile(dest / path);
  }
  return result;
}

std::map<std::string, std::string> ReadTree(const std::string& root) {
  namespace fsys = std::filesystem;
  std::map<std::string, std::string> result;
  const fsys::path base = fsys::u8path(root);
  for (const auto& item : fsys::recursive_directory_iterator(base)) {
    const std::string relative = fsys::relative(item.path(), base).generic_u8string();
    if (item.is_directory()) {
      result[relative + "/"] = "";
    } else {
      result[relative] = testing_support::ReadFile(item.path().u8string());
    }
  }
  return result;
}

}  // namespace written_archive
