#include "app/window_defs.h"

#include <string>
#include <utility>

namespace xl {
namespace {

// Where a unit sits: the window, a named container, or one page of the tab control.
struct In {
  std::string container;
  int page = -1;
};
const In kWindow{};
const In kTitleBar{"图片框_标题栏"};
In Page(int index) { return In{"选择夹1", index}; }
In Group(const char* name) { return In{name}; }

Unit Make(UnitKind kind, const char* name, const In& in, int left, int top, int width, int height) {
  Unit u;
  u.kind = kind;
  u.name = name;
  u.container = in.container;
  u.page = in.page;
  u.left = left;
  u.top = top;
  u.width = width;
  u.height = height;
  return u;
}

Unit Label(const char* name, const In& in, int left, int top, int width, int height, std::string text) {
  Unit u = Make(UnitKind::Label, name, in, left, top, width, height);
  u.text = std::move(text);
  return u;
}

Unit Edit(const char* name, const In& in, int left, int top, int width, int height, InputMode input = InputMode::Free,
          int maxLength = 0) {
  Unit u = Make(UnitKind::EditBox, name, in, left, top, width, height);
  u.input = input;
  u.maxLength = maxLength;
  return u;
}

// A read-only, hidden edit box: remembers a value read from the replay.
Unit HiddenEdit(const char* name, const In& in) {
  Unit u = Edit(name, in, 254, 8, 58, 20, InputMode::ReadOnly);
  u.visible = false;
  return u;
}

// Combo boxes open with their first item selected; one without items selects nothing.
Unit Combo(const char* name, const In& in, int left, int top, int width, int height, std::vector<std::string> items) {
  Unit u = Make(UnitKind::ComboBox, name, in, left, top, width, height);
  u.items = std::move(items);
  u.selection = u.items.empty() ? -1 : 0;
  return u;
}

Unit Group(const char* name, const In& in, int left, int top, int width, int height, std::string caption) {
  Unit u = Make(UnitKind::GroupBox, name, in, left, top, width, height);
  u.text = std::move(caption);
  return u;
}

Unit ImageButton(const char* name, const In& in, int left, int top, int width, int height, const char* normal,
                 const char* hover) {
  Unit u = Make(UnitKind::ImageButton, name, in, left, top, width, height);
  u.cursor = CursorKind::Hand;
  u.picture = normal;
  u.hoverPicture = hover;
  return u;
}

// The eight 54 x 26 buttons share one pair of pictures.
Unit SmallButton(const char* name, const In& in, int left, int top) {
  return ImageButton(name, in, left, top, 54, 26, "pictures/button_small.png", "pictures/button_small_hover.png");
}

Unit Picture(const char* name, const In& in, int left, int top, int width, int height, const char* picture,
             PictureMode mode) {
  Unit u = Make(UnitKind::PictureBox, name, in, left, top, width, height);
  u.picture = picture;
  u.pictureMode = mode;
  return u;
}

// A page selector: a clickable picture of a tab header above the tab control.
Unit PageSelector(const char* name, int left, const char* picture, int page) {
  Unit u = Picture(name, kWindow, left, 33, 120, 50, picture, PictureMode::Fit);
  u.cursor = CursorKind::Hand;
  u.selectsPage = page;
  return u;
}

std::vector<std::string> Numbers(int from, int to) {
  std::vector<std::string> items;
  for (int i = from; i <= to; ++i) items.push_back(std::to_string(i));
  return items;
}

std::vector<std::string> NoneThen(std::vector<std::string> items) {
  items.insert(items.begin(), "无");
  return items;
}

Unit WindowUnit(const char* caption, int width, int height, bool visible) {
  Unit u = Make(UnitKind::Window, "", kWindow, 50, 50, width, height);
  u.text = caption;
  u.visible = visible;
  return u;
}

// Title bar: picture (set by the created handler), title label for dragging, icon and
// close buttons; the modify window adds a minimise button.
void AddTitleBar(std::vector<Unit>& c, int width, const char* title, int titleWidth, bool minimize) {
  c.push_back(Make(UnitKind::PictureBox, "图片框_标题栏", kWindow, 0, 0, width, 30));
  c.back().pictureMode = PictureMode::Stretch;  // one picture serves bars of every width
  Unit label = Make(UnitKind::TransparentLabel, "透明标签_标题", kTitleBar, 36, 1, titleWidth, 30);
  label.text = title;
  c.push_back(label);
  c.push_back(Make(UnitKind::Button, "按钮_图标", kTitleBar, 4, 3, 30, 30));
  if (minimize) c.push_back(Make(UnitKind::Button, "按钮_最小化", kTitleBar, width - 60, 0, 30, 30));
  c.push_back(Make(UnitKind::Button, "按钮_关闭", kTitleBar, width - 30, 0, 30, 30));
  c.back().closesWindow = true;
}

// The one-pixel border: left, right, bottom.
void AddBorder(std::vector<Unit>& c, int width, int height, int sideHeight) {
  c.push_back(Make(UnitKind::Splitter, "分隔条1", kWindow, 0, 30, 1, sideHeight));
  c.push_back(Make(UnitKind::Splitter, "分隔条2", kWindow, width - 1, 30, 1, sideHeight));
  c.push_back(Make(UnitKind::Splitter, "分隔条3", kWindow, 0, height - 1, width, 1));
}

// The caption is the program's name: the title bar paints its own, but the taskbar, Alt+Tab
// and anyone looking for the window by title read this one.
WindowDef StartWindow() {
  WindowDef w{"start", WindowUnit("星律纪元代码修改器", 400, 250, true), {}};
  w.window.acceptsFiles = true;  // a replay dropped on it is opened
  auto& c = w.controls;
  AddTitleBar(c, 400, "星律纪元代码修改器", 300, false);
  Unit list = Make(UnitKind::ListBox, "列表框_文件列表", kWindow, 13, 41, 376, 154);
  list.fontHeight = 14;
  c.push_back(list);
  c.push_back(ImageButton("超级按钮_搜上次路径", kWindow, 80, 201, 98, 40, "pictures/button_search_last.png",
                          "pictures/button_search_last_hover.png"));
  c.push_back(ImageButton("超级按钮_选择目录", kWindow, 203, 201, 98, 40, "pictures/button_choose_dir.png",
                          "pictures/button_choose_dir_hover.png"));
  AddBorder(c, 400, 250, 220);
  return w;
}

// Page 0: fifteen costume slots in three columns of five rows, each a label, an edit box
// for the item id and a small picture telling whether the person wears that slot.
void AddCostumePage(std::vector<Unit>& c) {
  struct Slot {
    const char* label;
    const char* text;
    int labelLeft, labelWidth;
    const char* role;  // edit box 编辑框_ROLE, picture box 图片框_ROLE
  };
  const int kRowTop[] = {11, 61, 111, 161, 211};
  const int kEditLeft[] = {50, 215, 385};
  const Slot kColumns[3][5] = {
      {{"标签8", "脸型：", 8, 35, "脸型"},
       {"标签9", "发型：", 8, 35, "发型"},
       {"标签10", "上身：", 8, 35, "上身"},
       {"标签12", "下身：", 8, 35, "下身"},
       {"标签25", "鞋子：", 8, 35, "鞋子"}},
      {{"标签21", "左手持：", 165, 45, "左手持"},
       {"标签20", "右手持：", 165, 45, "右手持"},
       {"标签13", "背饰：", 165, 35, "背饰"},
       {"标签14", "头饰：", 165, 35, "头饰"},
       {"标签6", "面饰：", 165, 35, "面饰"}},
      {{"标签7", "手链：", 335, 35, "手链"},
       {"标签11", "脚链：", 335, 35, "脚链"},
       {"标签15", "戒指：", 335, 35, "戒指"},
       {"标签16", "伴侣戒指：", 326, 55, "伴侣戒指"},
       {"标签17", "增加光效：", 326, 55, "增加光效"}},
  };
  for (int col = 0; col < 3; ++col) {
    for (int row = 0; row < 5; ++row) {
      const Slot& s = kColumns[col][row];
      const int top = kRowTop[row];
      const std::string edit = std::string("编辑框_") + s.role;
      const std::string picture = std::string("图片框_") + s.role;
      c.push_back(Label(s.label, Page(0), s.labelLeft, top, s.labelWidth, 20, s.text));
      c.push_back(Edit(edit.c_str(), Page(0), kEditLeft[col], top, 90, 20, InputMode::Digits, 10));
      c.push_back(Picture(picture.c_str(), Page(0), kEditLeft[col] + 92, top + 2, 16, 16, "pictures/slot_design.gif",
                          PictureMode::Plain));
    }
  }
  c.push_back(Label("标签4", Page(0), 506, 11, 176, 191,
                    "\r\n- 如果某部分的代码显示X,则代表该部位未装备物品\r\n\r\n"
                    "- 没有装备的位置若修改代码则修改无效\r\n\r\n"
                    "- 套装代码需修改多处位置,如果套装只有上身和下身,则需要将该代码填入上身及下身的位置,"
                    "其它套装以此类推\r\n\r\n"
                    "- 增加光效可以将普通衣服加入光效,需要将有光效的衣服代码填入该位置"));
  c.push_back(SmallButton("超级按钮_修改服饰", Page(0), 565, 208));
}

// Page 1: nickname, title, levels and gender; the companion avatar codes; an unused group.
void AddProfilePage(std::vector<Unit>& c) {
  const In person = Group("分组框2");
  c.push_back(Group("分组框2", Page(1), 1, 1, 256, 230, "修改个人信息"));
  c.push_back(Label("标签1", person, 8, 25, 58, 20, "修改昵称："));
  c.push_back(Edit("编辑框_昵称", person, 70, 25, 170, 20));
  c.push_back(HiddenEdit("编辑框_原昵称", person));
  c.push_back(Label("标签2", person, 8, 55, 58, 20, "修改称号："));
  c.push_back(Edit("编辑框_修改称号", person, 70, 55, 170, 20, InputMode::Digits));
  c.push_back(Label("标签18", person, 8, 87, 58, 20, "荣耀等级："));
  c.push_back(Combo("组合框_荣耀等级", person, 70, 85, 170, 25, {"无", "1", "2", "3", "4", "6"}));
  c.push_back(Label("标签36", person, 8, 120, 58, 20, "紫钻等级："));
  c.push_back(Combo("组合框_紫钻等级", person, 70, 118, 170, 25, NoneThen(Numbers(0, 9))));
  c.push_back(Label("标签28", person, 8, 152, 58, 20, "选择性别："));
  c.push_back(Combo("组合框_选择性别", person, 70, 150, 52, 25, {"无", "男性", "女性"}));
  c.push_back(SmallButton("超级按钮_个人", person, 190, 158));

  const In avatar = Group("分组框3");
  c.push_back(Group("分组框3", Page(1), 258, 1, 242, 230, "修改宝儿"));
  struct Code {
    const char* label;
    const char* text;
    int labelTop;
    const char* edit;
    int editTop, editWidth;
  };
  const Code kCodes[] = {
      {"标签38", "宝儿发型代码：", 28, "编辑框_新宝儿发型", 25, 135},
      {"标签39", "宝儿衣服代码：", 60, "编辑框_新宝儿衣服", 58, 135},
      {"标签40", "宝儿背部代码：", 91, "编辑框_新宝儿背部", 91, 135},
      {"标签41", "宝儿左手代码：", 124, "编辑框_新宝儿左手", 124, 135},
      {"标签42", "宝儿右手代码：", 158, "编辑框_新宝儿右手", 159, 135},
      {"标签43", "宝儿脚链代码：", 196, "编辑框_新宝儿脚链", 196, 74},
  };
  for (const Code& k : kCodes) {
    c.push_back(Label(k.label, avatar, 11, k.labelTop, 79, 20, k.text));
    c.push_back(Edit(k.edit, avatar, 96, k.editTop, k.editWidth, 21, InputMode::Digits));
  }
  c.push_back(SmallButton("超级按钮_宝儿", avatar, 180, 193));

  c.push_back(Group("分组框4", Page(1), 502, 1, 186, 230, "修改其它信息"));
  c.push_back(HiddenEdit("编辑框_原昵称1", Group("分组框4")));
}

// Page 2: the login-style install with its preview, and the way back to the game's own.
void AddPluginPage(std::vector<Unit>& c) {
  c.push_back(Label("标签62", Page(2), 10, 12, 88, 20, "修改登录界面："));
  c.push_back(Combo("组合框_登录界面", Page(2), 100, 10, 144, 20, {"选择界面", "简约银色", "原版界面"}));
  c.push_back(SmallButton("超级按钮_修改界面", Page(2), 250, 9));
  c.push_back(Label("标签_提示", Page(2), 10, 72, 304, 24, ""));
  c.push_back(Label("标签_插件说明", Page(2), 3, 99, 311, 135, ""));
  c.push_back(Make(UnitKind::PictureBox, "图片框_界面图片", Page(2), 322, 10, 352, 224));
  c.back().pictureMode = PictureMode::Fit;  // the 324 x 272 preview keeps its proportions
}

// Page 3: dance-group name, level, colour and badge.
void AddGuildPage(std::vector<Unit>& c) {
  const In guild = Group("分组框5");
  c.push_back(Group("分组框5", Page(3), 1, 1, 256, 230, "修改舞团信息"));
  c.push_back(Label("标签22", guild, 8, 25, 58, 20, "舞团昵称："));
  c.push_back(Edit("编辑框_舞团名字", guild, 70, 25, 170, 20));
  c.push_back(HiddenEdit("编辑框_原舞团名字", guild));
  c.push_back(Label("标签24", guild, 8, 62, 58, 20, "舞团等级："));
  c.push_back(Combo("组合框_舞团等级", guild, 70, 60, 170, 25, NoneThen(Numbers(1, 20))));
  c.push_back(Label("标签26", guild, 8, 99, 58, 20, "舞团颜色："));
  std::vector<std::string> colours = {"1", "2", "3", "4"};  // the game has no colour 5
  for (std::string& n : Numbers(6, 16)) colours.push_back(std::move(n));
  c.push_back(Combo("组合框_舞团颜色", guild, 70, 97, 170, 25, NoneThen(colours)));
  c.push_back(Label("标签27", guild, 8, 136, 58, 20, "舞团徽章："));
  c.push_back(Combo("组合框_舞团徽章", guild, 70, 134, 115, 25, NoneThen(Numbers(1, 32))));
  c.push_back(SmallButton("超级按钮_舞团", guild, 190, 133));
}

// Below the tab control, on every page: spectator flag, stage, person chooser, player
// count and the save button.
void AddBottomGroup(std::vector<Unit>& c) {
  const In bottom = Group("分组框1");
  c.push_back(Group("分组框1", kWindow, 5, 325, 690, 72, ""));
  c.push_back(Label("标签34", bottom, 8, 14, 59, 20, "是否观战："));
  c.push_back(Combo("组合框_是否观战", bottom, 75, 12, 95, 25, {"无", "是", "否"}));
  c.push_back(SmallButton("超级按钮_观战", bottom, 175, 11));
  c.push_back(Label("标签60", bottom, 8, 43, 59, 20, "舞台场景："));
  c.push_back(Combo("组合框_场景舞台", bottom, 75, 41, 95, 25,
                    {"无", "答题舞台", "嫦娥月宫", "社区", "中式婚礼", "沙漠", "遗迹", "魔幻森林"}));
  c.push_back(SmallButton("超级按钮_舞台场景", bottom, 175, 40));
  c.push_back(Label("标签5", bottom, 262, 14, 57, 20, "您要修改："));
  c.push_back(Combo("组合框_修改", bottom, 323, 12, 128, 20, {}));  // filled when a replay opens
  c.push_back(Label("标签19", bottom, 262, 43, 59, 20, "修改人数："));
  c.push_back(Combo("组合框_修改人数", bottom, 323, 41, 70, 25, NoneThen(Numbers(1, 8))));
  c.push_back(SmallButton("超级按钮_修改人数", bottom, 399, 40));
  c.push_back(ImageButton("超级按钮_总保存", bottom, 595, 19, 86, 41, "pictures/button_save.png",
                          "pictures/button_save_hover.png"));
}

WindowDef ModifyWindow() {
  WindowDef w{"modify", WindowUnit("星律纪元代码修改器—修改窗口", 700, 400, true), {}};
  w.window.acceptsFiles = true;  // a replay dropped on it is opened in place of the current one
  auto& c = w.controls;
  AddTitleBar(c, 700, "星律纪元代码修改器—修改窗口", 604, true);
  // The side borders run past the window's bottom edge; the window clips them.
  AddBorder(c, 700, 400, 670);
  Unit zip = Make(UnitKind::Archive, "ZIP压缩1", kWindow, 440, 40, 26, 26);
  zip.visible = false;
  c.push_back(zip);

  c.push_back(PageSelector("图片框_服饰", 5, "pictures/tab_costume.png", 0));
  c.push_back(PageSelector("图片框_人物宝儿", 128, "pictures/tab_profile.png", 1));
  c.push_back(PageSelector("图片框_舞团家族", 248, "pictures/tab_guild.png", 3));
  c.push_back(PageSelector("图片框_插件", 368, "pictures/tab_plugins.png", 2));
  Unit tabs = Make(UnitKind::TabControl, "选择夹1", kWindow, 6, 85, 688, 240);
  tabs.items = {"服饰", "个人信息", "插件", "舞团家族"};
  tabs.selection = 0;  // the costume page is current when the window opens
  c.push_back(tabs);

  AddCostumePage(c);
  AddProfilePage(c);
  AddPluginPage(c);
  AddGuildPage(c);
  AddBottomGroup(c);
  return w;
}

WindowDef HostWindow() { return WindowDef{"host", WindowUnit("", 380, 250, false), {}}; }

}  // namespace

const std::vector<WindowDef>& ProgramWindows() {
  static const std::vector<WindowDef> windows = {StartWindow(), ModifyWindow(), HostWindow()};
  return windows;
}

}  // namespace xl
