// TfrmVantelMain: the main window, which doubles as the settings window, with the tray icon and its menu.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/DesktopIcons.h"
#include "app/HotkeyField.h"
#include "app/MenuSkin.h"
#include "app/RingGroup.h"
#include "app/RingSummon.h"
#include "app/SettingsFile.h"
#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/StdCtrls.h"
#include "framework/WinFileSystem.h"
#include "shell/TrayIcon.h"

// The maker's web address: opened by the three link items and shown in the caption.
inline constexpr wchar_t kVantelWebAddress[] = L"https://www.example.com/vantel";
// The program's own settings (the ring's place, the hotkey), beside the configuration.
inline constexpr wchar_t kVantelSettingsFile[] = L"Vantel.ini";
// Told beside the hotkey field, and once at start in a tray balloon.
inline constexpr wchar_t kHotkeyHeldText[] = L"该组合键已被其他程序占用";
// Told once at start in a tray balloon by a Vantel started with "以管理员身份运行": Windows (UIPI) keeps
// Explorer's drags away from a program at a higher integrity level.
inline constexpr wchar_t kElevatedDropText[] =
    L"Vantel 正以管理员身份运行：Windows 不允许把文件拖放到以管理员身份运行的程序上。要拖放文件，请关闭 "
    L"Vantel，再直接双击启动它。";
// The usage note: two lines joined by a line feed, then a carriage return.
inline constexpr wchar_t kUsageNote[] =
    L"左键拖拽图标后,如果按键上已存在图标则新增按键\n\r右键拖拽图标后,如果按键上已存在图标则覆盖图标";

// A tray icon whose loading the form finishes once all its components exist.
class TFormTrayIcon final : public TTrayIcon {
 public:
  using TTrayIcon::TTrayIcon;
  void FinishLoading() { Loaded(); }
};

class TfrmVantelMain : public TForm {
 public:
  // Builds the window and every component. The tray icon joins the notification area when the message
  // loop first turns (with the application running; at once without one), after the show handler made
  // the ring its commands act on: the ring, which the user waits for, comes first.
  // `groupFactory` makes the button group (the XML-bound group when empty). `configFile` is the
  // absolute path of SystemConfig.xml, fixed for the window's life (when empty: in the current folder
  // now), so that nothing that changes the current folder later (a dialog, a shell call) moves a save.
  explicit TfrmVantelMain(TComponent* owner, TRingGroupFactory groupFactory = {},
                          std::wstring configFile = {});
  ~TfrmVantelMain() override;

  // Components, owned by the window.
  std::unique_ptr<TPanel> Panel1;
  std::unique_ptr<TLabel> Label1, Label2;
  std::unique_ptr<TEdit> Edit1, Edit2;
  std::unique_ptr<TBitBtn> BitBtn1, BitBtn2;
  std::unique_ptr<TLabel> LabelHotkey, LabelHotkeyHeld;  // 唤出热键; the held combination's message
  std::unique_ptr<THotkeyField> HotkeyField;
  std::unique_ptr<TPopupMenu> PmTrayIcon;
  // The tray menu's items, in menu order (owned by PmTrayIcon's items; their captions are Chinese only).
  TMenuItem* N1 = nullptr;        // 隐藏系统设置: hide the settings window
  TMenuItem* N2 = nullptr;        // 显示系统设置: show the settings window
  TMenuItem* N4 = nullptr;        // 隐藏桌面图标: hide the desktop icons
  TMenuItem* N5 = nullptr;        // 显示桌面图标: show the desktop icons
  TMenuItem* NStartup = nullptr;  // 开机启动: start with Windows (checked while the shortcut is there)
  TMenuItem* N6 = nullptr;        // a separator
  TMenuItem* NContact = nullptr;  // 联系电话: the contact telephone number, shown only
  TMenuItem* N11 = nullptr;       // 使用说明: how to use the program (a message box)
  TMenuItem* N3 = nullptr;        // 关闭Vantel工具: quit Vantel (showing the desktop icons again)
  TMenuItem* N7 = nullptr;        // 相关工具: related tools (a submenu of N8 and N10)
  TMenuItem* N8 = nullptr;        // Vantel相关工具下载: download Vantel's related tools (the web site)
  TMenuItem* N10 = nullptr;       // 最新的Vantel工具: the latest Vantel tools (the web site)
  TMenuItem* N9 = nullptr;        // 官方网站: the official web site
  std::unique_ptr<TFormTrayIcon> TrayIcon1;
  std::unique_ptr<TMenuSkin> MenuSkin1;
  std::unique_ptr<TPopupMenu> PmButtonControl;
  std::unique_ptr<TColorDialog> ColorDialog1;

