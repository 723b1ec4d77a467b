// AwaitConfigAtStart: tries the file again between short waits that handle messages, then tells once.
// OfferKeptCopyAtStart: the copy a half-done save kept, offered by name.
#include "app/ConfigStartWait.h"

#include <algorithm>

#include "framework/Application.h"
#include "framework/SystemMessage.h"
#include "framework/Win32.h"
#include "framework/WinFileSystem.h"
#include "xml/XmlDocument.h"
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

std::wstring LeafOf(const std::wstring& path) {
  return path.substr(path.find_last_of(L"\\/") + 1);
}
}  // namespace

bool AskWithMessageBox(const std::wstring& text) {
  const std::wstring title = Application ? Application->Title() : std::wstring(L"Vantel");
  // On top, as the program's other boxes: the ring would cover one that opened behind it.
  return MessageBoxW(GetActiveWindow(), text.c_str(), title.c_str(),
                     MB_YESNO | MB_ICONQUESTION | MB_TOPMOST | MB_SETFOREGROUND) == IDYES;
}

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
  if (!readable) host.Reporter->ShowMessage(ConfigFormat::HeldAtStartMessage(FullPathName(fileName)));
  return readable;
}

bool OfferKeptCopyAtStart(const std::wstring& fileName, const TAskYesNo& ask) {
  const TXmlHost host = DefaultXmlHost();
  const std::wstring copy = fileName + L".tmp";
  std::string bytes;
  if (host.FileSystem->FileExists(fileName) || !host.FileSystem->FileExists(copy) ||
      host.FileSystem->ReadFile(copy, TXmlDocument::MaxFileSize, bytes) != TXmlReadResult::Ok) {
    return false;
  }
  // A copy cut short by a crash while it was written does not parse: not offered, and the next save
  // writes over it.
  const int records = ConfigFormat::ParsedRecordCount(bytes);
  if (records == 0) return false;
  const std::wstring full = FullPathName(fileName), copyFull = FullPathName(copy);
  const std::wstring question = L"配置文件“" + full + L"”不存在，但上次保存时留下了它的完整副本“" + copyFull +
                                L"”，其中有" + std::to_wstring(records) +
                                L"条按键记录。\n要用这份副本恢复配置吗？选择“是”，把它改名为“" +
                                LeafOf(full) + L"”；选择“否”，这次启动不用它，圆环是空的。";
  if (!ask(question)) return false;
  // Not over a file that came back meanwhile.
  if (MoveFileExW(copy.c_str(), fileName.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
  const DWORD code = GetLastError();
  std::wstring reason = SystemMessage(code);
  if (reason.empty()) reason = L"错误代码 " + std::to_wstring(code);
  host.Reporter->ShowMessage(L"无法把“" + copyFull + L"”改名为“" + LeafOf(full) + L"”（" + reason +
                             L"）。请退出Vantel，自己把它改名，然后重新启动Vantel。");
  return false;
}
