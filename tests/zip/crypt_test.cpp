#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/zip/peer_tools.h"
#include "zip/crc32.h"
#include "zip/crypt.h"
#include "zip/zip_exceptions.h"
#include "zip/zip_header_info.h"

using namespace zip;

namespace {

// "Hallo" in a.txt, stored, made once with the peer tool's "zip -0 -P geheim" (flag bit 3 set).
const std::uint8_t kPeerArchive[] = {
    0x50, 0x4B, 0x03, 0x04, 0x0A, 0x00, 0x09, 0x00, 0x00, 0x00, 0x0D, 0x59, 0x8A, 0x5D, 0xD5, 0x1E, 0xB3, 0x78,
    0x11, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x05, 0x00, 0x1C, 0x00, 0x61, 0x2E, 0x74, 0x78, 0x74, 0x55,
    0x54, 0x09, 0x00, 0x03, 0x29, 0x88, 0x1A, 0x6B, 0x29, 0x88, 0x1A, 0x6B, 0x75, 0x78, 0x0B, 0x00, 0x01, 0x04,
    0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x07, 0xAF, 0x2D, 0x93, 0x8B, 0xBB, 0x02, 0x80, 0x93,
    0xAF, 0x44, 0x89, 0x47, 0xE1, 0xB7, 0x50, 0x0A, 0x50, 0x4B, 0x07, 0x08, 0xD5, 0x1E, 0xB3, 0x78, 0x11, 0x00,
    0x00, 0x00, 0x05, 0x00, 0x00, 0x00,
};

void Load(THugeMemoryStream& stream, const std::string& bytes) {
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  stream.SetPosition(0);
}

// What the extractor sees for the first entry of an archive: the check byte's verdict and, when
// it passes, whether the decrypted stored data has the stored CRC.
struct Verdict {
  bool checkByteMatches;
  bool crcMatches;
  std::string plain;
};

Verdict OpenFirstEntry(const std::string& archive, const std::string& password) {
  THugeMemoryStream stream;
  Load(stream, archive);
  TZipHeaderInfo entry;
  EXPECT_TRUE(entry.ReadLocalFromStream(stream));
  stream.Seek(entry.LocalExtraLength, fs::kFromCurrent);
  TZipCipher cipher;
  Verdict v{cipher.ReadEncryptionHeader(password, stream, entry) == ExpectedCheckByte(entry), false, {}};
  v.plain.resize(entry.CompressedSize);
  stream.ReadBuffer(&v.plain[0], entry.CompressedSize);
  cipher.DecryptBuffer(&v.plain[0], v.plain.size());
  v.crcMatches = ~UpdateCrc32(0xFFFFFFFF, v.plain.data(), v.plain.size()) == entry.CRC32;
  return v;
}

}  // namespace

TEST(Crypt, EncryptThenDecryptGivesThePlainBytesBack) {
  const std::string plain = "Vertrauliche Daten \x01\x02\xFF";
  TZipCipher writer, reader;
  writer.InitKeys("geheim");
  std::string cipherText;
  for (char c : plain) cipherText += static_cast<char>(writer.EncryptByte(static_cast<std::uint8_t>(c)));
  EXPECT_NE(cipherText, plain);
  reader.InitKeys("geheim");
  reader.DecryptBuffer(&cipherText[0], cipherText.size());
  EXPECT_EQ(cipherText, plain);
}

TEST(Crypt, HeaderWrittenWithAnEmptyPasswordIsCheckedWithTheStartKeys) {
  TZipCipher writer, reader;
  writer.InitKeys("");
  std::uint8_t header[kEncryptionHeaderSize];
  for (int i = 0; i < kEncryptionHeaderSize; ++i) header[i] = writer.EncryptByte(static_cast<std::uint8_t>(i * 7 + 0xA5));
  EXPECT_EQ(reader.DecryptHeader("", header), static_cast<std::uint8_t>(11 * 7 + 0xA5));
  EXPECT_EQ(header[0], 0xA5);
}

TEST(Crypt, CheckByteIsTheCrcHighByteOrWithADescriptorTheTimeHighByte) {
  TZipHeaderInfo entry;
  entry.CRC32 = 0xAB123456;
  entry.DateTime = 0x5D8A590D;
  EXPECT_EQ(ExpectedCheckByte(entry), 0xAB);
  entry.Flags = 0x0009;
  EXPECT_EQ(ExpectedCheckByte(entry), 0x59);
}

TEST(Crypt, PeerFixtureOpensWithItsPasswordOnly) {
  const std::string archive(reinterpret_cast<const char*>(kPeerArchive), sizeof kPeerArchive);
  const Verdict right = OpenFirstEntry(archive, "geheim");
  EXPECT_TRUE(right.checkByteMatches);
  EXPECT_TRUE(right.crcMatches);
  EXPECT_EQ(right.plain, "Hallo");
  for (const char* wrong : {"Geheim", "", "geheim "}) {
    EXPECT_FALSE(OpenFirstEntry(archive, wrong).checkByteMatches) << wrong;
  }
}

TEST(Crypt, EntryTooShortForItsHeaderCountsAsDamaged) {
  THugeMemoryStream stream;
  Load(stream, std::string(64, 'x'));
  TZipHeaderInfo entry;
  entry.CompressedSize = 11;
  TZipCipher cipher;
  EXPECT_THROW(cipher.ReadEncryptionHeader("geheim", stream, entry), EFatalUnzipError);
  EXPECT_EQ(entry.CompressedSize, 11u);
  EXPECT_EQ(stream.Position(), 0);
}

#ifndef _WIN32
TEST(Crypt, ArchiveEncryptedByThePeerToolAtTestTime) {
  if (!peer_tools::Installed("zip")) GTEST_SKIP() << "zip not installed";
  testing_support::TempDir dir;
  testing_support::WriteFile(dir / "daten.txt", "Inhalt der Sicherung, verschlüsselt.\n");
  std::string output;
  ASSERT_EQ(peer_tools::Run("cd " + peer_tools::Quote(dir.Path()) + " && zip -q -0 -P 'Passwort 1' t.zip daten.txt",
                            output),
            0)
      << output;
  const std::string archive = testing_support::ReadFile(dir / "t.zip");
  const Verdict right = OpenFirstEntry(archive, "Passwort 1");
  EXPECT_TRUE(right.checkByteMatches);
  EXPECT_EQ(right.plain, "Inhalt der Sicherung, verschlüsselt.\n");
  EXPECT_TRUE(right.crcMatches);
  // The header's random bytes let one wrong password in 256 pass the check byte; the CRC catches it.
  const Verdict wrong = OpenFirstEntry(archive, "Passwort 2");
  EXPECT_FALSE(wrong.checkByteMatches && wrong.crcMatches);
}
#endif
