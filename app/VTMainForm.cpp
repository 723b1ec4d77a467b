// TfrmVantelMain: the form's components, the show handler that builds the ring, tray commands and colours.
#include "app/VTMainForm.h"

#include <shellapi.h>

#include <optional>

#include "app/DesktopIcons.h"
#include "app/SingleInstance.h"
#include "app/WorkingFolderLogic.h"
#include "app/StartWithWindows.h"
#include "GDIButtons/RingLayout.h"
#include "GDIButtons/XmlControlButtonGroup.h"
#include "framework/Dpi.h"
#include "framework/FlagScope.h"
#include "framework/ProcessPaths.h"
#include "xml/ColorValue.h"
#include "xml/ConfigFormat.h"
#include "xml/XmlDocument.h"
#include "xml/XmlError.h"

namespace {
constexpr wchar_t kCreationCaption[] = L"Vantel桌面管理工具";
constexpr wchar_t kShownCaption[] = L"最新的Vantel桌面管理工具请访问";
constexpr wchar_t kColourButtonCaption[] = L"选择颜色";
constexpr wchar_t kHotColourText[] = L"热键颜色";
constexpr wchar_t kNormalColourText[] = L"按键颜色";
constexpr wchar_t kHotkeyText[] = L"唤出热键";

HICON LoadProgramIcon(int size) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  auto icon =
      static_cast<HICON>(LoadImageW(instance, kProgramIconName, IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  return icon ? icon : LoadIconW(nullptr, IDI_APPLICATION);  // a program built without the resource
}

template <class T>
std::unique_ptr<T> Make(TComponent* owner, const wchar_t* name) {
  auto component = std::make_unique<T>(owner);
  component->SetName(name);
  return component;
}

TMenuItem* AddItem(TComponent* owner, TMenuItem& parent, const wchar_t* name, const wchar_t* caption,
                   TNotifyEvent onClick = {}) {
  TMenuItem* item = parent.Add(std::make_unique<TMenuItem>(owner));
  item->SetName(name);
  item->Caption = caption;
  item->OnClick = std::move(onClick);
  return item;
}
}  // namespace

TColor ColorBoxColor(std::uint32_t argb) {
  return ARGBToColorRef(argb);
}

int FormFontHeight(int pixelsPerInch) {
  return -MulDiv(8, pixelsPerInch, 72);
}

TfrmVantelMain::TfrmVantelMain(TComponent* owner, TRingGroupFactory groupFactory, std::wstring configFile)
    : TForm(owner),
      groupFactory_(groupFactory ? std::move(groupFactory) : TRingGroupFactory(&CreateXmlRingGroup)),
      configFile_(configFile.empty() ? PathInFolder(CurrentFolder(), ConfigFormat::FileName)
                                     : std::move(configFile)) {
  SetName(L"frmVantelMain");
  // The form's own properties.
  BorderStyle = TFormBorderStyle::bsDialog;
  SetFormStyle(TFormStyle::fsStayOnTop);
  SetCaption(kCreationCaption);
  SetColor(clBtnFace);
  Font().SetName(L"MS Sans Serif");
  Font().SetHeight(FormFontHeight(Dpi::SystemDpi()));
  Font().SetCharset(DEFAULT_CHARSET);
  SetBounds(335, 216, 0, 0);
  SetClientSize(kSettingsClientWidth, kSettingsClientHeight);
  OnShow = [this](TObject* sender) { FormShow(sender); };
  OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
  ExecuteColorDialog = [](TColorDialog& dialog) { return dialog.Execute(); };
  ShowInformation = [this](const std::wstring& text) {
    const std::wstring title = Application ? Application->Title() : std::wstring(L"Vantel");
    // Topmost, as the ring is: a box under the ring would open hidden behind it.
    MessageBoxW(HandleAllocated() ? Handle() : nullptr, text.c_str(), title.c_str(),
                MB_OK | MB_ICONINFORMATION | MB_TOPMOST | MB_SETFOREGROUND);
  };
  // Fails silently, as a link that cannot be opened has nothing to report.
  OpenAddress = [](const std::wstring& address) {
    ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOW);
  };
  ShowTrayBalloon = [this](const std::wstring& text) { TrayIcon1->ShowBalloon(L"Vantel", text); };
  RunsAsAdministrator = &StartedAsAdministrator;
  AskAtStart = &AskWithMessageBox;
  CreateComponents();
}

