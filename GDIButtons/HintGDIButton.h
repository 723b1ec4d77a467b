// THintGDIButton: the layered window that names the hovered file in large red text above the ring (in high
// contrast, window text on the window colour).
#pragma once

#include <memory>
#include <string>

#include "GDIButtons/DragGDIButton.h"
#include "GDIButtons/GDIButtonClass.h"
#include "GDIButtons/HintLayout.h"

// The group gives the hint window the virtual desktop's rectangle (Left, Top, Width, Height; the origin
// may be negative), and the text is placed in that frame. Only the part
// of that frame that the text can cover is a real window on the screen: everything else would be fully
// transparent, and a desktop-sized layered image costs a desktop-sized bitmap and push on every hover.
// The pixels on the screen are the same either way. The window takes neither the pointer nor dropped
// files: they reach what lies below the name.
class THintGDIButton : public TDragGDIButton {
 public:
  // The drop-and-launch button with font size 24.
  explicit THintGDIButton(TComponent* owner, const TButtonColors& colors = {},
                          TButtonStart start = TButtonStart::Shown, const TButtonSystem& system = {});
  ~THintGDIButton() override;

  // What the hovered button calls: takes the text, shows the window and repaints it now.
  void ShowHintText(const std::wstring& text);
  // Hides the window; the text stays for the next show.
  void HideHintText();

  // Height of the text in pixels (24 unless changed).
  int FontSize() const { return fontSize_; }
  void SetFontSize(int size) { fontSize_ = size; }
  // The face asked for first ("Times New Roman"). When it is not installed the system's serif face
  // stands in, so the name still shows.
  const std::wstring& FontFaceName() const { return fontFaceName_; }
  void SetFontFaceName(std::wstring face) { fontFaceName_ = std::move(face); }

  // Draws HintText in opaque red (in high contrast: window text on an opaque box of the window colour) at
  // its place above the centre button, in the hint window's coordinates (the pie rectangle is not used).
  // The first call draws nothing, and so do an empty text, a kind other than 0 and a ring without a
  // centre button.
  void DrawPie(TLayeredSurface& surface, const TPieRect* rect) override;
  // Renders the part of the window the text can cover into an image of that size and pushes it at
  // constant alpha 150 (255 in high contrast), the window taking that place. Without text the window is
  // one transparent pixel.
  void UpdateLayered() override;
  // The frame's rectangle. The window itself stays on the part that holds the current image.
  void SetBounds(int left, int top, int width, int height) override;

  // Bytes of HintText in its multi-byte form (a double-byte character counts 2).
  std::size_t HintTextBytes() const;
  // The text origin the current text and centre button give, in window coordinates; (0, 0) without a
  // centre button.
  vantel::PointF TextOrigin() const;
  // Where the last DrawPie drew, in window coordinates (empty when it drew nothing).
  const RECT& TextBox() const { return textBox_; }

  // The face actually used for `face`: itself when installed, else the system's serif face, else its
  // sans-serif face; empty when GDI+ knows none of them.
  static std::wstring ResolveFontFace(const std::wstring& face);

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // What the current text will cover, in window coordinates, clipped to the window (empty: nothing):
  // the text's measured box with half an em around it. Should ink still reach an edge of it inside the
  // window, the render makes more room until it no longer does.
  virtual RECT TextCover() const;

 private:
  // Draws the text on a surface whose top-left is drawOffset_ in window coordinates (DrawPie without
  // its count).
  void DrawHintText(TLayeredSurface& surface);
  // A new, transparent image_ for this part of the window, drawn on at its place.
  void MakeImage(const RECT& part);
  // WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT, unless the window has it already.
  void ApplyHintStyle();
  // Whether image_ has ink on an edge that lies inside the frame.
  bool InkOnInnerEdge() const;
  // Limits the window to the pixels of image_ that have any alpha, for showing and for hit-testing.
  void ShapeToInk();
  // Shapes the window to image_ and pushes image_ at its place in the frame.
  void PushImage();

  int fontSize_ = vantel::kHintFontSize;
  std::wstring fontFaceName_ = L"Times New Roman";
  POINT drawOffset_{};                      // window coordinates of the surface DrawPie draws on
  RECT textBox_{};                          // what the last DrawPie covered
  std::unique_ptr<TLayeredSurface> image_;  // the part of the window last pushed
  POINT imageOrigin_{};                     // its place in window coordinates
  bool settingFrame_ = false;               // SetBounds runs: the window itself stays put
};

// The class reference a group is given for its hint window.
inline THintWindowClass HintGDIButtonClass(const TButtonSystem& system = {}) {
  return HintWindowClass<THintGDIButton>(system);
}
