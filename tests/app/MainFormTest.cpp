// The settings window under Wine: its components as stored, the show handler and the making of the group.
#include "app/VTMainForm.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include "framework/Forms.h"
#include "tests/app/FormTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {
using apptest::MainFormTest;

RECT ScreenRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

RECT ParentRect(HWND child) {
  RECT r = ScreenRect(child);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST_F(MainFormTest, WindowAsStored) {
  TfrmVantelMain& f = MakeForm();
  HWND window = f.Handle();
  EXPECT_EQ(f.Name(), L"frmVantelMain");
  const RECT r = ScreenRect(window);
  EXPECT_EQ(r.left, 335);
  EXPECT_EQ(r.top, 216);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 298);
  EXPECT_EQ(client.bottom, 341);

  // A fixed dialog frame with a close box only, kept on top.
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);

  wchar_t caption[128] = {};
  GetWindowTextW(window, caption, 128);
  EXPECT_STREQ(caption, L"Vantel桌面管理工具");
  EXPECT_EQ(f.Color(), clBtnFace);
  EXPECT_EQ(f.Font().Name(), L"MS Sans Serif");
  EXPECT_EQ(f.Font().Charset(), DEFAULT_CHARSET);
  EXPECT_EQ(FormFontHeight(96), -11);
  EXPECT_EQ(FormFontHeight(120), -13);
  EXPECT_FALSE(IsWindowVisible(window));  // shown by the message loop, not by its construction
  // The application's window (the taskbar button's) shows the program's icon resource.
  EXPECT_NE(GetClassLongPtrW(Application->Handle(), GCLP_HICON), 0);
}

TEST_F(MainFormTest, ControlsAsStored) {
  TfrmVantelMain& f = MakeForm();
  struct Expected {
    TWinControl* control;
    const wchar_t* name;
    RECT bounds;  // left, top, right, bottom in Panel1
    const wchar_t* caption;
  };
  const Expected expected[] = {
      {f.Label1.get(), L"Label1", {16, 24, 16 + 57, 24 + 13}, L"热键颜色"},
      {f.Label2.get(), L"Label2", {16, 56, 16 + 57, 56 + 13}, L"按键颜色"},
      {f.Edit1.get(), L"Edit1", {83, 20, 83 + 105, 20 + 21}, L""},
      {f.Edit2.get(), L"Edit2", {83, 52, 83 + 105, 52 + 21}, L""},
      {f.BitBtn1.get(), L"BitBtn1", {198, 18, 198 + 75, 18 + 25}, L"选择颜色"},
      {f.BitBtn2.get(), L"BitBtn2", {198, 50, 198 + 75, 50 + 25}, L"选择颜色"},
      {f.LabelHotkey.get(), L"LabelHotkey", {16, 88, 16 + 57, 88 + 13}, L"唤出热键"},
      {f.HotkeyField.get(), L"HotkeyField", {83, 84, 83 + 105, 84 + 21}, L""},
      {f.LabelHotkeyHeld.get(), L"LabelHotkeyHeld", {83, 110, 83 + 200, 110 + 13}, L""},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(testing::Message() << static_cast<const void*>(e.name));
    EXPECT_EQ(e.control->Name(), e.name);
    EXPECT_EQ(e.control->Parent(), f.Panel1.get());
    EXPECT_EQ(GetParent(e.control->Handle()), f.Panel1->Handle());
    const RECT r = ParentRect(e.control->Handle());
    EXPECT_EQ(r.left, e.bounds.left);
    EXPECT_EQ(r.top, e.bounds.top);
    EXPECT_EQ(r.right, e.bounds.right);
    EXPECT_EQ(r.bottom, e.bounds.bottom);
    EXPECT_EQ(e.control->Caption(), e.caption);
  }
  // Panel1 fills the client area.
  EXPECT_EQ(f.Panel1->Parent(), &f);
  RECT panel{}, client{};
  GetClientRect(f.Panel1->Handle(), &panel);
  GetClientRect(f.Handle(), &client);
  EXPECT_EQ(panel.right, client.right);
  EXPECT_EQ(panel.bottom, client.bottom);
  EXPECT_TRUE(f.BitBtn1->HotTrack);
  EXPECT_TRUE(f.BitBtn2->HotTrack);

  // Tab order (walked by KeysReachEveryCommand): Edit1, BitBtn1, Edit2, BitBtn2, the hotkey.
  EXPECT_EQ(f.Edit1->TabOrder, 0);
  EXPECT_EQ(f.BitBtn1->TabOrder, 1);
  EXPECT_EQ(f.Edit2->TabOrder, 2);
  EXPECT_EQ(f.BitBtn2->TabOrder, 3);
}

