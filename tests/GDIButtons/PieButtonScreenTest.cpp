// What a ring shows on the screen, pixel for pixel: each window's last pushed image inside its region,
// blended over a black desktop, against pictures kept in tests/GDIButtons/data. VANTEL_RECORD_SCREENS=1
// writes the pictures instead (only ever from a build whose pictures are known to be right).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "GDIButtons/RegionRaster.h"
#include "tests/GDIButtons/DragButtonTestSupport.h"
#include "xml/ConfigFormat.h"

namespace {

using dragtest::Recorded;
using dragtest::Ring;

// The screen under the ring: opaque 0x00RRGGBB pixels, row by row.
struct Screen {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
};

// The window's shape as a mask of its pixels (all of them without a region).
std::vector<bool> ShapeMask(HWND window, int width, int height) {
  std::vector<bool> mask(static_cast<size_t>(width) * static_cast<size_t>(height), true);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  if (GetWindowRgn(window, region) != ERROR) {
    mask.assign(mask.size(), false);
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<std::uint8_t> bytes(size);
    auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
    if (size && GetRegionData(region, size, data) == size) {
      const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
      for (DWORD i = 0; i < data->rdh.nCount; ++i)
        for (LONG y = std::max(0L, rects[i].top); y < std::min<LONG>(height, rects[i].bottom); ++y)
          for (LONG x = std::max(0L, rects[i].left); x < std::min<LONG>(width, rects[i].right); ++x)
            mask[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = true;
    }
  }
  DeleteObject(region);
  return mask;
}

// The pixels of the image within 1.5 px of the button's pie: the shape ring windows had before they took
// their icons in as well.
std::vector<bool> OutlineMask(const TCustomGDIButton& button, const TPushedImage& image) {
  std::vector<bool> mask(static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height), false);
  const TPieRect& pie = *button.PieRect();
  const vantel::PieShape shape{pie.X + pie.Width / 2 - static_cast<float>(image.Offset.x),
                               pie.Y + pie.Height / 2 - static_cast<float>(image.Offset.y),
                               pie.Width,
                               button.ButtonKind() == ConfigFormat::KindSegment ? pie.Width / 2 : 0.0f,
                               pie.StartAngle,
                               pie.SweepAngle};
  for (const vantel::RegionRect& r : vantel::PieShapeRects(shape, 1.5f, image.Width, image.Height))
    for (long y = r.Top; y < r.Bottom; ++y)
      for (long x = r.Left; x < r.Right; ++x)
        mask[static_cast<size_t>(y) * static_cast<size_t>(image.Width) + static_cast<size_t>(x)] = true;
  return mask;
}

// Blends the button's last pushed image, inside its window's shape (or only within its pie's outline),
// onto the screen whose top-left is `origin`.
void Blend(Screen& screen, POINT origin, TCustomGDIButton& button, bool outlineOnly) {
  const TPushedImage& image = LastPushedImage(button);
  ASSERT_TRUE(image.Succeeded);
  const std::vector<bool> mask =
      outlineOnly ? OutlineMask(button, image) : ShapeMask(button.Handle(), image.Width, image.Height);
  const unsigned constant = image.ConstantAlpha;
  for (int y = 0; y < image.Height; ++y) {
    const int sy = image.Destination.y - origin.y + y;
    for (int x = 0; x < image.Width; ++x) {
      const int sx = image.Destination.x - origin.x + x;
      const size_t at = static_cast<size_t>(y) * static_cast<size_t>(image.Width) + static_cast<size_t>(x);
      const std::uint32_t p = image.Pixels[at];
      if (!p || !mask[at] || sx < 0 || sy < 0 || sx >= screen.width || sy >= screen.height) continue;
      std::uint32_t& d =
          screen
              .pixels[static_cast<size_t>(sy) * static_cast<size_t>(screen.width) + static_cast<size_t>(sx)];
      const unsigned alpha = (p >> 24) * constant / 255;
      std::uint32_t out = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        const unsigned s = ((p >> shift) & 0xFF) * constant / 255, under = (d >> shift) & 0xFF;
        out |= std::min(255u, s + under * (255 - alpha) / 255) << shift;
      }
      d = out;
    }
  }
}

