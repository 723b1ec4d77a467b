// One Vantel per working folder: the first start holds a mutex named after the folder and a message
// window of the same name; a later start in that folder hands over to it and ends.
#pragma once

#include <functional>
#include <string>

#include "framework/Handles.h"

// The instance window's class, and the registered messages it answers (the installer sends the second).
inline constexpr wchar_t kInstanceWindowClass[] = L"VantelInstance";
inline constexpr wchar_t kActivateMessageName[] = L"Vantel.Activate";  // bring the ring to the front
inline constexpr wchar_t kCloseMessageName[] = L"Vantel.Close";        // end as "关闭Vantel工具" does

// Told when a Vantel started as administrator holds this folder: a start cannot reach it.
inline constexpr wchar_t kRunsAsAdministratorText[] =
    L"Vantel 已经以管理员身份运行。请使用正在运行的 "
    L"Vantel，或先关闭它（通知区域图标菜单中的“关闭Vantel工具”），再启动 Vantel。";

// What CreateMutexW answered: the handle (null on failure) and GetLastError() right after it.
struct TMutexAnswer {
  HANDLE Handle;
  DWORD Error;
};
using TCreateMutex = std::function<TMutexAnswer(const std::wstring& name)>;

class TSingleInstance {
 public:
  // For the working folder of this start (ProgramFoldersAtStart), however the program was started.
  // `createMutex`: default CreateMutexW; `tell`: how a later start tells what it cannot hand over
  // (default: a message box).
  explicit TSingleInstance(const std::wstring& workingFolder, const TCreateMutex& createMutex = {},
                           std::function<void(const std::wstring& text)> tell = {});
  TSingleInstance(const TSingleInstance&) = delete;
  TSingleInstance& operator=(const TSingleInstance&) = delete;

  // False when Vantel already runs in this folder.
  bool IsFirst() const { return first_; }
  // For a later start: asks the running one to bring its ring to the front, and its settings window
  // when that is hidden. Waits a few seconds for a first start that has not made its window yet. The
  // first start runs as administrator (its mutex refused this start): no message reaches it, so the user
  // is told once instead.
  void HandOver() const;

 private:
  struct WindowRoute;  // the instance window's messages (framework/WindowClass.h)

  std::wstring name_;
  UniqueFile mutex_;
  UniqueWindow window_;  // the first start's message window
  std::function<void(const std::wstring& text)> tell_;
  bool first_ = true;
  bool firstElevated_ = false;  // the first start's mutex refused this start
};

// This program runs elevated (TokenElevation) and the desktop's shell does not: started with
// "以管理员身份运行", so Windows (UIPI) keeps the shell's drags away from it.
bool StartedAsAdministrator();
