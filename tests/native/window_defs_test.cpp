// The window definitions against the designed windows: every control with its kind,
// place, size and content. A wrong name or a moved control breaks a handler or the look
// without any other test noticing.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/window_defs.h"

namespace xl {
namespace {

using K = UnitKind;

const WindowDef& Window(const std::string& id) {
  for (const WindowDef& w : ProgramWindows())
    if (w.id == id) return w;
  ADD_FAILURE() << "no window " << id;
  static const WindowDef none;
  return none;
}

struct Placed {
  const char* window;
  const char* name;
  K kind;
  const char* container;  // "" = the window
  int page;               // tab page, -1 when not on the tab control
  int left, top, width, height;
};

// Every control of the three windows, in the order the windows define them.
const Placed kControls[] = {
    {"start", "图片框_标题栏", K::PictureBox, "", -1, 0, 0, 400, 30},
    {"start", "透明标签_标题", K::TransparentLabel, "图片框_标题栏", -1, 36, 1, 300, 30},
    {"start", "按钮_图标", K::Button, "图片框_标题栏", -1, 4, 3, 30, 30},
    {"start", "按钮_关闭", K::Button, "图片框_标题栏", -1, 370, 0, 30, 30},
    {"start", "列表框_文件列表", K::ListBox, "", -1, 13, 41, 376, 154},
    {"start", "超级按钮_搜上次路径", K::ImageButton, "", -1, 80, 201, 98, 40},
    {"start", "超级按钮_选择目录", K::ImageButton, "", -1, 203, 201, 98, 40},
    {"start", "分隔条1", K::Splitter, "", -1, 0, 30, 1, 220},
    {"start", "分隔条2", K::Splitter, "", -1, 399, 30, 1, 220},
    {"start", "分隔条3", K::Splitter, "", -1, 0, 249, 400, 1},

    {"modify", "图片框_标题栏", K::PictureBox, "", -1, 0, 0, 700, 30},
    {"modify", "透明标签_标题", K::TransparentLabel, "图片框_标题栏", -1, 36, 1, 604, 30},
    {"modify", "按钮_图标", K::Button, "图片框_标题栏", -1, 4, 3, 30, 30},
    {"modify", "按钮_最小化", K::Button, "图片框_标题栏", -1, 640, 0, 30, 30},
    {"modify", "按钮_关闭", K::Button, "图片框_标题栏", -1, 670, 0, 30, 30},
    {"modify", "分隔条1", K::Splitter, "", -1, 0, 30, 1, 670},
    {"modify", "分隔条2", K::Splitter, "", -1, 699, 30, 1, 670},
    {"modify", "分隔条3", K::Splitter, "", -1, 0, 399, 700, 1},
    {"modify", "ZIP压缩1", K::Archive, "", -1, 440, 40, 26, 26},
    {"modify", "图片框_服饰", K::PictureBox, "", -1, 5, 33, 120, 50},
    {"modify", "图片框_人物宝儿", K::PictureBox, "", -1, 128, 33, 120, 50},
    {"modify", "图片框_舞团家族", K::PictureBox, "", -1, 248, 33, 120, 50},
    {"modify", "图片框_插件", K::PictureBox, "", -1, 368, 33, 120, 50},
    {"modify", "选择夹1", K::TabControl, "", -1, 6, 85, 688, 240},
    // Page 0: the costume slots, column by column.
    {"modify", "标签8", K::Label, "选择夹1", 0, 8, 11, 35, 20},
    {"modify", "编辑框_脸型", K::EditBox, "选择夹1", 0, 50, 11, 90, 20},
    {"modify", "图片框_脸型", K::PictureBox, "选择夹1", 0, 142, 13, 16, 16},
    {"modify", "标签9", K::Label, "选择夹1", 0, 8, 61, 35, 20},
    {"modify", "编辑框_发型", K::EditBox, "选择夹1", 0, 50, 61, 90, 20},
    {"modify", "图片框_发型", K::PictureBox, "选择夹1", 0, 142, 63, 16, 16},
    {"modify", "标签10", K::Label, "选择夹1", 0, 8, 111, 35, 20},
    {"modify", "编辑框_上身", K::EditBox, "选择夹1", 0, 50, 111, 90, 20},
    {"modify", "图片框_上身", K::PictureBox, "选择夹1", 0, 142, 113, 16, 16},
    {"modify", "标签12", K::Label, "选择夹1", 0, 8, 161, 35, 20},
    {"modify", "编辑框_下身", K::EditBox, "选择夹1", 0, 50, 161, 90, 20},
    {"modify", "图片框_下身", K::PictureBox, "选择夹1", 0, 142, 163, 16, 16},
    {"modify", "标签25", K::Label, "选择夹1", 0, 8, 211, 35, 20},
    {"modify", "编辑框_鞋子", K::EditBox, "选择夹1", 0, 50, 211, 90, 20},
    {"modify", "图片框_鞋子", K::PictureBox, "选择夹1", 0, 142, 213, 16, 16},
    {"modify", "标签21", K::Label, "选择夹1", 0, 165, 11, 45, 20},
    {"modify", "编辑框_左手持", K::EditBox, "选择夹1", 0, 215, 11, 90, 20},
    {"modify", "图片框_左手持", K::PictureBox, "选择夹1", 0, 307, 13, 16, 16},
    {"modify", "标签20", K::Label, "选择夹1", 0, 165, 61, 45, 20},
    {"modify", "编辑框_右手持", K::EditBox, "选择夹1", 0, 215, 61, 90, 20},
    {"modify", "图片框_右手持", K::PictureBox, "选择夹1", 0, 307, 63, 16, 16},
    {"modify", "标签13", K::Label, "选择夹1", 0, 165, 111, 35, 20},
    {"modify", "编辑框_背饰", K::EditBox, "选择夹1", 0, 215, 111, 90, 20},
    {"modify", "图片框_背饰", K::PictureBox, "选择夹1", 0, 307, 113, 16, 16},
    {"modify", "标签14", K::Label, "选择夹1", 0, 165, 161, 35, 20},
    {"modify", "编辑框_头饰", K::EditBox, "选择夹1", 0, 215, 161, 90, 20},
    {"modify", "图片框_头饰", K::PictureBox, "选择夹1", 0, 307, 163, 16, 16},
    {"modify", "标签6", K::Label, "选择夹1", 0, 165, 211, 35, 20},
    {"modify", "编辑框_面饰", K::EditBox, "选择夹1", 0, 215, 211, 90, 20},
    {"modify", "图片框_面饰", K::PictureBox, "选择夹1", 0, 307, 213, 16, 16},
    {"modify", "标签7", K::Label, "选择夹1", 0, 335, 11, 35, 20},
    {"modify", "编辑框_手链", K::EditBox, "选择夹1", 0, 385, 11, 90, 20},
    {"modify", "图片框_手链", K::PictureBox, "选择夹1", 0, 477, 13, 16, 16},
    {"modify", "标签11", K::Label, "选择夹1", 0, 335, 61, 35, 20},
    {"modify", "编辑框_脚链", K::EditBox, "选择夹1", 0, 385, 61, 90, 20},
    {"modify", "图片框_脚链", K::PictureBox, "选择夹1", 0, 477, 63, 16, 16},
    {"modify", "标签15", K::Label, "选择夹1", 0, 335, 111, 35, 20},
    {"modify", "编辑框_戒指", K::EditBox, "选择夹1", 0, 385, 111, 90, 20},
    {"modify", "图片框_戒指", K::PictureBox, "选择夹1", 0, 477, 113, 16, 16},
    {"modify", "标签16", K::Label, "选择夹1", 0, 326, 161, 55, 20},
    {"modify", "编辑框_伴侣戒指", K::EditBox, "选择夹1", 0, 385, 161, 90, 20},
    {"modify", "图片框_伴侣戒指", K::PictureBox, "选择夹1", 0, 477, 163, 16, 16},
    {"modify", "标签17", K::Label, "选择夹1", 0, 326, 211, 55, 20},
    {"modify", "编辑框_增加光效", K::EditBox, "选择夹1", 0, 385, 211, 90, 20},
    {"modify", "图片框_增加光效", K::PictureBox, "选择夹1", 0, 477, 213, 16, 16},
    {"modify", "标签4", K::Label, "选择夹1", 0, 506, 11, 176, 191},
    {"modify", "超级按钮_修改服饰", K::ImageButton, "选择夹1", 0, 565, 208, 54, 26},
    // Page 1.
    {"modify", "分组框2", K::GroupBox, "选择夹1", 1, 1, 1, 256, 230},
    {"modify", "标签1", K::Label, "分组框2", -1, 8, 25, 58, 20},
    {"modify", "编辑框_昵称", K::EditBox, "分组框2", -1, 70, 25, 170, 20},
    {"modify", "编辑框_原昵称", K::EditBox, "分组框2", -1, 254, 8, 58, 20},
    {"modify", "标签2", K::Label, "分组框2", -1, 8, 55, 58, 20},
    {"modify", "编辑框_修改称号", K::EditBox, "分组框2", -1, 70, 55, 170, 20},
    {"modify", "标签18", K::Label, "分组框2", -1, 8, 87, 58, 20},
    {"modify", "组合框_荣耀等级", K::ComboBox, "分组框2", -1, 70, 85, 170, 25},
    {"modify", "标签36", K::Label, "分组框2", -1, 8, 120, 58, 20},
    {"modify", "组合框_紫钻等级", K::ComboBox, "分组框2", -1, 70, 118, 170, 25},
    {"modify", "标签28", K::Label, "分组框2", -1, 8, 152, 58, 20},
    {"modify", "组合框_选择性别", K::ComboBox, "分组框2", -1, 70, 150, 52, 25},
    {"modify", "超级按钮_个人", K::ImageButton, "分组框2", -1, 190, 158, 54, 26},
    {"modify", "分组框3", K::GroupBox, "选择夹1", 1, 258, 1, 242, 230},
    {"modify", "标签38", K::Label, "分组框3", -1, 11, 28, 79, 20},
    {"modify", "编辑框_新宝儿发型", K::EditBox, "分组框3", -1, 96, 25, 135, 21},
    {"modify", "标签39", K::Label, "分组框3", -1, 11, 60, 79, 20},
    {"modify", "编辑框_新宝儿衣服", K::EditBox, "分组框3", -1, 96, 58, 135, 21},
    {"modify", "标签40", K::Label, "分组框3", -1, 11, 91, 79, 20},
    {"modify", "编辑框_新宝儿背部", K::EditBox, "分组框3", -1, 96, 91, 135, 21},
    {"modify", "标签41", K::Label, "分组框3", -1, 11, 124, 79, 20},
    {"modify", "编辑框_新宝儿左手", K::EditBox, "分组框3", -1, 96, 124, 135, 21},
    {"modify", "标签42", K::Label, "分组框3", -1, 11, 158, 79, 20},
    {"modify", "编辑框_新宝儿右手", K::EditBox, "分组框3", -1, 96, 159, 135, 21},
    {"modify", "标签43", K::Label, "分组框3", -1, 11, 196, 79, 20},
    {"modify", "编辑框_新宝儿脚链", K::EditBox, "分组框3", -1, 96, 196, 74, 21},
    {"modify", "超级按钮_宝儿", K::ImageButton, "分组框3", -1, 180, 193, 54, 26},
    {"modify", "分组框4", K::GroupBox, "选择夹1", 1, 502, 1, 186, 230},
    {"modify", "编辑框_原昵称1", K::EditBox, "分组框4", -1, 254, 8, 58, 20},
    // Page 2.
    {"modify", "标签62", K::Label, "选择夹1", 2, 10, 12, 88, 20},
    {"modify", "组合框_登录界面", K::ComboBox, "选择夹1", 2, 100, 10, 144, 20},
    {"modify", "超级按钮_修改界面", K::ImageButton, "选择夹1", 2, 250, 9, 54, 26},
    {"modify", "标签_提示", K::Label, "选择夹1", 2, 10, 72, 304, 24},
    {"modify", "标签_插件说明", K::Label, "选择夹1", 2, 3, 99, 311, 135},
    {"modify", "图片框_界面图片", K::PictureBox, "选择夹1", 2, 322, 10, 352, 224},
    // Page 3.
    {"modify", "分组框5", K::GroupBox, "选择夹1", 3, 1, 1, 256, 230},
    {"modify", "标签22", K::Label, "分组框5", -1, 8, 25, 58, 20},
    {"modify", "编辑框_舞团名字", K::EditBox, "分组框5", -1, 70, 25, 170, 20},
    {"modify", "编辑框_原舞团名字", K::EditBox, "分组框5", -1, 254, 8, 58, 20},
    {"modify", "标签24", K::Label, "分组框5", -1, 8, 62, 58, 20},
    {"modify", "组合框_舞团等级", K::ComboBox, "分组框5", -1, 70, 60, 170, 25},
    {"modify", "标签26", K::Label, "分组框5", -1, 8, 99, 58, 20},
    {"modify", "组合框_舞团颜色", K::ComboBox, "分组框5", -1, 70, 97, 170, 25},
    {"modify", "标签27", K::Label, "分组框5", -1, 8, 136, 58, 20},
    {"modify", "组合框_舞团徽章", K::ComboBox, "分组框5", -1, 70, 134, 115, 25},
    {"modify", "超级按钮_舞团", K::ImageButton, "分组框5", -1, 190, 133, 54, 26},
    // Bottom group.
    {"modify", "分组框1", K::GroupBox, "", -1, 5, 325, 690, 72},
    {"modify", "标签34", K::Label, "分组框1", -1, 8, 14, 59, 20},
    {"modify", "组合框_是否观战", K::ComboBox, "分组框1", -1, 75, 12, 95, 25},
    {"modify", "超级按钮_观战", K::ImageButton, "分组框1", -1, 175, 11, 54, 26},
    {"modify", "标签60", K::Label, "分组框1", -1, 8, 43, 59, 20},
    {"modify", "组合框_场景舞台", K::ComboBox, "分组框1", -1, 75, 41, 95, 25},
    {"modify", "超级按钮_舞台场景", K::ImageButton, "分组框1", -1, 175, 40, 54, 26},
    {"modify", "标签5", K::Label, "分组框1", -1, 262, 14, 57, 20},
    {"modify", "组合框_修改", K::ComboBox, "分组框1", -1, 323, 12, 128, 20},
    {"modify", "标签19", K::Label, "分组框1", -1, 262, 43, 59, 20},
    {"modify", "组合框_修改人数", K::ComboBox, "分组框1", -1, 323, 41, 70, 25},
    {"modify", "超级按钮_修改人数", K::ImageButton, "分组框1", -1, 399, 40, 54, 26},
    {"modify", "超级按钮_总保存", K::ImageButton, "分组框1", -1, 595, 19, 86, 41},
};

TEST(Windows, EveryControlIsWhereTheDesignPutsIt) {
  size_t start = 0, modify = 0;
  for (const Placed& p : kControls) {
    SCOPED_TRACE(std::string(p.window) + " " + p.name);
    const Unit* u = Window(p.window).Find(p.name);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->kind, p.kind);
    EXPECT_EQ(u->container, p.container);
    EXPECT_EQ(u->page, p.page);
    EXPECT_EQ(u->left, p.left);
    EXPECT_EQ(u->top, p.top);
    EXPECT_EQ(u->width, p.width);
    EXPECT_EQ(u->height, p.height);
    (std::string(p.window) == "start" ? start : modify)++;
  }
  // Nothing more than designed, and every name once per window.
  EXPECT_EQ(Window("start").controls.size(), start);
  EXPECT_EQ(Window("modify").controls.size(), modify);
  EXPECT_TRUE(Window("host").controls.empty());
  for (const WindowDef& w : ProgramWindows()) {
    std::set<std::string> names;
    for (const Unit& u : w.controls) EXPECT_TRUE(names.insert(u.name).second) << w.id << " " << u.name;
  }
}

TEST(Windows, WindowUnits) {
  struct Row {
    const char* id;
    const char* caption;
    int width, height;
    bool visible;
  };
  const Row rows[] = {
      {"start", "星律纪元代码修改器", 400, 250, true},
      {"modify", "星律纪元代码修改器—修改窗口", 700, 400, true},
      {"host", "", 380, 250, false},
  };
  ASSERT_EQ(ProgramWindows().size(), 3u);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.id);
    const Unit& u = Window(r.id).window;
    EXPECT_EQ(u.kind, K::Window);
    EXPECT_EQ(u.text, r.caption);
    EXPECT_EQ(u.left, 50);
    EXPECT_EQ(u.top, 50);
    EXPECT_EQ(u.width, r.width);
    EXPECT_EQ(u.height, r.height);
    EXPECT_EQ(u.visible, r.visible);
  }
}

