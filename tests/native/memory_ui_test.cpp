// MemoryUi: the controls behave as the real ones do for the handlers and for a user, so
// handler tests and scenarios on it mean something for the real program.
#include "platform/memory/memory_ui.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/window_defs.h"
#include "fixtures/typing_undo.h"
#include "resources/resources.h"

namespace xl {
namespace {

// A small window for the input rules: one edit box of each mode.
std::vector<WindowDef> RuleWindows() {
  WindowDef w;
  w.id = "w";
  w.window.kind = UnitKind::Window;
  w.window.visible = true;
  auto edit = [&](const char* name, InputMode mode, int maxLength) {
    Unit u;
    u.kind = UnitKind::EditBox;
    u.name = name;
    u.input = mode;
    u.maxLength = maxLength;
    u.text = "";
    w.controls.push_back(u);
  };
  edit("free", InputMode::Free, 0);
  edit("digits", InputMode::Digits, 0);
  edit("slot", InputMode::Digits, 10);
  edit("short", InputMode::Free, 3);
  edit("readonly", InputMode::ReadOnly, 0);
  w.controls.back().text = "kept";
  return {w};
}

TEST(MemoryUi, TypedTextPassesTheInputRules) {
  const std::string kZhong = "\xD6\xD0";  // 中: one character, two bytes
  struct Row {
    const char* control;
    std::string keys;
    std::string expected;
  };
  const Row rows[] = {
      {"free", "ab 1", "ab 1"},
      {"free", "a\tb\r\nc", "abc"},  // control characters do not reach a one-line box
      {"free", "abc\b\bd", "ad"},    // backspace removes the last character
      {"free", "x" + kZhong + "\b", "x"},
      {"digits", "12a-3.5", "12-35"},
      {"digits", kZhong + "7", "7"},
      {"slot", "123456789012345", "1234567890"},
      {"slot", "-123456789012", "-123456789"},
      {"short", kZhong + kZhong + "ab", kZhong + kZhong + "a"},  // length counts characters
      {"readonly", "123", "kept"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.control);
    MemoryUi ui(RuleWindows());
    ui.LoadWindow("w", true);
    EXPECT_TRUE(ui.Type("w", r.control, r.keys));
    EXPECT_EQ(ui.GetText("w", r.control), r.expected);
  }
  // Typing appends; Clear empties unless the box is read-only; the program sets any text.
  MemoryUi ui(RuleWindows());
  ui.LoadWindow("w", true);
  ui.Type("w", "slot", "12");
  ui.Type("w", "slot", "3x4");
  EXPECT_EQ(ui.GetText("w", "slot"), "1234");
  EXPECT_TRUE(ui.Clear("w", "slot"));
  EXPECT_EQ(ui.GetText("w", "slot"), "");
  EXPECT_TRUE(ui.Clear("w", "readonly"));
  EXPECT_EQ(ui.GetText("w", "readonly"), "kept");
  ui.SetText("w", "slot", "abcdefghijklmnop");
  EXPECT_EQ(ui.GetText("w", "slot"), "abcdefghijklmnop");
  EXPECT_TRUE(ui.TakeProblems().empty());
}

// Ctrl+Z in an edit box that holds text undoes the box's own typing, as the real box does
// (the same cases run on it); any other shortcut the box leaves to its window, as do the
// combo boxes.
TEST(MemoryUi, ShortcutsAndTheEditBoxsOwnUndo) {
  const KeyStroke undo = ParseKeyStroke("Ctrl+Z").value();
  for (const fixtures::TypingUndo& c : fixtures::kTypingUndo) {
    SCOPED_TRACE(std::string(c.set) + " " + std::string(c.keys));
    MemoryUi ui(RuleWindows());
    ui.LoadWindow("w", true);
    ui.SetText("w", "free", c.set);
    for (char key : c.keys) key == '\x1A' ? ui.Key("w", "free", undo) : ui.Type("w", "free", std::string(1, key));
    EXPECT_EQ(ui.GetText("w", "free"), c.expected);
    EXPECT_TRUE(ui.TakeProblems().empty());
  }

  MemoryUi ui(ProgramWindows());
  std::vector<std::string> keys;
  ui.SetEventSink([&](const UiEventArgs& e) {
    if (e.event == UiEvent::KeyPressed)
      keys.push_back(std::string(e.window) + "/" + std::string(e.control) + "/" + std::string(e.text));
  });
  ui.LoadWindow("modify", true);
  ui.Key("modify", "编辑框_鞋子", undo);  // empty: the box has nothing of its own to undo
  ui.Key("modify", "编辑框_鞋子", ParseKeyStroke("Ctrl+Shift+s").value());
  ui.Key("modify", "组合框_修改", undo);
  ui.Type("modify", "编辑框_鞋子", "12");
  ui.Key("modify", "编辑框_鞋子", ParseKeyStroke("Ctrl+V").value());
  ui.Key("modify", "编辑框_鞋子", undo);
  ui.Key("modify", "编辑框_鞋子", ParseKeyStroke("Ctrl+Alt+Z").value());
  EXPECT_EQ(ui.GetText("modify", "编辑框_鞋子"), "");
  EXPECT_EQ(keys, (std::vector<std::string>{"modify//Ctrl+Z", "modify//Ctrl+Shift+S", "modify//Ctrl+Z"}));
}

TEST(MemoryUi, PagesContainersAndWindowsDecideVisibility) {
  MemoryUi ui(ProgramWindows());
  ui.LoadWindow("modify", true);
  struct Row {
    const char* control;
    bool onPage[4];  // visible while page 0..3 is current
  };
  const Row rows[] = {
      {"编辑框_鞋子", {true, false, false, false}},
      {"超级按钮_修改服饰", {true, false, false, false}},
      {"编辑框_昵称", {false, true, false, false}},  // in a group box on page 1
      {"编辑框_新宝儿脚链", {false, true, false, false}},
      {"编辑框_原昵称", {false, false, false, false}},  // hidden by design
      {"编辑框_原昵称1", {false, false, false, false}},
      {"组合框_登录界面", {false, false, true, false}},
      {"编辑框_舞团名字", {false, false, false, true}},
      {"编辑框_原舞团名字", {false, false, false, false}},
      {"组合框_修改", {true, true, true, true}},  // the bottom group is on every page
      {"透明标签_标题", {true, true, true, true}},
      {"图片框_舞团家族", {true, true, true, true}},
      {"ZIP压缩1", {false, false, false, false}},
  };
  EXPECT_EQ(ui.GetPage("modify", "选择夹1"), 0);
  for (int page : {0, 1, 2, 3}) {
    ui.SetPage("modify", "选择夹1", page);
    for (const Row& r : rows) EXPECT_EQ(ui.IsVisible("modify", r.control), r.onPage[page]) << r.control << page;
  }
  ui.SetPage("modify", "选择夹1", 7);  // no such page: stays
  EXPECT_EQ(ui.GetPage("modify", "选择夹1"), 3);

  ui.ShowWindow("modify", false);
  EXPECT_FALSE(ui.IsVisible("modify", "-"));
  EXPECT_FALSE(ui.IsVisible("modify", "组合框_修改"));
  EXPECT_FALSE(ui.Click("modify", "超级按钮_总保存"));  // a user cannot reach a hidden window
  EXPECT_FALSE(ui.IsVisible("start", "-"));             // never loaded
  EXPECT_EQ(ui.TakeProblems().size(), 1u);
}

// Every Ui call that names a control reports a name its window lacks, as an action does, so
// a misspelt name in a handler fails the first test that reaches it. A window that is only
// not open is ignored, as on the real windows.
TEST(MemoryUi, NamesThatDoNotExistAreProblems) {
  MemoryUi ui(ProgramWindows());
  ui.LoadWindow("start", true);
  const std::function<void(std::string_view, std::string_view)> calls[] = {
      [&](auto w, auto c) { ui.IsVisible(w, c); },       [&](auto w, auto c) { ui.GetText(w, c); },
      [&](auto w, auto c) { ui.SetText(w, c, "x"); },    [&](auto w, auto c) { ui.GetHint(w, c); },
      [&](auto w, auto c) { ui.SetHint(w, c, "x"); },    [&](auto w, auto c) { ui.GetSelection(w, c); },
      [&](auto w, auto c) { ui.SetSelection(w, c, 0); }, [&](auto w, auto c) { ui.ItemCount(w, c); },
      [&](auto w, auto c) { ui.ItemText(w, c, 0); },     [&](auto w, auto c) { ui.AddItem(w, c, "x"); },
      [&](auto w, auto c) { ui.ClearItems(w, c); },      [&](auto w, auto c) { ui.BeginUpdate(w, c); },
      [&](auto w, auto c) { ui.EndUpdate(w, c); },       [&](auto w, auto c) { ui.SetPicture(w, c, ""); },
      [&](auto w, auto c) { ui.GetPage(w, c); },         [&](auto w, auto c) { ui.SetPage(w, c, 0); },
  };
  for (const auto& call : calls) {
    call("start", "列表框_文件列");
    call("modify", "组合框_修改");  // a real control of a window that is not open
    call("strat", "-");
  }
  const std::vector<std::string> problems = ui.TakeProblems();
  EXPECT_EQ(problems.size(), 2 * std::size(calls));
  EXPECT_EQ(problems.front(), "no control start 列表框_文件列");
  EXPECT_EQ(problems.back(), "no window definition strat");
}

TEST(MemoryUi, SelectionsAndTheirEvents) {
  MemoryUi ui(ProgramWindows());
  std::vector<std::string> events;
  ui.SetEventSink([&](const UiEventArgs& e) {
    if (e.event == UiEvent::SelectionChanged) events.push_back(std::string(e.control));
  });
  ui.LoadWindow("modify", true);
  ui.LoadWindow("start", true);
  EXPECT_EQ(ui.GetText("modify", "组合框_场景舞台"), "无");
  EXPECT_EQ(ui.GetSelection("modify", "组合框_修改"), -1);
  EXPECT_EQ(ui.GetText("modify", "组合框_修改"), "");

  EXPECT_TRUE(ui.Select("modify", "组合框_场景舞台", "沙漠"));
  EXPECT_EQ(ui.GetSelection("modify", "组合框_场景舞台"), 5);
  EXPECT_EQ(ui.GetText("modify", "组合框_场景舞台"), "沙漠");
  ui.SetSelection("modify", "组合框_场景舞台", 1);  // the program's choice raises the event too
  ui.SetSelection("modify", "组合框_场景舞台", 99);
  EXPECT_EQ(ui.GetSelection("modify", "组合框_场景舞台"), -1);
  EXPECT_FALSE(ui.Select("modify", "组合框_场景舞台", "火星"));
  EXPECT_EQ(events, (std::vector<std::string>{"组合框_场景舞台", "组合框_场景舞台", "组合框_场景舞台"}));

  ui.AddItem("modify", "组合框_修改", "选择修改第几人");
  ui.AddItem("modify", "组合框_修改", "第1人");
  ui.SetSelection("modify", "组合框_修改", 0);
  EXPECT_EQ(ui.ItemCount("modify", "组合框_修改"), 2);
  EXPECT_EQ(ui.ItemText("modify", "组合框_修改", 1), "第1人");
  EXPECT_EQ(ui.ItemText("modify", "组合框_修改", 2), "");
  ui.ClearItems("modify", "组合框_修改");
  EXPECT_EQ(ui.ItemCount("modify", "组合框_修改"), 0);
  EXPECT_EQ(ui.GetSelection("modify", "组合框_修改"), -1);

  // The list box keeps the order of adding and has no selection until the user picks.
  for (const char* name : {"b.rcd", "a.rcd", "b.rcd"}) ui.AddItem("start", "列表框_文件列表", name);
  EXPECT_EQ(ui.GetText("start", "列表框_文件列表"), "");
  EXPECT_TRUE(ui.Select("start", "列表框_文件列表", "a.rcd"));
  EXPECT_EQ(ui.GetSelection("start", "列表框_文件列表"), 1);
  EXPECT_EQ(ui.GetText("start", "列表框_文件列表"), "a.rcd");
  EXPECT_EQ(ui.TakeProblems().size(), 1u);  // the missing item
}

// Reloading a window discards what was typed; a handler may destroy the window whose
// control it serves; user actions raise exactly their event.
TEST(MemoryUi, EventsAndWindowLifetimes) {
  MemoryUi ui(ProgramWindows());
  std::vector<std::string> seen;
  ui.SetEventSink([&](const UiEventArgs& e) {
    seen.push_back(std::string(e.window) + "/" + std::string(e.control) + "/" +
                   std::to_string(static_cast<int>(e.event)) + "/" + std::to_string(e.x) + "," + std::to_string(e.y));
    if (e.event == UiEvent::Clicked && e.control == "按钮_关闭") ui.DestroyWindow(e.window);
  });
  ui.LoadWindow("modify", true);
  ui.Type("modify", "编辑框_鞋子", "123");
  ui.LoadWindow("modify", true);
  EXPECT_EQ(ui.GetText("modify", "编辑框_鞋子"), "");
  EXPECT_TRUE(ui.Press("modify", "图片框_插件"));
  EXPECT_TRUE(ui.Click("modify", "按钮_关闭"));
  EXPECT_FALSE(ui.WindowExists("modify"));
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "modify//0/0,0", "modify//0/0,0",
                      "modify/图片框_插件/" + std::to_string(static_cast<int>(UiEvent::LeftButtonDown)) + "/60,25",
                      "modify/按钮_关闭/" + std::to_string(static_cast<int>(UiEvent::Clicked)) + "/0,0"}));

  ui.LoadWindow("start", true);
  ui.MinimizeWindow("start");
  EXPECT_TRUE(ui.IsMinimized("start"));
  EXPECT_FALSE(ui.DoubleClick("start", "列表框_文件列表"));
  ui.ShowWindow("start", true);
  EXPECT_FALSE(ui.IsMinimized("start"));
  ui.BeginDrag("start");
  EXPECT_EQ(ui.DragCount("start"), 1);
  ui.LoadWindow("nowhere", true);
  ui.EndProgram(0);
  EXPECT_TRUE(ui.Ended());
  EXPECT_FALSE(ui.WindowExists("start"));
  EXPECT_EQ(ui.TakeProblems().size(), 2u);  // the minimised window, the unknown window
}

