// The program at 96, 144 and 192 dpi: in a Wine prefix of its own (the other tests' prefix keeps its
// DPI), each test sets LogPixels, starts the program and measures its windows and the hint's ink.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "tests/e2e/ProgramTest.h"

namespace e2e {
namespace {

void SetLogPixels(DWORD dpi) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi)),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

class DpiScalingTest : public ProgramTest, public testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    SetProcessDPIAware();  // this process measures in real pixels whatever DPI it started at
    SetLogPixels(static_cast<DWORD>(GetParam()));
    SetRingDpi(GetParam());
    ProgramTest::SetUp();
  }
  void TearDown() override {
    ProgramTest::TearDown();
    SetLogPixels(96);
    SetRingDpi(96);
  }
  int Scaled(int px96) const { return MulDiv(px96, GetParam(), 96); }
};

TEST_P(DpiScalingTest, RingHintAndSettingsTakeTheScaledSizes) {
  const std::filesystem::path marker = PlaceMarker(L"Marker.exe");
  WriteBytes(folder_.Config(), ConfigBytes(kGreen, kBlue, FourSegmentRecords(ConfigPath(marker))));
  const std::string stored = ReadBytes(folder_.Config());
  Start();
  const RECT ring = WaitForRing(5);
  EXPECT_EQ(ring.right - ring.left, Scaled(180)) << Describe(ring);

  // The name's ink: its top about one (scaled) font size above the ring, as tall as that font's letters.
  const int font = Scaled(24);
  const RECT band{ring.left - Scaled(150), ring.top - 3 * font, ring.right + Scaled(150), ring.top};
  const POINT on = SegmentPoint(ring, 0, 4);
  pointer::MoveTo(on.x, on.y);
  Screenshot shot;
  ASSERT_TRUE(WaitFor(
      [&] {
        shot = Screenshot::Take();
        return shot.Count(band, Reddish) > 20;
      },
      5000, 200))
      << "no name above the ring";
  int inkTop = band.bottom, inkBottom = band.top;
  for (int y = band.top; y < band.bottom; ++y) {
    if (shot.Count(RECT{band.left, y, band.right, y + 1}, Reddish) == 0) continue;
    inkTop = std::min(inkTop, y);
    inkBottom = std::max(inkBottom, y + 1);
  }
  EXPECT_GE(inkTop, ring.top - font - font / 4) << "ink " << inkTop << ".." << inkBottom;
  EXPECT_LE(inkTop, ring.top - font / 2) << "ink " << inkTop << ".." << inkBottom;
  EXPECT_GE(inkBottom - inkTop, font / 2) << "ink " << inkTop << ".." << inkBottom;
  const POINT park = Park();
  pointer::MoveTo(park.x, park.y);

  HWND settings = OpenSettings();
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(e2e::Describe(settings).Width(), Scaled(516));
  EXPECT_EQ(e2e::Describe(settings).Height(), Scaled(368));
  EXPECT_EQ(ReadBytes(folder_.Config()), stored) << "nothing about the DPI is stored";
}

// The ring at 192 dpi, brought down to half its size, is the ring at 96 dpi but for the edges' smoothing.
class DpiScreenshotTest : public ProgramTest {
 protected:
  void SetUp() override {
    SetProcessDPIAware();
    ProgramTest::SetUp();
  }
  void TearDown() override {
    ProgramTest::TearDown();
    SetLogPixels(96);
  }
};

TEST_F(DpiScreenshotTest, RingAt192LooksLikeTheRingAt96ScaledByTwo) {
  WriteBytes(folder_.Config(), ConfigBytes(kGreen, kBlue, FourSegmentRecords()));
  Screenshot shots[2];
  RECT rings[2]{};
  for (int i = 0; i < 2; ++i) {
    SetLogPixels(i == 0 ? 96 : 192);
    SetRingDpi(i == 0 ? 96 : 192);
    Start();
    rings[i] = WaitForRing(5);
    const POINT probe = AnglePoint(rings[i], 75, 0.6);
    // Drawn (the probe is blue) and settled: the ring's square the same in two shots in a row, so that no
    // window's picture is still on its way to the screen.
    auto same = [&](const Screenshot& a, const Screenshot& b) {
      for (LONG y = rings[i].top; y < rings[i].bottom; ++y) {
        for (LONG x = rings[i].left; x < rings[i].right; ++x) {
          const Screenshot::Rgb p = a.At(x, y), q = b.At(x, y);
          if (p.r != q.r || p.g != q.g || p.b != q.b) return false;
        }
      }
      return true;
    };
    Screenshot previous;
    ASSERT_TRUE(WaitFor(
        [&] {
          shots[i] = Screenshot::Take();
          const Screenshot::Rgb c = shots[i].At(probe.x, probe.y);
          const bool settled =
              c.b > c.g + 40 && c.b > c.r + 40 && previous.Valid() && same(shots[i], previous);
          previous = shots[i];
          return settled;
        },
        10000, 200))
        << "ring not drawn at " << (i == 0 ? 96 : 192) << " dpi";
    program_->Kill();
    program_.reset();
  }
  ASSERT_EQ(rings[1].right - rings[1].left, 2 * (rings[0].right - rings[0].left));
  const int side = rings[0].right - rings[0].left;
  int differing = 0;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const Screenshot::Rgb a = shots[0].At(rings[0].left + x, rings[0].top + y);
      int r = 0, g = 0, b = 0;
      for (int j = 0; j < 4; ++j) {
        const Screenshot::Rgb c = shots[1].At(rings[1].left + 2 * x + j % 2, rings[1].top + 2 * y + j / 2);
        r += c.r;
        g += c.g;
        b += c.b;
      }
      const int diff = std::max({std::abs(a.r - r / 4), std::abs(a.g - g / 4), std::abs(a.b - b / 4)});
      if (diff > 40) ++differing;
    }
  }
  // Measured: about 600 of 32400 (the slices' and the disc's edges).
  EXPECT_LT(differing, side * side / 25) << differing << " of " << side * side << " pixels differ";
}

INSTANTIATE_TEST_SUITE_P(Dpi, DpiScalingTest, testing::Values(96, 144, 192),
                         [](const testing::TestParamInfo<int>& info) { return std::to_string(info.param); });

}  // namespace
}  // namespace e2e
