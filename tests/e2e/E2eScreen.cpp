// Whole-program test helpers: windows of another process, the ring's square, screenshots, the tray.
#include "tests/e2e/E2eSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <iterator>
#include <numbers>
#include <sstream>

namespace e2e {

// ---- windows of another process

WindowInfo Describe(HWND window) {
  WindowInfo info;
  info.handle = window;
  wchar_t buffer[512] = {};
  GetClassNameW(window, buffer, 512);
  info.className = buffer;
  const int length = GetWindowTextLengthW(window);
  if (length > 0) {
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    info.text = text;
  }
  GetWindowRect(window, &info.rect);
  info.exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
  info.visible = IsWindowVisible(window) != FALSE;
  return info;
}

std::vector<WindowInfo> TopLevelWindows(DWORD processId) {
  struct Search {
    DWORD id;
    std::vector<WindowInfo> found;
  } search{processId, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->id) s->found.push_back(Describe(window));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<WindowInfo> ChildWindows(HWND parent) {
  std::vector<WindowInfo> found;
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM data) -> BOOL {
        reinterpret_cast<std::vector<WindowInfo>*>(data)->push_back(Describe(window));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// ---- the program's windows

HWND VantelProcess::MessageBoxWindow() const {
  for (const WindowInfo& w : Windows())
    if (w.visible && w.className == L"#32770") return w.handle;
  return nullptr;
}

std::wstring VantelProcess::MessageBoxText(HWND box) {
  std::wstring longest;
  for (const WindowInfo& child : ChildWindows(box))
    if (_wcsicmp(child.className.c_str(), L"Static") == 0 && child.text.size() > longest.size())
      longest = child.text;
  return longest;
}

namespace {
int ringDpi = 96;
}  // namespace

void SetRingDpi(int dpi) {
  ringDpi = dpi;
}

RECT RingSquare(const std::vector<WindowInfo>& windows) {
  // The disc's window is its box (diameter side / 2 - 18 at 96 dpi, plus 2 px each side for its
  // anti-aliased edge): the ring's square is twice its width less the edges and the scaled 36 px more,
  // around its middle (at 96 dpi: twice the width and 28 px more). The disc is the window
  // whose square so made holds the most of the others (the smallest such square: the slices reach close
  // to the ring's edge).
  RECT best{};
  int held = -1;
  for (const WindowInfo& disc : windows) {
    const LONG half = disc.Width() - 4 + MulDiv(18, ringDpi, 96);
    const POINT c = disc.Centre();
    const RECT square{c.x - half, c.y - half, c.x + half, c.y + half};
    int n = 0;
    for (const WindowInfo& w : windows) {
      RECT inside{};
      n += IntersectRect(&inside, &w.rect, &square) && EqualRect(&inside, &w.rect);
    }
    if (n > held || (n == held && square.right - square.left < best.right - best.left)) {
      best = square;
      held = n;
    }
  }
  return best;
}

std::vector<WindowInfo> VantelProcess::RingWindows() const {
  const int desktopWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  std::vector<WindowInfo> ring;
  for (const WindowInfo& w : Windows())
    if (w.visible && (w.exStyle & WS_EX_LAYERED) && w.Width() < desktopWidth) {
      // A ring window is shaped to its pie (the hint window is not): the box of its slice or disc.
      HRGN shape = CreateRectRgn(0, 0, 0, 0);
      const int kind = GetWindowRgn(w.handle, shape);
      DeleteObject(shape);
      if (kind != ERROR && kind != NULLREGION) ring.push_back(w);
    }
  // The hint window is shaped too (to its text), above the ring: outside the ring's square.
  const RECT square = RingSquare(ring);
  std::erase_if(ring, [&](const WindowInfo& w) {
    RECT inside{};
    return !IntersectRect(&inside, &w.rect, &square) || !EqualRect(&inside, &w.rect);
  });
  return ring;
}

HWND VantelProcess::MainWindow() const {
  for (const WindowInfo& w : Windows())
    if (w.className == L"VantelForm") return w.handle;
  return nullptr;
}

HWND VantelProcess::PopupMenuWindow() const {
  for (const WindowInfo& w : Windows())
    if (w.visible && w.className == L"#32768") return w.handle;
  return nullptr;
}
// ---- screenshots

Screenshot Screenshot::Take(const std::filesystem::path& keepAs) {
  Screenshot shot;
  // One file per test program: programs on displays and Wine prefixes of their own (whose process numbers
  // may be the same) run side by side in one folder.
  wchar_t display[64] = {};
  GetEnvironmentVariableW(L"DISPLAY", display, static_cast<DWORD>(std::size(display)));
  std::wstring tag = display;
  std::replace_if(
      tag.begin(), tag.end(), [](wchar_t c) { return !iswalnum(c); }, L'_');
  const std::filesystem::path raw =
      std::filesystem::current_path() / L"work" /
      (L"screen" + tag + L"-" + std::to_wstring(GetCurrentProcessId()) + L".ppm");
  std::filesystem::create_directories(raw.parent_path());
  const std::string rawUnix = UnixPath(raw);
  if (RunUnix(L"/usr/bin/import -window root -depth 8 ppm:" + std::wstring(rawUnix.begin(), rawUnix.end())) !=
      0) {
    ADD_FAILURE() << "import could not take a screenshot";
    return shot;
  }
  const std::string bytes = ReadBytes(raw);
  // Binary PPM: "P6", width, height, maximum value, one whitespace, then RGB triples.
  std::istringstream header(bytes);
  std::string magic;
  int maxValue = 0;
  header >> magic >> shot.width_ >> shot.height_ >> maxValue;
  const auto offset = static_cast<size_t>(header.tellg()) + 1;
  if (magic != "P6" || maxValue != 255 ||
      bytes.size() < offset + static_cast<size_t>(shot.width_) * static_cast<size_t>(shot.height_) * 3) {
    ADD_FAILURE() << "unexpected screenshot format";
    shot.width_ = shot.height_ = 0;
    return shot;
  }
  shot.rgb_.assign(bytes.begin() + static_cast<std::ptrdiff_t>(offset), bytes.end());
  // The image starts at the virtual screen's corner (asked once: the system answers each call afresh).
  shot.originX_ = GetSystemMetrics(SM_XVIRTUALSCREEN);
  shot.originY_ = GetSystemMetrics(SM_YVIRTUALSCREEN);
  if (!keepAs.empty()) {
    const std::string keep = UnixPath(keepAs);
    RunUnix(L"/usr/bin/convert " + std::wstring(rawUnix.begin(), rawUnix.end()) + L" " +
            std::wstring(keep.begin(), keep.end()));
  }
  std::error_code ignored;
  std::filesystem::remove(raw, ignored);
  return shot;
}

Screenshot::Rgb Screenshot::At(int screenX, int screenY) const {
  const int x = screenX - originX_, y = screenY - originY_;
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
  const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)) * 3;
  return {rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

int Screenshot::Count(const RECT& area, const std::function<bool(Rgb)>& test) const {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (test(At(x, y))) ++n;
  return n;
}

// ---- ring geometry

POINT AnglePoint(const RECT& ringRect, double degrees, double radiusShare) {
  const double size = ringRect.right - ringRect.left;
  const double outerRadius = (size - 20) / 2;
  const double a = degrees * std::numbers::pi / 180.0;
  const double cx = ringRect.left + size / 2, cy = ringRect.top + size / 2;
  return {static_cast<LONG>(std::lround(cx + std::cos(a) * outerRadius * radiusShare)),
          static_cast<LONG>(std::lround(cy + std::sin(a) * outerRadius * radiusShare))};
}

POINT SegmentPoint(const RECT& ringRect, int index, int count) {
  const double step = 360.0 / count;
  return AnglePoint(ringRect, index * step + step / 2);
}

// ---- the notification area

std::vector<HWND> TrayIconWindows() {
  std::vector<WindowInfo> icons;
  // Wine keeps the icons in a tray window of its own: the X11 driver's stand-alone tray, or explorer's.
  for (const wchar_t* trayClass : {L"__winex11_standalone_tray", L"Shell_TrayWnd"})
    for (HWND tray = FindWindowExW(nullptr, nullptr, trayClass, nullptr); tray;
         tray = FindWindowExW(nullptr, tray, trayClass, nullptr))
      for (const WindowInfo& child : ChildWindows(tray))
        if ((child.className == L"__winex11_tray_icon" || child.className == L"__wine_tray_icon") &&
            child.visible)
          icons.push_back(child);
  std::sort(icons.begin(), icons.end(),
            [](const WindowInfo& a, const WindowInfo& b) { return a.rect.left < b.rect.left; });
  std::vector<HWND> handles;
  for (const WindowInfo& w : icons) handles.push_back(w.handle);
  return handles;
}

}  // namespace e2e
