// The hint window under Wine: where the text lands, what it looks like, and that the small window shows the
// same pixels as an image of the whole desktop would.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "GDIButtons/ButtonGroup.h"
#include "GDIButtons/HintGDIButton.h"
#include "tests/GDIButtons/ButtonTestSupport.h"
#include "tests/support/TestSupport.h"
#include "xml/ConfigFormat.h"

namespace {

using buttontest::Split;

// The render every hint window would do without its text-sized window: a desktop-sized image, pushed whole.
class TDesktopImageHint : public THintGDIButton {
 public:
  using THintGDIButton::THintGDIButton;
  void UpdateLayered() override { TCustomGDIButton::UpdateLayered(); }
};

// A hint whose text box is measured far too small, as for a face much wider or taller than its measure.
class TUndermeasuredHint : public THintGDIButton {
 public:
  using THintGDIButton::THintGDIButton;

 protected:
  RECT TextCover() const override {
    const RECT full = THintGDIButton::TextCover();
    if (IsRectEmpty(&full)) return full;
    const vantel::PointF origin = TextOrigin();
    const LONG x = static_cast<LONG>(origin.X) + 20, y = static_cast<LONG>(origin.Y) + 10;
    return RECT{x, y, x + 6, y + 6};
  }
};

// What a pushed image puts on the screen at (x, y): 0 outside the window.
std::uint32_t ScreenPixel(const TPushedImage& image, int x, int y) {
  return image.Pixel(x - image.Destination.x, y - image.Destination.y);
}

// The screen rectangle of the pixels with any alpha; empty when there are none.
RECT InkBox(const TPushedImage& image) {
  RECT box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int y = 0; y < image.Height; ++y) {
    for (int x = 0; x < image.Width; ++x) {
      if (image.Pixel(x, y) == 0) continue;
      box.left = std::min<LONG>(box.left, image.Destination.x + x);
      box.top = std::min<LONG>(box.top, image.Destination.y + y);
      box.right = std::max<LONG>(box.right, image.Destination.x + x + 1);
      box.bottom = std::max<LONG>(box.bottom, image.Destination.y + y + 1);
    }
  }
  return box.left == INT_MAX ? RECT{} : box;
}

template <class Hint = THintGDIButton>
struct Ring {
  std::unique_ptr<TGDICustomButtonGroup> group;
  Hint* hint = nullptr;
};

class HintWindowTest : public buttontest::WindowTestBase {
 protected:
  // A ring whose centre window is at (left, top), 180 px square, and its hint window.
  template <class Hint = THintGDIButton>
  Ring<Hint> MakeRing(int left = 100, int top = 300) {
    TGDIButtonClass buttons = [](TComponent* owner, const std::wstring&,
                                 const TButtonInputs& inputs) -> std::unique_ptr<TCustomGDIButton> {
      return std::make_unique<buttontest::TTestButton>(owner, TButtonColors{}, inputs.Start);
    };
    Ring<Hint> ring;
    THintWindowClass hints = HintWindowClass<Hint>(RecordedPushes());
    ring.group = std::make_unique<TGDICustomButtonGroup>(form_.get(), buttons, std::wstring{}, hints);
    ring.group->CentreButton()->SetBounds(left, top, 180, 180);
    ring.hint = dynamic_cast<Hint*>(ring.group->HintWindow());
    return ring;
  }

  static int DesktopWidth() { return GetSystemMetrics(SM_CXVIRTUALSCREEN); }
  static int DesktopHeight() { return GetSystemMetrics(SM_CYVIRTUALSCREEN); }

  // The pushed image of the hint after a render of `text`.
  static const TPushedImage& Render(THintGDIButton& hint, const std::wstring& text) {
    hint.HintText = text;
    hint.UpdateLayered();
    return LastPushedImage(hint);
  }

