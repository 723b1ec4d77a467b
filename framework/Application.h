// TApplication: the hidden application window, main form, message loop, queued calls and error display.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "framework/Component.h"
#include "framework/Controls.h"
#include "framework/Handles.h"
#include "framework/Win32.h"
#include "framework/WindowHooks.h"

class TForm;

// The program's icon resource: its window classes and its tray icon take it by this name.
inline constexpr wchar_t kProgramIconName[] = L"MAINICON";

class TApplication : public TComponent {
 public:
  explicit TApplication(TComponent* owner = nullptr);  // sets the global Application
  ~TApplication() override;                            // clears it

  // The application's own hidden top-level window: it owns the main form and the taskbar button.
  HWND Handle();
  const std::wstring& Title() const { return title_; }
  void SetTitle(std::wstring title);

  TForm* MainForm() const { return mainForm_; }
  void SetMainForm(TForm* form);  // non-owning

  // Shows the application window and the main form (SW_SHOWMINNOACTIVE minimises instead,
  // SW_SHOWMAXIMIZED maximises), then runs the message loop until Terminate.
  void Run(int showCmd = SW_SHOWNORMAL);
  void Terminate();
  bool Terminated() const { return terminated_; }
  void ProcessMessages();  // handles what is queued now, then returns
  bool HandleMessage();    // waits for and handles one message; false once WM_QUIT arrived

  // Call inside a catch block: shows the current exception's message in an error box, or passes
  // it to OnException when set. Never throws.
  void HandleException(TObject* sender);
  void ShowException(const std::wstring& message);
  std::function<void(const std::wstring& message)> OnException;

  // Hooks see the application window's messages first; a hook consumes one only by returning true.
  int HookMainWindow(TWindowHook hook);
  void UnhookMainWindow(int id);

  // Runs `call` later from the message loop, after the current message has been handled.
  void QueueCall(std::function<void()> call);

  void Minimize();
  void Restore();
  bool IsIconic();

 private:
  struct WindowRoute;  // routes the window's messages to AppWndProc (WindowClass.h)
  LRESULT AppWndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  void RunQueuedCall();
  void Dispatch(MSG& msg);

  UniqueWindow window_;
  HWND hwnd_ = nullptr;  // set from WM_NCCREATE on, cleared at WM_NCDESTROY
  std::wstring title_;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
  std::deque<std::function<void()>> queued_;
  TWindowHooks hooks_;
};

// Set while a TApplication exists. Non-owning.
extern TApplication* Application;

// For framework callbacks (window procedure, timers, COM entry points): hands the current
// exception to Application->HandleException, or shows it directly when there is no application.
void HandleCurrentException(TObject* sender) noexcept;