std::wstring Text(BSTR text) {
  std::wstring copy = text ? std::wstring(text, SysStringLen(text)) : L"(none)";
  SysFreeString(text);
  return copy;
}

// What a screen reader finds through the system's accessibility library: each control named by its label,
// with its role; the colour boxes' colours as values, following a new choice; each label right before its
// control in z-order, where Windows' own label rule looks; the buttons' default action presses them.
TEST_F(MainFormTest, ControlsReadWellThroughOleacc) {
  WriteConfig(apptest::kRedBlueConfig);
  TfrmVantelMain& f = MakeForm();
  f.Show();
  int dialogs = 0;
  f.ExecuteColorDialog = [&dialogs](TColorDialog& dialog) {
    dialog.Color = RGB(0, 255, 0);
    return ++dialogs == 1;  // green the first time, then cancelled
  };
  f.BitBtn2Click(nullptr);

  struct Row {
    TWinControl* control;
    const wchar_t* name;
    long role;
    const wchar_t* value;  // null: not checked
    TLabel* label;         // right before the control in z-order
  };
  const Row rows[] = {
      {f.Label1.get(), L"热键颜色", ROLE_SYSTEM_STATICTEXT, nullptr, nullptr},
      {f.Edit1.get(), L"热键颜色", ROLE_SYSTEM_TEXT, L"#FF0000", f.Label1.get()},
      {f.BitBtn1.get(), L"选择颜色", ROLE_SYSTEM_PUSHBUTTON, nullptr, nullptr},
      {f.Edit2.get(), L"按键颜色", ROLE_SYSTEM_TEXT, L"#00FF00", f.Label2.get()},
      {f.BitBtn2.get(), L"选择颜色", ROLE_SYSTEM_PUSHBUTTON, nullptr, nullptr},
      {f.HotkeyField.get(), L"唤出热键", ROLE_SYSTEM_HOTKEYFIELD, L"Ctrl+Alt+Space", f.LabelHotkey.get()},
  };
  VARIANT self{};
  self.vt = VT_I4;  // CHILDID_SELF
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.control->Name().size() << " " << row.role);
    ComPtr<IAccessible> object;
    ASSERT_EQ(AccessibleObjectFromWindow(row.control->Handle(), OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(object.Put())),
              S_OK);
    BSTR text = nullptr;
    object->get_accName(self, &text);
    EXPECT_EQ(Text(text), row.name);
    VARIANT role{};
    object->get_accRole(self, &role);
    EXPECT_EQ(role.lVal, row.role);
    if (row.value) {
      object->get_accValue(self, &text);
      EXPECT_EQ(Text(text), row.value);
    }
    if (row.label) {
      HWND before = GetWindow(row.control->Handle(), GW_HWNDPREV);
      EXPECT_EQ(before, row.label->Handle());
      EXPECT_TRUE(SendMessageW(before, WM_GETDLGCODE, 0, 0) & DLGC_STATIC);
    }
    if (row.role == ROLE_SYSTEM_PUSHBUTTON && row.control == f.BitBtn1.get()) {
      object->get_accDefaultAction(self, &text);
      EXPECT_EQ(Text(text), L"按下");
      EXPECT_EQ(object->accDoDefaultAction(self), S_OK);
      EXPECT_TRUE(testsupport::PumpUntil([&] { return dialogs == 2; })) << "pressed";
    }
  }
}

// The keyboard alone reaches every command: Tab walks the controls as they are laid out, Enter and Space
// press the focused button, Esc closes the window as its close box does (it only hides).
TEST_F(MainFormTest, KeysReachEveryCommand) {
  TfrmVantelMain& f = MakeForm();
  f.Show();
  f.N2Click(nullptr);
  int dialogs = 0;
  f.ExecuteColorDialog = [&dialogs](TColorDialog&) { return ++dialogs < 0; };
  auto press = [](WPARAM key) {
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
  };
  f.Edit1->SetFocus();
  for (TWinControl* next : std::initializer_list<TWinControl*>{
           f.BitBtn1.get(), f.Edit2.get(), f.BitBtn2.get(), f.HotkeyField.get(), f.Edit1.get()}) {
    press(VK_TAB);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return GetFocus() == next->Handle(); })) << next->TabOrder;
  }
  f.BitBtn1->SetFocus();
  press(VK_RETURN);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return dialogs == 1; })) << "Enter";
  f.BitBtn2->SetFocus();
  press(VK_SPACE);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return dialogs == 2; })) << "Space";
  press(VK_ESCAPE);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return !IsWindowVisible(f.Handle()); })) << "Esc";
  EXPECT_EQ(dialogs, 2);
}