Screen Shoot(TGDICustomButtonGroup& group, bool outlineOnly = false) {
  TCustomGDIButton& centre = *group.CentreButton();
  Screen screen{group.Width(), group.Height(), {}};
  screen.pixels.assign(static_cast<size_t>(screen.width) * static_cast<size_t>(screen.height), 0);
  const POINT origin{centre.Left(), centre.Top()};
  Blend(screen, origin, centre, outlineOnly);
  for (int i = 0; i < group.Items().Count(); ++i)
    Blend(screen, origin, *group.Items().Items(i)->Button(), outlineOnly);
  return screen;
}

CLSID PngEncoder() {
  UINT count = 0, size = 0;
  Gdiplus::GetImageEncodersSize(&count, &size);
  std::vector<std::uint8_t> bytes(size);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(bytes.data());
  Gdiplus::GetImageEncoders(count, size, codecs);
  for (UINT i = 0; i < count; ++i)
    if (std::wstring(codecs[i].MimeType) == L"image/png") return codecs[i].Clsid;
  return CLSID{};
}

bool Save(const Screen& screen, const std::wstring& path) {
  Gdiplus::Bitmap bitmap(screen.width, screen.height, PixelFormat32bppRGB);
  Gdiplus::Rect all(0, 0, screen.width, screen.height);
  Gdiplus::BitmapData data{};
  if (bitmap.LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppRGB, &data) != Gdiplus::Ok)
    return false;
  for (int y = 0; y < screen.height; ++y)
    std::memcpy(static_cast<BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                screen.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(screen.width),
                static_cast<size_t>(screen.width) * 4);
  bitmap.UnlockBits(&data);
  const CLSID png = PngEncoder();
  return bitmap.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

bool Load(const std::wstring& path, Screen& screen) {
  Gdiplus::Bitmap bitmap(path.c_str());
  if (bitmap.GetLastStatus() != Gdiplus::Ok) return false;
  screen.width = static_cast<int>(bitmap.GetWidth());
  screen.height = static_cast<int>(bitmap.GetHeight());
  Gdiplus::Rect all(0, 0, screen.width, screen.height);
  Gdiplus::BitmapData data{};
  if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB, &data) != Gdiplus::Ok)
    return false;
  screen.pixels.resize(static_cast<size_t>(screen.width) * static_cast<size_t>(screen.height));
  for (int y = 0; y < screen.height; ++y)
    for (int x = 0; x < screen.width; ++x)
      screen.pixels[static_cast<size_t>(y) * static_cast<size_t>(screen.width) + static_cast<size_t>(x)] =
          static_cast<const std::uint32_t*>(static_cast<const void*>(
              static_cast<const BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride))[x] &
          0x00FFFFFFu;
  bitmap.UnlockBits(&data);
  return true;
}

std::wstring DataFile(const std::wstring& name) {
  std::wstring folder = L"Z:" VANTEL_SCREEN_DATA;
  for (wchar_t& c : folder)
    if (c == L'/') c = L'\\';
  return folder + L"\\" + name;
}

void ExpectSameAsKept(const Screen& shot, const std::wstring& name) {
  const char* record = std::getenv("VANTEL_RECORD_SCREENS");
  if (record && *record == '1') {
    ASSERT_TRUE(Save(shot, DataFile(name)));
    return;
  }
  Screen kept;
  ASSERT_TRUE(Load(DataFile(name), kept)) << "no picture " << testing::PrintToString(name);
  ASSERT_EQ(shot.width, kept.width);
  ASSERT_EQ(shot.height, kept.height);
  int differing = 0;
  for (size_t i = 0; i < shot.pixels.size(); ++i) differing += (shot.pixels[i] & 0xFFFFFFu) != kept.pixels[i];
  if (differing) Save(shot, L"actual-" + name);  // beside the test, to look at
  EXPECT_EQ(differing, 0) << testing::PrintToString(name);
}

// Loads a ring as start-up does: drawing held while every segment joins with a file (of a few kinds, for
// a few icons), the centre's file too, then shown.
template <class MakeFile>
void LoadRing(Ring& ring, int segments, MakeFile file) {
  const wchar_t* kinds[] = {L".txt", L".bat", L".ini", L".html", L".xml"};
  {
    TDrawingHold hold(ring.Group());
    for (int i = 0; i < segments; ++i) {
      ring.Group().Items().AddItem();
      ring.Segment(i).SetFileName(file(L"file" + std::to_wstring(i) + kinds[i % 5]));
      ring.Segment(i).Repaint();
    }
    ring.Centre().SetFileName(file(L"centre.txt"));
  }
  ring.Group().ShowAll();
}

