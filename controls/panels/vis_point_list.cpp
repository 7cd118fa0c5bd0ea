#include "controls/panels/vis_point_list.h"

#include "classlib/exceptions.h"

namespace controls {

bool TVisPointList::GetPoint(int Index, TVisPoint& Point) const {
  if (Index < 0 || Index >= Count()) return false;
  const std::uint32_t packed = points_[static_cast<size_t>(Index)];
  Point.X = static_cast<std::int32_t>(packed >> 16);
  Point.Y = static_cast<std::int16_t>(packed & 0xFFFF);
  return true;
}

void TVisPointList::SetPoint(int Index, TVisPoint Point) {
  if (Index < 0 || Index >= Count()) return;
  points_[static_cast<size_t>(Index)] =
      (static_cast<std::uint32_t>(Point.X) & 0xFFFF) << 16 | (static_cast<std::uint32_t>(Point.Y) & 0xFFFF);
  Notify();
}

void TVisPointList::AddPoint(TVisPoint Point) {
  points_.push_back(0);
  SetPoint(Count() - 1, Point);
  Notify();
}

void TVisPointList::Clear() {
  points_.clear();
  Notify();
}

void TVisPointList::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) Notify();
}

std::vector<std::int32_t> TVisPointList::Values() const {
  std::vector<std::int32_t> values;
  for (int i = 0; i < Count(); ++i) {
    TVisPoint p;
    GetPoint(i, p);
    values.push_back(p.X);
    values.push_back(p.Y);
  }
  return values;
}

void TVisPointList::AppendValues(const std::vector<std::int32_t>& Values) {
  if (Values.size() % 2 != 0) throw classlib::EReadError("Ungültige Punktliste");
  BeginUpdate();
  for (size_t i = 0; i < Values.size(); i += 2) AddPoint({Values[i], Values[i + 1]});
  EndUpdate();
}

void TVisPointList::Notify() {
  if (updateCount_ < 1 && OnChange) OnChange(this);
}

}  // namespace controls
