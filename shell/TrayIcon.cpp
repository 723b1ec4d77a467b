// TTrayIcon: the notification record, the shell's callbacks, the menu and the window hooks.
#include "shell/TrayIcon.h"

#include <cwchar>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/Menus.h"
#include "shell/TrayIconHandler.h"
#include "shell/TrayTip.h"

namespace {

TShiftState KeyboardShiftState() {
  TShiftState shift = 0;
  if (GetAsyncKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (GetAsyncKeyState(VK_MENU) < 0) shift |= ssAlt;
  if (GetAsyncKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  return shift;
}

POINT CursorPosition() {
  POINT p{};
  GetCursorPos(&p);
  return p;
}

}  // namespace

TTrayIcon::TTrayIcon(TComponent* owner) : TComponent(owner), handler_(TTrayIconHandler::Join()) {
  // NOTIFYICONDATAW carries a 32-bit identifier, too small for the component's address: the handler
  // hands out a process-unique number and maps it back.
  id_ = handler_->Add(this);
  data_.cbSize = sizeof(data_);
  data_.hWnd = handler_->Handle();
  data_.uID = id_;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = kCallbackMessage;

  clickTimer_.OnTimer = [this](TObject*) { ClickTimerExpired(); };
  exitTimer_.OnTimer = [this](TObject*) { ExitTimerTick(); };

  TaskbarCreatedMessage();  // registered once, before any icon is added
  if (Application) {
    applicationHookId_ =
        Application->HookMainWindow([this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT&) {
          return ApplicationHook(msg, wParam, lParam);
        });
  }
  ownerControl_ = dynamic_cast<TWinControl*>(owner);
  if (ownerControl_) {
    ownerHookId_ = ownerControl_->HookWndProc(
        [this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT&) { return OwnerHook(msg, wParam, lParam); });
  }
}

TTrayIcon::~TTrayIcon() {
  RemoveFromTray();
  clickTimer_.Stop();
  exitTimer_.Stop();
  if (Application && applicationHookId_) Application->UnhookMainWindow(applicationHookId_);
  // An owner destroyed before us has already removed its hooks, ours among them, and is no longer our owner.
  if (ownerControl_ && ownerHookId_ && Owner() == ownerControl_) ownerControl_->UnhookWndProc(ownerHookId_);
  handler_->Remove(id_);
}

HWND TTrayIcon::HandlerWindow() const {
  return handler_->Handle();
}

TWinControl* TTrayIcon::OwnerControl() const {
  return dynamic_cast<TWinControl*>(Owner());
}

void TTrayIcon::SetIcon(HICON icon) {
  icon_.reset(icon ? CopyIcon(icon) : nullptr);
  UpdateInTray();
}

void TTrayIcon::SetIconVisible(bool visible) {
  if (visible) {
    AddToTray();
  } else {
    RemoveFromTray();
  }
}

void TTrayIcon::SetHint(std::wstring hint) {
  hint_ = std::move(hint);
  UpdateInTray();
}

void TTrayIcon::SetShowHint(bool show) {
  showHint_ = show;
  UpdateInTray();
}

void TTrayIcon::SetPopupMenu(TPopupMenu* menu) {
  if (popupMenu_ == menu) return;
  if (popupMenu_) RemoveFreeNotification(popupMenu_);
  popupMenu_ = menu;
  if (popupMenu_) FreeNotification(popupMenu_);
}

void TTrayIcon::SetWantEnterExitEvents(bool want) {
  wantEnterExit_ = want;
  if (!want) {
    exitTimer_.Stop();
  } else if (!didExit_) {
    exitTimer_.Start();  // the pointer is over the icon right now
  }
}

void TTrayIcon::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

void TTrayIcon::Loaded() {
  TComponent::Loaded();
  UpdateInTray();
  SetIconVisible(iconVisible_);
  // The classic notification behaviour (version 0).
  data_.uVersion = 0;
  Notify(NIM_SETVERSION);
}

bool TTrayIcon::Notify(DWORD message) {
  data_.hIcon = icon_.get();
  const std::wstring tip = TrayTipText(showHint_, hint_);
  std::wmemset(data_.szTip, L'\0', sizeof(data_.szTip) / sizeof(data_.szTip[0]));
  std::wmemcpy(data_.szTip, tip.data(), tip.size());
  return Shell_NotifyIconW(message, &data_) != FALSE;
}

bool TTrayIcon::ShowBalloon(const std::wstring& title, const std::wstring& text) {
  NOTIFYICONDATAW balloon = data_;
  balloon.uFlags = NIF_INFO;
  balloon.dwInfoFlags = NIIF_WARNING;
  balloon.szInfoTitle[title.copy(balloon.szInfoTitle, std::size(balloon.szInfoTitle) - 1)] = L'\0';
  balloon.szInfo[text.copy(balloon.szInfo, std::size(balloon.szInfo) - 1)] = L'\0';
  return Shell_NotifyIconW(NIM_MODIFY, &balloon) != FALSE;
}

bool TTrayIcon::AddToTray() {
  iconVisible_ = true;
  return Notify(NIM_ADD);
}

bool TTrayIcon::RemoveFromTray() {
  iconVisible_ = false;
  return Notify(NIM_DELETE);
}

bool TTrayIcon::UpdateInTray() {
  return Notify(NIM_MODIFY);
}

void TTrayIcon::HandleCallback(UINT mouseMessage) {
  if (!enabled_) return;
  const POINT p = CursorPosition();
  const TShiftState keys = KeyboardShiftState();
  switch (mouseMessage) {
    case WM_MOUSEMOVE:
      if (wantEnterExit_ && didExit_) {
        didExit_ = false;
        exitTimer_.Start();
        MouseEnter();
      }
      MouseMove(keys, p.x, p.y);
      lastPosition_ = p;
      break;
    case WM_LBUTTONDOWN:
      if (OnDblClick) {
        clickTimer_.SetInterval(GetDoubleClickTime());
        clickTimer_.Start();
      }
      MouseDown(TMouseButton::mbLeft, keys | ssLeft, p.x, p.y);
      clickStart_ = true;
      if (LeftPopup) ShowMenu();
      break;
    case WM_LBUTTONUP:
      if (clickStart_) clickReady_ = true;
      if (clickStart_ && !clickTimer_.Running()) {
        clickStart_ = false;
        clickReady_ = false;
        Click();
      }
      clickStart_ = false;
      MouseUp(TMouseButton::mbLeft, keys | ssLeft, p.x, p.y);
      break;
    case WM_LBUTTONDBLCLK:
      clickReady_ = false;
      doubleClicked_ = true;
      DblClick();
      if (!LeftPopup) ClickDefaultMenuItem();
      break;
    case WM_RBUTTONDOWN:
      MouseDown(TMouseButton::mbRight, keys | ssRight, p.x, p.y);
      if (popupMenu_ && popupMenu_->AutoPopup) {
        SetForegroundWindow(HandlerWindow());
        ShowMenu();
      }
      break;
    case WM_RBUTTONUP:
      MouseUp(TMouseButton::mbRight, keys | ssRight, p.x, p.y);
      break;
    case WM_MBUTTONDOWN:
      MouseDown(TMouseButton::mbMiddle, keys | ssMiddle, p.x, p.y);
      break;
    case WM_MBUTTONUP:
      MouseUp(TMouseButton::mbMiddle, keys | ssMiddle, p.x, p.y);
      break;
    default:
      break;
  }
}

void TTrayIcon::ClickTimerExpired() {
  clickTimer_.Stop();
  if (!doubleClicked_ && clickReady_) {
    clickReady_ = false;
    Click();
  }
  doubleClicked_ = false;
}

void TTrayIcon::ExitTimerTick() {
  if (didExit_) {
    exitTimer_.Stop();
    return;
  }
  const POINT p = CursorPosition();
  if (p.x == lastPosition_.x && p.y == lastPosition_.y) return;
  didExit_ = true;
  exitTimer_.Stop();  // nothing to watch until the pointer comes back
  MouseExit();
}

void TTrayIcon::ShowMenu() {
  if (!popupMenu_ || !popupMenu_->AutoPopup) return;
  // The shell's known quirk: without the foreground the menu does not close when the user clicks away.
  SetForegroundWindow(HandlerWindow());
  if (Application) Application->ProcessMessages();
  if (!popupMenu_) return;  // a pending message took the menu away
  popupMenu_->PopupComponent = this;
  const POINT p = CursorPosition();
  popupMenu_->Popup(p.x, p.y);
  // ... and the null message makes the menu's owner notice that the menu is gone.
  if (TWinControl* owner = OwnerControl(); owner && owner->HandleAllocated()) {
    PostMessageW(owner->Handle(), WM_NULL, 0, 0);
  }
}

void TTrayIcon::ClickDefaultMenuItem() {
  if (!popupMenu_ || !popupMenu_->AutoPopup) return;
  TMenuItem& items = popupMenu_->Items();
  for (int i = 0; i < items.Count(); ++i) {
    TMenuItem* item = items.Items(i);
    if (item && item->Default) {
      item->Click();
      return;
    }
  }
}

bool TTrayIcon::ApplicationHook(UINT msg, WPARAM wParam, LPARAM) {
  const UINT taskbarCreated = TaskbarCreatedMessage();
  if (taskbarCreated != 0 && msg == taskbarCreated) {
    if (iconVisible_) AddToTray();  // the shell has a new taskbar and forgot our icon
  } else if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_RESTORE) {
    if (Application && Application->MainForm()) {
      TForm* main = Application->MainForm();
      if (main->HandleAllocated() && ::IsIconic(main->Handle())) ShowWindow(main->Handle(), SW_RESTORE);
      main->SetVisible(true);
    }
  }
  return false;  // never consumed
}

bool TTrayIcon::OwnerHook(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SHOWWINDOW && wParam == 1 && lParam == 0 && Application) {
    SetForegroundWindow(Application->Handle());
    if (TWinControl* owner = OwnerControl()) SetForegroundWindow(owner->Handle());
  }
  return false;  // every message goes on to the owner
}

void TTrayIcon::ShowMainWindow() {
  if (!OwnerControl() || !Application || !Application->MainForm()) return;
  if (Application->IsIconic()) Application->Restore();
  TForm* main = Application->MainForm();
  if (::IsIconic(main->Handle())) ShowWindow(main->Handle(), SW_RESTORE);
  main->SetVisible(true);
  SetForegroundWindow(Application->Handle());
}

void TTrayIcon::HideMainWindow() {
  if (!OwnerControl() || !Application || !Application->MainForm()) return;
  Application->MainForm()->SetVisible(false);
  HideTaskbarButton();
}

void TTrayIcon::HideTaskbarButton() {
  if (!Application) return;
  if (IsWindowVisible(Application->Handle())) ShowWindow(Application->Handle(), SW_HIDE);
}

void TTrayIcon::Click() {
  if (OnClick) OnClick(this);
}
void TTrayIcon::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TTrayIcon::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}
void TTrayIcon::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}
void TTrayIcon::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}
void TTrayIcon::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}
void TTrayIcon::MouseExit() {
  if (OnMouseExit) OnMouseExit(this);
}
