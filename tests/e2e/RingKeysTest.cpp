// The ring and the keyboard: the hotkey's summons and what it gives back, the keys, the segment's menu, and
// what a screen reader in another process reads.
#include <gtest/gtest.h>

// clang-format off
#include "framework/Win32.h"
#include <oleacc.h>
// clang-format on

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "tests/e2e/E2eAccessible.h"
#include "tests/e2e/ProgramTest.h"

namespace e2e {
namespace {

using RingKeysTest = ProgramTest;

// The hotkey brings the ring's middle to the pointer, above every window, and whole at a screen corner; Esc
// and the hotkey again send it back. Nothing is stored.
TEST_F(RingKeysTest, TheHotkeyBringsTheRingToThePointerWholeAtACornerAndEscSendsItBack) {
  const std::string config =
      ConfigBytes(kGreen, kBlue, {{0, ConfigPath(PlaceMarker(L"One.exe")), TestGuid(1)}});
  WriteBytes(folder_.Config(), config);
  VantelProcess& program = Start();
  const RECT home = WaitForRing(6);  // one record, topped up to five segments
  WaitUntilIdle();
  // A window of the test's own is in front, as an editor the user types in.
  UniqueWindow editor(CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE | WS_BORDER, 1300, 60, 300, 30,
                                      nullptr, nullptr, nullptr, nullptr));
  // The editor's thread handles its messages as a program's does, also while the ring comes and goes.
  auto pumpUntil = [](const std::function<bool()>& done) {
    return WaitFor([&] {
      for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      return done();
    });
  };
  SetForegroundWindow(editor.get());
  ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == editor.get(); }));
  RECT now{};
  auto ringAt = [&](LONG left, LONG top) {
    return pumpUntil([&] {
      const auto windows = program.RingWindows();
      if (windows.size() != 6u) return false;
      now = RingSquare(windows);
      return now.left == left && now.top == top;
    });
  };

  pointer::MoveTo(300, 250);
  keyboard::Chord({VK_CONTROL, VK_MENU}, VK_SPACE);
  EXPECT_TRUE(ringAt(300 - 90, 250 - 90)) << Describe(now);
  for (const WindowInfo& w : program.RingWindows())
    EXPECT_TRUE(w.exStyle & WS_EX_TOPMOST) << "above every window";
  keyboard::Press(VK_ESCAPE);
  EXPECT_TRUE(ringAt(home.left, home.top)) << "Esc: back to its place " << Describe(now);
  EXPECT_TRUE(pumpUntil([&] { return GetForegroundWindow() == editor.get(); }))
      << "the foreground is given back";
  // The user goes on typing: the keys reach the editor, and the ring at home launches nothing.
  keyboard::Type(L"1");
  keyboard::Press(VK_RETURN);
  keyboard::Type(L"2");
  wchar_t typed[8] = {};
  EXPECT_TRUE(pumpUntil([&] { return GetWindowTextW(editor.get(), typed, 8) == 2; }));
  EXPECT_STREQ(typed, L"12");
  EXPECT_FALSE(std::filesystem::exists(folder_ / L"One.exe.ran"));
  editor.reset();

  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  pointer::MoveTo(work.left + 3, work.top + 3);
  keyboard::Chord({VK_CONTROL, VK_MENU}, VK_SPACE);
  EXPECT_TRUE(ringAt(work.left, work.top)) << "moved in whole at the corner " << Describe(now);
  keyboard::Chord({VK_CONTROL, VK_MENU}, VK_SPACE);
  EXPECT_TRUE(ringAt(home.left, home.top)) << "the hotkey again: back " << Describe(now);
  EXPECT_EQ(ReadBytes(folder_.Config()), config);
  EXPECT_FALSE(std::filesystem::exists(folder_ / L"Vantel.ini"));
}

