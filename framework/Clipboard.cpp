// CopyTextToClipboard: OpenClipboard, EmptyClipboard, SetClipboardData with a movable global block.
#include "framework/Clipboard.h"

#include <cstring>

bool CopyTextToClipboard(HWND owner, const std::wstring& text) {
  // Another program may hold the clipboard for a moment.
  bool open = false;
  for (int attempt = 0; attempt < 5 && !open; ++attempt) {
    open = OpenClipboard(owner) != FALSE;
    if (!open) Sleep(10);
  }
  if (!open) return false;
  bool done = false;
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* data = GlobalLock(block)) {
      std::memcpy(data, text.c_str(), bytes);
      GlobalUnlock(block);
      // Once set, the block is the system's; until then it is ours to free.
      done = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, block);
    }
    if (!done) GlobalFree(block);
  }
  CloseClipboard();
  return done;
}
