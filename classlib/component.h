// Components: every object of a window has one owner that frees it, may ask to be told when another
// component it points at goes away, and is built inside a loading bracket that ends in Loaded().
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/persistent.h"

namespace classlib {

enum class TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_[static_cast<size_t>(index)]; }
  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }

  // Free for the application's use.
  std::intptr_t Tag = 0;

  // AComponent hears Notification(this, opRemove) when this component is destroyed, and the other
  // way round; the link ends with either of them.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  bool Loading() const { return loading_ > 0; }
  bool Destroying() const { return destroying_; }
  // The loading bracket of this component and all it owns; the last EndLoading calls Loaded() on
  // each of them, owner last.
  void BeginLoading();
  void EndLoading();

 protected:
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  virtual void Loaded() {}
  // Marks the object as going away before the derived destructors run.
  void BeginDestroy() { destroying_ = true; }

 private:
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  std::string name_;
  int loading_ = 0;
  bool destroying_ = false;
};

// Deletes a component now (it leaves its owner's list on the way out).
inline void FreeAndNil(TComponent*& component) {
  delete component;
  component = nullptr;
}

// Binds a member function as an event handler: OnClick = Bind(this, &TFormX::FlatButtonNextClick).
template <typename C, typename R, typename... A>
auto Bind(C* object, R (C::*method)(A...)) {
  return [object, method](A... args) { return (object->*method)(static_cast<A>(args)...); };
}

}  // namespace classlib
