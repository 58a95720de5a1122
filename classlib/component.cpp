#include "classlib/component.h"

#include <algorithm>
#include <cassert>

#include "classlib/exceptions.h"
#include "classlib/text.h"

namespace classlib {

namespace {
void Erase(std::vector<TComponent*>& list, TComponent* c) {
  list.erase(std::remove(list.begin(), list.end(), c), list.end());
}
}  // namespace

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  // Free() runs BeforeDestruction first; a plain delete of a component is a bug.
  assert(FBeforeDestructionRan);
}

void TComponent::BeforeDestruction() {
  if (FBeforeDestructionRan) return;
  FBeforeDestructionRan = true;
  FComponentState |= csDestroying;
  while (!FFreeNotifies.empty()) {
    TComponent* partner = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    Erase(partner->FFreeNotifies, this);
    partner->Notification(this, opRemove);
  }
  while (!FComponents.empty()) {
    TComponent* owned = FComponents.back();
    FComponents.pop_back();
    owned->FOwner = nullptr;
    Free(owned);
  }
  if (FOwner) FOwner->RemoveComponent(this);
  TPersistent::BeforeDestruction();
}

TComponent* TComponent::GetComponent(int Index) const {
  if (Index < 0 || Index >= GetComponentCount()) throw EListError(Format("List index out of bounds (%d)", Index));
  return FComponents[size_t(Index)];
}

void TComponent::InsertComponent(TComponent* Component) {
  if (Component->FOwner) Component->FOwner->RemoveComponent(Component);
  FComponents.push_back(Component);
  Component->FOwner = this;
  Notification(Component, opInsert);
}

void TComponent::RemoveComponent(TComponent* Component) {
  Notification(Component, opRemove);
  Erase(FComponents, Component);
  Component->FOwner = nullptr;
}

void TComponent::FreeNotification(TComponent* Component) {
  if (!Component || Component == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), Component) == FFreeNotifies.end())
    FFreeNotifies.push_back(Component);
  if (std::find(Component->FFreeNotifies.begin(), Component->FFreeNotifies.end(), this) ==
      Component->FFreeNotifies.end())
    Component->FFreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* Component) {
  if (!Component) return;
  Erase(FFreeNotifies, Component);
  Erase(Component->FFreeNotifies, this);
}

void TComponent::Notification(TComponent*, TOperation) {}

}  // namespace classlib
