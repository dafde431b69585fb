// The person chooser, the whole-replay edits (stage, spectator flag, player count), the
// dance-group edit and saving, driven through MemoryUi as a user would.
#include "replay/scene_edits.h"

#include <gtest/gtest.h>

#include "app/window_defs.h"
#include "fixtures/checked_ui.h"
#include "fixtures/gbk.h"
#include "fixtures/temp_folder.h"
#include "platform/files.h"
#include "replay/group_edits.h"
#include "replay/text_ops.h"
#include "tools/fixtures/replay_fixture.h"

namespace xl::replay {
namespace {

std::vector<std::string> Blocks(const std::string& text) {
  return TakeAllBetween(text, "\t\t\t<PlayerInfo>", "\t\t\t</PlayerInfo>", nullptr);
}

// SetPlayerCount on a document opened from `text`; the document afterwards.
std::string WithCount(const std::string& text, int count, bool* done = nullptr) {
  ReplayState state;
  OpenReplay(state, text);
  const bool set = SetPlayerCount(state, count);
  if (done) *done = set;
  return state.text();
}

std::vector<std::string> All(const std::string& text, std::string_view open, std::string_view close) {
  std::vector<std::string> values;
  for (TextPos at = FindText(text, open); at != kNotFound; at = FindText(text, open, at + 1))
    values.push_back(TextBetween(text.substr(static_cast<size_t>(at - 1)), open, close));
  return values;
}

TEST(SceneEdits, StageAndPersonNames) {
  const struct {
    std::string text, id;
  } stages[] = {{"答题舞台", "answer"},
                {"嫦娥月宫", "moonpalace"},
                {"社区", "leisure"},
                {"中式婚礼", "weddingroom003"},
                {"沙漠", "PVEdesert"},
                {"遗迹", "ruin"},
                {"魔幻森林", "pveforest"},
                {"无", ""},
                {"森林", ""}};
  for (const auto& s : stages) EXPECT_EQ(StageId(s.text), s.id) << s.text;
  const struct {
    std::string item;
    int number;
  } cases[] = {{"第1人", 1}, {"第8人", 8}, {"第12人", 12}, {"第人", 0}, {"第x人", 0}, {"选择修改第几人", 0}, {"1", 0}};
  for (const auto& c : cases) EXPECT_EQ(PersonNumber(c.item), c.number) << c.item;
}

TEST(SceneEdits, PlayerCountCopiesTheFirstPlayerAndRenumbers) {
  const std::string original = fixtures::MakeReplay({.players = 2, .seed = 21});
  const std::string first = Blocks(original)[0];
  for (int count : {1, 3, 8}) {
    bool done = false;
    const std::string doc = WithCount(original, count, &done);
    ASSERT_TRUE(done);
    EXPECT_EQ(TextBetween(doc, "<PlayerCount>", "</PlayerCount>"), std::to_string(count));
    auto blocks = Blocks(doc);
    ASSERT_EQ(blocks.size(), static_cast<size_t>(count));
    std::vector<std::string> ids, petIds;
    for (int i = 1; i <= count; ++i) {
      ids.push_back(std::to_string(i));
      petIds.push_back(std::to_string(10 + i));
    }
    EXPECT_EQ(All(doc, "<PlayerId>", "</PlayerId>"), ids);
    EXPECT_EQ(All(doc, "<pst>", "</pst>"), ids);
    EXPECT_EQ(All(doc, "<petid>", "</petid>"), petIds);
    // Apart from the numbers every player is the first one.
    std::string copy = blocks.back();
    RewriteField(copy, "<PlayerId>", "</PlayerId>", TextBetween(first, "<PlayerId>", "</PlayerId>"));
    RewriteField(copy, "<pst>", "</pst>", "1");
    RewriteField(copy, "<petid>", "</petid>", "11");
    EXPECT_EQ(copy, first);
    // The list as the game writes it: each player on its own lines.
    EXPECT_NE(doc.find("\t\t<PlayerList>\r\n\t\t\t<PlayerInfo>\r\n"), std::string::npos);
    EXPECT_NE(doc.find("\t\t\t</PlayerInfo>\r\n\t\t</PlayerList>\r\n"), std::string::npos);
  }

  // A duplicated id of 1 still gives 1, 2, 3: each search goes on after the last write.
  const std::string ones = WithCount(
      ReplaceText(original, "<PlayerId>" + TextBetween(original, "<PlayerId>", "</PlayerId>"), "<PlayerId>1"), 3);
  EXPECT_EQ(All(ones, "<PlayerId>", "</PlayerId>"), (std::vector<std::string>{"1", "2", "3"}));

  // Without a count element or a player list nothing is changed.
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"<PlayerCount>", "<Count>"},
                                 {"\t\t<PlayerList>", "\t<PlayerList>"},
                                 {"\t\t\t<PlayerInfo>", "\t\t\t<Player>"}}) {
    const std::string broken = ReplaceText(original, from, to);
    bool done = true;
    EXPECT_EQ(WithCount(broken, 3, &done), broken) << from;
    EXPECT_FALSE(done) << from;
  }
}

