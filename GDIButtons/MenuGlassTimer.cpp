// TMenuGlassTimer: the timer and what each tick does.
#include "GDIButtons/MenuGlassTimer.h"

#include "GlassWindow/GlassedWindow.h"

namespace {
constexpr unsigned kMenuGlassInterval = 10;
}  // namespace

TMenuGlassTimer::TMenuGlassTimer(TComponent* owner) : timer_(std::make_unique<TTimer>(owner)) {
  timer_->SetOnTimer([](TObject*) {
    // 0x8000 is the system's class atom of popup-menu windows.
    TGlassedWindow::SetGlass("65", MAKEINTATOM(0x8000), nullptr);
  });
  timer_->SetInterval(kMenuGlassInterval);
  timer_->SetEnabled(false);
}
