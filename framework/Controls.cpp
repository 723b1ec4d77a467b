// TWinControl / TCustomControl: window creation, the shared window procedure, mouse and paint handling.
#include "framework/Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "framework/Application.h"
#include "framework/Handles.h"
#include "framework/Menus.h"
#include "framework/SystemMessage.h"
#include "framework/WindowClass.h"
#include "framework/text/TextCodec.h"

namespace {
// Marks windows whose GWLP_USERDATA is a TWinControl*: other code may subclass our windows or
// hand us foreign handles, so the user-data slot alone proves nothing.
constexpr wchar_t kControlProp[] = L"Vantel.TWinControl";

std::string LastErrorText(const char* what) {
  const DWORD code = GetLastError();
  return std::string(what) + " " + WideToGb18030(SystemMessage(code));
}
}  // namespace

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState shift = 0;
  if (keys & MK_SHIFT) shift |= ssShift;
  if (keys & MK_CONTROL) shift |= ssCtrl;
  if (keys & MK_LBUTTON) shift |= ssLeft;
  if (keys & MK_RBUTTON) shift |= ssRight;
  if (keys & MK_MBUTTON) shift |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

TWinControl::TWinControl(TComponent* owner) : TComponent(owner) {}

TWinControl::~TWinControl() {
  *alive_ = false;
  hooks_.Clear();
  for (TWinControl* child : controls_) child->parent_ = nullptr;
  controls_.clear();
  if (parent_) {
    auto& siblings = parent_->controls_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  DestroyHandle();
}

TWinControl* TWinControl::FromHandle(HWND window) {
  if (!window || !GetPropW(window, kControlProp)) return nullptr;
  return static_cast<TWinControl*>(LinkedWindowObject(window));
}

HWND TWinControl::Handle() {
  if (!handle_) CreateWnd();
  return handle_;
}

void TWinControl::DestroyHandle() {
  if (handle_) DestroyWindow(handle_);  // WM_NCDESTROY clears handle_
  handle_ = nullptr;
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Caption = caption_;
  params.Style = WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (parent_ ? WS_CHILD : WS_POPUP);
  if (visible_) params.Style |= WS_VISIBLE;
  if (!enabled_) params.Style |= WS_DISABLED;
  params.ExStyle = 0;
  params.X = left_;
  params.Y = top_;
  params.Width = width_;
  params.Height = height_;
  params.WndParent = parent_ ? parent_->Handle() : nullptr;
  params.WindowClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  params.WinClassName = L"VantelWinControl";
}

// The window link: also marked by a property, as FromHandle is asked about any window.
struct TWinControl::WindowRoute {
  using Object = TWinControl;
  static void Attached(TWinControl& control, HWND window) noexcept {
    control.handle_ = window;
    SetPropW(window, kControlProp, reinterpret_cast<HANDLE>(1));
  }
  static LRESULT Message(TWinControl& control, HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
    return control.Dispatch(msg, wParam, lParam);
  }
  static LRESULT Failed(TWinControl& control, UINT) noexcept {
    HandleCurrentException(&control);
    return 0;
  }
  static void Detached(TWinControl& control, HWND window) noexcept {
    RemovePropW(window, kControlProp);
    if (control.systemProc_) {
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(control.systemProc_));
    }
    control.systemProc_ = nullptr;
    control.handle_ = nullptr;
    control.mouseInside_ = false;
  }
};

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if (handle_) return;  // CreateParams may have created it through a parent chain
  // A top-level window is shown after creation without activation: a window created visible
  // is activated, which also makes Wine treat it as window-managed (slow to unmap without a manager).
  const bool showAfterCreation = (params.Style & WS_VISIBLE) && !(params.Style & WS_CHILD);
  if (showAfterCreation) params.Style &= ~static_cast<DWORD>(WS_VISIBLE);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!params.SubclassSystemClass &&
      !RegisterRoutedClass<WindowRoute>(params.WinClassName.c_str(), params.WindowClassStyle,
                                        LoadCursorW(nullptr, IDC_ARROW))) {
    throw std::runtime_error(LastErrorText("Cannot register window class."));
  }
  HWND window =
      CreateWindowExW(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(), params.Style,
                      params.X, params.Y, params.Width, params.Height, params.WndParent, nullptr, instance,
                      params.SubclassSystemClass ? nullptr : this);
  if (!window) throw std::runtime_error(LastErrorText("Cannot create window."));
  if (params.SubclassSystemClass) systemProc_ = SubclassRoutedWindow<WindowRoute>(window, *this);
  PositionChanged();
  if (parent_) parent_->RestackChildren();
  if (showAfterCreation) ShowWindow(window, SW_SHOWNA);
  HandleCreated();
}

