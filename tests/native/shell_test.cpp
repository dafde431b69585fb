// The start window's handlers and the title-bar handlers, run through the event bindings
// on MemoryUi as a user would trigger them.
#include "app/shell.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
// <windows.h> turns these into macros for the A/W variants; the file layer's are plain functions.
#undef DeleteFile
#undef CopyFile
#endif

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/bindings.h"
#include "app/folder_lister.h"
#include "app/program.h"
#include "app/window_defs.h"
#include "fixtures/checked_ui.h"
#include "fixtures/temp_folder.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/codepage.h"
#include "platform/ini.h"
#include "platform/keys.h"
#include "replay/text_ops.h"
#include "resources/resources.h"
#include "tools/fixtures/replay_fixture.h"

namespace xl {
namespace {

using fixtures::TempFolder;

const char* kList = "列表框_文件列表";

std::vector<std::string> Items(MemoryUi& ui) {
  std::vector<std::string> items;
  for (int i = 0; i < ui.ItemCount("start", kList); ++i) items.push_back(ui.ItemText("start", kList, i));
  return items;
}

// The texts of the notices shown since the last call; `seen` counts those already taken.
std::vector<std::string> NewNotices(MemoryUi& ui, size_t& seen) {
  std::vector<std::string> texts;
  for (size_t i = seen; i < ui.Notices().size(); ++i) texts.push_back(ui.Notices()[i].text);
  seen = ui.Notices().size();
  return texts;
}

void Put(const std::string& path, const std::string& bytes = "x") {
  size_t slash = path.rfind('\\');
  ASSERT_TRUE(fs::CreateDirectories(path.substr(0, slash)).ok()) << path;
  ASSERT_TRUE(fs::WriteWholeFile(path, bytes).ok()) << path;
}

// A game folder with a record folder of replays, nested folders, a hidden folder and
// files that are no replays; and a program folder for data.ini.
struct Fixture {
  TempFolder temp;
  std::string game = temp.Sub("game");
  std::string record = game + "\\record\\";
  std::string programFolder = temp.Sub("program");
  fixtures::CheckedUi ui{ProgramWindows()};
  Program program{ui, ProgramState{}};

