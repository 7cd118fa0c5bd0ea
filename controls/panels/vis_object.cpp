#include "controls/panels/vis_object.h"

#include <algorithm>

namespace controls {

TVisChangeLink::~TVisChangeLink() {
  if (sender_) sender_->UnRegisterChanges(this);
}

void TVisChangeLink::Change() {
  if (!OnChange) return;
  // A copy: the client may free its link from inside the handler.
  const TObjectEvent handler = OnChange;
  handler(sender_);
}

TVisBaseContainer::~TVisBaseContainer() {
  while (!clients_.empty()) UnRegisterChanges(clients_.back());
}

void TVisBaseContainer::RegisterChanges(TVisChangeLink* Link) {
  if (!Link || Link->sender_ == this) return;
  if (Link->sender_) Link->sender_->UnRegisterChanges(Link);
  Link->sender_ = this;
  clients_.push_back(Link);
}

void TVisBaseContainer::UnRegisterChanges(TVisChangeLink* Link) {
  auto at = std::find(clients_.begin(), clients_.end(), Link);
  if (at == clients_.end()) return;
  clients_.erase(at);
  Link->sender_ = nullptr;
}

void TVisBaseContainer::ChangeClients() {
  // A client's handler may free links, its own or others': only those still listed are told.
  const std::vector<TVisChangeLink*> links(clients_);
  for (TVisChangeLink* link : links)
    if (std::find(clients_.begin(), clients_.end(), link) != clients_.end()) link->Change();
}

void TVisBaseContainer::Change() {
  ChangeClients();
  TVisCustomComponent::Change();
}

}  // namespace controls
