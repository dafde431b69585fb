// The skinned popup menu: its definition and geometry, then real menu windows driven with
// the mouse and keyboard.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tests/win/dui_test_support.h"
#include "ui/dui_menu.h"
#include "ui/dui_menu_item.h"
#include "ui/menu_layout.h"
#include "ui/popup_menu.h"
#include "ui/ui_start.h"

namespace xl::ui {
namespace {

using K = MenuItemKind;
using testing::PumpFor;

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
    EXPECT_EQ(menu.Measure(TenPerByte), c.expected)
        << "fixed width " << c.fixedWidth << ", " << c.items.size() << " items";
  }
}

TEST(DuiMenuModel, TextColoursAreSystemColourValues) {
  MenuItem item = MenuItem::Command("a", 1);
  EXPECT_EQ(item.TextArgb(), 0xD2000000u);  // black, alpha 210
  item.textColour = 0x0000FF;               // red, as 0x00BBGGRR
  EXPECT_EQ(item.TextArgb(), 0xFEFF0000u);
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
  for (const Case& c : cases) EXPECT_EQ(PlaceRootMenu(c.x, c.y, size, work), c.expected) << "at " << c.x << "," << c.y;

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
    EXPECT_EQ(PlaceSubMenu(c.parent, item, size, work), c.expected)
        << "parent at " << c.parent.left << "," << c.parent.top;
}

// ---- real menu windows ----

void MouseTo(POINT pt) {
  SetCursorPos(pt.x, pt.y);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_MOVE;  // a null move: the windows see the cursor arrive
  SendInput(1, &input, sizeof input);
}

void ClickAt(POINT pt) {
  MouseTo(pt);
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof inputs[0]);
}

void PressKey(WORD key) {
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = inputs[1].ki.wVk = key;
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof inputs[0]);
}

RECT WindowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

bool Shown(HWND window) { return IsWindow(window) && IsWindowVisible(window); }

// The owner: a plain window that records the commands it receives and whether any menu
// window was still on the screen at that moment.
struct OwnerLog {
  std::vector<WPARAM> commands;
  LPARAM lastElement = 0;  // lParam of the last command: the owner's element
  bool menuVisibleAtCommand = false;
  MenuSession* session = nullptr;
};
OwnerLog g_owner;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    g_owner.commands.push_back(wParam);
    g_owner.lastElement = lParam;
    if (g_owner.session)
      for (auto& level : g_owner.session->Levels()) g_owner.menuVisibleAtCommand |= Shown(level->Window());
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class DuiMenuWindows : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    StartSkinnedUi();
    StartPictureLoader();
    WNDCLASSW wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = L"MenuTestOwner";
    RegisterClassW(&wc);
  }
  void SetUp() override {
    g_owner = {};
    owner = CreateWindowExW(0, L"MenuTestOwner", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 900, 700, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(owner);
    PumpFor(50);
    sub = std::make_shared<DuiMenu>();
    sub->AddItem(MenuItem::Command("Alpha", 201));
    sub->AddItem(MenuItem::Command("Beta", 202));
    menu.AddItem(MenuItem::Command("Open", 101));
    menu.AddItem(MenuItem::Sub("More", sub));
    menu.AddItem(MenuItem::Separator());
    menu.AddItem(MenuItem::Command("Other", 103));
  }
  void TearDown() override {
    session.reset();
    if (IsWindow(owner)) DestroyWindow(owner);
    PumpFor(20);
  }

  HWND OpenAt(int x, int y) {
    session = std::make_unique<MenuSession>(owner);
    g_owner.session = session.get();
    HWND root = session->Open(menu, x, y);
    PumpFor(50);
    return root;
  }
  MenuLevel& Level(size_t i) { return *session->Levels().at(i); }
  // Screen point at the centre of item `index` (0-based) of a level.
  POINT ItemCentre(MenuLevel& level, size_t index) {
    RECT w = WindowRect(level.Window());
    RectF r = level.Items().at(index)->Rect();
    return POINT{w.left + static_cast<LONG>(r.X + r.Width / 2), w.top + static_cast<LONG>(r.Y + r.Height / 2)};
  }
  // Rests the mouse on the sub-menu item until its sub-menu has opened.
  HWND HoverIntoSubMenu() {
    MouseTo(ItemCentre(Level(0), 1));
    PumpFor(800);
    return Level(0).SubWindow();
  }

  HWND owner = nullptr;
  DuiMenu menu;
  std::shared_ptr<DuiMenu> sub;
  std::unique_ptr<MenuSession> session;
};

