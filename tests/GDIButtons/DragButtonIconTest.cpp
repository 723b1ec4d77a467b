// The file icon drawn over a button: where it goes, what it asks of the ring's growth, and its size.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "GDIButtons/ShellIcon.h"
#include "GDIButtons/ShellInfoPrefetch.h"
#include "tests/GDIButtons/DragButtonTestSupport.h"
#include "tests/support/TestSupport.h"
#include "xml/ConfigFormat.h"

namespace {

using dragtest::Recorded;
using dragtest::Ring;
using dragtest::TRecordingDragButton;

class DragButtonIconTest : public dragtest::DragButtonTestBase {
 protected:
  // Gives the button a file and renders it (the pie, then the icon).
  void Fill(TRecordingDragButton& button, const wchar_t* name = L"file.txt") {
    button.SetFileName(File(name));
    ASSERT_NE(button.FileInfo.hIcon, nullptr);
    button.Repaint();
  }
};

TEST_F(DragButtonIconTest, SegmentIconSitsOnTheMiddleAngleAtThreeEighthsOfTheHeight) {
  Recorded().iconSize = 32;
  Ring ring(form_.get(), folder_, 4);
  TRecordingDragButton& segment = ring.Segment(0);  // start 3, sweep 84: middle angle 45
  Fill(segment);
  EXPECT_EQ(segment.IconWidth(), 32);
  EXPECT_EQ(segment.IconHeight(), 32);
  EXPECT_NEAR(segment.IconX(), 116.43f, 0.01f);
  EXPECT_NEAR(segment.IconY(), 116.43f, 0.01f);
  EXPECT_FALSE(ring.Group().GrowFlag());

  const struct {
    int index;
    float x, y;
  } others[] = {{1, 31.57f, 116.43f}, {2, 31.57f, 31.57f}, {3, 116.43f, 31.57f}};
  for (const auto& o : others) {
    Fill(ring.Segment(o.index));
    EXPECT_NEAR(ring.Segment(o.index).IconX(), o.x, 0.01f) << o.index;
    EXPECT_NEAR(ring.Segment(o.index).IconY(), o.y, 0.01f) << o.index;
  }
}

TEST_F(DragButtonIconTest, IconPixelsArePushedInsideTheIconRectangleOnly) {
  Recorded().iconSize = 32;
  Ring ring(form_.get(), folder_, 4);
  TRecordingDragButton& segment = ring.Segment(0);
  segment.Repaint();
  const TPushedImage plain = LastPushedImage(segment);
  ASSERT_EQ(plain.ConstantAlpha, 150);
  const int pushes = PushCount(segment);
  Fill(segment);
  // One push, pie and icon at 210: the pie alone at 150 would be replaced by it at once.
  EXPECT_EQ(PushCount(segment), pushes + 1);
  const TPushedImage& image = LastPushedImage(segment);
  EXPECT_EQ(image.ConstantAlpha, 210);
  int changedInside = 0, changedOutside = 0;
  const double x0 = segment.IconX(), y0 = segment.IconY();
  for (int y = 0; y < 180; ++y) {
    for (int x = 0; x < 180; ++x) {
      // The icon lands between pixel cells: its rectangle grows by one pixel for the smoothing.
      const bool inside = x >= x0 - 1 && x <= x0 + 33 && y >= y0 - 1 && y <= y0 + 33;
      if (image.Pixel(x, y) != plain.Pixel(x, y)) ++(inside ? changedInside : changedOutside);
    }
  }
  EXPECT_GT(changedInside, 100) << "the icon is drawn";
  EXPECT_EQ(changedOutside, 0);
}

TEST_F(DragButtonIconTest, CentreIconIsCentredOnTheDisc) {
  Recorded().iconSize = 32;
  Ring ring(form_.get(), folder_, 4);
  Fill(ring.Centre());
  EXPECT_EQ(ring.Centre().ButtonKind(), ConfigFormat::KindCentre);
  EXPECT_FLOAT_EQ(ring.Centre().IconX(), 74.0f);
  EXPECT_FLOAT_EQ(ring.Centre().IconY(), 74.0f);
  EXPECT_FALSE(ring.Group().GrowFlag()) << "the centre never asks the ring to grow";
}

TEST_F(DragButtonIconTest, RingsOfFourOrFewerSegmentsNeverKeepTheGrowFlag) {
  Recorded().iconSize = 32;
  for (int count = 1; count <= 4; ++count) {
    SCOPED_TRACE(count);
    Ring ring(form_.get(), folder_, count);
    // Set by someone before: a segment that finds its icon too wide clears it again in a small ring.
    ring.Group().SetGrowFlag(true);
    for (int i = 0; i < count; ++i) Fill(ring.Segment(i));
    if (count == 3) {
      EXPECT_FALSE(ring.Group().GrowFlag()) << "the 180-degree slice fails the test and clears";
    }
    ring.Group().SetGrowFlag(false);
    for (int i = 0; i < count; ++i) ring.Segment(i).Repaint();
    EXPECT_FALSE(ring.Group().GrowFlag());
    ring.Group().Items().AddItem();  // the next layout
    EXPECT_EQ(ring.Group().Width(), 180);
  }
}

TEST_F(DragButtonIconTest, FiveSegmentsWithAnIconOnTheHalfTurnSliceWidenTheRingAtTheNextLayout) {
  Recorded().iconSize = 32;
  Ring ring(form_.get(), folder_, 5);
  TRecordingDragButton& half = ring.Segment(2);  // start 147, sweep 66: middle angle 180
  ASSERT_FLOAT_EQ(half.PieRect()->StartAngle, 147.0f);
  Fill(half);
  EXPECT_TRUE(ring.Group().GrowFlag());
  EXPECT_EQ(ring.Group().Width(), 180) << "not at once";

  ring.Group().Items().AddItem();

  EXPECT_EQ(ring.Group().Width(), 220);
  EXPECT_EQ(ring.Group().Height(), 220);
  EXPECT_FALSE(ring.Group().GrowFlag());
  EXPECT_EQ(ring.Segment(0).Width(), 220);
  EXPECT_FLOAT_EQ(ring.Segment(0).PieRect()->Width, 200.0f);
}

TEST_F(DragButtonIconTest, SixSegmentsOnA180RingFitA32PixelIcon) {
  Recorded().iconSize = 32;
  Ring ring(form_.get(), folder_, 6);
  for (int i = 0; i < 6; ++i) Fill(ring.Segment(i));
  EXPECT_FALSE(ring.Group().GrowFlag());
  ring.Group().Items().AddItem();
  EXPECT_EQ(ring.Group().Width(), 180);
}

TEST_F(DragButtonIconTest, TheIconIsTakenAtTheMonitorsSizeAndPlacedByItsRealSize) {
  // A 150 % monitor wants 48 px icons: drawn at 48, not a 32 px icon stretched.
  Recorded().iconSize = 48;
  Ring ring(form_.get(), folder_, 4);
  Fill(ring.Centre());
  EXPECT_EQ(ring.Centre().IconWidth(), 48);
  EXPECT_EQ(ring.Centre().IconHeight(), 48);
  EXPECT_FLOAT_EQ(ring.Centre().IconX(), 66.0f);
  TRecordingDragButton& segment = ring.Segment(0);
  Fill(segment, L"program.exe");
  EXPECT_EQ(segment.IconWidth(), 48);
  EXPECT_NEAR(segment.IconX(), 90.0f + 42.43f - 24.0f, 0.01f);
  EXPECT_NEAR(segment.IconY(), 90.0f + 42.43f - 24.0f, 0.01f);

  Recorded().iconSize = 64;  // 200 %
  Fill(segment, L"other.txt");
  EXPECT_EQ(segment.IconWidth(), 64);
}

TEST_F(DragButtonIconTest, WithoutSettingTheSizeTheIconFollowsTheWindowsDpi) {
  Ring ring(form_.get(), folder_, 4);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  Fill(ring.Segment(0));
  EXPECT_EQ(ring.Segment(0).IconWidth(), vantel::ShellIconSizeForDpi(dpi));
}

TEST_F(DragButtonIconTest, ANewDpiAsksForEveryIconOffTheUiThreadAndTheRingKeepsItsIconsUntilTheyCome) {
  // Every file is on a drive that does not answer (an offline share) until the test says. Shared with the
  // workers, which may outlive the test.
  struct TDrive {
    HANDLE answer = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> offline{false}, askedOnUiThread{false};
    DWORD uiThread = GetCurrentThreadId();
    ~TDrive() { CloseHandle(answer); }
  };
  auto drive = std::make_shared<TDrive>();
  const TShellLookup lookup = [drive](const std::wstring& path, UINT flags, int size) {
    if (drive->offline && GetCurrentThreadId() == drive->uiThread)
      drive->askedOnUiThread = true;  // and does not wait: the test would never end
    else if (drive->offline)
      WaitForSingleObject(drive->answer, INFINITE);
    return ShellFileInfoAt(path, flags, size);
  };
  struct TRestore {
    std::shared_ptr<TDrive> drive;
    ~TRestore() { SetEvent(drive->answer); }
  } restore{drive};
  Recorded().iconSize = 32;
  Ring ring(form_.get(), folder_, 4);
  std::vector<TRecordingDragButton*> buttons{&ring.Centre()};
  for (int i = 0; i < 4; ++i) buttons.push_back(&ring.Segment(i));
  for (TRecordingDragButton* button : buttons) button->SetShellLookup(lookup);
  Fill(ring.Centre(), L"program.exe");
  for (int i = 0; i < 4; ++i) Fill(ring.Segment(i));

  // The ring is taken to a 150 % monitor: the system tells each window.
  drive->offline = true;
  Recorded().iconSize = 48;
  const RECT suggested{0, 0, 270, 270};
  for (TRecordingDragButton* button : buttons)
    SendMessageW(button->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_FALSE(drive->askedOnUiThread);
  for (TRecordingDragButton* button : buttons) EXPECT_EQ(IconSize(button->FileInfo.hIcon), 32);

  SetEvent(drive->answer);
  EXPECT_TRUE(testsupport::PumpUntil([&] {
    for (TRecordingDragButton* button : buttons)
      if (IconSize(button->FileInfo.hIcon) != 48) return false;
    return true;
  }));
  EXPECT_STREQ(ring.Centre().FileInfo.szDisplayName, L"program.exe");
  EXPECT_FALSE(drive->askedOnUiThread);
}

TEST_F(DragButtonIconTest, ReplacingTheFileFreesTheOldIcon) {
  Recorded().iconSize = 32;
  TRecordingDragButton button(form_.get());
  button.SetFileName(File(L"a.txt"));
  const HICON first = button.FileInfo.hIcon;
  ASSERT_NE(first, nullptr);
  button.SetFileName(File(L"b.txt"));
  ICONINFO info{};
  EXPECT_FALSE(GetIconInfo(first, &info)) << "the first icon is gone";
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  EXPECT_NE(button.FileInfo.hIcon, nullptr);
  button.SetFileName(L"");
  EXPECT_EQ(button.FileInfo.hIcon, nullptr) << "an empty path is an empty button";
}

}  // namespace