// Every container a control names exists in its window and can hold controls; tab pages
// exist on the tab control.
TEST(Windows, ContainersExist) {
  for (const WindowDef& w : ProgramWindows()) {
    for (const Unit& u : w.controls) {
      if (u.container.empty()) continue;
      SCOPED_TRACE(w.id + " " + u.name);
      const Unit* holder = w.Find(u.container);
      ASSERT_NE(holder, nullptr);
      EXPECT_TRUE(holder->kind == K::GroupBox || holder->kind == K::PictureBox || holder->kind == K::TabControl);
      if (holder->kind == K::TabControl) {
        EXPECT_GE(u.page, 0);
        EXPECT_LT(u.page, static_cast<int>(holder->items.size()));
      }
    }
  }
}

TEST(Windows, ComboItemsInDesignedOrder) {
  auto range = [](std::vector<std::string> head, int from, int to) {
    for (int i = from; i <= to; ++i) head.push_back(std::to_string(i));
    return head;
  };
  struct Row {
    const char* name;
    std::vector<std::string> items;
  };
  const Row rows[] = {
      {"组合框_荣耀等级", {"无", "1", "2", "3", "4", "6"}},
      {"组合框_紫钻等级", range({"无"}, 0, 9)},
      {"组合框_选择性别", {"无", "男性", "女性"}},
      {"组合框_登录界面", {"选择界面", "简约银色", "原版界面"}},
      {"组合框_舞团等级", range({"无"}, 1, 20)},
      {"组合框_舞团颜色", range({"无", "1", "2", "3", "4"}, 6, 16)},
      {"组合框_舞团徽章", range({"无"}, 1, 32)},
      {"组合框_是否观战", {"无", "是", "否"}},
      {"组合框_场景舞台", {"无", "答题舞台", "嫦娥月宫", "社区", "中式婚礼", "沙漠", "遗迹", "魔幻森林"}},
      {"组合框_修改", {}},
      {"组合框_修改人数", range({"无"}, 1, 8)},
  };
  size_t combos = 0;
  for (const Unit& u : Window("modify").controls) combos += u.kind == K::ComboBox;
  EXPECT_EQ(combos, std::size(rows));
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const Unit* u = Window("modify").Find(r.name);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->items, r.items);
    // A combo box opens on its first item; the person chooser opens on none.
    EXPECT_EQ(u->selection, r.items.empty() ? -1 : 0);
  }
  EXPECT_EQ(Window("modify").Find("组合框_荣耀等级")->items.size(), 6u);
  EXPECT_EQ(Window("modify").Find("组合框_舞团颜色")->items.size(), 16u);
  EXPECT_EQ(Window("modify").Find("组合框_舞团徽章")->items.size(), 33u);
  EXPECT_EQ(Window("start").Find("列表框_文件列表")->selection, -1);
  EXPECT_EQ(Window("start").Find("列表框_文件列表")->fontHeight, 14);

  const Unit* tabs = Window("modify").Find("选择夹1");
  EXPECT_EQ(tabs->items, (std::vector<std::string>{"服饰", "个人信息", "插件", "舞团家族"}));
  EXPECT_EQ(tabs->selection, 0);
}

