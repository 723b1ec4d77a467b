// Hovering a drop-and-launch button names its file in the group's hint window.
#include <gtest/gtest.h>

#include <string>

#include "tests/GDIButtons/DragButtonTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using dragtest::Ring;
using dragtest::TRecordingDragButton;

class DragButtonHintTest : public dragtest::DragButtonTestBase {};

TEST_F(DragButtonHintTest, EnterShowsTheDisplayNameLeaveHidesIt) {
  Ring ring(form_.get(), folder_, 4);
  dragtest::TTestHint* hint = ring.Hint();
  ASSERT_NE(hint, nullptr);
  TRecordingDragButton& segment = ring.Segment(1);
  segment.SetFileName(File(L"readme.txt"));
  const std::wstring name = segment.FileInfo.szDisplayName;
  ASSERT_FALSE(name.empty());

  segment.Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(hint->HintText, name);
  EXPECT_TRUE(hint->Visible());
  EXPECT_TRUE(IsWindowVisible(hint->Handle()));
  EXPECT_GE(hint->repaints, 1);
  EXPECT_EQ(segment.CurrentColor(), MakeColor(0xFF, 0x80, 0x00)) << "the hover colour, as every pie button";

  segment.Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(hint->Visible());
  EXPECT_FALSE(IsWindowVisible(hint->Handle()));
  EXPECT_EQ(segment.CurrentColor(), MakeColor(0x00, 0x80, 0x80));

  // An empty button names nothing: the hint shows an empty text.
  TRecordingDragButton& empty = ring.Segment(2);
  empty.Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(hint->HintText, L"");
  empty.Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

// The window system may report one window's leave after the next one's enter (moving onto a neighbour,
// or onto the centre), or a leave long after (the leave watch): the name shown is always that of the button
// entered last, which alone has the hover colour.
TEST_F(DragButtonHintTest, TheNameAndTheHoverColourBelongToTheButtonEnteredLastWhateverTheLeavesDo) {
  Ring ring(form_.get(), folder_, 4);
  dragtest::TTestHint* hint = ring.Hint();
  TRecordingDragButton& a = ring.Segment(0);
  TRecordingDragButton& b = ring.Segment(1);
  TRecordingDragButton& centre = ring.Centre();
  a.SetFileName(File(L"a.txt"));
  b.SetFileName(File(L"b.txt"));
  centre.SetFileName(File(L"centre.txt"));
  const TARGB hot = MakeColor(0xFF, 0x80, 0x00), normal = MakeColor(0x00, 0x80, 0x80);
  auto move = [](TRecordingDragButton& button) {
    SendMessageW(button.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(90, 20));
  };
  auto expectNamed = [&](TRecordingDragButton& by, const char* when) {
    EXPECT_TRUE(hint->Visible()) << when;
    EXPECT_EQ(hint->HintText, std::wstring(by.FileInfo.szDisplayName)) << when;
    for (TRecordingDragButton* button : {&a, &b, &centre})
      EXPECT_EQ(button->CurrentColor(), button == &by ? hot : normal) << when;
  };

  move(a);
  move(b);  // b's enter comes first...
  expectNamed(b, "onto the neighbour");
  a.Perform(WM_MOUSELEAVE, 0, 0);  // ...a's leave after it
  expectNamed(b, "the neighbour's late leave");
  move(centre);
  b.Perform(WM_MOUSELEAVE, 0, 0);
  expectNamed(centre, "onto the centre");
  // Back onto b, whose leave the system has not reported yet: b enters again.
  move(b);
  move(centre);
  move(b);
  expectNamed(b, "back onto a button whose leave is still to come");
  centre.Perform(WM_MOUSELEAVE, 0, 0);
  b.Perform(WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(hint->Visible()) << "its own leave hides the name";
  EXPECT_EQ(b.CurrentColor(), normal);

  move(a);
  ring.Group().Items().Delete(0);
  EXPECT_FALSE(hint->Visible()) << "a segment deleted under the pointer takes its name with it";
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

TEST_F(DragButtonHintTest, TheCentreNamesItsFileToo) {
  Ring ring(form_.get(), folder_, 1);
  ring.Centre().SetFileName(File(L"centre.txt"));
  ring.Centre().Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(ring.Hint()->HintText, std::wstring(ring.Centre().FileInfo.szDisplayName));
  ring.Centre().Perform(CM_MOUSELEAVE, 0, 0);
}

TEST_F(DragButtonHintTest, WithoutAHintWindowOrARingHoverOnlyChangesTheColour) {
  Ring ring(form_.get(), folder_, 1, /*withHint=*/false);
  TRecordingDragButton& segment = ring.Segment(0);
  segment.SetFileName(File(L"x.txt"));
  segment.Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(segment.CurrentColor(), MakeColor(0xFF, 0x80, 0x00));
  segment.Perform(CM_MOUSELEAVE, 0, 0);

  TRecordingDragButton lone(form_.get());
  lone.SetFileName(File(L"x.txt"));
  lone.Perform(CM_MOUSEENTER, 0, 0);
  lone.Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

}  // namespace
