// TRingSummon: kept place, hotkey registration, summoning to the pointer and dismissal.
#include "app/RingSummon.h"

#include "GDIButtons/ButtonGroup.h"
#include "framework/Controls.h"
#include "framework/Screen.h"

namespace {
constexpr int kHotkeyId = 1;
constexpr UINT kNoRepeat = 0x4000;  // MOD_NOREPEAT: a held key summons once
}  // namespace

TRingSummon::TRingSummon(TWinControl& window, TSettingsFile& settings)
    : window_(window), settings_(settings) {
  window_.HookWndProc([this, alive = std::weak_ptr<bool>(alive_)](UINT msg, WPARAM wParam, LPARAM, LRESULT&) {
    if (msg != WM_HOTKEY || wParam != kHotkeyId || alive.expired()) return false;
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
  group.OnLaunched = group.OnDismiss;
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
  home_ = {centre.Left(), centre.Top()};  // a summoned ring dragged elsewhere stays there
  vantel::Settings settings = settings_.Settings();
  settings.Place = vantel::KeepPlace(
      CurrentMonitors(), {centre.Left() + centre.Width() / 2, centre.Top() + centre.Height() / 2});
  if (settings.Place != settings_.Settings().Place) settings_.Save(settings);
}

bool TRingSummon::Register(vantel::Hotkey key) {
  if (key.Key == 0) return true;
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

void TRingSummon::Summon() {
  TCustomGDIButton* centre = group_ ? group_->CentreButton() : nullptr;
  if (!centre || !centre->HandleAllocated()) return;
  POINT pointer{};
  GetCursorPos(&pointer);
  if (!group_->Summoned()) home_ = {centre->Left(), centre->Top()};
  const vantel::ScreenPoint origin =
      vantel::SummonOrigin(CurrentMonitors(), {pointer.x, pointer.y}, group_->Width());
  group_->MoveRing(origin.X, origin.Y, true);
  // The hotkey's message lets this program take the foreground: keys reach the ring, from the segment
  // selected last.
  group_->FocusRing();
}

void TRingSummon::Dismiss() {
  if (!Summoned()) return;
  group_->EndKeyboardSelection();
  group_->MoveRing(home_.X, home_.Y, false);
}
