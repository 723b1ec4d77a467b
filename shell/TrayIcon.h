// TTrayIcon: the program's icon in the notification area, its mouse events and its popup menu.
#pragma once

#include <memory>
#include <string>

#include "framework/Win32.h"  // before <shellapi.h>

#include <shellapi.h>

#include "framework/Component.h"
#include "framework/Controls.h"
#include "framework/Handles.h"
#include "shell/SimpleTimer.h"

class TPopupMenu;
class TTrayIconHandler;

class TTrayIcon : public TComponent {
 public:
  explicit TTrayIcon(TComponent* owner);
  ~TTrayIcon() override;  // removes the icon from the notification area

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }  // false: the shell's callbacks are ignored
  HICON Icon() const { return icon_.get(); }
  void SetIcon(HICON icon);  // keeps a copy of its own; updates the shell's icon
  bool IconVisible() const { return iconVisible_; }
  void SetIconVisible(bool visible);  // true adds the icon, false removes it
  const std::wstring& Hint() const { return hint_; }
  void SetHint(std::wstring hint);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool show);
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);  // non-owning; forgotten when the menu goes
  bool WantEnterExitEvents() const { return wantEnterExit_; }
  void SetWantEnterExitEvents(bool want);
  bool LeftPopup = false;  // the menu opens on the left button too

  TNotifyEvent OnClick, OnDblClick, OnMouseEnter, OnMouseExit;
  TMouseEvent OnMouseDown, OnMouseUp;  // X, Y: the cursor in screen pixels
  TMouseMoveEvent OnMouseMove;

  // The shell's answer is returned; the program itself ignores it (an add of an icon already there
  // is refused harmlessly).
  virtual bool AddToTray();
  virtual bool UpdateInTray();
  virtual bool RemoveFromTray();

  // A balloon from the icon (a warning), as the shell shows it; false when the shell refused it.
  bool ShowBalloon(const std::wstring& title, const std::wstring& text);

  void ShowMainWindow();
  void HideMainWindow();
  void HideTaskbarButton();

  // How the shell knows the icon: the shared handler window and this component's identifier.
  HWND HandlerWindow() const;
  UINT Id() const { return id_; }
  // The message the shell calls back with, to the handler window.
  static constexpr UINT kCallbackMessage = 0x800;

 protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  // Event firing, one operation per event.
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseEnter();
  virtual void MouseExit();

  // Whether the click and exit timers are running (they run only while they have something to watch).
  bool ClickTimerRunning() const { return clickTimer_.Running(); }
  bool ExitTimerRunning() const { return exitTimer_.Running(); }

 private:
  friend class TTrayIconHandler;
  void HandleCallback(UINT mouseMessage);
  void ClickTimerExpired();
  void ExitTimerTick();
  void ShowMenu();
  void ClickDefaultMenuItem();
  bool Notify(DWORD message);  // fills the record, then Shell_NotifyIconW
  bool ApplicationHook(UINT msg, WPARAM wParam, LPARAM lParam);
  bool OwnerHook(UINT msg, WPARAM wParam, LPARAM lParam);
  TWinControl* OwnerControl() const;

  std::shared_ptr<TTrayIconHandler> handler_;
  UINT id_ = 0;
  NOTIFYICONDATAW data_{};
  UniqueIcon icon_;
  std::wstring hint_;
  TPopupMenu* popupMenu_ = nullptr;
  bool enabled_ = true;
  bool iconVisible_ = false;
  bool showHint_ = true;
  bool wantEnterExit_ = false;

  TSimpleTimer clickTimer_;
  TSimpleTimer exitTimer_{20};  // runs only between the pointer's entry and its exit
  bool clickStart_ = false;
  bool clickReady_ = false;
  bool doubleClicked_ = false;
  POINT lastPosition_{};
  bool didExit_ = true;

  int applicationHookId_ = 0;
  TWinControl* ownerControl_ = nullptr;  // the owner hook's control (non-owning)
  int ownerHookId_ = 0;
};
