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

TSingleInstance::TSingleInstance(const std::wstring& workingFolder)
    : name_(InstanceName(ComparableFolder(workingFolder))) {
  mutex_.reset(CreateMutexW(nullptr, FALSE, (L"Local\\" + name_).c_str()));
  // A mutex that cannot be made (no name space) leaves the start alone.
  first_ = !mutex_ || GetLastError() != ERROR_ALREADY_EXISTS;
  if (!first_) return;
  ActivateMessage();
  CloseMessage();
  if (RegisterRoutedClass<WindowRoute>(kInstanceWindowClass)) {
    window_.reset(CreateRoutedWindow<WindowRoute>(*this, 0, kInstanceWindowClass, name_.c_str(), 0, 0, 0, 0,
                                                  0, HWND_MESSAGE));
  }
}

void TSingleInstance::HandOver() const {
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
