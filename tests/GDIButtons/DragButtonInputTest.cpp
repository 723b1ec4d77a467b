// The drop-and-launch button under real input: an OLE drag from another process with a real mouse button
// held, a real double-click, a real hover.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <utility>

#include "framework/ProcessPaths.h"
#include "framework/Handles.h"
#include "tests/GDIButtons/DragButtonTestSupport.h"
#include "tests/shell/TestDataObject.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using dragtest::Recorded;
using dragtest::Ring;
using dragtest::SlicePoint;
using dragtest::TRecordingDragButton;

fs::path BuildFolder() {
  return fs::path(ModuleFolder()).parent_path();  // tests/
}

// Away from the middle of the desktop, where message boxes of programs running beside the tests appear.
constexpr int kLeft = 1100, kTop = 200;

std::wstring Quote(const std::wstring& s) {
  return L"\"" + s + L"\"";
}

// Starts the command and handles this thread's messages until it ends (OLE calls from the other process
// arrive as messages). Its exit code, or -1 when it could not start or did not end in time.
long RunPumping(const std::wstring& commandLine) {
  std::wstring command = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return -1;
  UniqueFile process(info.hProcess);
  UniqueFile thread(info.hThread);
  const bool ended =
      testsupport::PumpUntil([&] { return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; }, 30000);
  if (!ended) {
    TerminateProcess(process.get(), 1);
    return -1;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.get(), &code);
  return static_cast<long>(code);
}

class DragButtonInputTest : public dragtest::DragButtonTestBase {
 protected:
  void SetUp() override {
    DragButtonTestBase::SetUp();
    Recorded().realMouseButtons = true;
    Recorded().iconSize = 32;
  }

  // Drags `files` from our drag-source program onto the target's slice while the given mouse button is
  // really held. The drag source's exit code: the drop's effect, or -1.
  long DragWithButtonHeld(TRecordingDragButton& target, const std::vector<std::wstring>& files, bool right,
                          bool forgetEarlierPresses = true) {
    const fs::path source = BuildFolder() / L"shell" / L"drag_source.exe";
    EXPECT_TRUE(fs::exists(source)) << "build drag_source first";
    // The new ring may not be on the display yet.
    const POINT at = SlicePoint(target);
    if (!testsupport::PumpUntil([&] { return WindowFromPoint(at) == target.Handle(); }, 10000)) {
      ADD_FAILURE() << "the slice's own window is not under the point";
      return -1;
    }
    // The press goes to an empty corner of the desktop, away from the ring.
    testsupport::MoveCursor(5, GetSystemMetrics(SM_CYSCREEN) - 5);
    testsupport::PumpFor(50);
    // Should the drop mode read GetAsyncKeyState, its "pressed since the last call" bit could still hold
    // a press made by an earlier test's program: read it once so only this drag's button counts.
    if (forgetEarlierPresses) {
      (void)GetAsyncKeyState(VK_LBUTTON);
      (void)GetAsyncKeyState(VK_RBUTTON);
    }
    testsupport::PressButton(right);
    testsupport::PumpFor(50);
    std::wstring command = Quote(source.wstring()) + L" --at " + std::to_wstring(at.x) + L" " +
                           std::to_wstring(at.y) + L" --from 5 " +
                           std::to_wstring(GetSystemMetrics(SM_CYSCREEN) - 5) +
                           (right ? L" --button right" : L"");
    for (const auto& f : files) command += L" " + Quote(f);
    const long result = RunPumping(command);
    testsupport::ReleaseButton(right);
    testsupport::PumpFor(100);
    return result;
  }
};

