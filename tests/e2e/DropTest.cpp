// Files dragged onto the ring by another program with OLE drag and drop, and launching a dropped program or
// shortcut, or opening a dropped folder as a ring of its own.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <tuple>

#include "tests/e2e/E2eAccessible.h"
#include "tests/e2e/ProgramTest.h"
// The shell-link object and the shell's file information, after <windows.h>.
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

namespace e2e {
namespace {

class DropTest : public ProgramTest {
 protected:
  // Our drag source drags `file` from an empty corner onto `target` and drops it there by itself, while
  // the user's hand holds the left or right button (the primary one of a left-handed mouse, whose buttons
  // are swapped, is the physical right one). Returns its exit code; the drop has been handled by then.
  long DragFileOnto(const std::filesystem::path& file, POINT target, bool rightButton, bool swapped = false) {
    const POINT park = Park();
    SetCursorPos(park.x, park.y);  // the button goes down on the empty corner, not on the ring
    const bool physicalRight = rightButton != swapped;
    HoldMouseButton(physicalRight, true);
    const long code = e2e::Run(L"\"" + DragSourceProgram().wstring() + L"\" --at " +
                               std::to_wstring(target.x) + L" " + std::to_wstring(target.y) + L" --from " +
                               std::to_wstring(park.x) + L" " + std::to_wstring(park.y) +
                               (rightButton ? L" --button right" : L"") + L" \"" + file.wstring() + L"\"");
    // The drag took the release. A right button let go on the segment would open its menu: that hand
    // lets go away from the ring.
    if (physicalRight) SetCursorPos(park.x, park.y);
    HoldMouseButton(physicalRight, false);
    return code;
  }

  // Waits until the four segments of a fresh ring show their normal colour (blue) beside their icons.
  static void WaitUntilDrawn(const RECT& ring) {
    ScreenWhen([&](const Screenshot& shot) {
      for (int i = 0; i < 4; ++i) {
        const POINT p = AnglePoint(ring, i * 90 + 45 + 20, 0.62);
        if (!Blue(shot.At(p.x, p.y))) return false;
      }
      return true;
    });
  }

  // Starts the program on a ring whose segment 0 holds First.exe and waits until it is drawn; a second
  // program, Second.exe, lies beside it to be dropped.
  struct UsedRing {
    std::filesystem::path second;
    std::string original;  // the configuration file as written
    RECT ring;
  };
  UsedRing StartWithAUsedSegment() {
    const std::filesystem::path first = PlaceMarker(L"First.exe");
    UsedRing used{
        PlaceMarker(L"Second.exe"), ConfigBytes(kGreen, kBlue, FourSegmentRecords(ConfigPath(first))), {}};
    WriteBytes(folder_.Config(), used.original);
    Start();
    used.ring = WaitForRing(5);
    WaitUntilDrawn(used.ring);
    return used;
  }

  // The records of a configuration file: all but its closing line.
  static std::string RecordsPart(const std::string& bytes) {
    return bytes.substr(0, bytes.size() - std::string("</Settings>\r\n").size());
  }

