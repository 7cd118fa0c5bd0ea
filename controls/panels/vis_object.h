// Settings objects and non-visual components of the panel pack, and how they report changes: a
// setter that changes a value calls Change, which calls OnChange unless the object is inside an
// update bracket. Containers serving many clients notify each through a change link instead.
#pragma once

#include <string>
#include <vector>

#include "classlib/component.h"
#include "classlib/persistent.h"

namespace controls {

using classlib::TObject;
using classlib::TObjectEvent;

// The change rules both bases share: OnChange (with the object as sender) fires on Change unless
// the object is inside an update bracket.
template <typename Base>
class TVisChanging : public Base {
 public:
  using Base::Base;

  TObjectEvent OnChange;

  virtual void Change() {
    if (!updating_ && OnChange) OnChange(this);
  }
  // The handler an owner installs as an inner object's OnChange; the sender is not looked at.
  virtual void GetChange(TObject*) { Change(); }
  // A two-state flag, not a counter: the first EndUpdate ends the bracket.
  void BeginUpdate() { updating_ = true; }
  void EndUpdate(bool Notify) {
    updating_ = false;
    if (Notify) Change();
  }
  bool Updating() const { return updating_; }

 private:
  bool updating_ = false;
};

// A settings object (bevel, fill, gradient, ...) owned by a control. An owning settings object
// hangs its own GetChange on an inner one's OnChange, so a change ripples out to the control.
class TVisObject : public TVisChanging<classlib::TPersistent> {
 public:
  // A one-line summary of the settings; empty here.
  virtual std::string DesignText() const { return {}; }
};

// The base of the pack's non-visual components.
class TVisCustomComponent : public TVisChanging<classlib::TComponent> {
 public:
  explicit TVisCustomComponent(classlib::TComponent* AOwner) : TVisChanging(AOwner) {}
};

class TVisBaseContainer;

// One client's subscription to a container. Freeing the link takes it off its container.
class TVisChangeLink : public TObject {
 public:
  TVisChangeLink() = default;
  ~TVisChangeLink() override;

  // The container it is registered with, or null.
  TVisBaseContainer* Sender() const { return sender_; }
  // Called with the container as sender.
  TObjectEvent OnChange;
  virtual void Change();

 private:
  friend class TVisBaseContainer;
  TVisBaseContainer* sender_ = nullptr;
};

// A component that tells every registered link of its changes, then its own OnChange. Links are
// not owned; a link may outlive its container.
class TVisBaseContainer : public TVisCustomComponent {
 public:
  explicit TVisBaseContainer(classlib::TComponent* AOwner) : TVisCustomComponent(AOwner) {}
  ~TVisBaseContainer() override;

  // A link is listed once: registering it again does nothing, and a link registered elsewhere
  // leaves that container first.
  void RegisterChanges(TVisChangeLink* Link);
  void UnRegisterChanges(TVisChangeLink* Link);
  const std::vector<TVisChangeLink*>& Clients() const { return clients_; }
  // Every registered link, in order.
  void ChangeClients();
  void Change() override;

 private:
  std::vector<TVisChangeLink*> clients_;
};

}  // namespace controls
