// TTextTarget: registers a control's window as an OLE drop target for file lists and reports the drops.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/Win32.h"
#include "shell/DropEffectLogic.h"
#include "shell/GenericTarget.h"

class TObject;
class TTextDropTarget;
struct IDropTarget;

using TDragEnterOverEvent = std::function<void(TObject* sender, TDropEffect effect, int x, int y)>;
using TDropEvent =
    std::function<void(TObject* sender, TWinControl* acceptor, const std::wstring& dropText, int x, int y)>;

class TTextTarget : public TGenericTarget {
 public:
  explicit TTextTarget(TComponent* owner);
  ~TTextTarget() override;  // revokes the registration and gives the window its procedure back

  // Registers the control's window with OLE (creating the window if needed). The same control again
  // changes nothing; a control that another drop target of the same owner accepts for is refused.
  void SetAcceptorControl(TWinControl* control) override;

  TDropTextFormats AcceptTextFormats() const { return formats_; }
  void SetAcceptTextFormats(TDropTextFormats formats);  // only dtfFiles (CF_HDROP) is understood

  // Text of the last successful drop: the dropped paths, CR LF between them. Kept across drags.
  const std::wstring& DroppedText() const { return droppedText_; }
  // DroppedText split into lines, one entry per path; the list stays owned here and each call refills it.
  const std::vector<std::wstring>& DroppedLines();

  // The keys and mouse buttons (MK_LBUTTON, MK_RBUTTON, MK_CONTROL, ...) the drag in progress held at its
  // last step (enter, over or drop), as OLE reports them: logical buttons, so swapped mouse buttons
  // count as the user means them. 0 before the first drag.
  DWORD DragKeyState() const { return dragKeyState_; }

  // The COM object that OLE calls (one reference held by this component).
  IDropTarget* DropTarget() const;

  TDragEnterOverEvent OnDragEnter;
  TDragEnterOverEvent OnDragOver;
  TNotifyEvent OnDragLeave;
  TDropEvent OnDrop;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TTextDropTarget;
  static LRESULT CALLBACK HookProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  bool Hook(HWND window);
  void Unhook();

  HWND handle_ = nullptr;  // the acceptor's window as registered
  ComPtr<TTextDropTarget> dropTarget_;
  TDropTextFormats formats_{TDropTextFormat::dtfText};
  std::wstring droppedText_;
  std::vector<std::wstring> lines_;
  DWORD dragKeyState_ = 0;
};
