// The object model of the component library: TObject, TPersistent with Assign/AssignTo,
// TComponent with ownership and the loading state, and the event types.
//
// Events are method pointers in the class library's sense: a std::function whose first argument
// is the sender. An unassigned event is an empty function; fire it through the helpers below or
// test it before calling.
#pragma once

#include <exception>
#include <functional>
#include <vector>

#include "sysutils.h"

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
  virtual const char* ClassName() const { return "TObject"; }
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// Holds an update of `target` (a string list, the editor, anything with BeginUpdate and EndUpdate)
// open for a scope: BeginUpdate when made, EndUpdate on every way out. An exception of EndUpdate
// on the normal way out reaches the caller; while another exception passes, one of EndUpdate is
// dropped so that the first one arrives.
template <typename T>
class TUpdateScope {
public:
  explicit TUpdateScope(T& target) : FTarget(target), FExceptions(std::uncaught_exceptions()) {
    FTarget.BeginUpdate();
  }
  TUpdateScope(const TUpdateScope&) = delete;
  TUpdateScope& operator=(const TUpdateScope&) = delete;
  ~TUpdateScope() noexcept(false) {
    if (std::uncaught_exceptions() == FExceptions) {
      FTarget.EndUpdate();
      return;
    }
    try {
      FTarget.EndUpdate();
    } catch (...) {
    }
  }

private:
  T& FTarget;
  int FExceptions;
};

// Fires an event when it is assigned.
template <typename Event, typename... Args>
inline void FireEvent(const Event& e, Args&&... args) {
  if (e) e(std::forward<Args>(args)...);
}

// An object whose contents can be copied from another object of a kind it knows.
// Assign(Source): the target copies Source when it knows Source's kind; otherwise it asks Source
// to copy itself into the target (Source->AssignTo(this)); when neither knows the other,
// EConvertError "<Quelle> kann nicht zu <Ziel> zugewiesen werden" is raised.
class TPersistent : public TObject {
public:
  const char* ClassName() const override { return "TPersistent"; }
  virtual void Assign(TPersistent* Source);

protected:
  virtual void AssignTo(TPersistent* Dest);
  void AssignError(TPersistent* Source);
};

enum TComponentStateItem { csLoading = 1, csReading = 2, csWriting = 4, csDestroying = 8, csDesigning = 16 };
enum TOperation { opInsert, opRemove };

// A component is owned by another component (its Owner), which frees it when it is freed.
// Loading: BeginLoading() puts a component (and what it owns) into csLoading while a stored form
// sets its properties; EndLoading() then calls Loaded(), in which a component finishes work that
// needs all of its properties (the editor computes its geometry there).
class TComponent : public TPersistent {
public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  const char* ClassName() const override { return "TComponent"; }

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const;
  TComponent* FindComponent(const String& AName) const;
  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);

  const String& Name() const { return FName; }
  void SetName(const String& AName) { FName = AName; }
  int Tag() const { return FTag; }
  void SetTag(int ATag) { FTag = ATag; }

  int ComponentState() const { return FComponentState; }
  bool IsLoading() const { return (FComponentState & csLoading) != 0; }
  bool IsDestroying() const { return (FComponentState & csDestroying) != 0; }

  void BeginLoading();   // this component and its owned components
  void EndLoading();     // calls Loaded() on each, owned components first

protected:
  // After loading: clears csLoading. Overrides call the inherited Loaded first.
  virtual void Loaded();
  // Told when a component is inserted into or removed from this owner.
  virtual void Notification(TComponent* AComponent, TOperation Operation);

private:
  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  String FName;
  int FTag = 0;
  int FComponentState = 0;
};