// First: the drags below leave the display in a state where a new window may miss the next motion.
TEST_F(DragButtonInputTest, RealDoubleClickLaunchesAndRealHoverNamesTheFile) {
  const fs::path marker = BuildFolder() / L"e2e" / L"e2e_marker.exe";
  ASSERT_TRUE(fs::exists(marker)) << "build e2e_marker first";
  const fs::path program = folder_.File(L"double clicked.exe");
  fs::copy_file(marker, program);

  Ring ring(form_.get(), folder_, 4);
  ring.MoveTo(kLeft, kTop);
  TRecordingDragButton& target = ring.Segment(3);
  target.SetFileName(program.wstring());
  target.Repaint();
  const POINT at = SlicePoint(target);

  // Hover: the pointer comes from outside the ring onto the slice, and leaves again.
  dragtest::TTestHint* hint = ring.Hint();
  testsupport::PumpFor(200);  // the new windows are on the display
  ASSERT_TRUE(testsupport::XMoveCursor(at.x - 300, at.y));
  testsupport::PumpFor(100);
  // A move or two inside the slice: the first motion may reach the display before the window's shape.
  for (int step = 0; step < 3 && !target.MouseInControl(); ++step) {
    ASSERT_TRUE(testsupport::XMoveCursor(at.x + step, at.y));
    testsupport::PumpUntil([&] { return target.MouseInControl(); }, 1500);
  }
  EXPECT_TRUE(testsupport::PumpUntil([&] { return hint->Visible(); }));
  EXPECT_EQ(hint->HintText, std::wstring(target.FileInfo.szDisplayName));
  ASSERT_TRUE(testsupport::XMoveCursor(1700, 1000));
  EXPECT_TRUE(testsupport::PumpUntil([&] { return !hint->Visible(); }));

  // A real double-click on the slice opens the program.
  ASSERT_TRUE(testsupport::XMoveCursor(at.x, at.y));
  testsupport::PumpUntil([&] { return target.MouseInControl(); }, 1500);
  ASSERT_EQ(testsupport::RunUnix(L"/usr/bin/xdotool click --repeat 2 --delay 80 1"), 0);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return fs::exists(program.wstring() + L".ran"); }, 20000));
}

// A pointer that rests on the slice for a while (the leave watch then looks less and less often) is still
// seen to leave, straight after the rest or after moving on the slice again.
TEST_F(DragButtonInputTest, APointerThatRestsOnTheSliceIsStillSeenToLeave) {
  Ring ring(form_.get(), folder_, 4, /*withHint=*/false);
  ring.MoveTo(kLeft, kTop);
  TRecordingDragButton& target = ring.Segment(2);
  const POINT at = SlicePoint(target);
  testsupport::PumpFor(200);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round == 0 ? "after a rest" : "after a move on the slice");
    ASSERT_TRUE(testsupport::XMoveCursor(at.x - 300, at.y));
    testsupport::PumpFor(100);
    for (int step = 0; step < 3 && !target.MouseInControl(); ++step) {
      ASSERT_TRUE(testsupport::XMoveCursor(at.x + step, at.y));
      testsupport::PumpUntil([&] { return target.MouseInControl(); }, 1500);
    }
    ASSERT_TRUE(target.MouseInControl());
    testsupport::PumpFor(2500);  // resting: the watch backs off to its longest interval
    if (round == 1) {
      ASSERT_TRUE(testsupport::XMoveCursor(at.x + 1, at.y + 1));
      testsupport::PumpFor(50);
    }
    ASSERT_TRUE(testsupport::XMoveCursor(1700, 1000));
    EXPECT_TRUE(testsupport::PumpUntil([&] { return !target.MouseInControl(); }, 3000));
    EXPECT_EQ(target.CurrentColor(), target.DefaultColor);
  }
}

// Another program's drag holds the pointer (its thread's capture, which GetCapture here does not see) and
// the system reported the leave: the return watch must not fake a hover under it.
TEST_F(DragButtonInputTest, TheReturnWatchFakesNoHoverWhileAnotherProgramHoldsThePointer) {
  Ring ring(form_.get(), folder_, 4, /*withHint=*/false);
  ring.MoveTo(kLeft, kTop);
  TRecordingDragButton& target = ring.Segment(2);
  const POINT at = SlicePoint(target);
  for (int step = 0; step < 3 && !target.MouseInControl(); ++step) {
    ASSERT_TRUE(testsupport::XMoveCursor(at.x + step, at.y));
    testsupport::PumpUntil([&] { return target.MouseInControl(); }, 1500);
  }
  ASSERT_TRUE(target.MouseInControl());
  Recorded().foreignCapture = GetDesktopWindow();
  PostMessageW(target.Handle(), WM_MOUSELEAVE, 0, 0);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return !target.MouseInControl(); }));
  const int queries = Recorded().foregroundQueries;
  // The watch looks, with the pointer on the slice, and leaves the hover off.
  ASSERT_TRUE(testsupport::PumpUntil([&] { return Recorded().foregroundQueries >= queries + 3; }));
  EXPECT_FALSE(target.MouseInControl());
  // The drag is over: the watch finds the pointer on the slice again.
  Recorded().foreignCapture = nullptr;
  EXPECT_TRUE(testsupport::PumpUntil([&] { return target.MouseInControl(); }));
}

