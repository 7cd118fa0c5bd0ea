#include "update/update_info.h"

#include <gtest/gtest.h>

#include <string>

#include "classlib/exceptions.h"
#include "tests/update/signing.h"
#include "update/file_version.h"
#include "update/vendor_signature.h"

namespace {

using update::GetUpdateInfo;
using update::IsNewerVersion;
using update::TFileVersion;
using update::TUpdateInfo;
using update_testing::Signed;

constexpr char kOwn[] = "2.402";
const std::string kDigest(64, 'a');

struct ParseCase {
  const char* name;
  std::string text;
  const char* available;
  const char* size;
  std::string digest;
};

TEST(GetUpdateInfo, ReadsTheSectionFromItsCharacterPositions) {
  const ParseCase cases[] = {
      {"LF", "[info]\nname=Orvanta\n[data full]\nVersion=2.41\nSize=1024 KB\n", "2.41", "1024 KB", ""},
      {"the first section counts", "x\n[data full]\nVersion=2.41\nSize=9 KB\n[data full]\nVersion=3.0\nSize=1 KB\n",
       "2.41", "9 KB", ""},
      {"header inside a line", "x\n-- [data full] --\nVersion=2.41\nSize=9 KB\n", "2.41", "9 KB", ""},
      {"with digest", "[data full]\nVersion=2.41\nSize=1024 KB\nSHA256=" + kDigest + "\n", "2.41", "1024 KB", kDigest},
      {"other line after the size", "[data full]\nVersion=2.41\nSize=1024 KB\nNotes=x\n", "2.41", "1024 KB", ""},
      // A line ends at CR LF, LF or CR.
      {"CR LF", "[data full]\r\nVersion=2.41\r\nSize=1024 KB\r\n", "2.41", "1024 KB", ""},
      {"CR", "[data full]\rVersion=2.41\rSize=1024 KB\rSHA256=" + kDigest + "\r", "2.41", "1024 KB", kDigest},
      {"mixed", "[data full]\r\nVersion=2.41\rSize=1024 KB\n", "2.41", "1024 KB", ""},
      // LF CR is two line ends, so an empty line stands between.
      {"LF CR", "x\n[data full]\n\rVersion=2.41\nSize=1 KB\n", "", "on=2.41", ""},
      // The first eight and five characters go, whatever they are; shorter lines leave nothing.
      {"short lines", "[data full]\nVer\nSize\n", "", "", ""},
      // A digest on a last line without LF does not count.
      {"digest without LF", "[data full]\nVersion=2.41\nSize=1024 KB\nSHA256=" + kDigest, "2.41", "1024 KB", ""},
      {"no section", "a\nb\nc\n", kOwn, "0", ""},
      {"only two lines", "[data full]\nVersion=2.41\n", kOwn, "0", ""},
      {"empty", "", kOwn, "0", ""},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TUpdateInfo info = GetUpdateInfo(c.text, kOwn);
    EXPECT_EQ(info.ActualVersion, kOwn);
    EXPECT_EQ(info.AvailableVersion, c.available);
    EXPECT_EQ(info.DownloadSize, c.size);
    EXPECT_EQ(info.SetupDigest, c.digest);
  }
}

TEST(GetUpdateInfo, ASectionEndingBeforeItsSizeLineFails) {
  for (const char* text : {"a\nb\n[data full]\n", "a\n[data full]\nVersion=2.41\n",
                           // The size line has no LF, so it is no line.
                           "a\n[data full]\nVersion=2.41\nSize=1024 KB"}) {
    SCOPED_TRACE(text);
    EXPECT_THROW(GetUpdateInfo(text, kOwn), classlib::EListError);
  }
}

TEST(ReadUpdateFile, BelievesOnlyASignedFileThatNamesTheSetupsDigest) {
  update::SetVendorPublicKeyForTesting(update_testing::VendorTestKey().publicPoint);
  struct Restore {
    ~Restore() { update::SetVendorPublicKeyForTesting(""); }
  } restore;
  using update::TUpdateFileKind;
  const std::string section = "[data full]\nVersion=2.41\nSize=1024 KB\n";
  const struct {
    const char* name;
    std::string file;
    TUpdateFileKind kind;
    bool newer;
  } cases[] = {
      {"newer", Signed(section + "SHA256=" + kDigest + "\n"), TUpdateFileKind::Offer, true},
      {"same", Signed("[data full]\nVersion=2.402\nSize=1 KB\nSHA256=" + kDigest + "\n"), TUpdateFileKind::Offer,
       false},
      {"unsigned", section + "SHA256=" + kDigest + "\n", TUpdateFileKind::NotVerified, false},
      {"no digest", Signed(section), TUpdateFileKind::NotVerified, false},
      {"digest cut short", Signed(section + "SHA256=" + kDigest.substr(1) + "\n"), TUpdateFileKind::NotVerified,
       false},
      {"digest not hex", Signed(section + "SHA256=" + std::string(64, 'g') + "\n"), TUpdateFileKind::NotVerified,
       false},
      {"no section", Signed("a\nb\nc\n"), TUpdateFileKind::NotVerified, false},
      {"missing size line", Signed("a\n[data full]\nVersion=2.41\n"), TUpdateFileKind::Unreadable, false},
      {"no version", Signed("[data full]\nVersion=neu\nSize=1 KB\nSHA256=" + kDigest + "\n"),
       TUpdateFileKind::Unreadable, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const update::TUpdateFile file = update::ReadUpdateFile(c.file, {2, 4, 0, 2});
    EXPECT_EQ(file.Kind, c.kind);
    EXPECT_EQ(file.Newer, c.newer);
    if (c.kind == TUpdateFileKind::Offer) {
      EXPECT_EQ(file.Info.SetupDigest, kDigest);
    } else {
      EXPECT_EQ(file.Info.SetupDigest, "");
    }
  }
}

TEST(IsNewerVersion, DecimalTextsAsBeforeAndDottedVersionsNumberByNumber) {
  const TFileVersion own{2, 4, 0, 2};
  const struct {
    const char* available;
    bool newer;
  } cases[] = {
      {"2.41", true},      {"2.402", false},    {"2.4020", false},   {"2.4", false},      {"2.40201", true},
      {"3", true},         {"2", false},        {"02.5", true},      {"2.4.0.12", true},  {"2.4.0.2", false},
      {"2.4.0.1", false},  {"2.4.1", true},     {"2.4.0", false},    {"2.10.0.0", true},  {"10.0.0.0", true},
      {"1.99.99.99", false}, {"99999999999999999999.0.0.0", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.available);
    EXPECT_EQ(IsNewerVersion(own, c.available), c.newer);
  }
  EXPECT_FALSE(IsNewerVersion({2, 4, 0, 12}, "2.4.0.2"));
  EXPECT_TRUE(IsNewerVersion({2, 4, 0, 2}, "2.4.0.12"));
}

TEST(IsNewerVersion, AnythingButNumbersAndDotsIsNoVersion) {
  for (const char* text : {"2.41\r", "", "2.", ".5", "2..4", "v2.41", "2,41", "2.4.0.1.5", " 2.41", "2.41 "}) {
    SCOPED_TRACE(text);
    EXPECT_THROW(IsNewerVersion({2, 4, 0, 2}, text), classlib::EConvertError);
  }
}

TEST(DownloadSizeKB, APositiveNumberBeforeTheUnit) {
  const struct {
    const char* text;
    int kb;
  } cases[] = {
      {"1024 KB", 1024}, {"1 KB", 1}, {"0 KB", 0},         {"Fehler", 0},       {"0", 0},
      {" KB", 0},        {"", 0},     {"1.234 KB", 0},     {"-5 KB", 0},        {"2147483647 KB", 2147483647},
      {"2147483648 KB", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(update::DownloadSizeKB(c.text), c.kb);
  }
}

TEST(FileVersion, TheProgramsOwnVersionAndItsText) {
  const TFileVersion own = update::OwnFileVersion();
  EXPECT_EQ(own.Major, 2);
  EXPECT_EQ(own.Minor, 4);
  EXPECT_EQ(own.Release, 0);
  EXPECT_EQ(own.Build, 2);
  EXPECT_EQ(update::VersionText(own), "2.402");
  EXPECT_EQ(update::VersionText({2, 4, 0, 12}), "2.4012");
  EXPECT_EQ(update::VersionText({10, 0, 3, 0}), "10.030");
}

TEST(FileVersion, AFileWithoutVersionLeavesTheNumbersAlone) {
  TFileVersion version{7, 8, 9, 10};
  EXPECT_FALSE(update::GetFileVersion("C:\\windows\\win.ini", version));
  EXPECT_FALSE(update::GetFileVersion("C:\\no such file.exe", version));
  EXPECT_EQ(update::VersionText(version), "7.8910");
}

}  // namespace
