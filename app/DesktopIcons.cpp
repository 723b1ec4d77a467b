// The desktop's icons: the folder view's FWF_NOICONS, else the shell view window's visibility.
#include "app/DesktopIcons.h"

#include <exdisp.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "framework/Handles.h"

namespace {
constexpr wchar_t kShellView[] = L"SHELLDLL_DefView";

ComPtr<IFolderView2> DesktopFolderView() {
  ComPtr<IShellWindows> windows;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_PPV_ARGS(windows.Put())))) {
    return {};
  }
  VARIANT location{};
  V_VT(&location) = VT_I4;
  V_I4(&location) = CSIDL_DESKTOP;
  VARIANT root{};  // VT_EMPTY
  long window = 0;
  ComPtr<IDispatch> desktop;
  if (windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, desktop.Put()) !=
          S_OK ||
      !desktop) {
    return {};
  }
  ComPtr<IServiceProvider> services = desktop.As<IServiceProvider>();
  ComPtr<IShellBrowser> browser;
  if (!services || FAILED(services->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(browser.Put()))) ||
      !browser) {
    return {};
  }
  ComPtr<IShellView> view;
  if (FAILED(browser->QueryActiveShellView(view.Put())) || !view) return {};
  return view.As<IFolderView2>();
}
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

bool ShowDesktopIconsInFolderView(bool show) {
  const ComPtr<IFolderView2> view = DesktopFolderView();
  return view &&
         SUCCEEDED(view->SetCurrentFolderFlags(FWF_NOICONS, show ? 0u : static_cast<DWORD>(FWF_NOICONS)));
}

void ShowDesktopIcons(bool show, const TDesktopFolderViewRoute& folderView, const TFindWindowEx& find) {
  const bool viaShell = folderView ? folderView(show) : ShowDesktopIconsInFolderView(show);
  // Showing also brings back a view window that an earlier Vantel hid, when the window was its only route.
  if (!viaShell || show) ShowDesktopIconView(show, find);
}
