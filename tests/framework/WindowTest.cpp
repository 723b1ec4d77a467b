// TWinControl under Wine: the window link, message routing, mouse events, exceptions in handlers, QueueCall;
// the plain routed window that the framework's other windows use.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Forms.h"
#include "framework/WindowClass.h"
#include "framework/text/TextCodec.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr UINT kPing = WM_APP + 7;
constexpr UINT kThrow = WM_APP + 8;

// A top-level custom control that logs what reaches its WndProc.
class Probe : public TCustomControl {
 public:
  explicit Probe(TComponent* owner = nullptr) : TCustomControl(owner) { SetBounds(40, 50, 120, 90); }
  std::vector<std::string> log;
  int pings = 0;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    switch (msg) {
      case kPing:
        ++pings;
        return 0x1234;
      case kThrow:
        // The program's narrow texts are GB18030: "删除按键".
        throw std::runtime_error(WideToGb18030(L"删除按键 failed"));
      case CM_MOUSEENTER:
        log.push_back("enter");
        break;
      case CM_MOUSELEAVE:
        log.push_back("leave");
        break;
      default:
        break;
    }
    return TCustomControl::WndProc(msg, wParam, lParam);
  }
};

class WindowTest : public testing::Test {
 protected:
  void SetUp() override { testsupport::ClearExceptions(); }
};

TEST_F(WindowTest, HandleLinksWindowAndObjectUntilDestroyed) {
  Probe probe;
  EXPECT_FALSE(probe.HandleAllocated());
  HWND window = probe.Handle();
  ASSERT_TRUE(IsWindow(window));
  EXPECT_EQ(TWinControl::FromHandle(window), &probe);
  EXPECT_EQ(GetWindowLongPtrW(window, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&probe));
  EXPECT_EQ(SendMessageW(window, kPing, 0, 0), 0x1234);
  EXPECT_EQ(probe.pings, 1);

  DestroyWindow(window);  // from outside: the object must notice
  EXPECT_FALSE(probe.HandleAllocated());
  EXPECT_EQ(TWinControl::FromHandle(window), nullptr);
  // Asking again makes a new window.
  EXPECT_TRUE(IsWindow(probe.Handle()));
}