  Fixture() {
    Put(record + "b.rcd", "replay b");
    Put(record + "A.RCD", "replay A");
    Put(record + "notes.txt");
    Put(record + "2024\\a.rcd", "replay 2024 a");
    Put(record + "2024\\deep\\z.rcd", "replay deep z");
    Put(record + "10\\c.rcd", "replay 10 c");
    Put(record + ".cache\\hidden.rcd");
    EXPECT_TRUE(fs::CreateDirectories(programFolder).ok());
    program.state.programFolder = programFolder;
    program.state.documentsFolder = temp.Sub("docs");
    program.Start();
  }
  std::string Ini() { return ini::Read(programFolder + "\\data.ini", "路径", "路径"); }
};

const std::vector<std::string> kListed = {"A.RCD", "b.rcd", "10\\c.rcd", "2024\\a.rcd", "2024\\deep\\z.rcd"};

TEST(Shell, StartUpRunsTheInitialisersInOrder) {
  fixtures::CheckedUi ui(ProgramWindows());
  std::vector<std::string> order;
  StartupHooks hooks;
  hooks.skinnedUiStartup = [&] { order.push_back("skinned ui"); };
  hooks.hostWindowCreated = [&](Ui& u) { order.push_back(u.IsVisible("host", "-") ? "host shown" : "host"); };
  hooks.pictureLoaderStartup = [&] { order.push_back("pictures"); };
  hooks.startWindowCreated = [&](Ui&) { order.push_back("start"); };
  Program program(ui, ProgramState{}, hooks);
  program.Start();
  EXPECT_EQ(order, (std::vector<std::string>{"skinned ui", "host", "pictures", "start"}));
  EXPECT_TRUE(ui.WindowExists("host"));
  EXPECT_FALSE(ui.IsVisible("host", "-"));
  EXPECT_TRUE(ui.IsVisible("start", "-"));
  EXPECT_FALSE(ui.WindowExists("modify"));
  EXPECT_EQ(ui.ItemCount("start", kList), 0);
  if (!Resource("pictures/title_bar.jpg").empty()) {
    EXPECT_EQ(ui.PictureOf("start", "图片框_标题栏"), "pictures/title_bar.jpg");
  }
}

TEST(Shell, ChoosingADirectoryRemembersItAndListsEveryReplayBelow) {
  Fixture f;
  f.ui.QueueFolder(f.game);
  EXPECT_TRUE(f.ui.Click("start", "超级按钮_选择目录"));
  EXPECT_EQ(f.ui.BrowseTitles(), (std::vector<std::string>{std::string(kBrowseTitle)}));
  EXPECT_EQ(f.Ini(), f.record);
  EXPECT_EQ(f.program.state.recordFolder, f.record);
  // Files before subfolders, names in order, hidden folders and other files left out,
  // subfolder replays by their path below the record folder.
  EXPECT_EQ(Items(f.ui), kListed);
  EXPECT_EQ(f.ui.UpdateDepth("start", kList), 0);

  // A second choice appends; a cancel changes nothing.
  f.ui.QueueFolder(f.game);
  f.ui.Click("start", "超级按钮_选择目录");
  EXPECT_EQ(Items(f.ui).size(), 2 * kListed.size());
  f.ui.QueueFolder("");
  f.ui.Click("start", "超级按钮_选择目录");
  EXPECT_EQ(Items(f.ui).size(), 2 * kListed.size());
  EXPECT_EQ(f.Ini(), f.record);

  // A chosen folder without a record folder lists nothing, and is remembered all the same;
  // a folder given with its trailing backslash gets no second one.
  f.ui.QueueFolder(f.temp.path() + "\\");
  f.ui.Click("start", "超级按钮_选择目录");
  EXPECT_EQ(f.Ini(), f.temp.path() + "\\record\\");
  EXPECT_EQ(Items(f.ui).size(), 2 * kListed.size());
  EXPECT_TRUE(f.ui.Notices().empty());
  EXPECT_TRUE(f.ui.TakeProblems().empty());
}

// The folder picker opens in the game folder remembered in data.ini while it exists, else
// in the program's own folder.
TEST(Shell, TheFolderPickerOpensInTheRememberedGameFolder) {
  Fixture f;
  f.ui.QueueFolder("");
  f.ui.Click("start", "超级按钮_选择目录");
  const std::string ini = f.programFolder + "\\data.ini";
  const struct {
    std::string remembered, start;
  } cases[] = {
      {f.record, f.game},                               // as the program writes it
      {f.game + "\\RECORD", f.game},                    // by hand: no final backslash, any case
      {f.game + "\\", f.game},                          // a folder without "record\" is taken as it is
      {f.temp.Sub("gone\\record\\"), f.programFolder},  // a game folder that is no more
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(ini::Write(ini, "路径", "路径", c.remembered).ok());
    f.ui.QueueFolder("");
    f.ui.Click("start", "超级按钮_选择目录");
  }
  std::vector<std::string> expected = {f.programFolder};
  for (const auto& c : cases) expected.push_back(c.start);
  EXPECT_EQ(f.ui.BrowseStarts(), expected);
  EXPECT_TRUE(f.ui.TakeProblems().empty());
}

// A replay dropped on the start window (or named as the program's argument) opens when its
// name ends in .rcd in any case; anything else is refused with the reason, and the start
// window stays.
TEST(Shell, DroppedFilesOpenOnlyWhenTheyAreReplays) {
  Fixture f;
  const struct {
    std::string path;
    const char* reason;
  } refused[] = {{f.record + "notes.txt", "不是录像文件"}, {f.record + "rcd", "不是录像文件"}};
  for (const auto& r : refused) {
    EXPECT_TRUE(f.ui.Drop("start", {r.path}));
    ASSERT_FALSE(f.ui.Notices().empty());
    EXPECT_EQ(f.ui.Notices().back().text, "无法打开录像文件：" + r.path + "\r\n" + r.reason);
    EXPECT_FALSE(f.ui.WindowExists("modify"));
  }
  EXPECT_TRUE(f.ui.Drop("start", {f.record + "A.RCD"}));
  EXPECT_TRUE(f.ui.IsVisible("modify", "-"));
  EXPECT_FALSE(f.ui.IsVisible("start", "-"));
  EXPECT_EQ(f.program.state.replay.path, f.record + "A.RCD");
  EXPECT_EQ(f.program.state.replay.text(), "replay A");
  EXPECT_EQ(f.ui.Notices().size(), 2u);
}

TEST(Shell, ListingTheRememberedFolder) {
  Fixture f;
  // Nothing remembered yet: the list is emptied, nothing is searched, and the player is
  // told to choose the folder first.
  const std::vector<std::string> kChooseFirst = {"还没有选择过游戏目录，请先点击“选择目录”。"};
  size_t shown = 0;
  f.ui.AddItem("start", kList, "old");
  f.ui.Click("start", "超级按钮_搜上次路径");
  EXPECT_TRUE(Items(f.ui).empty());
  EXPECT_EQ(f.program.state.recordFolder, "");
  EXPECT_EQ(NewNotices(f.ui, shown), kChooseFirst);

  // A remembered folder (written by hand, without its final backslash) is listed afresh.
  ASSERT_TRUE(ini::Write(f.programFolder + "\\data.ini", "路径", "路径", f.game + "\\record").ok());
  f.ui.Click("start", "超级按钮_搜上次路径");
  f.ui.Click("start", "超级按钮_搜上次路径");
  EXPECT_EQ(Items(f.ui), kListed);
  EXPECT_EQ(f.program.state.recordFolder, f.record);
  EXPECT_TRUE(NewNotices(f.ui, shown).empty());

  // An empty key counts as nothing remembered.
  ASSERT_TRUE(ini::Write(f.programFolder + "\\data.ini", "路径", "路径", "").ok());
  f.ui.Click("start", "超级按钮_搜上次路径");
  EXPECT_TRUE(Items(f.ui).empty());
  EXPECT_EQ(NewNotices(f.ui, shown), kChooseFirst);

  // The folder under another section, or another key of the section: nothing remembered.
  ASSERT_TRUE(fs::WriteWholeFile(f.programFolder + "\\data.ini",
                                 "[其他]\r\n路径=" + f.record + "\r\n[路径]\r\n目录=" + f.record + "\r\n")
                  .ok());
  f.ui.AddItem("start", kList, "old");
  f.ui.Click("start", "超级按钮_搜上次路径");
  EXPECT_TRUE(Items(f.ui).empty());
  EXPECT_EQ(f.program.state.recordFolder, "");
  EXPECT_EQ(NewNotices(f.ui, shown), kChooseFirst);
}

// data.ini as Notepad keeps it (CR LF, a comment, another section): each choice rewrites the
// remembered folder's line and keeps every other line byte for byte, however often it runs.
TEST(Shell, ChoosingAgainRewritesOnlyTheRememberedLine) {
  Fixture f;
  const std::string ini = f.programFolder + "\\data.ini";
  ASSERT_TRUE(fs::WriteWholeFile(ini, "; 修改器\r\n[路径]\r\n路径=D:\\old\\record\\\r\n\r\n[其他]\r\nx=1\r\n").ok());
  const std::string expected = "; 修改器\r\n[路径]\r\n路径=" + f.record + "\r\n\r\n[其他]\r\nx=1\r\n";
  for (int i = 0; i < 2; ++i) {
    f.ui.QueueFolder(f.game);
    f.ui.Click("start", "超级按钮_选择目录");
    EXPECT_EQ(fs::ReadWholeFile(ini).value(), expected) << "choice " << i + 1;
  }
}

// The lister lets messages through; clicks that arrive meanwhile on either list button
// must not start a second listing into the same list.
TEST(Shell, ListButtonsWaitForTheRunningListing) {
  Fixture f;
  ASSERT_TRUE(ini::Write(f.programFolder + "\\data.ini", "路径", "路径", f.record).ok());
  int pumps = 0;
  f.ui.SetPumpHook([&] {
    ++pumps;
    EXPECT_EQ(f.ui.UpdateDepth("start", kList), 1);
    f.ui.Click("start", "超级按钮_搜上次路径");
    f.ui.Click("start", "超级按钮_选择目录");  // would ask for a folder: an unanswered browser
  });
  f.ui.Click("start", "超级按钮_搜上次路径");
  f.ui.SetPumpHook(nullptr);
  EXPECT_GE(pumps, 1);  // after the first name at least; then on a timer
  EXPECT_EQ(Items(f.ui), kListed);
  EXPECT_TRUE(f.ui.BrowseTitles().empty());
  EXPECT_TRUE(f.ui.TakeProblems().empty());
  EXPECT_FALSE(f.program.state.listing);

  // Closing the program in the middle of a listing ends the listing.
  f.ui.SetPumpHook([&] { f.ui.Click("start", "按钮_关闭"); });
  f.ui.Click("start", "超级按钮_搜上次路径");
  EXPECT_TRUE(f.ui.Ended());
  EXPECT_FALSE(f.program.state.listing);
}

TEST(Shell, OpeningAReplay) {
  Fixture f;
  f.ui.QueueFolder(f.game);
  f.ui.Click("start", "超级按钮_选择目录");

  // Nothing selected: nothing happens.
  f.ui.DoubleClick("start", kList);
  EXPECT_FALSE(f.ui.WindowExists("modify"));

  // A replay in a subfolder opens from there.
  f.ui.Select("start", kList, "2024\\deep\\z.rcd");
  f.ui.DoubleClick("start", kList);
  EXPECT_EQ(f.program.state.replay.text(), "replay deep z");
  EXPECT_FALSE(f.ui.IsVisible("start", "-"));
  EXPECT_TRUE(f.ui.IsVisible("modify", "-"));
  EXPECT_EQ(f.ui.GetPage("modify", "选择夹1"), 0);

  // Closing returns to the list as it was; the next replay replaces the first.
  f.ui.Type("modify", "编辑框_鞋子", "123");
  f.ui.Click("modify", "按钮_关闭");
  EXPECT_FALSE(f.ui.WindowExists("modify"));
  EXPECT_TRUE(f.ui.IsVisible("start", "-"));
  EXPECT_EQ(Items(f.ui), kListed);
  f.ui.Select("start", kList, "b.rcd");
  f.ui.DoubleClick("start", kList);
  EXPECT_EQ(f.program.state.replay.text(), "replay b");
  EXPECT_EQ(f.ui.GetText("modify", "编辑框_鞋子"), "");
  f.ui.Click("modify", "按钮_关闭");

  // A replay that cannot be read is not opened, and the user is told which one.
  ASSERT_TRUE(fs::DeleteFile(f.record + "A.RCD").ok());
  f.ui.Select("start", kList, "A.RCD");
  f.ui.DoubleClick("start", kList);
  EXPECT_FALSE(f.ui.WindowExists("modify"));
  EXPECT_TRUE(f.ui.IsVisible("start", "-"));
  EXPECT_EQ(f.program.state.replay.text(), "replay b");
  ASSERT_EQ(f.ui.Notices().size(), 1u);
  EXPECT_EQ(f.ui.Notices()[0].owner, "start");
  EXPECT_EQ(f.ui.Notices()[0].title, "温馨提示");
  EXPECT_EQ(f.ui.Notices()[0].text.rfind("无法打开录像文件：" + f.record + "A.RCD\r\n", 0), 0u);
}

TEST(Shell, TitleBarsAndPageSelectors) {
  Fixture f;
  f.ui.Press("start", "透明标签_标题");
  EXPECT_EQ(f.ui.DragCount("start"), 1);
  f.ui.LoadWindow("modify", true);
  f.ui.Press("modify", "透明标签_标题");
  EXPECT_EQ(f.ui.DragCount("modify"), 1);

  struct Row {
    const char* selector;
    int page;
    const char* shown;  // a control of that page
  };
  const Row rows[] = {{"图片框_人物宝儿", 1, "编辑框_昵称"},
                      {"图片框_插件", 2, "组合框_登录界面"},
                      {"图片框_舞团家族", 3, "编辑框_舞团名字"},
                      {"图片框_服饰", 0, "编辑框_鞋子"}};
  const WindowDef* modify = nullptr;
  for (const WindowDef& w : ProgramWindows())
    if (w.id == "modify") modify = &w;
  ASSERT_TRUE(modify);
  for (const Row& r : rows) {
    EXPECT_TRUE(f.ui.Press("modify", r.selector));
    EXPECT_EQ(f.ui.GetPage("modify", "选择夹1"), r.page) << r.selector;
    // The real windows mark the selector of the current page by what it declares.
    EXPECT_EQ(modify->Find(r.selector)->selectsPage, r.page) << r.selector;
    EXPECT_TRUE(f.ui.IsVisible("modify", r.shown)) << r.shown;
  }

  f.ui.Click("modify", "按钮_最小化");
  EXPECT_TRUE(f.ui.IsMinimized("modify"));
  f.ui.ShowWindow("modify", false);
  f.ui.Click("start", "按钮_关闭");
  EXPECT_TRUE(f.ui.Ended());
  EXPECT_EQ(f.ui.ExitCode(), 0);
  EXPECT_TRUE(f.ui.TakeProblems().empty());
}

// Every row names a control that exists and can raise that event; no event has two rows.
TEST(Shell, EveryBindingFitsItsControl) {
  std::set<std::string> seen;
  for (const Binding& b : Bindings()) {
    const std::string where = std::string(b.window) + " " + std::string(b.control);
    SCOPED_TRACE(where);
    EXPECT_TRUE(seen.insert(where + " " + std::to_string(static_cast<int>(b.event))).second);
    const WindowDef* def = nullptr;
    for (const WindowDef& w : ProgramWindows())
      if (w.id == b.window) def = &w;
    ASSERT_NE(def, nullptr);
    if (b.control.empty()) {
      EXPECT_TRUE(b.event == UiEvent::Created || b.event == UiEvent::SessionEnding || b.event == UiEvent::KeyPressed ||
                  (b.event == UiEvent::FilesDropped && def->window.acceptsFiles));
      continue;
    }
    const Unit* u = def->Find(b.control);
    ASSERT_NE(u, nullptr);
    switch (b.event) {
      case UiEvent::Clicked: EXPECT_TRUE(u->kind == UnitKind::Button || u->kind == UnitKind::ImageButton); break;
      case UiEvent::DoubleClicked: EXPECT_EQ(u->kind, UnitKind::ListBox); break;
      case UiEvent::ContextMenu: EXPECT_TRUE(u->kind == UnitKind::ListBox || u->kind == UnitKind::ComboBox); break;
      case UiEvent::LeftButtonDown:
        EXPECT_TRUE(u->kind == UnitKind::PictureBox || u->kind == UnitKind::TransparentLabel);
        break;
      case UiEvent::SelectionChanged: EXPECT_EQ(u->kind, UnitKind::ComboBox); break;
      case UiEvent::Created:
      case UiEvent::SessionEnding:
      case UiEvent::FilesDropped:
      case UiEvent::KeyPressed: ADD_FAILURE() << "this event belongs to the window"; break;
    }
  }
}

// Each edit button reaches the handler its label promises: with every box of the modify
// window filled in, a click changes that button's own part of the replay and nothing else.
// Each edit, a costume pasted from the chooser's menu too, is then undone with Ctrl+Z,
// latest first and across the save, back to exactly the state before it.
TEST(Shell, EachEditButtonChangesOnlyWhatItsLabelSays) {
  TempFolder temp;
  const std::string game = temp.Sub("game");
  Put(game + "\\record\\a.rcd", fixtures::MakeReplay({.players = 2, .seed = 31}));
  fixtures::CheckedUi ui{ProgramWindows()};
  Program program{ui, ProgramState{}};
  program.state.programFolder = temp.Sub("program");
  ASSERT_TRUE(fs::CreateDirectories(program.state.programFolder));
  program.Start();
  ui.QueueFolder(game);
  ui.Click("start", "超级按钮_选择目录");
  ui.Select("start", kList, "a.rcd");
  ui.DoubleClick("start", kList);
  ASSERT_TRUE(ui.WindowExists("modify"));
  ui.Select("modify", "组合框_修改", "第1人");

  ASSERT_TRUE(ui.Type("modify", "编辑框_鞋子", "123456789"));
  ASSERT_TRUE(ui.Press("modify", "图片框_人物宝儿"));
  ASSERT_TRUE(ui.Type("modify", "编辑框_修改称号", "4321"));
  ASSERT_TRUE(ui.Type("modify", "编辑框_新宝儿发型", "100005000"));
  ASSERT_TRUE(ui.Press("modify", "图片框_舞团家族"));
  ASSERT_TRUE(ui.Select("modify", "组合框_舞团等级", "5"));
  ASSERT_TRUE(ui.Select("modify", "组合框_场景舞台", "遗迹"));
  ASSERT_TRUE(ui.Select("modify", "组合框_是否观战", "是"));
  ASSERT_TRUE(ui.Select("modify", "组合框_修改人数", "3"));

  const replay::ReplayState& r = program.state.replay;
  auto block = [&](std::string_view open, std::string_view close) {
    return replay::TextBetween(r.edited.at(0), open, close);
  };
  const struct {
    const char* page;  // its page selector; null for the bottom group
    const char* button;
    std::function<std::string()> part;
  } rows[] = {
      // First: a new count rebuilds the player list from the replay's text (and leaves
      // nobody picked, so the loop picks the first player again).
      {nullptr, "超级按钮_修改人数", [&] { return replay::TextBetween(r.text(), "<PlayerCount>", "</PlayerCount>"); }},
      {"图片框_服饰", "超级按钮_修改服饰",
       [&] { return std::to_string(r.edited.at(0).find("123456789") != std::string::npos); }},
      {"图片框_人物宝儿", "超级按钮_个人", [&] { return block("<cur_title_id>", "</cur_title_id>"); }},
      {"图片框_人物宝儿", "超级按钮_宝儿", [&] { return block("<AvatarData>", "</AvatarData>"); }},
      {"图片框_舞团家族", "超级按钮_舞团", [&] { return block("<GuildLevel>", "</GuildLevel>"); }},
      {nullptr, "超级按钮_舞台场景", [&] { return replay::TextBetween(r.text(), "<StageName>", "</StageName>"); }},
      {nullptr, "超级按钮_观战", [&] { return replay::TextBetween(r.text(), "<Watching>", "</Watching>"); }},
      // Last: only saving writes the file.
      {nullptr, "超级按钮_总保存", [&] { return fs::ReadWholeFile(game + "\\record\\a.rcd").value(); }},
  };
  // The document and every block, as undo must put them back.
  using Snapshot = std::tuple<std::string, std::vector<std::string>, std::vector<std::string>, std::vector<size_t>>;
  const auto snapshot = [&] { return Snapshot{r.text(), r.edited, r.loaded, r.loadedAt}; };
  std::vector<Snapshot> beforeEdits;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.button);
    std::vector<std::string> before;
    for (const auto& other : rows) before.push_back(other.part());
    if (row.page) {
      ASSERT_TRUE(ui.Press("modify", row.page));
    }
    if (std::string_view(row.button) != "超级按钮_总保存") beforeEdits.push_back(snapshot());
    ASSERT_TRUE(ui.Click("modify", row.button));
    if (r.currentPerson == 0) ui.Select("modify", "组合框_修改", "第1人");
    for (size_t i = 0; i < std::size(rows); ++i) {
      if (rows[i].button == row.button)
        EXPECT_NE(rows[i].part(), before[i]) << "did not change";
      else
        EXPECT_EQ(rows[i].part(), before[i]) << rows[i].button << "'s part changed";
    }
  }
  ui.QueueMenuChoice("复制此人服饰");
  ASSERT_TRUE(ui.RightClick("modify", "组合框_修改"));
  ASSERT_TRUE(ui.Select("modify", "组合框_修改", "第2人"));
  beforeEdits.push_back(snapshot());
  ui.QueueMenuChoice("粘贴服饰到此人");
  ASSERT_TRUE(ui.RightClick("modify", "组合框_修改"));
  ASSERT_NE(snapshot(), beforeEdits.back());