// A replay on disk, listed in the start window and opened in the modify window as the
// shell does it.
class EditSession : public ::testing::Test {
 protected:
  void Open(const std::string& bytes) {
    ASSERT_TRUE(fs::CreateDirectories(folder.Sub("record")));
    path = folder.Sub("record\\a.rcd");
    ASSERT_TRUE(fs::WriteWholeFile(path, bytes));
    ui.SetEventSink([this](const UiEventArgs& e) {
      if (e.window == "modify" && e.control == "组合框_修改" && e.event == UiEvent::SelectionChanged)
        PickPerson(state, ui);
    });
    ui.LoadWindow("start", true);
    ui.AddItem("start", "列表框_文件列表", "a.rcd");
    ui.SetSelection("start", "列表框_文件列表", 0);
    OpenReplay(state, bytes, path);
    ui.ShowWindow("start", false);
    ui.LoadWindow("modify", true);
    ui.SetPage("modify", "选择夹1", 3);  // the dance-group page
    FillChooser(state, ui);
  }
  std::string Notice() {
    if (ui.Notices().size() <= seen) return "(none)";
    return ui.Notices()[seen++].text;
  }
  std::string Read() { return fs::ReadWholeFile(path).value(); }
  std::string Field(int person, std::string_view open, std::string_view close) {
    return TextBetween(state.edited[static_cast<size_t>(person - 1)], open, close);
  }

  fixtures::TempFolder folder;
  std::string path;
  fixtures::CheckedUi ui{ProgramWindows()};
  ReplayState state;
  size_t seen = 0;
};

TEST_F(EditSession, ChooserListsEveryPlayerAndAnyCanBePicked) {
  const auto players = fixtures::FixturePlayers({.players = 10, .seed = 22});
  Open(fixtures::MakeReplay({.players = 10, .seed = 22}));
  ASSERT_EQ(ui.ItemCount("modify", "组合框_修改"), 11);
  EXPECT_EQ(ui.GetText("modify", "组合框_修改"), "选择修改第几人");
  EXPECT_EQ(ui.ItemText("modify", "组合框_修改", 10), "第10人");
  EXPECT_EQ(state.currentPerson, 0);

  ASSERT_TRUE(ui.Select("modify", "组合框_修改", "第10人"));  // beyond eight, too
  EXPECT_EQ(state.currentPerson, 10);
  // Nickname, group name and slots of that person are filled.
  EXPECT_EQ(ui.GetText("modify", "编辑框_原昵称"), BytesToHex(players[9].nickname));
  EXPECT_EQ(ui.GetText("modify", "编辑框_昵称"), players[9].nickname);
  EXPECT_EQ(ui.GetText("modify", "编辑框_原舞团名字"), BytesToHex(players[9].groupName));
  EXPECT_EQ(state.slotValues[0], players[9].bodyParts[2]);  // slot 2, the face
  ASSERT_TRUE(ui.Select("modify", "组合框_修改", "选择修改第几人"));
  EXPECT_EQ(state.currentPerson, 10);
  EXPECT_EQ(Notice(), "(none)");
}