TEST(Windows, EditBoxInputRules) {
  struct Row {
    std::string name;
    InputMode input;
    int maxLength;
    bool visible;
  };
  std::vector<Row> rows = {
      {"编辑框_昵称", InputMode::Free, 0, true},         {"编辑框_原昵称", InputMode::ReadOnly, 0, false},
      {"编辑框_修改称号", InputMode::Digits, 0, true},   {"编辑框_新宝儿发型", InputMode::Digits, 0, true},
      {"编辑框_新宝儿衣服", InputMode::Digits, 0, true}, {"编辑框_新宝儿背部", InputMode::Digits, 0, true},
      {"编辑框_新宝儿左手", InputMode::Digits, 0, true}, {"编辑框_新宝儿右手", InputMode::Digits, 0, true},
      {"编辑框_新宝儿脚链", InputMode::Digits, 0, true}, {"编辑框_原昵称1", InputMode::ReadOnly, 0, false},
      {"编辑框_舞团名字", InputMode::Free, 0, true},     {"编辑框_原舞团名字", InputMode::ReadOnly, 0, false},
  };
  for (const char* slot : {"脸型", "发型", "上身", "下身", "鞋子", "左手持", "右手持", "背饰", "头饰", "面饰", "手链",
                           "脚链", "戒指", "伴侣戒指", "增加光效"})
    rows.push_back({std::string("编辑框_") + slot, InputMode::Digits, 10, true});
  size_t edits = 0;
  for (const Unit& u : Window("modify").controls) edits += u.kind == K::EditBox;
  EXPECT_EQ(edits, rows.size());
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const Unit* u = Window("modify").Find(r.name);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->input, r.input);
    EXPECT_EQ(u->maxLength, r.maxLength);
    EXPECT_EQ(u->visible, r.visible);
  }
}

