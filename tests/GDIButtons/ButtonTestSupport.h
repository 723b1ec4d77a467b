// Shared helpers of the button window tests: a test button class, pixel sampling and a scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "GDIButtons/CustomGDIButton.h"
#include "framework/Forms.h"
#include "tests/GDIButtons/ButtonTestAccess.h"
#include "tests/support/ScratchFolder.h"

namespace buttontest {

// The button class of the tests until the XML-bound class exists: the pie button plus a recorded overlay.
class TTestButton : public TCustomGDIButton {
 public:
  explicit TTestButton(TComponent* owner, const TButtonColors& colors = {},
                       TButtonStart start = TButtonStart::Shown,
                       const TButtonSystem& system = RecordedPushes())
      : TCustomGDIButton(owner, colors, start, system) {}

  int overlays = 0;
  std::function<void(TTestButton&, TLayeredSurface&)> overlay;

  void DrawOverlay(TLayeredSurface& surface) override {
    ++overlays;
    if (overlay) overlay(*this, surface);
  }
  using TCustomGDIButton::PushSurface;
};

struct Argb {
  int a = 0, r = 0, g = 0, b = 0;
};

inline Argb Split(std::uint32_t pixel) {
  return Argb{static_cast<int>(pixel >> 24), static_cast<int>((pixel >> 16) & 0xFF),
              static_cast<int>((pixel >> 8) & 0xFF), static_cast<int>(pixel & 0xFF)};
}

// The pushed pixel at `radius` from (cx, cy) along `degrees`, clockwise on screen from the x axis.
inline std::uint32_t PolarPixel(const TPushedImage& image, double cx, double cy, double radius,
                                double degrees) {
  const double a = degrees * 3.14159265358979323846 / 180.0;
  return image.Pixel(static_cast<int>(std::floor(cx + radius * std::cos(a))),
                     static_cast<int>(std::floor(cy + radius * std::sin(a))));
}

inline bool AllTransparent(const TPushedImage& image) {
  for (std::uint32_t p : image.Pixels)
    if (p != 0) return false;
  return true;
}

// Whether `window` stands exactly where `image` was pushed and is just as large.
inline testing::AssertionResult WindowIsItsImage(HWND window, const TPushedImage& image) {
  RECT r{};
  GetWindowRect(window, &r);
  if (r.left == image.Destination.x && r.top == image.Destination.y && r.right - r.left == image.Width &&
      r.bottom - r.top == image.Height)
    return testing::AssertionSuccess();
  return testing::AssertionFailure() << "window at " << r.left << "," << r.top << " " << r.right - r.left
                                     << "x" << r.bottom - r.top << "; image pushed at " << image.Destination.x
                                     << "," << image.Destination.y << " " << image.Width << "x"
                                     << image.Height;
}

using ScratchFolder = testsupport::ScratchFolder;

// A configuration file whose root carries these attributes (text as it stands in the file).
inline std::string ConfigWithRootAttributes(const std::string& attributes) {
  return "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<Config" + attributes + "></Config>\r\n";
}

// Every window test starts with images kept and no recorded errors.
class WindowTestBase : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override { TCustomGDIButtonTestAccess::SetKeepPushedImages(false); }
  std::unique_ptr<TForm> form_;
};

}  // namespace buttontest
