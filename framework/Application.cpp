// TApplication: the application window, message loop, queued calls, hooks and the default error display.
#include "framework/Application.h"

#include <exception>
#include <stdexcept>

#include "framework/AppLog.h"
#include "framework/Form.h"
#include "framework/ProcessPaths.h"
#include "framework/WindowClass.h"
#include "framework/text/TextCodec.h"

TApplication* Application = nullptr;

namespace {
constexpr wchar_t kWindowClass[] = L"VantelApplication";
constexpr UINT kQueuedCall = WM_APP + 0x3A1;  // private to the application window's class

std::wstring ModuleTitle() {
  const std::wstring path = ModulePath();
  std::wstring title = path.substr(path.find_last_of(L"\\/") + 1);
  if (const auto dot = title.find_last_of(L'.'); dot != std::wstring::npos) title.resize(dot);
  return title;
}

std::wstring CurrentExceptionText() {
  const std::exception_ptr current = std::current_exception();
  if (!current) return L"Unknown error";
  try {
    std::rethrow_exception(current);
  } catch (const std::exception& e) {
    return Gb18030ToWide(e.what());
  } catch (...) {
    return L"Unknown exception";
  }
}
}  // namespace

void HandleCurrentException(TObject* sender) noexcept {
  try {
    if (Application) {
      Application->HandleException(sender);
    } else {
      const std::wstring text = CurrentExceptionText();
      AppLog::Write("error", text);
      MessageBoxW(nullptr, text.c_str(), L"Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    }
  } catch (...) {
    // The error display itself failed; there is nobody left to tell.
  }
}

TApplication::TApplication(TComponent* owner) : TComponent(owner), title_(ModuleTitle()) {
  Application = this;
}

TApplication::~TApplication() {
  if (Application == this) Application = nullptr;
}

struct TApplication::WindowRoute {
  using Object = TApplication;
  static void Attached(TApplication& app, HWND window) noexcept { app.hwnd_ = window; }
  static LRESULT Message(TApplication& app, HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
    return app.AppWndProc(msg, wParam, lParam);
  }
  static LRESULT Failed(TApplication& app, UINT) noexcept {
    HandleCurrentException(&app);
    return 0;
  }
  static void Detached(TApplication& app, HWND) noexcept {
    app.hwnd_ = nullptr;
    app.window_.release();  // already gone
  }
};

HWND TApplication::Handle() {
  if (hwnd_) return hwnd_;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterRoutedClass<WindowRoute>(kWindowClass, 0, LoadCursorW(nullptr, IDC_ARROW),
                                   LoadIconW(instance, kProgramIconName));
  // Zero-sized, centred, with a caption and minimise box: it carries the taskbar button.
  HWND window = CreateRoutedWindow<WindowRoute>(
      *this, 0, kWindowClass, title_.c_str(),
      WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
      GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr);
  if (!window) throw std::runtime_error("Cannot create the application window.");
  window_.reset(window);
  return window;
}

void TApplication::SetTitle(std::wstring title) {
  title_ = std::move(title);
  if (window_) SetWindowTextW(window_.get(), title_.c_str());
}

void TApplication::SetMainForm(TForm* form) {
  mainForm_ = form;
}

LRESULT TApplication::AppWndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (LRESULT result = 0; hooks_.Run(msg, wParam, lParam, result)) return result;
  HWND window = hwnd_;
  switch (msg) {
    case kQueuedCall:
      RunQueuedCall();
      return 0;
    case WM_CLOSE:
      if (mainForm_) mainForm_->Close();
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
          Minimize();
          return 0;
        case SC_RESTORE:
          Restore();
          return 0;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

void TApplication::Run(int showCmd) {
  Handle();
  if (mainForm_) {
    if (showCmd == SW_SHOWMINNOACTIVE || showCmd == SW_MINIMIZE || showCmd == SW_SHOWMINIMIZED) {
      ShowWindow(Handle(), SW_SHOWMINNOACTIVE);
    } else {
      ShowWindow(Handle(), SW_SHOWNA);
      mainForm_->Show();
      if (showCmd == SW_SHOWMAXIMIZED && mainForm_->HandleAllocated()) {
        ShowWindow(mainForm_->Handle(), SW_SHOWMAXIMIZED);
      }
    }
  }
  while (!terminated_) {
    try {
      if (!HandleMessage()) break;
    } catch (...) {
      HandleException(this);
    }
  }
}

void TApplication::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

void TApplication::Dispatch(MSG& msg) {
  // Tab moves between the controls of a form and Esc closes it, as in a dialog.
  if (msg.message == WM_KEYDOWN && (msg.wParam == VK_TAB || msg.wParam == VK_ESCAPE)) {
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (dynamic_cast<TForm*>(TWinControl::FromHandle(root)) && IsDialogMessageW(root, &msg)) return;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

bool TApplication::HandleMessage() {
  MSG msg{};
  if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
    terminated_ = true;
    return false;
  }
  Dispatch(msg);
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      break;
    }
    Dispatch(msg);
  }
}

void TApplication::HandleException(TObject* sender) {
  (void)sender;
  ShowException(CurrentExceptionText());
}

void TApplication::ShowException(const std::wstring& message) {
  AppLog::Write("error", message);  // what the user was shown, for the log they can send
  if (OnException) {
    try {
      OnException(message);
    } catch (...) {
      // A failing error handler must not take the program down with it.
    }
    return;
  }
  HWND owner = GetActiveWindow();
  if (!owner && window_) owner = window_.get();
  MessageBoxW(owner, message.c_str(), title_.c_str(), MB_OK | MB_ICONERROR);
}

int TApplication::HookMainWindow(TWindowHook hook) {
  return hooks_.Add(std::move(hook));
}

void TApplication::UnhookMainWindow(int id) {
  hooks_.Remove(id);
}

void TApplication::QueueCall(std::function<void()> call) {
  if (!call) return;
  queued_.push_back(std::move(call));
  PostMessageW(Handle(), kQueuedCall, 0, 0);
}

void TApplication::RunQueuedCall() {
  if (queued_.empty()) return;
  std::function<void()> call = std::move(queued_.front());
  queued_.pop_front();
  try {
    call();
  } catch (...) {
    HandleException(this);
  }
}

void TApplication::Minimize() {
  if (!::IsIconic(Handle())) ShowWindow(Handle(), SW_MINIMIZE);
}

void TApplication::Restore() {
  if (::IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
}

bool TApplication::IsIconic() {
  return ::IsIconic(Handle()) != FALSE;
}
