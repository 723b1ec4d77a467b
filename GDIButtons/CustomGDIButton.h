// TCustomGDIButton: one layered top-level window that shows a single anti-aliased pie of the ring.
#pragma once

// clang-format off
#include "framework/Win32.h"
#include <shellapi.h>
// clang-format on

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "GDIButtons/ContrastLogic.h"
#include "GDIButtons/LayeredSurface.h"
#include "GDIButtons/MenuGlassTimer.h"
#include "GDIButtons/PieGeometry.h"
#include "framework/Controls.h"
#include "framework/Timer.h"
#include "xml/ColorValue.h"

class TGDIButtonGroupItems;

// The two configured colours a button is built with. C++ has no virtual constructors, so what the
// XML constructor (CreateFromXml, GDIButtonClass.h) reads before construction is handed to the
// constructor itself.
struct TButtonColors {
  TARGB DefaultColor = 0;
  TARGB HotColor = 0;
};

class TPushObserver;

// Where a button reads the system's high-contrast mode and colours (null: TCustomGDIButton::SystemContrast).
using TContrastSource = vantel::ContrastScheme (*)();

// What a button asks of the system and tells of what it hands it, where a caller wants other than the
// system's own: another high-contrast source (to draw a scheme the system is not in), and who hears of each
// image the button pushes to its window (PushObserver.h; no one by default).
struct TButtonSystem {
  TContrastSource Contrast = nullptr;
  TPushObserver* Pushes = nullptr;
};

// Whether a new button's window shows when it is made, or waits hidden for the picture that its ring's load
// gives it.
enum class TButtonStart { Shown, Hidden };

class TCustomGDIButton : public TCustomControl {
 public:
  // Builds the button with these colours (both 0 unless CreateFromXml read them), creates its window
  // in the topmost band and renders it once; that first render draws nothing. The owner, a windowed
  // control, also becomes the framework parent. A button started hidden is made with a hidden window, and
  // its renders push nothing until a group takes it (SetGroupItems), whose hold then decides.
  explicit TCustomGDIButton(TComponent* owner, const TButtonColors& colors = {},
                            TButtonStart start = TButtonStart::Shown, const TButtonSystem& system = {});
  ~TCustomGDIButton() override;

  // Text a hint window paints; empty for every other button.
  std::wstring HintText;
  // Shell information about the button's file; its icon handle decides whether DrawOverlay runs.
  SHFILEINFOW FileInfo{};
  // The colours. A new value shows at the next mouse enter or leave, which copy it to the current colour.
  TARGB HotColor = 0;
  TARGB DefaultColor = 0;

  // The ring this button belongs to (non-owning; nullptr until the group assigns it).
  TGDIButtonGroupItems* GroupItems() const { return groupItems_; }
  void SetGroupItems(TGDIButtonGroupItems* items) {
    groupItems_ = items;
    startHidden_ = false;
  }
  // ConfigFormat::KindSegment (a ring segment, the hint window too), ConfigFormat::KindCentre (the centre
  // disc); any other kind draws nothing.
  std::uint8_t ButtonKind() const { return buttonKind_; }
  void SetButtonKind(std::uint8_t kind) { buttonKind_ = kind; }
  // The geometry drawn. The button owns its default rectangle until it is pointed elsewhere; then the
  // default is freed and the new one stays owned by whoever made it. nullptr draws nothing.
  TPieRect* PieRect() const { return pieRect_; }
  void SetPieRect(TPieRect* rect);
  // Registry form of the GUID of the button's configuration record ("{XXXXXXXX-...}", 38 characters):
  // the configuration's bytes. Empty here; the XML-bound button makes a new one, a ring's load sets the
  // record's.
  const std::string& ButtonGuid() const { return buttonGuid_; }
  void SetButtonGuid(std::string guid) { buttonGuid_ = std::move(guid); }
  // The stored colour the next render uses (alpha 255; the fill alpha is fixed at 210). High contrast
  // draws in the system's colours instead (see Contrast).
  TARGB CurrentColor() const { return MakeColor(red_, green_, blue_); }
  // Whether the hover's look is on (the pointer is over the button, or the keys selected it).
  bool Hot() const { return hot_; }
  // How many times DrawPie ran on this button.
  int PaintCount() const { return paintCount_; }