TEST(MemoryUi, NoticesFolderBrowserAndPictures) {
  MemoryUi ui(ProgramWindows());
  ui.LoadWindow("start", true);
  ui.ShowNotice("start", "text", "title");
  ASSERT_EQ(ui.Notices().size(), 1u);
  EXPECT_EQ(ui.Notices()[0].owner, "start");
  EXPECT_EQ(ui.Notices()[0].text, "text");
  EXPECT_EQ(ui.Notices()[0].title, "title");

  ui.QueueFolder("D:\\game");
  ui.QueueFolder("");
  EXPECT_EQ(ui.BrowseFolder("start", "t1", ""), "D:\\game");
  EXPECT_EQ(ui.BrowseFolder("start", "t2", ""), "");
  EXPECT_TRUE(ui.TakeProblems().empty());
  EXPECT_EQ(ui.BrowseFolder("start", "t3", ""), "");  // nobody said what to answer
  EXPECT_EQ(ui.TakeProblems().size(), 1u);
  EXPECT_EQ(ui.BrowseTitles(), (std::vector<std::string>{"t1", "t2", "t3"}));

  EXPECT_EQ(ui.PictureOf("start", "超级按钮_选择目录"), "pictures/button_choose_dir.png");
  EXPECT_EQ(ui.PictureOf("start", "图片框_标题栏"), "");
  ui.SetPicture("start", "图片框_标题栏", "not a picture");
  EXPECT_EQ(ui.PictureOf("start", "图片框_标题栏"), "?");
  ui.SetPicture("start", "图片框_标题栏", "");
  EXPECT_EQ(ui.PictureOf("start", "图片框_标题栏"), "");
  if (!ResourceNames().empty()) {
    std::string_view name = ResourceNames().front();
    ui.SetPicture("start", "图片框_标题栏", Resource(name));
    EXPECT_EQ(ui.PictureOf("start", "图片框_标题栏"), name);
    const std::string copy(Resource(name));  // a copy is still that picture
    ui.SetPicture("start", "图片框_标题栏", "");
    ui.SetPicture("start", "图片框_标题栏", copy);
    EXPECT_EQ(ui.PictureOf("start", "图片框_标题栏"), name);
  }
}

}  // namespace
}  // namespace xl
