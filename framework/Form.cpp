// TForm: frame styles, client size, stay-on-top, background colour, OnShow and OnClose.
#include "framework/Form.h"

#include "framework/Application.h"
#include "framework/Dpi.h"

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  SetVisibleFlag(false);
}

void TForm::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.WinClassName = L"VantelForm";
  params.WindowClassStyle = CS_DBLCLKS;
  // Created hidden: showing goes through ShowWindow so that WM_SHOWWINDOW (OnShow) is seen.
  params.Style = WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  params.ExStyle = 0;
  switch (BorderStyle) {
    case TFormBorderStyle::bsNone:
      params.Style |= WS_POPUP;
      break;
    case TFormBorderStyle::bsSingle:
      params.Style |= WS_CAPTION | WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
      break;
    case TFormBorderStyle::bsSizeable:
      params.Style |= WS_OVERLAPPEDWINDOW;
      break;
    case TFormBorderStyle::bsDialog:
      params.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
      params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
    case TFormBorderStyle::bsToolWindow:
      params.Style |= WS_CAPTION | WS_SYSMENU;
      params.ExStyle |= WS_EX_TOOLWINDOW;
      break;
    case TFormBorderStyle::bsSizeToolWin:
      params.Style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
      params.ExStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (formStyle_ == TFormStyle::fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
  params.WndParent = Application ? Application->Handle() : nullptr;
  if (clientWidth_ >= 0 || clientHeight_ >= 0) {
    RECT r{0, 0, clientWidth_ >= 0 ? clientWidth_ : 0, clientHeight_ >= 0 ? clientHeight_ : 0};
    AdjustWindowRectEx(&r, params.Style, FALSE, params.ExStyle);
    if (clientWidth_ >= 0) params.Width = r.right - r.left;
    if (clientHeight_ >= 0) params.Height = r.bottom - r.top;
  }
}

void TForm::HandleCreated() {
  TWinControl::HandleCreated();
  dpi_ = Dpi::ForWindow(Handle());
}

int TForm::ClientWidth() {
  if (!HandleAllocated()) return clientWidth_ >= 0 ? clientWidth_ : Width();
  RECT r = ClientRect();
  return r.right - r.left;
}

int TForm::ClientHeight() {
  if (!HandleAllocated()) return clientHeight_ >= 0 ? clientHeight_ : Height();
  RECT r = ClientRect();
  return r.bottom - r.top;
}

void TForm::SetClientWidth(int width) {
  SetClientSize(width, ClientHeight());
}
void TForm::SetClientHeight(int height) {
  SetClientSize(ClientWidth(), height);
}

void TForm::SetClientSize(int width, int height) {
  if (!HandleAllocated()) {
    clientWidth_ = width;
    clientHeight_ = height;
    return;
  }
  HWND window = Handle();
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TForm::SetFormStyle(TFormStyle style) {
  formStyle_ = style;
  if (HandleAllocated()) {
    SetWindowPos(Handle(), style == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void TForm::SetColor(TColor color) {
  color_ = color;
  brush_.reset();
  Invalidate();
}

void TForm::SetVisible(bool visible) {
  SetVisibleFlag(visible);
  if (visible) {
    ShowWindow(Handle(), SW_SHOW);
  } else if (HandleAllocated()) {
    ShowWindow(Handle(), SW_HIDE);
  }
}

void TForm::Close() {
  Perform(WM_CLOSE, 0, 0);
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SHOWWINDOW:
      // Only direct show/hide calls; an owner being minimised or restored is not a visibility change.
      if (lParam == 0) {
        const bool showing = wParam != 0;
        if (showing != shown_) {
          shown_ = showing;
          const TNotifyEvent handler = showing ? OnShow : OnHide;
          if (handler) handler(this);
        }
      }
      return TWinControl::WndProc(msg, wParam, lParam);
    case WM_ERASEBKGND: {
      if (!brush_) brush_.reset(CreateSolidBrush(ColorToRGB(color_)));
      RECT r = ClientRect();
      FillRect(reinterpret_cast<HDC>(wParam), &r, brush_.get());
      return 1;
    }
    case WM_DPICHANGED: {
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      dpi_ = HIWORD(wParam) ? HIWORD(wParam) : Dpi::kBase;
      SetBounds(suggested.left, suggested.top, suggested.right - suggested.left,
                suggested.bottom - suggested.top);
      DpiChanged(dpi_);
      return 0;
    }
    case WM_COMMAND:
      // Esc, as the dialog manager hands it on (IsDialogMessage): the form closes as by its close box.
      if (LOWORD(wParam) == IDCANCEL && lParam == 0) {
        Close();
        return 0;
      }
      return TWinControl::WndProc(msg, wParam, lParam);
    case WM_CLOSE: {
      TCloseAction action = TCloseAction::caHide;
      if (OnClose) OnClose(this, action);
      if (action == TCloseAction::caNone) return 0;
      if (Application && Application->MainForm() == this) {
        Application->Terminate();
      } else if (action == TCloseAction::caMinimize) {
        ShowWindow(Handle(), SW_MINIMIZE);
      } else {
        Hide();  // caFree too: the form's C++ owner frees it
      }
      return 0;
    }
    default:
      return TWinControl::WndProc(msg, wParam, lParam);
  }
}
