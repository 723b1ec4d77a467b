// TXmlControlDragGDIButton: storing a button in SystemConfig.xml, and its delete command.
#include "GDIButtons/XmlControlDragGDIButton.h"

#include "GDIButtons/ButtonGroupItems.h"
#include "framework/Application.h"
#include "framework/text/TextCodec.h"
#include "xml/ConfigFormat.h"

namespace {
constexpr wchar_t kDeleteCaption[] = L"删除按键";
}  // namespace

TXmlControlDragGDIButton::TXmlControlDragGDIButton(TComponent* owner, const TButtonColors& colors,
                                                   TButtonStart start)
    : TDragGDIButton(owner, colors, start) {
  popupMenu_ = std::make_unique<TPopupMenu>(this);
  SetPopupMenu(popupMenu_.get());
  document_ = std::make_unique<TXmlDocument>();
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
      ConfigFormat::TButtonRecord{ButtonKind(), WideToGb18030(FileName()), ButtonGuid()});
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
  ConfigFormat::RemoveButton(*document_, xmlFileName_, guid);
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
