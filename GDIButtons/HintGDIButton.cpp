// THintGDIButton: the hint text, its font with the serif stand-in, and the text-sized part of the window.
#include "GDIButtons/HintGDIButton.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string_view>
#include <vector>

#include "GDIButtons/ButtonGroup.h"
#include "GDIButtons/ButtonGroupItems.h"
#include "GDIButtons/WindowRegion.h"
#include "framework/FlagScope.h"
#include "framework/text/TextCodec.h"
#include "xml/ConfigFormat.h"

namespace {

// The name is only to be read: the pointer and dropped files go through it to what lies below.
constexpr DWORD kHintExStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT;

bool FaceInstalled(const std::wstring& face) {
  if (face.empty()) return false;
  Gdiplus::FontFamily family(face.c_str());
  return family.GetLastStatus() == Gdiplus::Ok && family.IsAvailable();
}

// Name of one of GDI+'s generic families; empty when it has none.
using GenericFamilyGetter = Gdiplus::GpStatus(WINGDIPAPI*)(Gdiplus::GpFontFamily**);
std::wstring GenericFace(GenericFamilyGetter getter) {
  Gdiplus::GpFontFamily* family = nullptr;
  if (getter(&family) != Gdiplus::Ok || !family) return {};
  WCHAR name[LF_FACESIZE] = {};
  const Gdiplus::GpStatus status = Gdiplus::DllExports::GdipGetFamilyName(family, name, LANG_NEUTRAL);
  Gdiplus::DllExports::GdipDeleteFontFamily(family);
  return status == Gdiplus::Ok ? std::wstring(name) : std::wstring();
}

// The font of one render, as the hint draws it.
struct THintFont {
  explicit THintFont(const std::wstring& face, int size)
      : family(face.c_str()),
        font(&family, static_cast<Gdiplus::REAL>(size), Gdiplus::FontStyleRegular, Gdiplus::UnitPixel) {}
  bool Ok() const { return family.GetLastStatus() == Gdiplus::Ok && font.GetLastStatus() == Gdiplus::Ok; }

  Gdiplus::FontFamily family;
  Gdiplus::Font font;
};

LONG Floor(double v) {
  return static_cast<LONG>(std::clamp(std::floor(v), -1e9, 1e9));
}
LONG Ceil(double v) {
  return static_cast<LONG>(std::clamp(std::ceil(v), -1e9, 1e9));
}

}  // namespace

THintGDIButton::THintGDIButton(TComponent* owner, const TButtonColors& colors, TButtonStart start,
                               const TButtonSystem& system)
    : TDragGDIButton(owner, colors, start, system) {
  fontSize_ = vantel::kHintFontSize;
  // A drop on the name belongs to the ring or the desktop below it, not to the name.
  DropTarget().SetAcceptorControl(nullptr);
  ApplyHintStyle();
}

void THintGDIButton::ApplyHintStyle() {
  HWND window = Handle();
  const auto current = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  if ((current & ~static_cast<DWORD>(WS_EX_TOPMOST)) != kHintExStyle) {
    SetWindowLongPtrW(window, GWL_EXSTYLE, static_cast<LONG_PTR>(kHintExStyle | (current & WS_EX_TOPMOST)));
  }
}

THintGDIButton::~THintGDIButton() = default;

void THintGDIButton::ShowHintText(const std::wstring& text) {
  HintText = text;
  Show();
  Repaint();
}

void THintGDIButton::HideHintText() {
  Hide();
}

std::size_t THintGDIButton::HintTextBytes() const {
  // The text ends at its first NUL, as the drawing does.
  return WideToGb18030(std::wstring_view(HintText.c_str())).size();
}

vantel::PointF THintGDIButton::TextOrigin() const {
  const TGDIButtonGroupItems* items = GroupItems();
  const TCustomGDIButton* centre = items ? items->Group().CentreButton() : nullptr;
  if (!centre) return {};
  // The frame may start left of or above the screen origin (the virtual desktop's own origin).
  const vantel::WindowBounds bounds{centre->Left() - Left(), centre->Top() - Top(), centre->Width(),
                                    centre->Height()};
  return vantel::HintTextOrigin(bounds, HintTextBytes(), fontSize_);
}

std::wstring THintGDIButton::ResolveFontFace(const std::wstring& face) {
  if (FaceInstalled(face)) return face;
  // A hint that never shows on a system without the face would be no hint at all.
  for (GenericFamilyGetter getter : {&Gdiplus::DllExports::GdipGetGenericFontFamilySerif,
                                     &Gdiplus::DllExports::GdipGetGenericFontFamilySansSerif}) {
    std::wstring name = GenericFace(getter);
    if (FaceInstalled(name)) return name;
  }
  return {};
}