// The icon's rectangle (button pixels), a pixel wider for its smoothing.
RECT IconRect(const TDragGDIButton& button) {
  return RECT{static_cast<LONG>(std::floor(button.IconX())) - 1,
              static_cast<LONG>(std::floor(button.IconY())) - 1,
              static_cast<LONG>(std::ceil(button.IconX() + static_cast<float>(button.IconWidth()))) + 1,
              static_cast<LONG>(std::ceil(button.IconY() + static_cast<float>(button.IconHeight()))) + 1};
}

// The ring windows' shapes once took only their pies (and 1.5 px) and cut the icons' corners that reach
// past them; now the icons show whole. That is the only difference the screen may show.
void ExpectOnlyIconsUncovered(Ring& ring) {
  const Screen now = Shoot(ring.Group()), before = Shoot(ring.Group(), true);
  std::vector<RECT> icons{IconRect(ring.Centre())};
  for (int i = 0; i < ring.Count(); ++i) icons.push_back(IconRect(ring.Segment(i)));
  int elsewhere = 0, inIcons = 0;
  for (int y = 0; y < now.height; ++y)
    for (int x = 0; x < now.width; ++x) {
      const size_t at = static_cast<size_t>(y) * static_cast<size_t>(now.width) + static_cast<size_t>(x);
      if (now.pixels[at] == before.pixels[at]) continue;
      const POINT p{x, y};
      const bool inIcon =
          std::any_of(icons.begin(), icons.end(), [&](const RECT& r) { return PtInRect(&r, p) != FALSE; });
      ++(inIcon ? inIcons : elsewhere);
    }
  EXPECT_EQ(elsewhere, 0) << "pixels changed outside the icons (" << inIcons << " uncovered in them)";
}

class PieButtonScreenTest : public dragtest::DragButtonTestBase, public testing::WithParamInterface<int> {};

TEST_P(PieButtonScreenTest, TheRingShowsTheSamePixelsInNormalAndHoverColours) {
  const int segments = GetParam();
  Recorded().iconSize = 32;
  Ring ring(form_.get(), folder_, 0, false);
  LoadRing(ring, segments, [&](const std::wstring& name) { return File(name); });
  const std::wstring stem = L"ring-" + std::to_wstring(segments);
  ExpectSameAsKept(Shoot(ring.Group(), true), stem + L"-normal.png");
  ExpectOnlyIconsUncovered(ring);

  std::vector<TCustomGDIButton*> buttons{ring.Group().CentreButton()};
  for (int i = 0; i < segments; ++i) buttons.push_back(&ring.Segment(i));
  for (TCustomGDIButton* button : buttons) {
    button->Perform(CM_MOUSEENTER, 0, 0);
    button->Repaint();
  }
  ExpectSameAsKept(Shoot(ring.Group(), true), stem + L"-hover.png");
  ExpectOnlyIconsUncovered(ring);
  for (TCustomGDIButton* button : buttons) button->Perform(CM_MOUSELEAVE, 0, 0);
}

INSTANTIATE_TEST_SUITE_P(Segments, PieButtonScreenTest, testing::Values(4, 5, 24, 40));

// Every alpha > 0 pixel that a ring window was given: inside the window, which reaches at most a few
// pixels past them, and inside the window's region, where the pointer finds it.
void ExpectWindowHoldsItsInk(TDragGDIButton& button) {
  const TPushedImage& image = LastPushedImage(button);
  ASSERT_TRUE(buttontest::WindowIsItsImage(button.Handle(), image));
  const std::vector<bool> shape = ShapeMask(button.Handle(), image.Width, image.Height);
  RECT ink{image.Width, image.Height, -1, -1};
  int cut = 0;
  for (int y = 0; y < image.Height; ++y)
    for (int x = 0; x < image.Width; ++x) {
      const size_t at = static_cast<size_t>(y) * static_cast<size_t>(image.Width) + static_cast<size_t>(x);
      if (!(image.Pixels[at] >> 24)) continue;
      ink = RECT{std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y), std::max<LONG>(ink.right, x + 1),
                 std::max<LONG>(ink.bottom, y + 1)};
      cut += !shape[at];
    }
  EXPECT_EQ(cut, 0) << "drawn pixels outside the window's region";
  // What is drawn: the ink, and the icon's square even where the icon itself is transparent.
  if (button.FileInfo.hIcon) {
    RECT icon = IconRect(button);
    OffsetRect(&icon, -image.Offset.x, -image.Offset.y);
    UnionRect(&ink, &ink, &icon);
  }
  ASSERT_LT(ink.left, ink.right) << "nothing drawn";
  constexpr LONG kMargin = 3;
  EXPECT_LE(ink.left, kMargin);
  EXPECT_LE(ink.top, kMargin);
  EXPECT_GE(ink.right, image.Width - kMargin);
  EXPECT_GE(ink.bottom, image.Height - kMargin);
}

