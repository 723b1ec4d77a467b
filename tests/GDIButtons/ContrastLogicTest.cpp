// Tests of the ring's colours in and out of high contrast.
#include "GDIButtons/ContrastLogic.h"

#include <gtest/gtest.h>

namespace vantel {
namespace {

TEST(ContrastLogic, HighContrastDrawsInTheSystemColoursAndLeavesTheStoredOnesOut) {
  // Window colour without its alpha byte, as a colour reference turned to ARGB may come.
  const ContrastScheme on{true, 0x00101010, MakeColor(250, 250, 0), MakeColor(0, 120, 215)};
  const ContrastScheme off{false, on.Window, on.WindowText, on.Highlight};
  const TARGB orange = MakeColor(0, 200, 100, 50);  // a stored colour's alpha byte is not used
  struct Case {
    const char* what;
    ContrastScheme scheme;
    bool hot;
    PieLook look;
  };
  const Case cases[] = {
      {"normal", off, false, {MakeColor(210, 200, 100, 50), false, 0, 150}},
      {"hovered or selected: the stored hot colour is current",
       off,
       true,
       {MakeColor(210, 200, 100, 50), false, 0, 150}},
      {"normal in high contrast", on, false, {0xFF101010, true, MakeColor(250, 250, 0), 255}},
      {"hovered or selected in high contrast",
       on,
       true,
       {MakeColor(0, 120, 215), true, MakeColor(250, 250, 0), 255}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(PieLookFor(c.scheme, c.hot, orange), c.look);
    // A push with the file's icon is as opaque as the shape's own.
    EXPECT_EQ(PushAlphaFor(c.scheme, 210), c.scheme.HighContrast ? 255 : 210);
  }
  EXPECT_EQ(HintLookFor(off), (HintLook{MakeColor(255, 0, 0), false, 0, 150}));
  EXPECT_EQ(HintLookFor(on), (HintLook{MakeColor(250, 250, 0), true, 0xFF101010, 255}));
}

}  // namespace
}  // namespace vantel
