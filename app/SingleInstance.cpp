// One Vantel per working folder: the folder's mutex, the message window, the handover.
#include "app/SingleInstance.h"

#include <vector>

#include "app/InstanceName.h"
#include "app/VTMainForm.h"
#include "framework/Application.h"
#include "framework/WindowClass.h"

namespace {

UINT ActivateMessage() {
  static const UINT message = RegisterWindowMessageW(kActivateMessageName);
  return message;
}

UINT CloseMessage() {
  static const UINT message = RegisterWindowMessageW(kCloseMessageName);
  return message;
}

// A folder as the file system tells folders apart: full, long names, upper case.
std::wstring ComparableFolder(std::wstring folder) {
  std::wstring longName(folder.size() + MAX_PATH, L'\0');
  const DWORD longLength =
      GetLongPathNameW(folder.c_str(), longName.data(), static_cast<DWORD>(longName.size()));
  if (longLength > 0 && longLength < longName.size()) folder.assign(longName.data(), longLength);
  std::wstring upper(folder.size(), L'\0');
  if (!folder.empty() &&
      LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, folder.c_str(), static_cast<int>(folder.size()),
                    upper.data(), static_cast<int>(upper.size()), nullptr, nullptr,
                    0) == static_cast<int>(folder.size())) {
    folder = upper;
  }
  return folder;
}

TfrmVantelMain* MainForm() {
  return Application ? dynamic_cast<TfrmVantelMain*>(Application->MainForm()) : nullptr;
}

}  // namespace

// A later start's handover and the installer's close reach the first start's main form here.
struct TSingleInstance::WindowRoute {
  using Object = TSingleInstance;
  static LRESULT Message(TSingleInstance&, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != ActivateMessage() && message != CloseMessage()) {
      return DefWindowProcW(window, message, wParam, lParam);
    }
    if (TfrmVantelMain* form = MainForm()) {
      if (message == CloseMessage()) {
        form->N3Click(form);
      } else {
        if (!form->Visible()) form->N2Click(form);
        form->TrayIcon1Click(form);
      }
    }
    return 0;
  }
};

TSingleInstance::TSingleInstance(const std::wstring& workingFolder, const TCreateMutex& createMutex,
                                 std::function<void(const std::wstring& text)> tell)
    : name_(InstanceName(ComparableFolder(workingFolder))), tell_(std::move(tell)) {
  const std::wstring mutexName = L"Local\\" + name_;
  const TMutexAnswer answer = createMutex ? createMutex(mutexName) : [&] {
    HANDLE handle = CreateMutexW(nullptr, FALSE, mutexName.c_str());
    return TMutexAnswer{handle, GetLastError()};
  }();
  mutex_.reset(answer.Handle);
  // Access denied: the mutex exists, made by a Vantel at a higher integrity level (started as
  // administrator), whose default security keeps this start out. Treating that as "first" would let two
  // programs save one SystemConfig.xml. Any other failure (no name space) leaves the start alone.
  firstElevated_ = !answer.Handle && answer.Error == ERROR_ACCESS_DENIED;
  first_ = !firstElevated_ && (!answer.Handle || answer.Error != ERROR_ALREADY_EXISTS);
  if (!first_) return;
  ActivateMessage();
  CloseMessage();
  if (RegisterRoutedClass<WindowRoute>(kInstanceWindowClass)) {
    window_.reset(CreateRoutedWindow<WindowRoute>(*this, 0, kInstanceWindowClass, name_.c_str(), 0, 0, 0, 0,
                                                  0, HWND_MESSAGE));
  }
}

void TSingleInstance::HandOver() const {
  if (firstElevated_) {
    // A window of a higher integrity level takes no message from this one (UIPI).
    if (tell_) {
      tell_(kRunsAsAdministratorText);
    } else {
      MessageBoxW(nullptr, kRunsAsAdministratorText, L"Vantel",
                  MB_OK | MB_ICONINFORMATION | MB_TOPMOST | MB_SETFOREGROUND);
    }
    return;
  }
  HWND first = nullptr;
  for (int tries = 0; tries < 100 && !first; ++tries) {
    first = FindWindowExW(HWND_MESSAGE, nullptr, kInstanceWindowClass, name_.c_str());
    if (!first) Sleep(50);
  }
  if (!first) return;
  DWORD processId = 0;
  GetWindowThreadProcessId(first, &processId);
  AllowSetForegroundWindow(processId);
  PostMessageW(first, ActivateMessage(), 0, 0);
}

namespace {
// Whether a process's token is elevated; false when it cannot be read.
bool ElevatedProcess(HANDLE process) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return false;
  const UniqueFile held(token);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  return GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size) &&
         elevation.TokenIsElevated;
}
}  // namespace

bool StartedAsAdministrator() {
  if (!ElevatedProcess(GetCurrentProcess())) return false;
  // Drags start in the shell: what counts is that the desktop's shell runs below this program. Without
  // UAC (and under Wine) the shell is elevated too, and drops reach the program.
  DWORD shellProcess = 0;
  HWND shell = GetShellWindow();
  if (!shell || !GetWindowThreadProcessId(shell, &shellProcess)) return false;
  const UniqueFile process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellProcess));
  return process.get() && !ElevatedProcess(process.get());
}