TEST_F(EditSession, GroupEditNeedsAPickedPerson) {
  Open(fixtures::MakeReplay({.players = 2, .seed = 23}));
  const auto before = state.edited;
  ui.Select("modify", "组合框_舞团颜色", "15");
  ApplyGroup(state, ui);
  EXPECT_EQ(Notice(), "请先选择修改第几人");
  EXPECT_EQ(state.edited, before);

  // After a count change the chooser shows its prompt and nobody is picked.
  ui.Select("modify", "组合框_修改", "第2人");
  ui.Select("modify", "组合框_修改人数", "1");
  ApplyPlayerCount(state, ui);
  EXPECT_EQ(Notice(), "修改成功");
  EXPECT_EQ(state.currentPerson, 0);
  ApplyGroup(state, ui);
  EXPECT_EQ(Notice(), "请先选择修改第几人");
}

TEST_F(EditSession, GroupEditWritesEveryFieldAndFollowsTheName) {
  Open(fixtures::MakeReplay({.players = 2, .seed = 24}));
  const std::string other = state.edited[0];
  ui.Select("modify", "组合框_修改", "第2人");
  ui.Type("modify", "编辑框_舞团名字", "abc");
  ui.Select("modify", "组合框_舞团等级", "20");
  ui.Select("modify", "组合框_舞团颜色", "15");
  ApplyGroup(state, ui);
  EXPECT_EQ(Notice(), "修改成功");
  EXPECT_EQ(Field(2, "<GuildNameDataBuf>", "</GuildNameDataBuf>"), "616263");
  EXPECT_EQ(Field(2, "<GuildLevel>", "</GuildLevel>"), "20");
  EXPECT_EQ(Field(2, "<ColorType>", "</ColorType>"), "15");
  EXPECT_EQ(state.edited[0], other);
  EXPECT_EQ(ui.GetText("modify", "编辑框_原舞团名字"), "616263");

  // The same person again, without a new pick: the remembered name is the new one.
  ui.Clear("modify", "编辑框_舞团名字");
  ui.Type("modify", "编辑框_舞团名字", fixtures::kXingLv);
  ApplyGroup(state, ui);
  EXPECT_EQ(Notice(), "修改成功");
  EXPECT_EQ(Field(2, "<GuildNameDataBuf>", "</GuildNameDataBuf>"), BytesToHex(fixtures::kXingLv));

  // An empty box writes an empty element.
  ui.Clear("modify", "编辑框_舞团名字");
  ApplyGroup(state, ui);
  EXPECT_EQ(Notice(), "修改成功");
  EXPECT_NE(state.edited[1].find("<GuildNameDataBuf></GuildNameDataBuf>"), std::string::npos);
}

TEST_F(EditSession, MissingFieldsAreNamedAndTheOthersStillWritten) {
  std::string bytes = fixtures::MakeReplay({.players = 1, .seed = 25});
  bytes = ReplaceText(bytes, "<GuildLevel>", "<Level2>");
  bytes = ReplaceText(bytes, "<BadgeType>", "<Badge>");
  for (const std::string& tag : {std::string("StageName"), std::string("Watching"), std::string("PlayerCount")})
    bytes = ReplaceText(bytes, "<" + tag + ">", "<Old" + tag + ">");
  Open(bytes);
  ui.Select("modify", "组合框_修改", "第1人");
  ui.Select("modify", "组合框_舞团等级", "3");
  ui.Select("modify", "组合框_舞团颜色", "4");
  ui.Select("modify", "组合框_舞团徽章", "5");
  ApplyGroup(state, ui);
  EXPECT_EQ(Notice(), "以下内容未找到，未修改：舞团等级、舞团徽章");
  EXPECT_EQ(Field(1, "<ColorType>", "</ColorType>"), "4");

  const std::string before = state.text();
  ui.Select("modify", "组合框_场景舞台", "遗迹");
  ApplyStage(state, ui);
  EXPECT_EQ(Notice(), "以下内容未找到，未修改：舞台场景");
  ui.Select("modify", "组合框_是否观战", "是");
  ApplySpectator(state, ui);
  EXPECT_EQ(Notice(), "以下内容未找到，未修改：是否观战");
  ui.Select("modify", "组合框_修改人数", "2");
  ApplyPlayerCount(state, ui);
  EXPECT_EQ(Notice(), "以下内容未找到，未修改：修改人数");
  EXPECT_EQ(state.text(), before);
}

