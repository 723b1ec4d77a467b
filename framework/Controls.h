// TWinControl and TCustomControl: windowed controls over one shared window procedure.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Win32.h"
#include "framework/WindowHooks.h"

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using TShiftState = unsigned;
enum : unsigned {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64
};
using TMouseEvent = std::function<void(TObject*, TMouseButton, TShiftState, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject*, TShiftState, int x, int y)>;

// Framework notifications, delivered straight into WndProc.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
// Notifications a parent reflects back to the child control they are about (CN_BASE + WM_xxx).
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;

TShiftState KeysToShiftState(WPARAM keys);  // MK_xxx flags + GetKeyState(VK_MENU) for Alt

struct TCreateParams {
  std::wstring Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;  // parent of a WS_CHILD window, owner of a top-level one
  UINT WindowClassStyle = 0;
  std::wstring WinClassName;
  // Set by controls built on a system class ("EDIT", "BUTTON"): the window is created from
  // that class and then subclassed onto the framework's window procedure.
  bool SubclassSystemClass = false;
};

class TPopupMenu;

class TWinControl : public TComponent {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;  // destroys the window if it exists

  HWND Handle();  // creates the window on first use
  bool HandleAllocated() const { return handle_ != nullptr; }
  void DestroyHandle();

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  RECT ClientRect();

  // Framework parent (non-owning). A WS_CHILD control gets its parent's window as native
  // parent at creation, or at once when it already has a window.
  TWinControl* Parent() const { return parent_; }
  void SetParent(TWinControl* parent);
  const std::vector<TWinControl*>& Controls() const { return controls_; }  // framework children

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  void BringToFront();
  void SetFocus();

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(std::wstring caption);  // window text
  std::wstring Text();                    // current window text (what the user typed, for an edit)

  LRESULT Perform(UINT msg, WPARAM wParam, LPARAM lParam);  // synchronous, straight into WndProc
  virtual void Invalidate();
  virtual void Repaint();  // invalidate and update now

  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);  // non-owning; opens on WM_CONTEXTMENU at the cursor

  bool MouseInControl() const { return mouseInside_; }

  int HookWndProc(TWindowHook hook);  // hooks see messages before WndProc
  void UnhookWndProc(int id);

  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnDblClick, OnClick, OnMouseEnter, OnMouseLeave;
  bool DoubleBuffered = false;  // kept for the callers; painting is not buffered by the framework
  int TabOrder = -1;            // -1: creation order

  // The framework control of a window, or nullptr for any other window.
  static TWinControl* FromHandle(HWND window);

 protected:
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();  // CreateParams + CreateWindowExW
  virtual void HandleCreated() {}
  virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual void Click();  // fires OnClick
  void Notification(TComponent* component, TOperation operation) override;
  void SetVisibleFlag(bool visible) { visible_ = visible; }  // before the window exists
  // Left, Top, Width and Height without touching the window (which a subclass moves later).
  void StoreBounds(int left, int top, int width, int height);

 private:
  struct WindowRoute;  // routes the window's messages to Dispatch (WindowClass.h)
  LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
  void MouseDown(TMouseButton button, TShiftState shift, LPARAM pos);
  void MouseUp(TMouseButton button, TShiftState shift, LPARAM pos);
  void TrackMouseEnter();
  void PositionChanged();
  void RestackChildren();
  // The control this one names, stacked right before it: the system takes a control's accessible name from
  // the static text just before it in z-order.
  virtual TWinControl* LabelledControl() const { return nullptr; }

  HWND handle_ = nullptr;
  WNDPROC systemProc_ = nullptr;  // the system class's procedure when subclassed
  TWinControl* parent_ = nullptr;
  std::vector<TWinControl*> controls_;
  TPopupMenu* popupMenu_ = nullptr;
  std::wstring caption_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  bool mouseInside_ = false;
  bool clicked_ = false;
  TWindowHooks hooks_;
  // Lets a handler notice that its control was freed while a nested loop ran (a menu command).
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// A custom-drawn windowed control: WM_PAINT runs Paint between BeginPaint and EndPaint.
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner);

 protected:
  virtual void Paint() {}
  void CreateParams(TCreateParams& params) override;
  HDC PaintDC() const { return paintDC_; }  // valid only while Paint runs
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  HDC paintDC_ = nullptr;
};
