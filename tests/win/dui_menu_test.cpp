// The skinned popup menu: its definition and geometry, then real menu windows driven with
// the mouse and keyboard.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "ui/dui_menu.h"
#include "ui/menu_layout.h"

namespace xl::ui {
namespace {

using K = MenuItemKind;

// Every text measures 10 pixels a byte, so widths are easy to state.
int TenPerByte(std::string_view text) { return static_cast<int>(text.size()) * 10; }

TEST(DuiMenuModel, WidthAndHeight) {
  struct Case {
    int fixedWidth;
    std::vector<MenuItem> items;
    MenuSize expected;
  };
  const Case cases[] = {
      {0, {}, {50, 16}},  // an empty menu is still an empty panel
      {30, {MenuItem::Command("a", 1)}, {50, 38}},
      {49, {MenuItem::Command("a", 1)}, {50, 38}},
      {120, {MenuItem::Command("a", 1)}, {120, 38}},
      // Widest text (8 bytes = 80) + 50; separators are not measured.
      {0, {MenuItem::Command("abcd", 1), MenuItem::Separator(), MenuItem::Command("abcdefgh", 2)}, {130, 63}},
      // A sub-menu item leaves room for its arrow.
      {0, {MenuItem::Command("abcd", 1), MenuItem::Sub("ab", nullptr)}, {105, 60}},
      {0, {MenuItem::Separator(), MenuItem::Separator()}, {50, 22}},
  };
  for (const Case& c : cases) {
    DuiMenu menu;
    menu.SetWidth(c.fixedWidth);
    for (const MenuItem& item : c.items) menu.AddItem(item);
    EXPECT_EQ(menu.Measure(TenPerByte), c.expected) << "fixed width " << c.fixedWidth << ", " << c.items.size()
                                                   << " items";
  }
}

TEST(DuiMenuModel, ItemRectsStackFromTheTopMargin) {
  std::vector<K> kinds = {K::Normal, K::Separator, K::SubMenu, K::Normal};
  std::vector<MenuRect> rects = MenuItemRects(100, kinds);
  std::vector<MenuRect> expected = {{8, 8, 92, 30}, {33, 30, 93, 33}, {8, 33, 92, 55}, {8, 55, 92, 77}};
  EXPECT_EQ(rects, expected);
  // The last item ends exactly one margin above the bottom of the level.
  EXPECT_EQ(rects.back().bottom + 8, MeasureMenu(100, 0, kinds).height);
}

TEST(DuiMenuModel, IndexesOutsideTheListAreRefused) {
  DuiMenu menu;
  menu.AddItem(MenuItem::Command("one", 1));
  menu.AddItem(MenuItem::Command("two", 2));
  for (int bad : {0, -1, 3}) {
    EXPECT_FALSE(menu.IsValidIndex(bad));
    EXPECT_EQ(menu.ItemText(bad), "");
    EXPECT_EQ(menu.ItemIcon(bad), "");
    EXPECT_EQ(menu.ItemState(bad), 0);
    menu.SetItemText(bad, "x");
    menu.SetItemIcon(bad, "x");
    menu.SetItemState(bad, -1);
    EXPECT_FALSE(menu.RemoveItem(bad));
  }
  EXPECT_EQ(menu.ItemCount(), 2);
  EXPECT_EQ(menu.ItemText(1), "one");
  EXPECT_EQ(menu.ItemState(2), 0);

  menu.SetItemText(2, "zwei");
  menu.SetItemState(2, kMenuItemDisabledState);
  menu.SetItemIcon(2, "\x89PNG");
  EXPECT_EQ(menu.ItemText(2), "zwei");
  EXPECT_TRUE(menu.Item(2)->Disabled());
  EXPECT_EQ(menu.ItemIcon(2), "\x89PNG");

  EXPECT_TRUE(menu.RemoveItem(1));
  EXPECT_EQ(menu.ItemCount(), 1);
  EXPECT_EQ(menu.ItemText(1), "zwei");
  menu.Clear();
  EXPECT_EQ(menu.ItemCount(), 0);
  EXPECT_FALSE(menu.IsValidIndex(1));
}

TEST(DuiMenuPlacement, RootMenuStaysOnTheScreen) {
  const MenuRect work{0, 0, 800, 600};
  const MenuSize size{150, 100};
  struct Case {
    int x, y;
    MenuPlacement expected;
  } cases[] = {
      {100, 100, {100, 100, false}},
      {655, 100, {655, 100, false}},  // right edge of the panel is shadow: 5 pixels may leave
      {656, 100, {506, 100, true}},   // opens to the left of the cursor
      {100, 500, {100, 500, false}},
      {100, 501, {100, 406, false}},  // opens above the cursor
      {790, 590, {640, 495, true}},   // both
      {100, 60, {100, 60, false}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PlaceRootMenu(c.x, c.y, size, work), c.expected) << "at " << c.x << "," << c.y;

  // A work area that does not start at 0 (taskbar on the left or top) and a menu larger
  // than the room left: the menu keeps inside the work area.
  EXPECT_EQ(PlaceRootMenu(100, 90, {750, 600}, {40, 30, 800, 600}), (MenuPlacement{40, 30, true}));
}

TEST(DuiMenuPlacement, SubMenuBesideTheActiveItem) {
  const MenuRect work{0, 0, 800, 600};
  const MenuSize size{120, 82};
  const MenuRect item{8, 30, 142, 52};  // the parent's active item, in its client area
  struct Case {
    MenuRect parent;
    MenuPlacement expected;
  } cases[] = {
      {{100, 100, 250, 200}, {240, 123, false}},  // overlapping the parent's right edge
      {{500, 100, 650, 200}, {640, 123, false}},
      {{550, 100, 700, 200}, {440, 123, true}},   // right edge: opens on the left side
      {{100, 500, 250, 600}, {240, 477, false}},  // bottom: lines up with the item's bottom
      {{550, 500, 700, 600}, {440, 477, true}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PlaceSubMenu(c.parent, item, size, work), c.expected) << "parent at " << c.parent.left << ","
                                                                    << c.parent.top;
}

}  // namespace
}  // namespace xl::ui
