// A ring under Wine in high contrast: the centre disc and the hint draw in the system's colours, and a
// switch of the mode or of the colours reaches the windows that are already up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "GDIButtons/ButtonGroup.h"
#include "GDIButtons/HintGDIButton.h"
#include "tests/GDIButtons/ButtonTestSupport.h"
#include "tests/support/TestSupport.h"
#include "xml/ConfigFormat.h"

namespace {

using buttontest::Split;

// What the system reports in this test. Wine answers SPI_GETHIGHCONTRAST always with the mode off and
// refuses SPI_SETHIGHCONTRAST, so the mode comes from here, as Windows reports it after a switch.
vantel::ContrastScheme reported;
vantel::ContrastScheme Reported() {
  return reported;
}

constexpr TARGB kStored = MakeColor(200, 100, 50);
constexpr TARGB kStoredHot = MakeColor(40, 80, 160);
const vantel::ContrastScheme kBlackScheme{true, MakeColor(0, 0, 0), MakeColor(255, 255, 255),
                                          MakeColor(26, 235, 255)};
const vantel::ContrastScheme kWhiteScheme{true, MakeColor(255, 255, 255), MakeColor(0, 0, 0),
                                          MakeColor(55, 0, 110)};

class ContrastWindowTest : public buttontest::WindowTestBase {
 protected:
  void SetUp() override {
    WindowTestBase::SetUp();
    reported = {};
  }
};

// How many pixels of the image are exactly this opaque colour, and whether any pixel is translucent.
int Count(const TPushedImage& image, TARGB color) {
  int n = 0;
  for (std::uint32_t pixel : image.Pixels) n += pixel == color;
  return n;
}
std::uint32_t PolarPixel(const TCustomGDIButton& button, double radius, double degrees) {
  return buttontest::PolarPixel(LastPushedImage(button), 90, 90, radius, degrees);
}
// Whether a pixel within a pixel of the ray's point at `radius` (give or take one) is mostly light: a thin
// line drawn without anti-aliasing may step past the ray's own pixels.
bool LightNear(const TCustomGDIButton& button, double radius, double degrees) {
  const double a = degrees * 3.14159265358979323846 / 180.0;
  for (double r = radius - 1; r <= radius + 1; r += 0.5) {
    const int x = static_cast<int>(std::floor(90 + r * std::cos(a))),
              y = static_cast<int>(std::floor(90 + r * std::sin(a)));
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx)
        if (Split(LastPushedImage(button).Pixel(x + dx, y + dy)).r > 128) return true;
    }
  }
  return false;
}
bool AnyTranslucent(const TPushedImage& image) {
  for (std::uint32_t pixel : image.Pixels)
    if (pixel != 0 && Split(pixel).a != 255) return true;
  return false;
}

