#include "controls/panels/vis_wave.h"

#include <cstring>
#include <limits>

#include "classlib/format.h"
#include "controls/panels/vis_streams.h"

#ifdef _WIN32
#include <windows.h>
#include <mmsystem.h>
#endif

namespace controls {

using classlib::TMemoryStream;
using classlib::TStream;

namespace {

void StopSound() {
#ifdef _WIN32
  sndPlaySoundW(nullptr, 0);
#endif
}

std::string CannotOpen(const std::string& name) {
  return classlib::Format("Datei %s kann nicht geöffnet werden", name.c_str());
}

const char kStreamName[] = "(Datenstrom)";

}  // namespace

bool GetWaveData(TMemoryStream* Stream, TVisWaveInfo& Info) {
  if (!Stream || Stream->Size() == 0) return false;
  // RIFF tag, size, WAVE tag, "fmt " tag, chunk size, format tag, channels, rate, byte rate, block align.
  constexpr size_t kHeader = 34;
  if (Stream->Size() < static_cast<std::int64_t>(kHeader)) {
    Stream->SetPosition(0);
    throw EErrorCheckingWave("GetWaveData: " + CannotOpen("(Wave-Kopf zu kurz)"));
  }
  const std::uint8_t* h = Stream->Memory();
  auto u16 = [h](size_t at) { return static_cast<std::uint16_t>(h[at] | h[at + 1] << 8); };
  auto i32 = [h](size_t at) {
    return static_cast<std::int32_t>(h[at] | h[at + 1] << 8 | h[at + 2] << 16 | static_cast<std::uint32_t>(h[at + 3]) << 24);
  };
  Info.RIFFSize = i32(4);
  const std::uint16_t channels = u16(22);
  Info.Channels = channels == 1 || channels == 2 ? static_cast<std::uint8_t>(channels) : 0;
  Info.PCM = u16(20) == 1;
  Info.SamplesPerSec = i32(24);
  Info.BlockAlign = u16(32);
  Stream->SetPosition(0);
  return std::memcmp(h, "RIFF", 4) == 0 && std::memcmp(h + 8, "WAVE", 4) == 0 && std::memcmp(h + 12, "fmt ", 4) == 0;
}

TVisWave::~TVisWave() {
  if (data_) StopSound();
}

std::unique_ptr<TVisWave> TVisWave::CreateFromFile(const std::string& FileName) {
  auto wave = std::make_unique<TVisWave>();
  wave->LoadFromFile(FileName);
  return wave;
}

bool TVisWave::Empty() const { return !data_ || data_->Size() == 0; }

std::int64_t TVisWave::Size() const { return Empty() ? 0 : data_->Size(); }

void TVisWave::SetData(std::unique_ptr<TMemoryStream> Value) {
  StopSound();
  data_ = std::move(Value);
  if (data_) data_->SetPosition(0);
  Change();
}

void TVisWave::Load(std::int64_t Count, TStream& Stream, const std::string& SourceName) {
  if (Count == 0) {
    SetData(nullptr);
    return;
  }
  // The container forms store the size as an int32, and the source must hold all of it.
  if (Count < 0 || Count > std::numeric_limits<std::int32_t>::max() || Count > Stream.Remaining())
    throw EInvalidWave(CannotOpen(SourceName));
  auto data = std::make_unique<TMemoryStream>();
  data->SetSize(Count);
  if (Stream.Read(data->Memory(), static_cast<size_t>(Count)) != static_cast<size_t>(Count))
    throw EInvalidWave(CannotOpen(SourceName));
  TVisWaveInfo info;
  if (!GetWaveData(data.get(), info)) throw EInvalidWave(CannotOpen(SourceName));
  SetData(std::move(data));
}

void TVisWave::LoadData(std::int64_t Count, TStream& Stream) { Load(Count, Stream, kStreamName); }

void TVisWave::LoadFromFile(const std::string& FileName) {
  classlib::TFileStream file(FileName, classlib::TFileMode::fmOpenRead);
  Load(file.Size(), file, FileName);
}

void TVisWave::LoadFromStream(TStream& Stream) { Load(Stream.Remaining(), Stream, kStreamName); }

void TVisWave::SaveToStream(TStream& Stream) const {
  if (data_) data_->SaveToStream(Stream);
}

void TVisWave::SaveToFile(const std::string& FileName) const {
  classlib::TFileStream file(FileName, classlib::TFileMode::fmCreate);
  SaveToStream(file);
}

void TVisWave::WriteData(TStream& Stream) const {
  WriteInt(Stream, static_cast<std::int32_t>(data_ ? data_->Size() : 0));
  SaveToStream(Stream);
}

void TVisWave::ReadData(TStream& Stream) { LoadData(ReadInt(Stream), Stream); }

void TVisWave::Assign(const classlib::TPersistent& Source) {
  const auto* other = dynamic_cast<const TVisWave*>(&Source);
  if (!other) {
    TVisObject::Assign(Source);
    return;
  }
  if (other == this) return;
  auto copy = std::make_unique<TMemoryStream>();
  if (other->data_) other->data_->SaveToStream(*copy);
  copy->SetPosition(0);
  SetData(std::move(copy));
}

void WriteWave(TStream& Stream, const TVisWave& Wave, bool Compressed) {
  if (!Compressed) {
    Wave.WriteData(Stream);
    return;
  }
  WriteCompressedBlocks(Stream, Wave.Data() ? Wave.Data()->Bytes() : TVisBytes());
}

void ReadWave(TStream& Stream, TVisWave& Wave, bool Compressed) {
  if (!Compressed) {
    Wave.ReadData(Stream);
    return;
  }
  TMemoryStream bytes;
  const TVisBytes data = ReadCompressedBlocks(Stream);
  bytes.WriteBuffer(data.data(), data.size());
  bytes.SetPosition(0);
  Wave.LoadFromStream(bytes);
}

}  // namespace controls
