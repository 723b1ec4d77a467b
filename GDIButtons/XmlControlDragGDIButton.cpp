// TXmlControlDragGDIButton: storing a button in SystemConfig.xml, and its delete command.
#include "GDIButtons/XmlControlDragGDIButton.h"

#include "GDIButtons/ButtonGroupItems.h"
#include <objbase.h>
#include <shlwapi.h>

#include "framework/Application.h"
#include "framework/Clipboard.h"
#include "shell/LaunchLogic.h"
#include "shell/ShellLaunch.h"
#include "framework/text/TextCodec.h"
#include "xml/ConfigFormat.h"

namespace {
constexpr wchar_t kDeleteCaption[] = L"删除按键";

// Whether the file is there. A network path counts as there: the menu does not wait on the network, and
// the command itself tells what went wrong.
bool FileThere(const std::wstring& path) {
  if (PathIsNetworkPathW(path.c_str())) return true;
  const std::wstring name = path.size() >= MAX_PATH && !path.starts_with(L"\\\\") ? L"\\\\?\\" + path : path;
  return GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A new GUID in registry form: braces, upper-case hex, 38 characters. Empty when none can be made.
std::string NewGuidText() {
  GUID guid{};
  if (FAILED(CoCreateGuid(&guid))) return {};
  wchar_t text[40] = {};
  const int length = StringFromGUID2(guid, text, 40);  // braces, upper-case hex, with the NUL
  std::string result;
  for (int i = 0; i + 1 < length; ++i) result.push_back(static_cast<char>(text[i]));
  return result;
}

}  // namespace

TXmlControlDragGDIButton::TXmlControlDragGDIButton(TComponent* owner, const TButtonColors& colors,
                                                   TButtonStart start, const TButtonSystem& system)
    : TDragGDIButton(owner, colors, start, system) {
  // The button's record in the configuration file goes by this GUID until a ring's load gives it the
  // record's own.
  SetButtonGuid(NewGuidText());
  popupMenu_ = std::make_unique<TPopupMenu>(this);
  SetPopupMenu(popupMenu_.get());
  document_ = std::make_unique<TXmlDocument>();
  // The file's own commands, above the delete entry a segment gets later.
  auto add = [this](const wchar_t* caption, void (TXmlControlDragGDIButton::*command)()) {
    auto item = std::make_unique<TMenuItem>(this);
    item->Caption = caption;
    item->OnClick = [this, command](TObject*) { (this->*command)(); };
    return popupMenu_->Items().Add(std::move(item));
  };
  openFolderItem_ = add(kOpenFolderCaption, &TXmlControlDragGDIButton::OpenFolderClick);
  runAsItem_ = add(kRunAsCaption, &TXmlControlDragGDIButton::RunAsClick);
  copyPathItem_ = add(kCopyPathCaption, &TXmlControlDragGDIButton::CopyPathClick);
  popupMenu_->OnPopup = [this](TObject*) { ShowFileCommands(); };
  ShowFileCommands();
}

void TXmlControlDragGDIButton::ShowFileCommands() {
  const std::wstring& file = FileName();
  const bool held = !file.empty(), there = held && FileThere(file);
  openFolderItem_->Visible = held;
  openFolderItem_->Enabled = there;
  runAsItem_->Visible = held && Elevatable(file);
  runAsItem_->Enabled = there;
  copyPathItem_->Visible = held;
}

void TXmlControlDragGDIButton::OpenFolderClick() {
  if (!FileName().empty()) Tell(OpenContainingFolder(Handle(), FileName(), SelectInFolder, ShellExecute));
}

void TXmlControlDragGDIButton::RunAsClick() {
  Open(L"runas");
}

void TXmlControlDragGDIButton::CopyPathClick() {
  if (!FileName().empty() && !CopyTextToClipboard(Handle(), FileName())) {
    Tell(L"无法把路径复制到剪贴板：另一个程序正占用剪贴板，请稍后再试。");
  }
}

TXmlControlDragGDIButton::~TXmlControlDragGDIButton() {
  SetPopupMenu(nullptr);
  popupMenu_.reset();
  document_.reset();
}

void TXmlControlDragGDIButton::SaveToConfig() {
  TDragGDIButton::SaveToConfig();
  // The configuration holds paths in the program's multi-byte form.
  ConfigFormat::StoreButton(
      *document_, xmlFileName_,
      ConfigFormat::TButtonRecord{ButtonKind(), WideToGb18030(FileName()), ButtonGuid()}, xmlHost_);
}

void TXmlControlDragGDIButton::AppendButtonInfo(TXmlDocument& document) {
  ConfigFormat::AppendButtonInfo(document);
}

void TXmlControlDragGDIButton::AddDeleteMenuItem() {
  if (!PopupMenu()) return;
  auto item = std::make_unique<TMenuItem>(this);
  item->Caption = kDeleteCaption;
  item->OnClick = [this](TObject* sender) { DeleteButtonClick(sender); };
  PopupMenu()->Items().Add(std::move(item));
}

int TXmlControlDragGDIButton::DeleteMenuItemCount() const {
  int count = 0;
  for (int i = 0; i < popupMenu_->Items().Count(); ++i) {
    if (popupMenu_->Items().Items(i)->Caption == kDeleteCaption) ++count;
  }
  return count;
}

void TXmlControlDragGDIButton::RemoveFromConfig(const std::string& guid) {
  ConfigFormat::RemoveButton(*document_, xmlFileName_, guid, xmlHost_);
}

void TXmlControlDragGDIButton::DeleteButtonClick(TObject* sender) {
  (void)sender;
  TGDIButtonGroupItems* items = GroupItems();
  if (!items || deletePending_) return;
  const TGDIButtonGroupItem* found = nullptr;
  for (int i = 0; i < items->Count() && !found; ++i) {
    const TGDIButtonGroupItem* item = items->Items(i);
    if (item && item->Button() && item->Button()->ButtonGuid() == ButtonGuid()) found = item;
  }
  if (!found) return;
  RemoveFromConfig(ButtonGuid());
  if (!Application) {
    DeleteQueuedItem(items, found);
    return;
  }
  // This runs inside the menu command on this button's own window: the item, the button and the menu
  // whose entry was clicked go only once that command has returned to the message loop.
  deletePending_ = true;
  Application->QueueCall([this, items, found, alive = std::weak_ptr<bool>(alive_)] {
    // The button (and with it its ring) may have gone in the meantime.
    if (alive.expired()) return;
    DeleteQueuedItem(items, found);
    // The segment deleted was another one with the same GUID: this button stays and may delete again.
    if (!alive.expired()) deletePending_ = false;
  });
}

void TXmlControlDragGDIButton::DeleteQueuedItem(TGDIButtonGroupItems* items, const TCollectionItem* item) {
  const int index = items->IndexOf(item);
  if (index >= 0) items->Delete(index);
}
