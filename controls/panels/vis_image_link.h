// A control's place in an image list of the pack: the item (ListIndex) and the image inside it
// (ImageIndex), and the change link through which the list tells the control of its changes.
// Graphic and windowed controls keep it by the same rules. The program's windows place no image
// list; setting one comes with the image lists, which register the link.
#pragma once

#include <cstdint>
#include <functional>

#include "controls/panels/vis_object.h"

namespace controls {

class TVisImageLink {
 public:
  // Changed runs when the list changes, and when an index changes while a list is linked.
  explicit TVisImageLink(std::function<void()> Changed);
  ~TVisImageLink();
  TVisImageLink(const TVisImageLink&) = delete;
  TVisImageLink& operator=(const TVisImageLink&) = delete;

  // The list the link is registered with, or null.
  TVisBaseContainer* List() const { return link_.Sender(); }
  std::int32_t ImageIndex() const { return index_[0]; }
  std::int32_t ListIndex() const { return index_[1]; }
  // Index 0 ImageIndex, 1 ListIndex; a negative value or the current one changes nothing.
  void SetIndex(int Index, std::int32_t Value);

 private:
  std::function<void()> changed_;
  std::int32_t index_[2] = {0, 0};
  TVisChangeLink link_;
};

}  // namespace controls
