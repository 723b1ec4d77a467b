// TPanel, TLabel, TEdit and TBitBtn.
#include "framework/StdCtrls.h"

#include <utility>

#include <oleacc.h>

#include "framework/Accessible.h"
#include "framework/Form.h"

void ApplyParentFont(TWinControl& control) {
  for (TWinControl* p = control.Parent(); p; p = p->Parent()) {
    if (auto* form = dynamic_cast<TForm*>(p)) {
      if (control.HandleAllocated()) {
        SendMessageW(control.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(form->Font().Handle()), TRUE);
      }
      return;
    }
  }
}

namespace {
TFont* ParentFont(TWinControl& control) {
  for (TWinControl* p = control.Parent(); p; p = p->Parent()) {
    if (auto* form = dynamic_cast<TForm*>(p)) return &form->Font();
  }
  return nullptr;
}

void FillWith(HDC dc, const RECT& r, TColor color) {
  GdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(color)));
  FillRect(dc, &r, brush.get());
}
}  // namespace

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {}

void TPanel::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.WinClassName = L"VantelPanel";
  params.ExStyle |= WS_EX_CONTROLPARENT;
  if (FillParent && Parent()) {
    RECT r = Parent()->ClientRect();
    params.X = 0;
    params.Y = 0;
    params.Width = r.right - r.left;
    params.Height = r.bottom - r.top;
  }
}

LRESULT TPanel::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_ERASEBKGND) {
    FillWith(reinterpret_cast<HDC>(wParam), ClientRect(), Color);
    return 1;
  }
  return TCustomControl::WndProc(msg, wParam, lParam);
}

void TPanel::Paint() {
  FillWith(PaintDC(), ClientRect(), Color);
}

TLabel::TLabel(TComponent* owner) : TCustomControl(owner) {
  // Drawn without prefixes, so the text is the name as it stands.
  TAccessibleInfo info;
  info.Name = [this] { return Text(); };
  info.Role = ROLE_SYSTEM_STATICTEXT;
  SetAccessibleInfo(*this, std::move(info));
}

LRESULT TLabel::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_GETDLGCODE) return DLGC_STATIC;  // what the dialog manager and the label rule look for
  const LRESULT result = TCustomControl::WndProc(msg, wParam, lParam);
  if (msg == WM_SETTEXT) Invalidate();
  return result;
}

void TLabel::Paint() {
  HDC dc = PaintDC();
  RECT r = ClientRect();
  FillWith(dc, r, Color);
  TFont* font = ParentFont(*this);
  SelectScope select(dc, font ? static_cast<HGDIOBJ>(font->Handle()) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(font ? font->Color : clWindowText));
  const std::wstring text = Text();
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {}

void TEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.WinClassName = L"EDIT";
  params.SubclassSystemClass = true;
  params.Style |= WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT;
  params.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::SetColor(TColor color) {
  color_ = color;
  brush_.reset();
  Invalidate();
}

LRESULT TEdit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC: {
      auto dc = reinterpret_cast<HDC>(wParam);
      if (!brush_) brush_.reset(CreateSolidBrush(ColorToRGB(color_)));
      TFont* font = ParentFont(*this);
      SetTextColor(dc, ColorToRGB(font ? font->Color : clWindowText));
      SetBkColor(dc, ColorToRGB(color_));
      return reinterpret_cast<LRESULT>(brush_.get());
    }
    case CN_COMMAND:
      if (HIWORD(wParam) == EN_CHANGE && OnChange) OnChange(this);
      return 0;
    case WM_CREATE:
    default:
      return TWinControl::WndProc(msg, wParam, lParam);
  }
}

TBitBtn::TBitBtn(TComponent* owner) : TWinControl(owner) {
  // Posted: a click may open a modal dialog, and the caller waits for the answer.
  TAccessibleInfo info;
  info.Role = ROLE_SYSTEM_PUSHBUTTON;
  info.DefaultAction = L"按下";
  info.DoDefaultAction = [this] { PostMessageW(Handle(), BM_CLICK, 0, 0); };
  SetAccessibleInfo(*this, std::move(info));
}

void TBitBtn::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.WinClassName = L"BUTTON";
  params.SubclassSystemClass = true;
  params.Style |= WS_TABSTOP | BS_PUSHBUTTON;
  params.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
}

LRESULT TBitBtn::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == CN_COMMAND) {
    if (HIWORD(wParam) == BN_CLICKED) Click();
    return 0;
  }
  if (msg == WM_KEYDOWN && wParam == VK_RETURN && !(lParam & (1 << 30))) {  // not the key's repeats
    Click();
    return 0;
  }
  return TWinControl::WndProc(msg, wParam, lParam);
}
