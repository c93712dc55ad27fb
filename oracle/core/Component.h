// The component framework the layer's objects stand on: an owner that frees what it owns, a name,
// the component-state flags, free notification, and a hook that runs after a stored form is read.
#pragma once

#include <string>
#include <vector>

#include "oracle/core/EnumSet.h"

namespace oracle {

enum TComponentStateFlag : std::uint8_t { csLoading, csReading, csDestroying, csDesigning };
using TComponentState = EnumSet<TComponentStateFlag, std::uint8_t>;

enum TOperation : std::uint8_t { opInsert, opRemove };

class TComponent {
 public:
  // The owner, when given, frees this component in its own destructor unless it was freed first.
  explicit TComponent(TComponent* owner);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  TComponentState ComponentState() const { return state_; }

  // The class names the framework reports; the remote-data-module rule reads the parent's.
  virtual const char* ClassName() const { return "TComponent"; }
  virtual const char* ParentClassName() const { return "TPersistent"; }

  // `other` is told (Notification with opRemove) when this component is freed, and this one when
  // `other` is freed.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);
  virtual void Notification(TComponent* component, TOperation operation);

  // Reading a stored form: BeginLoading sets the loading and reading flags; EndLoading clears the
  // reading flag and runs Loaded, which clears the loading flag.
  void BeginLoading();
  void EndLoading();
  virtual void Loaded();

  void SetDesigning(bool designing);

 protected:
  // For destructors of derived classes that must see the destroying flag before their own work.
  void MarkDestroying() { state_.insert(csDestroying); }

 private:
  void insertOwned(TComponent* child);
  void removeOwned(TComponent* child);

  TComponent* owner_;
  std::string name_;
  TComponentState state_;
  std::vector<TComponent*> owned_;
  std::vector<TComponent*> freeNotifies_;
};

}  // namespace oracle
