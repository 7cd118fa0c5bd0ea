#include "controls/panels/vis_shadow.h"

#include <algorithm>
#include <cstring>

#include "controls/panels/vis_bitmap_stream.h"

namespace controls {

void TVisShadow::SetColor(classlib::TColor Value) {
  if (Value == color_) return;
  color_ = Value;
  Change();
}

void TVisShadow::SetDepth(std::uint8_t Value) {
  Value = std::min(Value, kMaxShadowDepth);
  if (Value == depth_) return;
  depth_ = Value;
  Change();
}

void TVisShadow::SetStyle(TVisShadowStyle Value) {
  if (Value == style_) return;
  style_ = Value;
  Change();
}

void TVisShadow::Assign(const classlib::TPersistent& Source) {
  const auto* other = dynamic_cast<const TVisShadow*>(&Source);
  if (!other) {
    TVisObject::Assign(Source);
    return;
  }
  style_ = other->style_;
  color_ = other->color_;
  depth_ = other->depth_;
  Change();
}

std::string TVisShadow::DesignText() const {
  if (style_ == TVisShadowStyle::hssNone) return "{Disabled}";
  return std::string("{") + (style_ == TVisShadowStyle::hssSolid ? "solid" : "tracing") + ", " + std::to_string(depth_) + "}";
}

std::vector<std::uint8_t> RegionDataOf(HRGN Region) {
  if (!Region) return {};
  const DWORD size = GetRegionData(Region, 0, nullptr);
  std::vector<std::uint8_t> data(size);
  if (size == 0 || GetRegionData(Region, size, reinterpret_cast<RGNDATA*>(data.data())) != size) return {};
  return data;
}

HRGN RegionOfData(const std::vector<std::uint8_t>& Data) {
  if (Data.size() < sizeof(RGNDATAHEADER)) return nullptr;
  RGNDATAHEADER header;
  std::memcpy(&header, Data.data(), sizeof header);
  if (header.dwSize != sizeof(RGNDATAHEADER) || header.iType != RDH_RECTANGLES ||
      header.nCount > (Data.size() - sizeof header) / sizeof(RECT))
    return nullptr;
  return ExtCreateRegion(nullptr, static_cast<DWORD>(sizeof header + header.nCount * sizeof(RECT)),
                         reinterpret_cast<const RGNDATA*>(Data.data()));
}

void TVisRegionMask::SetRegion(HRGN Region) {
  regionData_ = RegionDataOf(Region);
  regionDataSize_ = static_cast<std::uint32_t>(regionData_.size());
  Change();
}

HRGN TVisRegionMask::CreateRegion() const { return RegionOfData(regionData_); }

void TVisRegionMask::WriteRegionData(classlib::TStream& Stream) const {
  Stream.WriteBuffer(regionData_.data(), regionData_.size());
}

void TVisRegionMask::ReadRegionData(classlib::TStream& Block) {
  std::vector<std::uint8_t> data(static_cast<size_t>(Block.Remaining()));
  Block.ReadBuffer(data.data(), data.size());
  regionData_ = std::move(data);
  regionDataSize_ = static_cast<std::uint32_t>(regionData_.size());
  Change();
}

void TVisRegionMask::WriteBorder(TBorder Which, classlib::TStream& Stream) const {
  WriteByte(Stream, compressed_ ? 1 : 0);
  WriteBitmap(Stream, borders_[Which], compressed_, kBitmapOwnForm);
}

void TVisRegionMask::ReadBorder(TBorder Which, classlib::TStream& Stream) {
  const bool compressed = ReadByte(Stream) != 0;
  classlib::TBitmap picture;
  ReadBitmap(Stream, picture, compressed);
  compressed_ = compressed;
  borders_[Which].Assign(picture);
  Change();
}

void TVisRegionMask::Assign(const classlib::TPersistent& Source) {
  const auto* other = dynamic_cast<const TVisRegionMask*>(&Source);
  if (!other) {
    TVisObject::Assign(Source);
    return;
  }
  if (other == this) return;
  regionData_.clear();
  regionDataSize_ = 0;
  if (!other->regionData_.empty()) {
    regionData_ = other->regionData_;
    regionDataSize_ = static_cast<std::uint32_t>(regionData_.size());
    for (int i = 0; i < 3; ++i) borders_[i].Assign(other->borders_[i]);
  }
  Change();
}

}  // namespace controls
