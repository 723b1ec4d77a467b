// What a ring shows on the screen, pixel for pixel: each window's last pushed image inside its region,
// blended over a black desktop, against pictures kept in tests/GDIButtons/data. VANTEL_RECORD_SCREENS=1
// writes the pictures instead (only ever from a build whose pictures are known to be right).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/GDIButtons/DragButtonTestSupport.h"

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

// Blends the button's last pushed image, inside its shape, onto the screen whose top-left is `origin`.
void Blend(Screen& screen, POINT origin, TCustomGDIButton& button) {
  const TPushedImage& image = button.LastPushedImage();
  ASSERT_TRUE(image.Succeeded);
  const std::vector<bool> mask = ShapeMask(button.Handle(), image.Width, image.Height);
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

Screen Shoot(TGDICustomButtonGroup& group) {
  TCustomGDIButton& centre = *group.CentreButton();
  Screen screen{group.Width(), group.Height(), {}};
  screen.pixels.assign(static_cast<size_t>(screen.width) * static_cast<size_t>(screen.height), 0);
  const POINT origin{centre.Left(), centre.Top()};
  Blend(screen, origin, centre);
  for (int i = 0; i < group.Items().Count(); ++i) Blend(screen, origin, *group.Items().Items(i)->Button());
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

class PieButtonScreenTest : public dragtest::DragButtonTestBase, public testing::WithParamInterface<int> {};

TEST_P(PieButtonScreenTest, TheRingShowsTheSamePixelsInNormalAndHoverColours) {
  const int segments = GetParam();
  Recorded().iconSize = 32;
  Ring ring(form_.get(), folder_, 0, false);
  LoadRing(ring, segments, [&](const std::wstring& name) { return File(name); });
  const std::wstring stem = L"ring-" + std::to_wstring(segments);
  ExpectSameAsKept(Shoot(ring.Group()), stem + L"-normal.png");

  std::vector<TCustomGDIButton*> buttons{ring.Group().CentreButton()};
  for (int i = 0; i < segments; ++i) buttons.push_back(&ring.Segment(i));
  for (TCustomGDIButton* button : buttons) {
    button->Perform(CM_MOUSEENTER, 0, 0);
    button->Repaint();
  }
  ExpectSameAsKept(Shoot(ring.Group()), stem + L"-hover.png");
  for (TCustomGDIButton* button : buttons) button->Perform(CM_MOUSELEAVE, 0, 0);
}

INSTANTIATE_TEST_SUITE_P(Segments, PieButtonScreenTest, testing::Values(4, 5, 24, 40));

}  // namespace
