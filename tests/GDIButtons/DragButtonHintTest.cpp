// Hovering a drop-and-launch button, or selecting it with the keys, names its file in the group's hint
// window.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "framework/Menus.h"
#include "framework/Timer.h"
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

// The keys arrive on whichever ring window has the foreground; the selection is the hover's look, and the
// two never show on two segments at once.
TEST_F(DragButtonHintTest, KeysSelectAsTheHoverDoesEnterLaunchesTheMenuKeyOpensAtTheSliceEscDismisses) {
  Ring ring(form_.get(), folder_, 4);
  dragtest::TTestHint* hint = ring.Hint();
  for (int i = 0; i < 4; ++i) ring.Segment(i).SetFileName(File(L"file" + std::to_wstring(i) + L".txt"));
  const TARGB hot = MakeColor(0xFF, 0x80, 0x00), normal = MakeColor(0x00, 0x80, 0x80);
  auto key = [&](WPARAM vk) { SendMessageW(ring.Centre().Handle(), WM_KEYDOWN, vk, 0); };
  auto expectShown = [&](int shown, const char* when) {
    EXPECT_EQ(ring.Group().SelectedSegment(), shown) << when;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ring.Segment(i).CurrentColor(), i == shown ? hot : normal) << when;
    EXPECT_TRUE(hint->Visible()) << when;
    EXPECT_EQ(hint->HintText, std::wstring(ring.Segment(shown).FileInfo.szDisplayName)) << when;
  };

  key(VK_RIGHT);
  expectShown(0, "the first key selects the first segment");
  ring.Segment(2).Perform(CM_MOUSEENTER, 0, 0);
  expectShown(2, "the pointer's enter takes the selection");
  key(VK_RIGHT);
  expectShown(3, "the keys go on from the hovered segment");
  key('2');
  expectShown(1, "a digit");

  int opened = 0, launched = 0;
  ring.Segment(1).OnDblClick = [&](TObject* sender) { opened += sender == &ring.Segment(1); };
  ring.Group().OnLaunched = [&] { ++launched; };
  key(VK_RETURN);
  EXPECT_EQ(opened, 1) << "Enter does what a double-click does";
  EXPECT_EQ(launched, 1);

  TPopupMenu menu(nullptr);
  menu.Items().Add(std::make_unique<TMenuItem>(nullptr))->Caption = L"Delete";
  ring.Segment(1).SetPopupMenu(&menu);
  RECT menuRect{};
  TTimer closer(nullptr);
  closer.SetInterval(20);
  closer.SetOnTimer([&](TObject*) {
    HWND popup = TPopupMenu::ActiveMenu() ? testsupport::FindOwnWindow(MAKEINTATOM(0x8000)) : nullptr;
    if (!popup || !IsWindowVisible(popup)) return;
    GetWindowRect(popup, &menuRect);
    EndMenu();
  });
  key(VK_APPS);  // returns once the menu has closed
  closer.SetEnabled(false);
  ring.Segment(1).SetPopupMenu(nullptr);
  const POINT slice = dragtest::SlicePoint(ring.Segment(1));
  EXPECT_LE(std::abs(menuRect.left - slice.x), 1) << "the menu opens on the selected slice";
  EXPECT_LE(std::abs(menuRect.top - slice.y), 1);
  EXPECT_EQ(menu.PopupComponent, &ring.Segment(1));

  int dismissed = 0;
  ring.Group().OnDismiss = [&] { ++dismissed; };
  key(VK_ESCAPE);
  EXPECT_EQ(dismissed, 1);
  EXPECT_EQ(ring.Group().SelectedSegment(), -1);
  EXPECT_EQ(ring.Segment(1).CurrentColor(), normal);
  EXPECT_FALSE(hint->Visible());

  // The program's hotkey starts again where the keys left off.
  ring.Group().FocusRing();
  expectShown(1, "focused again");
  ring.Group().EndKeyboardSelection();
  EXPECT_EQ(ring.Group().SelectedSegment(), -1);
  // Alt+F4 on the ring's foreground window closes no part of it.
  HWND centre = ring.Centre().Handle();
  SendMessageW(centre, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(IsWindow(centre));
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

}  // namespace
