// TComponent: ownership (an owner frees what it owns, last to first), names, tags and free
// notification, so that references held by other objects are cleared when a component goes.
#pragma once

#include <string>
#include <vector>

#include "classlib/object.h"

namespace classlib {

enum TComponentStateFlag : unsigned { csLoading = 1, csReading = 2, csDesigning = 4, csDestroying = 8 };
enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
  CL_CLASS(TComponent)
  explicit TComponent(TComponent* AOwner);
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  ~TComponent() override;
  void BeforeDestruction() override;

  TComponent* GetOwner() const { return FOwner; }
  int GetComponentCount() const { return int(FComponents.size()); }
  TComponent* GetComponent(int Index) const;
  const std::string& GetName() const { return FName; }
  void SetName(const std::string& Name) { FName = Name; }
  intptr_t GetTag() const { return FTag; }
  void SetTag(intptr_t Tag) { FTag = Tag; }
  unsigned GetComponentState() const { return FComponentState; }
  bool IsDestroying() const { return FComponentState & csDestroying; }

  void InsertComponent(TComponent* Component);
  void RemoveComponent(TComponent* Component);
  // Component will call Notification(this-side partner, opRemove) when it is freed.
  void FreeNotification(TComponent* Component);
  void RemoveFreeNotification(TComponent* Component);

 protected:
  virtual void Notification(TComponent* Component, TOperation Operation);

 private:
  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  std::string FName;
  intptr_t FTag = 0;
  unsigned FComponentState = 0;
  bool FBeforeDestructionRan = false;
};

}  // namespace classlib
