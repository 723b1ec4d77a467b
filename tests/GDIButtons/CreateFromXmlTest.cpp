// The XML constructor: colours read from the configuration file before the button is built.
#include <gtest/gtest.h>

#include <string>

#include "GDIButtons/GDIButtonClass.h"
#include "tests/GDIButtons/ButtonTestSupport.h"

namespace {

using buttontest::TTestButton;

class CreateFromXmlTest : public buttontest::WindowTestBase {};

TEST_F(CreateFromXmlTest, ReadsLow32BitsOfBothColours) {
  struct Case {
    const char* attributes;
    TARGB defaultColor, hotColor;
  };
  const Case cases[] = {
      {R"( HotColor="-65536" DefaultColor="-16776961")", 0xFF0000FFu, 0xFFFF0000u},       // signed form
      {R"( DefaultColor="4278190335" HotColor="4294901760")", 0xFF0000FFu, 0xFFFF0000u},  // unsigned form
      {R"( DefaultColor="8589934847")", 0x000000FFu, 0},                                  // beyond 32 bits
      {R"( HotColor="-1")", 0, 0xFFFFFFFFu},                                              // no DefaultColor
      {R"( DefaultColor="blue" HotColor="")", 0, 0},                                      // not numbers
      {"", 0, 0},
  };
  buttontest::ScratchFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attributes);
    const std::wstring file =
        folder.Write(L"SystemConfig.xml", buttontest::ConfigWithRootAttributes(c.attributes));
    auto button = CreateFromXml<TTestButton>(form_.get(), file);
    EXPECT_EQ(button->DefaultColor, c.defaultColor);
    EXPECT_EQ(button->HotColor, c.hotColor);
    // The normal colour is in place for the first render already.
    EXPECT_EQ(button->CurrentColor(),
              MakeColor(GetRed(c.defaultColor), GetGreen(c.defaultColor), GetBlue(c.defaultColor)));
  }
}

TEST_F(CreateFromXmlTest, MissingFileOrColourRendersBlack) {
  buttontest::ScratchFolder folder;
  auto button = CreateFromXml<TTestButton>(form_.get(), folder.File(L"missing.xml"));
  EXPECT_EQ(button->DefaultColor, 0u);
  EXPECT_EQ(button->HotColor, 0u);
  button->SetBounds(100, 100, 180, 180);
  button->PieRect()->Assign({3.0f, 84.0f, 10.0f, 10.0f, 160.0f, 160.0f});
  button->UpdateLayered();
  EXPECT_EQ(buttontest::PolarPixel(LastPushedImage(*button), 90, 90, 60, 45), 0xD2000000u);  // black at 210
}

TEST_F(CreateFromXmlTest, UnparseableFileThrowsAndBuildsNothing) {
  buttontest::ScratchFolder folder;
  const std::wstring file =
      folder.Write(L"SystemConfig.xml", "<?xml version=\"1.0\"?>\r\n<Config DefaultColor=\"1\"");
  EXPECT_ANY_THROW(CreateFromXml<TTestButton>(form_.get(), file));
}

}  // namespace