TEST_F(EditSession, NoneLeavesSceneAloneWithoutANotice) {
  const std::string bytes = fixtures::MakeReplay({.players = 2, .seed = 26});
  Open(bytes);
  ApplyStage(state, ui);
  ApplySpectator(state, ui);
  EXPECT_EQ(Notice(), "(none)");
  ui.Select("modify", "组合框_场景舞台", "遗迹");
  ApplyStage(state, ui);
  ui.Select("modify", "组合框_是否观战", "否");
  ApplySpectator(state, ui);
  EXPECT_EQ(Notice(), "修改成功");
  EXPECT_EQ(Notice(), "修改成功");
  EXPECT_EQ(TextBetween(state.text(), "<StageName>", "</StageName>"), "ruin");
  EXPECT_EQ(TextBetween(state.text(), "<Watching>", "</Watching>"), "false");
}

TEST_F(EditSession, SavingReportsTheOutcomeAndKeepsTheFileOnFailure) {
  const std::string bytes = fixtures::MakeReplay({.players = 2, .seed = 27});
  Open(bytes);
  ui.Select("modify", "组合框_修改", "第1人");
  ui.Select("modify", "组合框_舞团徽章", "32");
  ApplyGroup(state, ui);
  EXPECT_EQ(Notice(), "修改成功");

  ASSERT_TRUE(fs::SetReadOnly(path, true));
  Save(state, ui);
  EXPECT_EQ(Notice().rfind("保存失败：", 0), 0u);
  EXPECT_EQ(Read(), bytes);

  ASSERT_TRUE(fs::SetReadOnly(path, false));
  Save(state, ui);
  EXPECT_EQ(Notice(), "保存成功");
  EXPECT_EQ(TextBetween(Blocks(Read())[0], "<BadgeType>", "</BadgeType>"), "32");
  EXPECT_EQ(fs::ReadWholeFile(path + ".bak").value(), bytes);

  // The file that was opened, whatever the list shows now.
  ui.SetSelection("start", "列表框_文件列表", -1);
  Save(state, ui);
  EXPECT_EQ(Notice(), "保存成功");
}

// The split after a player-count change lets messages through, and another edit clicked
// meanwhile runs inside it. The split must still end with blocks and a chooser that match
// the document as it then stands, so the edits land and the save finds every block.
TEST_F(EditSession, AnEditClickedDuringTheSplitKeepsBlocksAndDocumentTogether) {
  enum class Click { Stage, PlayerCount };
  for (Click click : {Click::Stage, Click::PlayerCount}) {
    SCOPED_TRACE(static_cast<int>(click));
    Open(fixtures::MakeReplay({.players = 2, .seed = 28}));
    ui.Select("modify", "组合框_修改人数", "3");
    ui.Select("modify", "组合框_场景舞台", "遗迹");
    bool clicked = false;
    ui.SetPumpHook([&] {
      if (clicked) return;
      clicked = true;
      if (click == Click::Stage) {
        ApplyStage(state, ui);
      } else {
        ui.Select("modify", "组合框_修改人数", "5");
        ApplyPlayerCount(state, ui);
      }
    });
    ApplyPlayerCount(state, ui);
    ui.SetPumpHook(nullptr);
    ASSERT_TRUE(clicked);
    EXPECT_EQ(Notice(), "修改成功");  // the edit clicked in between
    EXPECT_EQ(Notice(), "修改成功");  // the player count
    const size_t players = click == Click::Stage ? 3 : 5;
    EXPECT_EQ(state.edited.size(), players);
    EXPECT_EQ(ui.ItemCount("modify", "组合框_修改"), static_cast<int>(players) + 1);

    ui.Select("modify", "组合框_修改", "第" + std::to_string(players) + "人");
    ui.Select("modify", "组合框_舞团徽章", "32");
    ApplyGroup(state, ui);
    EXPECT_EQ(Notice(), "修改成功");
    Save(state, ui);
    EXPECT_EQ(Notice(), "保存成功");
    const std::vector<std::string> saved = Blocks(Read());
    ASSERT_EQ(saved.size(), players);
    EXPECT_EQ(TextBetween(saved.back(), "<BadgeType>", "</BadgeType>"), "32");
    if (click == Click::Stage) {
      EXPECT_EQ(TextBetween(Read(), "<StageName>", "</StageName>"), "ruin");
    }
    seen = ui.Notices().size();
  }
}

}  // namespace
}  // namespace xl::replay
