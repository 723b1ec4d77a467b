// Helpers of the shell tests.
#include "tests/shell/ShellTestSupport.h"

#include <algorithm>
#include <system_error>

#include "framework/Handles.h"
#include "framework/ProcessPaths.h"

void PumpPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool PumpUntil(const std::function<bool()>& done, DWORD limitMs) {
  const ULONGLONG end = GetTickCount64() + limitMs;
  for (;;) {
    PumpPending();
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 50)),
                              QS_ALLINPUT);
  }
}

std::filesystem::path ProgramFolder() {
  return ModuleFolder();
}

long RunPumping(const std::wstring& commandLine, DWORD limitMs) {
  std::wstring command = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return -1;
  }
  UniqueFile process(info.hProcess);
  UniqueFile thread(info.hThread);
  const ULONGLONG end = GetTickCount64() + limitMs;
  for (;;) {
    PumpPending();
    const ULONGLONG now = GetTickCount64();
    if (now >= end) {
      TerminateProcess(process.get(), 1);
      WaitForSingleObject(process.get(), 5000);
      return -1;
    }
    HANDLE handle = process.get();
    const DWORD wait =
        MsgWaitForMultipleObjects(1, &handle, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    if (wait == WAIT_OBJECT_0) break;
  }
  PumpPending();  // what the child's last calls left queued
  DWORD code = 0;
  GetExitCodeProcess(process.get(), &code);
  return static_cast<long>(code);
}

std::vector<std::wstring>& RecordedErrors() {
  static std::vector<std::wstring> errors;
  return errors;
}
