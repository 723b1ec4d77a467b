// TRingSummon: kept place, hotkey registration, summoning to the pointer and dismissal.
#include "app/RingSummon.h"

#include <utility>

#include "GDIButtons/ButtonGroup.h"
#include "framework/Controls.h"
#include "framework/Screen.h"

namespace {
constexpr int kHotkeyId = 1;
constexpr UINT kNoRepeat = 0x4000;  // MOD_NOREPEAT: a held key summons once
}  // namespace

TRingSummon::TRingSummon(TWinControl& window, TSettingsFile& settings, TSummonCalls calls)
    : window_(window), settings_(settings), calls_(std::move(calls)) {
  window_.HookWndProc([this, alive = std::weak_ptr<bool>(alive_)](UINT msg, WPARAM wParam, LPARAM, LRESULT&) {
    if (msg != WM_HOTKEY || wParam != kHotkeyId || alive.expired()) return false;
    // Whichever way the hotkey sends the ring, the folder rings opened from it close.
    if (group_) group_->CloseFolderRings();
    if (Summoned()) {
      Dismiss();
    } else {
      Summon();
    }
    return true;
  });
}

TRingSummon::~TRingSummon() {
  alive_.reset();
  Unregister();
}

void TRingSummon::Attach(TGDICustomButtonGroup& group) {
  group_ = &group;
  TCustomGDIButton* centre = group.CentreButton();
  if (!centre) return;
  if (settings_.Settings().Place) {
    const std::optional<vantel::ScreenPoint> origin =
        vantel::KeptOrigin(CurrentMonitors(), *settings_.Settings().Place, group.Width());
    if (origin) centre->SetBounds(origin->X, origin->Y, centre->Width(), centre->Height());
  }
  // Esc in the ring, or a file opened from it by the keys: the summoned ring goes back.
  group.OnDismiss = [this, alive = std::weak_ptr<bool>(alive_)] {
    if (!alive.expired()) Dismiss();
  };
  group.OnLaunched = [this, alive = std::weak_ptr<bool>(alive_)] {
    if (!alive.expired()) Dismiss(true);
  };
  centre->HookWndProc([this, alive = std::weak_ptr<bool>(alive_)](UINT msg, WPARAM wParam, LPARAM, LRESULT&) {
    if (alive.expired()) return false;
    if (msg == WM_EXITSIZEMOVE) KeepPlace();  // the user let go of the ring
    // Another program took the foreground: the summoned ring goes back.
    if (msg == WM_ACTIVATEAPP && !wParam) Dismiss();
    return false;
  });
}

void TRingSummon::KeepPlace() {
  if (!group_ || !group_->CentreButton()) return;
  const TCustomGDIButton& centre = *group_->CentreButton();
  home_ = {centre.Left() + centre.Width() / 2, centre.Top() + centre.Height() / 2};
  vantel::Settings settings = settings_.Settings();
  settings.Place = vantel::KeepPlace(CurrentMonitors(), home_);
  if (settings.Place != settings_.Settings().Place) settings_.Save(settings);
}

bool TRingSummon::Register(vantel::Hotkey key) {
  if (key.Key == 0) return true;
  // RegisterHotKey takes a key without modifiers too, and then takes it from every program.
  if (!vantel::AllowedHotkey(key)) return false;
  if (RegisterKey) return RegisterKey(key.Modifiers, key.Key);
  return RegisterHotKey(window_.Handle(), kHotkeyId, key.Modifiers | kNoRepeat, key.Key) != FALSE;
}

void TRingSummon::Unregister() {
  if (registered_ && window_.HandleAllocated()) UnregisterHotKey(window_.Handle(), kHotkeyId);
  registered_ = false;
}

bool TRingSummon::RegisterStored() {
  Unregister();
  const vantel::Hotkey key = settings_.Settings().SummonKey;
  registered_ = key.Key != 0 && Register(key);
  hotkey_ = registered_ ? key : vantel::Hotkey{};
  return key.Key == 0 || registered_;
}

