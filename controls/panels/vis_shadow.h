// Settings of the region objects: the drop shadow, and the stored data of a region taken from a
// bitmap with its border pictures.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/graphics.h"
#include "classlib/streams.h"
#include "controls/panels/vis_container.h"
#include "controls/panels/vis_object.h"

namespace controls {

enum class TVisShadowStyle : std::uint8_t { hssNone, hssSolid, hssTracing };

// Depths are 0..40 pixels.
constexpr std::uint8_t kMaxShadowDepth = 40;

class TVisShadow : public TVisObject {
 public:
  classlib::TColor Color() const { return color_; }
  void SetColor(classlib::TColor Value);
  std::uint8_t Depth() const { return depth_; }
  // Values above 40 become 40.
  void SetDepth(std::uint8_t Value);
  TVisShadowStyle Style() const { return style_; }
  void SetStyle(TVisShadowStyle Value);

  // Style, colour and depth; one change.
  void Assign(const classlib::TPersistent& Source) override;
  // "{Disabled}", or "{solid, 6}" / "{tracing, 6}".
  std::string DesignText() const override;

 protected:
  TVisShadowStyle style_ = TVisShadowStyle::hssSolid;

 private:
  classlib::TColor color_ = classlib::clBtnShadow;
  std::uint8_t depth_ = 6;
};

// A region's shadow: none at creation.
class TVisRgnShadow : public TVisShadow {
 public:
  TVisRgnShadow() { style_ = TVisShadowStyle::hssNone; }
};

// A region in the system's region-data layout (header and rectangles) with the pictures of its
// border. The stream properties: "RegionData" (the raw data) and "BorderBmp", "BorderUpBmp",
// "BorderDnBmp" (the Compressed flag as a byte, then the picture as a block).
class TVisRegionMask : public TVisObject {
 public:
  enum TBorder { kBorder, kBorderUp, kBorderDown };

  // The size a stream announced; the data's own length is what counts (RegionData).
  std::uint32_t RegionDataSize() const { return regionDataSize_; }
  void SetRegionDataSize(std::uint32_t Value) { regionDataSize_ = Value; }
  const std::vector<std::uint8_t>& RegionData() const { return regionData_; }
  // The data of Region (none for null); its size with it; notifies.
  void SetRegion(HRGN Region);
  // A new region of the data, or null when there is none or it is not a valid region.
  HRGN CreateRegion() const;
  bool Compressed() const { return compressed_; }
  void SetCompressed(bool Value) { compressed_ = Value; }
  TVisSavePixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TVisSavePixelFormat Value) { pixelFormat_ = Value; }
  classlib::TBitmap& Border(TBorder Which) { return borders_[Which]; }
  const classlib::TBitmap& Border(TBorder Which) const { return borders_[Which]; }

  bool RegionDataStored() const { return !regionData_.empty(); }
  void WriteRegionData(classlib::TStream& Stream) const;
  // The whole rest of the property's block is the data, and its length the size.
  void ReadRegionData(classlib::TStream& Block);
  bool BorderStored(TBorder Which) const { return !borders_[Which].Empty(); }
  void WriteBorder(TBorder Which, classlib::TStream& Stream) const;
  void ReadBorder(TBorder Which, classlib::TStream& Stream);

  // From another mask: its data and pictures when it has data; else only the own data goes.
  void Assign(const classlib::TPersistent& Source) override;

 private:
  std::uint32_t regionDataSize_ = 0;
  std::vector<std::uint8_t> regionData_;
  bool compressed_ = false;
  TVisSavePixelFormat pixelFormat_ = TVisSavePixelFormat::spfDefault;
  classlib::TBitmap borders_[3];
};

// Region data of a region; empty for null.
std::vector<std::uint8_t> RegionDataOf(HRGN Region);
// A region of region data, or null unless the data is whole: a rectangle header whose count of
// rectangles fits the data.
HRGN RegionOfData(const std::vector<std::uint8_t>& Data);

}  // namespace controls
