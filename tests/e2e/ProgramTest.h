// The fixture of the whole-program tests: a fresh folder, the program started in it, the ring found.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/E2eSupport.h"

namespace e2e {

// Colours of the tests' configurations (opaque ARGB as signed decimal, as the program writes them).
constexpr long long kBlue = -16776961;   // FF 00 00 FF
constexpr long long kGreen = -16711936;  // FF 00 FF 00
constexpr long long kRed = -65536;       // FF FF 00 00

class ProgramTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the program in the work folder.
  VantelProcess& Start();
  // Waits until the program shows `windows` ring windows (centre included), all inside one square;
  // returns it.
  RECT WaitForRing(size_t windows, unsigned limitMs = 20000);
  // Waits until the main window has run its first show (its caption names the web site).
  void WaitForStartUp(unsigned limitMs = 20000);
  // Waits until the program's window thread has done what it was doing: a message sent to its main
  // window is answered (a thread takes sent messages only between two pieces of its work).
  void WaitUntilIdle(unsigned limitMs = 5000);
  // Waits until `window` is on the display: at least `share` of its area there passes `test`.
  static bool WaitUntilOnScreen(HWND window, const std::function<bool(Screenshot::Rgb)>& test, double share,
                                unsigned limitMs = 5000);
  // Waits until the program shows a popup menu and the display shows it (its white items); returns it,
  // or null when none came within `limitMs`.
  HWND WaitForPopupMenu(unsigned limitMs);
  // A centre record and three segments, the first holding `firstPath`: the ring tops up to four segments,
  // the fourth unrecorded.
  static std::vector<Record> FourSegmentRecords(const std::string& firstPath = "");
  // A copy of the marker program in the work folder, under `name`.
  std::filesystem::path PlaceMarker(const std::wstring& name);
  // Opens the program's menu on its notification-area icon with a right click; returns the menu window.
  HWND OpenTrayMenu();
  // Clicks entry `entry` (0 = first) of an open popup menu whose entries are laid out as `layout`
  // says: 's' a separator, any other letter an item.
  void ClickMenuEntry(HWND menu, size_t entry, const std::string& layout);
  // The tray menu's entries: N1 N2 N4 N5 NStartup separator contact N11 N3 N7 N9.
  static constexpr const char* kTrayMenuLayout = "iiiiisiiiii";
  static constexpr size_t kShowSettings = 1, kStartWithWindows = 4, kCloseProgram = 8;
  // Opens the settings window through the tray menu's "显示系统设置".
  HWND OpenSettings();
  // Where the pointer rests between actions: a corner far from the ring and the tray.
  POINT Park() const;
  // Takes screenshots until one satisfies `done` or `limitMs` has passed; returns the last one.
  static Screenshot ScreenWhen(const std::function<bool(const Screenshot&)>& done, unsigned limitMs = 10000);
  // Moves the real pointer through the points in turn, a motion at each, as a hand sliding along.
  static void MoveThrough(const std::vector<POINT>& points);

  WorkFolder folder_;
  std::unique_ptr<VantelProcess> program_;
};

bool SameRect(const RECT& a, const RECT& b);

// Colours on the screenshots: the red of a name, the empty desktop, the tests' normal and hover colours.
bool Reddish(Screenshot::Rgb c);
bool Dark(Screenshot::Rgb c);
bool Blue(Screenshot::Rgb c);
bool Green(Screenshot::Rgb c);
bool White(Screenshot::Rgb c);
// The band above the ring where the hovered file's name shows, and whether a name shows in it.
RECT NameBand(const RECT& ring);
bool Named(const Screenshot& shot, const RECT& band);
// How wide the red name in the band is; 0 without one.
int NameWidth(const Screenshot& shot, const RECT& band);
bool Nameless(const Screenshot& shot, const RECT& band);
std::string Describe(const RECT& r);

}  // namespace e2e