  const KeyStroke undo = ParseKeyStroke("Ctrl+Z").value();
  for (size_t i = beforeEdits.size(); i-- > 0;) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(ui.Key("modify", "组合框_修改", undo));
    EXPECT_TRUE(snapshot() == beforeEdits[i]);
  }
  EXPECT_FALSE(r.history.CanUndo());
  ASSERT_TRUE(ui.Key("modify", "组合框_修改", undo));  // nothing left: nothing happens

  std::vector<std::string> notices(std::size(rows) - 1, "修改成功");
  notices.push_back("保存成功");
  notices.push_back("修改成功");
  notices.insert(notices.end(), beforeEdits.size(), "已撤销上一次修改");
  std::vector<std::string> shown;
  for (const auto& notice : ui.Notices()) shown.push_back(notice.text);
  EXPECT_EQ(shown, notices);
}

TEST(FolderLister, OptionsAndNames) {
  TempFolder temp;
  const std::string root = temp.path() + "\\";
  const std::string kLu = "\xC2\xBC";  // 录
  Put(root + kLu + "Xiang.rcd");
  Put(root + "Final.RCD");
  Put(root + "sub\\final_b.rcd");
  Put(root + "a.rcdx");  // no short-name match: only the pattern decides
  fixtures::CheckedUi ui(ProgramWindows());
  ui.LoadWindow("start", true);
  auto run = [&](ListOptions options) {
    ui.ClearItems("start", kList);
    options.pattern = "*.rcd";
    ListFolder(ui, "start", kList, temp.path(), options);  // no trailing backslash
    return Items(ui);
  };
  struct Row {
    std::string filter;
    bool fullPath;
    std::vector<std::string> expected;
  };
  const Row rows[] = {
      {"", false, {"Final.RCD", kLu + "Xiang.rcd", "sub\\final_b.rcd"}},
      {"FINAL", false, {"Final.RCD", "sub\\final_b.rcd"}},
      {"xiang", true, {root + kLu + "Xiang.rcd"}},
      {"\xBC", false, {}},  // a trailing byte is no character of its own
      {"", true, {root + "Final.RCD", root + kLu + "Xiang.rcd", root + "sub\\final_b.rcd"}},
  };
  for (const Row& r : rows) {
    ListOptions o;
    o.filter = r.filter;
    o.fullPath = r.fullPath;
    EXPECT_EQ(run(o), r.expected) << r.filter;
  }
  ListOptions progress;
  progress.progressWindow = "start";
  progress.progressLabel = "透明标签_标题";
  run(progress);
  EXPECT_EQ(ui.GetText("start", "透明标签_标题"), root + "sub\\final_b.rcd");
}

