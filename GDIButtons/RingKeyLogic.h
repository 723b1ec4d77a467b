// Pure rules of driving the ring from the keyboard: what a key does to the selection, where a menu opens.
#pragma once

#include <string_view>
#include <vector>

#include "GDIButtons/PieGeometry.h"

namespace vantel {

// The virtual-key codes the ring answers (the system's values, so this file needs no <windows.h>).
inline constexpr unsigned kKeyBack = 0x08, kKeyTab = 0x09, kKeySpace = 0x20, kKeyReturn = 0x0D,
                          kKeyEscape = 0x1B, kKeyEnd = 0x23, kKeyHome = 0x24, kKeyLeft = 0x25, kKeyUp = 0x26,
                          kKeyRight = 0x27, kKeyDown = 0x28, kKey1 = 0x31, kKey9 = 0x39, kKeyApps = 0x5D,
                          kKeyNumpad1 = 0x61, kKeyNumpad9 = 0x69, kKeyF10 = 0x79, kKeyA = 0x41, kKeyZ = 0x5A;

enum class RingKeyCommand {
  None,     // not a key of the ring, or nothing to do (an empty ring, a digit past the last segment)
  Select,   // select segment Index
  Launch,   // open the selected segment's file
  Menu,     // open the selected segment's popup menu
  Dismiss,  // the user is done with the ring
  Expand,   // open the selected folder segment's own ring
  Back,     // a folder's ring goes back to the ring below it
};

struct RingKeyAction {
  RingKeyCommand Command = RingKeyCommand::None;
  int Index = -1;  // the segment, for Select, Launch and Menu
  friend bool operator==(const RingKeyAction&, const RingKeyAction&) = default;
};

// What `virtualKey` (with Shift held or not) does on a ring of `count` segments whose segment `selected`
// is selected (-1: none). The ring's own order is clockwise, the records' order: Right, Down and Tab go to
// the next segment, Left, Up and Shift+Tab to the previous one, both wrapping (from no selection, the first
// and the last); Home and End go to the first and the last, digits 1 to 9 to that segment. Enter launches
// and Shift+F10 or the menu key open the menu of the selected segment, Space its folder's ring; Esc dismisses
// and Backspace goes back (the ring decides what either means for it).
[[nodiscard]] RingKeyAction RingKeyActionFor(unsigned virtualKey, bool shift, int selected,
                                             int count) noexcept;

// The letter a shown name is reached by, upper-case: its first character when that is a Latin letter, or,
// for a Chinese character of GB2312's first level (whose order is the pinyin order), the first letter of
// its pinyin ("记事本": 'J'); 0 for anything else. Read from GB18030 bytes, never the ANSI code page.
[[nodiscard]] char NameInitial(std::wstring_view name);
// The segment a letter key selects among segments of these initials: the next one clockwise after
// `selected` (-1: none) whose initial is `letter`, wrapping, so that the letter again goes on to the next
// one; -1 when none has it.
[[nodiscard]] int NextWithInitial(const std::vector<char>& initials, int selected, char letter) noexcept;

// Where a segment's menu opens when the keyboard asks for it: on its slice's middle angle, halfway across
// the band between the hole and the rim, in the pie's pixels.
[[nodiscard]] PointF SliceMenuPoint(const PieRectValues& pie) noexcept;

}  // namespace vantel
