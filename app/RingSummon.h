// TRingSummon: the ring's kept place, the hotkey that brings it to the pointer, and what sends it back.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/SettingsFile.h"
#include "framework/MonitorLayout.h"

class TGDICustomButtonGroup;
class TWinControl;

class TRingSummon {
 public:
  // `window` takes the hotkey's messages (the main window; non-owning, outlives this).
  TRingSummon(TWinControl& window, TSettingsFile& settings);
  ~TRingSummon();
  TRingSummon(const TRingSummon&) = delete;
  TRingSummon& operator=(const TRingSummon&) = delete;

  // The group has its first size: it goes to its kept place, and its drags and Esc are watched from now on.
  void Attach(TGDICustomButtonGroup& group);
  // The hotkey in effect (Key 0: none).
  vantel::Hotkey Hotkey() const { return hotkey_; }
  // Registers the stored hotkey; false when another program holds it (then there is none).
  bool RegisterStored();
  // The user chose another hotkey: it is registered and stored. When another program holds it, nothing
  // changes and false comes back.
  bool ChangeHotkey(vantel::Hotkey key);

  // The hotkey: the ring's middle to the pointer, above every window, with the foreground and the keys'
  // selection (and a screen reader's focus) on the segment selected last, the first at first.
  void Summon();
  // Back to the kept place and the normal stacking (a no-op when not summoned).
  void Dismiss();
  bool Summoned() const;

  // RegisterHotKey(window, id, modifiers, key), as Windows documents it; tests hold keys through it.
  using TRegister = std::function<bool(unsigned modifiers, unsigned key)>;
  TRegister RegisterKey;

 private:
  bool Register(vantel::Hotkey key);
  void Unregister();
  void KeepPlace();

  TWinControl& window_;
  TSettingsFile& settings_;
  TGDICustomButtonGroup* group_ = nullptr;  // non-owning; the window owns it
  vantel::Hotkey hotkey_{};
  bool registered_ = false;
  vantel::ScreenPoint home_{};  // the centre's top-left before the summons
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
