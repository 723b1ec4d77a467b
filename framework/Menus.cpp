// TMenuItem / TPopupMenu: building the native menu, tracking it and dispatching the chosen item.
#include "framework/Menus.h"

#include <algorithm>

#include "framework/Application.h"
#include "framework/Handles.h"
#include "framework/WindowClass.h"

namespace {
TMenuPainter* menuPainter = nullptr;
HMENU activeMenu = nullptr;
constexpr wchar_t kPopupClass[] = L"VantelPopupWindow";

// The popup window's messages: the owner-drawn items' measuring and drawing go to the menu painter.
struct PopupWindowRoute {
  using Object = PopupWindowRoute;
  static LRESULT Message(PopupWindowRoute&, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_MEASUREITEM && wParam == 0) {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (measure->CtlType == ODT_MENU && menuPainter && measure->itemData) {
        menuPainter->Measure(*reinterpret_cast<TMenuItem*>(measure->itemData), *measure);
        return TRUE;
      }
    } else if (msg == WM_DRAWITEM && wParam == 0) {
      const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (draw->CtlType == ODT_MENU && menuPainter && draw->itemData) {
        menuPainter->Draw(*reinterpret_cast<TMenuItem*>(draw->itemData), *draw);
        return TRUE;
      }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  static LRESULT Failed(PopupWindowRoute&, UINT) noexcept {
    HandleCurrentException(nullptr);
    return TRUE;
  }
};
PopupWindowRoute popupWindowRoute;  // stateless: lives as long as the program

// Appends `parent`'s visible children to `menu`; plain items get ids 1.. in `commands`.
void BuildMenu(HMENU menu, const TMenuItem& parent, std::vector<TMenuItem*>& commands) {
  for (int i = 0; i < parent.Count(); ++i) {
    TMenuItem* item = parent.Items(i);
    if (!item->Visible) continue;
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(item);
    if (menuPainter) info.fType |= MFT_OWNERDRAW;
    UniqueMenu submenu;
    if (item->IsLine()) {
      info.fType |= MFT_SEPARATOR;
    } else {
      info.fMask |= MIIM_STRING | MIIM_STATE | MIIM_ID;
      info.dwTypeData = const_cast<wchar_t*>(item->Caption.c_str());
      if (item->Default) info.fState |= MFS_DEFAULT;
      if (!item->Enabled) info.fState |= MFS_DISABLED;
      if (item->Checked) info.fState |= MFS_CHECKED;
      if (item->Count() > 0) {
        submenu.reset(CreatePopupMenu());
        BuildMenu(submenu.get(), *item, commands);
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = submenu.get();
      } else {
        commands.push_back(item);
        info.wID = static_cast<UINT>(commands.size());
      }
    }
    if (InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info)) {
      submenu.release();  // now destroyed with its parent menu
    }
  }
}
}  // namespace

void SetMenuPainter(TMenuPainter* painter) {
  menuPainter = painter;
}
TMenuPainter* MenuPainter() {
  return menuPainter;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  // Reverse order of addition, like every other owner here.
  while (!items_.empty()) items_.pop_back();
}

TMenuItem* TMenuItem::Add(std::unique_ptr<TMenuItem> item) {
  return Insert(Count(), std::move(item));
}

TMenuItem* TMenuItem::Insert(int index, std::unique_ptr<TMenuItem> item) {
  if (!item) return nullptr;
  index = std::clamp(index, 0, Count());
  item->parent_ = this;
  TMenuItem* raw = item.get();
  items_.insert(items_.begin() + index, std::move(item));
  return raw;
}

std::unique_ptr<TMenuItem> TMenuItem::Remove(TMenuItem* item) {
  const int index = IndexOf(item);
  if (index < 0) return nullptr;
  std::unique_ptr<TMenuItem> removed = std::move(items_[static_cast<size_t>(index)]);
  items_.erase(items_.begin() + index);
  removed->parent_ = nullptr;
  return removed;
}

void TMenuItem::Delete(int index) {
  if (index >= 0 && index < Count()) Remove(Items(index));
}

void TMenuItem::Clear() {
  while (!items_.empty()) items_.pop_back();
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<size_t>(index)].get();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  for (int i = 0; i < Count(); ++i) {
    if (items_[static_cast<size_t>(i)].get() == item) return i;
  }
  return -1;
}

void TMenuItem::Click() {
  const TNotifyEvent handler = OnClick;  // the handler may free this item
  if (handler) handler(this);
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), items_(std::make_unique<TMenuItem>(this)) {}

TPopupMenu::~TPopupMenu() = default;

HWND TPopupMenu::Window() {
  static UniqueWindow window;
  if (!window || !IsWindow(window.get())) {
    RegisterRoutedClass<PopupWindowRoute>(kPopupClass);
    // A hidden top-level window: it can be made foreground, which TrackPopupMenuEx needs to
    // close the menu when the user clicks elsewhere.
    window.release();
    window.reset(CreateRoutedWindow<PopupWindowRoute>(popupWindowRoute, WS_EX_TOOLWINDOW, kPopupClass, L"",
                                                      WS_POPUP, 0, 0, 0, 0, nullptr));
  }
  return window.get();
}

HMENU TPopupMenu::ActiveMenu() {
  return activeMenu;
}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  std::vector<TMenuItem*> commands;
  UniqueMenu menu(CreatePopupMenu());
  BuildMenu(menu.get(), *items_, commands);
  HWND window = Window();
  SetForegroundWindow(window);
  HMENU previous = std::exchange(activeMenu, menu.get());
  const int chosen = static_cast<int>(TrackPopupMenuEx(
      menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, window, nullptr));
  activeMenu = previous;
  PostMessageW(window, WM_NULL, 0, 0);
  menu.reset();
  // Last: the command may free this menu (and the control that owns it).
  if (chosen > 0 && chosen <= static_cast<int>(commands.size())) {
    commands[static_cast<size_t>(chosen - 1)]->Click();
  }
}