  static constexpr long kCancelled = 100, kFailed = 101;
};

// A ring button as a screen reader in this process finds it.
struct Button {
  HWND window = nullptr;
  Seen seen;
};
// The program's ring buttons on the display but those in `except` (the hint, which the pointer passes
// through, left out), read from this process, by the path each describes.
std::map<std::wstring, Button> ShownButtons(const VantelProcess& program, const std::set<HWND>& except) {
  std::map<std::wstring, Button> found;
  for (const WindowInfo& w : program.Windows())
    if (w.visible && w.className == L"VantelGDIButton" && !(w.exStyle & WS_EX_TRANSPARENT) &&
        !except.contains(w.handle)) {
      const Seen seen = ReadWindow(w.handle);
      found[seen.description] = {w.handle, seen};
    }
  return found;
}

// How many pixels differ between two pictures in an area.
int Changed(const Screenshot& a, const Screenshot& b, const RECT& area) {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      const auto p = a.At(x, y), q = b.At(x, y);
      if (std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 60) ++n;
    }
  return n;
}

TEST_F(DropTest, ALeftDropOnAnEmptySegmentShowsTheIconStoresTheRecordAndADoubleClickRunsIt) {
  const std::filesystem::path marker = PlaceMarker(L"Marker.exe");
  const std::string original = ConfigBytes(kGreen, kBlue, FourSegmentRecords());
  WriteBytes(folder_.Config(), original);
  Start();
  const RECT ring = WaitForRing(5);
  WaitUntilDrawn(ring);
  const POINT target = SegmentPoint(ring, 0, 4);
  const RECT iconArea{target.x - 20, target.y - 20, target.x + 20, target.y + 20};
  const Screenshot before = Screenshot::Take();

  const long code = DragFileOnto(marker, target, false);
  EXPECT_NE(code, kCancelled);
  EXPECT_NE(code, kFailed);

  // The record of segment 0 gets the path, after its GUID (the loaded record had no path).
  std::string expected = original;
  const std::string line = "<ButtonInfo ButonType=\"0\" ButtonGuid=\"" + TestGuid(1) + "\"/>";
  expected.replace(expected.find(line), line.size(),
                   "<ButtonInfo ButonType=\"0\" ButtonGuid=\"" + TestGuid(1) + "\" ButtonFilePath=\"" +
                       ConfigPath(marker) + "\"/>");
  EXPECT_EQ(ReadBytes(folder_.Config()), expected);
  EXPECT_EQ(program_->RingWindows().size(), 5u) << "a drop on an empty segment adds none";
  const POINT away = Park();
  pointer::MoveTo(away.x, away.y);
  EXPECT_GT(
      Changed(before, ScreenWhen([&](const Screenshot& s) { return Changed(before, s, iconArea) > 100; }),
              iconArea),
      100)
      << "the file's icon shows on the segment";

  pointer::DoubleClick(target.x, target.y);
  const std::filesystem::path ran = folder_ / L"Marker.exe.ran";
  EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(ran); }, 10000))
      << "the double-click runs the program";
}

// A shortcut dropped on the ring opens as itself: the program gets the shortcut's arguments and starts in
// its start-in folder.
TEST_F(DropTest, ADroppedShortcutRunsWithItsArgumentsInItsStartInFolder) {
  const std::filesystem::path program = PlaceMarker(L"Tool.exe"), startIn = folder_ / L"start here";
  std::filesystem::create_directory(startIn);
  const std::filesystem::path link = folder_ / L"Tool.lnk";
  {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    IShellLinkW* shellLink = nullptr;
    IPersistFile* file = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                               reinterpret_cast<void**>(&shellLink)),
              S_OK);
    shellLink->SetPath(program.c_str());
    shellLink->SetArguments(L"--from-link \"two words\"");
    shellLink->SetWorkingDirectory(startIn.c_str());
    shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    EXPECT_EQ(file->Save(link.c_str(), TRUE), S_OK);
    file->Release();
    shellLink->Release();
    CoUninitialize();
  }
  WriteBytes(folder_.Config(), ConfigBytes(kGreen, kBlue, FourSegmentRecords()));
  Start();
  const RECT ring = WaitForRing(5);
  WaitUntilDrawn(ring);
  const POINT target = SegmentPoint(ring, 0, 4);
  DragFileOnto(link, target, false);

  pointer::DoubleClick(target.x, target.y);
  const std::filesystem::path ran = program.wstring() + L".ran";
  ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(ran); }, 10000)) << "the double-click runs it";
  const std::string bytes = ReadBytes(ran);
  const std::wstring report(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
  EXPECT_NE(report.find(L"--from-link \"two words\"\r\n"), std::wstring::npos) << "its arguments";
  EXPECT_NE(report.find(L"\r\n" + startIn.wstring() + L"\r\n"), std::wstring::npos) << "its start-in folder";
}

