// The scenario runner's core: how lines are read, and that a script fails exactly where
// what the user would see differs from what it expects. A runner that passed a wrong
// script would make every scenario worthless.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "fixtures/gbk.h"
#include "fixtures/temp_folder.h"
#include "tools/scenario/driver.h"
#include "tools/scenario/runner.h"
#include "tools/scenario/script.h"

namespace xl::scenario {
namespace {

using fixtures::U8;

TEST(ScenarioScript, LinesBecomeCommands) {
  const std::string script =
      U8(u8"# a comment\r\n"
         u8"\n"
         u8"  gamedir some dir/x\n"
         u8"type modify 编辑框_昵称  two  spaces # kept\n"
         u8"expect text start 标签 a\\nb\\\\c\\d\n"
         u8"expect items start 列表\n"
         u8"expect items start 列表 a|2024\\\\b.rcd|\n"
         u8"expect notice 温馨提示 修改*\n"
         u8"expect visible modify - no\n"
         u8"browse cancel\n"
         u8"expect picture start x empty\n"
         u8"click start 按钮_关闭   \n"
         u8"answer 取消\n"
         u8"menu start 列表框_文件列表 恢复原录像\n"
         u8"expect menu start 列表框_文件列表 打开录像|刷新列表\n"
         u8"key modify 组合框_修改 ctrl+Shift+z\n"
         u8"clipboard 星律服饰码 0:1,\\n 2:3\n"
         u8"expect clipboard 星律服饰码 0:1\n"
         u8"shot start shots/01-start.png 开始窗口：列出的录像\n"
         u8"shot notice modify 02.png\n"
         u8"shot menu start 03.png 右键菜单\n"
         u8"hover start 按钮_图标\n");
  auto parsed = ParseScript(script);
  ASSERT_TRUE(parsed.ok()) << parsed.error().message;
  const std::vector<Command>& c = *parsed;
  ASSERT_EQ(c.size(), 20u);
  EXPECT_EQ(c[0].verb, Verb::GameDir);
  EXPECT_EQ(c[0].line, 3);
  EXPECT_EQ(c[0].path, "some dir/x");
  EXPECT_EQ(c[1].verb, Verb::Type);
  EXPECT_EQ(c[1].control, "编辑框_昵称");  // GBK, as the program names it
  EXPECT_EQ(c[1].text, " two  spaces # kept");
  EXPECT_EQ(c[2].text, "a\r\nb\\c\\d");
  EXPECT_TRUE(c[3].items.empty());
  EXPECT_EQ(c[4].items, (std::vector<std::string>{"a", "2024\\b.rcd", ""}));
  EXPECT_EQ(c[5].title, "温馨提示");
  EXPECT_EQ(c[5].text, "修改");
  EXPECT_TRUE(c[5].flag);
  EXPECT_EQ(c[6].control, "-");
  EXPECT_FALSE(c[6].flag);
  EXPECT_TRUE(c[7].flag);
  EXPECT_TRUE(c[8].flag);
  EXPECT_EQ(c[9].verb, Verb::Click);
  EXPECT_EQ(c[10].verb, Verb::Answer);
  EXPECT_EQ(c[10].text, "取消");
  EXPECT_EQ(c[11].verb, Verb::Menu);
  EXPECT_EQ(c[11].text, "恢复原录像");
  EXPECT_EQ(c[12].verb, Verb::ExpectMenu);
  EXPECT_EQ(c[12].items, (std::vector<std::string>{"打开录像", "刷新列表"}));
  EXPECT_EQ(c[13].verb, Verb::Key);
  EXPECT_EQ(c[13].control, "组合框_修改");
  EXPECT_TRUE(c[13].key.ctrl && c[13].key.shift && !c[13].key.alt);
  EXPECT_EQ(c[13].key.name, "Z");
  EXPECT_EQ(c[13].key.code, 0x5A);
  EXPECT_EQ(c[14].verb, Verb::Clipboard);
  EXPECT_EQ(c[14].text, "星律服饰码 0:1,\r\n 2:3");
  EXPECT_EQ(c[15].verb, Verb::ExpectClipboard);
  // A shot's window, file and caption; "notice" and "menu" make it wait for the next action.
  EXPECT_EQ(c[16].verb, Verb::Shot);
  EXPECT_EQ(c[16].window, "start");
  EXPECT_EQ(c[16].path, "shots/01-start.png");
  EXPECT_EQ(c[16].caption, U8(u8"开始窗口：列出的录像"));  // UTF-8, as written
  EXPECT_EQ(c[17].verb, Verb::ShotWhenShown);
  EXPECT_FALSE(c[17].flag);
  EXPECT_EQ(c[17].window, "modify");
  EXPECT_EQ(c[17].path, "02.png");
  EXPECT_EQ(c[17].caption, "");
  EXPECT_EQ(c[18].verb, Verb::ShotWhenShown);
  EXPECT_TRUE(c[18].flag);
  EXPECT_EQ(c[18].window, "start");
  EXPECT_EQ(c[18].caption, U8(u8"右键菜单"));
  EXPECT_EQ(c[19].verb, Verb::Hover);
  EXPECT_EQ(c[19].control, "按钮_图标");

  const char* bad[] = {"jump start x",
                       "click start",
                       "click start a b",
                       "expect visible start - maybe",
                       "expect colour start x red",
                       "drop start",
                       "expect file only-one",
                       "answer",
                       "menu start list",
                       "endsession maybe",
                       "resize 12",
                       "resize ten a.rcd",
                       "key modify x",
                       "key modify x Ctrl+",
                       "key modify x Ctrl+Ctrl+Z",
                       "key modify x Hyper+Z",
                       "key modify x F13",
                       "key modify x Ctrl+ZZ",
                       "shot start",
                       "shot notice start",
                       "hover start"};
  for (const char* line : bad) {
    auto r = ParseScript(std::string("start\n") + line + "\n");
    ASSERT_FALSE(r.ok()) << line;
    EXPECT_EQ(r.error().message.rfind("line 2: ", 0), 0u) << r.error().message;
  }
}

// A driver that shows what the test gives it and records what it is asked to do.
struct FakeDriver : ScenarioDriver {
  std::vector<std::string> calls;
  std::vector<ShownNotice> pending;
  std::vector<ShownNotice> onClick;  // shown by the next click
  std::string text = "abc";

