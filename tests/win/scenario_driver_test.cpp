// The scenario runner on the real windows: a script passes only when the real controls
// show what it expects, and fails at the line where a user would have seen something else
// or could not have done what it says. A driver that let wrong scripts pass would make
// every scenario under Wine worthless.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "fixtures/gbk.h"
#include "fixtures/temp_folder.h"
#include "tools/scenario/driver.h"
#include "tools/scenario/runner.h"
#include "ui/message_box.h"

namespace xl::scenario {
namespace {

using fixtures::U8;

// The scenarios' replays and game folders, copied so the program may write data.ini.
std::filesystem::path CopyOfScenarioData(const fixtures::TempFolder& temp) {
  const std::filesystem::path folder = *GbkToWide(temp.path());
  std::filesystem::copy(std::filesystem::path("Z:" XL_SOURCE_DIR) / "tests" / "scenarios" / "data", folder / "data",
                        std::filesystem::copy_options::recursive);
  return folder;
}

TEST(RealWindowsDriver, FailsWhereTheUserWouldSeeOrDoSomethingElse) {
  const std::string listed = U8(u8"start\nbrowse data/game\nclick start 超级按钮_选择目录\n");
  const std::string opened = listed + U8(u8"select start 列表框_文件列表 a.rcd\ndblclick start 列表框_文件列表\n");
  struct Row {
    const char* name;
    std::string script;
    std::string failure;  // "" = passes; else the start of the report
  };
  const Row rows[] = {
      {"listed",
       listed + U8(u8"expect items start 列表框_文件列表 a.rcd|B.rcd|2024\\\\舞会.rcd|2024\\\\deep\\\\z.rcd\n"), ""},
      {"items differ", listed + U8(u8"expect items start 列表框_文件列表 a.rcd|B.rcd\n"), "s.scn:4:"},
      {"browser nobody answers", U8(u8"start\nclick start 超级按钮_选择目录\n"), "s.scn:2:"},
      {"no such item", listed + U8(u8"select start 列表框_文件列表 none.rcd\n"), "s.scn:4:"},
      {"opened", opened + U8(u8"expect visible start - no\nexpect visible modify 编辑框_鞋子 yes\n"), ""},
      {"control on another page", opened + U8(u8"type modify 编辑框_昵称 abc\n"), "s.scn:6:"},
      {"digits only", opened + U8(u8"type modify 编辑框_鞋子 1a2\nexpect text modify 编辑框_鞋子 1a2\n"), "s.scn:7:"},
      {"notice expected",
       opened + U8(u8"type modify 编辑框_鞋子 5\nclick modify 超级按钮_修改服饰\n"
                   u8"expect notice 温馨提示 请先选择修改第几人\n"),
       ""},
      {"notice nobody expected",
       opened + U8(u8"type modify 编辑框_鞋子 5\nclick modify 超级按钮_修改服饰\nexpect visible modify - yes\n"
                   u8"click modify 超级按钮_修改服饰\n"),
       "s.scn:9:"},
      // The notice's entrance drops the click for the modify window: it was never delivered.
      {"click meanwhile dropped by a notice",
       opened + U8(u8"meanwhile click modify 超级按钮_总保存\nclick modify 超级按钮_修改服饰\n"
                   u8"expect notice 温馨提示 请先选择修改第几人\n"),
       "s.scn:6:"},
      {"closed window", U8(u8"start\nclick start 按钮_关闭\nclick start 超级按钮_选择目录\n"), "s.scn:3:"},
      {"menu read",
       listed + U8(u8"select start 列表框_文件列表 a.rcd\nexpect menu start 列表框_文件列表 "
                   u8"打开录像|在文件夹中显示|刷新列表\n"),
       ""},
      {"menu item missing",
       listed + U8(u8"select start 列表框_文件列表 a.rcd\nmenu start 列表框_文件列表 恢复原录像\n"), "s.scn:5:"},
      {"question nobody answers",
       U8(u8"start\nbrowse data/scene\nclick start 超级按钮_选择目录\nselect start 列表框_文件列表 双人舞.rcd\n"
          u8"dblclick start 列表框_文件列表\nselect modify 组合框_修改 第1人\npress modify 图片框_舞团家族\n"
          u8"type modify 编辑框_舞团名字 abc\nclick modify 超级按钮_舞团\nexpect notice 温馨提示 修改成功\n"
          u8"click modify 按钮_关闭\n"),
       "s.scn:11:"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    fixtures::TempFolder temp;
    const std::filesystem::path folder = CopyOfScenarioData(temp);
    std::ostringstream out;
    bool passed;
    {
      std::unique_ptr<ScenarioDriver> driver = MakeDriver();
      passed = RunCommands(r.script, folder, *driver, "s.scn", out);
      // Every notice was closed by its button, and a question nobody answered by Esc's
      // close: nothing is left up for the next action.
      EXPECT_TRUE(ui::OpenMessageBoxes().empty());
    }
    EXPECT_EQ(passed, r.failure.empty()) << out.str();
    if (!r.failure.empty()) {
      EXPECT_EQ(out.str().rfind(r.failure, 0), 0u) << out.str();
    }
  }
}

}  // namespace
}  // namespace xl::scenario
