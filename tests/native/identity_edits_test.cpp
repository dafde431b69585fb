// Identity edits (nickname, title, levels, gender) through MemoryUi on the real modify
// window's "个人信息" page.
#include <gtest/gtest.h>

#include <string>

#include "app/window_defs.h"
#include "fixtures/checked_ui.h"
#include "fixtures/gbk.h"
#include "fixtures/player_block.h"
#include "replay/costume_edits.h"
#include "replay/identity_edits.h"
#include "replay/text_ops.h"

namespace xl::replay {
namespace {

using fixtures::BlockFields;
using fixtures::PlayerBlock;

struct Editor {
  fixtures::CheckedUi ui{ProgramWindows()};
  ReplayState state;

  explicit Editor(std::vector<std::string> blocks) {
    ui.LoadWindow("modify", true);
    ui.SetPage("modify", "选择夹1", 1);
    state.edited = blocks;
    state.loaded = std::move(blocks);
    state.currentPerson = 1;
    FillNickname(&state.edited[0], ui);
    FillSlots(state, &state.edited[0], ui);
  }
  std::string& Block() { return state.edited[0]; }
  std::string Field(std::string_view open, std::string_view close) { return TextBetween(Block(), open, close); }
  std::string LastNotice() { return ui.Notices().empty() ? std::string() : ui.Notices().back().text; }
  void Apply() { ApplyIdentity(state, ui); }
  void Rename(std::string_view name) {
    ui.Clear("modify", "编辑框_昵称");
    ui.Type("modify", "编辑框_昵称", name);
  }
};

BlockFields WithName(std::string hex) {
  BlockFields f;
  f.nameHex = std::move(hex);
  return f;
}

TEST(Nickname, FillShowsTheStoredNameUpToItsEnd) {
  const struct {
    const char* stored;
    std::string shown;
  } cases[] = {
      {"616263", "abc"},
      {"6162630000", "abc"},            // a zero-padded buffer
      {"D0C7c2c9", fixtures::kXingLv},  // either case of hex digits
      {"", ""},
  };
  for (const auto& c : cases) {
    Editor e({PlayerBlock(WithName(c.stored))});
    EXPECT_EQ(e.ui.GetText("modify", "编辑框_原昵称"), c.stored);
    EXPECT_EQ(e.ui.GetText("modify", "编辑框_昵称"), c.shown) << c.stored;
  }
}

TEST(Nickname, ApplyWritesTheGbkBytesAsUpperCaseHex) {
  const struct {
    const char* stored;
    std::string typed;
    const char* written;
  } cases[] = {
      {"616263", "xyz", "78797A"},
      {"616263", fixtures::kXingLv + "A", "D0C7C2C941"},
      {"6162000000", "xy", "7879000000"},  // a padded buffer keeps its length
      {"6162000000", "uvwxyz", "75767778797A"},
  };
  for (const auto& c : cases) {
    BlockFields f = WithName(c.stored);
    std::string block = PlayerBlock(f);
    block += "\t\t\t\t<NameDataBuf>" + std::string(c.stored) + "</NameDataBuf>\r\n";  // a second, equal element
    Editor e({block});
    e.Rename(c.typed);
    e.Apply();
    EXPECT_EQ(e.LastNotice(), "修改成功");
    EXPECT_EQ(e.Field("<NameDataBuf>", "</NameDataBuf>"), c.written) << c.stored;
    EXPECT_NE(e.Block().find("<NameDataBuf>" + std::string(c.stored) + "</NameDataBuf>"), std::string::npos)
        << "only the first element is renamed";
    EXPECT_EQ(e.ui.GetText("modify", "编辑框_原昵称"), c.written);  // follows for a second change
  }
}

TEST(Nickname, SecondChangeAndUnchangedName) {
  Editor e({PlayerBlock(WithName("61620063"))});  // "ab", then a zero and a stray byte
  const std::string before = e.Block();
  e.Apply();  // the name as shown: nothing to write, the stored bytes stay as they are
  EXPECT_EQ(e.Block(), before);
  EXPECT_EQ(e.LastNotice(), "修改成功");

  e.Rename("one");
  e.Apply();
  e.Rename("two");
  e.Apply();
  EXPECT_EQ(e.Field("<NameDataBuf>", "</NameDataBuf>"), "74776F00");
}

TEST(Nickname, TextThatIsNotGbkIsRefused) {
  Editor e({PlayerBlock()});
  const std::string before = e.Block();
  e.ui.SetText("modify", "编辑框_昵称", "\xFF\xFE");
  e.ui.SetText("modify", "编辑框_修改称号", "7");
  e.Apply();
  EXPECT_EQ(e.Block(), before);
  EXPECT_EQ(e.LastNotice(), "昵称中有无法保存的字符，未作任何修改");
}

TEST(Identity, TitleAndLevelsAndWhatWasMissing) {
  Editor e({PlayerBlock()});
  e.ui.Type("modify", "编辑框_修改称号", "-12");
  e.ui.Select("modify", "组合框_荣耀等级", "6");
  e.ui.Select("modify", "组合框_紫钻等级", "0");
  e.Apply();
  EXPECT_EQ(e.LastNotice(), "修改成功");
  EXPECT_EQ(e.Field("<cur_title_id>", "</cur_title_id>"), "-12");
  EXPECT_EQ(e.Field("<honour_dancer_star_id>", "</honour_dancer_star_id>"), "6");
  EXPECT_EQ(e.Field("<PurpleLevel>", "</PurpleLevel>"), "0");

  BlockFields f;
  f.titleId.reset();
  f.purpleLevel.reset();
  f.male.reset();
  Editor bare({PlayerBlock(f)});
  bare.ui.Type("modify", "编辑框_修改称号", "5");
  bare.ui.Select("modify", "组合框_荣耀等级", "1");
  bare.ui.Select("modify", "组合框_紫钻等级", "9");
  bare.ui.Select("modify", "组合框_选择性别", "男性");
  bare.Apply();
  EXPECT_EQ(bare.LastNotice(), "以下内容未找到，未修改：称号、紫钻等级、性别");
  EXPECT_EQ(bare.Field("<honour_dancer_star_id>", "</honour_dancer_star_id>"), "1");  // the others still written
  EXPECT_EQ(bare.Field(SlotPrefix(3), "</BodyPartId>"), "613420101");                 // no costume without the gender
}

TEST(Identity, NothingRequestedChangesNothing) {
  Editor e({PlayerBlock(), PlayerBlock()});
  const auto before = e.state.edited;
  e.ui.Clear("modify", "编辑框_昵称");
  e.Apply();
  EXPECT_EQ(e.state.edited, before);
  EXPECT_EQ(e.LastNotice(), "修改成功");

  e.state.currentPerson = 0;
  e.ui.Type("modify", "编辑框_修改称号", "5");
  e.Apply();
  EXPECT_EQ(e.state.edited, before);
  EXPECT_EQ(e.LastNotice(), "请先选择修改第几人");
}

TEST(Gender, DressesInTheTemplateThenSetsMale) {
  const struct {
    const char* choice;
    const char* tag;  // as the block writes it
    Gender gender;
    const char* male;
  } cases[] = {
      {"男性", "Male", Gender::Male, "true"},
      {"男性", "MALE", Gender::Male, "true"},
      {"女性", "male", Gender::Female, "false"},
  };
  for (const auto& c : cases) {
    BlockFields f;
    f.maleTag = c.tag;
    f.male = c.gender == Gender::Male ? "false" : "true";
    Editor e({PlayerBlock(f)});
    e.ui.Select("modify", "组合框_选择性别", c.choice);
    e.Apply();
    EXPECT_EQ(e.LastNotice(), "修改成功");
    EXPECT_EQ(e.Field("<BodyPartInfoId>", "</BodyPartInfoId>"), BodyTemplate(c.gender));
    EXPECT_NE(e.Block().find(std::string("<Male>") + c.male + "</Male>"), std::string::npos) << c.tag;
    // The slot pictures and remembered ids now describe the template.
    EXPECT_EQ(e.ui.PictureOf("modify", "图片框_上身"), "pictures/slot_present.gif");
    EXPECT_EQ(e.state.slotValues[2], c.gender == Gender::Male ? "609420001" : "619420001");
  }
}

}  // namespace
}  // namespace xl::replay