  void SetProgramFolder(const std::filesystem::path&) override {}
  void SetDocumentsFolder(const std::filesystem::path&) override {}
  void QueueFolder(const std::optional<std::filesystem::path>& f) override {
    calls.push_back(f ? "browse " + f->filename().string() : "browse cancel");
  }
  void QueueAnswer(std::string_view b) override { calls.push_back("answer " + std::string(b)); }
  Status Start(const std::optional<std::filesystem::path>& f) override {
    return Record(f ? "start " + f->filename().string() : "start");
  }
  Result<bool> EndSession() override { return true; }
  // A click armed with ClickMeanwhile arrives only during a click on "pumps".
  bool armed = false, delivered = false;
  Status ClickMeanwhile(std::string_view, std::string_view c) override {
    armed = true;
    return Record("meanwhile " + std::string(c));
  }
  Status MeanwhileDone() override {
    armed = false;
    return std::exchange(delivered, false) ? Success() : Status(Error{"nothing let through"});
  }
  Status Click(std::string_view, std::string_view c) override {
    if (armed && c == "pumps") delivered = true;
    if (waiting && (waiting->first ? c == "menu" : !onClick.empty())) waitingTaken = true;
    pending.insert(pending.end(), onClick.begin(), onClick.end());
    onClick.clear();
    if (c == "gone") return Error{"no such control"};
    return Record("click " + std::string(c));
  }
  Status DoubleClick(std::string_view, std::string_view) override { return Record("dblclick"); }
  Status Press(std::string_view, std::string_view) override { return Record("press"); }
  Status Select(std::string_view, std::string_view, std::string_view i) override {
    return Record("select " + std::string(i));
  }
  Status Type(std::string_view, std::string_view, std::string_view t) override {
    return Record("type " + std::string(t));
  }
  Status Clear(std::string_view, std::string_view) override { return Record("clear"); }
  Status Key(std::string_view, std::string_view, const KeyStroke& k) override {
    return Record(std::string("key ") + (k.ctrl ? "Ctrl+" : "") + (k.shift ? "Shift+" : "") + (k.alt ? "Alt+" : "") +
                  k.name);
  }
  Status SetClipboard(std::string_view t) override {
    text = t;
    return Record("clipboard");
  }
  Result<std::string> Clipboard() override { return text; }
  Status Drop(std::string_view, const std::filesystem::path& f) override {
    return Record("drop " + f.filename().string());
  }
  Status ChooseFromMenu(std::string_view, std::string_view, std::string_view i) override {
    return Record("menu " + std::string(i));
  }
  Result<std::vector<std::string>> MenuItems(std::string_view, std::string_view) override {
    return std::vector<std::string>{"a", "b"};
  }
  Result<std::string> Text(std::string_view, std::string_view) override { return text; }
  Result<std::string> Hint(std::string_view, std::string_view) override { return text; }
  Result<std::vector<std::string>> Items(std::string_view, std::string_view) override {
    return std::vector<std::string>{"a", "b"};
  }
  Result<bool> Visible(std::string_view, std::string_view) override { return true; }
  Result<std::string> Picture(std::string_view, std::string_view) override { return std::string(); }
  Status Hover(std::string_view, std::string_view c) override { return Record("hover " + std::string(c)); }
  // Shots are empty files, as if the screen had been photographed.
  Status Shot(std::string_view, const std::filesystem::path& file) override {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream{file};
    return Record("shot " + file.filename().string());
  }
  // A shot waiting for a box or menu is taken when a click shows notices (or on "menu").
  std::optional<std::pair<bool, std::filesystem::path>> waiting;
  bool waitingTaken = false;
  void ShotWhenShown(bool menu, std::string_view, const std::filesystem::path& file) override {
    waiting.emplace(menu, file);
    waitingTaken = false;
  }
  Status ShotWhenShownDone() override {
    const auto w = std::exchange(waiting, std::nullopt);
    if (!w || !waitingTaken) return Error{"nothing came up"};
    return Shot("", w->second);
  }
  std::vector<ShownNotice> TakeNotices() override { return std::exchange(pending, {}); }
  std::vector<std::string> TakeProblems() override { return {}; }
  Status Record(std::string call) {
    calls.push_back(std::move(call));
    return Success();
  }
};

TEST(ScenarioRunner, FailsWhereTheUserWouldSeeSomethingElse) {
  struct Row {
    const char* name;
    std::string script;
    std::vector<ShownNotice> notices;  // shown by the first click
    std::string failure;               // "" = passes; else the start of the report's line
  };
  const std::vector<ShownNotice> saved = {{"温馨提示", "保存成功"}};  // drivers speak GBK
  const Row rows[] = {
      {"passes", "start\nclick modify x\nexpect text modify y abc\nexpect items modify z a|b\n", {}, ""},
      {"text differs", "start\nexpect text modify y abd\nclick modify x\n", {}, "s.scn:2: expect text modify y abd"},
      {"items differ", "start\nexpect items modify z a\n", {}, "s.scn:2:"},
      {"hint differs", "start\nexpect hint modify y abc\nexpect hint modify y abd\n", {}, "s.scn:3:"},
      {"menu differs", "start\nexpect menu modify z a|b|c\n", {}, "s.scn:2:"},
      {"visibility", "start\nexpect visible modify - no\n", {}, "s.scn:2:"},
      {"picture", "start\nexpect picture modify p pictures/a.png\n", {}, "s.scn:2:"},
      {"action refused", "start\nclick modify gone\n", {}, "s.scn:2: click modify gone"},
      {"before start", "click modify x\n", {}, "s.scn:1:"},
      {"notice expected", U8(u8"start\nclick m x\nexpect notice 温馨提示 保存成功\n"), saved, ""},
      {"notice by prefix", U8(u8"start\nclick m x\nexpect notice 温馨提示 保存*\n"), saved, ""},
      {"notice differs", U8(u8"start\nclick m x\nexpect notice 温馨提示 保存失败\n"), saved, "s.scn:3:"},
      {"wildcard inside", U8(u8"start\nclick m x\nexpect notice 温馨提示 保*成*功\n"), saved, ""},
      {"wildcard inside differs", U8(u8"start\nclick m x\nexpect notice 温馨提示 保*失败\n"), saved, "s.scn:3:"},
      {"no notice", U8(u8"start\nclick m x\nexpect notice 温馨提示 保存成功\n"), {}, "s.scn:3:"},
      // A notice nobody expected fails at the next action, or at the end.
      {"unexpected notice", "start\nclick m x\nexpect text m y abc\nclick m x\n", saved, "s.scn:4: click m x"},
      {"unexpected at end", "start\nclick m x\n", saved, "s.scn: a notice shown after line 2"},
      {"started twice", "start\nstart\n", {}, "s.scn:2:"},
      // A click meant to arrive during the next action fails its own line when it never came.
      {"meanwhile delivered", "start\nmeanwhile click m y\nexpect text m y abc\nclick m pumps\n", {}, ""},
      {"meanwhile not delivered",
       "start\nmeanwhile click m y\nclick m x\nclick m pumps\n",
       {},
       "s.scn:2: meanwhile click m y"},
      {"meanwhile without action", "start\nmeanwhile click m y\nexpect text m y abc\n", {}, "s.scn:2:"},
      {"clipboard", "start\nclipboard xyz\nexpect clipboard xyz\nexpect clipboard xy\n", {}, "s.scn:4:"},
      {"key before start", "key m x Ctrl+V\n", {}, "s.scn:1:"},
      // A shot waiting for a notice or menu fails its own line when none came during the action.
      {"notice photographed", U8(u8"start\nshot notice m a.png\nclick m x\nexpect notice 温馨提示 保存成功\n"), saved,
       ""},
      {"no notice to photograph", "start\nshot notice m a.png\nclick m x\nclick m y\n", {}, "s.scn:2: shot notice"},
      {"menu photographed", "start\nshot menu m a.png\nclick m menu\n", {}, ""},
      {"notice is no menu", U8(u8"start\nshot menu m a.png\nclick m x\nexpect notice 温馨提示 保存成功\n"), saved,
       "s.scn:2:"},
      {"shot without action", "start\nshot notice m a.png\nexpect text m y abc\n", {}, "s.scn:2:"},
  };
  fixtures::TempFolder temp;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    FakeDriver driver;
    driver.onClick = r.notices;
    std::ostringstream out;
    const bool passed = RunCommands(r.script, fs::NativePath(temp.path()), driver, "s.scn", out);
    EXPECT_EQ(passed, r.failure.empty()) << out.str();
    if (!r.failure.empty()) {
      EXPECT_EQ(out.str().rfind(r.failure, 0), 0u) << out.str();
    }
  }
  // Execution stops at the first failing line.
  FakeDriver driver;
  std::ostringstream out;
  EXPECT_FALSE(
      RunCommands("start\nexpect text m y nope\ntype m y abc\n", fs::NativePath(temp.path()), driver, "s.scn", out));
  EXPECT_EQ(driver.calls, (std::vector<std::string>{"start"}));
}

// Pictures go to the folder asked for, not into the copy a passing run removes, and each
// caption is listed beside them in the order taken, for the contact sheet.
TEST(ScenarioRunner, ShotsGoWhereAskedWithTheirCaptions) {
  fixtures::TempFolder temp;
  const std::filesystem::path folder = fs::NativePath(temp.path()), shots = folder / "shots";
  const std::string script =
      U8(u8"start\nshot start 02-b.png 第二\nshot notice m 01-a.png 第一 步\nclick m x\n"
         u8"expect notice 温馨提示 保存成功\nshot start 03-c.png\n");
  FakeDriver driver;
  driver.onClick = {{"温馨提示", "保存成功"}};
  std::ostringstream out;
  ASSERT_TRUE(RunCommands(script, folder / "copy", driver, "s.scn", out, shots)) << out.str();
  EXPECT_TRUE(std::filesystem::exists(shots / "01-a.png"));
  EXPECT_TRUE(std::filesystem::exists(shots / "03-c.png"));
  EXPECT_FALSE(std::filesystem::exists(folder / "copy" / "01-a.png"));
  std::ifstream in(shots / "captions.txt", std::ios::binary);
  const std::string captions((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(captions, U8(u8"02-b.png\t第二\n01-a.png\t第一 步\n"));
}

TEST(ScenarioRunner, ExpectFileComparesBytes) {
  fixtures::TempFolder temp;
  const std::filesystem::path folder = fs::NativePath(temp.path());
  std::ofstream(folder / "a.txt", std::ios::binary) << "same\r\n";
  std::ofstream(folder / "b.txt", std::ios::binary) << "same\r\n";
  std::ofstream(folder / "c.txt", std::ios::binary) << "same\n";
  struct Row {
    const char* script;
    bool passes;
  };
  const Row rows[] = {
      {"expect file a.txt b.txt\n", true},        {"expect file a.txt c.txt\n", false},
      {"expect file missing.txt a.txt\n", false}, {"expect nofile missing.txt\n", true},
      {"expect nofile a.txt\n", false},
  };
  for (const Row& r : rows) {
    FakeDriver driver;
    std::ostringstream out;
    EXPECT_EQ(RunCommands(r.script, folder, driver, "s.scn", out), r.passes) << r.script << out.str();
  }
}

// Scripts run on a copy of their folder: what the program writes never reaches the
// original, and a passing run leaves no copy behind.
TEST(ScenarioRunner, RunsOnACopyOfTheScriptsFolder) {
  fixtures::TempFolder temp;
  const std::filesystem::path folder = fs::NativePath(temp.path());
  std::filesystem::create_directories(folder / "data");
  std::ofstream(folder / "data" / "x.txt") << "x";
  std::ofstream(folder / "s.scn") << "expect file data/x.txt data/x.txt\nexpect nofile data.ini\n";
  std::filesystem::path seen;
  struct Spy : FakeDriver {
    std::filesystem::path* seen;
    void SetProgramFolder(const std::filesystem::path& f) override { *seen = f; }
  };
  auto make = [&] {
    auto d = std::make_unique<Spy>();
    d->seen = &seen;
    return std::unique_ptr<ScenarioDriver>(std::move(d));
  };
  std::ostringstream out;
  EXPECT_TRUE(RunScriptFile(folder / "s.scn", make, out)) << out.str();
  EXPECT_NE(seen, folder);
  EXPECT_FALSE(std::filesystem::exists(seen));  // removed after passing
  EXPECT_TRUE(std::filesystem::exists(folder / "data" / "x.txt"));
}

}  // namespace
}  // namespace xl::scenario
