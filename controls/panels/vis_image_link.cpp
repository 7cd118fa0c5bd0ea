#include "controls/panels/vis_image_link.h"

#include <utility>

namespace controls {

TVisImageListRef::TVisImageListRef(classlib::TComponent& Holder, std::function<void()> Changed)
    : holder_(Holder), changed_(std::move(Changed)) {
  link_.OnChange = [this](TObject*) { changed_(); };
}

TVisImageListRef::~TVisImageListRef() {
  link_.OnChange = nullptr;
  if (list_) list_->RemoveFreeNotification(&holder_);
}

void TVisImageListRef::SetList(TVisCustomImageList* Value) {
  if (link_.Sender()) link_.Sender()->UnRegisterChanges(&link_);
  if (list_) list_->RemoveFreeNotification(&holder_);
  list_ = Value;
  if (list_) {
    list_->RegisterChanges(&link_);
    list_->FreeNotification(&holder_);
  }
  changed_();
}

void TVisImageListRef::Removed(classlib::TComponent* Component) {
  if (list_ && Component == list_) SetList(nullptr);
}

TVisImageLink::TVisImageLink(classlib::TComponent& Holder, std::function<void()> Changed)
    : changed_(std::move(Changed)), ref_(Holder, [this] { changed_(); }) {}

void TVisImageLink::SetIndex(int Index, std::int32_t Value) {
  if (Value < 0 || Value == index_[Index]) return;
  index_[Index] = Value;
  if (List()) changed_();
}

}  // namespace controls
