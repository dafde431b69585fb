#pragma once
// Geometry of the skinned popup menu: the size of a menu level, where each item sits in it,
// and where a level opens on the screen. Plain integers only, so it can be checked without
// a window.
#include <vector>

namespace xl::ui {

enum class MenuItemKind { Normal = 0, Separator = 1, SubMenu = 2 };

struct MenuRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const MenuRect&, const MenuRect&) = default;
};

struct MenuSize {
  int width = 0, height = 0;
  friend bool operator==(const MenuSize&, const MenuSize&) = default;
};

// Each level: an 8-pixel margin inside a 6-pixel shadow band, 22-pixel items and 3-pixel
// separators; the icon column is 24 pixels wide and text starts 30 pixels into an item. These
// are design pixels (96 DPI); every function below takes the DPI the menu is shown at and
// gives screen pixels.
inline constexpr int kMenuMinWidth = 50;
inline constexpr int kMenuTextPadding = 50;   // around the widest text
inline constexpr int kMenuArrowPadding = 15;  // room for the arrow of a sub-menu item
inline constexpr int kMenuItemHeight = 22;
inline constexpr int kMenuSeparatorHeight = 3;
inline constexpr int kMenuMargin = 8;

// Width of a level: a fixed width (0 = none) is at least kMenuMinWidth; otherwise the
// widest text plus padding, plus room for an arrow when some item opens a sub-menu.
// `widestText` is measured in screen pixels at `dpi`.
int MenuWidth(int fixedWidth, int widestText, bool hasSubMenu, int dpi = 96);
// Height of a level: 16 + 3 per separator + 22 per other item.
MenuSize MeasureMenu(int fixedWidth, int widestText, const std::vector<MenuItemKind>& kinds, int dpi = 96);

// Rectangle of every item in its level's client area, top-down from y = 8: items span the
// level less the margins, separators start right of the icon column.
std::vector<MenuRect> MenuItemRects(int menuWidth, const std::vector<MenuItemKind>& kinds, int dpi = 96);

struct MenuPlacement {
  int x = 0, y = 0;
  bool flipped = false;  // opened to the left of where it would normally go
  friend bool operator==(const MenuPlacement&, const MenuPlacement&) = default;
};

// A root menu opens with its top-left corner at the point; near the right edge of the work
// area it opens to the left of the point, near the bottom above it. It never starts left of
// or above the work area.
MenuPlacement PlaceRootMenu(int x, int y, MenuSize size, const MenuRect& workArea, int dpi = 96);

// A sub-menu opens overlapping its parent's right edge, level with the parent's active item
// (`item` in the parent's client coordinates, `parent` its window on the screen). Near the
// right edge it opens on the parent's left instead (flipped); near the bottom it moves up
// until its bottom lines up with the bottom of the active item.
MenuPlacement PlaceSubMenu(const MenuRect& parent, const MenuRect& item, MenuSize size, const MenuRect& workArea,
                           int dpi = 96);

}  // namespace xl::ui
