// TRingSummon: the ring's kept place, the hotkey that brings it to the pointer, and what sends it back.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/SettingsFile.h"
#include "framework/MonitorLayout.h"
#include "framework/Win32.h"

class TGDICustomButtonGroup;
class TWinControl;

// The window system's calls a summons makes, as Windows documents them. SetForegroundWindow may refuse:
// while a menu is open, or after the program in front called LockSetForegroundWindow.
struct TSummonCalls {
  std::function<HWND()> Foreground = [] { return GetForegroundWindow(); };
  std::function<bool(HWND)> SetForeground = [](HWND window) { return SetForegroundWindow(window) != FALSE; };
  std::function<POINT()> Pointer = [] {
    POINT pointer{};
    GetCursorPos(&pointer);
    return pointer;
  };
};

class TRingSummon {
 public:
  // `window` takes the hotkey's messages (the main window; non-owning, outlives this).
  TRingSummon(TWinControl& window, TSettingsFile& settings, TSummonCalls calls = {});
  ~TRingSummon();
  TRingSummon(const TRingSummon&) = delete;
  TRingSummon& operator=(const TRingSummon&) = delete;

  // The group has its first size: it goes to its kept place, and its drags and Esc are watched from now on.
  void Attach(TGDICustomButtonGroup& group);
  // The hotkey in effect (Key 0: none).
  vantel::Hotkey Hotkey() const { return hotkey_; }
  // Registers the stored hotkey; false when another program holds it (then there is none).
  bool RegisterStored();
  // The user chose another hotkey: it is registered and stored. When another program holds it, or it
  // holds neither Ctrl, Alt nor Win, nothing changes and false comes back.
  bool ChangeHotkey(vantel::Hotkey key);

  // The hotkey: the ring's middle to the pointer, at the size for that monitor's DPI, above every window,
  // with the foreground and the keyboard focus on the segment selected last (the first at first). The
  // window in front is noted, to have the foreground back. When the foreground cannot be had, the ring
  // stays where it is: a ring on top that no key reaches would be stuck there.
  void Summon();
  // Back to the kept place and the normal stacking, the foreground back to the window that had it (a no-op
  // when not summoned). After a launch (`launched`) the foreground is the launched program's.
  void Dismiss(bool launched = false);
  bool Summoned() const;

  // RegisterHotKey(window, id, modifiers, key), as Windows documents it, or another call handed in.
  using TRegister = std::function<bool(unsigned modifiers, unsigned key)>;
  TRegister RegisterKey;

 private:
  bool Register(vantel::Hotkey key);
  void Unregister();
  void KeepPlace();
  // The ring at the DPI of the monitor holding `point`, its middle there.
  void PlaceRing(vantel::ScreenPoint middle, bool summoned);
  bool RingWindow(HWND window) const;
  void GiveBackForeground(HWND previous);

  TWinControl& window_;
  TSettingsFile& settings_;
  TSummonCalls calls_;
  TGDICustomButtonGroup* group_ = nullptr;  // non-owning; the window owns it
  vantel::Hotkey hotkey_{};
  bool registered_ = false;
  vantel::ScreenPoint home_{};  // the ring's middle before the summons
  HWND previous_ = nullptr;     // the window in front before the summons
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