RECT THintGDIButton::TextCover() const {
  const TGDIButtonGroupItems* items = GroupItems();
  if (!items || !items->Group().CentreButton()) return {};
  if (ButtonKind() != ConfigFormat::KindSegment || HintText.empty() || HintText.front() == L'\0') return {};
  const std::wstring face = ResolveFontFace(fontFaceName_);
  if (face.empty()) return {};
  THintFont font(face, fontSize_);
  if (!font.Ok()) return {};
  const vantel::PointF origin = TextOrigin();
  // The layout box GDI+ measures for the text, with half an em around it for overhangs and
  // anti-aliasing. Should the measure fail, the estimate of an em per byte stands in. UpdateLayered
  // makes room should ink still reach the edge.
  const vantel::WindowBounds estimate = vantel::HintTextBounds(origin, HintTextBytes(), fontSize_);
  RECT cover{estimate.Left, estimate.Top, estimate.Left + estimate.Width, estimate.Top + estimate.Height};
  TLayeredSurface scratch(1, 1);
  if (std::unique_ptr<Gdiplus::Graphics> graphics = scratch.CreateGraphics()) {
    Gdiplus::RectF measured;
    const Gdiplus::RectF layout(origin.X, origin.Y, 0.0f, 0.0f);
    if (graphics->MeasureString(HintText.c_str(), -1, &font.font, layout, nullptr, &measured) ==
        Gdiplus::Ok) {
      const double margin = std::max(fontSize_, 0) / 2.0 + 2.0;
      cover = RECT{Floor(measured.X - margin), Floor(measured.Y - margin),
                   Ceil(measured.X + measured.Width + margin), Ceil(measured.Y + measured.Height + margin)};
    }
  }
  const RECT window{0, 0, Width(), Height()};
  RECT clipped{};
  IntersectRect(&clipped, &cover, &window);
  return clipped;
}

void THintGDIButton::DrawPie(TLayeredSurface& surface, const TPieRect* rect) {
  (void)rect;  // the text is placed by the centre button, not by a pie
  textBox_ = {};
  if (CountPaint()) return;
  DrawHintText(surface);
}

void THintGDIButton::DrawHintText(TLayeredSurface& surface) {
  textBox_ = {};
  const RECT cover = TextCover();
  if (IsRectEmpty(&cover)) return;
  std::unique_ptr<Gdiplus::Graphics> graphics = surface.CreateGraphics();
  if (!graphics) return;
  THintFont font(ResolveFontFace(fontFaceName_), fontSize_);
  if (!font.Ok()) return;
  const vantel::HintLook look = vantel::HintLookFor(Contrast());
  Gdiplus::SolidBrush brush{Gdiplus::Color(look.Text)};
  // The surface may hold only part of the window: its top-left is drawOffset_ in window coordinates.
  graphics->TranslateTransform(static_cast<Gdiplus::REAL>(-drawOffset_.x),
                               static_cast<Gdiplus::REAL>(-drawOffset_.y));
  if (look.Backed) {
    // The box behind the text keeps inside the cover, so that its edge never reads as ink cut short.
    RECT back = cover;
    const int inset = std::max(fontSize_, 0) / 4;
    InflateRect(&back, -inset, -inset);
    Gdiplus::SolidBrush fill{Gdiplus::Color(look.Back)};
    if (!IsRectEmpty(&back)) {
      graphics->FillRectangle(&fill, static_cast<INT>(back.left), static_cast<INT>(back.top),
                              static_cast<INT>(back.right - back.left),
                              static_cast<INT>(back.bottom - back.top));
    }
  }
  const vantel::PointF origin = TextOrigin();
  // Zero width and height: neither wrapped nor clipped.
  const Gdiplus::RectF layout(origin.X, origin.Y, 0.0f, 0.0f);
  graphics->DrawString(HintText.c_str(), -1, &font.font, layout, nullptr, &brush);
  textBox_ = cover;
}

void THintGDIButton::MakeImage(const RECT& part) {
  image_ = std::make_unique<TLayeredSurface>(part.right - part.left, part.bottom - part.top);
  imageOrigin_ = POINT{part.left, part.top};
  drawOffset_ = imageOrigin_;
}

