#include "ui/menu_layout.h"

#include <algorithm>

#include "ui/dpi.h"

namespace xl::ui {
namespace {

int MenuPixels(int design, int dpi) { return Scaled(design, static_cast<UINT>(dpi)); }

// A menu bigger than the work area still shows its top-left part rather than opening
// off the screen.
MenuPlacement KeepInside(MenuPlacement p, const MenuRect& workArea) {
  p.x = std::max(p.x, workArea.left);
  p.y = std::max(p.y, workArea.top);
  return p;
}

}  // namespace

int MenuWidth(int fixedWidth, int widestText, bool hasSubMenu, int dpi) {
  if (fixedWidth > 0) return MenuPixels(std::max(fixedWidth, kMenuMinWidth), dpi);
  return std::max(widestText, 0) + MenuPixels(kMenuTextPadding + (hasSubMenu ? kMenuArrowPadding : 0), dpi);
}

MenuSize MeasureMenu(int fixedWidth, int widestText, const std::vector<MenuItemKind>& kinds, int dpi) {
  bool hasSubMenu = std::find(kinds.begin(), kinds.end(), MenuItemKind::SubMenu) != kinds.end();
  std::vector<MenuRect> rects = MenuItemRects(0, kinds, dpi);
  int height = (rects.empty() ? MenuPixels(kMenuMargin, dpi) : rects.back().bottom) + MenuPixels(kMenuMargin, dpi);
  return {MenuWidth(fixedWidth, widestText, hasSubMenu, dpi), height};
}

// Each item's edges are its design edges scaled, so the items of a level stay packed.
std::vector<MenuRect> MenuItemRects(int menuWidth, const std::vector<MenuItemKind>& kinds, int dpi) {
  std::vector<MenuRect> rects;
  rects.reserve(kinds.size());
  const int margin = MenuPixels(kMenuMargin, dpi);
  int y = kMenuMargin;  // design pixels
  for (MenuItemKind kind : kinds) {
    const bool separator = kind == MenuItemKind::Separator;
    const int next = y + (separator ? kMenuSeparatorHeight : kMenuItemHeight);
    if (separator)
      rects.push_back({MenuPixels(33, dpi), MenuPixels(y, dpi), menuWidth - MenuPixels(7, dpi), MenuPixels(next, dpi)});
    else
      rects.push_back({margin, MenuPixels(y, dpi), menuWidth - margin, MenuPixels(next, dpi)});
    y = next;
  }
  return rects;
}

MenuPlacement PlaceRootMenu(int x, int y, MenuSize size, const MenuRect& workArea, int dpi) {
  MenuPlacement p{x, y, false};
  // The 5-pixel allowances are the transparent shadow band that may leave the screen.
  const int band = MenuPixels(5, dpi);
  if (p.x + size.width - band > workArea.right) {
    p.x -= size.width;
    p.flipped = true;
  }
  if (p.y + size.height > workArea.bottom) p.y = p.y - size.height + band;
  return KeepInside(p, workArea);
}

MenuPlacement PlaceSubMenu(const MenuRect& parent, const MenuRect& item, MenuSize size, const MenuRect& workArea,
                           int dpi) {
  const int overlap = MenuPixels(10, dpi), rise = MenuPixels(7, dpi);
  MenuPlacement p{parent.right - overlap, parent.top + item.top - rise, false};
  if (p.x + size.width - MenuPixels(5, dpi) > workArea.right) {
    p.x = parent.left - size.width + overlap;
    p.flipped = true;
  }
  if (p.y + size.height > workArea.bottom) p.y = parent.top + item.bottom + rise - size.height;
  return KeepInside(p, workArea);
}

}  // namespace xl::ui
