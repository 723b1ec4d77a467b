// The fixture of the whole-program tests.
#include "tests/e2e/ProgramTest.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace e2e {

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool Reddish(Screenshot::Rgb c) {
  return c.r > 80 && c.r > c.g + 40 && c.r > c.b + 40;
}
bool Dark(Screenshot::Rgb c) {
  return c.r + c.g + c.b < 40;
}
bool Blue(Screenshot::Rgb c) {
  return c.b > c.g + 40;
}
bool Green(Screenshot::Rgb c) {
  return c.g > c.b + 40;
}
bool White(Screenshot::Rgb c) {
  return c.r > 220 && c.g > 220 && c.b > 220;
}

RECT NameBand(const RECT& ring) {
  return {ring.left - 150, ring.top - 40, ring.right + 150, ring.top};
}
bool Named(const Screenshot& shot, const RECT& band) {
  return shot.Count(band, Reddish) > 20;
}

// How wide the red name in the band is; 0 without one.
int NameWidth(const Screenshot& shot, const RECT& band) {
  if (!Named(shot, band)) return 0;
  int left = band.right, right = band.left;
  for (int y = band.top; y < band.bottom; ++y)
    for (int x = band.left; x < band.right; ++x)
      if (Reddish(shot.At(x, y))) left = std::min(left, x), right = std::max(right, x + 1);
  return right - left;
}
bool Nameless(const Screenshot& shot, const RECT& band) {
  return shot.Count(band, Reddish) == 0;
}

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) +
         "x" + std::to_string(r.bottom - r.top) + ")";
}

void ProgramTest::SetUp() {
  const POINT park = Park();
  pointer::MoveTo(park.x, park.y);
}

void ProgramTest::TearDown() {
  if (HasFailure()) Screenshot::Take(folder_ / L"failure.png");  // kept with the folder
  if (program_) program_->Kill();
  program_.reset();
  const POINT park = Park();
  pointer::MoveTo(park.x, park.y);
}

POINT ProgramTest::Park() const {
  return {GetSystemMetrics(SM_CXSCREEN) - 30, GetSystemMetrics(SM_CYSCREEN) - 30};  // on the primary monitor
}

Screenshot ProgramTest::ScreenWhen(const std::function<bool(const Screenshot&)>& done, unsigned limitMs) {
  Screenshot shot;
  WaitFor(
      [&] {
        shot = Screenshot::Take();
        return shot.Valid() && done(shot);
      },
      limitMs, 100);
  return shot;
}

void ProgramTest::MoveThrough(const std::vector<POINT>& points) {
  std::wstring args;
  for (const POINT& screen : points) {
    const POINT p = pointer::OnDisplay(screen.x, screen.y);
    args += L" mousemove " + std::to_wstring(p.x) + L" " + std::to_wstring(p.y) + L" sleep 0.01";
  }
  ASSERT_EQ(RunUnix(L"/usr/bin/xdotool" + args), 0);
}

VantelProcess& ProgramTest::Start() {
  program_ = std::make_unique<VantelProcess>(folder_.Path());
  return *program_;
}

RECT ProgramTest::WaitForRing(size_t windows, unsigned limitMs) {
  RECT square{};
  std::vector<WindowInfo> last;
  const bool shown = WaitFor(
      [&] {
        last = program_->RingWindows();
        if (last.size() != windows) return false;
        square = RingSquare(last);
        for (const WindowInfo& w : last) {
          RECT inside{};
          if (!IntersectRect(&inside, &w.rect, &square) || !SameRect(inside, w.rect)) return false;
        }
        return true;
      },
      limitMs);
  if (!shown) {
    std::string seen;
    for (const WindowInfo& w : last) seen += " " + Describe(w.rect);
    ADD_FAILURE() << "expected " << windows << " ring windows on one square; saw " << last.size() << ":"
                  << seen;
  }
  return square;
}

HWND ProgramTest::OpenTrayMenu() {
  EXPECT_TRUE(WaitFor([] { return !TrayIconWindows().empty(); })) << "no icon in the notification area";
  // Icons of programs that ended without removing theirs may stand before ours: the one whose right
  // click opens our menu is ours.
  // The first click on the tray after it appeared may only activate it: a few rounds.
  for (int round = 0; round < 3; ++round) {
    for (HWND icon : TrayIconWindows()) {
      const POINT at = e2e::Describe(icon).Centre();
      pointer::Click(at.x, at.y, 3);
      if (HWND menu = WaitForPopupMenu(1500)) return menu;
      keyboard::Press(VK_ESCAPE);
      WaitFor([&] { return !program_->PopupMenuWindow(); }, 3000);
    }
  }
  ADD_FAILURE() << "no icon in the notification area opens the program's menu";
  return nullptr;
}

