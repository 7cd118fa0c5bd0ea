// The points of a polygon-shaped region, each packed into 32 bits: X in the high 16 bits (read back
// unsigned, 0..65535), Y in the low 16 bits (read back signed).
#pragma once

#include <cstdint>
#include <vector>

#include "classlib/persistent.h"

namespace controls {

struct TVisPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
};

class TVisPointList : public classlib::TObject {
 public:
  int Count() const { return static_cast<int>(points_.size()); }
  // False, and Point untouched, for an index outside the list.
  bool GetPoint(int Index, TVisPoint& Point) const;
  // Only for an existing index; then notifies.
  void SetPoint(int Index, TVisPoint Point);
  // Appends; notifies for the stored point and once more for the new entry.
  void AddPoint(TVisPoint Point);
  void Clear();

  // Changes inside the bracket notify nobody; the last EndUpdate notifies once.
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();

  // The stream property "PointList": X then Y of each point, in order.
  std::vector<std::int32_t> Values() const;
  // Appends the points of such a list; an odd number of values raises classlib::EReadError.
  void AppendValues(const std::vector<std::int32_t>& Values);

  // Called with the list after each change, outside an update bracket.
  classlib::TObjectEvent OnChange;

 private:
  void Notify();

  std::vector<std::uint32_t> points_;
  std::int32_t updateCount_ = 0;
};

}  // namespace controls