TfrmVantelMain::~TfrmVantelMain() {
  alive_.reset();  // nothing queued for this window runs any more
  // The group's buttons are windows owned by this one: they go first (also before the tray icon, whose
  // handlers use the group).
  buttonGroup_.reset();
}

void TfrmVantelMain::CreateComponents() {
  Handle();  // the window first: its children and the tray icon's owner hook need it
  if (PixelsPerInch() != Dpi::kBase) {
    Font().SetHeight(FormFontHeight(PixelsPerInch()));
    SetClientSize(Scaled(kSettingsClientWidth), Scaled(kSettingsClientHeight));
  }

  Panel1 = Make<TPanel>(this, L"Panel1");
  Panel1->FillParent = true;
  Panel1->SetParent(this);

  auto place = [this](TWinControl& control, int left, int top, int width, int height) {
    Place(control, left, top, width, height);
  };
  Label1 = Make<TLabel>(this, L"Label1");
  place(*Label1, 16, 24, 57, 13);
  Label1->SetCaption(kHotColourText);
  Label2 = Make<TLabel>(this, L"Label2");
  place(*Label2, 16, 56, 57, 13);
  Label2->SetCaption(kNormalColourText);

  Edit1 = Make<TEdit>(this, L"Edit1");
  place(*Edit1, 83, 20, 105, 21);
  Edit1->TabOrder = 0;
  BitBtn1 = Make<TBitBtn>(this, L"BitBtn1");
  place(*BitBtn1, 198, 18, 75, 25);
  BitBtn1->SetCaption(kColourButtonCaption);
  BitBtn1->HotTrack = true;
  BitBtn1->TabOrder = 1;
  BitBtn1->OnClick = [this](TObject* sender) { BitBtn1Click(sender); };
  Edit2 = Make<TEdit>(this, L"Edit2");
  place(*Edit2, 83, 52, 105, 21);
  Edit2->TabOrder = 2;
  BitBtn2 = Make<TBitBtn>(this, L"BitBtn2");
  place(*BitBtn2, 198, 50, 75, 25);
  BitBtn2->SetCaption(kColourButtonCaption);
  BitBtn2->HotTrack = true;
  BitBtn2->TabOrder = 3;
  BitBtn2->OnClick = [this](TObject* sender) { BitBtn2Click(sender); };

  // Beside the configuration, wherever the start found it.
  const std::size_t slash = configFile_.find_last_of(L"\\/");
  const std::wstring configFolder =
      slash == std::wstring::npos ? std::wstring() : configFile_.substr(0, slash);
  settings_ =
      std::make_unique<TSettingsFile>(PathInFolder(configFolder, kVantelSettingsFile), settingsFiles_);
  settings_->Load();
  summon_ = std::make_unique<TRingSummon>(*this, *settings_);
  LabelHotkey = Make<TLabel>(this, L"LabelHotkey");
  place(*LabelHotkey, 16, 88, 57, 13);
  LabelHotkey->SetCaption(kHotkeyText);
  HotkeyField = Make<THotkeyField>(this, L"HotkeyField");
  place(*HotkeyField, 83, 84, 105, 21);
  HotkeyField->TabOrder = 4;
  LabelHotkeyHeld = Make<TLabel>(this, L"LabelHotkeyHeld");
  place(*LabelHotkeyHeld, 83, 110, 200, 13);
  MakeAccessible();

  Panel1->Handle();
  for (TWinControl* control : std::initializer_list<TWinControl*>{
           Label1.get(), Label2.get(), Edit1.get(), BitBtn1.get(), Edit2.get(), BitBtn2.get(),
           LabelHotkey.get(), HotkeyField.get(), LabelHotkeyHeld.get()}) {
    control->Handle();
    ApplyParentFont(*control);
  }

  HotkeyField->SetValue(settings_->Settings().SummonKey);
  HotkeyField->OnChange = [this](TObject* sender) { HotkeyFieldChange(sender); };

  PmTrayIcon = Make<TPopupMenu>(this, L"PmTrayIcon");
  CreateTrayMenu();
  // The shortcut may come and go outside (the installer, the user): the check mark is read at each opening.
  PmTrayIcon->OnPopup = [this](TObject*) {
    if (StartupShortcut.empty()) StartupShortcut = StartupShortcutPath();
    NStartup->Checked = StartsWithWindows(StartupShortcut);
  };

  MenuSkin1 = Make<TMenuSkin>(this, L"MenuSkin1");
  MenuSkin1->SetActive(true);
  PmButtonControl = Make<TPopupMenu>(this, L"PmButtonControl");
  ColorDialog1 = Make<TColorDialog>(this, L"ColorDialog1");

  // The tray icon last, as its stored properties are read: the icon is in the notification area from
  // here on, and its clicks are handled as soon as the message loop runs.
  TrayIcon1 = Make<TFormTrayIcon>(this, L"TrayIcon1");
  {
    UniqueIcon icon(LoadProgramIcon(GetSystemMetrics(SM_CXSMICON)));
    TrayIcon1->SetIcon(icon.get());  // keeps a copy
  }
  TrayIcon1->SetHint(L"Vantel");  // the icon's name, to a screen reader too
  TrayIcon1->SetShowHint(true);
  TrayIcon1->SetPopupMenu(PmTrayIcon.get());
  TrayIcon1->SetWantEnterExitEvents(true);
  TrayIcon1->OnClick = [this](TObject* sender) { TrayIcon1Click(sender); };
  TrayIcon1->OnDblClick = [this](TObject* sender) { TrayIcon1DblClick(sender); };
  TrayIcon1->OnMouseDown = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    TrayIcon1MouseDown(sender, button, shift, x, y);
  };
  if (Application) {
    Application->QueueCall([this, alive = std::weak_ptr<bool>(alive_)] {
      if (!alive.expired()) ShowTrayIcon();
    });
  } else {
    ShowTrayIcon();
  }
}