// Each segment's window at the desktop place of its slice: the button at the centre's place, its window
// at the button's place plus its box.
void ExpectLinedUp(Ring& ring) {
  const TCustomGDIButton& centre = ring.Centre();
  for (int i = 0; i < ring.Count(); ++i) {
    SCOPED_TRACE(i);
    TCustomGDIButton& segment = ring.Segment(i);
    EXPECT_EQ(segment.Left(), centre.Left());
    EXPECT_EQ(segment.Top(), centre.Top());
    EXPECT_EQ(segment.Width(), ring.Group().Width());
    RECT window{};
    GetWindowRect(segment.Handle(), &window);
    const RECT box = segment.WindowBox();
    EXPECT_EQ(window.left, centre.Left() + box.left);
    EXPECT_EQ(window.top, centre.Top() + box.top);
    EXPECT_EQ(window.right - window.left, box.right - box.left);
    EXPECT_EQ(window.bottom - window.top, box.bottom - box.top);
    EXPECT_LT(box.right - box.left, segment.Width()) << "a slice's window is smaller than the ring";
  }
}

struct InkCase {
  int segments, iconSize;
};

class PieButtonInkTest : public dragtest::DragButtonTestBase, public testing::WithParamInterface<InkCase> {};

TEST_P(PieButtonInkTest, EveryRingWindowHoldsWhatItDrawsAndTakesThePointerThere) {
  Recorded().iconSize = GetParam().iconSize;
  Ring ring(form_.get(), folder_, 0, false);
  LoadRing(ring, GetParam().segments, [&](const std::wstring& name) { return File(name); });
  ExpectWindowHoldsItsInk(ring.Centre());
  for (int i = 0; i < ring.Count(); ++i) {
    SCOPED_TRACE(i);
    ExpectWindowHoldsItsInk(ring.Segment(i));
  }
  ExpectLinedUp(ring);
}

INSTANTIATE_TEST_SUITE_P(RingsAndIcons, PieButtonInkTest,
                         testing::Values(InkCase{4, 32}, InkCase{4, 48}, InkCase{4, 64}, InkCase{5, 32},
                                         InkCase{5, 48}, InkCase{5, 64}, InkCase{24, 32}, InkCase{24, 48},
                                         InkCase{24, 64}, InkCase{40, 32}, InkCase{40, 48}, InkCase{40, 64}),
                         [](const testing::TestParamInfo<InkCase>& info) {
                           return std::to_string(info.param.segments) + "Segments" +
                                  std::to_string(info.param.iconSize) + "Px";
                         });

TEST_F(PieButtonInkTest, TheRingLinesUpWhenMovedByItsCentreGrownByADropAndShrunkByADelete) {
  Recorded().iconSize = 32;
  Ring ring(form_.get(), folder_, 0, false);
  LoadRing(ring, 5, [&](const std::wstring& name) { return File(name); });
  ring.MoveTo(40, 60);
  ExpectLinedUp(ring);
  // A left drop on a segment with a file adds one; its icon on the half-turn slice widens the ring.
  Recorded().leftHeld = true;
  ASSERT_EQ(dragtest::DropFiles(ring.Segment(0), {File(L"dropped.txt")}), S_OK);
  Recorded().leftHeld = false;
  ASSERT_EQ(ring.Count(), 6);
  const int widthBefore = ring.Group().Width();
  ring.Group().SetGrowFlag(true);
  ring.Group().Items().Delete(1);
  ASSERT_EQ(ring.Count(), 5);
  EXPECT_EQ(ring.Group().Width(), widthBefore + 40) << "grown at the delete";
  ExpectLinedUp(ring);
  for (int i = 0; i < ring.Count(); ++i) ExpectWindowHoldsItsInk(ring.Segment(i));
  ring.MoveTo(100, 80);
  ExpectLinedUp(ring);
}

}  // namespace
