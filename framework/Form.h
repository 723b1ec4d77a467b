// TForm: a top-level window with caption, frame style, colour, font, OnShow and OnClose.
#pragma once

#include <functional>
#include <string>

#include "framework/Controls.h"
#include "framework/Graphics.h"

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TFormStyle { fsNormal, fsStayOnTop };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* owner);  // hidden until shown; owned (Win32 sense) by the application window

  int ClientWidth();
  int ClientHeight();
  void SetClientWidth(int width);
  void SetClientHeight(int height);
  void SetClientSize(int width, int height);

  TFormBorderStyle BorderStyle = TFormBorderStyle::bsSizeable;  // set before the window exists
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle style);  // stay-on-top applies at once
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFont& Font() { return font_; }
  // The DPI the form is laid out for: the window's when it was made, then each WM_DPICHANGED's.
  int PixelsPerInch() const { return dpi_; }

  // Sends WM_CLOSE: OnClose decides (caNone keeps the form, caHide hides it; the main form's
  // closing terminates the application).
  void Close();
  void SetVisible(bool visible) override;  // shows with activation

  TNotifyEvent OnShow;  // every change from hidden to shown, before the window appears
  TNotifyEvent OnHide;
  TCloseEvent OnClose;

 protected:
  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void HandleCreated() override;
  // The window moved to a monitor of another DPI and took the rectangle the system suggested: the form
  // scales what it placed in 96-dpi pixels.
  virtual void DpiChanged(int dpi) { (void)dpi; }

 private:
  TFormStyle formStyle_ = TFormStyle::fsNormal;
  TColor color_ = clBtnFace;
  TFont font_;
  GdiObject<HBRUSH> brush_;
  bool shown_ = false;
  int dpi_ = 96;
  // Client size asked for before the window exists (applied at creation).
  int clientWidth_ = -1, clientHeight_ = -1;
};