TEST_F(DuiMenuWindows, RootLevelWindowAndItsPlaceNearTheEdges) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  HWND root = OpenAt(200, 150);
  ASSERT_TRUE(Shown(root));
  MenuSize size = menu.Measure([](std::string_view text) { return MenuTextWidth(text); });
  RECT r = WindowRect(root);
  EXPECT_EQ(r.left, 200);
  EXPECT_EQ(r.top, 150);
  EXPECT_EQ(r.right - r.left, size.width);
  EXPECT_EQ(r.bottom - r.top, 16 + 3 * 22 + 3);
  EXPECT_EQ(GetWindowLongPtrW(root, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW),
            WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
  EXPECT_EQ(reinterpret_cast<INT_PTR>(GetPropW(root, L"Ex_Wnd_Flags")), 1);
  EXPECT_EQ(GetPropW(root, L"Ex_DirectUI_Host"), root);
  EXPECT_EQ(GetParent(root) ? GetParent(root) : GetWindow(root, GW_OWNER), owner);
  session.reset();
  EXPECT_FALSE(IsWindow(root));

  // Near the right edge it opens to the left of the point, near the bottom above it.
  root = OpenAt(work.right - 10, work.bottom - 10);
  r = WindowRect(root);
  EXPECT_EQ(r.right, work.right - 10);
  EXPECT_EQ(r.bottom, work.bottom - 10 + 5);
}

TEST_F(DuiMenuWindows, HoverOpensSubMenuAndASiblingClosesIt) {
  HWND root = OpenAt(200, 150);
  MouseTo(ItemCentre(Level(0), 1));
  PumpFor(250);
  EXPECT_EQ(Level(0).SubWindow(), nullptr) << "opened before the mouse rested on the item";
  PumpFor(550);
  HWND subWindow = Level(0).SubWindow();
  ASSERT_TRUE(Shown(subWindow));
  EXPECT_EQ(GetPropW(subWindow, L"Ex_DirectUI_Host"), root);
  EXPECT_EQ(Level(0).ActiveItem(), Level(0).Items()[1]);
  // Beside the parent, level with the item: right - 10, parent top + item top - 7.
  RECT r = WindowRect(subWindow), parent = WindowRect(root);
  EXPECT_EQ(r.left, parent.right - 10);
  EXPECT_EQ(r.top, parent.top + 30 - 7);

  // Into the sub-menu: it stays, and its item stays highlighted.
  MouseTo(ItemCentre(Level(1), 0));
  PumpFor(800);
  EXPECT_TRUE(Shown(subWindow));
  EXPECT_TRUE(Level(0).Items()[1]->Highlighted());

  // Onto a sibling of the parent level: the sub-menu closes.
  MouseTo(ItemCentre(Level(0), 3));
  PumpFor(1200);
  EXPECT_FALSE(IsWindow(subWindow));
  EXPECT_EQ(Level(0).SubWindow(), nullptr);
  EXPECT_TRUE(Shown(root));
  EXPECT_FALSE(Level(0).Items()[1]->Highlighted());
}

TEST_F(DuiMenuWindows, EscapeClosesOneLevelAndAClickOutsideClosesAll) {
  HWND root = OpenAt(200, 150);
  HWND subWindow = HoverIntoSubMenu();
  ASSERT_TRUE(Shown(subWindow));
  ASSERT_EQ(GetForegroundWindow(), subWindow);
  PressKey(VK_ESCAPE);
  PumpFor(400);
  EXPECT_FALSE(IsWindow(subWindow));
  EXPECT_TRUE(Shown(root)) << "Escape closed more than its own level";
  PressKey(VK_ESCAPE);
  PumpFor(200);
  EXPECT_FALSE(IsWindow(root));

  root = OpenAt(200, 150);
  subWindow = HoverIntoSubMenu();
  ASSERT_TRUE(Shown(subWindow));
  ClickAt(POINT{600, 500});  // on the owner, away from both levels
  PumpFor(400);
  EXPECT_FALSE(IsWindow(subWindow));
  EXPECT_FALSE(IsWindow(root));
  EXPECT_TRUE(g_owner.commands.empty());
}

