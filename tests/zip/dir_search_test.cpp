#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "classlib/wide.h"
#endif

#include "tests/support/temp_dir.h"
#include "zip/dir_search.h"
#include "zip/path_strings.h"

using namespace zip;
using testing_support::TempDir;

namespace {

std::string Host(std::string enginePath) {
#ifndef _WIN32
  BackslashesToSlashes(enginePath);
#endif
  return enginePath;
}

std::string DeepBranch(int depth) {
  std::string path = "deep\\";
  for (int i = 1; i <= depth; ++i) path += (i < 10 ? "d0" : "d") + std::to_string(i) + "\\";
  return path;
}

// Every directory of the tree below, as the walk names them.
std::vector<std::string> AllDirectories() {
  std::vector<std::string> dirs = {"a\\", "a\\logs\\", "a\\logs\\archive\\", "b\\", "b\\logs\\", "b\\other\\"};
  for (int depth = 0; depth <= 25; ++depth) dirs.push_back(DeepBranch(depth));
  return dirs;
}

// Files with and without extension, dot-files, hidden files and a branch deeper than 21 levels.
class SearchTree {
 public:
  SearchTree() : root_(dir_.Path()) {
    SlashesToBackslashes(root_);
    for (const std::string& d : AllDirectories()) std::filesystem::create_directories(std::filesystem::u8path(Host(At(d))));
    for (const char* f : {"readme.txt", "Makefile", ".profile", "secret.dat", "a\\notes.TXT", "a\\logs\\today.log",
                          "a\\logs\\LICENSE", "a\\logs\\archive\\x.log", "b\\logs\\old.log", "b\\other\\logs.txt"})
      testing_support::WriteFile(Host(At(f)), "hello");
    testing_support::WriteFile(Host(At(DeepBranch(25) + "bottom.txt")), "deep");
#ifdef _WIN32
    for (const char* f : {".profile", "secret.dat"})
      EXPECT_TRUE(SetFileAttributesW(classlib::Widen(At(f)).c_str(), FILE_ATTRIBUTE_HIDDEN));
#endif
  }

  std::string At(const std::string& relative) const { return root_ + "\\" + relative; }

  std::vector<std::string> Walk(const std::string& start, bool recurse, const std::string& mask) const {
    TDirSearch search(start, recurse, mask);
    std::vector<std::string> found;
    fs::FindData record;
    for (std::string name; !(name = search.NextFile(record)).empty() && found.size() < 1000;) {
      EXPECT_EQ(name.compare(0, root_.size() + 1, root_ + "\\"), 0) << name;
      found.push_back(name.substr(root_.size() + 1));
    }
    std::sort(found.begin(), found.end());
    return found;
  }

 private:
  TempDir dir_;
  std::string root_;
};

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

struct WalkCase {
  const char* start;  // below the tree's root
  bool recurse;
  const char* mask;
  std::vector<std::string> files;
};

}  // namespace

TEST(DirSearch, FindsEveryMatchingFileExactlyOnce) {
  const SearchTree tree;
  const std::vector<std::string> everyFile = {"readme.txt",       "Makefile",     ".profile",
                                              "secret.dat",       "a\\notes.TXT", "a\\logs\\today.log",
                                              "a\\logs\\LICENSE", "b\\logs\\old.log", "b\\other\\logs.txt",
                                              "a\\logs\\archive\\x.log", DeepBranch(25) + "bottom.txt"};
  const WalkCase cases[] = {
      {"", true, "*.*", everyFile},
      {"", false, "*.*", {"readme.txt", "Makefile", ".profile", "secret.dat"}},
      {"", false, "*.", {"Makefile"}},
      {"", true, "*.", {"Makefile", "a\\logs\\LICENSE"}},
      {"", true, "*.log", {"a\\logs\\today.log", "a\\logs\\archive\\x.log", "b\\logs\\old.log"}},
      {"", false, "*.txt", {"readme.txt"}},
      {"a", true, "*.txt", {"a\\notes.TXT"}},
  };
  for (const WalkCase& c : cases) {
    const std::string start = c.start;
    std::vector<std::string> expected = c.files;
    // Recursing, each directory below the start comes once too.
    if (c.recurse)
      for (const std::string& d : AllDirectories())
        if (d.compare(0, start.size(), start) == 0 && d != start + "\\") expected.push_back(d);
    EXPECT_EQ(tree.Walk(tree.At(start), c.recurse, c.mask), Sorted(expected)) << c.start << " " << c.mask << " " << c.recurse;
  }
}

TEST(DirSearch, DirectoryWildcardsChooseTheFoldersToSearch) {
  const SearchTree tree;
  EXPECT_EQ(tree.Walk(tree.At("*\\logs\\"), false, "*.*"),
            Sorted({"a\\logs\\LICENSE", "a\\logs\\today.log", "b\\logs\\old.log"}));
  EXPECT_EQ(tree.Walk(tree.At("*\\logs"), true, "*.log"),
            Sorted({"a\\logs\\today.log", "a\\logs\\archive\\", "a\\logs\\archive\\x.log", "b\\logs\\old.log"}));
  EXPECT_EQ(tree.Walk(tree.At("<!a>*\\*\\"), false, "*.txt"), Sorted({"b\\other\\logs.txt"}));
}

TEST(DirSearch, ReportsTheEntryOfEachFile) {
  const SearchTree tree;
  TDirSearch search(tree.At("a\\logs\\archive"), false, "*.*");
  fs::FindData record;
  EXPECT_EQ(search.NextFile(record), tree.At("a\\logs\\archive\\x.log"));
  EXPECT_EQ(record.name, "x.log");
  EXPECT_EQ(record.size, 5);
  EXPECT_NE(record.dosTime, 0u);
  EXPECT_EQ(search.NextFile(record), "");
  EXPECT_EQ(search.NextFile(record), "");
}

TEST(DirSearch, MissingStartFolderEndsAtOnce) {
  const SearchTree tree;
  fs::FindData record;
  for (const char* start : {"nowhere", "nowhere\\*\\logs"}) {
    TDirSearch search(tree.At(start), true, "*.*");
    EXPECT_EQ(search.NextFile(record), "") << start;
  }
}

TEST(DirSearch, EmptyDirectoryPartSearchesTheCurrentFolder) {
  const SearchTree tree;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::u8path(Host(tree.At("a"))));
  std::vector<std::string> found;
  fs::FindData record;
  for (const char* start : {"", "*\\"}) {
    TDirSearch search(start, false, "*.*");
    for (std::string name; !(name = search.NextFile(record)).empty() && found.size() < 10;) found.push_back(name);
  }
  std::filesystem::current_path(before);
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::string>{"logs\\LICENSE", "logs\\today.log", "notes.TXT"}));
}
