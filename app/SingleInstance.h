// One Vantel per working folder: the first start holds a mutex named after the folder and a message
// window of the same name; a later start in that folder hands over to it and ends.
#pragma once

#include <string>

#include "framework/Handles.h"

// The instance window's class, and the registered messages it answers (the installer sends the second).
inline constexpr wchar_t kInstanceWindowClass[] = L"VantelInstance";
inline constexpr wchar_t kActivateMessageName[] = L"Vantel.Activate";  // bring the ring to the front
inline constexpr wchar_t kCloseMessageName[] = L"Vantel.Close";        // end as "关闭Vantel工具" does

class TSingleInstance {
 public:
  // For the working folder of this start (ProgramFoldersAtStart), however the program was started.
  explicit TSingleInstance(const std::wstring& workingFolder);
  TSingleInstance(const TSingleInstance&) = delete;
  TSingleInstance& operator=(const TSingleInstance&) = delete;

  // False when Vantel already runs in this folder.
  bool IsFirst() const { return first_; }
  // For a later start: asks the running one to bring its ring to the front, and its settings window
  // when that is hidden. Waits a few seconds for a first start that has not made its window yet.
  void HandOver() const;

 private:
  struct WindowRoute;  // the instance window's messages (framework/WindowClass.h)

  std::wstring name_;
  UniqueFile mutex_;
  UniqueWindow window_;  // the first start's message window
  bool first_ = true;
};
