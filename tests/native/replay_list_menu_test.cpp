// The replay list's right-click menu, run through the event bindings on MemoryUi.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/program.h"
#include "app/shell.h"
#include "app/window_defs.h"
#include "fixtures/checked_ui.h"
#include "fixtures/temp_folder.h"
#include "platform/files.h"
#include "platform/ini.h"

namespace xl {
namespace {

const char* kList = "列表框_文件列表";

// A remembered record folder with two replays, listed in the start window.
struct Fixture {
  fixtures::TempFolder temp;
  std::string record = temp.Sub("game") + "\\record\\";
  fixtures::CheckedUi ui{ProgramWindows()};
  Program program{ui, ProgramState{}};

  Fixture() {
    EXPECT_TRUE(fs::CreateDirectories(record + "2024").ok());
    EXPECT_TRUE(fs::WriteWholeFile(record + "a.rcd", "replay a").ok());
    EXPECT_TRUE(fs::WriteWholeFile(record + "2024\\b.rcd", "replay b").ok());
    program.state.programFolder = temp.Sub("program");
    EXPECT_TRUE(fs::CreateDirectories(program.state.programFolder).ok());
    EXPECT_TRUE(ini::Write(program.state.programFolder + "\\data.ini", "路径", "路径", record).ok());
    program.Start();
    ui.Click("start", "超级按钮_搜上次路径");
  }
  std::vector<std::string> Items() {
    std::vector<std::string> items;
    for (int i = 0; i < ui.ItemCount("start", kList); ++i) items.push_back(ui.ItemText("start", kList, i));
    return items;
  }
};

TEST(ReplayListMenu, RightClickOnAReplaySelectsItAndOffersEveryEntry) {
  Fixture f;
  f.ui.QueueMenuChoice("");  // looked at, then closed
  ASSERT_TRUE(f.ui.RightClick("start", kList, "2024\\b.rcd"));
  EXPECT_EQ(f.ui.GetText("start", kList), "2024\\b.rcd");
  ASSERT_EQ(f.ui.Menus().size(), 1u);
  const MemoryUi::ShownMenu& menu = f.ui.Menus()[0];
  EXPECT_EQ(menu.owner, "start");
  std::vector<std::string> texts;
  for (const MenuEntry& e : menu.entries) {
    texts.push_back(e.text);
    EXPECT_TRUE(e.enabled) << e.text;
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"打开录像", "在文件夹中显示", "", "刷新列表"}));
  // Closed without a choice: nothing happened.
  EXPECT_TRUE(f.ui.IsVisible("start", "-"));
  EXPECT_TRUE(f.ui.ShownInFolder().empty());
  EXPECT_TRUE(f.ui.TakeProblems().empty());
}

TEST(ReplayListMenu, EachEntryDoesWhatItsButtonDoes) {
  {  // Open: as a double-click does.
    Fixture f;
    f.ui.QueueMenuChoice("打开录像");
    f.ui.RightClick("start", kList, "2024\\b.rcd");
    EXPECT_FALSE(f.ui.IsVisible("start", "-"));
    EXPECT_TRUE(f.ui.IsVisible("modify", "-"));
    EXPECT_EQ(f.program.state.replay.text(), "replay b");
    EXPECT_TRUE(f.ui.TakeProblems().empty());
  }
  {  // Show in folder: the full path of the file.
    Fixture f;
    f.ui.QueueMenuChoice("在文件夹中显示");
    f.ui.RightClick("start", kList, "2024\\b.rcd");
    EXPECT_EQ(f.ui.ShownInFolder(), std::vector<std::string>{f.record + "2024\\b.rcd"});
    EXPECT_TRUE(f.ui.Notices().empty());
    EXPECT_TRUE(f.ui.TakeProblems().empty());
  }
  {  // Refresh: as "search last path" does, so a replay saved meanwhile shows up.
    Fixture f;
    ASSERT_TRUE(fs::WriteWholeFile(f.record + "c.rcd", "replay c").ok());
    f.ui.QueueMenuChoice("刷新列表");
    f.ui.RightClick("start", kList, "a.rcd");
    EXPECT_EQ(f.Items(), (std::vector<std::string>{"a.rcd", "c.rcd", "2024\\b.rcd"}));
    EXPECT_TRUE(f.ui.TakeProblems().empty());
  }
}

TEST(ReplayListMenu, BelowTheReplaysOnlyRefreshCanBeChosen) {
  Fixture f;
  f.ui.Select("start", kList, "a.rcd");
  f.ui.QueueMenuChoice("打开录像");
  f.ui.RightClick("start", kList, "");
  EXPECT_EQ(f.ui.GetSelection("start", kList), -1);
  ASSERT_EQ(f.ui.Menus().size(), 1u);
  EXPECT_FALSE(f.ui.Menus()[0].entries[0].enabled);
  EXPECT_FALSE(f.ui.Menus()[0].entries[1].enabled);
  EXPECT_TRUE(f.ui.Menus()[0].entries[3].enabled);
  EXPECT_EQ(f.ui.TakeProblems().size(), 1u);  // the disabled entry could not be chosen
  EXPECT_TRUE(f.ui.IsVisible("start", "-"));
  EXPECT_FALSE(f.ui.WindowExists("modify"));
}

TEST(ReplayListMenu, AReplayGoneSinceListingIsReportedNotShown) {
  Fixture f;
  ASSERT_TRUE(fs::DeleteFile(f.record + "a.rcd").ok());
  f.ui.QueueMenuChoice("在文件夹中显示");
  f.ui.RightClick("start", kList, "a.rcd");
  EXPECT_TRUE(f.ui.ShownInFolder().empty());
  ASSERT_EQ(f.ui.Notices().size(), 1u);
  EXPECT_EQ(f.ui.Notices()[0].text, "找不到录像文件：" + f.record + "a.rcd");
  EXPECT_EQ(f.ui.Notices()[0].title, "温馨提示");
}

}  // namespace
}  // namespace xl
