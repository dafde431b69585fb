#pragma once
// DuiMenu: the definition of a skinned popup menu. Items are added once and the menu can be
// shown any number of times; each showing draws every level as its own small hosted window
// (translucent rounded panel, soft shadow, optional icons, cascading sub-menus) and returns
// when the menu has closed. Items are numbered from 1 for the program.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/menu_layout.h"

namespace xl::ui {

class DuiMenu;

inline constexpr int kMenuItemDisabledState = -1;
inline constexpr uint32_t kMenuTextColour = 0xD2000000;  // ARGB: black, alpha 210

// One item of a menu definition.
struct MenuItem {
  std::string text;  // GBK; "&X" marks X as the access letter
  std::string icon;  // encoded picture drawn in the icon box; empty = none
  int state = 0;     // kMenuItemDisabledState: shown greyed and cannot be chosen
  MenuItemKind kind = MenuItemKind::Normal;
  // Choosing a normal item either sends the owner WM_COMMAND with `commandId` (command
  // mode) or calls `handler`.
  bool commandMode = false;
  unsigned commandId = 0;
  std::function<void()> handler;
  std::shared_ptr<const DuiMenu> subMenu;  // kind SubMenu
  // A system colour value (0x00BBGGRR), as the program's colour constants are; none:
  // kMenuTextColour.
  std::optional<uint32_t> textColour;
  int word1 = 0, word2 = 0;  // kept for the program, unused by the menu

  bool Disabled() const { return state == kMenuItemDisabledState; }
  // The text colour as drawn (ARGB): red and blue swapped, alpha 254.
  uint32_t TextArgb() const;

  static MenuItem Command(std::string_view text, unsigned id);
  static MenuItem Action(std::string_view text, std::function<void()> handler);
  static MenuItem Separator();
  static MenuItem Sub(std::string_view text, std::shared_ptr<const DuiMenu> menu);
};

class DuiMenu {
 public:
  void AddItem(MenuItem item) { items_.push_back(std::move(item)); }
  // Out-of-range indexes are refused: removes and sets do nothing, gets return empty values.
  bool RemoveItem(int index);
  void Clear() { items_.clear(); }
  int ItemCount() const { return static_cast<int>(items_.size()); }
  bool IsValidIndex(int index) const { return index >= 1 && index <= ItemCount(); }

  std::string ItemText(int index) const;
  void SetItemText(int index, std::string_view text);
  std::string ItemIcon(int index) const;
  void SetItemIcon(int index, std::string_view icon);
  int ItemState(int index) const;
  void SetItemState(int index, int state);
  const MenuItem* Item(int index) const { return IsValidIndex(index) ? &items_[index - 1] : nullptr; }
  const std::vector<MenuItem>& Items() const { return items_; }

  // Fixed width of every showing (0 = as wide as the longest text needs).
  void SetWidth(int width) { fixedWidth_ = width; }
  int FixedWidth() const { return fixedWidth_; }

  // Size of a level showing this menu at `dpi`, measuring texts with `textWidth` (pixels at
  // that DPI).
  MenuSize Measure(const std::function<int(std::string_view)>& textWidth, int dpi = 96) const;
  std::vector<MenuItemKind> Kinds() const;

  // Shows the menu as a root menu owned by `owner` at (x, y) on the screen, or at the
  // cursor when both are 0, and returns once it has closed and the chosen item (if any)
  // has been carried out. Other windows keep working meanwhile.
  void Popup(HWND owner, int x = 0, int y = 0) const;
  // Shows the menu as a sub-menu of an open menu window, next to that window's active item.
  // Returns the new window (null when `parentMenu` is not an open menu window).
  HWND PopupSub(HWND parentMenu) const;

 private:
  MenuItem* Mutable(int index) { return IsValidIndex(index) ? &items_[index - 1] : nullptr; }
  std::vector<MenuItem> items_;
  int fixedWidth_ = 0;
};

// For drivers (tests, the scenario runner): called with the root window of each menu once it
// is shown, before its message loop starts; empty: none. MenuLevel::FromWindow (popup_menu.h)
// tells its items and where they stand.
void SetMenuShownHook(std::function<void(HWND root)> hook);

}  // namespace xl::ui