TEST_F(DuiMenuWindows, ChosenCommandArrivesAfterEveryLevelIsHidden) {
  // From the root level.
  OpenAt(200, 150);
  ClickAt(ItemCentre(Level(0), 0));
  session->Run();
  EXPECT_EQ(g_owner.commands, std::vector<WPARAM>{101});
  EXPECT_FALSE(g_owner.menuVisibleAtCommand);

  // From a sub-menu: the parent level is gone too before the owner hears of it.
  g_owner.commands.clear();
  HWND root = OpenAt(200, 150);
  HWND subWindow = HoverIntoSubMenu();
  ASSERT_TRUE(Shown(subWindow));
  ClickAt(ItemCentre(Level(1), 1));
  session->Run();
  EXPECT_EQ(g_owner.commands, std::vector<WPARAM>{202});
  EXPECT_FALSE(g_owner.menuVisibleAtCommand);
  EXPECT_FALSE(IsWindow(root));
  EXPECT_FALSE(IsWindow(subWindow));
}

TEST_F(DuiMenuWindows, OwnerElementIsTheOneUnderTheCursor) {
  DuiHost ownerHost;
  HostOptions o;
  o.styleFlags = 0u;
  o.captionDrag = false;
  o.resizable = false;
  ASSERT_TRUE(ownerHost.Attach(owner, o));
  auto* clicked = ownerHost.Add<testing::Probe>(testing::Box(100, 100, 50, 50, true));
  auto* elsewhere = ownerHost.Add<testing::Probe>(testing::Box(300, 300, 50, 50, true));
  MouseTo(POINT{125, 125});  // the owner sits at (0, 0): client and screen points agree
  PumpFor(50);
  OpenAt(310, 310);  // placed by the program over another element
  EXPECT_EQ(ownerHost.Focused(), clicked);
  ClickAt(ItemCentre(Level(0), 0));
  session->Run();
  EXPECT_EQ(g_owner.commands, std::vector<WPARAM>{101});
  EXPECT_EQ(g_owner.lastElement, static_cast<LPARAM>(clicked->Id()));
  (void)elsewhere;
}

TEST_F(DuiMenuWindows, DisabledItemCannotBeChosenAndHandlersRunAfterClosing) {
  int calls = 0;
  bool menuGoneWhenCalled = false;
  menu.Clear();
  menu.AddItem(MenuItem::Action("Off", [&] { ++calls; }));
  menu.SetItemState(1, kMenuItemDisabledState);
  menu.AddItem(MenuItem::Action("On", [&] {
    ++calls;
    menuGoneWhenCalled = !IsWindow(session->Levels().front()->Window());
  }));

  HWND root = OpenAt(200, 150);
  ClickAt(ItemCentre(Level(0), 0));
  PumpFor(300);
  EXPECT_TRUE(Shown(root)) << "a click on a disabled item closed the menu";
  EXPECT_EQ(calls, 0);

  ClickAt(ItemCentre(Level(0), 1));
  session->Run();
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(menuGoneWhenCalled);
}

// Keeps a menu with its sub-menu open for a few seconds, to be photographed:
//   dui_menu_test --gtest_also_run_disabled_tests --gtest_filter=*Photograph*
TEST_F(DuiMenuWindows, DISABLED_Photograph) {
  menu.Clear();
  sub->Clear();
  sub->AddItem(MenuItem::Command("按文件名", 1));
  sub->AddItem(MenuItem::Command("按修改时间", 2));
  menu.AddItem(MenuItem::Command("打开录像", 3));
  menu.AddItem(MenuItem::Command("在文件夹中显示", 4));
  menu.AddItem(MenuItem::Sub("排序方式", sub));
  menu.AddItem(MenuItem::Separator());
  menu.AddItem(MenuItem::Command("刷新列表", 5));
  menu.AddItem(MenuItem::Command("删除录像", 6));
  menu.SetItemState(6, kMenuItemDisabledState);
  OpenAt(120, 90);
  MouseTo(ItemCentre(Level(0), 2));
  PumpFor(800);
  MouseTo(ItemCentre(Level(1), 1));
  const char* seconds = std::getenv("XL_PHOTO_SECONDS");
  PumpFor(1000 * (seconds ? std::atoi(seconds) : 4));
}

}  // namespace
}  // namespace xl::ui
