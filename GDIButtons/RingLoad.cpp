// TRingLoad: the steps of loading a ring, in their order.
#include "GDIButtons/RingLoad.h"

#include <utility>

TRingLoad::TRingLoad(TGDICustomButtonGroup& group, std::unique_ptr<TShellInfoPrefetch> prefetch)
    : group_(group), hold_(std::in_place, group), prefetch_(std::move(prefetch)) {}

// In the members' reverse order: the prefetch goes, then a hold still held (no Build ran) is released.
TRingLoad::~TRingLoad() = default;

void TRingLoad::Build(const std::function<void(TShellInfoPrefetch* answers)>& addButtons) {
  try {
    addButtons(prefetch_.get());
  } catch (...) {
    ReleaseAndShow();  // what was built is shown as it stands
    throw;
  }
  ReleaseAndShow();
}

void TRingLoad::ReleaseAndShow() {
  hold_.reset();
  group_.ShowAll();
}
