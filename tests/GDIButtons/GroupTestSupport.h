// Helpers of the button group tests: a button class that logs its life, a group fixture and ring checks.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GDIButtons/ButtonGroup.h"
#include "GDIButtons/RingLayout.h"
#include "tests/GDIButtons/ButtonTestSupport.h"

namespace grouptest {

// What happened to which button, in order.
struct ButtonEvent {
  enum Kind { Created, Redrawn, Destroyed } kind;
  const TCustomGDIButton* button;
};
std::vector<ButtonEvent>& ButtonEvents();
// The buttons of `events` that had `kind`, in order.
std::vector<const TCustomGDIButton*> EventsOf(ButtonEvent::Kind kind);

// The test button class with its construction, every redraw and its destruction logged.
class TLoggingButton : public buttontest::TTestButton {
 public:
  explicit TLoggingButton(TComponent* owner, const TButtonColors& colors = {},
                          TButtonStart start = TButtonStart::Shown);
  ~TLoggingButton() override;
  void RedrawButton() override;
};

// The configuration the fixture's groups are built from: these colours, no buttons.
inline constexpr TARGB kNormalColour = MakeColor(255, 30, 144, 255);
inline constexpr TARGB kHoverColour = MakeColor(255, 255, 140, 0);

// Every group test: the form is the application's main window and owns the group; a configuration
// file of the test's own.
class GroupTestBase : public buttontest::WindowTestBase {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A group of logging buttons (with a logging hint window when `withHint`), not yet sized.
  std::unique_ptr<TGDICustomButtonGroup> MakeGroup(bool withHint = true);
  // A group sized as start-up sizes it (height first) with `segments` segments added.
  std::unique_ptr<TGDICustomButtonGroup> MakeRing(int segments, int side = 180, bool withHint = true);

  buttontest::ScratchFolder folder_;
  std::wstring config_;
};

// The fixture of the plain group tests (one class, as every test of a suite must share it).
class GroupTest : public GroupTestBase {};

// The virtual desktop's size.
int DesktopWidth();
int DesktopHeight();
// The button's bounds on the screen as its window places them: the window's rectangle, widened back by
// the part of the button that a ring window leaves out (see TCustomGDIButton::WindowBox).
RECT WindowRect(const TCustomGDIButton& button);

// Checks the whole ring: the rectangle list parallel to the items, each button painting its own
// rectangle, the angles spread evenly over the circle for the current count, every segment rectangle
// (10, 10, side - 20, side - 20), and every segment window of the group's size at the centre's place.
void ExpectEvenRing(const TGDICustomButtonGroup& group, int side);

// The segment buttons in index order.
std::vector<TCustomGDIButton*> SegmentButtons(const TGDICustomButtonGroup& group);

// Where a ring window `side` pixels square is placed to stand in the middle of the primary monitor's work
// area.
vantel::WindowOrigin CentredOrigin(int side);
// Checks that the centre window stands at (left, top), `side` pixels square.
void ExpectCentreAt(const TGDICustomButtonGroup& group, int left, int top, int side);
// Alpha of the pixel that `button` last pushed at `radius` from the middle of its window along `degrees`.
int AlphaAt(const TCustomGDIButton& button, double radius, double degrees);

}  // namespace grouptest