// WM_DPICHANGED as the system sends it when the window reaches a monitor of that DPI: the window takes the
// suggested rectangle, the controls their scaled places and a scaled font, no text clips, nothing overlaps.
TEST_F(MainFormTest, NewDpiScalesPlacesAndFontWithoutClippingOrOverlap) {
  TfrmVantelMain& f = MakeForm();
  for (const int dpi : {144, 192, 96}) {
    SCOPED_TRACE(dpi);
    const RECT suggested{100, 80, 100 + MulDiv(kSettingsWidth, dpi, 96),
                         80 + MulDiv(kSettingsHeight, dpi, 96)};
    SendMessageW(f.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    const RECT window = ScreenRect(f.Handle());
    EXPECT_TRUE(EqualRect(&window, &suggested));
    EXPECT_EQ(f.Font().Height(), FormFontHeight(dpi));
    TWinControl* controls[] = {f.Label1.get(), f.Label2.get(),  f.Edit1.get(),
                               f.Edit2.get(),  f.BitBtn1.get(), f.BitBtn2.get()};
    std::vector<RECT> places;
    for (TWinControl* control : controls) {
      const RECT r = ParentRect(control->Handle());
      for (const RECT& other : places) {
        RECT both{};
        EXPECT_FALSE(IntersectRect(&both, &r, &other)) << "overlap at " << r.left << "," << r.top;
      }
      places.push_back(r);
      const std::wstring text = control->Caption();
      if (text.empty()) continue;
      const HFONT font = f.Font().Handle();  // the controls' font
      HDC dc = GetDC(control->Handle());
      const HGDIOBJ old = SelectObject(dc, font);
      SIZE extent{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
      SelectObject(dc, old);
      ReleaseDC(control->Handle(), dc);
      EXPECT_LE(extent.cx, r.right - r.left) << static_cast<const void*>(text.c_str());
      // The letters' (em) height; the cell's leading above them a label may lose, as it does at 96 dpi.
      EXPECT_LE(-f.Font().Height(), r.bottom - r.top);
    }
    EXPECT_EQ(places.front().left, MulDiv(16, dpi, 96));
    EXPECT_EQ(places.back().right, MulDiv(198 + 75, dpi, 96));
  }
}

TEST_F(MainFormTest, ComponentsAsStored) {
  TfrmVantelMain& f = MakeForm();
  EXPECT_EQ(f.PmTrayIcon->Name(), L"PmTrayIcon");
  EXPECT_EQ(f.PmButtonControl->Name(), L"PmButtonControl");
  EXPECT_EQ(f.PmButtonControl->Items().Count(), 0);
  EXPECT_EQ(f.ColorDialog1->Name(), L"ColorDialog1");
  EXPECT_EQ(f.ColorDialog1->Color, 0u);  // black until the first choice
  EXPECT_EQ(f.MenuSkin1->Name(), L"MenuSkin1");
  EXPECT_TRUE(f.MenuSkin1->Active());
  EXPECT_EQ(MenuPainter() != nullptr, true);
  EXPECT_EQ(f.MenuSkin1->Color, clSkyBlue);
  EXPECT_EQ(f.MenuSkin1->FontName, L"宋体");
  EXPECT_EQ(f.MenuSkin1->FontHeight, 12);
  EXPECT_EQ(f.MenuSkin1->IconColumnWidth, 24);

  // The tray icon joins the notification area once the message loop turns, after the show handler.
  TTrayIcon& tray = *f.TrayIcon1;
  EXPECT_EQ(tray.Name(), L"TrayIcon1");
  EXPECT_FALSE(tray.IconVisible());
  EXPECT_TRUE(testsupport::PumpUntil([&] { return tray.IconVisible(); }));
  EXPECT_NE(tray.Icon(), nullptr);
  EXPECT_TRUE(tray.ShowHint());
  EXPECT_EQ(tray.Hint(), L"Vantel");  // its tooltip: a screen reader's name for it
  EXPECT_EQ(tray.PopupMenu(), f.PmTrayIcon.get());
  EXPECT_TRUE(tray.WantEnterExitEvents());
  EXPECT_TRUE(tray.OnClick && tray.OnDblClick && tray.OnMouseDown);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(tray.Icon(), &info));
  BITMAP bitmap{};
  GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
  EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXSMICON));
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  EXPECT_EQ(f.ButtonGroup(), nullptr);  // made by the first show
}