TEST_F(ContrastWindowTest, RingDrawsInTheSystemColoursWhileHighContrastIsOnAndFollowsASwitch) {
  TGDIButtonClass buttons = [](TComponent* owner, const std::wstring&,
                               const TButtonInputs& inputs) -> std::unique_ptr<TCustomGDIButton> {
    return std::make_unique<buttontest::TTestButton>(owner, TButtonColors{kStored, kStoredHot}, inputs.Start,
                                                     RecordedPushes(&Reported));
  };
  TGDICustomButtonGroup group(form_.get(), buttons, std::wstring{},
                              HintGDIButtonClass(RecordedPushes(&Reported)));
  TCustomGDIButton& centre = *group.CentreButton();
  centre.SetBounds(100, 300, 180, 180);
  centre.PieRect()->Assign({0.0f, 360.0f, 10.0f, 10.0f, 160.0f, 160.0f});  // a disc of radius 80 at (90, 90)
  centre.SetButtonKind(ConfigFormat::KindCentre);
  auto& hint = dynamic_cast<THintGDIButton&>(*group.HintWindow());
  hint.ShowHintText(L"记事本");
  // A slice of a ring: the annulus from radius 40 to 80 around (90, 90), from 3 to 87 degrees.
  buttontest::TTestButton slice(form_.get(), TButtonColors{kStored, kStoredHot}, TButtonStart::Shown,
                                RecordedPushes(&Reported));
  slice.SetBounds(300, 300, 180, 180);
  slice.PieRect()->Assign({3.0f, 84.0f, 10.0f, 10.0f, 160.0f, 160.0f});
  slice.UpdateLayered();
  const HWND windows[] = {centre.Handle(), hint.Handle(), slice.Handle()};
  // What the system's broadcast hands every top-level window.
  const auto announce = [&](UINT msg, WPARAM wParam) {
    for (HWND window : windows) SendMessageW(window, msg, wParam, 0);
  };
  const auto disc = [&] { return LastPushedImage(centre).Pixel(90, 90); };  // its middle: no edge there

  reported = kBlackScheme;
  announce(WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return disc() == kBlackScheme.Window; }));
  EXPECT_EQ(LastPushedImage(centre).ConstantAlpha, 255);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return PolarPixel(slice, 60, 45) == kBlackScheme.Window; }));
  // A one-pixel outline in the window-text colour (white here) along the slice's edges, and nothing in its
  // hole or past its ends.
  for (double radius : {40.0, 80.0}) EXPECT_TRUE(LightNear(slice, radius, 45)) << radius;
  for (double angle : {3.0, 45.0, 87.0}) EXPECT_EQ(PolarPixel(slice, 20, angle), 0u) << angle;
  EXPECT_EQ(PolarPixel(slice, 60, 120), 0u);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return Count(LastPushedImage(hint), kBlackScheme.Window) > 0; }));
  EXPECT_EQ(LastPushedImage(hint).ConstantAlpha, 255);
  EXPECT_GT(Count(LastPushedImage(hint), kBlackScheme.WindowText), 10);  // the strokes' insides
  EXPECT_FALSE(AnyTranslucent(LastPushedImage(hint)));                   // text on an opaque box

  // Hovered or selected: the highlight.
  centre.Perform(CM_MOUSEENTER, 0, 0);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return disc() == kBlackScheme.Highlight; }));

  // Another high-contrast theme: the colours change, the mode stays.
  reported = kWhiteScheme;
  announce(WM_SYSCOLORCHANGE, 0);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return disc() == kWhiteScheme.Highlight; }));
  centre.Perform(CM_MOUSELEAVE, 0, 0);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return disc() == kWhiteScheme.Window; }));

  // Off again: the stored colour, translucent as ever, and the red name.
  reported = {};
  announce(WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST);
  const auto stored = [](int channel) { return static_cast<int>(std::lround(channel * 210 / 255.0)); };
  ASSERT_TRUE(testsupport::PumpUntil([&] { return Split(disc()).a == 210; }));
  EXPECT_NEAR(Split(disc()).r, stored(200), 1);
  EXPECT_NEAR(Split(disc()).g, stored(100), 1);
  EXPECT_NEAR(Split(disc()).b, stored(50), 1);
  EXPECT_EQ(LastPushedImage(centre).ConstantAlpha, 150);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return Split(PolarPixel(slice, 60, 45)).a == 210; }));
  ASSERT_TRUE(testsupport::PumpUntil([&] { return LastPushedImage(hint).ConstantAlpha == 150; }));
  EXPECT_EQ(Count(LastPushedImage(hint), kWhiteScheme.Window), 0);
  EXPECT_GT(Count(LastPushedImage(hint), MakeColor(255, 0, 0)), 10);

  // The same windows all along, and the stored colours untouched.
  EXPECT_EQ(centre.Handle(), windows[0]);
  EXPECT_EQ(hint.Handle(), windows[1]);
  EXPECT_EQ(centre.DefaultColor, kStored);
  EXPECT_EQ(centre.HotColor, kStoredHot);
}

}  // namespace