  // Event handlers.
  void FormShow(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  void N1Click(TObject* sender);
  void N2Click(TObject* sender);
  void N3Click(TObject* sender);
  void N4Click(TObject* sender);
  void N5Click(TObject* sender);
  void N8Click(TObject* sender);
  void N9Click(TObject* sender);
  void N10Click(TObject* sender);
  void N11Click(TObject* sender);
  void NStartupClick(TObject* sender);
  void HotkeyFieldChange(TObject* sender);
  void TrayIcon1Click(TObject* sender);
  void TrayIcon1DblClick(TObject* sender);
  void TrayIcon1MouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void BitBtn1Click(TObject* sender);
  void BitBtn2Click(TObject* sender);

  // The start with a minimising show command: the show handler's work without showing the window.
  void PrepareWithoutShowing();

  // The configuration file every load and save of the window and its ring uses.
  const std::wstring& ConfigFile() const { return configFile_; }

  // The button group, once the first show has made it; null before.
  TRingGroup* ButtonGroup() const { return buttonGroup_.get(); }

  // What leaves the program goes through these, each set to the real thing at construction: run the colour
  // dialog, show an information box (a topmost message box with an OK button), open a web address (the
  // shell's "open" verb), show a tray balloon (the tray icon's), ask whether the user started this Vantel as
  // administrator (StartedAsAdministrator, SingleInstance.h), and ask the start's Yes/No question about a
  // copy a half-done save kept (a message box).
  std::function<bool(TColorDialog& dialog)> ExecuteColorDialog;
  std::function<void(const std::wstring& text)> ShowInformation;
  std::function<void(const std::wstring& address)> OpenAddress;
  std::function<void(const std::wstring& text)> ShowTrayBalloon;
  std::function<bool()> RunsAsAdministrator;
  TAskYesNo AskAtStart;
  // The Startup folder's shortcut (empty: StartupShortcutPath(), read when first needed).
  std::wstring StartupShortcut;
  TSettingsFile& Settings() { return *settings_; }
  TRingSummon& RingSummon() { return *summon_; }
  // The desktop-icon commands' routes: the desktop's folder view (default: ShowDesktopIconsInFolderView),
  // and where the fallback looks for the desktop's windows (default: FindWindowExW).
  TDesktopFolderViewRoute DesktopFolderView;
  TFindWindowEx FindDesktopWindow;

 private:
  void CreateComponents();
  void CreateTrayMenu();
  // Tells the user, from inside the handler, that the configuration does not load: once for the window's
  // life.
  void TellConfigFault();
  void ChooseColor(TEdit& box, std::string_view attribute);
  void ShowAllButtons();
  void ShowDesktopIcons(bool show);

  void ShowTrayIcon();
  static std::wstring HotkeyText(vantel::Hotkey key);
  // Accessible names, values and roles (VTMainFormAccess.cpp); a colour box's colour, told to them too.
  void MakeAccessible();
  void ShowBoxColour(TEdit& box, TColor colour);

  // Settings layout (VTMainFormLayout.cpp): controls placed in 96-dpi pixels, scaled to the window's DPI.
  struct PlacedControl {
    TWinControl* Control;
    RECT Bounds96;
  };
  int Scaled(int px96) const;
  // The DPI of the monitor the ring opens on (the primary one).
  static int RingPixelsPerInch();
  void Place(TWinControl& control, int left, int top, int width, int height);
  void DpiChanged(int dpi) override;
  std::vector<PlacedControl> placed_;

  TRingGroupFactory groupFactory_;
  std::wstring configFile_;
  TWinXmlFileSystem settingsFiles_;
  std::unique_ptr<TSettingsFile> settings_;
  std::unique_ptr<TRingSummon> summon_;
  bool hotkeyRegistered_ = false;  // the first show registered the stored hotkey
  bool configUnloadable_ = false;  // the last load of the configuration failed to parse
  bool configFaultShown_ = false;  // the user has been told that the configuration does not load
  // The show handler runs (its messages' modal loops let tray commands in): the ring may be half made.
  bool showing_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // for calls queued to the message loop
  // Last member: destroyed first, while the window and PmButtonControl still exist.
  std::unique_ptr<TRingGroup> buttonGroup_;
};

// The colour box's colour for a stored ARGB value: red, green and blue; alpha dropped.
TColor ColorBoxColor(std::uint32_t argb);
// A colour box's accessible value: "#RRGGBB".
std::wstring ColourValueText(TColor colour);
// The settings window's client size and its size when shown from the tray, at 96 dpi.
inline constexpr int kSettingsClientWidth = 298;
inline constexpr int kSettingsClientHeight = 341;
inline constexpr int kSettingsWidth = 516;
inline constexpr int kSettingsHeight = 368;
// Font height for 8 points at the given pixels per inch (-11 at 96).
int FormFontHeight(int pixelsPerInch);
