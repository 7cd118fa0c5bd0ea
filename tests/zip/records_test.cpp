#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/zip/peer_tools.h"
#include "zip/crc32.h"
#include "zip/end_central.h"
#include "zip/zip_header_info.h"
#include "zip/zip_records.h"

using namespace zip;

namespace {

constexpr std::uint32_t kSomeDosDate = 0x5D8A590D;  // 2026-12-10 11:08:26

class Bytes : public THugeMemoryStream {
 public:
  explicit Bytes(const std::string& content = {}) {
    WriteBuffer(content.data(), static_cast<std::int64_t>(content.size()));
    SetPosition(0);
  }
  std::string Content() const { return std::string(static_cast<const char*>(Memory()), static_cast<size_t>(size_)); }
};

struct Item {
  std::string directory;
  std::string fileName;
  std::string data;
  std::string comment;
  std::uint32_t externalAttributes;
};

TZipHeaderInfo EntryFor(const Item& item) {
  TZipHeaderInfo e;
  e.SetOEMConvert(true);
  e.SetDirectory(item.directory);
  e.SetFileName(item.fileName);
  e.CompressionMethod = 0;
  e.VersionNeeded = 10;
  e.DateTime = kSomeDosDate;
  e.CRC32 = ~UpdateCrc32(0xFFFFFFFF, item.data.data(), item.data.size());
  e.CompressedSize = e.UncompressedSize = static_cast<std::uint32_t>(item.data.size());
  e.ExternalAttributes = item.externalAttributes;
  if (!item.comment.empty()) e.SetComment(item.comment);
  return e;
}

// A whole stored archive written with the record writers.
std::string Assemble(const std::vector<Item>& items, const std::string& archiveComment) {
  Bytes out;
  std::vector<TZipHeaderInfo> entries;
  for (const Item& item : items) {
    entries.push_back(EntryFor(item));
    entries.back().SaveLocalToStream(out);
    out.WriteBuffer(item.data.data(), static_cast<std::int64_t>(item.data.size()));
  }
  TEndCentral end;
  end.DirectoryOffset = static_cast<std::uint32_t>(out.Position());
  for (TZipHeaderInfo& e : entries) e.SaveCentralToStream(out);
  end.DirectorySize = static_cast<std::uint32_t>(out.Position() - end.DirectoryOffset);
  end.EntriesOnThisDisk = end.TotalEntries = static_cast<std::uint16_t>(entries.size());
  end.SetComment(archiveComment);
  end.SaveEndCentral(out);
  return out.Content();
}

// The central directory as the reader walks it.
std::vector<TZipHeaderInfo> ReadDirectory(const std::string& archive) {
  Bytes in(archive);
  TEndCentral end;
  EXPECT_TRUE(end.FindEndCentral(in));
  in.SetPosition(end.DirectoryOffset);
  std::vector<TZipHeaderInfo> entries(end.TotalEntries);
  for (TZipHeaderInfo& e : entries) {
    e.SetOEMConvert(true);
    EXPECT_TRUE(e.ReadCentralFromStream(in));
    in.Seek(e.CentralExtraLength + e.CommentLength, fs::kFromCurrent);
  }
  return entries;
}

const std::vector<Item> kItems = {
    {"", "Prüfung äöüß.txt", "Inhalt mit Umlauten: äöü\n", "", 32},
    {"Ordner\\", "", "", "", 16},
    {"Ordner\\Unter\\", "Notiz.txt", "Notiz\n", "Kommentar zur Notiz", 32},
    {"", "Ελληνικά 漢字.txt", "Nicht im OEM-Zeichensatz\n", "", 32},
};

std::string EndRecord(std::uint16_t entries, std::uint16_t commentLength) {
  std::string r(22, '\0');
  auto* p = reinterpret_cast<std::uint8_t*>(&r[0]);
  Put32(p, kDefaultEndSignature);
  Put16(p + 8, entries);
  Put16(p + 10, entries);
  Put32(p + 12, 0x1234);
  Put32(p + 16, 0x5678);
  Put16(p + 20, commentLength);
  return r;
}

}  // namespace

