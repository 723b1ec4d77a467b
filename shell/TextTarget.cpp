// TTextTarget: OLE registration of the acceptor's window, the window-procedure hook, dropped lines.
#include "shell/TextTarget.h"

#include <ole2.h>

#include "framework/Controls.h"
#include "shell/TextDropTarget.h"

namespace {

// The hook finds its component and the procedure it stands in front of through window properties.
constexpr wchar_t kTargetProp[] = L"Vantel.TextTarget";
constexpr wchar_t kPreviousProcProp[] = L"Vantel.TextTarget.PreviousProc";

WNDPROC PreviousProc(HWND window) {
  return reinterpret_cast<WNDPROC>(GetPropW(window, kPreviousProcProp));
}

}  // namespace

TTextTarget::TTextTarget(TComponent* owner)
    : TGenericTarget(owner), dropTarget_(TTextDropTarget::Create(*this)) {}

TTextTarget::~TTextTarget() {
  dropTarget_->Detach();
  dropTarget_.Reset();
  SetAcceptorControl(nullptr);
}

IDropTarget* TTextTarget::DropTarget() const {
  return dropTarget_.Get();
}

void TTextTarget::SetAcceptTextFormats(TDropTextFormats formats) {
  formats_ = formats;
  if (dropTarget_) dropTarget_->RecheckFormat();
}

const std::vector<std::wstring>& TTextTarget::DroppedLines() {
  lines_ = SplitDroppedLines(droppedText_);
  return lines_;
}

void TTextTarget::SetAcceptorControl(TWinControl* control) {
  if (control == acceptor_) return;
  if (AcceptorTakenBySibling(control)) return;

  if (acceptor_) {
    if (handle_ && IsWindow(handle_)) {
      if (registered_) RevokeDragDrop(handle_);
      Unhook();
    }
    registered_ = false;
    handle_ = nullptr;
    // An acceptor that is being destroyed has already dropped our free notification itself.
    if (!acceptor_->Destroying()) RemoveFreeNotification(acceptor_);
  }

  acceptor_ = control;
  if (!acceptor_ || !dropTarget_) return;
  FreeNotification(acceptor_);
  HWND window = acceptor_->Handle();
  if (!window || !Hook(window)) return;  // a window takes one drop target only
  handle_ = window;
  registered_ = SUCCEEDED(RegisterDragDrop(window, dropTarget_.Get()));
}

void TTextTarget::Notification(TComponent* component, TOperation operation) {
  TGenericTarget::Notification(component, operation);
  if (operation == TOperation::opRemove && component == acceptor_) SetAcceptorControl(nullptr);
}

bool TTextTarget::Hook(HWND window) {
  if (GetPropW(window, kPreviousProcProp)) return false;
  const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
  SetPropW(window, kTargetProp, this);
  SetPropW(window, kPreviousProcProp, reinterpret_cast<HANDLE>(previous));
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TTextTarget::HookProc));
  return true;
}

void TTextTarget::Unhook() {
  if (!handle_) return;
  const WNDPROC previous = PreviousProc(handle_);
  RemovePropW(handle_, kTargetProp);
  // If another procedure was put in front of ours since, ours cannot leave the chain: it stays and only
  // passes messages on.
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(handle_, GWLP_WNDPROC)) == &TTextTarget::HookProc) {
    SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropW(handle_, kPreviousProcProp);
  }
}

LRESULT CALLBACK TTextTarget::HookProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  const WNDPROC previous = PreviousProc(window);
  auto* target = static_cast<TTextTarget*>(GetPropW(window, kTargetProp));
  if (target && msg == WM_DESTROY) {
    if (target->registered_) RevokeDragDrop(window);
    target->registered_ = false;
  } else if (msg == WM_NCDESTROY) {
    // The window is gone for good: step out of the chain and forget it.
    if (target) {
      target->Unhook();
      target->handle_ = nullptr;
    }
    RemovePropW(window, kTargetProp);
    RemovePropW(window, kPreviousProcProp);
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)) == &TTextTarget::HookProc) {
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
  }
  return previous ? CallWindowProcW(previous, window, msg, wParam, lParam)
                  : DefWindowProcW(window, msg, wParam, lParam);
}
