// Hovering a drop-and-launch button, or selecting it with the keys, names its file in the group's hint
// window.
#include <gtest/gtest.h>

// clang-format off
#include "framework/Win32.h"
#include <oleacc.h>
// clang-format on

#include <cmath>
#include <string>
#include <vector>

#include "framework/Menus.h"
#include "framework/Timer.h"
#include "tests/GDIButtons/DragButtonTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using dragtest::Ring;
using dragtest::TRecordingDragButton;

class DragButtonHintTest : public dragtest::DragButtonTestBase {};

// What a screen reader hears of this process's windows: each event and the name of the object it is about.
struct HeardEvent {
  DWORD event;
  HWND window;
  std::wstring name;
};
std::vector<HeardEvent>* heard = nullptr;

std::wstring NameOf(IAccessible* object, long child = CHILDID_SELF) {
  VARIANT id{};
  id.vt = VT_I4;
  id.lVal = child;
  BSTR name = nullptr;
  std::wstring result;
  if (object && object->get_accName(id, &name) == S_OK && name) result.assign(name, SysStringLen(name));
  SysFreeString(name);
  return result;
}

// Out of context, as a screen reader listens, the events come through this thread's messages. Wine drops
// such an event about a window destroyed before it is delivered, which Windows delivers: the destroy event
// is heard in context (at once, while the window is there).
class WinEventListener {
 public:
  WinEventListener(DWORD first, DWORD last, DWORD context = WINEVENT_OUTOFCONTEXT) {
    heard = &events;
    hook_ = SetWinEventHook(first, last, context == WINEVENT_INCONTEXT ? GetModuleHandleW(nullptr) : nullptr,
                            &Heard, GetCurrentProcessId(), 0, context);
  }
  ~WinEventListener() {
    UnhookWinEvent(hook_);
    heard = nullptr;
  }
  WinEventListener(const WinEventListener&) = delete;
  WinEventListener& operator=(const WinEventListener&) = delete;
  bool Hears(DWORD event, HWND window, const std::wstring& name) {
    return testsupport::PumpUntil([&] {
      for (const HeardEvent& e : events)
        if (e.event == event && e.window == window && (name.empty() || e.name == name)) return true;
      return false;
    });
  }
  std::vector<HeardEvent> events;

 private:
  static void CALLBACK Heard(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (!heard || object != OBJID_CLIENT) return;
    IAccessible* accessible = nullptr;
    VARIANT id{};
    std::wstring name;
    if (event != EVENT_OBJECT_DESTROY &&
        AccessibleObjectFromEvent(window, object, child, &accessible, &id) == S_OK) {
      name = NameOf(accessible, id.lVal);
      accessible->Release();
    }
    heard->push_back({event, window, name});
  }
  HWINEVENTHOOK hook_ = nullptr;
};

// As the hotkey's summons leaves it: a ring window in front, and the keys drive the ring.
void TakeForeground(Ring& ring) {
  SetForegroundWindow(ring.Centre().Handle());
  EXPECT_TRUE(testsupport::PumpUntil([&] { return GetForegroundWindow() == ring.Centre().Handle(); }));
  ring.Group().ArmKeys();
}

IAccessible* ClientObject(HWND window) {
  IAccessible* object = nullptr;
  AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                             reinterpret_cast<void**>(&object));
  return object;
}

