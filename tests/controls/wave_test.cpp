#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <iterator>
#include <string>
#include <vector>

#include "classlib/streams.h"
#include "controls/panels/vis_streams.h"
#include "controls/panels/vis_wave.h"
#include "tests/controls/oracle.h"
#include "tests/support/temp_dir.h"

using classlib::TMemoryStream;
using controls::TVisWave;
using controls_test::FileArg;
using controls_test::RunOracle;

namespace {

std::vector<std::uint8_t> Of(const std::string& bytes) { return {bytes.begin(), bytes.end()}; }

std::string Int(std::int32_t v) {
  std::string s(4, '\0');
  std::memcpy(&s[0], &v, 4);
  return s;
}

// A header of the right length with the given third tag.
std::string Header(const std::string& thirdTag) { return "RIFF" + Int(100) + thirdTag + "fmt " + std::string(18, '\1'); }

std::string Bytes(const TVisWave& wave) {
  return wave.Data() ? std::string(wave.Data()->Bytes().begin(), wave.Data()->Bytes().end()) : std::string();
}

}  // namespace

// Waves written by Python's wave module load with the header it wrote, and come back byte for
// byte through a file and through both container forms.
TEST(Wave, PythonWavesLoadAndComeBack) {
  testing_support::TempDir dir;
  const struct {
    int channels, width, rate, frames;
  } cases[] = {{1, 1, 8000, 101}, {1, 2, 22050, 50}, {2, 1, 11025, 33}, {2, 2, 44100, 2000}};
  std::vector<std::string> write = {"wave"}, compare = {"same-wave"};
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    write.insert(write.end(), {FileArg(dir / ("quelle" + std::to_string(i) + ".wav")), std::to_string(c.channels),
                               std::to_string(c.width), std::to_string(c.rate), std::to_string(c.frames)});
  }
  std::istringstream headers(RunOracle(write));
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(testing::Message() << c.channels << " channels, " << c.width * 8 << " bits");
    std::int32_t riffSize = 0, blockAlign = 0, fileSize = 0;
    headers >> riffSize >> blockAlign >> fileSize;
    const std::string source = dir / ("quelle" + std::to_string(i) + ".wav");
    const auto wave = TVisWave::CreateFromFile(source);
    EXPECT_EQ(wave->Size(), fileSize);
    controls::TVisWaveInfo info;
    ASSERT_TRUE(controls::GetWaveData(const_cast<TMemoryStream*>(wave->Data()), info));
    EXPECT_EQ(info.RIFFSize, riffSize);
    EXPECT_EQ(info.SamplesPerSec, c.rate);
    EXPECT_EQ(info.Channels, c.channels);
    EXPECT_TRUE(info.PCM);
    EXPECT_EQ(info.BlockAlign, blockAlign);

    for (bool compressed : {false, true}) {
      TMemoryStream s;
      controls::WriteWave(s, *wave, compressed);
      s.SetPosition(0);
      TVisWave back;
      controls::ReadWave(s, back, compressed);
      EXPECT_EQ(s.Remaining(), 0);
      const std::string copy = dir / ("kopie" + std::to_string(i) + (compressed ? "k" : "") + ".wav");
      back.SaveToFile(copy);
      compare.insert(compare.end(), {FileArg(source), FileArg(copy)});
    }
  }
  RunOracle(compare);
}

TEST(Wave, HeaderCheck) {
  controls::TVisWaveInfo info;
  EXPECT_FALSE(controls::GetWaveData(nullptr, info));
  TMemoryStream empty;
  EXPECT_FALSE(controls::GetWaveData(&empty, info));
  TMemoryStream notWave(Of(Header("AVI ")));
  notWave.SetPosition(7);
  EXPECT_FALSE(controls::GetWaveData(&notWave, info));
  EXPECT_EQ(notWave.Position(), 0);
  TMemoryStream wave(Of(Header("WAVE")));
  EXPECT_TRUE(controls::GetWaveData(&wave, info));
  for (const std::string& shortData : {std::string("RIFF\0\0", 6), Header("WAVE").substr(0, 33)}) {
    TMemoryStream s(Of(shortData));
    try {
      controls::GetWaveData(&s, info);
      FAIL() << shortData.size();
    } catch (const controls::EErrorCheckingWave& e) {
      EXPECT_EQ(e.Message().rfind("GetWaveData: ", 0), 0u) << e.Message();
    }
  }
}

// Data that is no wave, a size the source cannot hold, and a short header all leave the old wave.
TEST(Wave, BadDataKeepsTheOldWave) {
  TVisWave wave;
  TMemoryStream good(Of(Header("WAVE")));
  wave.LoadFromStream(good);
  int changes = 0;
  wave.OnChange = [&](classlib::TObject*) { ++changes; };
  const struct {
    const char* name;
    std::string data;
  } cases[] = {
      {"no wave", Int(34) + Header("AVI ")},
      {"size past the end", Int(35) + Header("WAVE")},
      {"negative size", Int(-1) + Header("WAVE")},
      {"largest size", Int(0x7FFFFFFF) + Header("WAVE")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TMemoryStream s(Of(c.data));
    EXPECT_THROW(wave.ReadData(s), controls::EInvalidWave);
    EXPECT_EQ(Bytes(wave), Header("WAVE"));
  }
  TMemoryStream six(Of(std::string("RIFF\0\0", 6)));
  EXPECT_THROW(wave.LoadFromStream(six), controls::EErrorCheckingWave);
  EXPECT_EQ(Bytes(wave), Header("WAVE"));
  EXPECT_EQ(changes, 0);

  testing_support::TempDir dir;
  testing_support::WriteFile(dir / "kaputt.wav", Header("AVI "));
  try {
    wave.LoadFromFile(dir / "kaputt.wav");
    FAIL();
  } catch (const controls::EInvalidWave& e) {
    EXPECT_EQ(e.Message(), "Datei " + (dir / "kaputt.wav") + " kann nicht geöffnet werden");
  }
}

// An assigned empty wave has data of size 0, which is written and reads back as an empty wave.
TEST(Wave, EmptyWavesAndAssign) {
  TVisWave empty, copy, full;
  EXPECT_TRUE(empty.Empty());
  EXPECT_FALSE(empty.DataStored());
  copy.Assign(empty);
  EXPECT_TRUE(copy.DataStored());
  EXPECT_EQ(copy.Size(), 0);
  TMemoryStream s;
  copy.WriteData(s);
  EXPECT_EQ(s.Size(), 4);
  s.SetPosition(0);
  TMemoryStream good(Of(Header("WAVE")));
  full.LoadFromStream(good);
  full.ReadData(s);
  EXPECT_TRUE(full.Empty());

  good.SetPosition(0);
  full.LoadFromStream(good);
  int changes = 0;
  copy.OnChange = [&](classlib::TObject*) { ++changes; };
  copy.Assign(full);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Bytes(copy), Bytes(full));
  EXPECT_NE(copy.Data(), full.Data());
  copy.Clear();
  EXPECT_TRUE(copy.Empty());
  EXPECT_FALSE(copy.DataStored());
}