bool THintGDIButton::InkOnInnerEdge() const {
  const int width = image_->Width();
  const int height = image_->Height();
  if (image_->Empty()) return false;
  // Edges on the frame's own edges cut the text just as the desktop-sized window would.
  const bool left = imageOrigin_.x > 0, top = imageOrigin_.y > 0;
  const bool right = imageOrigin_.x + width < Width(), bottom = imageOrigin_.y + height < Height();
  for (int x = 0; x < width; ++x) {
    if ((top && image_->Pixel(x, 0) != 0) || (bottom && image_->Pixel(x, height - 1) != 0)) return true;
  }
  for (int y = 0; y < height; ++y) {
    if ((left && image_->Pixel(0, y) != 0) || (right && image_->Pixel(width - 1, y) != 0)) return true;
  }
  return false;
}

void THintGDIButton::UpdateLayered() {
  ApplyHintStyle();
  const RECT frame{0, 0, Width(), Height()};
  if (FileInfo.hIcon) {
    // An icon overlay may draw anywhere in the window: render and push the whole of it.
    MakeImage(frame);
    drawOffset_ = {};
    DrawPie(*image_, PieRect());
    PushImage();
    DrawOverlay(*image_);
    ShapeToInk();
    return;
  }
  RECT part = TextCover();
  if (IsRectEmpty(&part)) part = RECT{0, 0, 1, 1};  // nothing to show: one transparent pixel
  MakeImage(part);
  DrawPie(*image_, PieRect());
  // Ink touching an inner edge may go on beyond it (a face far wider or taller than its measure): draw
  // again with more room, up to the whole frame, so that nothing is cut that the frame would show.
  for (int grow = 2 * std::clamp(fontSize_, 8, 1 << 20); !IsRectEmpty(&textBox_) && InkOnInnerEdge();
       grow = std::min(grow, 1 << 28) * 2) {
    InflateRect(&part, grow, grow);
    IntersectRect(&part, &part, &frame);
    MakeImage(part);
    DrawHintText(*image_);
  }
  drawOffset_ = {};
  PushImage();
}

void THintGDIButton::ShapeToInk() {
  // Runs of pixels with any alpha, row by row: the region the system hit-tests and shows.
  std::vector<vantel::RegionRect> runs;
  const int width = image_->Width();
  for (int y = 0; y < image_->Height(); ++y) {
    const std::uint32_t* row = image_->Pixels() + static_cast<size_t>(y) * static_cast<size_t>(width);
    for (int x = 0; x < width;) {
      if (row[x] == 0) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < width && row[x] != 0) ++x;
      runs.push_back(vantel::RegionRect{start, y, x, y + 1});
    }
  }
  SetWindowRegion(Handle(), RegionOfRects(runs, RECT{0, 0, width, image_->Height()}));
}

void THintGDIButton::PushImage() {
  // Layered windows are hit-tested by their pixels' alpha on Windows, by their rectangle on some other
  // window systems (Wine): the region keeps the transparent part of the box from taking the pointer
  // off the ring below it.
  ShapeToInk();
  // Left and Top are the frame's screen position; the image sits at its place inside the frame.
  PushSurfaceAt(*image_, vantel::HintLookFor(Contrast()).PushAlpha,
                POINT{Left() + imageOrigin_.x, Top() + imageOrigin_.y});
}

void THintGDIButton::SetBounds(int left, int top, int width, int height) {
  // Only the frame changes: the window keeps to the part that holds the image. A window that covered
  // the desktop, even for a moment, would count as a full-screen window for good, which some window
  // systems treat differently (Wine, managing its windows, waits for the window manager at every hide).
  {
    const TFlagScope frame(settingFrame_);
    TDragGDIButton::SetBounds(left, top, width, height);
  }
  if (!HandleAllocated()) return;
  // The image at its place in the moved frame.
  if (!image_) {
    image_ = std::make_unique<TLayeredSurface>(1, 1);
    imageOrigin_ = {};
  }
  PushImage();
}

LRESULT THintGDIButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_WINDOWPOSCHANGING:
      if (settingFrame_) reinterpret_cast<WINDOWPOS*>(lParam)->flags |= SWP_NOMOVE | SWP_NOSIZE;
      break;
    case WM_WINDOWPOSCHANGED:
      // The window moves and resizes within the frame; Left, Top, Width and Height stay the frame's.
      return DefaultHandler(msg, wParam, lParam);
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_GETOBJECT:
      // The name is no item of its own: a screen reader hears it from the focused segment. The system's
      // own object of the window (no button, no name, invisible while hidden) answers.
      return DefaultHandler(msg, wParam, lParam);
    case WM_DISPLAYCHANGE:
      // A monitor came, went or moved: the frame is the new virtual desktop.
      if (TGDIButtonGroupItems* items = GroupItems()) items->Group().FrameHintWindow();
      break;
    default:
      break;
  }
  return TDragGDIButton::WndProc(msg, wParam, lParam);
}