void ProgramTest::ClickMenuEntry(HWND menu, size_t entry, const std::string& layout) {
  ASSERT_LT(entry, layout.size());
  // The skin's metrics: items of one height, separators 7 pixels, a 3-pixel border around them.
  constexpr int kBorder = 3, kSeparator = 7;
  const WindowInfo box = e2e::Describe(menu);
  const int separators = static_cast<int>(std::count(layout.begin(), layout.end(), 's'));
  const int items = static_cast<int>(layout.size()) - separators;
  const int itemHeight = (box.Height() - 2 * kBorder - separators * kSeparator) / items;
  int y = box.rect.top + kBorder;
  for (size_t i = 0; i < entry; ++i) y += layout[i] == 's' ? kSeparator : itemHeight;
  if (getenv("E2E_DEBUG")) {
    std::printf("menu %s entry %zu at %ld,%d\n", Describe(box.rect).c_str(), entry,
                box.rect.left + box.Width() / 2, y + itemHeight / 2);
    Screenshot::Take(folder_ / (L"menu" + std::to_wstring(entry) + L".png"));
  }
  pointer::Click(box.rect.left + box.Width() / 2, y + itemHeight / 2);
  EXPECT_TRUE(
      WaitFor([&] { return !program_->Running() || !IsWindow(menu) || !IsWindowVisible(menu); }, 5000))
      << "the menu closes after its command";
}

HWND ProgramTest::OpenSettings() {
  HWND menu = OpenTrayMenu();
  if (!menu) return nullptr;
  ClickMenuEntry(menu, kShowSettings, kTrayMenuLayout);
  HWND main = program_->MainWindow();
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) && e2e::Describe(main).Width() > 0; }, 5000));
  // The command has sized the window; then its face on the display (over the dark desktop).
  WaitUntilIdle();
  EXPECT_TRUE(WaitUntilOnScreen(
      main, [](Screenshot::Rgb c) { return !Dark(c); }, 0.75))
      << "the settings window is not on the display";
  return main;
}

void ProgramTest::WaitUntilIdle(unsigned limitMs) {
  HWND main = program_->MainWindow();
  DWORD_PTR answer = 0;
  EXPECT_TRUE(main && SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, limitMs, &answer))
      << "the program does not answer";
}

bool ProgramTest::WaitUntilOnScreen(HWND window, const std::function<bool(Screenshot::Rgb)>& test,
                                    double share, unsigned limitMs) {
  RECT area = e2e::Describe(window).rect;
  const RECT screen{0, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  if (!IntersectRect(&area, &area, &screen)) return false;
  const double pixels = static_cast<double>(area.right - area.left) * (area.bottom - area.top);
  return ScreenWhen([&](const Screenshot& shot) { return shot.Count(area, test) >= share * pixels; }, limitMs)
             .Count(area, test) >= share * pixels;
}

HWND ProgramTest::WaitForPopupMenu(unsigned limitMs) {
  HWND menu = nullptr;
  if (!WaitFor([&] { return (menu = program_->PopupMenuWindow()) != nullptr; }, limitMs)) return nullptr;
  // The items' white bodies cover most of a menu: over the ring and the dark desktop, a third is plenty.
  EXPECT_TRUE(WaitUntilOnScreen(menu, White, 1.0 / 3)) << "the menu is not on the display";
  return menu;
}

void ProgramTest::WaitForStartUp(unsigned limitMs) {
  EXPECT_TRUE(WaitFor(
      [&] {
        HWND main = program_->MainWindow();
        return main &&
               e2e::Describe(main).text.rfind(L"\u6700\u65b0\u7684Vantel", 0) == 0;  // "最新的Vantel..."
      },
      limitMs))
      << "the main window was not shown";
}

std::vector<Record> ProgramTest::FourSegmentRecords(const std::string& firstPath) {
  return {{1, "", TestGuid(16)}, {0, firstPath, TestGuid(1)}, {0, "", TestGuid(2)}, {0, "", TestGuid(3)}};
}

std::filesystem::path ProgramTest::PlaceMarker(const std::wstring& name) {
  const std::filesystem::path copy = folder_ / name;
  std::filesystem::copy_file(MarkerProgram(), copy, std::filesystem::copy_options::overwrite_existing);
  return copy;
}

}  // namespace e2e