TEST(EntryRecord, NamesAreStoredAsOemUnlessTheyDoNotFitThere) {
  const std::string archive = Assemble(kItems, "");
  // The German name is OEM (ü = 0x81) without bit 11; the Greek one UTF-8 with bit 11.
  EXPECT_EQ(archive.substr(30, 16), "Pr\x81""fung \x84\x94\x81\xE1.txt");
  EXPECT_EQ(Get16(reinterpret_cast<const std::uint8_t*>(archive.data()) + 6) & kFlagUtf8Name, 0);
  const std::vector<TZipHeaderInfo> entries = ReadDirectory(archive);
  ASSERT_EQ(entries.size(), kItems.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].Directory(), kItems[i].directory) << i;
    EXPECT_EQ(entries[i].FileName(), kItems[i].fileName) << i;
    EXPECT_EQ(entries[i].CommentLength, kItems[i].comment.size()) << i;
    EXPECT_EQ(entries[i].CentralRecordOffset + entries[i].CentralSize(),
              i + 1 < entries.size() ? entries[i + 1].CentralRecordOffset : archive.size() - 22)
        << i;
  }
  EXPECT_EQ(entries[0].Flags & kFlagUtf8Name, 0);
  EXPECT_EQ(entries[3].Flags & kFlagUtf8Name, kFlagUtf8Name);
  EXPECT_EQ(entries[0].FileNameLength, 16);
}

TEST(EntryRecord, NameLengthFollowsTheEncoding) {
  TZipHeaderInfo e;
  e.SetFileName("Prüfung.txt");
  EXPECT_EQ(e.FileNameLength, 12);  // UTF-8
  e.SetOEMConvert(true);
  EXPECT_EQ(e.FileNameLength, 11);
  e.SetDirectory("Ordner");
  EXPECT_EQ(e.Directory(), "Ordner\\");
  EXPECT_EQ(e.FileNameLength, 18);
  EXPECT_EQ(e.LocalSize(), 48);
}

TEST(EntryRecord, EmptyNameWritesNoNameBytes) {
  TZipHeaderInfo e;
  Bytes out;
  out.WriteBuffer("xx", 2);
  e.SaveLocalToStream(out);
  EXPECT_EQ(e.LocalHeaderOffset, 2u);
  EXPECT_EQ(out.Size(), 2 + 30);
  EXPECT_EQ(out.Content().substr(2 + 26, 2), std::string(2, '\0'));
}

TEST(EntryRecord, CentralHostByteDecidesOemConversionLocalHeaderAlwaysConverts) {
  TZipHeaderInfo written;
  written.SetOEMConvert(true);
  written.SetDirectory("dir\\sub");
  written.SetFileName("Größe.txt");
  written.VersionMadeBy = 0x0314;  // host 3: names in the host's own characters
  Bytes out;
  written.SaveLocalToStream(out);
  written.SaveCentralToStream(out);
  Bytes in(out.Content());
  TZipHeaderInfo local, central;
  local.SetOEMConvert(true);
  central.SetOEMConvert(true);
  ASSERT_TRUE(local.ReadLocalFromStream(in));
  EXPECT_EQ(in.Position(), written.LocalSize());
  ASSERT_TRUE(central.ReadCentralFromStream(in));
  EXPECT_EQ(local.Directory(), "dir\\sub\\");
  EXPECT_EQ(local.FileName(), "Größe.txt");
  EXPECT_EQ(central.Directory(), "dir\\sub\\");
  EXPECT_EQ(central.FileName(), "Gr\x94\xE1""e.txt");  // raw OEM bytes, as the header holds them
  EXPECT_EQ(central.CentralRecordOffset, static_cast<std::uint32_t>(written.LocalSize()));
}

TEST(EntryRecord, ReadRepairsDatesAndFillsTheFields) {
  Item item{"", "a.txt", "abc", "", 32};
  TZipHeaderInfo e = EntryFor(item);
  e.DateTime = (kSomeDosDate & ~(15u << 21)) | (14u << 21);  // month 14
  e.DiskNumberStart = 3;
  Bytes out;
  e.SaveCentralToStream(out);
  Bytes in(out.Content());
  TZipHeaderInfo r;
  r.Selected = true;
  ASSERT_TRUE(r.ReadCentralFromStream(in));
  EXPECT_EQ((r.DateTime >> 21) & 15, 12u);
  EXPECT_EQ(r.CRC32, e.CRC32);
  EXPECT_EQ(r.DiskNumberStart, 3);
  EXPECT_EQ(r.ExternalAttributes, 32u);
  EXPECT_FALSE(r.Selected);
}