void TfrmVantelMain::ShowTrayIcon() {
  TrayIcon1->SetIconVisible(true);
  TrayIcon1->FinishLoading();
}

void TfrmVantelMain::CreateTrayMenu() {
  TMenuItem& items = PmTrayIcon->Items();
  auto handler = [this](void (TfrmVantelMain::*method)(TObject*)) {
    return [this, method](TObject* sender) { (this->*method)(sender); };
  };
  // What each caption says in English is noted beside the item in VTMainForm.h and above its handler.
  N1 = AddItem(this, items, L"N1", L"隐藏系统设置", handler(&TfrmVantelMain::N1Click));
  N2 = AddItem(this, items, L"N2", L"显示系统设置", handler(&TfrmVantelMain::N2Click));
  N4 = AddItem(this, items, L"N4", L"隐藏桌面图标", handler(&TfrmVantelMain::N4Click));
  N5 = AddItem(this, items, L"N5", L"显示桌面图标", handler(&TfrmVantelMain::N5Click));
  NStartup = AddItem(this, items, L"NStartup", L"开机启动", handler(&TfrmVantelMain::NStartupClick));
  N6 = AddItem(this, items, L"N6", L"-");
  NContact = AddItem(this, items, L"NContact", L"联系电话：000-0000-0000");  // shows the number only
  N11 = AddItem(this, items, L"N11", L"使用说明", handler(&TfrmVantelMain::N11Click));
  N3 = AddItem(this, items, L"N3", L"关闭Vantel工具", handler(&TfrmVantelMain::N3Click));
  N7 = AddItem(this, items, L"N7", L"相关工具");
  N8 = AddItem(this, *N7, L"N8", L"Vantel相关工具下载", handler(&TfrmVantelMain::N8Click));
  N10 = AddItem(this, *N7, L"N10", L"最新的Vantel工具", handler(&TfrmVantelMain::N10Click));
  N9 = AddItem(this, items, L"N9", L"官方网站", handler(&TfrmVantelMain::N9Click));
}