TEST_F(DropTest, ALeftDropOnAUsedSegmentAddsASegmentWithItsOwnRecord) {
  const auto [second, original, ring] = StartWithAUsedSegment();

  const POINT target = SegmentPoint(ring, 0, 4);
  DragFileOnto(second, target, false);
  WaitForRing(6);
  const std::string stored = ReadBytes(folder_.Config());
  const std::string kept = RecordsPart(original);
  ASSERT_EQ(stored.compare(0, kept.size(), kept), 0) << "the records before stay as they were:\n" << stored;
  const std::string added = stored.substr(kept.size());
  const std::regex record(
      "  <ButtonInfo ButonType=\"0\" ButtonFilePath=\"" +
      std::regex_replace(ConfigPath(second), std::regex(R"([\\.^$|()\[\]{}*+?])"), R"(\$&)") +
      "\" ButtonGuid=\"\\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\}\"/>\r\n</Settings>\r\n");
  EXPECT_TRUE(std::regex_match(added, record)) << "a new record for the new segment:\n" << added;

  // Right after the drop: the pointer off the ring and straight back onto the point of the drop.
  const RECT nameBand = NameBand(ring);
  const POINT park = Park();
  pointer::MoveTo(park.x, park.y);
  EXPECT_TRUE(Nameless(ScreenWhen([&](const Screenshot& s) { return Nameless(s, nameBand); }), nameBand));
  pointer::MoveTo(target.x, target.y);
  EXPECT_TRUE(Named(ScreenWhen([&](const Screenshot& s) { return Named(s, nameBand); }), nameBand))
      << "the name of the dropped-on segment";
}

TEST_F(DropTest, ARightDropOnAUsedSegmentReplacesItsFile) {
  const auto [second, original, ring] = StartWithAUsedSegment();

  DragFileOnto(second, SegmentPoint(ring, 0, 4), true);
  EXPECT_EQ(ReadBytes(folder_.Config()), ConfigBytes(kGreen, kBlue, FourSegmentRecords(ConfigPath(second))))
      << "the record keeps its place and GUID and takes the new path";
  EXPECT_EQ(program_->RingWindows().size(), 5u);
}

// A left-handed mouse, its buttons swapped: an ordinary drag (the physical right button) onto a used segment
// adds a segment and leaves the stored file alone.
TEST_F(DropTest, WithSwappedButtonsAnOrdinaryDragAddsASegmentAndReplacesNothing) {
  struct SwappedButtons {
    BOOL before = SwapMouseButton(TRUE);
    ~SwappedButtons() { SwapMouseButton(before); }  // also when the test fails
  } swapped;
  ASSERT_TRUE(GetSystemMetrics(SM_SWAPBUTTON));
  const auto [second, original, ring] = StartWithAUsedSegment();

  DragFileOnto(second, SegmentPoint(ring, 0, 4), /*rightButton=*/false, /*swapped=*/true);
  WaitForRing(6);
  const std::string stored = ReadBytes(folder_.Config());
  const std::string kept = RecordsPart(original);
  EXPECT_EQ(stored.compare(0, kept.size(), kept), 0) << "segment 0 keeps its file:\n" << stored;
  EXPECT_NE(stored.find(ConfigPath(second), kept.size()), std::string::npos) << "a new record:\n" << stored;
}