TEST(EntryRecord, AssignCopiesAllButTheOemFlag) {
  TZipHeaderInfo source = EntryFor(kItems[2]);
  source.Status = TZipHeaderInfo::kDropOnRewrite;
  TZipHeaderInfo target;
  target.Assign(source);
  EXPECT_FALSE(target.OEMConvert());
  EXPECT_EQ(target.Path(), "Ordner\\Unter\\Notiz.txt");
  EXPECT_EQ(target.Comment(), "Kommentar zur Notiz");
  EXPECT_EQ(target.CRC32, source.CRC32);
  EXPECT_EQ(target.Status, TZipHeaderInfo::kDropOnRewrite);
  source.ClearComment();
  source.CommentLength = 7;  // counted in the archive, not loaded
  target.Assign(source);
  EXPECT_FALSE(target.CommentLoaded());
  EXPECT_EQ(target.CommentLength, 7);
}

TEST(EntryRecord, CentralExtraFieldGoesBetweenNameAndComment) {
  TZipHeaderInfo e = EntryFor(kItems[2]);
  Bytes out;
  e.SaveCentralToStream(out, "EXTRA");
  const std::string bytes = out.Content();
  EXPECT_EQ(bytes.substr(46 + e.FileNameLength), "EXTRAKommentar zur Notiz");
  EXPECT_EQ(e.CentralSize(), static_cast<std::int64_t>(bytes.size()));
}

TEST(EntryRecord, TruncatedOrForeignRecordsAreRejectedAndTheStreamStays) {
  TZipHeaderInfo e = EntryFor(kItems[2]);
  Bytes local, central;
  e.SaveLocalToStream(local);
  e.SaveCentralToStream(central);
  const std::string l = local.Content(), c = central.Content().substr(0, 46 + e.FileNameLength);
  for (size_t cut = 0; cut < c.size(); ++cut) {
    Bytes inL("J" + l.substr(0, std::min(cut, l.size() - 1))), inC("J" + c.substr(0, cut));
    inL.SetPosition(1);
    inC.SetPosition(1);
    TZipHeaderInfo r;
    EXPECT_FALSE(r.ReadLocalFromStream(inL)) << cut;
    EXPECT_FALSE(r.ReadCentralFromStream(inC)) << cut;
    EXPECT_EQ(inL.Position(), 1) << cut;
    EXPECT_EQ(inC.Position(), 1) << cut;
  }
  TZipHeaderInfo r;
  Bytes swapped(c);
  EXPECT_FALSE(r.ReadLocalFromStream(swapped));
  Bytes swapped2(l);
  EXPECT_FALSE(r.ReadCentralFromStream(swapped2));
}

TEST(EntryRecord, CentralRecordCutByThePartEndContinuesInTheNextPart) {
  TZipHeaderInfo e = EntryFor(kItems[0]);
  Bytes whole;
  e.SaveCentralToStream(whole);
  const std::string c = whole.Content();
  struct Case {
    size_t cut;
    bool expectCallback;
    bool ok;
    std::uint32_t offset;
  } cases[] = {
      {0, true, true, 0},     // record begins the next part
      {10, true, true, 5},    // signature and more in this part
      {2, false, false, 5},   // not even the signature: no part change
      {46, false, false, 5},  // only the fixed bytes continue in the next part, not the name
      {c.size(), false, true, 5},
  };
  for (const Case& k : cases) {
    Bytes first("ABCDE" + c.substr(0, k.cut)), second(c.substr(k.cut));
    first.SetPosition(5);
    bool called = false;
    THugeStream* stream = &first;
    TZipHeaderInfo r;
    r.SetOEMConvert(true);
    const bool ok = r.ReadCentralFromStream(stream, [&]() -> THugeStream* {
      called = true;
      return &second;
    });
    EXPECT_EQ(called, k.expectCallback) << k.cut;
    ASSERT_EQ(ok, k.ok) << k.cut;
    if (!ok) continue;
    EXPECT_EQ(r.FileName(), "Prüfung äöüß.txt") << k.cut;
    EXPECT_EQ(r.CentralRecordOffset, k.offset) << k.cut;
    EXPECT_EQ(stream, k.expectCallback ? static_cast<THugeStream*>(&second) : &first) << k.cut;
  }
  Bytes empty;
  THugeStream* stream = &empty;
  TZipHeaderInfo r;
  EXPECT_FALSE(r.ReadCentralFromStream(stream, [] { return static_cast<THugeStream*>(nullptr); }));
}

