#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "classlib/exceptions.h"
#include "tests/support/temp_dir.h"
#include "zip/streams.h"

using namespace zip;
using classlib::EFCreateError;
using classlib::EFOpenError;
using classlib::EReadError;
using classlib::EStreamError;
using classlib::EWriteError;
using testing_support::TempDir;

namespace {

// A memory stream that can refuse to write past a limit, like a disk that fills up.
class ProbeStream : public THugeMemoryStream {
 public:
  explicit ProbeStream(const std::string& content = {}, std::int64_t writeLimit = -1) : writeLimit_(writeLimit) {
    if (!content.empty()) WriteBuffer(content.data(), static_cast<std::int64_t>(content.size()));
    SetPosition(0);
    writtenSoFar_ = 0;
  }
  std::int64_t Write(const void* buffer, std::int64_t count) override {
    if (writeLimit_ >= 0 && writtenSoFar_ + count > writeLimit_) count = writeLimit_ - writtenSoFar_;
    writtenSoFar_ += count;
    return THugeMemoryStream::Write(buffer, count);
  }
  std::string Content() const { return std::string(static_cast<const char*>(Memory()), static_cast<size_t>(size_)); }

 private:
  std::int64_t writeLimit_;
  std::int64_t writtenSoFar_ = 0;
};

std::string Pattern(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
  return s;
}

template <typename E>
std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const E& e) {
    return e.what();
  }
  return "(nothing raised)";
}

}  // namespace

TEST(FileStream, WritesReadsSeeksAndTruncatesUnderAGermanName) {
  TempDir dir;
  const std::string name = dir / "Prüfung äöüß.bin";
  {
    THugeFileStream out(name, fs::kCreate);
    out.WriteBuffer("abcdefghij", 10);
    EXPECT_EQ(out.Size(), 10);
    out.SetSize(4);
    EXPECT_EQ(out.Size(), 4);
    out.Close();
  }
  EXPECT_EQ(testing_support::ReadFile(name), "abcd");
  THugeFileStream in(name, fs::kOpenRead | fs::kShareDenyWrite);
  char buf[8] = {};
  EXPECT_EQ(in.Seek(-2, fs::kFromEnd), 2);
  EXPECT_EQ(in.Read(buf, 8), 2);
  EXPECT_EQ(std::string(buf, 2), "cd");
  EXPECT_EQ(in.Write("x", 1), 0);  // opened for reading only
}

TEST(FileStream, PositionsPastFourGigabytes) {
  TempDir dir;
  const std::string name = dir / "sparse.bin";
  const std::int64_t far = (std::int64_t{5} << 30) + 7;
  THugeFileStream f(name, fs::kCreate);
  EXPECT_EQ(f.Seek(far, fs::kFromBeginning), far);
  f.WriteBuffer("Z", 1);
  EXPECT_EQ(f.Size(), far + 1);
  f.SetPosition(far);
  char c = 0;
  f.ReadBuffer(&c, 1);
  EXPECT_EQ(c, 'Z');
  f.SetSize(3);
  EXPECT_EQ(f.Size(), 3);
}

TEST(FileStream, OpenAndCreateFailuresNameTheFile) {
  TempDir dir;
  const std::string missing = dir / "fehlt.zip";
  EXPECT_EQ(MessageOf<EFOpenError>([&] { THugeFileStream s(missing, fs::kOpenRead); }),
            "Datei " + missing + " kann nicht geöffnet werden");
  const std::string nowhere = testing_support::Join(dir / "kein Ordner", "neu.zip");
  EXPECT_EQ(MessageOf<EFCreateError>([&] { THugeFileStream s(nowhere, fs::kCreate); }),
            "Datei " + nowhere + " kann nicht erstellt werden");
}

