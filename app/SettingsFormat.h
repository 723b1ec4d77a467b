// The program's own settings file (Vantel.ini): the ring's kept place and the summoning hotkey.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/MonitorLayout.h"

namespace vantel {

// Modifier bits as RegisterHotKey takes them (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN).
inline constexpr unsigned kModAlt = 1, kModControl = 2, kModShift = 4, kModWin = 8;

// A key combination; Key 0 is "none" (no hotkey).
struct Hotkey {
  unsigned Modifiers = 0;
  unsigned Key = 0;  // a virtual-key code

  friend bool operator==(const Hotkey&, const Hotkey&) = default;
};

// Whether `key` may be a global hotkey: none at all (Key 0), or a key held with Ctrl, Alt or Win. A key
// alone, or with Shift alone, would be taken from every program on the desktop.
[[nodiscard]] constexpr bool AllowedHotkey(Hotkey key) noexcept {
  return key.Key == 0 || (key.Modifiers & (kModControl | kModAlt | kModWin)) != 0;
}

// Ctrl+Alt+Space: Ctrl+Space switches the input method on Chinese Windows.
inline constexpr Hotkey kDefaultHotkey{kModControl | kModAlt, 0x20};

// Shares of the work area are kept in ten-thousandths.
inline constexpr int kPlaceScale = 10000;

// Where the user left the ring: the monitor (by its bounds and whether it was the primary one) and the
// ring's middle as shares of that monitor's work area, so it survives a change of resolution or DPI.
struct KeptPlace {
  ScreenRect Monitor;
  bool Primary = false;
  int X = kPlaceScale / 2;  // 0 = the work area's left edge, kPlaceScale = its right edge
  int Y = kPlaceScale / 2;

  friend bool operator==(const KeptPlace&, const KeptPlace&) = default;
};

struct Settings {
  Hotkey SummonKey = kDefaultHotkey;
  std::optional<KeptPlace> Place;
  // Lines this version does not know (a later one's settings), written back as they were.
  std::vector<std::string> OtherLines;

  friend bool operator==(const Settings&, const Settings&) = default;
};

// "Ctrl+Alt+Space", "Shift+F5", "None"; keys without a name as their code ("Ctrl+0xBA").
[[nodiscard]] std::string HotkeyText(Hotkey key);
[[nodiscard]] std::optional<Hotkey> ParseHotkey(std::string_view text);

// UTF-8 (a byte order mark allowed), "name=value" lines under "[Vantel]". Nullopt for a file that is not
// one of ours or holds a value we cannot read: the caller starts from defaults and keeps the file aside.
[[nodiscard]] std::optional<Settings> ParseSettings(std::string_view bytes);
// The whole file: UTF-8 with a byte order mark, CR LF lines.
[[nodiscard]] std::string WriteSettings(const Settings& settings);

// The kept place of a ring whose middle is at `middle`, on the monitor holding it.
[[nodiscard]] KeptPlace KeepPlace(const MonitorList& monitors, ScreenPoint middle);
// The top-left of a ring of `side` pixels at its kept place, moved in just enough to lie whole in the
// work area; nullopt when its monitor is gone (same bounds, else same top-left, else the primary one for a
// place kept on the primary one).
[[nodiscard]] std::optional<ScreenPoint> KeptOrigin(const MonitorList& monitors, const KeptPlace& place,
                                                    int side);
// The top-left of a ring of `side` pixels summoned to the pointer: centred on it, moved in to lie whole in
// the work area of the pointer's monitor.
[[nodiscard]] ScreenPoint SummonOrigin(const MonitorList& monitors, ScreenPoint pointer, int side);

}  // namespace vantel