TEST_F(DragButtonInputTest, RealLeftDragOfOneFileOntoAnEmptySegment) {
  Ring ring(form_.get(), folder_, 4, /*withHint=*/false);
  ring.MoveTo(kLeft, kTop);
  TRecordingDragButton& target = ring.Segment(1);

  EXPECT_EQ(DragWithButtonHeld(target, {File(L"dragged.txt")}, false), static_cast<long>(DROPEFFECT_LINK));

  EXPECT_EQ(target.DropMode(), 9999);
  EXPECT_EQ(target.FileName(), File(L"dragged.txt"));
  EXPECT_EQ(ring.Count(), 4);
  ASSERT_EQ(Recorded().stores.size(), 1u);
  EXPECT_EQ(Recorded().stores[0].button, &target);
  EXPECT_EQ(LastPushedImage(target).ConstantAlpha, 210);
}

TEST_F(DragButtonInputTest, RealLeftDragOntoAUsedSegmentAddsOne) {
  Ring ring(form_.get(), folder_, 4, /*withHint=*/false);
  ring.MoveTo(kLeft, kTop);
  TRecordingDragButton& target = ring.Segment(0);
  target.SetFileName(File(L"held.txt"));
  target.Repaint();

  EXPECT_EQ(DragWithButtonHeld(target, {File(L"new.txt"), File(L"ignored.txt")}, false),
            static_cast<long>(DROPEFFECT_LINK));

  ASSERT_EQ(ring.Count(), 5);
  EXPECT_EQ(ring.Segment(4).FileName(), File(L"new.txt"));
  EXPECT_EQ(target.FileName(), File(L"held.txt"));
  ASSERT_EQ(Recorded().stores.size(), 1u);
  EXPECT_EQ(Recorded().stores[0].button, &ring.Segment(4));
}

TEST_F(DragButtonInputTest, AnEarlierRightClickDoesNotTurnALeftDropIntoAReplace) {
  Ring ring(form_.get(), folder_, 4, /*withHint=*/false);
  ring.MoveTo(kLeft, kTop);
  TRecordingDragButton& target = ring.Segment(0);
  target.SetFileName(File(L"held.txt"));
  target.Repaint();
  (void)GetAsyncKeyState(VK_RBUTTON);
  // A right-click on the empty desktop, released long before the drag (as when a menu was used).
  testsupport::ClickAt(5, GetSystemMetrics(SM_CYSCREEN) - 5, /*right=*/true);
  testsupport::PumpFor(100);

  EXPECT_EQ(DragWithButtonHeld(target, {File(L"new.txt")}, false, /*forgetEarlierPresses=*/false),
            static_cast<long>(DROPEFFECT_LINK));

  EXPECT_EQ(target.DropMode(), 9999);
  EXPECT_EQ(target.FileName(), File(L"held.txt"));
  ASSERT_EQ(ring.Count(), 5);
  EXPECT_EQ(ring.Segment(4).FileName(), File(L"new.txt"));
}

// The buttons the drag reports to the drop target (logical ones), not the ones the hand holds: with
// swapped mouse buttons, an ordinary drag holds the physical right button and must not replace the file.
TEST_F(DragButtonInputTest, TheModeComesFromTheButtonsTheDragReportsNotFromThePhysicalOnes) {
  dragtest::UsedSegmentDrag drag(form_.get(), folder_, File(L"held.txt"), File(L"a.txt"));
  testsupport::MoveCursor(5, GetSystemMetrics(SM_CYSCREEN) - 5);  // an empty corner takes the press
  struct RightHeld {
    RightHeld() { testsupport::PressButton(/*right=*/true); }
    ~RightHeld() { testsupport::ReleaseButton(/*right=*/true); }
  } held;
  for (const auto& [keys, mode] : {std::pair<DWORD, int>{MK_LBUTTON, 9999}, {0, 7777}}) {
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(drag.target->DragEnter(&drag.data, keys, drag.point, &effect), S_OK);
    EXPECT_EQ(drag.used.DropMode(), mode) << "keys " << keys << " with the physical right button down";
    drag.target->DragLeave();
  }
}

TEST_F(DragButtonInputTest, RealRightDragReplacesTheFile) {
  Ring ring(form_.get(), folder_, 4, /*withHint=*/false);
  ring.MoveTo(kLeft, kTop);
  TRecordingDragButton& target = ring.Segment(2);
  target.SetFileName(File(L"held.txt"));

  EXPECT_EQ(DragWithButtonHeld(target, {File(L"one.txt"), File(L"two.txt")}, true),
            static_cast<long>(DROPEFFECT_LINK));

  EXPECT_EQ(target.DropMode(), 8888);
  EXPECT_EQ(target.FileName(), File(L"two.txt"));
  EXPECT_EQ(ring.Count(), 4);
  EXPECT_EQ(Recorded().stores.size(), 1u);
}

}  // namespace