void TfrmVantelMain::FormShow(TObject* sender) {
  (void)sender;
  // The messages start-up shows run modal loops, in which the tray icon's commands can come: a command
  // that would show the window again does not run the show handler a second time.
  if (showing_) return;
  const TFlagScope showing(showing_);
  std::optional<TConfigAtStart> start;
  if (!buttonGroup_) start.emplace(configFile_, AskAtStart);
  const TXmlHost host = start ? start->Host() : TXmlHost{};
  TXmlDocument document(host);
  SetCaption(std::wstring(kShownCaption) + kVantelWebAddress);
  SetWidth(0);
  SetHeight(0);
  HWND window = Handle();
  const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
  configUnloadable_ = false;
  try {
    document.LoadFile(configFile_);
  } catch (const EXmlError&) {
    // The user is told; the file stays as it is, and the window carries on as with a file that holds
    // nothing: black colour boxes, and a ring of default segments.
    configUnloadable_ = true;
    TellConfigFault();
    document.ResetDocument();
  }
  Edit1->SetText(kHotColourText);
  const TXmlNode* root = document.RootElement();
  ShowBoxColour(*Edit1, ColorBoxColor(root ? ConfigFormat::ReadHotColor(*root) : 0));
  Edit2->SetText(kNormalColourText);
  ShowBoxColour(*Edit2, ColorBoxColor(root ? ConfigFormat::ReadDefaultColor(*root) : 0));
  SetWindowLongPtrW(window, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW));
  if (Application) ShowWindow(Application->Handle(), SW_HIDE);
  if (!buttonGroup_) {
    const TRingPlace place{this, PmButtonControl.get(), RingPixelsPerInch(), vantel::kRingStartSide,
                           [this](TXmlControlButtonGroup& group) { summon_->Attach(group); }};
    buttonGroup_ = BuildRingAtStart(groupFactory_, configFile_, host, place, configUnloadable_,
                                    [this] { TellConfigFault(); });
    MenuSkin1->SetActive(false);
    MenuSkin1->SetActive(true);
  }
  if (hotkeyRegistered_) return;
  hotkeyRegistered_ = true;
  // What the first show finds wrong is told once, in a balloon, once the loop runs.
  std::vector<std::wstring> notes;
  if (RunsAsAdministrator()) {
    notes.push_back(kElevatedDropText);
  }
  if (!summon_->RegisterStored()) {
    // Another program holds the combination: told in the field and a balloon; nothing else changes.
    LabelHotkeyHeld->SetCaption(kHotkeyHeldText);
    notes.push_back(HotkeyText(settings_->Settings().SummonKey) + L" " + kHotkeyHeldText);
  }
  for (const std::wstring& text : notes) {
    if (Application) {
      Application->QueueCall([this, text, alive = std::weak_ptr<bool>(alive_)] {
        if (!alive.expired()) ShowTrayBalloon(text);
      });
    } else {
      ShowTrayBalloon(text);
    }
  }
}

void TfrmVantelMain::TellConfigFault() {
  // Told once: every later show reads the same file again.
  if (Application && !configFaultShown_) Application->HandleException(this);
  configFaultShown_ = true;
}

std::wstring TfrmVantelMain::HotkeyText(vantel::Hotkey key) {
  const std::string text = vantel::HotkeyText(key);
  return std::wstring(text.begin(), text.end());  // ASCII names
}

void TfrmVantelMain::HotkeyFieldChange(TObject* sender) {
  (void)sender;
  const vantel::Hotkey key = HotkeyField->Value();
  if (key.Key == 0 && key.Modifiers != 0) return;  // only the modifiers so far
  if (!vantel::AllowedHotkey(key)) {
    HotkeyField->SetValue(summon_->Hotkey());  // the field's rules let none through; the one in effect stays
    return;
  }
  LabelHotkeyHeld->SetCaption(summon_->ChangeHotkey(key) ? L"" : kHotkeyHeldText);
}

// NStartup 开机启动: start with Windows, or no longer.
void TfrmVantelMain::NStartupClick(TObject* sender) {
  (void)sender;
  if (StartupShortcut.empty()) StartupShortcut = StartupShortcutPath();
  try {
    SetStartWithWindows(StartupShortcut, !StartsWithWindows(StartupShortcut));
  } catch (const std::exception&) {
    if (Application) Application->HandleException(this);
  }
  NStartup->Checked = StartsWithWindows(StartupShortcut);
}

void TfrmVantelMain::PrepareWithoutShowing() {
  FormShow(this);
  ShowAllButtons();  // the ring is the program's face, whether or not the settings window shows
}