TEST(EntryRecord, CustomSignaturesAreWrittenAndExpected) {
  SetSignatures(0x11111111, 0x22222222, 0x33333333);
  TZipHeaderInfo e = EntryFor(kItems[0]);
  Bytes out;
  e.SaveLocalToStream(out);
  e.SaveCentralToStream(out);
  TEndCentral end;
  end.SaveEndCentral(out);
  const std::string bytes = out.Content();
  EXPECT_EQ(LocalSignatureBytes()[0], 0x22);
  EXPECT_EQ(EndSignatureFirstByte(), 0x33);
  Bytes in(bytes);
  TZipHeaderInfo r;
  const bool localOk = r.ReadLocalFromStream(in);
  const bool centralOk = r.ReadCentralFromStream(in);
  const bool endOk = end.FindEndCentral(in);
  SetSignatures(0, 0, 0);
  EXPECT_TRUE(localOk);
  EXPECT_TRUE(centralOk);
  EXPECT_TRUE(endOk);
  EXPECT_EQ(bytes.substr(0, 4), "\x22\x22\x22\x22");
  Bytes again(bytes);
  EXPECT_FALSE(r.ReadLocalFromStream(again));
  EXPECT_EQ(LocalSignatureBytes()[2], 0x03);
}

TEST(EndRecord, FoundWhereTheFileHoldsIt) {
  const std::string data(100, 'd');
  const std::string longComment(65535, 'k');
  const std::string fake = EndRecord(9, 0);
  struct Case {
    const char* what;
    std::string file;
    bool found;
    std::uint16_t entries;
    std::int64_t commentOffset;
    std::uint16_t commentLength;
  } cases[] = {
      {"empty file is an empty archive", "", true, 0, 0, 0},
      {"21 bytes", std::string(21, 'P'), false, 0, 0, 0},
      {"bare 22-byte record", EndRecord(2, 0), true, 2, 22, 0},
      {"no comment", data + EndRecord(3, 0), true, 3, 122, 0},
      {"longest comment", data + EndRecord(4, 65535) + longComment, true, 4, 122, 65535},
      {"longest comment, nothing before", EndRecord(4, 65535) + longComment, true, 4, 22, 65535},
      {"signature in the comment wins", data + EndRecord(5, 40) + "abc" + fake + std::string(15, 'x'), true, 9, 147, 0},
      {"comment length past the end is cut", data + EndRecord(6, 1000) + "nur zehn..", true, 6, 122, 10},
      {"no record", data + std::string(50, 'P'), false, 0, 0, 0},
      {"record too far before the end", EndRecord(7, 0) + longComment + "!", false, 0, 0, 0},
      {"record cut off at the end", data + EndRecord(8, 0).substr(0, 21), false, 0, 0, 0},
  };
  for (const Case& k : cases) {
    Bytes in(k.file);
    TEndCentral end;
    in.SetPosition(static_cast<std::int64_t>(k.file.size() / 2));
    ASSERT_EQ(end.FindEndCentral(in), k.found) << k.what;
    EXPECT_EQ(in.Position(), static_cast<std::int64_t>(k.file.size() / 2)) << k.what;
    if (!k.found) continue;
    EXPECT_EQ(end.TotalEntries, k.entries) << k.what;
    EXPECT_EQ(end.CommentOffset, k.commentOffset) << k.what;
    EXPECT_EQ(end.CommentLength, k.commentLength) << k.what;
    EXPECT_FALSE(end.CommentLoaded()) << k.what;
  }
}

TEST(EndRecord, WrittenRecordIsFoundWithAllItsNumbers) {
  TEndCentral end;
  end.ThisDisk = 2;
  end.DirectoryDisk = 1;
  end.EntriesOnThisDisk = 3;
  end.TotalEntries = 7;
  end.DirectorySize = 0x01020304;
  end.DirectoryOffset = 0xA0B0C0D0;
  end.SetComment("Sicherung vom Montag");
  Bytes out;
  out.WriteBuffer("vorher", 6);
  end.SaveEndCentral(out);
  EXPECT_EQ(out.Size(), 6 + end.RecordSize());
  TEndCentral found;
  Bytes in(out.Content());
  ASSERT_TRUE(found.FindEndCentral(in));
  EXPECT_EQ(found.ThisDisk, 2);
  EXPECT_EQ(found.DirectoryDisk, 1);
  EXPECT_EQ(found.EntriesOnThisDisk, 3);
  EXPECT_EQ(found.TotalEntries, 7);
  EXPECT_EQ(found.DirectorySize, 0x01020304u);
  EXPECT_EQ(found.DirectoryOffset, 0xA0B0C0D0u);
  EXPECT_EQ(found.CommentOffset, 28);
  EXPECT_EQ(found.CommentLength, 20);
  TEndCentral copy;
  copy.Assign(end);
  EXPECT_EQ(copy.Comment(), "Sicherung vom Montag");
  copy.Assign(found);
  EXPECT_FALSE(copy.CommentLoaded());
  EXPECT_EQ(copy.CommentLength, 20);
}