TEST_F(MainFormTest, TrayMenuItemsInOrder) {
  TfrmVantelMain& f = MakeForm();
  struct Item {
    TMenuItem* item;
    const wchar_t* name;
    const wchar_t* caption;
    bool hasHandler;
  };
  TMenuItem& items = f.PmTrayIcon->Items();
  const Item top[] = {
      {f.N1, L"N1", L"隐藏系统设置", true},
      {f.N2, L"N2", L"显示系统设置", true},
      {f.N4, L"N4", L"隐藏桌面图标", true},
      {f.N5, L"N5", L"显示桌面图标", true},
      {f.NStartup, L"NStartup", L"开机启动", true},
      {f.N6, L"N6", L"-", false},
      {f.NContact, L"NContact", L"联系电话：000-0000-0000", false},
      {f.N11, L"N11", L"使用说明", true},
      {f.N3, L"N3", L"关闭Vantel工具", true},
      {f.N7, L"N7", L"相关工具", false},
      {f.N9, L"N9", L"官方网站", true},
  };
  ASSERT_EQ(items.Count(), 11);
  for (int i = 0; i < 11; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(items.Items(i), top[i].item);
    EXPECT_EQ(top[i].item->Name(), top[i].name);
    EXPECT_EQ(top[i].item->Caption, top[i].caption);
    EXPECT_EQ(static_cast<bool>(top[i].item->OnClick), top[i].hasHandler);
  }
  EXPECT_TRUE(f.N6->IsLine());
  EXPECT_FALSE(f.NContact->Caption.empty());
  ASSERT_EQ(f.N7->Count(), 2);
  EXPECT_EQ(f.N7->Items(0), f.N8);
  EXPECT_EQ(f.N7->Items(1), f.N10);
  EXPECT_FALSE(f.N8->Caption.empty());
  EXPECT_EQ(f.N10->Caption, L"最新的Vantel工具");
  EXPECT_TRUE(f.N8->OnClick && f.N10->OnClick);
}