void TfrmVantelMain::FormClose(TObject* sender, TCloseAction& action) {
  (void)sender;
  action = TCloseAction::caNone;
  SetVisible(false);
  TrayIcon1->HideMainWindow();
}

// N1 隐藏系统设置: hide the settings window.
void TfrmVantelMain::N1Click(TObject* sender) {
  (void)sender;
  if (showing_) return;  // the ring is being made
  SetWidth(0);
  SetHeight(0);
  TrayIcon1->HideMainWindow();
}

// N2 显示系统设置: show the settings window.
void TfrmVantelMain::N2Click(TObject* sender) {
  (void)sender;
  if (showing_) return;  // the ring is being made
  SetVisible(true);
  SetWidth(Scaled(kSettingsWidth));
  SetHeight(Scaled(kSettingsHeight));
  TrayIcon1->ShowMainWindow();
}

void TfrmVantelMain::ShowDesktopIcons(bool show) {
  ::ShowDesktopIcons(show, DesktopFolderView, FindDesktopWindow);
}

// N4 隐藏桌面图标: hide the desktop icons.
void TfrmVantelMain::N4Click(TObject* sender) {
  (void)sender;
  ShowDesktopIcons(false);
}

// N5 显示桌面图标: show the desktop icons.
void TfrmVantelMain::N5Click(TObject* sender) {
  (void)sender;
  ShowDesktopIcons(true);
}

// N3 关闭Vantel工具: quit Vantel.
void TfrmVantelMain::N3Click(TObject* sender) {
  N5Click(sender);
  if (Application) Application->Terminate();
}

// N8 Vantel相关工具下载: download related Vantel tools.
void TfrmVantelMain::N8Click(TObject* sender) {
  (void)sender;
  OpenAddress(kVantelWebAddress);
}

// N9 官方网站: the official web site.
void TfrmVantelMain::N9Click(TObject* sender) {
  (void)sender;
  OpenAddress(kVantelWebAddress);
}

// N10 最新的Vantel工具: the latest Vantel tools.
void TfrmVantelMain::N10Click(TObject* sender) {
  (void)sender;
  OpenAddress(kVantelWebAddress);
}

// N11 使用说明: how to use the program.
void TfrmVantelMain::N11Click(TObject* sender) {
  (void)sender;
  ShowInformation(kUsageNote);
}

void TfrmVantelMain::ShowAllButtons() {
  if (buttonGroup_) buttonGroup_->ShowAll();
}

void TfrmVantelMain::TrayIcon1MouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x,
                                        int y) {
  (void)sender;
  (void)shift;
  (void)x;
  (void)y;
  if (showing_) return;  // the ring is being made
  if (button == TMouseButton::mbLeft) ShowAllButtons();
}

void TfrmVantelMain::TrayIcon1Click(TObject* sender) {
  (void)sender;
  if (showing_) return;  // the ring is being made
  ShowAllButtons();
}

void TfrmVantelMain::TrayIcon1DblClick(TObject* sender) {
  (void)sender;
  if (showing_) return;  // the ring is being made
  SetWidth(0);
  SetHeight(0);
  SetVisible(true);
  ShowAllButtons();
}

void TfrmVantelMain::ChooseColor(TEdit& box, std::string_view attribute) {
  if (!ExecuteColorDialog(*ColorDialog1)) return;
  const COLORREF colour = ColorDialog1->Color & 0xFFFFFF;
  TXmlDocument document;
  // The box shows the colour once the file has been read and the colour put in it (a write that fails
  // then is reported, the choice stays shown). A file that is there but cannot be read, or does not
  // parse, is never written over, and the box keeps the colour the file holds.
  ConfigFormat::StoreRootColor(document, configFile_, attribute, ColorRefToARGB(colour), {},
                               [&] { ShowBoxColour(box, colour); });
}

void TfrmVantelMain::BitBtn1Click(TObject* sender) {
  (void)sender;
  ChooseColor(*Edit1, ConfigFormat::HotColorAttribute);
}

void TfrmVantelMain::BitBtn2Click(TObject* sender) {
  (void)sender;
  ChooseColor(*Edit2, ConfigFormat::DefaultColorAttribute);
}
