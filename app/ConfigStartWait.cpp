// AwaitConfigAtStart: tries the file again between short waits that handle messages, then tells once.
#include "app/ConfigStartWait.h"

#include <algorithm>

#include "framework/Application.h"
#include "framework/Win32.h"
#include "xml/ConfigFormat.h"
#include "xml/XmlHost.h"

namespace {
// Each wait handles what comes in and is cut short by input: no message waits long.
constexpr unsigned kStepMs = 100;

void HandleWaitingMessages() {
  if (Application) {
    Application->ProcessMessages();
    return;
  }
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

std::wstring FullName(const std::wstring& name) {
  const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (size == 0) return name;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(name.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return name;
  full.resize(length);
  return full;
}
}  // namespace

bool AwaitConfigAtStart(const std::wstring& fileName, unsigned budgetMs) {
  const TXmlHost host = DefaultXmlHost();
  const ULONGLONG deadline = GetTickCount64() + budgetMs;
  const bool readable = ConfigFormat::AwaitReadable(*host.FileSystem, fileName, [&] {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    const auto wait = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, kStepMs));
    MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    HandleWaitingMessages();
    return true;
  });
  if (!readable) host.Reporter->ShowMessage(ConfigFormat::HeldAtStartMessage(FullName(fileName)));
  return readable;
}