LRESULT TWinControl::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (LRESULT result = 0; hooks_.Run(msg, wParam, lParam, result)) return result;
  return WndProc(msg, wParam, lParam);
}

LRESULT TWinControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  return WndProc(msg, wParam, lParam);
}

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!handle_) return 0;
  if (systemProc_) return CallWindowProcW(systemProc_, handle_, msg, wParam, lParam);
  return DefWindowProcW(handle_, msg, wParam, lParam);
}

void TWinControl::TrackMouseEnter() {
  if (mouseInside_ || !handle_) return;
  mouseInside_ = true;
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof(track);
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = handle_;
  TrackMouseEvent(&track);
  Perform(CM_MOUSEENTER, 0, 0);
}

void TWinControl::MouseDown(TMouseButton button, TShiftState shift, LPARAM pos) {
  if (OnMouseDown) OnMouseDown(this, button, shift, GET_X_LPARAM(pos), GET_Y_LPARAM(pos));
}

void TWinControl::MouseUp(TMouseButton button, TShiftState shift, LPARAM pos) {
  if (OnMouseUp) OnMouseUp(this, button, shift, GET_X_LPARAM(pos), GET_Y_LPARAM(pos));
}

void TWinControl::Click() {
  const TNotifyEvent handler = OnClick;  // the handler may free what holds OnClick
  if (handler) handler(this);
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  const bool framework = systemProc_ == nullptr;  // system controls do their own capture and clicks
  switch (msg) {
    case WM_MOUSEMOVE: {
      TrackMouseEnter();
      if (OnMouseMove) {
        OnMouseMove(this, KeysToShiftState(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      }
      return DefaultHandler(msg, wParam, lParam);
    }
    case WM_MOUSELEAVE:
      mouseInside_ = false;
      Perform(CM_MOUSELEAVE, 0, 0);
      return 0;
    case CM_MOUSEENTER:
      if (OnMouseEnter) OnMouseEnter(this);
      return 0;
    case CM_MOUSELEAVE:
      if (OnMouseLeave) OnMouseLeave(this);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const LRESULT result = DefaultHandler(msg, wParam, lParam);
      if (framework && handle_) SetCapture(handle_);
      TShiftState shift = KeysToShiftState(wParam);
      if (msg == WM_LBUTTONDOWN) {
        clicked_ = framework;
      } else {
        shift |= ssDouble;
        const TNotifyEvent dbl = OnDblClick;
        if (dbl) dbl(this);
      }
      MouseDown(TMouseButton::mbLeft, shift, lParam);
      return result;
    }
    case WM_LBUTTONUP: {
      const auto alive = alive_;
      const LRESULT result = DefaultHandler(msg, wParam, lParam);
      if (!*alive) return result;
      if (framework && handle_ && GetCapture() == handle_) ReleaseCapture();
      if (clicked_) {
        clicked_ = false;
        RECT client = ClientRect();
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (PtInRect(&client, pt)) Click();
        if (!*alive) return result;
      }
      MouseUp(TMouseButton::mbLeft, KeysToShiftState(wParam), lParam);
      return result;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: {
      const LRESULT result = DefaultHandler(msg, wParam, lParam);
      TShiftState shift = KeysToShiftState(wParam);
      if (msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK) shift |= ssDouble;
      const bool right = msg == WM_RBUTTONDOWN || msg == WM_RBUTTONDBLCLK;
      MouseDown(right ? TMouseButton::mbRight : TMouseButton::mbMiddle, shift, lParam);
      return result;
    }
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      // Default handling first: for the right button it sends WM_CONTEXTMENU, whose popup menu
      // runs its own loop; OnMouseUp follows once the menu has closed.
      const auto alive = alive_;
      const LRESULT result = DefaultHandler(msg, wParam, lParam);
      if (!*alive) return result;
      MouseUp(msg == WM_RBUTTONUP ? TMouseButton::mbRight : TMouseButton::mbMiddle, KeysToShiftState(wParam),
              lParam);
      return result;
    }
    case WM_CONTEXTMENU: {
      if (popupMenu_ && popupMenu_->AutoPopup) {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (pt.x == -1 && pt.y == -1) GetCursorPos(&pt);  // from the keyboard
        popupMenu_->PopupComponent = this;
        popupMenu_->Popup(pt.x, pt.y);
        return 0;
      }
      return DefaultHandler(msg, wParam, lParam);
    }
    case WM_WINDOWPOSCHANGED:
      PositionChanged();
      return DefaultHandler(msg, wParam, lParam);
    case WM_SHOWWINDOW:
      if (lParam == 0) visible_ = wParam != 0;
      return DefaultHandler(msg, wParam, lParam);
    case WM_COMMAND:
      if (lParam) {
        if (TWinControl* control = FromHandle(reinterpret_cast<HWND>(lParam)); control && control != this) {
          return control->Perform(CN_COMMAND, wParam, lParam);
        }
      }
      return DefaultHandler(msg, wParam, lParam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (TWinControl* control = FromHandle(reinterpret_cast<HWND>(lParam)); control && control != this) {
        return control->Perform(CN_BASE + msg, wParam, lParam);
      }
      return DefaultHandler(msg, wParam, lParam);
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORBTN:
      // Not handled by the control: what the parent's default handling would give.
      return DefWindowProcW(handle_ ? GetParent(handle_) : nullptr, msg - CN_BASE, wParam, lParam);
    case CN_COMMAND:
      return 0;
    default:
      return DefaultHandler(msg, wParam, lParam);
  }
}

void TWinControl::PositionChanged() {
  if (!handle_) return;
  RECT r{};
  GetWindowRect(handle_, &r);
  HWND parent = GetAncestor(handle_, GA_PARENT);
  if (parent && parent != GetDesktopWindow()) {
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  left_ = r.left;
  top_ = r.top;
  width_ = r.right - r.left;
  height_ = r.bottom - r.top;
}

void TWinControl::StoreBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  StoreBounds(left, top, width, height);
  if (handle_) SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT TWinControl::ClientRect() {
  RECT r{0, 0, width_, height_};
  if (handle_) GetClientRect(handle_, &r);
  return r;
}

void TWinControl::SetParent(TWinControl* parent) {
  if (parent == parent_ || parent == this) return;
  if (parent_) {
    auto& siblings = parent_->controls_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  parent_ = parent;
  if (parent_) parent_->controls_.push_back(this);
  // Only a child window follows its framework parent; a top-level window keeps its owner.
  if (handle_ && parent_ && (GetWindowLongPtrW(handle_, GWL_STYLE) & WS_CHILD)) {
    ::SetParent(handle_, parent_->Handle());
  }
}

void TWinControl::RestackChildren() {
  std::vector<TWinControl*> ordered;
  for (TWinControl* c : controls_) {
    if (c->handle_ && c->TabOrder >= 0) ordered.push_back(c);
  }
  if (ordered.empty()) return;
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const TWinControl* a, const TWinControl* b) { return a->TabOrder < b->TabOrder; });
  HWND after = HWND_TOP;
  auto stack = [&after](HWND window) {
    SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = window;
  };
  for (TWinControl* c : ordered) {
    for (TWinControl* label : controls_) {
      if (label->handle_ && label->LabelledControl() == c) stack(label->handle_);
    }
    stack(c->handle_);
  }
}

void TWinControl::SetVisible(bool visible) {
  visible_ = visible;
  if (visible) {
    ShowWindow(Handle(), SW_SHOWNA);
  } else if (handle_) {
    ShowWindow(handle_, SW_HIDE);
  }
}

void TWinControl::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (handle_) EnableWindow(handle_, enabled);
}

void TWinControl::BringToFront() {
  // A window with none above it is in front already; asking anyway costs the window system a restack.
  if (handle_ && GetWindow(handle_, GW_HWNDPREV)) {
    SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void TWinControl::SetFocus() {
  ::SetFocus(Handle());
}

void TWinControl::SetCaption(std::wstring caption) {
  caption_ = std::move(caption);
  if (handle_) SetWindowTextW(handle_, caption_.c_str());
}

std::wstring TWinControl::Text() {
  if (!handle_) return caption_;
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(handle_)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(handle_, text.data(), static_cast<int>(text.size()))));
  return text;
}

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Repaint() {
  if (!handle_) return;
  InvalidateRect(handle_, nullptr, TRUE);
  UpdateWindow(handle_);
}

void TWinControl::SetPopupMenu(TPopupMenu* menu) {
  if (popupMenu_ == menu) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = menu;
  if (popupMenu_) popupMenu_->FreeNotification(this);
}

void TWinControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && popupMenu_ && component == popupMenu_) popupMenu_ = nullptr;
}

int TWinControl::HookWndProc(TWindowHook hook) {
  return hooks_.Add(std::move(hook));
}

void TWinControl::UnhookWndProc(int id) {
  hooks_.Remove(id);
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

void TCustomControl::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.WinClassName = L"VantelCustomControl";
}

LRESULT TCustomControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PaintScope paint(Handle());
      struct Reset {
        HDC& dc;
        ~Reset() { dc = nullptr; }
      } reset{paintDC_};
      paintDC_ = paint.dc();
      Paint();
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // Paint covers the whole control
    default:
      return TWinControl::WndProc(msg, wParam, lParam);
  }
}