#ifdef _WIN32
// Runs a Unix program in `folder` (Wine starts those too) and waits until `done` holds: a
// Unix process gives Wine no handle to wait on. False outside Wine.
bool RunUnix(const std::string& folder, const std::wstring& program, const std::wstring& arguments,
             const std::function<bool()>& done) {
  if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) return false;
  std::wstring command = program + L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      GbkToWideLossy(folder).c_str(), &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  for (int i = 0; i < 500 && !done(); ++i) Sleep(10);
  return done();
}
#endif

// Links to folders for one test, made the way the system running it can: symbolic links
// natively; under Wine, which makes no links of its own, Unix ones, which Wine shows as
// plain folders. They go before the test's folder does, whose removal would follow them
// under Wine.
class FolderLinks {
 public:
  // Makes `name` in `folder` a link to `target`, a path relative to `folder`.
  bool Make(const std::string& folder, const std::string& target, const std::string& name) {
    const std::string link = folder + "\\" + name;
#ifdef _WIN32
    const std::wstring arguments = L"-s " + GbkToWideLossy(target) + L" " + GbkToWideLossy(name);
    if (!RunUnix(folder, L"Z:\\bin\\ln", arguments, [&] { return fs::DirectoryExists(link); })) return false;
#else
    std::error_code ec;
    std::filesystem::create_directory_symlink(target, fs::NativePath(link), ec);
    if (ec) return false;
#endif
    made_.emplace_back(folder, name);
    return true;
  }
  ~FolderLinks() {
    for (const auto& [folder, name] : made_) {
      const std::string link = folder + "\\" + name;
#ifdef _WIN32
      RunUnix(folder, L"Z:\\bin\\rm", GbkToWideLossy(name), [&] { return !fs::DirectoryExists(link); });
#else
      std::error_code ec;
      std::filesystem::remove(fs::NativePath(link), ec);
#endif
    }
  }