bool TRingSummon::ChangeHotkey(vantel::Hotkey key) {
  if (key == hotkey_ && (key.Key == 0 || registered_)) return true;
  const vantel::Hotkey was = hotkey_;
  Unregister();
  if (!Register(key)) {
    registered_ = was.Key != 0 && Register(was);  // the one in effect stays
    return false;
  }
  registered_ = key.Key != 0;
  hotkey_ = key;
  vantel::Settings settings = settings_.Settings();
  settings.SummonKey = key;
  settings_.Save(settings);
  return true;
}

bool TRingSummon::Summoned() const {
  return group_ && group_->Summoned();
}

bool TRingSummon::RingWindow(HWND window) const {
  if (!window || !group_) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return false;
  TCustomGDIButton* centre = group_->CentreButton();
  if (centre && centre->HandleAllocated() && centre->Handle() == window) return true;
  const TGDIButtonGroupItems& items = group_->Items();
  for (int i = 0; i < items.Count(); ++i) {
    const TGDIButtonGroupItem* item = items.Items(i);
    TCustomGDIButton* button = item ? item->Button() : nullptr;
    if (button && button->HandleAllocated() && button->Handle() == window) return true;
  }
  return false;
}

void TRingSummon::PlaceRing(vantel::ScreenPoint middle, bool summoned) {
  // Onto a monitor of another DPI the ring arrives at that monitor's size. Scaled before the move: the
  // move's own WM_DPICHANGED then finds the ring at that DPI already.
  const vantel::MonitorList monitors = CurrentMonitors();
  const int index = vantel::MonitorAt(monitors, middle);
  if (index >= 0) group_->ChangeDpi(monitors[static_cast<std::size_t>(index)].Dpi);
  const int side = group_->Width();
  const vantel::ScreenPoint origin =
      summoned ? vantel::SummonOrigin(monitors, middle, side)
               : vantel::ScreenPoint{middle.X - side / 2, middle.Y - group_->Height() / 2};
  group_->MoveRing(origin.X, origin.Y, summoned);
}

void TRingSummon::Summon() {
  TCustomGDIButton* centre = group_ ? group_->CentreButton() : nullptr;
  if (!centre || !centre->HandleAllocated()) return;
  if (!group_->Summoned()) {
    home_ = {centre->Left() + centre->Width() / 2, centre->Top() + centre->Height() / 2};
    const HWND front = calls_.Foreground();
    previous_ = RingWindow(front) ? nullptr : front;
  }
  // The hotkey's message lets this program take the foreground, unless a menu is open or the program in
  // front locked it. Then the ring stays home: nothing stays on top that Esc would not send back.
  if (!calls_.SetForeground(centre->Handle())) {
    previous_ = nullptr;
    return;
  }
  const POINT pointer = calls_.Pointer();
  PlaceRing({pointer.x, pointer.y}, true);
  // The keys reach the ring from the segment selected last, which has the keyboard focus.
  group_->FocusRing();
}

void TRingSummon::Dismiss(bool launched) {
  if (!Summoned()) return;
  group_->DisarmKeys();
  PlaceRing(home_, false);
  const HWND previous = std::exchange(previous_, nullptr);
  // A launched program takes the foreground itself: giving it elsewhere would take it from that program.
  if (!launched) GiveBackForeground(previous);
}

void TRingSummon::GiveBackForeground(HWND previous) {
  // Only what the ring holds is given back: another program that took the foreground keeps it.
  if (!RingWindow(calls_.Foreground())) return;
  if (previous && IsWindow(previous) && IsWindowVisible(previous) && calls_.SetForeground(previous)) return;
  // The window that was in front is gone: the desktop takes the activation, so that no ring window at
  // home keeps it and the next keys typed reach no ring.
  // Without a shell (another shell, or none), the desktop window itself.
  const HWND shell = GetShellWindow();
  calls_.SetForeground(shell ? shell : GetDesktopWindow());
}
