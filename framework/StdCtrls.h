// Simple standard controls for a settings window: TPanel, TLabel, TEdit, TBitBtn.
#pragma once

#include <string>

#include "framework/Controls.h"
#include "framework/Graphics.h"

// A plain child panel filled with its colour; parent of other controls.
class TPanel : public TCustomControl {
 public:
  explicit TPanel(TComponent* owner);
  TColor Color = clBtnFace;
  bool FillParent = false;  // takes its parent's client area at creation (alClient)

 protected:
  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void Paint() override;
};

// A static text drawn in the parent form's font; to accessibility clients a static text named by it.
class TLabel : public TCustomControl {
 public:
  explicit TLabel(TComponent* owner);
  TColor Color = clBtnFace;
  // The control this label names (non-owning; set before the windows are made): stacked right after it.
  TWinControl* FocusControl = nullptr;

 protected:
  void Paint() override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  TWinControl* LabelledControl() const override { return FocusControl; }
};

// A single-line edit field ("EDIT") whose background colour can be set.
class TEdit : public TWinControl {
 public:
  explicit TEdit(TComponent* owner);
  void SetText(std::wstring text) { SetCaption(std::move(text)); }
  TColor Color() const { return color_; }
  void SetColor(TColor color);  // repaints the field
  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  TColor color_ = clWindow;
  GdiObject<HBRUSH> brush_;
};

// A push button ("BUTTON"); OnClick on BN_CLICKED, and on Enter while it has the focus, as in a dialog.
// To accessibility clients a push button whose default action clicks it.
class TBitBtn : public TWinControl {
 public:
  explicit TBitBtn(TComponent* owner);
  bool HotTrack = false;  // hover look, left to the visual style

 protected:
  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

// Applies the nearest form's font to a control's window (standard controls draw with WM_SETFONT).
void ApplyParentFont(TWinControl& control);
