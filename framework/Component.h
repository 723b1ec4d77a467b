// TComponent: components with an owner, a registration list and free notifications (no Win32).
#pragma once

#include <string>
#include <vector>

#include "framework/Object.h"

enum class TOperation { opInsert, opRemove };

// Ownership of memory is C++ ownership (unique_ptr members); the owner link here is
// registration only: it lets an owner enumerate its components and hear of their removal.
class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  TComponent* Owner() const { return owner_; }
  // Non-owning, in creation order.
  const std::vector<TComponent*>& Components() const { return components_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }

  const std::wstring& Name() const { return name_; }
  void SetName(std::wstring name) { name_ = std::move(name); }

  bool Destroying() const { return destroying_; }

  // Asks for Notification(component, opRemove) on `this` when `component` goes (and vice versa).
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  TPersistent* GetOwner() override { return owner_; }

 protected:
  virtual void Notification(TComponent* component, TOperation operation) {
    (void)component;
    (void)operation;
  }
  virtual void Loaded() {}

 private:
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  std::wstring name_;
  bool destroying_ = false;
};