TEST_F(MainFormTest, FirstShowReadsColoursHidesTheTaskbarButtonAndMakesTheGroup) {
  WriteConfig(apptest::kRedBlueConfig);
  TfrmVantelMain& f = MakeForm();
  ShowWindow(Application->Handle(), SW_SHOWNA);  // as the message loop does before showing the main form
  f.Show();

  wchar_t caption[256] = {};
  GetWindowTextW(f.Handle(), caption, 256);
  EXPECT_EQ(std::wstring(caption), std::wstring(L"最新的Vantel桌面管理工具请访问") + kVantelWebAddress);
  EXPECT_EQ(f.Width(), 0);
  EXPECT_EQ(f.Height(), 0);
  EXPECT_TRUE(IsWindowVisible(f.Handle()));
  EXPECT_FALSE(GetWindowLongW(f.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_FALSE(IsWindowVisible(Application->Handle()));
  // -65536 is opaque red; -16776961 opaque blue: blue in the third byte of the colour reference.
  EXPECT_EQ(f.Edit1->Color(), RGB(255, 0, 0));
  EXPECT_EQ(f.Edit2->Color(), RGB(0, 0, 255));
  EXPECT_EQ(f.Edit1->Text(), L"热键颜色");
  EXPECT_EQ(f.Edit2->Text(), L"按键颜色");

  const std::vector<std::string> expected = {"Create",       "LoadConfigFile", "SetHeight 180",
                                             "SetWidth 180", "SetPopupMenu",   "HasButtonRecords",
                                             "LoadButtons"};
  EXPECT_EQ(log, expected);
  ASSERT_NE(Group(), nullptr);
  EXPECT_EQ(Group()->PopupMenu, f.PmButtonControl.get());
  EXPECT_TRUE(f.MenuSkin1->Active());  // switched off and on again
  EXPECT_TRUE(reporter.Messages.empty());
  EXPECT_EQ(ReadConfig(), apptest::kRedBlueConfig);
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

TEST_F(MainFormTest, AFileWithoutRecordsGetsTheDefaultSegments) {
  WriteConfig("<Settings HotColor=\"-1\" DefaultColor=\"x\"/>");
  TfrmVantelMain& f = MakeForm();
  f.Show();
  EXPECT_EQ(log.back(), "CreateDefaultSegments");
  EXPECT_EQ(f.Edit1->Color(), RGB(255, 255, 255));
  EXPECT_EQ(f.Edit2->Color(), RGB(0, 0, 0));  // not a number: 0
}

TEST_F(MainFormTest, MissingFileIsReportedAndNothingIsWritten) {
  TfrmVantelMain& f = MakeForm();
  f.Show();
  // The show handler's own load and the group's: each reports the missing file once.
  EXPECT_EQ(reporter.Messages, std::vector<std::wstring>(2, f.ConfigFile() + L"文件不存在!"));
  EXPECT_EQ(f.Edit1->Color(), RGB(0, 0, 0));
  EXPECT_EQ(f.Edit2->Color(), RGB(0, 0, 0));
  EXPECT_EQ(log.back(), "CreateDefaultSegments");
  EXPECT_FALSE(ConfigExists());
}

TEST_F(MainFormTest, AWideColourKeepsItsLow32Bits) {
  // 0x1FF00FF00 is wider than 32 bits: its low half is 0xFF00FF00, opaque green.
  WriteConfig("<Settings HotColor=\"8573222656\" DefaultColor=\"-16776961\"/>");
  TfrmVantelMain& f = MakeForm();
  f.Show();
  EXPECT_EQ(f.Edit1->Color(), RGB(0, 255, 0));
}

TEST_F(MainFormTest, ShowingAgainRereadsTheColoursButMakesNoSecondGroup) {
  WriteConfig(apptest::kRedBlueConfig);
  TfrmVantelMain& f = MakeForm();
  f.Show();
  TRingGroup* first = f.ButtonGroup();
  f.Hide();
  WriteConfig("<Settings HotColor=\"-16711936\" DefaultColor=\"-1\"/>");
  f.SetBounds(f.Left(), f.Top(), 516, 368);
  f.Show();
  EXPECT_EQ(f.ButtonGroup(), first);
  EXPECT_EQ(std::count(log.begin(), log.end(), "Create"), 1);
  EXPECT_EQ(LogCount("LoadButtons"), 1);
  EXPECT_EQ(f.Edit1->Color(), RGB(0, 255, 0));
  EXPECT_EQ(f.Edit2->Color(), RGB(255, 255, 255));
  EXPECT_EQ(f.Width(), 0);
  EXPECT_EQ(f.Height(), 0);
}

TEST_F(MainFormTest, GroupGoesBeforeTheWindow) {
  WriteConfig(apptest::kRedBlueConfig);
  MakeForm().Show();
  ASSERT_NE(Group(), nullptr);
  Application->SetMainForm(nullptr);
  form.reset();
  EXPECT_EQ(log.back(), "Destroy");
}

TEST_F(MainFormTest, AWindowGoneBeforeTheLoopTurnsLeavesNoTrayIconToAdd) {
  MakeForm();
  Application->SetMainForm(nullptr);
  // Its tray icon was still to join the notification area: the queued join finds no window.
  form.reset();
  ASSERT_TRUE(testsupport::PumpUntilQueueEmpty());
  MakeForm();
  EXPECT_TRUE(testsupport::PumpUntil([&] { return form->TrayIcon1->IconVisible(); }))
      << "the new window's icon";
}

TEST_F(MainFormTest, StartWithoutShowingPreparesTheGroupAndLeavesTheWindowHidden) {
  WriteConfig(apptest::kRedBlueConfig);
  TfrmVantelMain& f = MakeForm();
  f.PrepareWithoutShowing();
  EXPECT_NE(f.ButtonGroup(), nullptr);
  EXPECT_EQ(log.back(), "ShowAll");  // the ring shows all the same
  EXPECT_FALSE(IsWindowVisible(f.Handle()));
  EXPECT_EQ(f.Edit1->Color(), RGB(255, 0, 0));
  // Showing it later re-reads the colours but keeps the group.
  f.Show();
  EXPECT_EQ(LogCount("LoadButtons"), 1);
  EXPECT_TRUE(IsWindowVisible(f.Handle()));
}

TEST_F(MainFormTest, ColourBoxColourDropsAlpha) {
  EXPECT_EQ(ColorBoxColor(0xFF0000FFu), RGB(0, 0, 255));
  EXPECT_EQ(ColorBoxColor(0x00123456u), RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(ColorBoxColor(0xFFFFFFFFu), RGB(255, 255, 255));
}

// The stored hotkey is held by another program at start: told once, in a tray balloon and beside the field.
// A free combination typed in the field applies at once and is stored; a held one is told and not stored.
TEST_F(MainFormTest, HeldHotkeyIsToldOnceAndTheFieldStoresOnlyAFreeCombination) {
  WriteConfig(apptest::kRedBlueConfig);
  ASSERT_TRUE(RegisterHotKey(nullptr, 9, MOD_CONTROL | MOD_ALT, VK_SPACE));
  TfrmVantelMain& f = MakeForm();
  std::vector<std::wstring> balloons;
  f.ShowTrayBalloon = [&](const std::wstring& text) { balloons.push_back(text); };
  f.Show();
  EXPECT_TRUE(testsupport::PumpUntil([&] { return !balloons.empty(); }, 5000));
  f.N2Click(nullptr);  // shown again from the tray: not told again
  testsupport::PumpUntil([] { return false; }, 200);
  ASSERT_EQ(balloons.size(), 1u);
  EXPECT_EQ(balloons[0], std::wstring(L"Ctrl+Alt+Space ") + kHotkeyHeldText);
  EXPECT_EQ(f.LabelHotkeyHeld->Caption(), kHotkeyHeldText);

  auto type = [&](vantel::Hotkey key) {
    f.HotkeyField->SetValue(key);
    f.HotkeyField->OnChange(f.HotkeyField.get());
  };
  auto stored = [&] {
    std::ifstream file(Folder() / L"Vantel.ini", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  };
  type({vantel::kModControl | vantel::kModShift, VK_F5});
  EXPECT_EQ(f.LabelHotkeyHeld->Caption(), L"");
  EXPECT_NE(stored().find("Hotkey=Ctrl+Shift+F5\r\n"), std::string::npos) << stored();
  type({vantel::kModControl | vantel::kModAlt, VK_SPACE});
  EXPECT_EQ(f.LabelHotkeyHeld->Caption(), kHotkeyHeldText);
  EXPECT_EQ(f.RingSummon().Hotkey(), (vantel::Hotkey{vantel::kModControl | vantel::kModShift, VK_F5}));
  EXPECT_NE(stored().find("Hotkey=Ctrl+Shift+F5\r\n"), std::string::npos) << "the held one is not stored";

  // A key alone would be taken from every program: the field's rules make Ctrl+Alt of it, and the program
  // registers and stores none without Ctrl, Alt or Win.
  SendMessageW(f.HotkeyField->Handle(), WM_KEYDOWN, 'K', 0);
  SendMessageW(f.HotkeyField->Handle(), WM_KEYUP, 'K', 0xC0000001);
  EXPECT_EQ(f.HotkeyField->Value(), (vantel::Hotkey{vantel::kModControl | vantel::kModAlt, 'K'}));
  const vantel::Hotkey kept = f.RingSummon().Hotkey();
  for (const vantel::Hotkey bare : {vantel::Hotkey{0, 0xAD}, vantel::Hotkey{vantel::kModShift, VK_F5}}) {
    type(bare);
    EXPECT_EQ(f.RingSummon().Hotkey(), kept);
    EXPECT_EQ(f.HotkeyField->Value(), kept) << "the field shows the one in effect again";
  }
  EXPECT_EQ(stored().find("0xAD"), std::string::npos) << stored();
  // The navigation keys are named as such, not as the keypad's.
  f.HotkeyField->SetValue({vantel::kModControl | vantel::kModAlt, VK_LEFT});
  EXPECT_TRUE(HIBYTE(SendMessageW(f.HotkeyField->Handle(), HKM_GETHOTKEY, 0, 0)) & HOTKEYF_EXT);
  EXPECT_EQ(ReadConfig(), apptest::kRedBlueConfig);
  UnregisterHotKey(nullptr, 9);
}
}  // namespace
