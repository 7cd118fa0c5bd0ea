#include "classlib/component.h"

#include <algorithm>

namespace classlib {

namespace {

void Erase(std::vector<TComponent*>& list, TComponent* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  destroying_ = true;
  // Tell the watchers first: they may still look at what they watch.
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    freeNotifies_.pop_back();
    Erase(other->freeNotifies_, this);
    other->Notification(this, TOperation::opRemove);
  }
  // Owned components go last to first, as they were built on each other.
  while (!components_.empty()) delete components_.back();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::InsertComponent(TComponent* component) {
  components_.push_back(component);
  component->owner_ = this;
  if (loading_ > 0) component->loading_ += loading_;
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  Erase(components_, component);
  component->owner_ = nullptr;
  if (!destroying_) Notification(component, TOperation::opRemove);
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), AComponent) == freeNotifies_.end()) {
    freeNotifies_.push_back(AComponent);
    AComponent->freeNotifies_.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  Erase(freeNotifies_, AComponent);
  Erase(AComponent->freeNotifies_, this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == TOperation::opRemove) {
    // Owned components may hold pointers to each other.
    for (TComponent* c : std::vector<TComponent*>(components_))
      if (c != AComponent) c->Notification(AComponent, Operation);
  }
}

void TComponent::BeginLoading() {
  ++loading_;
  for (TComponent* c : components_) c->BeginLoading();
}

void TComponent::EndLoading() {
  for (TComponent* c : std::vector<TComponent*>(components_)) c->EndLoading();
  if (loading_ > 0 && --loading_ == 0) Loaded();
}

}  // namespace classlib