TEST_F(DragButtonHintTest, EnterShowsTheDisplayNameLeaveHidesIt) {
  Ring ring(form_.get(), folder_, 4);
  dragtest::TTestHint* hint = ring.Hint();
  ASSERT_NE(hint, nullptr);
  TRecordingDragButton& segment = ring.Segment(1);
  segment.SetFileName(File(L"readme.txt"));
  const std::wstring name = segment.FileInfo.szDisplayName;
  ASSERT_FALSE(name.empty());

  segment.Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(hint->HintText, name);
  EXPECT_TRUE(hint->Visible());
  EXPECT_TRUE(IsWindowVisible(hint->Handle()));
  EXPECT_GE(hint->repaints, 1);
  EXPECT_EQ(segment.CurrentColor(), MakeColor(0xFF, 0x80, 0x00)) << "the hover colour, as every pie button";

  segment.Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(hint->Visible());
  EXPECT_FALSE(IsWindowVisible(hint->Handle()));
  EXPECT_EQ(segment.CurrentColor(), MakeColor(0x00, 0x80, 0x80));

  // An empty button names nothing: the hint shows an empty text.
  TRecordingDragButton& empty = ring.Segment(2);
  empty.Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(hint->HintText, L"");
  empty.Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

// The window system may report one window's leave after the next one's enter (moving onto a neighbour,
// or onto the centre), or a leave long after (the leave watch): the name shown is always that of the button
// entered last, which alone has the hover colour.
TEST_F(DragButtonHintTest, TheNameAndTheHoverColourBelongToTheButtonEnteredLastWhateverTheLeavesDo) {
  Ring ring(form_.get(), folder_, 4);
  dragtest::TTestHint* hint = ring.Hint();
  TRecordingDragButton& a = ring.Segment(0);
  TRecordingDragButton& b = ring.Segment(1);
  TRecordingDragButton& centre = ring.Centre();
  a.SetFileName(File(L"a.txt"));
  b.SetFileName(File(L"b.txt"));
  centre.SetFileName(File(L"centre.txt"));
  const TARGB hot = MakeColor(0xFF, 0x80, 0x00), normal = MakeColor(0x00, 0x80, 0x80);
  auto move = [](TRecordingDragButton& button) {
    SendMessageW(button.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(90, 20));
  };
  auto expectNamed = [&](TRecordingDragButton& by, const char* when) {
    EXPECT_TRUE(hint->Visible()) << when;
    EXPECT_EQ(hint->HintText, std::wstring(by.FileInfo.szDisplayName)) << when;
    for (TRecordingDragButton* button : {&a, &b, &centre})
      EXPECT_EQ(button->CurrentColor(), button == &by ? hot : normal) << when;
  };

  move(a);
  move(b);  // b's enter comes first...
  expectNamed(b, "onto the neighbour");
  a.Perform(WM_MOUSELEAVE, 0, 0);  // ...a's leave after it
  expectNamed(b, "the neighbour's late leave");
  move(centre);
  b.Perform(WM_MOUSELEAVE, 0, 0);
  expectNamed(centre, "onto the centre");
  // Back onto b, whose leave the system has not reported yet: b enters again.
  move(b);
  move(centre);
  move(b);
  expectNamed(b, "back onto a button whose leave is still to come");
  centre.Perform(WM_MOUSELEAVE, 0, 0);
  b.Perform(WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(hint->Visible()) << "its own leave hides the name";
  EXPECT_EQ(b.CurrentColor(), normal);

  move(a);
  ring.Group().Items().Delete(0);
  EXPECT_FALSE(hint->Visible()) << "a segment deleted under the pointer takes its name with it";
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

TEST_F(DragButtonHintTest, TheCentreNamesItsFileToo) {
  Ring ring(form_.get(), folder_, 1);
  ring.Centre().SetFileName(File(L"centre.txt"));
  ring.Centre().Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(ring.Hint()->HintText, std::wstring(ring.Centre().FileInfo.szDisplayName));
  ring.Centre().Perform(CM_MOUSELEAVE, 0, 0);
}

TEST_F(DragButtonHintTest, WithoutAHintWindowOrARingHoverOnlyChangesTheColour) {
  Ring ring(form_.get(), folder_, 1, /*withHint=*/false);
  TRecordingDragButton& segment = ring.Segment(0);
  segment.SetFileName(File(L"x.txt"));
  segment.Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(segment.CurrentColor(), MakeColor(0xFF, 0x80, 0x00));
  segment.Perform(CM_MOUSELEAVE, 0, 0);

  TRecordingDragButton lone(form_.get());
  lone.SetFileName(File(L"x.txt"));
  lone.Perform(CM_MOUSEENTER, 0, 0);
  lone.Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

// The keys arrive on whichever ring window has the foreground; the selection is the hover's look, and the
// two never show on two segments at once.
TEST_F(DragButtonHintTest, KeysSelectAsTheHoverDoesEnterLaunchesTheMenuKeyOpensAtTheSliceEscDismisses) {
  Ring ring(form_.get(), folder_, 4);
  dragtest::TTestHint* hint = ring.Hint();
  for (int i = 0; i < 4; ++i) ring.Segment(i).SetFileName(File(L"file" + std::to_wstring(i) + L".txt"));
  const TARGB hot = MakeColor(0xFF, 0x80, 0x00), normal = MakeColor(0x00, 0x80, 0x80);
  auto key = [&](WPARAM vk) { SendMessageW(ring.Centre().Handle(), WM_KEYDOWN, vk, 0); };
  auto expectShown = [&](int shown, const char* when) {
    EXPECT_EQ(ring.Group().SelectedSegment(), shown) << when;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ring.Segment(i).CurrentColor(), i == shown ? hot : normal) << when;
    EXPECT_TRUE(hint->Visible()) << when;
    EXPECT_EQ(hint->HintText, std::wstring(ring.Segment(shown).FileInfo.szDisplayName)) << when;
  };

  key(VK_RIGHT);
  EXPECT_EQ(ring.Group().SelectedSegment(), -1) << "a ring at home that nobody clicked handles no key";
  TakeForeground(ring);
  WinEventListener listener(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS);
  key(VK_RIGHT);
  expectShown(0, "the first key selects the first segment");
  EXPECT_EQ(GetFocus(), ring.Segment(0).Handle()) << "the selection has the keyboard focus";
  EXPECT_TRUE(
      listener.Hears(EVENT_OBJECT_FOCUS, ring.Segment(0).Handle(), ring.Segment(0).FileInfo.szDisplayName))
      << "a screen reader speaks the selected segment";
  ring.Segment(2).Perform(CM_MOUSEENTER, 0, 0);
  expectShown(2, "the pointer's enter takes the selection");
  key(VK_RIGHT);
  expectShown(3, "the keys go on from the hovered segment");
  key('2');
  expectShown(1, "a digit");
  EXPECT_TRUE(
      listener.Hears(EVENT_OBJECT_FOCUS, ring.Segment(1).Handle(), ring.Segment(1).FileInfo.szDisplayName));

  int opened = 0, launched = 0;
  ring.Segment(1).OnDblClick = [&](TObject* sender) { opened += sender == &ring.Segment(1); };
  ring.Group().OnLaunched = [&] { ++launched; };
  key(VK_RETURN);
  EXPECT_EQ(opened, 1) << "Enter does what a double-click does";
  EXPECT_EQ(launched, 1);

  TPopupMenu menu(nullptr);
  menu.Items().Add(std::make_unique<TMenuItem>(nullptr))->Caption = L"Delete";
  ring.Segment(1).SetPopupMenu(&menu);
  RECT menuRect{};
  TTimer closer(nullptr);
  closer.SetInterval(20);
  closer.SetOnTimer([&](TObject*) {
    HWND popup = TPopupMenu::ActiveMenu() ? testsupport::FindOwnWindow(MAKEINTATOM(0x8000)) : nullptr;
    if (!popup || !IsWindowVisible(popup)) return;
    GetWindowRect(popup, &menuRect);
    EndMenu();
  });
  key(VK_APPS);  // returns once the menu has closed
  closer.SetEnabled(false);
  ring.Segment(1).SetPopupMenu(nullptr);
  const POINT slice = dragtest::SlicePoint(ring.Segment(1));
  EXPECT_LE(std::abs(menuRect.left - slice.x), 1) << "the menu opens on the selected slice";
  EXPECT_LE(std::abs(menuRect.top - slice.y), 1);
  EXPECT_EQ(menu.PopupComponent, &ring.Segment(1));

  int dismissed = 0;
  ring.Group().OnDismiss = [&] { ++dismissed; };
  key(VK_ESCAPE);
  EXPECT_EQ(dismissed, 1);
  EXPECT_EQ(ring.Group().SelectedSegment(), -1);
  EXPECT_EQ(ring.Segment(1).CurrentColor(), normal);
  EXPECT_FALSE(hint->Visible());

  // The program's hotkey starts again where the keys left off.
  ring.Group().FocusRing();
  expectShown(1, "focused again");
  ring.Group().EndKeyboardSelection();
  EXPECT_EQ(ring.Group().SelectedSegment(), -1);
  // Another program took the foreground: the ring lets go of the keys.
  SendMessageW(ring.Centre().Handle(), WM_ACTIVATEAPP, FALSE, 0);
  key(VK_RIGHT);
  EXPECT_EQ(ring.Group().SelectedSegment(), -1);
  // Alt+F4 on the ring's foreground window closes no part of it.
  HWND centre = ring.Centre().Handle();
  SendMessageW(centre, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(IsWindow(centre));
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

// A screen reader's view of a ring in this process: every window is a push button named by its file (an
// empty one says how to fill it), described by its path and opened by its default action as a double-click
// opens it; the states follow the keys and the pointer; a drop, an added and a deleted segment are told.
TEST_F(DragButtonHintTest, EveryRingWindowIsAnAccessiblePushButtonTheEventsFollowItsChanges) {
  Ring ring(form_.get(), folder_, 4);
  ring.Centre().SetFileName(File(L"centre.txt"));
  ring.Segment(0).SetFileName(File(L"a.txt"));
  const std::wstring empty = L"\u7a7a\u4f4d\uff1a\u628a\u6587\u4ef6\u62d6\u5230\u8fd9\u91cc";
  struct Row {
    TRecordingDragButton* button;
    std::wstring name, path, action;
  };
  const Row rows[] = {
      {&ring.Centre(), ring.Centre().FileInfo.szDisplayName, File(L"centre.txt"), L"\u6253\u5f00"},
      {&ring.Segment(0), ring.Segment(0).FileInfo.szDisplayName, File(L"a.txt"), L"\u6253\u5f00"},
      {&ring.Segment(1), empty, L"", L""},
  };
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  for (const Row& row : rows) {
    ComPtr<IAccessible> object = ComPtr<IAccessible>::Attach(ClientObject(row.button->Handle()));
    ASSERT_TRUE(object);
    EXPECT_EQ(NameOf(object.Get()), row.name);
    BSTR text = nullptr;
    EXPECT_EQ(object->get_accDescription(self, &text), row.path.empty() ? S_FALSE : S_OK);
    EXPECT_EQ(text ? std::wstring(text) : L"", row.path);
    SysFreeString(std::exchange(text, nullptr));
    object->get_accDefaultAction(self, &text);
    EXPECT_EQ(text ? std::wstring(text) : L"", row.action);
    SysFreeString(text);
    VARIANT role{};
    EXPECT_EQ(object->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_PUSHBUTTON);
    // The box round the slice, on the screen; the object under a point of the slice is this one.
    long x = 0, y = 0, w = 0, h = 0;
    EXPECT_EQ(object->accLocation(&x, &y, &w, &h, self), S_OK);
    const RECT box{x, y, x + w, y + h};
    const POINT on = row.button == &ring.Centre() ? POINT{row.button->Left() + 90, row.button->Top() + 90}
                                                  : dragtest::SlicePoint(*row.button);
    EXPECT_TRUE(PtInRect(&box, on)) << row.button->Left() << "," << row.button->Top() << " " << x << "," << y;
    EXPECT_LE(w * h, 180 * 180 / (row.button == &ring.Centre() ? 4 : 2))
        << "the slice's box, not the window's";
    VARIANT hit{};
    EXPECT_EQ(object->accHitTest(on.x, on.y, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(object->accHitTest(row.button->Left() - 1, row.button->Top() - 1, &hit), S_FALSE)
        << "off the slice";
    EXPECT_EQ(hit.vt, VT_EMPTY);
  }

  // States: the keys' selection has the focus, the pointer's hover is hot-tracked; every one is focusable.
  auto state = [&](TRecordingDragButton& button) {
    ComPtr<IAccessible> object = ComPtr<IAccessible>::Attach(ClientObject(button.Handle()));
    VARIANT value{};
    object->get_accState(self, &value);
    return value.lVal;
  };
  // The focus is the keyboard's: the focus window's object and no other answers get_accFocus.
  auto focus = [&](TRecordingDragButton& button) {
    ComPtr<IAccessible> object = ComPtr<IAccessible>::Attach(ClientObject(button.Handle()));
    VARIANT value{};
    return object->get_accFocus(&value) == S_OK && value.vt == VT_I4 && value.lVal == CHILDID_SELF;
  };
  TakeForeground(ring);
  ring.Group().RingKeyDown(VK_RIGHT, false);
  EXPECT_EQ(state(ring.Segment(0)), STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);
  EXPECT_TRUE(focus(ring.Segment(0)));
  EXPECT_FALSE(focus(ring.Centre())) << "the centre, which had the foreground, has no focus now";
  // The hint that shows the name is no second object of that name, nor a button or an empty slot.
  ASSERT_EQ(ring.Hint()->HintText, rows[1].name);
  ComPtr<IAccessible> hintObject = ComPtr<IAccessible>::Attach(ClientObject(ring.Hint()->Handle()));
  EXPECT_NE(NameOf(hintObject.Get()), rows[1].name);
  EXPECT_NE(NameOf(hintObject.Get()), empty);
  VARIANT hintRole{};
  hintObject->get_accRole(self, &hintRole);
  EXPECT_NE(hintRole.lVal, ROLE_SYSTEM_PUSHBUTTON);
  SendMessageW(ring.Segment(1).Handle(), WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(state(ring.Segment(1)), STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_HOTTRACKED);
  EXPECT_EQ(state(ring.Segment(0)), STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED)
      << "the pointer took the look; the keyboard focus stays where the keys put it";

  // The default action is the double-click's handler, run from the window's loop.
  int opened = 0;
  ring.Segment(0).OnDblClick = [&](TObject* sender) { opened += sender == &ring.Segment(0); };
  ComPtr<IAccessible> first = ComPtr<IAccessible>::Attach(ClientObject(ring.Segment(0).Handle()));
  EXPECT_EQ(first->accDoDefaultAction(self), S_OK);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return opened == 1; }));

  // Two files dropped on an empty segment: it takes the first, a new segment the second. A deleted segment's
  // object is gone.
  WinEventListener listener(EVENT_OBJECT_CREATE, EVENT_OBJECT_NAMECHANGE, WINEVENT_INCONTEXT);
  dragtest::Recorded().leftHeld = true;
  ASSERT_EQ(dragtest::DropFiles(ring.Segment(1), {File(L"b.txt"), File(L"c.txt")}), S_OK);
  ASSERT_EQ(ring.Count(), 5);
  EXPECT_TRUE(listener.Hears(EVENT_OBJECT_NAMECHANGE, ring.Segment(1).Handle(),
                             ring.Segment(1).FileInfo.szDisplayName));
  EXPECT_TRUE(
      listener.Hears(EVENT_OBJECT_CREATE, ring.Segment(4).Handle(), ring.Segment(4).FileInfo.szDisplayName));
  ComPtr<IAccessible> gone = ComPtr<IAccessible>::Attach(ClientObject(ring.Segment(4).Handle()));
  const HWND goneWindow = ring.Segment(4).Handle();
  ring.Group().Items().Delete(4);
  EXPECT_TRUE(listener.Hears(EVENT_OBJECT_DESTROY, goneWindow, L""));
  BSTR name = nullptr;
  EXPECT_EQ(gone->get_accName(self, &name), RPC_E_DISCONNECTED) << "the object outlives its window";
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

}  // namespace
