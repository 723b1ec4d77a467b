// Drops on the drop-and-launch button through its registered drop target: every mode and list shape.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/GDIButtons/DragButtonTestSupport.h"
#include "tests/shell/TestDataObject.h"
#include "tests/support/TestSupport.h"

namespace {

using dragtest::DropFiles;
using dragtest::Recorded;
using dragtest::Ring;
using dragtest::TRecordingDragButton;

class DragButtonDropTest : public dragtest::DragButtonTestBase {
 protected:
  void HoldLeft() { Recorded().leftHeld = true; }
  void HoldRight() { Recorded().rightHeld = true; }
  const std::vector<dragtest::StoreCall>& Stores() const { return Recorded().stores; }
  static std::wstring DisplayName(const TDragGDIButton& b) { return b.FileInfo.szDisplayName; }
  // The window at the point once no window of a test running beside this one covers it.
  static HWND OwnWindowAt(POINT at) {
    HWND found = nullptr;
    testsupport::PumpUntil([&] {
      found = WindowFromPoint(at);
      DWORD process = 0;
      GetWindowThreadProcessId(found, &process);
      return process == GetCurrentProcessId();
    });
    return found;
  }
};

TEST_F(DragButtonDropTest, LeftDropOfOneFileOnAnEmptySegmentTakesItShowsItsIconAndStoresIt) {
  Ring ring(form_.get(), folder_, 4);
  TRecordingDragButton& segment = ring.Segment(1);
  const std::wstring file = File(L"notes.txt");
  HoldLeft();
  const int pushesBefore = PushCount(segment);

  ASSERT_EQ(DropFiles(segment, {file}), S_OK);

  EXPECT_EQ(segment.DropMode(), 9999);
  EXPECT_EQ(segment.FileName(), file);
  EXPECT_NE(segment.FileInfo.hIcon, nullptr) << "the shell's icon of the file";
  EXPECT_NE(DisplayName(segment).find(L"notes"), std::wstring::npos) << DisplayName(segment);
  EXPECT_EQ(ring.Count(), 4) << "no segment added";
  // Repainted: the pie with the icon over it, pushed at 210 (the pie alone is not pushed first: the
  // icon's push would replace it at once).
  EXPECT_GE(PushCount(segment), pushesBefore + 1);
  EXPECT_EQ(LastPushedImage(segment).ConstantAlpha, 210);
  EXPECT_NE(LastPushedImage(segment).Pixel(static_cast<int>(segment.IconX()) + segment.IconWidth() / 2,
                                           static_cast<int>(segment.IconY()) + segment.IconHeight() / 2),
            0u);
  EXPECT_EQ(segment.IconWidth(), segment.IconHeight());
  EXPECT_GT(segment.IconWidth(), 0);
  ASSERT_EQ(Stores().size(), 1u);
  EXPECT_EQ(Stores()[0].button, &segment);
  EXPECT_EQ(Stores()[0].fileName, file);
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

TEST_F(DragButtonDropTest, LeftDropOnAUsedSegmentAddsASegmentAtTheEndAndLeavesTheDroppedOnOneAlone) {
  Ring ring(form_.get(), folder_, 4);
  ring.Centre().xmlFileName = folder_.File(L"SystemConfig.xml");
  TRecordingDragButton& used = ring.Segment(2);
  const std::wstring held = File(L"held.txt");
  used.SetFileName(held);
  const std::wstring dropped = File(L"dropped.txt");
  HoldLeft();

  ASSERT_EQ(DropFiles(used, {dropped}), S_OK);

  ASSERT_EQ(ring.Count(), 5);
  TRecordingDragButton& added = ring.Segment(4);
  EXPECT_EQ(added.FileName(), dropped);
  EXPECT_NE(added.FileInfo.hIcon, nullptr);
  EXPECT_EQ(added.deleteEntries, 1) << "the new segment gets its delete entry";
  EXPECT_EQ(added.xmlFileName, ring.Centre().xmlFileName) << "and the centre's configuration file";
  EXPECT_EQ(LastPushedImage(added).ConstantAlpha, 210) << "repainted with its icon";
  // The new segment is laid out as the fifth of five.
  ASSERT_NE(added.PieRect(), nullptr);
  EXPECT_FLOAT_EQ(added.PieRect()->StartAngle, 291.0f);
  EXPECT_EQ(used.FileName(), held);
  EXPECT_EQ(used.deleteEntries, 0);
  ASSERT_EQ(Stores().size(), 1u) << "only the new segment is stored";
  EXPECT_EQ(Stores()[0].button, &added);
  EXPECT_EQ(Stores()[0].fileName, dropped);
}

TEST_F(DragButtonDropTest, LeftDropOfThreeFilesOnAUsedSegmentAddsOnlyTheFirst) {
  Ring ring(form_.get(), folder_, 4);
  TRecordingDragButton& used = ring.Segment(0);
  used.SetFileName(File(L"held.txt"));
  HoldLeft();

  ASSERT_EQ(DropFiles(used, {File(L"a.txt"), File(L"b.txt"), File(L"c.txt")}), S_OK);

  ASSERT_EQ(ring.Count(), 5);
  EXPECT_EQ(ring.Segment(4).FileName(), File(L"a.txt"));
  EXPECT_EQ(used.FileName(), File(L"held.txt"));
  ASSERT_EQ(Stores().size(), 1u);
  EXPECT_EQ(Stores()[0].button, &ring.Segment(4));
}

TEST_F(DragButtonDropTest, LeftDropOfThreeFilesOnAnEmptySegmentFillsItAddsTheSecondAndStoresBoth) {
  Ring ring(form_.get(), folder_, 4);
  TRecordingDragButton& empty = ring.Segment(3);
  HoldLeft();

  ASSERT_EQ(DropFiles(empty, {File(L"a.txt"), File(L"b.txt"), File(L"c.txt")}), S_OK);

  ASSERT_EQ(ring.Count(), 5) << "the third file is ignored";
  EXPECT_EQ(empty.FileName(), File(L"a.txt"));
  EXPECT_NE(empty.FileInfo.hIcon, nullptr);
  TRecordingDragButton& added = ring.Segment(4);
  EXPECT_EQ(added.FileName(), File(L"b.txt"));
  // Both buttons that changed reach the configuration, the dropped-on one first (ring order).
  ASSERT_EQ(Stores().size(), 2u);
  EXPECT_EQ(Stores()[0].button, &empty);
  EXPECT_EQ(Stores()[0].fileName, File(L"a.txt"));
  EXPECT_EQ(Stores()[1].button, &added);
  EXPECT_EQ(Stores()[1].fileName, File(L"b.txt"));
}

TEST_F(DragButtonDropTest, RightDropOfSeveralFilesKeepsTheLastAndStoresOnce) {
  for (bool alsoLeft : {false, true}) {
    SCOPED_TRACE(alsoLeft ? "both buttons held" : "right button held");
    Recorded() = dragtest::Recorder{};
    Ring ring(form_.get(), folder_, 4);
    TRecordingDragButton& used = ring.Segment(1);
    used.SetFileName(File(L"held.txt"));
    Recorded().rightHeld = true;
    Recorded().leftHeld = alsoLeft;

    ASSERT_EQ(DropFiles(used, {File(L"a.txt"), File(L"b.txt"), File(L"last.txt")}), S_OK);

    EXPECT_EQ(used.DropMode(), 8888);
    EXPECT_EQ(used.FileName(), File(L"last.txt"));
    EXPECT_NE(DisplayName(used).find(L"last"), std::wstring::npos);
    EXPECT_EQ(ring.Count(), 4);
    ASSERT_EQ(Stores().size(), 1u);
    EXPECT_EQ(Stores()[0].button, &used);
    EXPECT_EQ(Stores()[0].fileName, File(L"last.txt"));
  }
}

TEST_F(DragButtonDropTest, WithoutAMouseButtonTheDropChangesNothingButStillStores) {
  Ring ring(form_.get(), folder_, 4);
  TRecordingDragButton& used = ring.Segment(0);
  used.SetFileName(File(L"held.txt"));

  ASSERT_EQ(DropFiles(used, {File(L"a.txt")}), S_OK);

  EXPECT_EQ(used.DropMode(), 7777);
  EXPECT_EQ(used.FileName(), File(L"held.txt"));
  EXPECT_EQ(ring.Count(), 4);
  ASSERT_EQ(Stores().size(), 1u);
  EXPECT_EQ(Stores()[0].button, &used);
}

TEST_F(DragButtonDropTest, TheModeIsFixedWhenTheDragEntersNotWhenItDrops) {
  dragtest::UsedSegmentDrag drag(form_.get(), folder_, File(L"held.txt"), File(L"a.txt"));
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;

  HoldLeft();
  ASSERT_EQ(drag.target->DragEnter(&drag.data, MK_LBUTTON, drag.point, &effect), S_OK);
  // Buttons change during the drag: it is still the left-button drop that entered.
  Recorded().leftHeld = false;
  Recorded().rightHeld = true;
  ASSERT_EQ(drag.target->DragOver(MK_RBUTTON, drag.point, &effect), S_OK);
  ASSERT_EQ(drag.target->Drop(&drag.data, MK_RBUTTON, drag.point, &effect), S_OK);

  EXPECT_EQ(drag.used.DropMode(), 9999);
  EXPECT_EQ(drag.ring.Count(), 5);
  EXPECT_EQ(drag.used.FileName(), File(L"held.txt"));
}

TEST_F(DragButtonDropTest, AFileTheShellDoesNotKnowShowsNoIconOrNameOfThePreviousFile) {
  Ring ring(form_.get(), folder_, 4);
  TRecordingDragButton& used = ring.Segment(0);
  used.SetFileName(File(L"held.txt"));
  ASSERT_NE(used.FileInfo.hIcon, nullptr);
  HoldRight();

  ASSERT_EQ(DropFiles(used, {folder_.File(L"gone\\nowhere.txt")}), S_OK);

  EXPECT_EQ(used.FileName(), folder_.File(L"gone\\nowhere.txt"));
  EXPECT_EQ(used.FileInfo.hIcon, nullptr);
  EXPECT_EQ(DisplayName(used).find(L"held"), std::wstring::npos);
  EXPECT_EQ(LastPushedImage(used).ConstantAlpha, 150) << "no icon drawn";
  EXPECT_EQ(Stores().size(), 1u);
}

TEST_F(DragButtonDropTest, CentreButtonTakesDropsLikeASegment) {
  Ring ring(form_.get(), folder_, 4);
  HoldLeft();
  ASSERT_EQ(DropFiles(ring.Centre(), {File(L"centre.txt")}), S_OK);
  EXPECT_EQ(ring.Centre().FileName(), File(L"centre.txt"));
  EXPECT_EQ(ring.Count(), 4);
  ASSERT_EQ(Stores().size(), 1u);
  EXPECT_EQ(Stores()[0].button, &ring.Centre());
}

TEST_F(DragButtonDropTest, EverySliceOfTheRingIsHitByItsOwnWindow) {
  // The windows overlap completely; each is shaped to its slice so that the pointer and OLE find the
  // slice under them, whatever the stacking order.
  for (int count : {4, 5}) {
    Ring ring(form_.get(), folder_, count);
    ring.MoveTo(200, 700);
    for (int i = 0; i < count; ++i) {
      const POINT at = dragtest::SlicePoint(ring.Segment(i));
      EXPECT_EQ(OwnWindowAt(at), ring.Segment(i).Handle()) << count << " segments, segment " << i;
    }
    const POINT middle = testsupport::WindowCentre(ring.Centre().Handle());
    EXPECT_EQ(OwnWindowAt(middle), ring.Centre().Handle());
    // A hole between two slices belongs to none of them.
    const POINT gap = {ring.Centre().Left() + 170,
                       ring.Centre().Top() + 90};  // 0 degrees, in the 6-degree gap
    for (int i = 0; i < count; ++i) EXPECT_NE(WindowFromPoint(gap), ring.Segment(i).Handle()) << i;
  }
}

TEST_F(DragButtonDropTest, AButtonOutsideARingCannotAddASegmentAndSurvivesTheDrop) {
  TRecordingDragButton lone(form_.get());
  lone.SetBounds(300, 300, 180, 180);
  lone.SetFileName(File(L"held.txt"));
  HoldLeft();
  EXPECT_EQ(DropFiles(lone, {File(L"a.txt")}), S_OK);
  EXPECT_EQ(lone.FileName(), File(L"held.txt"));
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

}  // namespace