// Pictures by resource name: image buttons with their two states, page selectors, slots.
TEST(Windows, DesignTimePictures) {
  struct Row {
    const char* window;
    const char* name;
    const char* picture;
    const char* hover;
    CursorKind cursor;
  };
  const char* small = "pictures/button_small.png";
  const char* smallHover = "pictures/button_small_hover.png";
  std::vector<Row> rows = {
      {"start", "超级按钮_搜上次路径", "pictures/button_search_last.png", "pictures/button_search_last_hover.png",
       CursorKind::Hand},
      {"start", "超级按钮_选择目录", "pictures/button_choose_dir.png", "pictures/button_choose_dir_hover.png",
       CursorKind::Hand},
      {"start", "图片框_标题栏", "", "", CursorKind::Default},
      {"modify", "图片框_标题栏", "", "", CursorKind::Default},
      {"modify", "超级按钮_总保存", "pictures/button_save.png", "pictures/button_save_hover.png", CursorKind::Hand},
      {"modify", "图片框_服饰", "pictures/tab_costume.png", "", CursorKind::Hand},
      {"modify", "图片框_人物宝儿", "pictures/tab_profile.png", "", CursorKind::Hand},
      {"modify", "图片框_插件", "pictures/tab_plugins.png", "", CursorKind::Hand},
      {"modify", "图片框_舞团家族", "pictures/tab_guild.png", "", CursorKind::Hand},
      {"modify", "图片框_界面图片", "", "", CursorKind::Default},
      {"modify", "图片框_鞋子", "pictures/slot_design.gif", "", CursorKind::Default},
      {"modify", "图片框_增加光效", "pictures/slot_design.gif", "", CursorKind::Default},
  };
  for (const char* name : {"超级按钮_修改服饰", "超级按钮_个人", "超级按钮_宝儿", "超级按钮_修改界面", "超级按钮_舞团",
                           "超级按钮_观战", "超级按钮_舞台场景", "超级按钮_修改人数"})
    rows.push_back({"modify", name, small, smallHover, CursorKind::Hand});
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.window) + " " + r.name);
    const Unit* u = Window(r.window).Find(r.name);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->picture, r.picture);
    EXPECT_EQ(u->hoverPicture, r.hover);
    EXPECT_EQ(u->cursor, r.cursor);
  }
  size_t slots = 0;
  for (const Unit& u : Window("modify").controls) slots += u.picture == "pictures/slot_design.gif";
  EXPECT_EQ(slots, 15u);
}