 private:
  std::vector<std::pair<std::string, std::string>> made_;
};

// Links to folders are not followed and no folder is listed twice: a record folder with two
// links back to itself, one up to its parent and one out to another folder is listed at
// once, each replay once. Should the walk run away, the pump closes the window, which ends
// the listing, so a fault fails the test rather than hanging it.
TEST(FolderLister, LinksAreNotFollowedAndLoopsEndAtOnce) {
  TempFolder temp;
  Put(temp.Sub("outside\\far.rcd"));
  const std::string record = temp.Sub("record");
  Put(record + "\\a.rcd");
  Put(record + "\\sub\\b.rcd");
  FolderLinks links;
  for (auto [folder, target, name] :
       {std::tuple{record, ".", "l1"}, std::tuple{record, ".", "l2"}, std::tuple{record + "\\sub", "..", "up"},
        std::tuple{record, "../outside", "away"}})
    if (!links.Make(folder, target, name)) GTEST_SKIP() << "this system makes no links to folders";
  MemoryUi ui(ProgramWindows());
  ui.LoadWindow("start", true);
  ui.SetPumpHook([&] {
    if (ui.ItemCount("start", kList) > 100) ui.DestroyWindow("start");
  });
  ListOptions options;
  options.pattern = "*.rcd";
  const ListResult listed = ListFolder(ui, "start", kList, record, options);
  ui.SetPumpHook(nullptr);
  ASSERT_TRUE(ui.WindowExists("start")) << "the walk ran away";
  std::vector<std::string> items = Items(ui);
#ifdef _WIN32
  std::erase(items, "away\\far.rcd");  // under Wine that link is a plain folder
#endif
  EXPECT_EQ(items, (std::vector<std::string>{"a.rcd", "sub\\b.rcd"}));
  EXPECT_EQ(listed.unreadableNames, 0);
}

#ifndef _WIN32
// A folder that cannot be searched is named with the reason, so an empty list is explained;
// one that does not exist is not (a directory without a record folder lists nothing).
TEST(FolderLister, FoldersThatCannotBeSearched) {
  TempFolder temp;
  fixtures::CheckedUi ui(ProgramWindows());
  ui.LoadWindow("start", true);
  const std::string tooLong = temp.path() + "\\" + std::string(300, 'x');
  ListResult listed = ListFolder(ui, "start", kList, tooLong, {});
  EXPECT_EQ(listed.failedFolder, tooLong);
  EXPECT_EQ(listed.failure, ProblemText(Problem::PathTooLong));
  listed = ListFolder(ui, "start", kList, temp.path() + "\\missing", {});
  EXPECT_EQ(listed.failedFolder, "");
}
#endif

}  // namespace
}  // namespace xl
