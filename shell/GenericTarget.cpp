// TGenericTarget: the acceptor link shared by the drop-target components.
#include "shell/GenericTarget.h"

TGenericTarget::TGenericTarget(TComponent* owner) : TComponent(owner) {}

void TGenericTarget::SetAcceptorControl(TWinControl* control) {
  (void)control;
}

bool TGenericTarget::AcceptorTakenBySibling(const TWinControl* control) const {
  if (!control || !Owner()) return false;
  for (TComponent* component : Owner()->Components()) {
    if (component == this) continue;
    const auto* other = dynamic_cast<const TGenericTarget*>(component);
    if (other && other->AcceptorControl() == control) return true;
  }
  return false;
}