// A segment that holds a program has the file's commands above its delete entry: its path goes to the
// clipboard, and its folder opens in the shell's own window.
TEST_F(RingKeysTest, ASegmentsMenuCopiesItsPathAndOpensItsFolder) {
  const std::filesystem::path marker = PlaceMarker(L"Two.exe");
  const std::string config = ConfigBytes(kGreen, kBlue, {{0, ConfigPath(marker), TestGuid(1)}});
  WriteBytes(folder_.Config(), config);
  Start();
  const RECT ring = WaitForRing(6);
  WaitUntilIdle();
  const POINT first = SegmentPoint(ring, 0, 5);
  // Open the folder, run as administrator (a program), copy the path, delete.
  const std::string layout = "iiii";
  auto choose = [&](size_t entry) {
    pointer::Click(first.x, first.y, 3);
    const HWND menu = WaitForPopupMenu(5000);
    ASSERT_NE(menu, nullptr) << "no segment menu";
    ClickMenuEntry(menu, entry, layout);
  };
  auto clipboard = [] {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) text = chars;
      GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
  };
  choose(2);
  EXPECT_TRUE(WaitFor([&] { return clipboard() == marker.wstring(); })) << "copied: " << clipboard().size();

  // The shell's window for the folder, named after it. It is closed again: a window left on the display
  // would take the pointer from the tests after this one.
  const std::wstring folderName = marker.parent_path().filename().wstring();
  auto folderWindow = [&] {
    struct Search {
      std::wstring name;
      HWND found = nullptr;
    } search{folderName};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto& s = *reinterpret_cast<Search*>(data);
          wchar_t title[512] = {};
          GetWindowTextW(window, title, 512);
          if (IsWindowVisible(window) && std::wstring(title).find(s.name) != std::wstring::npos)
            s.found = window;
          return s.found ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  };
  auto close = [](HWND window) {
    if (window) PostMessageW(window, WM_CLOSE, 0, 0);
    return WaitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); });
  };
  for (int left = 0; left < 5 && close(folderWindow()) && folderWindow(); ++left) {
    // one an earlier run left open
  }
  ASSERT_EQ(folderWindow(), nullptr);
  choose(0);
  HWND shown = nullptr;
  EXPECT_TRUE(WaitFor([&] { return (shown = folderWindow()) != nullptr; }, 30000))
      << "no window of the shell's for " << std::string(folderName.begin(), folderName.end());
  EXPECT_TRUE(close(shown));
  EXPECT_EQ(ReadBytes(folder_.Config()), config);
}

// Once a click gave the ring the foreground, the keys walk it: the hover colour and the red name follow the
// selection, Shift+F10 opens the selected segment's menu, and Enter opens its file.
TEST_F(RingKeysTest, TheKeysWalkTheRingWithTheNameFollowingAndEnterLaunches) {
  const std::wstring names[] = {L"W.exe", L"WW.exe", L"WWW.exe"};
  std::vector<Record> records;
  for (int i = 0; i < 3; ++i) records.push_back({0, ConfigPath(PlaceMarker(names[i])), TestGuid(i + 1)});
  records.push_back({1, "", TestGuid(9)});
  WriteBytes(folder_.Config(), ConfigBytes(kGreen, kBlue, records));
  Start();
  const RECT ring = WaitForRing(5);
  const RECT nameBand = NameBand(ring);
  std::vector<POINT> probes;  // beside each of the four segments' icons
  for (int i = 0; i < 4; ++i) probes.push_back(AnglePoint(ring, i * 90 + 45 + 25, 0.62));
  // Waits until segment `selected` alone has the hover colour and a name shows; returns the name's width.
  auto expectSelected = [&](int selected, const std::string& after) {
    auto shows = [&](const Screenshot& s) {
      for (int k = 0; k < 4; ++k)
        if (k == selected ? !Green(s.At(probes[k].x, probes[k].y)) : !Blue(s.At(probes[k].x, probes[k].y)))
          return false;
      return Named(s, nameBand);
    };
    const Screenshot shot = ScreenWhen(shows);
    EXPECT_TRUE(shows(shot)) << after << ": segment " << selected << " alone selected, its name shown";
    return NameWidth(shot, nameBand);
  };

  const POINT middle{(ring.left + ring.right) / 2, (ring.top + ring.bottom) / 2};
  pointer::Click(middle.x, middle.y);
  const POINT park = Park();
  pointer::MoveTo(park.x, park.y);
  ASSERT_TRUE(WaitFor([&] {
    DWORD owner = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &owner);
    return owner == program_->Id();
  })) << "a click gives the ring the foreground";

  keyboard::Press(VK_RIGHT);
  const int first = expectSelected(0, "Right");
  keyboard::Press(VK_RIGHT);
  const int second = expectSelected(1, "Right again");
  EXPECT_GT(second, first) << "the next segment's own, longer name";
  keyboard::Press('3');
  EXPECT_GT(expectSelected(2, "3"), second);
  keyboard::Press(VK_LEFT);
  EXPECT_NEAR(expectSelected(1, "Left"), second, 2);

  // Shift+F10 opens the selected segment's menu; once Esc closed it, the keys reach the ring again.
  keyboard::Chord({VK_SHIFT}, VK_F10);
  const HWND menu = WaitForPopupMenu(5000);
  ASSERT_NE(menu, nullptr) << "Shift+F10 opens the segment's menu";
  keyboard::Press(VK_ESCAPE);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }));
  keyboard::Press(VK_RETURN);
  EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(folder_ / L"WW.exe.ran"); }, 20000))
      << "Enter opens the selected segment's program";
  EXPECT_FALSE(std::filesystem::exists(folder_ / L"W.exe.ran"));
}

