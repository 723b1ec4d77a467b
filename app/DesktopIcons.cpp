// FindDesktopIconView: Progman's shell view, else the WorkerW window that has one.
#include "app/DesktopIcons.h"

namespace {
constexpr wchar_t kShellView[] = L"SHELLDLL_DefView";
}  // namespace

HWND FindDesktopIconView(const TFindWindowEx& find) {
  const TFindWindowEx lookup = find ? find : [](HWND parent, HWND after, const wchar_t* name) {
    return FindWindowExW(parent, after, name, nullptr);
  };
  if (HWND progman = lookup(nullptr, nullptr, L"Progman")) {
    if (HWND view = lookup(progman, nullptr, kShellView)) return view;
  }
  // Several WorkerW windows: the one behind the icons paints the wallpaper and has no view.
  for (HWND worker = lookup(nullptr, nullptr, L"WorkerW"); worker;
       worker = lookup(nullptr, worker, L"WorkerW")) {
    if (HWND view = lookup(worker, nullptr, kShellView)) return view;
  }
  return nullptr;
}

void ShowDesktopIconView(bool show, const TFindWindowEx& find) {
  // The view rather than its parent: hiding Progman or a WorkerW would take the wallpaper too, and the
  // view is the same window in both places, so showing finds what hiding hid.
  if (HWND view = FindDesktopIconView(find)) ShowWindow(view, show ? SW_SHOW : SW_HIDE);
}