  // Every screen pixel the desktop-sized render shows, the hint's own window shows too, and nothing else.
  void ExpectSameScreen(const TPushedImage& desktop, const TPushedImage& small, const std::wstring& what) {
    SCOPED_TRACE(testing::Message() << "text \"" << testing::PrintToString(what) << "\"");
    ASSERT_EQ(desktop.Width, DesktopWidth());
    ASSERT_EQ(desktop.Height, DesktopHeight());
    EXPECT_EQ(small.ConstantAlpha, desktop.ConstantAlpha);
    int mismatches = 0;
    for (int y = 0; y < desktop.Height && mismatches < 5; ++y) {
      for (int x = 0; x < desktop.Width && mismatches < 5; ++x) {
        const std::uint32_t expected = ScreenPixel(desktop, x, y);
        const std::uint32_t actual = ScreenPixel(small, x, y);
        if (expected != actual) {
          ++mismatches;
          ADD_FAILURE() << "at (" << x << ", " << y << "): " << std::hex << actual << " instead of "
                        << expected;
        }
      }
    }
    // The small window lies within the desktop, so nothing of it shows where the desktop image has no pixel.
    EXPECT_GE(small.Destination.x, 0);
    EXPECT_GE(small.Destination.y, 0);
    EXPECT_LE(small.Destination.x + small.Width, DesktopWidth());
    EXPECT_LE(small.Destination.y + small.Height, DesktopHeight());
  }
};

TEST_F(HintWindowTest, GroupSetsUpTheFrameAndTheFirstRenderIsEmpty) {
  Ring ring = MakeRing();
  ASSERT_NE(ring.hint, nullptr);
  THintGDIButton& hint = *ring.hint;
  EXPECT_EQ(hint.FontSize(), 24);
  EXPECT_EQ(hint.ButtonKind(), ConfigFormat::KindSegment);
  EXPECT_EQ(hint.GroupItems(), &ring.group->Items());
  EXPECT_EQ(hint.PaintCount(), 1);  // the constructor's render
  EXPECT_TRUE(buttontest::AllTransparent(LastPushedImage(hint)));

  // The frame is the virtual desktop, and renders keep it so.
  const auto expectDesktopFrame = [&] {
    EXPECT_EQ(hint.Left(), 0);
    EXPECT_EQ(hint.Top(), 0);
    EXPECT_EQ(hint.Width(), DesktopWidth());
    EXPECT_EQ(hint.Height(), DesktopHeight());
  };
  expectDesktopFrame();
  // Setting the frame does not stretch the window across the desktop (nothing is drawn yet).
  RECT idle{};
  GetWindowRect(hint.Handle(), &idle);
  EXPECT_LE(idle.right - idle.left, 1);
  EXPECT_LE(idle.bottom - idle.top, 1);
  const TPushedImage& image = Render(hint, L"abc");
  EXPECT_EQ(hint.PaintCount(), 2);
  EXPECT_FALSE(buttontest::AllTransparent(image));
  expectDesktopFrame();

  // The window itself is where its image was pushed, and only that large.
  EXPECT_TRUE(buttontest::WindowIsItsImage(hint.Handle(), image));
  EXPECT_LT(image.Width, 400);
  EXPECT_LT(image.Height, 100);
}

TEST_F(HintWindowTest, TextOriginIsHalfAnEmPerByteLeftOfTheRingCentreAndOneEmAbove) {
  Ring ring = MakeRing(100, 300);
  THintGDIButton& hint = *ring.hint;
  struct Case {
    std::wstring text;
    std::size_t bytes;
    float x;
  };
  const Case cases[] = {
      {L"abc", 3, 172},        {L"abcd", 4, 166},          {L"abc中", 5, 160},  // 中: two bytes, 12 px
      {L"中文", 4, 166},       {L"\u00e9t\u00e9", 5, 160},                      // é is two bytes in GB18030
      {L"\U0001F600", 4, 166},                                                  // four bytes outside the BMP
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    hint.HintText = c.text;
    EXPECT_EQ(hint.HintTextBytes(), c.bytes);
    EXPECT_EQ(hint.TextOrigin(), (vantel::PointF{c.x, 276}));
  }
}