// A screen reader is another process: from the test's own, it finds the worked example's ring objects by
// their windows and under points of their slices, and opens a segment by its default action. The hotkey's
// summons put the focus on the first segment, and the ring stays summoned meanwhile.
TEST_F(RingKeysTest, AnotherProcessReadsTheRingsObjectsTheSummonFocusesTheFirstSegmentItsActionOpensIt) {
  const std::filesystem::path player = PlaceMarker(L"Player.exe");
  WriteBytes(folder_.Config(), ConfigBytes(kRed, kBlue,
                                           {{1, "C:\\windows\\notepad.exe", TestGuid(10)},
                                            {0, ConfigPath(player), TestGuid(11)},
                                            {0, "", TestGuid(12)}}));
  VantelProcess& program = Start();
  WaitForRing(5);
  WaitUntilIdle();
  ComApartment com;
  const std::wstring empty = L"\u7a7a\u4f4d\uff1a\u628a\u6587\u4ef6\u62d6\u5230\u8fd9\u91cc";

  // AccessibleObjectFromWindow(OBJID_CLIENT, IID_IAccessible) across the processes: each ring window.
  std::vector<std::wstring> names;
  for (const WindowInfo& w : program.RingWindows()) {
    const Seen seen = ReadWindow(w.handle);
    EXPECT_EQ(seen.role, ROLE_SYSTEM_PUSHBUTTON);
    names.push_back(seen.name);
  }
  EXPECT_EQ(std::count(names.begin(), names.end(), empty), 3) << "the three empty segments say so";

  pointer::MoveTo(300, 250);
  keyboard::Chord({VK_CONTROL, VK_MENU}, VK_SPACE);
  RECT ring{};
  ASSERT_TRUE(WaitFor([&] {
    ring = RingSquare(program.RingWindows());
    return ring.left == 300 - 90 && ring.top == 250 - 90;
  })) << "summoned "
      << Describe(ring);
  const POINT park = Park();
  pointer::MoveTo(park.x, park.y);

  // As a screen reader finds the focus: the foreground thread's focus window, its object's accFocus.
  auto focusName = [] {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ComPtr<IAccessible> object;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(GetForegroundWindow(), nullptr), &info) ||
        !info.hwndFocus ||
        AccessibleObjectFromWindow(info.hwndFocus, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                   reinterpret_cast<void**>(object.Put())) != S_OK)
      return std::wstring();
    VARIANT focus{};
    if (object->get_accFocus(&focus) != S_OK || focus.vt != VT_I4 || focus.lVal != CHILDID_SELF) {
      VariantClear(&focus);
      return std::wstring();
    }
    return Read(*object.Get()).name;
  };
  std::wstring focused;
  EXPECT_TRUE(WaitFor([&] { return (focused = focusName()).starts_with(L"Player"); })) << "summoned";
  keyboard::Press(VK_RIGHT);
  EXPECT_TRUE(WaitFor([&] { return (focused = focusName()) == empty; })) << "after Right";
  keyboard::Press(VK_LEFT);
  ASSERT_TRUE(WaitFor([&] { return focusName().starts_with(L"Player"); }));
  // The red name is no item of its own: no push button, no empty slot.
  for (const WindowInfo& w : program.Windows()) {
    if (!(w.exStyle & WS_EX_LAYERED) || !(w.exStyle & WS_EX_TRANSPARENT)) continue;
    ComPtr<IAccessible> hint;
    ASSERT_EQ(AccessibleObjectFromWindow(w.handle, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                         reinterpret_cast<void**>(hint.Put())),
              S_OK);
    const Seen seen = Read(*hint.Get());
    EXPECT_NE(seen.role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_NE(seen.name, empty);
  }

  // AccessibleObjectFromPoint: the object on each slice, with its box round the point.
  struct Expected {
    POINT at;
    std::wstring name, description;
    long state;
  };
  const Expected table[] = {
      {{(ring.left + ring.right) / 2, (ring.top + ring.bottom) / 2},
       L"notepad",
       L"C:\\windows\\notepad.exe",
       STATE_SYSTEM_FOCUSABLE},
      {SegmentPoint(ring, 0, 4), L"Player", player.wstring(), STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED},
      {SegmentPoint(ring, 1, 4), empty, L"", STATE_SYSTEM_FOCUSABLE},
      {SegmentPoint(ring, 3, 4), empty, L"", STATE_SYSTEM_FOCUSABLE},
  };
  ComPtr<IAccessible> first;
  for (const Expected& e : table) {
    ComPtr<IAccessible> object;
    VARIANT child{};
    Seen seen;
    // The focus comes with the summons, from the program's loop.
    EXPECT_TRUE(WaitFor([&] {
      VariantClear(&child);
      seen = {};
      if (AccessibleObjectFromPoint(e.at, object.Put(), &child) == S_OK && child.vt == VT_I4 &&
          child.lVal == CHILDID_SELF)
        seen = Read(*object.Get());
      return seen.state == e.state;
    })) << Describe(ring)
        << " state " << std::hex << seen.state;
    EXPECT_TRUE(seen.name.starts_with(e.name)) << e.at.x << "," << e.at.y;
    EXPECT_EQ(seen.description, e.description);
    EXPECT_EQ(seen.action, e.description.empty() ? L"" : L"\u6253\u5f00");
    EXPECT_TRUE(PtInRect(&seen.box, e.at)) << Describe(seen.box);
    if (e.name == L"Player") first = object;
  }
  ASSERT_TRUE(first);

  // The parent is the segment window's standard object (which Wine makes without a role or a name).
  ComPtr<IDispatch> parent;
  ASSERT_EQ(first->get_accParent(parent.Put()), S_OK);
  const ComPtr<IAccessible> window = parent.As<IAccessible>();
  HWND parentWindow = nullptr, firstWindow = nullptr;
  ASSERT_TRUE(window);
  EXPECT_EQ(WindowFromAccessibleObject(window.Get(), &parentWindow), S_OK);
  EXPECT_EQ(WindowFromAccessibleObject(first.Get(), &firstWindow), S_OK);
  EXPECT_TRUE(parentWindow && parentWindow == firstWindow);

  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  EXPECT_EQ(first->accDoDefaultAction(self), S_OK);
  EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(folder_ / L"Player.exe.ran"); }, 20000))
      << "the default action opens the segment's program";
  EXPECT_TRUE(SameRect(RingSquare(program.RingWindows()), ring)) << "still summoned";
}

}  // namespace
}  // namespace e2e
