#include "ui/menu_layout.h"

#include <algorithm>

namespace xl::ui {
namespace {

// A menu bigger than the work area still shows its top-left part rather than opening
// off the screen.
MenuPlacement KeepInside(MenuPlacement p, const MenuRect& workArea) {
  p.x = std::max(p.x, workArea.left);
  p.y = std::max(p.y, workArea.top);
  return p;
}

}  // namespace

int MenuWidth(int fixedWidth, int widestText, bool hasSubMenu) {
  if (fixedWidth > 0) return std::max(fixedWidth, kMenuMinWidth);
  return std::max(widestText, 0) + kMenuTextPadding + (hasSubMenu ? kMenuArrowPadding : 0);
}

MenuSize MeasureMenu(int fixedWidth, int widestText, const std::vector<MenuItemKind>& kinds) {
  bool hasSubMenu = std::find(kinds.begin(), kinds.end(), MenuItemKind::SubMenu) != kinds.end();
  int height = 2 * kMenuMargin;
  for (MenuItemKind kind : kinds) height += kind == MenuItemKind::Separator ? kMenuSeparatorHeight : kMenuItemHeight;
  return {MenuWidth(fixedWidth, widestText, hasSubMenu), height};
}

std::vector<MenuRect> MenuItemRects(int menuWidth, const std::vector<MenuItemKind>& kinds) {
  std::vector<MenuRect> rects;
  rects.reserve(kinds.size());
  int y = kMenuMargin;
  for (MenuItemKind kind : kinds) {
    if (kind == MenuItemKind::Separator) {
      rects.push_back({33, y, 33 + menuWidth - 40, y + kMenuSeparatorHeight});
      y += kMenuSeparatorHeight;
    } else {
      rects.push_back({kMenuMargin, y, menuWidth - kMenuMargin, y + kMenuItemHeight});
      y += kMenuItemHeight;
    }
  }
  return rects;
}

MenuPlacement PlaceRootMenu(int x, int y, MenuSize size, const MenuRect& workArea) {
  MenuPlacement p{x, y, false};
  // The 5-pixel allowances are the transparent shadow band that may leave the screen.
  if (p.x + size.width - 5 > workArea.right) {
    p.x -= size.width;
    p.flipped = true;
  }
  if (p.y + size.height > workArea.bottom) p.y = p.y - size.height + 5;
  return KeepInside(p, workArea);
}

MenuPlacement PlaceSubMenu(const MenuRect& parent, const MenuRect& item, MenuSize size, const MenuRect& workArea) {
  MenuPlacement p{parent.right - 10, parent.top + item.top - 7, false};
  if (p.x + size.width - 5 > workArea.right) {
    p.x = parent.left - size.width + 10;
    p.flipped = true;
  }
  if (p.y + size.height > workArea.bottom) p.y = parent.top + item.bottom + 7 - size.height;
  return KeepInside(p, workArea);
}

}  // namespace xl::ui
