// TMenuItem and TPopupMenu: popup menus with submenus, separators, a default item and an owner-draw hook.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Win32.h"

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  std::wstring Caption;  // "-" makes a separator
  TNotifyEvent OnClick;
  bool Default = false;
  bool Enabled = true;
  bool Checked = false;
  bool Visible = true;
  int Tag = 0;

  // Items are owned by the item (or menu) they are added to.
  TMenuItem* Add(std::unique_ptr<TMenuItem> item);
  TMenuItem* Insert(int index, std::unique_ptr<TMenuItem> item);
  std::unique_ptr<TMenuItem> Remove(TMenuItem* item);  // hands ownership back; nullptr if not a child
  void Delete(int index);
  void Clear();
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const;
  int IndexOf(const TMenuItem* item) const;
  TMenuItem* ParentItem() const { return parent_; }
  bool IsLine() const { return Caption == L"-"; }

  virtual void Click();  // fires OnClick

 private:
  std::vector<std::unique_ptr<TMenuItem>> items_;
  TMenuItem* parent_ = nullptr;
};

// A process-wide painter for owner-drawn menus (the menu skin). When one is set, Popup builds
// MF_OWNERDRAW items (itemData = the TMenuItem*) and routes WM_MEASUREITEM / WM_DRAWITEM to it.
class TMenuPainter {
 public:
  virtual ~TMenuPainter() = default;
  virtual void Measure(TMenuItem& item, MEASUREITEMSTRUCT& measure) = 0;
  virtual void Draw(TMenuItem& item, const DRAWITEMSTRUCT& draw) = 0;
};
void SetMenuPainter(TMenuPainter* painter);  // non-owning; nullptr turns owner-draw off
TMenuPainter* MenuPainter();

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  TMenuItem& Items() { return *items_; }  // the (invisible) root item
  // Shows the menu at screen (x, y) and waits for the choice; the chosen item's OnClick runs
  // after the menu has closed, as the last thing Popup does (so the handler may free this menu).
  void Popup(int x, int y);
  TComponent* PopupComponent = nullptr;  // who opened it (non-owning)
  TNotifyEvent OnPopup;                  // before the menu opens
  bool AutoPopup = true;                 // opened by a control's right-button release

  // The hidden window menus are tracked on (receives WM_MEASUREITEM / WM_DRAWITEM).
  static HWND Window();
  // The menu being shown right now by Popup, or nullptr.
  static HMENU ActiveMenu();

 private:
  std::unique_ptr<TMenuItem> items_;
};