TEST_F(HintWindowTest, AbcIsDrawnAtTheOriginAsGdiPlusDrawsIt) {
  Ring ring = MakeRing(100, 300);
  const TPushedImage& image = Render(*ring.hint, L"abc");

  // The same string drawn straight with GDI+ at (172, 276) on a desktop-sized image.
  TLayeredSurface reference(DesktopWidth(), DesktopHeight());
  {
    std::unique_ptr<Gdiplus::Graphics> graphics = reference.CreateGraphics();
    ASSERT_NE(graphics, nullptr);
    Gdiplus::FontFamily family(THintGDIButton::ResolveFontFace(L"Times New Roman").c_str());
    Gdiplus::Font font(&family, 24.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    Gdiplus::SolidBrush red{Gdiplus::Color(255, 255, 0, 0)};
    graphics->DrawString(L"abc", -1, &font, Gdiplus::RectF(172.0f, 276.0f, 0.0f, 0.0f), nullptr, &red);
  }
  reference.Flush();
  int ink = 0;
  for (int y = 240; y < 330; ++y) {
    for (int x = 140; x < 260; ++x) {
      ASSERT_EQ(ScreenPixel(image, x, y), reference.Pixel(x, y)) << "at (" << x << ", " << y << ")";
      ink += reference.Pixel(x, y) != 0;
    }
  }
  EXPECT_GT(ink, 50);
  // Nothing of "abc" lies left of or above its origin.
  const RECT box = InkBox(image);
  EXPECT_GE(box.left, 172);
  EXPECT_GE(box.top, 276);
  EXPECT_LT(box.left, 172 + 12);
  EXPECT_LT(box.bottom, 276 + 2 * 24);
}

TEST_F(HintWindowTest, EachByteMovesTheTextHalfAnEmLeft) {
  Ring ring = MakeRing(100, 300);
  const RECT abc = InkBox(Render(*ring.hint, L"abc"));
  struct Case {
    std::wstring text;
    int shift;
  };
  // The same first glyph, later characters only move the origin.
  for (const Case& c : {Case{L"abcd", 6}, Case{L"abc中", 12}, Case{L"abc中文", 24}, Case{L"abc\u00e9", 12}}) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    const RECT box = InkBox(Render(*ring.hint, c.text));
    EXPECT_EQ(box.left, abc.left - c.shift);
  }
}

TEST_F(HintWindowTest, TextIsOpaqueRedPushedAt150) {
  Ring ring = MakeRing();
  for (const std::wstring& text : {std::wstring(L"notepad"), std::wstring(L"记事本")}) {
    SCOPED_TRACE(testing::PrintToString(text));
    const TPushedImage& image = Render(*ring.hint, text);
    EXPECT_TRUE(image.Succeeded);
    EXPECT_EQ(image.ConstantAlpha, 150);
    int solid = 0, ink = 0;
    for (std::uint32_t pixel : image.Pixels) {
      if (pixel == 0) continue;
      ++ink;
      const buttontest::Argb p = Split(pixel);
      // Premultiplied pure red: red equals alpha, no green, no blue.
      EXPECT_EQ(p.r, p.a);
      EXPECT_EQ(p.g, 0);
      EXPECT_EQ(p.b, 0);
      solid += p.a == 255;
    }
    EXPECT_GT(ink, 30);
    EXPECT_GT(solid, 10);  // the strokes' insides are fully opaque
  }
}

TEST_F(HintWindowTest, NothingIsDrawnForAnEmptyTextOrAnotherKind) {
  Ring ring = MakeRing();
  THintGDIButton& hint = *ring.hint;
  Render(hint, L"abc");
  // Each case follows a drawn text: the old text must go too.
  for (const std::wstring& text : {std::wstring(), std::wstring(L"\0abc", 4)}) {
    const TPushedImage& image = Render(hint, text);
    EXPECT_TRUE(buttontest::AllTransparent(image));
    EXPECT_LE(image.Width * image.Height, 1);
    EXPECT_TRUE(IsRectEmpty(&hint.TextBox()));
    Render(hint, L"abc");
  }
  hint.SetButtonKind(ConfigFormat::KindCentre);
  EXPECT_TRUE(buttontest::AllTransparent(Render(hint, L"abc")));
  hint.SetButtonKind(7);
  EXPECT_TRUE(buttontest::AllTransparent(Render(hint, L"abc")));
}

TEST_F(HintWindowTest, ARingWithoutCentreDrawsNothing) {
  THintGDIButton hint(form_.get(), {}, TButtonStart::Shown, RecordedPushes());
  hint.SetBounds(0, 0, DesktopWidth(), DesktopHeight());
  EXPECT_TRUE(buttontest::AllTransparent(Render(hint, L"abc")));  // no collection
  TGDIButtonClass none;                                           // a group without a centre button
  TGDICustomButtonGroup group(form_.get(), none);
  hint.SetGroupItems(&group.Items());
  EXPECT_TRUE(buttontest::AllTransparent(Render(hint, L"abc")));
}