  // Whether high contrast is on and the system's colours, from the constructor's contrast source: read when
  // the button is made and again when the system announces a change (WM_SETTINGCHANGE for
  // SPI_SETHIGHCONTRAST, WM_SYSCOLORCHANGE), which re-renders the window. The stored colours stay as they
  // are.
  const vantel::ContrastScheme& Contrast() const { return contrast_; }
  // SPI_GETHIGHCONTRAST and GetSysColor; the colours are left 0 while high contrast is off.
  static vantel::ContrastScheme SystemContrast();
  // Runs while the right button is held on the button, for the popup menu it opens.
  TTimer& MenuTimer() { return menuGlass_->Timer(); }

  // Draws over the rendered image after the shape's push (or in its place, see OverlayPushesImage); runs
  // only while FileInfo has an icon.
  virtual void DrawOverlay(TLayeredSurface& surface);
  // Whether DrawOverlay, about to run, will push the whole image itself: the render then leaves out its
  // own push of the shape alone, which that push would replace at once. False here.
  virtual bool OverlayPushesImage();
  // Draws the shape for `rect` on the surface. The first call on a button draws nothing.
  virtual void DrawPie(TLayeredSurface& surface, const TPieRect* rect);
  // Whether a render of this segment on `slice` of a ring of `count` would set the group's grow flag
  // (its icon is wider than the slice). False here: a plain pie has no icon.
  virtual bool IconOutgrows(const vantel::PieRectValues& slice, int count);
  // Renders and pushes the window, then makes sure it floats on the desktop.
  virtual void RedrawButton();
  // Invalidates and renders now (a render that only lays out goes straight to RedrawButton).
  void Repaint() override;
  // Renders into a fresh surface of the control's size and pushes it (constant alpha 150), then the
  // overlay. Subclasses that keep their surface override this and call RenderInto. While the group
  // holds drawing (TGDICustomButtonGroup::HoldDrawing) the same steps run on an image without pixels
  // and nothing is pushed.
  virtual void UpdateLayered();

  // While bounds are deferred, SetBounds keeps the new place and size (Left, Top, Width, Height) without
  // moving the window, and a centre notes the ring's follow as its move would: a window that waits hidden
  // for its picture is moved once, when it shows. DeferBounds(false) stops keeping them; the window is
  // left where it is, for a caller that moves it itself.
  void DeferBounds(bool defer) { boundsDeferred_ = defer; }
  bool BoundsDeferred() const { return boundsDeferred_; }
  // Stops deferring and moves the window to the kept bounds, unless it is there already. The ring does
  // not follow this move again.
  void ApplyDeferredBounds();
  // Shows a window that waited hidden with deferred bounds: its render is pushed where the bounds say (the
  // push places and sizes the window), then the window shows, into the not-topmost band at the top when
  // `notTopmost`, in the same step.
  void ShowDeferred(bool notTopmost);
  void SetBounds(int left, int top, int width, int height) override;

  // The part of the button that its window covers now, in the button's pixels: a centre or segment of a
  // ring draws only its pie (and icon), and its window is the box of those; any other button's window is
  // its whole bounds. The button's bounds (Left, Top, Width, Height) and its pie rectangle keep their
  // values: the window sits at (Left + box.left, Top + box.top) with the box's size.
  RECT WindowBox() const;
  // Where the window goes for bounds at (left, top): the box's top-left on the screen.
  POINT WindowPlace(int left, int top) const;

