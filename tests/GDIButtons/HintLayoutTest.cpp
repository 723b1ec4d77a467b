// Tests of the hint text's origin and of the box that holds it.
#include "GDIButtons/HintLayout.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vantel {
namespace {

TEST(HintLayout, OriginCentresHalfAnEmPerByteAboveTheRing) {
  struct Case {
    WindowBounds centre;
    std::size_t bytes;
    int fontSize;
    PointF origin;
  };
  const Case cases[] = {
      {{100, 300, 180, 180}, 3, 24, {172, 276}},      // "abc"
      {{100, 300, 180, 180}, 0, 24, {190, 276}},      // empty text: the ring's centre
      {{100, 300, 180, 180}, 1, 24, {184, 276}},      // each single-byte character: 6 px to the left
      {{100, 300, 180, 180}, 5, 24, {160, 276}},      // "abc" + one double-byte character: 12 px more
      {{100, 300, 181, 180}, 3, 24, {172.5f, 276}},   // odd width: true division
      {{100, 300, 180, 180}, 1, 25, {183.75f, 275}},  // odd product: true division
      {{-50, 10, 220, 220}, 2, 24, {48, -14}},        // a ring dragged to the top-left edge
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HintTextOrigin(c.centre, c.bytes, c.fontSize), c.origin)
        << c.bytes << " bytes at " << c.fontSize << " px";
  }
}

TEST(HintLayout, LongTextDoesNotOverflowTheEstimate) {
  // 2e8 bytes at 24 px: the product exceeds 32 bits.
  const PointF origin = HintTextOrigin({100, 300, 180, 180}, 200'000'000, kHintFontSize);
  EXPECT_FLOAT_EQ(origin.X, 190.0f - 1.2e9f);
}

TEST(HintLayout, BoundsHoldTheWholeTextAndItsPadding) {
  for (std::size_t bytes : {0U, 1U, 3U, 40U}) {
    for (PointF origin : {PointF{172, 276}, PointF{172.5f, 275.25f}, PointF{-30.5f, -14}}) {
      const WindowBounds box = HintTextBounds(origin, bytes, kHintFontSize);
      const double s = kHintFontSize;
      // At most an em per byte, a sixth of an em of padding each side, lines about 1.2 em high.
      EXPECT_LE(box.Left, origin.X - s / 6 - 1);
      EXPECT_LE(box.Top, origin.Y - 1);
      EXPECT_GE(box.Left + box.Width, origin.X + bytes * s + s / 6 + 1);
      EXPECT_GE(box.Top + box.Height, origin.Y + 1.2 * s + 1);
    }
  }
}

}  // namespace
}  // namespace vantel
