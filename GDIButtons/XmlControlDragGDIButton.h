// TXmlControlDragGDIButton: the drop-and-launch button that keeps its record in the configuration file.
#pragma once

#include <memory>
#include <string>

#include "GDIButtons/DragGDIButton.h"
#include "framework/Collection.h"
#include "framework/Menus.h"
#include "xml/XmlDocument.h"

class TXmlControlDragGDIButton : public TDragGDIButton {
 public:
  // The file's commands in the popup menu, shown while the button holds a file.
  static constexpr const wchar_t* kOpenFolderCaption = L"打开文件所在的位置";
  static constexpr const wchar_t* kRunAsCaption = L"以管理员身份运行";  // programs, shortcuts and scripts
  static constexpr const wchar_t* kCopyPathCaption = L"复制路径";

  // The drop-and-launch button with a new GUID (ButtonGuid), its own popup menu (owned, and set as the
  // button's popup menu) and its own document.
  explicit TXmlControlDragGDIButton(TComponent* owner, const TButtonColors& colors = {},
                                    TButtonStart start = TButtonStart::Shown,
                                    const TButtonSystem& system = {});
  // The menu also holds the file's commands above the delete entry: the folder opened with the file
  // selected, the file opened as administrator, its path copied (ShowFileCommands shows those that apply).
  // Frees the popup menu, then the document, then the drop-and-launch button.
  ~TXmlControlDragGDIButton() override;

  // Name of the configuration file; empty until the group or the drop handler sets it.
  std::wstring XmlFileName() const override { return xmlFileName_; }
  void SetXmlFileName(const std::wstring& name) override { xmlFileName_ = name; }
  // Where the stores and deletions read and write the file (null members: the default host's). Never the
  // view a start-up reads a held or broken file through: a save through it would write over that file.
  const TXmlHost& XmlHost() const override { return xmlHost_; }
  void SetXmlHost(const TXmlHost& host) override { xmlHost_ = host; }

  // Stores this button's record (kind, file, GUID): reloads the whole file, updates the first record
  // with the button's GUID in place or appends one, and writes the whole file back. A missing file is
  // created; a file that cannot be read is left alone, and the user is told which file it is and what to
  // do; one that does not parse throws before anything is written. An empty XmlFileName stores nothing.
  void SaveToConfig() override;
  // Appends one "删除按键" entry, whose click runs DeleteButtonClick, to the button's popup menu.
  void AddDeleteMenuItem() override;

  // Appends an empty ButtonInfo record to the root of `document`.
  void AppendButtonInfo(TXmlDocument& document);
  // Removes the first record with this GUID from the file and writes the file back (a missing file is
  // reported and created from what the document last held; an unreadable one is left alone, as above).
  void RemoveFromConfig(const std::string& guid);
  // The delete entry's handler: the first segment (in index order) with this button's GUID loses its
  // record at once and its item, button and menu once the menu command has returned, from the message
  // loop. Nothing happens without such a segment, or while this button's deletion is pending.
  void DeleteButtonClick(TObject* sender);

  TXmlDocument& Document() const { return *document_; }
  TPopupMenu& ButtonMenu() const { return *popupMenu_; }
  // Entries AddDeleteMenuItem added so far.
  int DeleteMenuItemCount() const;
  // A segment's deletion is queued and has not run yet.
  bool DeletePending() const { return deletePending_; }

 private:
  // Which of the file's commands show, and which are greyed (the file is gone); at every opening.
  void ShowFileCommands();
  void OpenFolderClick();
  void RunAsClick();
  void CopyPathClick();
  // Deletes `item` from `items` if both are still there (this button's deletion was queued earlier).
  static void DeleteQueuedItem(TGDIButtonGroupItems* items, const TCollectionItem* item);

  std::unique_ptr<TXmlDocument> document_;
  std::unique_ptr<TPopupMenu> popupMenu_;  // declared after the document: freed before it
  TMenuItem* openFolderItem_ = nullptr;    // owned by the menu
  TMenuItem* runAsItem_ = nullptr;
  TMenuItem* copyPathItem_ = nullptr;
  std::wstring xmlFileName_;
  TXmlHost xmlHost_;
  bool deletePending_ = false;
  // Expires with the button: a queued deletion checks it before it touches anything.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
