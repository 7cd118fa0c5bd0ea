// One wave sound held in memory as the bytes of its RIFF/WAVE file, checked when loaded, so that
// containers can store it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "classlib/exceptions.h"
#include "classlib/streams.h"
#include "controls/panels/vis_object.h"

namespace controls {

// Data that is no wave, or a size that the source cannot hold.
CLASSLIB_EXCEPTION(EInvalidWave, classlib::Exception);
// The header could not be read: the data is shorter than it. The message begins "GetWaveData: ".
CLASSLIB_EXCEPTION(EErrorCheckingWave, classlib::Exception);

struct TVisWaveInfo {
  std::int32_t RIFFSize = 0;
  std::int32_t SamplesPerSec = 0;
  // 1 mono, 2 stereo, 0 other.
  std::uint8_t Channels = 0;
  bool PCM = false;
  std::uint16_t BlockAlign = 0;
};

// False for a missing or empty stream, or when the tags "RIFF", "WAVE" and "fmt " are not where
// a wave has them; the stream is set back to 0. Data shorter than the header raises
// EErrorCheckingWave.
bool GetWaveData(classlib::TMemoryStream* Stream, TVisWaveInfo& Info);

class TVisWave : public TVisObject {
 public:
  TVisWave() = default;
  ~TVisWave() override;
  static std::unique_ptr<TVisWave> CreateFromFile(const std::string& FileName);

  bool Empty() const;
  std::int64_t Size() const;
  // The file bytes, or null when there are none.
  const classlib::TMemoryStream* Data() const { return data_.get(); }
  void Clear() { SetData(nullptr); }
  // Takes the stream over (positioned at 0) and notifies.
  void SetData(std::unique_ptr<classlib::TMemoryStream> Value);

  // Count bytes of Stream become the data if they are a wave; otherwise EInvalidWave and the
  // old data stay. Count 0 empties the wave. Count must not exceed what Stream still holds.
  void LoadData(std::int64_t Count, classlib::TStream& Stream);
  virtual void LoadFromFile(const std::string& FileName);
  // The rest of Stream from its position.
  virtual void LoadFromStream(classlib::TStream& Stream);
  // The file bytes without a size; an empty wave writes nothing.
  virtual void SaveToStream(classlib::TStream& Stream) const;
  virtual void SaveToFile(const std::string& FileName) const;

  // The stream property "Data": int32 size, then the bytes; written only when a data stream
  // exists (an assigned empty wave has one of size 0).
  bool DataStored() const { return data_ != nullptr; }
  virtual void WriteData(classlib::TStream& Stream) const;
  virtual void ReadData(classlib::TStream& Stream);

  void Assign(const classlib::TPersistent& Source) override;

 private:
  void Load(std::int64_t Count, classlib::TStream& Stream, const std::string& SourceName);

  std::unique_ptr<classlib::TMemoryStream> data_;
};

// The wave in a container: compressed, its file bytes as a compressed block sequence; else the
// "Data" form.
void WriteWave(classlib::TStream& Stream, const TVisWave& Wave, bool Compressed);
void ReadWave(classlib::TStream& Stream, TVisWave& Wave, bool Compressed);

}  // namespace controls
