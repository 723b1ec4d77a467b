// Start-up with the program's own button group: the ring it makes and the messages the user sees.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "GDIButtons/XmlControlButtonGroup.h"
#include "app/RingSummon.h"
#include "app/VTMainForm.h"
#include "framework/Handles.h"
#include "framework/Forms.h"
#include "tests/app/FormTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

class RealGroupStartTest : public apptest::MainFormTest {
 protected:
  TfrmVantelMain& Start() {
    form = std::make_unique<TfrmVantelMain>(Application);  // the XML-bound group
    Application->SetMainForm(form.get());
    form->Show();
    return *form;
  }
  TXmlControlButtonGroup& Ring() const {
    TXmlControlButtonGroup* group = form->ButtonGroup()->XmlGroup();
    EXPECT_NE(group, nullptr);
    return *group;
  }
};

TEST_F(RealGroupStartTest, FirstStartWithoutFileTellsSevenTimesAndWritesNothing) {
  // A second monitor left of the primary one, which has a taskbar below.
  testsupport::FakeMonitors monitors({{{-1280, 0, 0, 1024}, {-1280, 0, 0, 1024}, 96, false},
                                      {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96, true}});
  TfrmVantelMain& f = Start();
  // The show handler, the centre button, the group's load and each of the four segments.
  EXPECT_EQ(reporter.Messages, std::vector<std::wstring>(7, f.ConfigFile() + L"文件不存在!"));
  EXPECT_EQ(f.ButtonGroup()->SegmentCount(), 4);
  EXPECT_EQ(Ring().Width(), 180);
  EXPECT_EQ(Ring().Height(), 180);
  EXPECT_EQ(Ring().PopupMenu(), f.PmButtonControl.get());
  EXPECT_EQ(f.Edit1->Color(), RGB(0, 0, 0));
  EXPECT_FALSE(ConfigExists());
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());

  // The ring is centred in the primary monitor's work area and every window of it is shown.
  HWND centre = Ring().CentreButton()->Handle();
  EXPECT_TRUE(IsWindowVisible(centre));
  RECT r{};
  GetWindowRect(centre, &r);
  EXPECT_NEAR((r.left + r.right) / 2, 960, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, 520, 1);
  for (int i = 0; i < Ring().Items().Count(); ++i)
    EXPECT_TRUE(IsWindowVisible(Ring().Items().Items(i)->Button()->Handle()));
}