TEST_F(HintWindowTest, MissingFaceFallsBackToTheSystemSerifFace) {
  const std::wstring missing = L"Vantel No Such Face";
  const std::wstring serif = THintGDIButton::ResolveFontFace(missing);
  ASSERT_FALSE(serif.empty());
  EXPECT_NE(serif, missing);
  EXPECT_EQ(THintGDIButton::ResolveFontFace(serif), serif);

  Ring ring = MakeRing();
  THintGDIButton& hint = *ring.hint;
  hint.SetFontFaceName(missing);
  const TPushedImage fallback = Render(hint, L"Vantel");
  EXPECT_GT(
      std::count_if(fallback.Pixels.begin(), fallback.Pixels.end(), [](std::uint32_t p) { return p != 0; }),
      50);
  hint.SetFontFaceName(serif);
  const TPushedImage& direct = Render(hint, L"Vantel");
  EXPECT_EQ(fallback.Destination.x, direct.Destination.x);
  EXPECT_EQ(fallback.Destination.y, direct.Destination.y);
  EXPECT_EQ(fallback.Pixels, direct.Pixels);
}

TEST_F(HintWindowTest, ShowsTheSamePixelsAsADesktopSizedImage) {
  Ring fast = MakeRing(100, 300);
  Ring<TDesktopImageHint> whole = MakeRing<TDesktopImageHint>(100, 300);
  ASSERT_NE(whole.hint, nullptr);
  // Latin, Chinese, mixed and long texts, each after another, and back to nothing.
  const std::wstring texts[] = {
      L"notepad.exe",
      L"一个很长的文件名称用来测试提示文字的宽度以及它的边框.txt",
      L"Wj_|ÅÇ年度报告 2024.docx",
      L"iii",
      L"WWWWWWWWWWWWWWWW",
      L"tab\there\nand a second line",  // not a file name, but a text all the same
      L"\u0627\u0644\u0639\u0631\u0628\u064a\u0629 \u0e44\u0e17\u0e22 \u05e2\u05d1\u05e8\u05d9\u05ea",
      L"",
  };
  for (const std::wstring& text : texts) {
    const TPushedImage& desktop = Render(*whole.hint, text);
    ExpectSameScreen(desktop, Render(*fast.hint, text), text);
  }
}

TEST_F(HintWindowTest, InkBeyondTheMeasuredBoxIsNotCut) {
  Ring<TUndermeasuredHint> small = MakeRing<TUndermeasuredHint>(100, 300);
  Ring<TDesktopImageHint> whole = MakeRing<TDesktopImageHint>(100, 300);
  for (const std::wstring& text : {std::wstring(L"notepad.exe"), std::wstring(L"年度报告 2024.docx")}) {
    ExpectSameScreen(Render(*whole.hint, text), Render(*small.hint, text), text);
    EXPECT_GT(LastPushedImage(*small.hint).Width, 6);
  }
}

TEST_F(HintWindowTest, TextPastTheDesktopEdgeIsCutOnlyByTheDesktop) {
  // A ring at the right edge: the text runs off the desktop, on one line.
  const int left = DesktopWidth() - 200;
  Ring fast = MakeRing(left, 300);
  Ring<TDesktopImageHint> whole = MakeRing<TDesktopImageHint>(left, 300);
  const std::wstring text = L"a long name with spaces that does not wrap at all.txt";
  const TPushedImage& image = Render(*fast.hint, text);
  EXPECT_EQ(image.Destination.x + image.Width, DesktopWidth());
  const RECT box = InkBox(image);
  EXPECT_GE(box.right, DesktopWidth() - 24);  // the last glyph on the desktop is cut by its edge
  EXPECT_LT(box.bottom - box.top, 2 * 24);    // one line
  ExpectSameScreen(Render(*whole.hint, text), image, text);

  // And a ring at the top edge: the text's top is cut by the desktop's.
  Ring top = MakeRing(500, 5);
  const TPushedImage& high = Render(*top.hint, L"abc");
  EXPECT_EQ(high.Destination.y, 0);
  EXPECT_FALSE(buttontest::AllTransparent(high));
}

TEST_F(HintWindowTest, ShowAndHideForTheHoveredButton) {
  Ring ring = MakeRing();
  THintGDIButton& hint = *ring.hint;
  const int pushes = PushCount(hint);
  hint.ShowHintText(L"记事本");
  EXPECT_TRUE(hint.Visible());
  EXPECT_TRUE(IsWindowVisible(hint.Handle()));
  EXPECT_EQ(hint.HintText, L"记事本");
  EXPECT_GT(PushCount(hint), pushes);  // repainted at once
  EXPECT_FALSE(buttontest::AllTransparent(LastPushedImage(hint)));
  hint.HideHintText();
  EXPECT_FALSE(hint.Visible());
  EXPECT_FALSE(IsWindowVisible(hint.Handle()));
  EXPECT_EQ(hint.HintText, L"记事本");
}