 protected:
  // Installs the drag-move handler as OnMouseMove unless one is assigned. Called by the constructor.
  virtual void InstallDefaultHandlers();
  // Whether the centre's drag waits until the pointer has gone the system's drag distance (SM_CXDRAG)
  // from the press, so that a click stays a click. False here: the drag starts at the first move.
  virtual bool WaitsForDrag() { return false; }
  // Mouse enter and leave notifications; subclasses extend them and call these first.
  virtual void CMMouseEnter();
  virtual void CMMouseLeave();

  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  // Pieces of the render, for subclasses that manage their own surface.
  void ApplyLayeredStyle();  // WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_ACCEPTFILES, nothing else
  // DrawPie, push at 150, overlay when there is an icon (the push left out when the overlay pushes).
  void RenderInto(TLayeredSurface& surface);
  // Pushes the surface to the window at its screen position with this constant alpha (nothing while a
  // render only lays out).
  void PushSurface(TLayeredSurface& surface, BYTE constantAlpha);
  // The same, moving the window to `destination` (screen pixels) and sizing it to the surface in the
  // same step.
  void PushSurfaceAt(TLayeredSurface& surface, BYTE constantAlpha, POINT destination);
  // The box (button pixels) of what the next render draws, a little margin included; the whole button for
  // a button outside a ring. Subclasses that draw more add theirs.
  virtual RECT DrawnBox();
  // DrawnBox within the button's bounds (the whole button when that leaves nothing): the window's next box.
  RECT PlannedBox();
  // A copy of the window region given for the window box `box`: a render for that box clears every pixel
  // outside it before the push, so the window is never given a pixel its shape does not show.
  void KeepShape(HRGN region, const RECT& box);
  // Whether this is the centre or a segment of a ring (not its hint window, not a button on its own).
  bool InRing() const;
  // Counts a DrawPie call; true for the first one, which draws nothing.
  bool CountPaint() { return ++paintCount_ == 1; }
  // Whether this button's group holds drawing: renders lay out without making a picture.
  bool DrawingHeld() const;
  // Reads the scheme again and, when it changed, asks for a render.
  void ReadContrast();
  // A one-pixel line along the edges of the pie DrawPie just filled for `rect`, in this colour.
  void DrawOutline(Gdiplus::Graphics& graphics, TARGB color, const TPieRect& rect);

  vantel::RectF outerRect_;  // derived from the pie rectangle at each render
  vantel::RectF innerRect_;

 private:
  void DragMove(TShiftState shift);
  void CentreMoved() noexcept;  // tells the ring (the centre's move)
  void HideRingHint();          // at the start of the centre's move
  void SetCurrentColor(TARGB color);
  // PushSurfaceAt; with a box (surface pixels), only that part is pushed and the window covers it.
  void PushImage(TLayeredSurface& surface, BYTE constantAlpha, POINT destination, const RECT* box);
  // Clears what the kept shape leaves out of the box (when it was made for this box).
  void ClearOutsideShape(TLayeredSurface& surface, const RECT& box);

  TGDIButtonGroupItems* groupItems_ = nullptr;
  POINT pressPoint_{};  // where the left button went down last (screen)
  std::uint8_t buttonKind_ = 0;
  std::uint8_t red_ = 0, green_ = 0, blue_ = 0;
  bool hot_ = false;
  bool startHidden_ = false;  // see the constructor
  vantel::ContrastScheme contrast_;
  TContrastSource contrastSource_ = &TCustomGDIButton::SystemContrast;
  TPushObserver* pushObserver_ = nullptr;
  std::unique_ptr<TPieRect> defaultPieRect_;
  TPieRect* pieRect_ = nullptr;
  std::string buttonGuid_;
  int paintCount_ = 0;
  bool layoutOnly_ = false;  // the render in progress pushes nothing
  bool boundsDeferred_ = false;
  bool applyingBounds_ = false;  // ApplyDeferredBounds is moving the window
  // The window's part of the button (see WindowBox) once a render gave it one; the whole button before.
  bool boxed_ = false;
  RECT box_{};
  RECT renderBox_{};              // the box of the render in progress (empty outside one)
  std::vector<RECT> shapeRects_;  // see KeepShape, window pixels
  RECT shapeBox_{};
  std::unique_ptr<TMenuGlassTimer> menuGlass_;
  // What the window holds since the last successful push: its size and where its ink is.
  struct TWindowImage {
    bool Valid = false;
    int Width = 0, Height = 0;
    POINT Origin{};
    RECT Ink{};
  } windowImage_;
};
