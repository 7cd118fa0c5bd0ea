#include "update/setup_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "classlib/wide.h"
#include "tests/support/temp_dir.h"
#include "tests/update/signing.h"

namespace {

using testing_support::FileExists;
using testing_support::TempDir;
using testing_support::WriteFile;
using update::TSetupFile;
using update_testing::SHA256Hex;

bool FolderExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(classlib::Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The standard's own examples; the million takes many reads.
TEST(FileSHA256, KnownDigests) {
  EXPECT_EQ(SHA256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(SHA256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(SHA256Hex(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

constexpr char kAbcDigest[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

TEST(SetupFile, EachDownloadGetsAFreshFolderOfItsOwn) {
  TempDir temp;
  TSetupFile first, second;
  ASSERT_TRUE(first.Prepare(temp.Path() + "\\"));
  // Without the trailing "\" too.
  ASSERT_TRUE(second.Prepare(temp.Path()));
  EXPECT_NE(first.Folder(), second.Folder());
  for (const TSetupFile* setup : {&first, &second}) {
    EXPECT_TRUE(FolderExists(setup->Folder()));
    EXPECT_EQ(setup->Folder().rfind(temp.Path() + "\\", 0), 0u);
    EXPECT_EQ(setup->FileName(), setup->Folder() + "\\orvapp.exe");
    EXPECT_FALSE(FileExists(setup->FileName()));
  }
  TSetupFile missing;
  EXPECT_FALSE(missing.Prepare(temp / "no such folder"));
}

TEST(SetupFile, OnlyTheGivenDigestPasses) {
  TempDir temp;
  const std::string upper = [] {
    std::string s = kAbcDigest;
    for (char& c : s) c = static_cast<char>(toupper(c));
    return s;
  }();
  const struct {
    const char* name;
    std::string digest;
    bool passes;
  } cases[] = {
      {"right", kAbcDigest, true},
      {"right in capitals", upper, true},
      {"wrong", std::string(64, '0'), false},
      {"missing", "", false},
      {"with CR", std::string(kAbcDigest) + "\r", false},
      {"cut short", std::string(kAbcDigest).substr(0, 63), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TSetupFile setup;
    ASSERT_TRUE(setup.Prepare(temp.Path()));
    WriteFile(setup.FileName(), "abc");
    EXPECT_EQ(setup.Verify(c.digest), c.passes);
  }
  TSetupFile absent;
  ASSERT_TRUE(absent.Prepare(temp.Path()));
  EXPECT_FALSE(absent.Verify(kAbcDigest));
}

TEST(SetupFile, AVerifiedSetupCannotBeChangedUntilReleased) {
  TempDir temp;
  TSetupFile setup;
  ASSERT_TRUE(setup.Prepare(temp.Path()));
  WriteFile(setup.FileName(), "abc");
  ASSERT_TRUE(setup.Verify(kAbcDigest));
  const std::wstring name = classlib::Widen(setup.FileName());
  EXPECT_EQ(CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                        nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_FALSE(DeleteFileW(name.c_str()));
  EXPECT_FALSE(MoveFileW(name.c_str(), (name + L".old").c_str()));
  // It can still be read, and so started.
  HANDLE reader = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
  EXPECT_NE(reader, INVALID_HANDLE_VALUE);
  CloseHandle(reader);

  const std::string file = setup.FileName();
  setup.Release();
  EXPECT_TRUE(FileExists(file));
  EXPECT_TRUE(DeleteFileW(name.c_str()));
}

TEST(SetupFile, DiscardDeletesTheDownloadAndItsFolder) {
  TempDir temp;
  TSetupFile setup;
  ASSERT_TRUE(setup.Prepare(temp.Path()));
  const std::string folder = setup.Folder();
  WriteFile(setup.FileName(), "abc");
  ASSERT_TRUE(setup.Verify(kAbcDigest));
  setup.Discard();
  EXPECT_FALSE(FolderExists(folder));
  EXPECT_TRUE(setup.FileName().empty());
}

}  // namespace