// A ring the user took onto a monitor left of the primary one: the frame starts at the virtual desktop's
// real origin, and the name shows above that ring; after the monitors change, the frame follows them.
TEST_F(HintWindowTest, TheNameShowsOnAMonitorLeftOfThePrimary) {
  const vantel::MonitorInfo primary{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96, true};
  std::optional<testsupport::FakeMonitors> monitors(
      std::in_place, vantel::MonitorList{primary, {{-1280, 0, 0, 1024}, {-1280, 0, 0, 984}, 120, false}});
  Ring ring = MakeRing(-900, 300);
  THintGDIButton& hint = *ring.hint;
  EXPECT_EQ(hint.Left(), -1280);
  EXPECT_EQ(hint.Width(), 1280 + 1920);
  const RECT ink = InkBox(Render(hint, L"abc"));
  EXPECT_FALSE(IsRectEmpty(&ink));
  EXPECT_GE(ink.left, -900);  // "abc" starts 18 px left of the ring's middle, 24 px above it
  EXPECT_LE(ink.right, -900 + 180);
  EXPECT_GE(ink.top, 300 - 24);
  EXPECT_LE(ink.bottom, 300 + 24);

  monitors.emplace(vantel::MonitorList{primary});
  SendMessageW(hint.Handle(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1920, 1080));
  EXPECT_EQ(hint.Left(), 0);
  EXPECT_EQ(hint.Width(), 1920);
}

TEST_F(HintWindowTest, ThePointerGoesThroughTheName) {
  Ring ring = MakeRing(100, 300);
  THintGDIButton& hint = *ring.hint;
  hint.ShowHintText(L"agency");
  const TPushedImage& image = LastPushedImage(hint);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(hint.Handle(), region), ERROR);
  int inside = 0;
  for (int y = 0; y < image.Height; ++y) {
    for (int x = 0; x < image.Width; ++x) {
      const bool ink = image.Pixel(x, y) != 0;
      ASSERT_EQ(PtInRegion(region, x, y) != FALSE, ink) << "at (" << x << ", " << y << ")";
      inside += ink;
    }
  }
  DeleteObject(region);
  EXPECT_GT(inside, 30);

  // On the text's own pixels as below them (in the ring's square), the pointer finds what lies below:
  // the ring, or a window of a test running beside this one, never the hint.
  for (int y = 0; y < image.Height; ++y) {
    for (int x = 0; x < image.Width; ++x) {
      if (image.Pixel(x, y) == 0) continue;
      ASSERT_NE(WindowFromPoint(POINT{image.Destination.x + x, image.Destination.y + y}), hint.Handle())
          << "on the text at (" << x << ", " << y << ")";
    }
  }
  ASSERT_GT(image.Destination.y + image.Height, 302);
  const POINT below{image.Destination.x + 2, image.Destination.y + image.Height - 1};
  ASSERT_GE(below.y, 300);
  EXPECT_NE(WindowFromPoint(below), hint.Handle());

  hint.ShowHintText(L"");  // nothing shown: nothing takes the pointer
  const POINT corner{LastPushedImage(hint).Destination.x, LastPushedImage(hint).Destination.y};
  EXPECT_NE(WindowFromPoint(corner), hint.Handle());
}

// A file dropped on the name belongs to the ring or the desktop below it.
TEST_F(HintWindowTest, TheNameIsNoDropTarget) {
  Ring ring = MakeRing();
  EXPECT_EQ(GetPropW(ring.hint->Handle(), L"OleDropTargetInterface"), nullptr);
  EXPECT_FALSE(GetWindowLongPtrW(ring.hint->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST_F(HintWindowTest, MovingTheFrameMovesTheShownText) {
  Ring ring = MakeRing();
  THintGDIButton& hint = *ring.hint;
  const TPushedImage before = Render(hint, L"abc");
  hint.SetBounds(30, 40, DesktopWidth(), DesktopHeight());
  const TPushedImage& after = LastPushedImage(hint);
  EXPECT_EQ(after.Destination.x, before.Destination.x + 30);
  EXPECT_EQ(after.Destination.y, before.Destination.y + 40);
  EXPECT_EQ(after.Pixels, before.Pixels);
  EXPECT_EQ(hint.Left(), 30);
  EXPECT_EQ(hint.Width(), DesktopWidth());
}

}  // namespace
