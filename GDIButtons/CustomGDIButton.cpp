// TCustomGDIButton: construction, the pie render and push, hover colours, dragging and menu translucency.
#include "GDIButtons/CustomGDIButton.h"

#include <algorithm>
#include <cstdlib>

#include "GDIButtons/ButtonGroup.h"
#include "GDIButtons/ButtonGroupItems.h"
#include "GDIButtons/PushObserver.h"
#include "framework/FlagScope.h"
#include "xml/ConfigFormat.h"

namespace {

constexpr DWORD kLayeredExStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_ACCEPTFILES;  // 0x80090
constexpr BYTE kPushAlpha = vantel::kPiePushAlpha;
// Up to this size (a ring of 2048 px) a render draws the button's whole image and pushes its box.
constexpr long long kWholeImagePixels = 2048LL * 2048;
constexpr WPARAM kMoveByCaption = SC_MOVE | HTCAPTION;  // 0xF012

}  // namespace

TCustomGDIButton::TCustomGDIButton(TComponent* owner, const TButtonColors& colors, TButtonStart start,
                                   const TButtonSystem& system)
    : TCustomControl(owner),
      HotColor(colors.HotColor),
      DefaultColor(colors.DefaultColor),
      startHidden_(start == TButtonStart::Hidden),
      contrastSource_(system.Contrast ? system.Contrast : &TCustomGDIButton::SystemContrast),
      pushObserver_(system.Pushes) {
  paintCount_ = 0;
  DoubleBuffered = true;
  SetCurrentColor(DefaultColor);
  contrast_ = contrastSource_();
  defaultPieRect_ = std::make_unique<TPieRect>();
  pieRect_ = defaultPieRect_.get();
  // Called here, before any subclass exists: this is always the base version.
  InstallDefaultHandlers();
  SetParent(dynamic_cast<TWinControl*>(owner));
  if (startHidden_) SetVisibleFlag(false);
  // Creates the window, in front of the topmost band. No activation: a new ring segment must not take
  // the focus from the user. A window made there already needs no restack.
  HWND window = Handle();
  if (GetWindow(window, GW_HWNDPREV) || !(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  menuGlass_ = std::make_unique<TMenuGlassTimer>(this);
  RedrawButton();  // the first DrawPie: draws nothing
  OnMouseDown = [this](TObject*, TMouseButton button, TShiftState, int, int) {
    if (button == TMouseButton::mbRight) menuGlass_->Start();
    if (button == TMouseButton::mbLeft) GetCursorPos(&pressPoint_);
  };
  OnMouseUp = [this](TObject*, TMouseButton button, TShiftState, int, int) {
    if (button == TMouseButton::mbRight) menuGlass_->Stop();
  };
}

TCustomGDIButton::~TCustomGDIButton() {
  // The window goes while this class's handlers can still answer its last messages.
  DestroyHandle();
  if (pushObserver_) pushObserver_->Destroyed(*this);
  menuGlass_.reset();
  defaultPieRect_.reset();
  pieRect_ = nullptr;
}

void TCustomGDIButton::SetPieRect(TPieRect* rect) {
  pieRect_ = rect;
  if (defaultPieRect_ && rect != defaultPieRect_.get()) defaultPieRect_.reset();
}

void TCustomGDIButton::SetCurrentColor(TARGB color) {
  red_ = GetRed(color);
  green_ = GetGreen(color);
  blue_ = GetBlue(color);
}

void TCustomGDIButton::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  // A layered child window is not possible before Windows 8, and a child moved to the desktop
  // confuses some window managers: the button is a top-level popup from the start, owned by nobody
  // (so it floats on the desktop as the re-parenting intends), layered from the start (so it never
  // shows an undrawn square), kept off the taskbar and open to dropped files. It is made in the topmost
  // band, where the constructor puts it anyway: moving a new window there costs the system a restack.
  params.Style = WS_POPUP | WS_CLIPSIBLINGS | (params.Style & (WS_VISIBLE | WS_DISABLED));
  params.WndParent = nullptr;
  params.ExStyle |= kLayeredExStyle | WS_EX_TOPMOST;
  params.WinClassName = L"VantelGDIButton";
}

void TCustomGDIButton::InstallDefaultHandlers() {
  if (!OnMouseMove) OnMouseMove = [this](TObject*, TShiftState shift, int, int) { DragMove(shift); };
}

void TCustomGDIButton::DragMove(TShiftState shift) {
  if (buttonKind_ == ConfigFormat::KindSegment || !(shift & ssLeft)) return;
  if (POINT pointer{}; WaitsForDrag() && GetCursorPos(&pointer) &&
                       std::abs(pointer.x - pressPoint_.x) < GetSystemMetrics(SM_CXDRAG) &&
                       std::abs(pointer.y - pressPoint_.y) < GetSystemMetrics(SM_CYDRAG)) {
    return;
  }
  HideRingHint();
  ReleaseCapture();
  // The window manager's own move loop: the window follows the mouse until the button is released.
  Perform(WM_SYSCOMMAND, kMoveByCaption, 0);
}

void TCustomGDIButton::DrawOverlay(TLayeredSurface& surface) {
  (void)surface;
}

void TCustomGDIButton::DrawPie(TLayeredSurface& surface, const TPieRect* rect) {
  if (CountPaint()) return;
  if (!rect) return;
  outerRect_ = vantel::OuterRect(*rect);
  innerRect_ = vantel::InnerRect(*rect);
  if (surface.Empty()) return;  // nothing to draw on: a render that only lays out
  // Even-odd: the inner pie cancels the outer one, leaving the slice between half and full radius.
  Gdiplus::GraphicsPath ring(Gdiplus::FillModeAlternate);
  ring.AddPie(innerRect_.X, innerRect_.Y, innerRect_.Width, innerRect_.Height, rect->StartAngle,
              rect->SweepAngle);
  ring.AddPie(outerRect_.X, outerRect_.Y, outerRect_.Width, outerRect_.Height, rect->StartAngle,
              rect->SweepAngle);
  Gdiplus::GraphicsPath full(Gdiplus::FillModeAlternate);
  full.AddPie(outerRect_.X, outerRect_.Y, outerRect_.Width, outerRect_.Height, rect->StartAngle,
              rect->SweepAngle);
  const vantel::PieLook look = vantel::PieLookFor(contrast_, hot_, CurrentColor());
  Gdiplus::SolidBrush brush(Gdiplus::Color(look.Fill));
  std::unique_ptr<Gdiplus::Graphics> graphics = surface.CreateGraphics();
  if (!graphics) return;
  graphics->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  Gdiplus::GraphicsPath* shape = buttonKind_ == ConfigFormat::KindSegment  ? &ring
                                 : buttonKind_ == ConfigFormat::KindCentre ? &full
                                                                           : nullptr;
  if (!shape) return;
  graphics->FillPath(&brush, shape);
  if (look.Outlined) DrawOutline(*graphics, look.Outline, *rect);
}

void TCustomGDIButton::ApplyLayeredStyle() {
  // The whole extended style is replaced; the system keeps the topmost bit regardless. A style that is
  // already this one is left alone: setting it costs the system a style change round with messages.
  HWND window = Handle();
  const auto current = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  if ((current & ~static_cast<DWORD>(WS_EX_TOPMOST)) == kLayeredExStyle) return;
  SetWindowLongPtrW(window, GWL_EXSTYLE, static_cast<LONG_PTR>(kLayeredExStyle));
  windowImage_.Valid = false;  // a window that was not layered like this holds no image of ours
}

bool TCustomGDIButton::DrawingHeld() const {
  return groupItems_ && groupItems_->Group().DrawingHeld();
}

void TCustomGDIButton::RenderInto(TLayeredSurface& surface) {
  DrawPie(surface, pieRect_);
  const bool overlay = FileInfo.hIcon != nullptr;
  // An overlay that pushes the whole image again replaces this push before the window system could
  // show it: the window would only flicker through the shape without its icon.
  if (!overlay || !OverlayPushesImage()) PushSurface(surface, kPushAlpha);
  if (overlay) DrawOverlay(surface);
}

bool TCustomGDIButton::IconOutgrows(const vantel::PieRectValues& slice, int count) {
  (void)slice;
  (void)count;
  return false;
}

bool TCustomGDIButton::OverlayPushesImage() {
  return false;
}

void TCustomGDIButton::UpdateLayered() {
  ApplyLayeredStyle();
  // A window started hidden for a ring being built gets its picture when it shows: its renders before
  // the group takes it (the constructor's draws nothing anyway) push nothing either.
  if (DrawingHeld() || startHidden_) {
    if (groupItems_ && this != groupItems_->Group().CentreButton() &&
        this != groupItems_->Group().HintWindow()) {
      groupItems_->LayOutIfStale();  // a segment renders on its current rectangle
    }
    // The same steps on an image without pixels, nothing pushed: the layout that the render leaves
    // behind (counts, rectangles, the icon's place, the group's grow flag) without its picture.
    TLayeredSurface nothing;
    const TFlagScope layoutOnly(layoutOnly_);
    RenderInto(nothing);
    return;
  }
  // The window keeps only the box of the button where something is drawn. The image is drawn at the
  // button's size, so every pixel comes out as it always did, and lives only for this render; a ring so
  // grown that such an image would be large gets one of the box alone (GDI+ may then round an edge pixel
  // the other way).
  renderBox_ = PlannedBox();
  const bool whole = static_cast<long long>(Width()) * Height() <= kWholeImagePixels;
  const RECT& box = renderBox_;
  TLayeredSurface surface(whole ? Width() : box.right - box.left, whole ? Height() : box.bottom - box.top,
                          whole ? POINT{} : POINT{box.left, box.top});
  try {
    RenderInto(surface);
  } catch (...) {
    renderBox_ = RECT{};
    throw;
  }
  renderBox_ = RECT{};
}

void TCustomGDIButton::RedrawButton() {
  UpdateLayered();
  // The window floats on the desktop: a top-level window already does, anything else is moved there.
  HWND window = Handle();
  if (GetAncestor(window, GA_PARENT) != GetDesktopWindow()) ::SetParent(window, GetDesktopWindow());
}

void TCustomGDIButton::Paint() {
  TCustomControl::Paint();
  RedrawButton();
}

void TCustomGDIButton::Repaint() {
  // A held render makes no picture, so it needs no paint round through the window system either.
  if (HandleAllocated() && DrawingHeld()) {
    RedrawButton();
    return;
  }
  TCustomControl::Repaint();
}

void TCustomGDIButton::CMMouseEnter() {
  hot_ = true;
  SetCurrentColor(HotColor);
  Invalidate();
}

void TCustomGDIButton::CMMouseLeave() {
  menuGlass_->Stop();
  hot_ = false;
  SetCurrentColor(DefaultColor);
  Invalidate();
}

void TCustomGDIButton::CentreMoved() noexcept {
  if (groupItems_) groupItems_->Group().CentreMoved(POINT{Left(), Top()});
}

void TCustomGDIButton::HideRingHint() {
  // The name would stay behind while the ring moves away. Told by the move itself, not by the mouse
  // buttons: with swapped buttons (a left-handed mouse) the drag holds the physical right one.
  TGDIButtonGroupItems* items = groupItems_;
  TCustomGDIButton* hint = items ? items->Group().HintWindow() : nullptr;
  if (hint && hint != this && hint->Visible()) hint->Hide();
}

void TCustomGDIButton::SetBounds(int left, int top, int width, int height) {
  if (!boundsDeferred_ && boxed_ && HandleAllocated()) {
    // The window covers its box of the button: it moves with the bounds and keeps its size until the
    // next render, which a ring's layout makes after every change of size.
    StoreBounds(left, top, width, height);
    const POINT place = WindowPlace(left, top);
    SetWindowPos(Handle(), nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  if (!boundsDeferred_ || !HandleAllocated()) {
    TCustomControl::SetBounds(left, top, width, height);
    return;
  }
  const bool changed = left != Left() || top != Top() || width != Width() || height != Height();
  StoreBounds(left, top, width, height);
  if (changed && buttonKind_ == ConfigFormat::KindCentre) CentreMoved();  // as the window's move would
}

void TCustomGDIButton::ApplyDeferredBounds() {
  if (!boundsDeferred_) return;
  boundsDeferred_ = false;
  if (!HandleAllocated()) return;
  RECT now{};
  GetWindowRect(Handle(), &now);
  const RECT box = WindowBox();
  const POINT place = WindowPlace(Left(), Top());
  const int width = box.right - box.left, height = box.bottom - box.top;
  if (now.left == place.x && now.top == place.y && now.right - now.left == width &&
      now.bottom - now.top == height) {
    return;
  }
  const TFlagScope applying(applyingBounds_);
  SetWindowPos(Handle(), nullptr, place.x, place.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomGDIButton::ShowDeferred(bool notTopmost) {
  HWND window = Handle();
  RedrawButton();
  ApplyDeferredBounds();  // when no push placed it
  SetVisibleFlag(true);
  UINT flags = SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_DEFERERASE;
  if (!notTopmost) flags |= SWP_NOZORDER;
  SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
}

LRESULT TCustomGDIButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case CM_MOUSEENTER:
      CMMouseEnter();
      break;
    case CM_MOUSELEAVE:
      CMMouseLeave();
      break;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETHIGHCONTRAST) ReadContrast();
      break;
    case WM_SYSCOLORCHANGE:
      ReadContrast();
      break;
    case WM_SHOWWINDOW:
      if (!wParam) windowImage_.Valid = false;  // see WM_WINDOWPOSCHANGED
      break;
    case WM_ENTERSIZEMOVE:
      // The system's move loop begins (the centre's drag).
      if (buttonKind_ == ConfigFormat::KindCentre) HideRingHint();
      break;
    case WM_WINDOWPOSCHANGED: {
      // A window that was hidden or took another size may have let go of its image: the next push is
      // a whole one.
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
      if (pos && ((pos->flags & SWP_HIDEWINDOW) ||
                  (!(pos->flags & SWP_NOSIZE) &&
                   (pos->cx != windowImage_.Width || pos->cy != windowImage_.Height)))) {
        windowImage_.Valid = false;
      }
      const int left = Left(), top = Top(), width = Width(), height = Height();
      const LRESULT result = TCustomControl::WndProc(msg, wParam, lParam);  // updates Left and Top
      // Deferred bounds are where the window is to be, whatever moves it meanwhile (a restack). A window
      // that covers a box of its button puts the button's bounds that far up and left of it.
      if (boundsDeferred_) {
        StoreBounds(left, top, width, height);
      } else if (boxed_) {
        StoreBounds(Left() - box_.left, Top() - box_.top, width, height);
      }
      // Deferred bounds noted the follow when they were set.
      if (buttonKind_ == ConfigFormat::KindCentre && !applyingBounds_) CentreMoved();
      return result;
    }
    default:
      break;
  }
  return TCustomControl::WndProc(msg, wParam, lParam);
}
