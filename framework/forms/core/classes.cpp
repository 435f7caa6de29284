#include "classes.h"

#include <algorithm>
#include <iterator>

void TPersistent::Assign(TPersistent* Source) {
  if (Source)
    Source->AssignTo(this);
  else
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* Source) {
  String from = Source ? Source->ClassName() : "nil";
  throw EConvertError(from + " kann nicht zu " + ClassName() + " zugewiesen werden");
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  FComponentState |= csDestroying;
  // Owned components go newest first; each one removes itself from this list.
  while (!FComponents.empty()) {
    TComponent* c = FComponents.back();
    delete c;
  }
  if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount())
    throw EListError(Format("Listenindex außerhalb des gültigen Bereichs (%d)", Index));
  return FComponents[static_cast<size_t>(Index)];
}

TComponent* TComponent::FindComponent(const String& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->Name(), AName)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  // From the end: components mostly go newest first, so freeing many stays linear.
  auto it = std::find(FComponents.rbegin(), FComponents.rend(), AComponent);
  if (it == FComponents.rend()) return;
  FComponents.erase(std::next(it).base());
  AComponent->FOwner = nullptr;
  Notification(AComponent, opRemove);
}

void TComponent::BeginLoading() {
  FComponentState |= csLoading;
  for (TComponent* c : FComponents) c->BeginLoading();
}

void TComponent::EndLoading() {
  std::vector<TComponent*> owned = FComponents;
  for (TComponent* c : owned) c->EndLoading();
  if (IsLoading()) Loaded();
}

void TComponent::Loaded() { FComponentState &= ~csLoading; }

void TComponent::Notification(TComponent*, TOperation) {}
