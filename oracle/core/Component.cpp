// Ownership and notification among components.
#include "oracle/core/Component.h"

#include <algorithm>

namespace oracle {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_ != nullptr) {
    owner_->insertOwned(this);
    if (owner_->state_.contains(csDesigning)) state_.insert(csDesigning);
  }
}

TComponent::~TComponent() {
  state_.insert(csDestroying);
  // Tell every component that asked; copy first, since handlers may unregister themselves.
  const std::vector<TComponent*> notifies = freeNotifies_;
  for (TComponent* other : notifies) {
    other->Notification(this, opRemove);
    auto& theirs = other->freeNotifies_;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
  }
  // Owned components go last to first, as they were created first to last.
  while (!owned_.empty()) {
    TComponent* child = owned_.back();
    owned_.pop_back();
    child->owner_ = nullptr;
    delete child;
  }
  if (owner_ != nullptr) owner_->removeOwned(this);
}

void TComponent::FreeNotification(TComponent* other) {
  if (other == nullptr || other == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end())
    freeNotifies_.push_back(other);
  if (std::find(other->freeNotifies_.begin(), other->freeNotifies_.end(), this) ==
      other->freeNotifies_.end())
    other->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  if (other == nullptr) return;
  freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), other),
                      freeNotifies_.end());
  auto& theirs = other->freeNotifies_;
  theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
}

void TComponent::Notification(TComponent* /*component*/, TOperation /*operation*/) {}

void TComponent::BeginLoading() {
  state_.insert(csLoading);
  state_.insert(csReading);
}

void TComponent::EndLoading() {
  state_.erase(csReading);
  Loaded();
}

void TComponent::Loaded() { state_.erase(csLoading); }

void TComponent::SetDesigning(bool designing) {
  if (designing)
    state_.insert(csDesigning);
  else
    state_.erase(csDesigning);
}

void TComponent::insertOwned(TComponent* child) { owned_.push_back(child); }

void TComponent::removeOwned(TComponent* child) {
  owned_.erase(std::remove(owned_.begin(), owned_.end(), child), owned_.end());
}

}  // namespace oracle