TEST_F(RealGroupStartTest, RecordsAreLoadedAndNothingIsRewritten) {
  WriteConfig(apptest::kRedBlueConfig);  // one segment record: topped up to five segments
  TfrmVantelMain& f = Start();
  EXPECT_TRUE(reporter.Messages.empty());
  EXPECT_EQ(f.ButtonGroup()->SegmentCount(), 5);
  EXPECT_EQ(ReadConfig(), apptest::kRedBlueConfig);
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

TEST_F(RealGroupStartTest, UnloadableFileIsToldOnceKeptAndTheRingStillComes) {
  const std::string broken = "<Settings HotColor=\"-1\">\r\n<ButtonInfo ButonType=\"0\"";
  WriteConfig(broken);
  TfrmVantelMain& f = Start();
  EXPECT_EQ(testsupport::RecordedExceptions().size(), 1u);
  EXPECT_TRUE(reporter.Messages.empty());
  ASSERT_NE(f.ButtonGroup(), nullptr);
  EXPECT_EQ(f.ButtonGroup()->SegmentCount(), 4);
  EXPECT_TRUE(IsWindowVisible(Ring().CentreButton()->Handle()));

  // The tray's handlers find the group.
  f.TrayIcon1Click(f.TrayIcon1.get());
  f.TrayIcon1DblClick(f.TrayIcon1.get());
  EXPECT_EQ(testsupport::RecordedExceptions().size(), 1u);
  EXPECT_EQ(ReadConfig(), broken);
}

TEST_F(RealGroupStartTest, ClosingTheProgramTakesTheRingAndTheTrayIconAway) {
  TfrmVantelMain& f = Start();
  HWND centre = Ring().CentreButton()->Handle();
  f.N3->Click();
  EXPECT_TRUE(Application->Terminated());
  Application->SetMainForm(nullptr);
  form.reset();
  EXPECT_FALSE(IsWindow(centre));
}
TEST_F(RealGroupStartTest, MinimisedStartShowsTheRingButNotTheWindow) {
  WriteConfig(apptest::kRedBlueConfig);
  form = std::make_unique<TfrmVantelMain>(Application);
  form->PrepareWithoutShowing();
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_TRUE(IsWindowVisible(Ring().CentreButton()->Handle()));
  for (int i = 0; i < Ring().Items().Count(); ++i)
    EXPECT_TRUE(IsWindowVisible(Ring().Items().Items(i)->Button()->Handle()));
}

RECT WindowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

bool Same(const RECT& a, const RECT& b) {
  return EqualRect(&a, &b) != FALSE;
}

// Every segment stands where the centre puts it.
bool SegmentsFollow(TXmlControlButtonGroup& ring) {
  TCustomGDIButton& centre = *ring.CentreButton();
  for (int i = 0; i < ring.Items().Count(); ++i) {
    TCustomGDIButton& segment = *ring.Items().Items(i)->Button();
    const POINT place = segment.WindowPlace(centre.Left(), centre.Top());
    const RECT r = WindowRect(segment.Handle());
    if (r.left != place.x || r.top != place.y) return false;
  }
  return true;
}

// The hotkey borrows the foreground: Esc gives it back to the window that had it, or, that one gone, to the
// desktop; a launch leaves it to the launched program. Where it cannot be had (a menu is open, the program
// in front locked it) the ring stays home, and nothing has the keys or is focused.
TEST_F(RealGroupStartTest, ASummonBorrowsTheForegroundAndGivesItBack) {
  WriteConfig(apptest::kRedBlueConfig);
  TfrmVantelMain& f = Start();
  TXmlControlButtonGroup& ring = Ring();
  const HWND centre = ring.CentreButton()->Handle(), first = ring.Items().Items(0)->Button()->Handle();
  const RECT home = WindowRect(centre);
  struct Case {
    const char* what;
    bool refused, frontGone, launched;
  } const cases[] = {
      {"Esc", false, false, false},
      {"Esc with the window in front gone", false, true, false},
      {"a launch by the keys", false, false, true},
      {"the foreground refused", true, false, false},
  };
  for (const Case& c : cases) {
    UniqueWindow front(CreateWindowExW(0, L"STATIC", L"front", WS_POPUP | WS_VISIBLE, 10, 10, 60, 40, nullptr,
                                       nullptr, nullptr, nullptr));
    SetForegroundWindow(front.get());
    ASSERT_TRUE(testsupport::PumpUntil([&] { return GetForegroundWindow() == front.get(); })) << c.what;
    std::vector<HWND> given;
    TSummonCalls calls;
    calls.SetForeground = [&](HWND window) {
      given.push_back(window);
      return !c.refused && SetForegroundWindow(window) != FALSE;
    };
    calls.Pointer = [] { return POINT{500, 400}; };
    TRingSummon summon(f, f.Settings(), calls);
    summon.Attach(ring);
    summon.Summon();
    if (c.refused) {
      EXPECT_FALSE(summon.Summoned()) << c.what;
      EXPECT_TRUE(Same(home, WindowRect(centre))) << c.what;
      EXPECT_EQ(ring.SelectedSegment(), -1) << c.what;
      SendMessageW(first, WM_KEYDOWN, VK_RIGHT, 0);
      EXPECT_EQ(ring.SelectedSegment(), -1) << c.what << ": no key reaches a ring at home";
      EXPECT_EQ(GetForegroundWindow(), front.get()) << c.what;
      continue;
    }
    ASSERT_TRUE(summon.Summoned()) << c.what;
    EXPECT_EQ(GetFocus(), first) << c.what << ": the selected segment has the keyboard focus";
    if (c.frontGone) front.reset();
    if (c.launched) {
      ring.OnLaunched();
    } else {
      SendMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    }
    EXPECT_FALSE(summon.Summoned()) << c.what;
    EXPECT_TRUE(Same(home, WindowRect(centre))) << c.what;
    EXPECT_TRUE(SegmentsFollow(ring)) << c.what;
    EXPECT_FALSE(ring.KeysArmed()) << c.what;
    ASSERT_FALSE(given.empty());
    if (c.launched) {
      EXPECT_EQ(given.size(), 1u) << c.what << ": the ring does not take the foreground back";
    } else {
      const HWND desktop = GetShellWindow() ? GetShellWindow() : GetDesktopWindow();
      EXPECT_EQ(given.back(), c.frontGone ? desktop : front.get()) << c.what;
    }
  }
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

// Summoned onto a monitor of another DPI, the ring arrives at that monitor's size, whole in its work area,
// the segments with the centre, and goes home at the home monitor's size. A WM_DPICHANGED that comes in the
// middle of the batch move leaves no segment behind.
TEST_F(RealGroupStartTest, ASummonOntoAMonitorOfAnotherDpiBringsTheRingAtItsSize) {
  testsupport::FakeMonitors monitors({{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96, true},
                                      {{1920, 0, 3200, 1024}, {1920, 0, 3200, 984}, 192, false},
                                      {{-1280, 0, 0, 1024}, {-1280, 0, 0, 1024}, 144, false}});
  WriteConfig(apptest::kRedBlueConfig);
  TfrmVantelMain& f = Start();
  TXmlControlButtonGroup& ring = Ring();
  TCustomGDIButton& centre = *ring.CentreButton();
  const RECT home = WindowRect(centre.Handle());
  struct Case {
    POINT pointer;
    int side;
    POINT origin;  // the centre's top-left
  } const cases[] = {
      {{3190, 980}, 360, {3200 - 360, 984 - 360}},
      {{-1000, 500}, 270, {-1000 - 135, 500 - 135}},
      {{600, 500}, 180, {600 - 90, 500 - 90}},
  };
  for (const Case& c : cases) {
    TSummonCalls calls;
    calls.Pointer = [&] { return c.pointer; };
    calls.SetForeground = [](HWND) { return true; };
    TRingSummon summon(f, f.Settings(), calls);
    summon.Attach(ring);
    summon.Summon();
    EXPECT_EQ(ring.Width(), c.side) << c.pointer.x;
    EXPECT_EQ(centre.Left(), c.origin.x) << c.pointer.x;
    EXPECT_EQ(centre.Top(), c.origin.y) << c.pointer.x;
    EXPECT_TRUE(testsupport::PumpUntil([&] { return SegmentsFollow(ring); })) << c.pointer.x;
    summon.Dismiss();
    EXPECT_EQ(ring.Width(), 180);
    EXPECT_TRUE(Same(home, WindowRect(centre.Handle())));
  }

  // The system tells the centre of its new DPI while the batch moves the segments.
  bool tell = true;
  ring.Items().Items(1)->Button()->HookWndProc([&](UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_WINDOWPOSCHANGED && std::exchange(tell, false)) {
      RECT suggested{};
      SendMessageW(centre.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                   reinterpret_cast<LPARAM>(&suggested));
    }
    return false;
  });
  ring.MoveRing(500, 300, true);
  EXPECT_FALSE(tell);
  EXPECT_EQ(ring.Width(), 270);
  EXPECT_EQ(centre.Left() + centre.Width() / 2, 500 + 90) << "the middle stays where the move put it";
  EXPECT_EQ(centre.Top() + centre.Height() / 2, 300 + 90);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return SegmentsFollow(ring); }));
  tell = false;
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}
}  // namespace