TEST_F(WindowTest, DestroyingTheObjectDestroysItsWindow) {
  HWND window = nullptr;
  {
    Probe probe;
    window = probe.Handle();
  }
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(WindowTest, PerformGoesStraightIntoWndProc) {
  Probe probe;
  EXPECT_EQ(probe.Perform(kPing, 0, 0), 0x1234);  // no window, no message loop needed
  EXPECT_FALSE(probe.HandleAllocated());
}

TEST_F(WindowTest, CreationUsesBoundsAndOuterMovesAreSeen) {
  Probe probe;
  HWND window = probe.Handle();
  RECT r{};
  GetWindowRect(window, &r);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.top, 50);
  EXPECT_EQ(r.right - r.left, 120);
  SetWindowPos(window, nullptr, 70, 80, 33, 44, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(probe.Left(), 70);
  EXPECT_EQ(probe.Top(), 80);
  EXPECT_EQ(probe.Width(), 33);
  EXPECT_EQ(probe.Height(), 44);
}

TEST_F(WindowTest, ChildGetsItsParentsWindowAsNativeParent) {
  Probe parent;
  Probe child(&parent);
  child.SetParent(&parent);
  child.SetBounds(5, 6, 20, 20);
  HWND window = child.Handle();
  EXPECT_EQ(GetAncestor(window, GA_PARENT), parent.Handle());
  EXPECT_TRUE(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD);
  EXPECT_EQ(child.Left(), 5);  // in the parent's client coordinates
  EXPECT_EQ(parent.Controls(), std::vector<TWinControl*>{&child});
}

TEST_F(WindowTest, ExceptionInHandlerIsReportedAndTheWindowKeepsWorking) {
  Probe probe;
  HWND window = probe.Handle();
  SendMessageW(window, kThrow, 0, 0);
  ASSERT_EQ(testsupport::RecordedExceptions().size(), 1u);
  EXPECT_EQ(testsupport::RecordedExceptions()[0], L"删除按键 failed");
  EXPECT_EQ(SendMessageW(window, kPing, 0, 0), 0x1234);

  probe.OnMouseDown = [](TObject*, TMouseButton, TShiftState, int, int) {
    throw std::logic_error("in a handler");
  };
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
  ASSERT_EQ(testsupport::RecordedExceptions().size(), 2u);
  EXPECT_EQ(testsupport::RecordedExceptions()[1], L"in a handler");
  EXPECT_EQ(SendMessageW(window, kPing, 0, 0), 0x1234);
}

TEST_F(WindowTest, NonStandardExceptionIsStillReported) {
  Probe probe;
  probe.OnClick = [](TObject*) { throw 42; };
  SendMessageW(probe.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
  SendMessageW(probe.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
  ASSERT_EQ(testsupport::RecordedExceptions().size(), 1u);
  EXPECT_FALSE(testsupport::RecordedExceptions()[0].empty());
}

// A route with nothing but Message: the shape of the hidden windows of the tray and the timers.
struct PlainRoute {
  using Object = std::vector<UINT>;  // the messages seen
  static LRESULT Message(Object& seen, HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    seen.push_back(msg);
    if (msg == kThrow) throw std::runtime_error("plain window failed");
    return msg == kPing ? 0x1234 : DefWindowProcW(window, msg, wParam, lParam);
  }
};

TEST_F(WindowTest, RoutedWindowTakesMessagesFromCreationToDestructionAndReportsFailures) {
  std::vector<UINT> seen;
  ASSERT_TRUE(RegisterRoutedClass<PlainRoute>(L"VantelPlainRouteTest"));
  HWND window =
      CreateRoutedWindow<PlainRoute>(seen, 0, L"VantelPlainRouteTest", L"", WS_POPUP, 0, 0, 0, 0, nullptr);
  ASSERT_TRUE(IsWindow(window));
  EXPECT_EQ(seen.front(), static_cast<UINT>(WM_NCCREATE));
  EXPECT_EQ(SendMessageW(window, kPing, 0, 0), 0x1234);
  EXPECT_EQ(SendMessageW(window, kThrow, 0, 0), 0);
  ASSERT_EQ(testsupport::RecordedExceptions().size(), 1u);
  EXPECT_EQ(testsupport::RecordedExceptions()[0], L"plain window failed");
  DestroyWindow(window);
  EXPECT_EQ(seen.back(), static_cast<UINT>(WM_NCDESTROY));
}

struct MouseCase {
  const char* name;
  UINT msg;
  WPARAM keys;
  bool altDown;
  std::string expected;
};

const MouseCase kMouseCases[] = {
    {"LeftDown", WM_LBUTTONDOWN, MK_LBUTTON, false, "down L shift=8 @7,9"},
    {"LeftDownWithShiftAndCtrl", WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT | MK_CONTROL, false,
     "down L shift=13 @7,9"},
    {"RightDown", WM_RBUTTONDOWN, MK_RBUTTON, false, "down R shift=16 @7,9"},
    {"MiddleDown", WM_MBUTTONDOWN, MK_MBUTTON, false, "down M shift=32 @7,9"},
    {"LeftUp", WM_LBUTTONUP, 0, false, "up L shift=0 @7,9"},
    {"RightUp", WM_RBUTTONUP, 0, false, "up R shift=0 @7,9"},
    {"DoubleClickFiresDblClickThenDownWithDouble", WM_LBUTTONDBLCLK, MK_LBUTTON, false,
     "dblclick|down L shift=72 @7,9"},
    {"MoveWithRightHeld", WM_MOUSEMOVE, MK_RBUTTON, false, "move shift=16 @7,9"},
    {"AltFromKeyboardState", WM_LBUTTONDOWN, MK_LBUTTON, true, "down L shift=10 @7,9"},
};

class MouseEvents : public testing::TestWithParam<MouseCase> {};

TEST_P(MouseEvents, ReachTheHandlersWithButtonShiftAndPosition) {
  const MouseCase& c = GetParam();
  Probe probe;
  std::vector<std::string> seen;
  auto name = [](TMouseButton b) {
    return b == TMouseButton::mbLeft ? "L" : b == TMouseButton::mbRight ? "R" : "M";
  };
  probe.OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, int x, int y) {
    seen.push_back(std::string("down ") + name(b) + " shift=" + std::to_string(s) + " @" + std::to_string(x) +
                   "," + std::to_string(y));
  };
  probe.OnMouseUp = [&](TObject*, TMouseButton b, TShiftState s, int x, int y) {
    seen.push_back(std::string("up ") + name(b) + " shift=" + std::to_string(s) + " @" + std::to_string(x) +
                   "," + std::to_string(y));
  };
  probe.OnMouseMove = [&](TObject*, TShiftState s, int x, int y) {
    seen.push_back("move shift=" + std::to_string(s) + " @" + std::to_string(x) + "," + std::to_string(y));
  };
  probe.OnDblClick = [&](TObject*) { seen.push_back("dblclick"); };

  BYTE keys[256] = {};
  GetKeyboardState(keys);
  BYTE saved[256];
  std::copy(std::begin(keys), std::end(keys), saved);
  if (c.altDown) {
    keys[VK_MENU] = 0x80;
    SetKeyboardState(keys);
  }
  SendMessageW(probe.Handle(), c.msg, c.keys, MAKELPARAM(7, 9));
  if (c.altDown) SetKeyboardState(saved);
  ReleaseCapture();

  std::string joined;
  for (const auto& s : seen) joined += (joined.empty() ? "" : "|") + s;
  EXPECT_EQ(joined, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, MouseEvents, testing::ValuesIn(kMouseCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowTest, FirstMoveEntersOnceBeforeTheMoveEventAndLeaveEndsIt) {
  Probe probe;
  std::vector<std::string>& log = probe.log;
  probe.OnMouseMove = [&](TObject*, TShiftState, int, int) { log.push_back("move"); };
  HWND window = probe.Handle();
  SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
  SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_TRUE(probe.MouseInControl());
  SendMessageW(window, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(probe.MouseInControl());
  EXPECT_EQ(log, (std::vector<std::string>{"enter", "move", "move", "leave"}));
}

TEST_F(WindowTest, ClickNeedsPressAndReleaseInside) {
  Probe probe;
  int clicks = 0;
  probe.OnClick = [&](TObject*) { ++clicks; };
  HWND window = probe.Handle();
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(clicks, 1);
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(500, 5));  // released outside
  EXPECT_EQ(clicks, 1);
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));  // release without press
  EXPECT_EQ(clicks, 1);
}

TEST_F(WindowTest, WindowHooksSeeMessagesFirstAndMayConsume) {
  Probe probe;
  std::vector<UINT> seen;
  const int id = probe.HookWndProc([&](UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg != kPing) return false;
    seen.push_back(msg);
    result = 99;
    return true;
  });
  EXPECT_EQ(SendMessageW(probe.Handle(), kPing, 0, 0), 99);
  EXPECT_EQ(probe.pings, 0);
  probe.UnhookWndProc(id);
  EXPECT_EQ(SendMessageW(probe.Handle(), kPing, 0, 0), 0x1234);
  EXPECT_EQ(seen.size(), 1u);
}

TEST_F(WindowTest, QueuedCallRunsAfterTheCurrentMessage) {
  Probe probe;
  std::vector<std::string> order;
  probe.OnClick = [&](TObject*) {
    Application->QueueCall([&] { order.push_back("queued"); });
    order.push_back("handler end");
  };
  HWND window = probe.Handle();
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(order, std::vector<std::string>{"handler end"});
  EXPECT_TRUE(testsupport::PumpUntil([&] { return order.size() == 2; }));
  EXPECT_EQ(order, (std::vector<std::string>{"handler end", "queued"}));
}

TEST_F(WindowTest, QueuedCallMayFreeTheControlWhoseHandlerQueuedIt) {
  auto probe = std::make_unique<Probe>();
  HWND window = probe->Handle();
  probe->OnClick = [&](TObject*) { Application->QueueCall([&] { probe.reset(); }); };
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(testsupport::PumpUntil([&] { return probe == nullptr; }));
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(WindowTest, ExceptionInQueuedCallIsReported) {
  Application->QueueCall([] { throw std::runtime_error("queued failure"); });
  EXPECT_TRUE(testsupport::PumpUntil([] { return !testsupport::RecordedExceptions().empty(); }));
  EXPECT_EQ(testsupport::RecordedExceptions()[0], L"queued failure");
}

TEST_F(WindowTest, ApplicationHooksSeeMessagesFirstAndConsumeOnlyWhenAsked) {
  std::vector<std::string> seen;
  const int passOn = Application->HookMainWindow([&](UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == kPing) seen.push_back("first");
    return false;
  });
  const int consume = Application->HookMainWindow([&](UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg != kPing) return false;
    seen.push_back("second");
    result = static_cast<LRESULT>(wParam);
    return wParam == 5;
  });
  EXPECT_EQ(SendMessageW(Application->Handle(), kPing, 5, 0), 5);
  EXPECT_EQ(seen, (std::vector<std::string>{"first", "second"}));
  Application->UnhookMainWindow(consume);
  Application->UnhookMainWindow(passOn);
  seen.clear();
  SendMessageW(Application->Handle(), kPing, 5, 0);
  EXPECT_TRUE(seen.empty());
}

TEST_F(WindowTest, ScreenReportsTheVirtualDesktop) {
  ASSERT_NE(Screen, nullptr);
  EXPECT_EQ(Screen->DesktopWidth(), GetSystemMetrics(SM_CXVIRTUALSCREEN));
  EXPECT_EQ(Screen->DesktopHeight(), GetSystemMetrics(SM_CYVIRTUALSCREEN));
  EXPECT_GT(Screen->DesktopWidth(), 0);
}

}  // namespace