TEST(Windows, Texts) {
  struct Row {
    const char* window;
    const char* name;
    const char* text;
  };
  const Row rows[] = {
      {"start", "透明标签_标题", "星律纪元代码修改器"},
      {"modify", "透明标签_标题", "星律纪元代码修改器—修改窗口"},
      {"modify", "标签8", "脸型："},
      {"modify", "标签21", "左手持："},
      {"modify", "标签16", "伴侣戒指："},
      {"modify", "标签17", "增加光效："},
      {"modify", "分组框2", "修改个人信息"},
      {"modify", "标签1", "修改昵称："},
      {"modify", "标签36", "紫钻等级："},
      {"modify", "分组框3", "修改宝儿"},
      {"modify", "标签43", "宝儿脚链代码："},
      {"modify", "分组框4", "修改其它信息"},
      {"modify", "标签62", "修改登录界面："},
      {"modify", "标签_提示", ""},
      {"modify", "标签_插件说明", ""},
      {"modify", "分组框5", "修改舞团信息"},
      {"modify", "标签22", "舞团昵称："},
      {"modify", "分组框1", ""},
      {"modify", "标签34", "是否观战："},
      {"modify", "标签60", "舞台场景："},
      {"modify", "标签5", "您要修改："},
      {"modify", "标签19", "修改人数："},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.window) + " " + r.name);
    const Unit* u = Window(r.window).Find(r.name);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->text, r.text);
  }
  // The help text: eight lines, the first and every second one empty.
  const std::string help = Window("modify").Find("标签4")->text;
  std::vector<std::string> lines;
  for (size_t from = 0;;) {
    size_t crlf = help.find("\r\n", from);
    lines.push_back(help.substr(from, crlf == std::string::npos ? std::string::npos : crlf - from));
    if (crlf == std::string::npos) break;
    from = crlf + 2;
  }
  ASSERT_EQ(lines.size(), 8u);
  for (const std::string& line : lines) EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
  for (size_t i = 0; i < lines.size(); i += 2) EXPECT_EQ(lines[i], "") << i;
  EXPECT_EQ(lines[1].rfind("- ", 0), 0u);
  EXPECT_EQ(lines[7], "- 增加光效可以将普通衣服加入光效,需要将有光效的衣服代码填入该位置");
}

}  // namespace
}  // namespace xl