TEST(MemoryStream, GrowsInBlocksAndClampsReads) {
  struct Watched : THugeMemoryStream {
    std::int32_t lastCapacity = 0;
    char* Realloc(std::int32_t& capacity) override {
      char* block = THugeMemoryStream::Realloc(capacity);
      lastCapacity = capacity;
      return block;
    }
  } m;
  EXPECT_EQ(m.Write("hello", 5), 5);
  EXPECT_EQ(m.lastCapacity, 8192);
  const std::string big = Pattern(9000);
  m.WriteBuffer(big.data(), 9000);
  EXPECT_EQ(m.lastCapacity, 16384);
  EXPECT_EQ(m.Size(), 9005);

  char buf[16];
  m.SetPosition(9000);
  EXPECT_EQ(m.Read(buf, 16), 5);
  m.SetPosition(-3);
  EXPECT_EQ(m.Read(buf, 16), 0);
  EXPECT_EQ(m.Seek(2, fs::kFromEnd), 9007);  // a memory stream adds the offset to its size
  EXPECT_EQ(m.Read(buf, 16), 0);

  m.SetPosition(100);
  m.SetSize(10);
  EXPECT_EQ(m.Position(), 10);
  m.Clear();
  EXPECT_EQ(m.Size(), 0);
  EXPECT_EQ(m.Position(), 0);
}

TEST(BufferStream, ReadsThroughTheBufferAndKnowsItsPosition) {
  ProbeStream under(Pattern(1000));
  TBufferStream s(under, 64);
  char buf[100];
  s.ReadBuffer(buf, 10);
  EXPECT_EQ(std::string(buf, 10), Pattern(1000).substr(0, 10));
  EXPECT_EQ(s.Position(), 10);
  EXPECT_EQ(under.Position(), 64);

  EXPECT_EQ(s.Seek(10, fs::kFromBeginning), 10);
  EXPECT_EQ(s.Seek(0, fs::kFromCurrent), 10);
  s.PutBack(static_cast<std::uint8_t>(buf[9]));  // the buffer is kept, so the byte can go back
  EXPECT_EQ(s.Position(), 9);

  s.Seek(500, fs::kFromBeginning);
  s.ReadBuffer(buf, 100);
  EXPECT_EQ(std::string(buf, 100), Pattern(1000).substr(500, 100));
  EXPECT_EQ(s.Read(buf, 100), 100);
  s.Seek(990, fs::kFromBeginning);
  EXPECT_EQ(s.Read(buf, 100), 10);
  EXPECT_EQ(MessageOf<EReadError>([&] { s.ReadBuffer(buf, 1); }), "Stream-Lesefehler");
}

TEST(BufferStream, SeekFromEndCountsBackwardsWhateverTheSign) {
  ProbeStream under(Pattern(100));
  TBufferStream s(under, 16);
  EXPECT_EQ(s.Seek(-22, fs::kFromEnd), 78);
  EXPECT_EQ(s.Seek(22, fs::kFromEnd), 78);
  EXPECT_EQ(s.Seek(0, fs::kFromEnd), 100);
  EXPECT_EQ(MessageOf<EStreamError>([&] { s.Seek(0, 7); }), "Invalid seek origin (7)");
}

TEST(BufferStream, LogicalEndIncludesBytesNotYetWritten) {
  ProbeStream under;
  TBufferStream s(under, 4096);
  const std::string data = Pattern(100);
  s.WriteBuffer(data.data(), 100);
  EXPECT_EQ(under.Size(), 0);
  EXPECT_EQ(s.Position(), 100);
  EXPECT_EQ(s.Seek(0, fs::kFromEnd), 100);
  EXPECT_EQ(s.Size(), 100);
  s.Close();
  EXPECT_EQ(under.Content(), data);
}

TEST(BufferStream, PutBackReturnsTheByteAndOverflowRaises) {
  ProbeStream under("xyz");
  TBufferStream s(under, 8);
  EXPECT_EQ(MessageOf<EStreamError>([&] { s.PutBack('a'); }), "Putback overflow");
  char c = 0;
  s.ReadBuffer(&c, 1);
  s.PutBack(static_cast<std::uint8_t>(c));
  char again = 0;
  s.ReadBuffer(&again, 1);
  EXPECT_EQ(again, 'x');
  s.PutBack('Q');
  s.ReadBuffer(&again, 1);
  EXPECT_EQ(again, 'Q');
  s.Seek(2, fs::kFromBeginning);
  EXPECT_EQ(MessageOf<EStreamError>([&] { s.PutBack('a'); }), "Putback overflow");
}