TEST(Records, HostileBytesNeverCrashTheReaders) {
  std::uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  const std::string valid = Assemble(kItems, "Archivkommentar");
  for (int round = 0; round < 300; ++round) {
    std::string bytes = valid.substr(0, next() % (valid.size() + 1));
    for (int flips = next() % 8; flips > 0 && !bytes.empty(); --flips)
      bytes[next() % bytes.size()] = static_cast<char>(next() >> 16);
    Bytes in(bytes);
    TEndCentral end;
    if (end.FindEndCentral(in)) {
      EXPECT_LE(end.CommentOffset + end.CommentLength, static_cast<std::int64_t>(bytes.size()));
      in.SetPosition(end.DirectoryOffset);
    }
    TZipHeaderInfo e;
    e.SetOEMConvert(true);
    for (int i = 0; i < 6 && e.ReadCentralFromStream(in); ++i) in.Seek(e.CentralExtraLength + e.CommentLength, fs::kFromCurrent);
    in.SetPosition(next() % (bytes.size() + 1));
    e.ReadLocalFromStream(in);
  }
}

#ifndef _WIN32
TEST(Records, PeerToolsAcceptTheArchiveAndReadTheNamesBack) {
  testing_support::TempDir dir;
  const std::string path = dir / "Prüfarchiv.zip";
  testing_support::WriteFile(path, Assemble(kItems, "Archivkommentar"));
  const std::string q = peer_tools::Quote(path);
  struct Peer {
    const char* tool;
    std::string command;
  } peers[] = {
      {"unzip", "unzip -t " + q},
      {"python3", "python3 -m zipfile -t " + q},
      {"7z", "7z t " + q},
  };
  for (const Peer& p : peers) {
    if (!peer_tools::Installed(p.tool)) {
      ADD_FAILURE() << p.tool << " not installed";
      continue;
    }
    std::string output;
    EXPECT_EQ(peer_tools::Run(p.command, output), 0) << p.tool << ":\n" << output;
  }
  if (!peer_tools::Installed("python3")) GTEST_SKIP() << "python3 not installed";
  std::string names;
  ASSERT_EQ(peer_tools::Run("python3 -c \"import sys, zipfile\n"
                            "for i in zipfile.ZipFile(sys.argv[1]).infolist():\n"
                            "    sys.stdout.buffer.write((i.filename + '|' + i.comment.decode() + '\\n').encode())\" " +
                                q,
                            names),
            0)
      << names;
  EXPECT_EQ(names,
            "Prüfung äöüß.txt|\nOrdner/|\nOrdner/Unter/Notiz.txt|Kommentar zur Notiz\nΕλληνικά 漢字.txt|\n");
}

TEST(Records, ArchiveOfThePeerToolReadsBack) {
  if (!peer_tools::Installed("python3")) GTEST_SKIP() << "python3 not installed";
  testing_support::TempDir dir;
  const std::string path = dir / "peer.zip";
  std::string output;
  ASSERT_EQ(peer_tools::Run("python3 -c \"import sys, zipfile\n"
                            "with zipfile.ZipFile(sys.argv[1], 'w') as z:\n"
                            "    z.writestr('dir/sub/file.txt', 'x')\n"
                            "    z.writestr('Übersicht 日本.txt', 'y')\" " +
                                peer_tools::Quote(path),
                            output),
            0)
      << output;
  const std::vector<TZipHeaderInfo> entries = ReadDirectory(testing_support::ReadFile(path));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].Directory(), "dir\\sub\\");
  EXPECT_EQ(entries[0].FileName(), "file.txt");
  EXPECT_EQ(entries[1].Directory(), "");
  EXPECT_EQ(entries[1].FileName(), "Übersicht 日本.txt");
}
#endif
