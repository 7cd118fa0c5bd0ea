#include "controls/panels/vis_image_link.h"

#include <utility>

namespace controls {

TVisImageLink::TVisImageLink(std::function<void()> Changed) : changed_(std::move(Changed)) {
  link_.OnChange = [this](TObject*) { changed_(); };
}

TVisImageLink::~TVisImageLink() { link_.OnChange = nullptr; }

void TVisImageLink::SetIndex(int Index, std::int32_t Value) {
  if (Value < 0 || Value == index_[Index]) return;
  index_[Index] = Value;
  if (List()) changed_();
}

}  // namespace controls
