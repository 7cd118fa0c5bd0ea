#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/streams.h"
#include "controls/panels/vis_lzrw.h"
#include "controls/panels/vis_point_list.h"
#include "controls/panels/vis_streams.h"
#include "tests/support/temp_dir.h"

using classlib::TMemoryStream;
using controls::TVisBytes;

namespace {

TVisBytes Int(std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  return {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u >> 16),
          static_cast<std::uint8_t>(u >> 24)};
}

TVisBytes Cat(std::initializer_list<TVisBytes> parts) {
  TVisBytes out;
  for (const TVisBytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TVisBytes Text(size_t n) {
  TVisBytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>("Sicherung der Ordner "[i % 21] + (i / 997) % 3);
  return b;
}

}  // namespace

TEST(StreamHelpers, ValuesComeBackAsWritten) {
  TMemoryStream s;
  controls::WriteInt(s, -2);
  controls::WriteInt(s, 0x12345678);
  controls::WriteByte(s, 0xFE);
  controls::WriteShortStr(s, "");
  controls::WriteShortStr(s, "Grüße");
  EXPECT_EQ(s.Bytes(), Cat({{0xFE, 0xFF, 0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12, 0xFE, 0}, {7}, {'G', 'r', 0xC3, 0xBC, 0xC3, 0x9F, 'e'}}));
  s.SetPosition(0);
  EXPECT_EQ(controls::ReadInt(s), -2);
  EXPECT_EQ(controls::ReadInt(s), 0x12345678);
  EXPECT_EQ(controls::ReadByte(s), 0xFE);
  EXPECT_EQ(controls::ReadShortStr(s), "");
  EXPECT_EQ(controls::ReadShortStr(s), "Grüße");
}

// A longer text is cut at 255 bytes, never to its length modulo 256, and never inside a character.
TEST(StreamHelpers, ShortStringsAreCutAt255) {
  const struct {
    std::string text;
    size_t kept;
  } cases[] = {
      {std::string(255, 'a'), 255},
      {std::string(256, 'a'), 255},
      {std::string(300, 'a'), 255},
      {std::string(254, 'a') + "ä", 254},
      {std::string(253, 'a') + "ä", 255},
  };
  for (const auto& c : cases) {
    TMemoryStream s;
    controls::WriteShortStr(s, c.text);
    ASSERT_EQ(s.Size(), static_cast<std::int64_t>(c.kept + 1)) << c.text.size();
    s.SetPosition(0);
    EXPECT_EQ(controls::ReadShortStr(s), c.text.substr(0, c.kept));
  }
}

TEST(StreamHelpers, BlocksComeBackWhole) {
  const TVisBytes samples[] = {{}, {1}, Text(1000), Text(controls::kVisChunkSize), Text(3 * controls::kVisChunkSize + 17),
                               TVisBytes(70000, 0)};
  for (const TVisBytes& data : samples) {
    for (bool compressed : {false, true}) {
      SCOPED_TRACE(testing::Message() << data.size() << (compressed ? " compressed" : " sized"));
      TMemoryStream s;
      controls::WriteBlock(s, data, compressed);
      controls::WriteInt(s, 77);
      s.SetPosition(0);
      EXPECT_EQ(controls::ReadBlock(s, compressed), data);
      EXPECT_EQ(controls::ReadInt(s), 77);
    }
  }
}

// T counts every chunk with its length; the chunks are blocks of at most 32781 input bytes.
TEST(StreamHelpers, CompressedSequenceLayout) {
  TMemoryStream empty;
  controls::WriteCompressedBlocks(empty, {});
  EXPECT_EQ(empty.Bytes(), Int(0));

  const TVisBytes data = Text(2 * controls::kVisChunkSize + 5);
  TMemoryStream s;
  controls::WriteCompressedBlocks(s, data);
  s.SetPosition(0);
  const std::int32_t total = controls::ReadInt(s);
  EXPECT_EQ(total, s.Size() - 4);
  std::vector<size_t> pieces;
  while (s.Remaining() > 0) {
    TVisBytes block(static_cast<size_t>(controls::ReadInt(s)));
    s.ReadBuffer(block.data(), block.size());
    TVisBytes out(controls::kVisChunkSize);
    pieces.push_back(controls::LZRWDecompress(block.data(), block.size(), out.data(), out.size()));
  }
  EXPECT_EQ(pieces, (std::vector<size_t>{controls::kVisChunkSize, controls::kVisChunkSize, 5}));
}

// A reader that does not know the list format skips it by its length.
TEST(StreamHelpers, StringListsSkippableByTheirLength) {
  classlib::TStringList list{"eins", "", "drei"};
  TMemoryStream s;
  controls::WriteStrings(s, list, false);
  controls::WriteInt(s, 5);
  s.SetPosition(0);
  const std::int32_t n = controls::ReadInt(s);
  EXPECT_EQ(n, 14);
  s.Seek(n, classlib::TSeekOrigin::soCurrent);
  EXPECT_EQ(controls::ReadInt(s), 5);

  for (bool compressed : {false, true}) {
    TMemoryStream t;
    controls::WriteStrings(t, list, compressed);
    t.SetPosition(0);
    classlib::TStringList back;
    controls::ReadStrings(t, back, compressed);
    EXPECT_EQ(back, list);
  }
}

// Damaged streams fail with an exception and never read past their end (the sanitizer watches).
TEST(StreamHelpers, DamagedBlocksFailCleanly) {
  const TVisBytes stored = {0x80, 'a', 'b', 'c'};
  const struct {
    const char* name;
    TVisBytes bytes;
    bool compressed;
  } cases[] = {
      {"length cut off", {3, 0}, false},
      {"negative length", Cat({Int(-1), {1, 2, 3}}), false},
      {"length past the end", Cat({Int(4), {1, 2, 3}}), false},
      {"largest length", Cat({Int(0x7FFFFFFF), {1}}), false},
      {"total past the end", Cat({Int(100), Int(4), stored}), true},
      {"negative total", Cat({Int(-8), Int(4), stored}), true},
      {"chunk past the total", Cat({Int(8), Int(5), stored, {'d'}}), true},
      {"chunk length cut off", Cat({Int(2), {4, 0}}), true},
      {"empty chunk", Cat({Int(4), Int(0)}), true},
      {"negative chunk", Cat({Int(8), Int(-4), stored}), true},
      {"chunk longer than a block", Cat({Int(4 + 32783), Int(32783), {0x80}, TVisBytes(32782, 'x')}), true},
      {"damaged block", Cat({Int(9), Int(5), {0x40, 0xFF, 0xFF, 0x00, 0x01}}), true},
      {"unknown block kind", Cat({Int(6), Int(2), {0x33, 0x00}}), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TMemoryStream s(c.bytes);
    EXPECT_THROW(controls::ReadBlock(s, c.compressed), classlib::Exception);
  }
  TMemoryStream cut({5, 'a', 'b'});
  EXPECT_THROW(controls::ReadShortStr(cut), classlib::EReadError);
}

TEST(Streams, MemoryAndFileStreamsKeepTheirBounds) {
  TMemoryStream m({1, 2, 3});
  std::uint8_t buffer[4];
  EXPECT_EQ(m.Read(buffer, 4), 3u);
  m.SetPosition(1);
  EXPECT_THROW(m.ReadBuffer(buffer, 3), classlib::EReadError);
  EXPECT_THROW(m.Seek(-5, classlib::TSeekOrigin::soCurrent), classlib::EStreamError);
  m.Seek(2, classlib::TSeekOrigin::soEnd);
  const std::uint8_t one = 1;
  m.WriteBuffer(&one, 1);
  EXPECT_EQ(m.Bytes(), (TVisBytes{1, 2, 3, 0, 0, 1}));

  testing_support::TempDir dir;
  const std::string name = dir / "daten.bin";
  m.SaveToFile(name);
  {
    classlib::TFileStream f(name, classlib::TFileMode::fmOpenReadWrite);
    EXPECT_EQ(f.Size(), 6);
    f.SetSize(2);
    EXPECT_EQ(f.Position(), 0);
  }
  TMemoryStream back;
  back.LoadFromFile(name);
  EXPECT_EQ(back.Bytes(), (TVisBytes{1, 2}));
  try {
    classlib::TFileStream missing(dir / "fehlt.bin", classlib::TFileMode::fmOpenRead);
    FAIL();
  } catch (const classlib::EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Datei " + (dir / "fehlt.bin") + " kann nicht geöffnet werden");
  }
}

TEST(PointList, PacksPointsIntoSixteenBitHalves) {
  controls::TVisPointList list;
  int notified = 0;
  list.OnChange = [&](classlib::TObject* sender) {
    EXPECT_EQ(sender, &list);
    ++notified;
  };
  list.AddPoint({5, -1});
  EXPECT_EQ(notified, 2);
  list.AddPoint({65535, 0});
  list.AddPoint({-1, 40000});
  controls::TVisPoint p;
  ASSERT_TRUE(list.GetPoint(0, p));
  EXPECT_EQ(p.X, 5);
  EXPECT_EQ(p.Y, -1);
  ASSERT_TRUE(list.GetPoint(1, p));
  EXPECT_EQ(p.X, 65535);
  ASSERT_TRUE(list.GetPoint(2, p));
  EXPECT_EQ(p.X, 65535);
  EXPECT_EQ(p.Y, 40000 - 65536);

  notified = 0;
  p = {11, 12};
  for (int index : {-1, 3, -2147483647 - 1}) {
    EXPECT_FALSE(list.GetPoint(index, p));
    list.SetPoint(index, {1, 1});
  }
  EXPECT_EQ(p.X, 11);
  EXPECT_EQ(notified, 0);

  EXPECT_EQ(list.Values(), (std::vector<std::int32_t>{5, -1, 65535, 0, 65535, 40000 - 65536}));
  controls::TVisPointList copy;
  copy.AppendValues(list.Values());
  EXPECT_EQ(copy.Values(), list.Values());
  EXPECT_THROW(copy.AppendValues({1, 2, 3}), classlib::EReadError);
  EXPECT_EQ(copy.Count(), 3);
}
