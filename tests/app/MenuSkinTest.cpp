// The menu skin: switched off and on, the sizes it gives menu items, and what it draws.
#include "app/MenuSkin.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "framework/Handles.h"
#include "framework/Menus.h"

namespace {

TEST(MenuSkin, SwitchesThePaintingOfEveryPopupMenu) {
  SetMenuPainter(nullptr);
  {
    TMenuSkin skin(nullptr);
    EXPECT_FALSE(skin.Active());
    EXPECT_EQ(MenuPainter(), nullptr);
    skin.SetActive(true);
    EXPECT_NE(MenuPainter(), nullptr);
    skin.SetActive(false);
    EXPECT_EQ(MenuPainter(), nullptr);
    skin.SetActive(true);

    // Another skin switched off leaves the active one painting.
    TMenuSkin other(nullptr);
    other.SetActive(false);
    EXPECT_NE(MenuPainter(), nullptr);
  }
  EXPECT_EQ(MenuPainter(), nullptr);  // a skin that goes stops painting
}

TEST(MenuSkin, FontIsSongTiAtTwelvePixels) {
  TMenuSkin skin(nullptr);
  for (bool bold : {false, true}) {
    LOGFONTW font{};
    ASSERT_TRUE(GetObjectW(skin.ItemFont(bold), sizeof(font), &font));
    EXPECT_STREQ(font.lfFaceName, L"宋体");
    EXPECT_EQ(font.lfHeight, -12);
    EXPECT_EQ(font.lfWeight, bold ? FW_BOLD : FW_NORMAL);
  }
}

TEST(MenuSkin, ItemsLeaveRoomForTheIconColumn) {
  TMenuSkin skin(nullptr);
  TMenuItem shortItem(nullptr), longItem(nullptr), line(nullptr);
  shortItem.Caption = L"使用说明";
  longItem.Caption = L"使用说明使用说明使用说明";
  line.Caption = L"-";
  MEASUREITEMSTRUCT a{}, b{}, c{};
  skin.MeasureItem(shortItem, a);
  skin.MeasureItem(longItem, b);
  skin.MeasureItem(line, c);
  EXPECT_GT(a.itemWidth, 24u + 4 * 6);  // column plus four characters of at least 6 px
  EXPECT_GT(b.itemWidth, a.itemWidth);
  EXPECT_GE(a.itemHeight, 12u);
  EXPECT_LT(c.itemHeight, a.itemHeight);  // a separator is a thin row
}

// Draws one item into a 32-bit bitmap and reads pixels back.
class SkinCanvas {
 public:
  SkinCanvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc_.reset(CreateCompatibleDC(nullptr));
    bitmap_.reset(
        CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0));
    old_ = SelectObject(dc_.get(), bitmap_.get());
  }
  ~SkinCanvas() { SelectObject(dc_.get(), old_); }
  void Draw(TMenuSkin& skin, TMenuItem& item, UINT state) {
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.itemState = state;
    draw.hDC = dc_.get();
    draw.rcItem = RECT{0, 0, width_, height_};
    skin.DrawItem(item, draw);
    GdiFlush();
  }
  COLORREF At(int x, int y) const {
    const std::uint32_t p = bits_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

 private:
  int width_, height_;
  MemoryDC dc_;
  GdiObject<HBITMAP> bitmap_;
  HGDIOBJ old_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

bool Near(COLORREF a, COLORREF b, int tolerance = 12) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
         std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

TEST(MenuSkin, DrawsASkyBlueGradientColumnAndASkyBlueSelection) {
  TMenuSkin skin(nullptr);
  TMenuItem item(nullptr);
  item.Caption = L"显示系统设置";
  SkinCanvas canvas(160, 22);

  canvas.Draw(skin, item, 0);
  EXPECT_TRUE(Near(canvas.At(0, 11), RGB(255, 255, 255)));  // white on the left of the column
  EXPECT_TRUE(Near(canvas.At(23, 11), clSkyBlue, 16));      // sky blue at its right edge
  EXPECT_EQ(canvas.At(150, 2), RGB(255, 255, 255));         // a plain white row beside it
  bool hasText = false;                                     // dark pixels of the caption
  for (int x = 32; x < 150 && !hasText; ++x)
    for (int y = 0; y < 22 && !hasText; ++y)
      hasText = canvas.At(x, y) == RGB(0, 0, 0) || GetRValue(canvas.At(x, y)) < 90;
  EXPECT_TRUE(hasText);

  canvas.Draw(skin, item, ODS_SELECTED);
  const COLORREF top = canvas.At(150, 1), bottom = canvas.At(150, 20);
  EXPECT_NE(top, RGB(255, 255, 255));
  EXPECT_TRUE(Near(bottom, clSkyBlue, 16));
  EXPECT_GT(GetRValue(top), GetRValue(bottom));  // lighter above: a vertical gradient

  // A disabled item is not highlighted.
  canvas.Draw(skin, item, ODS_SELECTED | ODS_GRAYED);
  EXPECT_EQ(canvas.At(150, 1), RGB(255, 255, 255));
}

TEST(MenuSkin, SeparatorIsALineAcrossTheRow) {
  TMenuSkin skin(nullptr);
  TMenuItem line(nullptr);
  line.Caption = L"-";
  SkinCanvas canvas(100, 7);
  canvas.Draw(skin, line, 0);
  EXPECT_NE(canvas.At(60, 3), RGB(255, 255, 255));
  EXPECT_EQ(canvas.At(60, 0), RGB(255, 255, 255));
}

TEST(MenuSkin, ColourChangeTakesEffect) {
  TMenuSkin skin(nullptr);
  skin.Color = RGB(255, 0, 0);
  TMenuItem item(nullptr);
  item.Caption = L"x";
  SkinCanvas canvas(60, 20);
  canvas.Draw(skin, item, 0);
  EXPECT_TRUE(Near(canvas.At(23, 10), RGB(255, 0, 0), 16));
}
}  // namespace
