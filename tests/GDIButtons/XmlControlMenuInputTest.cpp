// The delete entry chosen in the button's real popup menu (the menu's loop takes keyboard input).
#include <gtest/gtest.h>

#include "tests/GDIButtons/XmlControlTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace xmltest;

using XmlControlMenuInputTest = XmlControlTestBase;

TEST_F(XmlControlMenuInputTest, DeleteChosenFromTheRealPopupMenu) {
  WriteConfig(Example());
  auto group = StartGroup();
  TXmlControlDragGDIButton* doomed = &Segment(*group, 0);
  const HWND window = doomed->Handle();
  // The menu's own loop takes these keys: the last entry, below the file's commands, chosen.
  PostMessageW(window, WM_KEYDOWN, VK_UP, 0);
  PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
  const POINT centre = testsupport::WindowCentre(window);
  SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(centre.x, centre.y));
  // The command has run and returned through the button's window procedure.
  EXPECT_EQ(ReadConfig(), WithLine(Example(), 3, nullptr));
  EXPECT_FALSE(TTestXmlButton::WasDestroyed(doomed));
  EXPECT_TRUE(IsWindow(window));
  ASSERT_TRUE(testsupport::PumpUntil([&] { return group->Items().Count() == 3; }));
  EXPECT_TRUE(TTestXmlButton::WasDestroyed(doomed));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

}  // namespace
