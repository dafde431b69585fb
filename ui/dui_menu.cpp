#include "ui/dui_menu.h"

#include <algorithm>

#include "ui/dui_element.h"

namespace xl::ui {

MenuItem MenuItem::Command(std::string_view text, unsigned id) {
  MenuItem item;
  item.text = text;
  item.commandMode = true;
  item.commandId = id;
  return item;
}

MenuItem MenuItem::Action(std::string_view text, std::function<void()> handler) {
  MenuItem item;
  item.text = text;
  item.handler = std::move(handler);
  return item;
}

MenuItem MenuItem::Separator() {
  MenuItem item;
  item.kind = MenuItemKind::Separator;
  return item;
}

MenuItem MenuItem::Sub(std::string_view text, std::shared_ptr<const DuiMenu> menu) {
  MenuItem item;
  item.text = text;
  item.kind = MenuItemKind::SubMenu;
  item.subMenu = std::move(menu);
  return item;
}

uint32_t MenuItem::TextArgb() const { return textColour ? TextColour(*textColour) : kMenuTextColour; }

bool DuiMenu::RemoveItem(int index) {
  if (!IsValidIndex(index)) return false;
  items_.erase(items_.begin() + (index - 1));
  return true;
}

std::string DuiMenu::ItemText(int index) const {
  const MenuItem* item = Item(index);
  return item ? item->text : std::string();
}

void DuiMenu::SetItemText(int index, std::string_view text) {
  if (MenuItem* item = Mutable(index)) item->text = text;
}

std::string DuiMenu::ItemIcon(int index) const {
  const MenuItem* item = Item(index);
  return item ? item->icon : std::string();
}

void DuiMenu::SetItemIcon(int index, std::string_view icon) {
  if (MenuItem* item = Mutable(index)) item->icon = icon;
}

int DuiMenu::ItemState(int index) const {
  const MenuItem* item = Item(index);
  return item ? item->state : 0;
}

void DuiMenu::SetItemState(int index, int state) {
  if (MenuItem* item = Mutable(index)) item->state = state;
}

std::vector<MenuItemKind> DuiMenu::Kinds() const {
  std::vector<MenuItemKind> kinds;
  kinds.reserve(items_.size());
  for (const MenuItem& item : items_) kinds.push_back(item.kind);
  return kinds;
}

MenuSize DuiMenu::Measure(const std::function<int(std::string_view)>& textWidth, int dpi) const {
  int widest = 0;
  // A fixed width needs no text measured.
  if (fixedWidth_ <= 0) {
    for (const MenuItem& item : items_)
      if (item.kind != MenuItemKind::Separator) widest = std::max(widest, textWidth(item.text));
  }
  return MeasureMenu(fixedWidth_, widest, Kinds(), dpi);
}

}  // namespace xl::ui