TEST(BufferStream, WriteAfterReadLandsAtTheLogicalPosition) {
  ProbeStream under("abcdef");
  TBufferStream s(under, 64);
  char buf[3];
  s.ReadBuffer(buf, 3);
  s.WriteBuffer("XY", 2);
  EXPECT_EQ(s.Position(), 5);
  s.Close();
  EXPECT_EQ(under.Content(), "abcXYf");
}

TEST(BufferStream, WritesLargerThanTheBufferArriveWhole) {
  ProbeStream under;
  TBufferStream s(under, 1000);
  const std::string data = Pattern(10007);
  s.WriteBuffer(data.data(), 3);
  s.WriteBuffer(data.data() + 3, 10000);
  s.WriteBuffer(data.data() + 10003, 4);
  s.Seek(5, fs::kFromBeginning);
  s.WriteBuffer("**", 2);
  s.Close();
  std::string expected = data;
  expected.replace(5, 2, "**");
  EXPECT_EQ(under.Content(), expected);
}

TEST(BufferStream, AFailedFinalFlushRaisesAtClose) {
  ProbeStream under({}, 50);  // a disk with room for 50 bytes
  TBufferStream s(under, 4096);
  const std::string data = Pattern(100);
  s.WriteBuffer(data.data(), 100);  // still all in the buffer
  EXPECT_EQ(MessageOf<EWriteError>([&] { s.Close(); }), "Stream-Schreibfehler");
}

TEST(BufferStream, AFailedFlushDuringWritingIsReported) {
  ProbeStream under({}, 50);
  TBufferStream s(under, 32);
  const std::string data = Pattern(100);
  EXPECT_LT(s.Write(data.data(), 100), 100);
  EXPECT_THROW(s.Close(), EWriteError);

  ProbeStream under2({}, 10);
  TBufferStream s2(under2, 32);
  s2.WriteBuffer(data.data(), 20);
  EXPECT_EQ(MessageOf<EStreamError>([&] { s2.Seek(0, fs::kFromBeginning); }), "Seek error");
  EXPECT_THROW(s2.Close(), EWriteError);  // the lost bytes are not forgotten
}

TEST(BufferStream, DestructionAfterAFailureDoesNotThrow) {
  ProbeStream under({}, 0);
  {
    TBufferStream s(under, 64);
    s.WriteBuffer("abc", 3);
  }
  SUCCEED();
}

TEST(Streams, CopyFromZeroCopiesTheWholeSource) {
  ProbeStream source(Pattern(200000));
  source.SetPosition(12345);
  ProbeStream target;
  EXPECT_EQ(target.CopyFrom(source, 0), 200000);
  EXPECT_EQ(target.Content(), source.Content());

  source.SetPosition(10);
  ProbeStream part;
  EXPECT_EQ(part.CopyFrom(source, 70000), 70000);
  EXPECT_EQ(part.Content(), source.Content().substr(10, 70000));
  EXPECT_THROW(part.CopyFrom(source, 200000), EReadError);
}

TEST(LFNFileStream, RoundTripsAFileThroughTheBuffer) {
  TempDir dir;
  const std::string name = dir / "Daten 😀.bin";
  const std::string data = Pattern(100000);
  {
    TLFNFileStream out(name, 8192, true, fs::kCreate);
    out.WriteBuffer(data.data(), static_cast<std::int64_t>(data.size()));
    out.Seek(0, fs::kFromBeginning);
    out.WriteBuffer("PK", 2);
    out.Close();
  }
  std::string expected = data;
  expected.replace(0, 2, "PK");
  EXPECT_EQ(testing_support::ReadFile(name), expected);

  TLFNFileStream in(name, 8192, false, fs::kOpenRead);
  EXPECT_NE(in.Handle(), fs::kInvalidHandle);
  std::string back(data.size(), '\0');
  in.ReadBuffer(&back[0], static_cast<std::int64_t>(back.size()));
  EXPECT_EQ(back, expected);
  in.Close();
}

#ifndef _WIN32
TEST(LFNFileStream, AFullDiskIsReportedAtClose) {
  TLFNFileStream full("/dev/full", 8192, true, fs::kOpenWrite);
  full.WriteBuffer("archive", 7);
  EXPECT_THROW(full.Close(), EWriteError);
}
#endif
