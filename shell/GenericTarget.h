// TGenericTarget: base of the drop-target components; names the control whose window takes drops.
#pragma once

#include "framework/Component.h"

class TWinControl;

class TGenericTarget : public TComponent {
 public:
  explicit TGenericTarget(TComponent* owner);

  // The window control whose window is the drop target (non-owning); none at creation.
  TWinControl* AcceptorControl() const { return acceptor_; }
  // Registers the control's window in the derived classes; does nothing in this base.
  virtual void SetAcceptorControl(TWinControl* control);

  // The last registration with OLE succeeded and has not been revoked since.
  bool Registered() const { return registered_; }

 protected:
  // Another drop-target component of the same owner already accepts for `control`.
  bool AcceptorTakenBySibling(const TWinControl* control) const;

  TWinControl* acceptor_ = nullptr;
  bool registered_ = false;
};