// A dropped folder opens as a ring of its own at a click on its segment: another process reads the entries,
// a folder entry opens the next ring, which Esc closes again, and a double-click on a program runs it in its
// own folder and closes every folder ring. Nothing of it is stored.
TEST_F(DropTest, ADroppedFolderOpensAsARingOfItsEntriesWhoseProgramRunsInItsFolderStoringNothing) {
  const std::filesystem::path stuff = folder_ / L"Stuff", sub = stuff / L"Sub";
  std::filesystem::create_directories(sub);
  WriteBytes(sub / L"inner.txt", "inner");
  WriteBytes(stuff / L"notes.txt", "notes");
  const std::filesystem::path marker = PlaceMarker(L"Stuff\\Marker.exe");
  WriteBytes(folder_.Config(), ConfigBytes(kGreen, kBlue, FourSegmentRecords()));
  VantelProcess& program = Start();
  const RECT ring = WaitForRing(5);
  WaitUntilDrawn(ring);
  std::set<HWND> mainRing;
  for (const WindowInfo& w : program.RingWindows()) mainRing.insert(w.handle);
  const POINT target = SegmentPoint(ring, 0, 4);
  DragFileOnto(stuff, target, false);
  std::string stored;
  ASSERT_TRUE(WaitFor([&] {
    stored = ReadBytes(folder_.Config());
    return stored.find("ButtonFilePath=\"" + ConfigPath(stuff) + "\"") != std::string::npos;
  })) << stored;

  // What a screen reader reads of each button by the path it describes: the shell's display name (this
  // process's shell gives the same), the default action and the role.
  ComApartment com;
  using Table = std::map<std::wstring, std::tuple<std::wstring, std::wstring, long>>;
  const std::wstring open = L"\u6253\u5f00", expand = L"\u5c55\u5f00";
  auto row = [](const std::filesystem::path& path, const std::wstring& action) {
    SHFILEINFOW info{};
    SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_DISPLAYNAME);
    return Table::value_type{path.wstring(), {info.szDisplayName, action, ROLE_SYSTEM_PUSHBUTTON}};
  };
  auto tableOf = [](const std::map<std::wstring, Button>& buttons) {
    Table table;
    for (const auto& [path, b] : buttons) table[path] = {b.seen.name, b.seen.action, b.seen.role};
    return table;
  };
  // Waits until the buttons shown but those in `except` are read as `expected`; returns them.
  auto waitForButtons = [&](const std::set<HWND>& except, const Table& expected) {
    std::map<std::wstring, Button> shown;
    WaitFor([&] { return tableOf(shown = ShownButtons(program, except)) == expected; });
    EXPECT_EQ(tableOf(shown), expected);
    return shown;
  };
  auto handles = [](const std::map<std::wstring, Button>& buttons) {
    std::set<HWND> set;
    for (const auto& [path, b] : buttons) set.insert(b.window);
    return set;
  };
  // The point on segment `index` of a folder ring of `count` entries, once it is `button`'s window there.
  auto entryPoint = [](const std::map<std::wstring, Button>& ringButtons, const Button& button, int index,
                       int count) {
    POINT at{};
    EXPECT_TRUE(WaitFor([&] {
      std::vector<WindowInfo> windows;
      for (const auto& [path, b] : ringButtons) windows.push_back(e2e::Describe(b.window));
      at = SegmentPoint(RingSquare(windows), index, count);
      return WindowFromPoint(at) == button.window;
    })) << "entry "
        << index << " is not at " << at.x << "," << at.y;
    return at;
  };
  auto mainSegment = [&] { return ReadWindow(WindowFromPoint(target)); };
  ASSERT_TRUE(WaitFor([&] { return mainSegment().action == expand; }))
      << "the dropped folder's segment opens a ring: " << mainSegment().action;

  // A click without a move: the folder's ring, its centre the folder, its sub-folder first.
  pointer::Click(target.x, target.y);
  const Table firstExpected{row(stuff, open), row(sub, expand), row(marker, open),
                            row(stuff / L"notes.txt", open)};
  std::map<std::wstring, Button> first = waitForButtons(mainRing, firstExpected);
  ASSERT_EQ(first.size(), firstExpected.size());
  const std::set<HWND> firstRing = handles(first);

  // The sub-folder's entry opens the next ring; Esc closes it, and the first one stands.
  const POINT subAt = entryPoint(first, first[sub.wstring()], 0, 3);
  pointer::Click(subAt.x, subAt.y);
  std::set<HWND> belowSecond = mainRing;
  belowSecond.insert(firstRing.begin(), firstRing.end());
  const std::set<HWND> secondRing =
      handles(waitForButtons(belowSecond, Table{row(sub, open), row(sub / L"inner.txt", open)}));
  ASSERT_TRUE(WaitFor([&] { return secondRing.contains(GetForegroundWindow()); })) << "the keys go to it";
  keyboard::Press(VK_ESCAPE);
  ASSERT_TRUE(WaitFor([&] { return handles(ShownButtons(program, mainRing)) == firstRing; }))
      << "Esc closes the sub-folder's ring alone";

  // A double-click on the program runs it in its own folder, and every folder ring goes.
  const POINT markerAt = entryPoint(first, first[marker.wstring()], 1, 3);
  pointer::DoubleClick(markerAt.x, markerAt.y);
  const std::filesystem::path ran = marker.wstring() + L".ran";
  ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(ran); }, 20000)) << "the double-click runs it";
  const std::string bytes = ReadBytes(ran);
  const std::wstring report(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
  EXPECT_NE(report.find(L"\r\n" + stuff.wstring() + L"\r\n"), std::wstring::npos) << "its own folder";
  EXPECT_TRUE(WaitFor([&] { return ShownButtons(program, mainRing).empty(); })) << "no folder ring stands";
  WaitUntilIdle();
  EXPECT_EQ(ReadBytes(folder_.Config()), stored) << "a folder ring stores nothing";
}

}  // namespace
}  // namespace e2e
