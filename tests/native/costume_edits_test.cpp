// Costume edits: slot ids, gender templates and companion avatar codes, driven through
// MemoryUi on the real modify window.
#include <gtest/gtest.h>

#include <string>

#include "app/window_defs.h"
#include "fixtures/checked_ui.h"
#include "fixtures/player_block.h"
#include "replay/costume_edits.h"
#include "replay/outfit_code.h"
#include "replay/person_edit.h"
#include "replay/text_ops.h"
#include "resources/resources.h"

namespace xl::replay {
namespace {

using fixtures::BlockFields;
using fixtures::PlayerBlock;

// The modify window on the page that holds `page`'s controls, one replay of `blocks`, the
// first person picked.
struct Editor {
  fixtures::CheckedUi ui{ProgramWindows()};
  ReplayState state;

  explicit Editor(std::vector<std::string> blocks, int page = 0) {
    ui.LoadWindow("modify", true);
    ui.SetPage("modify", "选择夹1", page);
    state.edited = blocks;
    state.loaded = std::move(blocks);
    Pick(1);
  }
  // What the person pick does for the costume: slots and avatar hints from the person's block.
  void Pick(int person) {
    state.currentPerson = person;
    const std::string* block = CurrentBlock(state);
    FillSlots(state, block, ui);
    FillAvatarHints(block, ui);
  }
  std::string& Block() { return state.edited[0]; }
  std::string LastNotice() { return ui.Notices().empty() ? std::string() : ui.Notices().back().text; }
  std::string Slot(int slot) { return TextBetween(Block(), SlotPrefix(slot), "</BodyPartId>"); }
};

TEST(GenderTemplates, ExactTextOfEighteenPairs) {
  const struct {
    Gender gender;
    const char* ids[18];
  } cases[] = {
      {Gender::Male,
       {"100005000", "601403601", "602403501", "603420101", "609420001", "0", "609420001", "107000000", "608411502",
        "0", "0", "0", "0", "0", "0", "0", "0", "0"}},
      {Gender::Female,
       {"110000000", "611403601", "112003001", "613420101", "619420001", "0", "619420001", "117000000", "618411502",
        "0", "0", "0", "0", "0", "0", "0", "0", "0"}},
  };
  const int slots[18] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 13, 14, 15, 16, 17, 20, 21, 24, 32};
  for (const auto& c : cases) {
    std::string expected;
    for (int i = 0; i < 18; ++i) expected += (i ? "\r\n" : "") + fixtures::BodyPartPair(slots[i], c.ids[i]);
    const std::string_view text = BodyTemplate(c.gender);
    EXPECT_EQ(text.size(), 2285u);
    EXPECT_EQ(text, expected);  // CRLF between pairs, nothing before the first or after the last
  }
}

TEST(AvatarCodes, NumbersBecomeLittleEndianHex) {
  const struct {
    std::int64_t n;
    const char* hex;
  } numbers[] = {{0, "0"}, {255, "FF"}, {601403601, "23D8B0D1"}, {4294967295, "FFFFFFFF"}, {-1, ""}};
  for (const auto& c : numbers) EXPECT_EQ(NumberToHex(c.n), c.hex) << c.n;

  EXPECT_EQ(ReverseHexPairs("23D8B0D1"), "D1B0D823");
  EXPECT_EQ(ReverseHexPairs("5F5F488"), "485F5F");  // a group the text lacks adds nothing
  EXPECT_EQ(ReverseHexPairs(""), "");

  const struct {
    std::uint32_t id;
    const char* code;
  } codes[] = {
      {601403601, "D1B0D823"}, {100005000, "88F4F505"}, {0, "00000000"}, {4294967295u, "FFFFFFFF"}, {1, "01000000"}};
  for (const auto& c : codes) EXPECT_EQ(AvatarCode(c.id), c.code) << c.id;

  const std::string data = AvatarData({"11111111", "22222222", "33333333", "44444444", "55555555", "66666666"});
  EXPECT_EQ(data,
            "0000000011111111000000002222222200000000333333330000000044444444"
            "00000000555555550000000066666666" +
                std::string(40, '0'));
  EXPECT_EQ(data.size(), 136u);
}

TEST(CostumeSlots, FillRemembersIdsAndShowsWhichSlotsAreWorn) {
  Editor e({PlayerBlock()});              // slots 0, 2 (id "0"), 3 and 8
  EXPECT_EQ(e.state.slotValues[0], "0");  // 脸型, slot 2: an id of 0 is still worn
  EXPECT_EQ(e.state.slotValues[1], "613420101");
  EXPECT_EQ(e.state.slotValues[2], "");
  EXPECT_EQ(e.state.slotValues[4], "618411502");
  EXPECT_EQ(e.ui.PictureOf("modify", "图片框_脸型"), "pictures/slot_present.gif");
  EXPECT_EQ(e.ui.PictureOf("modify", "图片框_上身"), "pictures/slot_absent.gif");
  EXPECT_EQ(e.ui.PictureOf("modify", "图片框_增加光效"), "pictures/slot_absent.gif");

  e.Pick(0);  // no person: nothing remembered, the pictures as designed
  EXPECT_EQ(e.state.slotValues[1], "");
  EXPECT_EQ(e.ui.PictureOf("modify", "图片框_发型"), "pictures/slot_design.gif");
}

TEST(CostumeSlots, ApplyWritesFilledSlotsAndNamesTheMissingOnes) {
  Editor e({PlayerBlock(), PlayerBlock()});
  const std::string other = e.state.edited[1];
  e.ui.Type("modify", "编辑框_脸型", "602403501");
  e.ui.Type("modify", "编辑框_鞋子", "x608000001");  // the box takes digits only
  ApplySlots(e.state, e.ui);
  EXPECT_EQ(e.LastNotice(), "修改成功");
  EXPECT_EQ(e.Slot(2), "602403501");
  EXPECT_EQ(e.Slot(8), "608000001");
  EXPECT_EQ(e.Slot(3), "613420101");    // empty box: unchanged
  EXPECT_EQ(e.state.edited[1], other);  // only the current person

  // The remembered id follows, so the same slot changes again without a new pick; a slot
  // the person does not wear is named.
  e.ui.Clear("modify", "编辑框_鞋子");
  e.ui.Clear("modify", "编辑框_脸型");
  e.ui.Type("modify", "编辑框_脸型", "7");
  e.ui.Type("modify", "编辑框_上身", "609420001");
  e.ui.Type("modify", "编辑框_增加光效", "1");
  ApplySlots(e.state, e.ui);
  EXPECT_EQ(e.Slot(2), "7");
  EXPECT_EQ(e.LastNotice(), "以下内容未找到，未修改：上身、增加光效");
}

// A slot box refuses a text that is no whole number (an optional "-" and digits), naming the
// first such slot, before any slot is written.
TEST(CostumeSlots, ApplyRefusesTextsThatAreNoWholeNumbers) {
  for (const char* bad : {"-", "--", "1-2", "5-"}) {
    Editor e({PlayerBlock()});
    const std::string before = e.Block();
    e.ui.Type("modify", "编辑框_脸型", "602403501");
    e.ui.Type("modify", "编辑框_鞋子", bad);
    e.ui.Type("modify", "编辑框_增加光效", "1-2");
    ApplySlots(e.state, e.ui);
    EXPECT_EQ(e.LastNotice(), "服饰代码无效：鞋子") << bad;
    EXPECT_EQ(e.Block(), before) << bad;
  }
  Editor e({PlayerBlock()});
  e.ui.Type("modify", "编辑框_鞋子", "-123456789");
  ApplySlots(e.state, e.ui);
  EXPECT_EQ(e.LastNotice(), "修改成功");
  EXPECT_EQ(e.Slot(8), "-123456789");
}

TEST(CostumeSlots, StaleIdNeverCutsALongerOneApart) {
  Editor e({PlayerBlock()});
  e.state.slotValues[4] = "6184";  // no longer what the block holds (618411502)
  const std::string before = e.Block();
  e.ui.Type("modify", "编辑框_鞋子", "1");
  ApplySlots(e.state, e.ui);
  EXPECT_EQ(e.Block(), before);
  EXPECT_EQ(e.LastNotice(), "以下内容未找到，未修改：鞋子");
}

TEST(CostumeSlots, NoPersonPickedChangesNothing) {
  for (int person : {0, 3}) {  // none yet, or beyond the blocks after a player-count change
    Editor e({PlayerBlock(), PlayerBlock()});
    const auto before = e.state.edited;
    e.state.currentPerson = person;
    e.ui.Type("modify", "编辑框_脸型", "5");
    ApplySlots(e.state, e.ui);
    EXPECT_EQ(e.state.edited, before);
    EXPECT_EQ(e.LastNotice(), "请先选择修改第几人");
  }
}

TEST(BodyTemplate, ReplacesTheWholeListOrNothing) {
  std::string block = PlayerBlock();
  ASSERT_TRUE(ApplyBodyTemplate(block, Gender::Female));
  EXPECT_EQ(TextBetween(block, "<BodyPartInfoId>", "</BodyPartInfoId>"), BodyTemplate(Gender::Female));
  EXPECT_EQ(TextBetween(block, SlotPrefix(2), "</BodyPartId>"), "112003001");
  EXPECT_EQ(TextBetween(block, SlotPrefix(7), "</BodyPartId>"), "117000000");

  BlockFields none;
  none.bodyParts.reset();
  const std::string empty = "\r\n\t\t\t\t<BodyPartInfoId></BodyPartInfoId>\r\n";
  for (std::string bare : {PlayerBlock(none), PlayerBlock(none) + empty}) {
    const std::string before = bare;
    EXPECT_FALSE(ApplyBodyTemplate(bare, Gender::Male));
    EXPECT_EQ(bare, before);
  }
}

TEST(Avatar, ApplyConvertsTheFilledBoxesAndKeepsTheCodesOfEmptyOnes) {
  BlockFields f;
  f.avatarData = AvatarData({"11111111", "22222222", "33333333", "44444444", "55555555", "66666666"});
  Editor e({PlayerBlock(f)}, 1);
  e.ui.Type("modify", "编辑框_新宝儿发型", "601403601");
  e.ui.Type("modify", "编辑框_新宝儿背部", "100005000");
  e.ui.Type("modify", "编辑框_新宝儿脚链", "-0");  // 0 takes the item off
  ApplyAvatar(e.state, e.ui);
  EXPECT_EQ(e.LastNotice(), "修改成功");
  const std::string data = TextBetween(e.Block(), "<AvatarData>", "</AvatarData>");
  EXPECT_EQ(data, AvatarData({"D1B0D823", "22222222", "88F4F505", "44444444", "55555555", "00000000"}));
  EXPECT_EQ(data.substr(8, 8), "D1B0D823");
  EXPECT_EQ(e.ui.GetText("modify", "编辑框_新宝儿发型"), "D1B0D823");
  EXPECT_EQ(e.ui.GetText("modify", "编辑框_新宝儿衣服"), "");  // left empty, its code as the hint
  EXPECT_EQ(e.ui.GetHint("modify", "编辑框_新宝儿衣服"), "572662306");

  // Pressing again keeps the codes the boxes show; a newly typed id is converted.
  e.ui.Type("modify", "编辑框_新宝儿左手", "4294967295");
  ApplyAvatar(e.state, e.ui);
  EXPECT_EQ(TextBetween(e.Block(), "<AvatarData>", "</AvatarData>"),
            AvatarData({"D1B0D823", "22222222", "88F4F505", "FFFFFFFF", "55555555", "00000000"}));
}

TEST(Avatar, RefusesIdsOutOfRangeAndWritesNothing) {
  const struct {
    const char* box;
    const char* text;
    const char* notice;
  } cases[] = {
      {"编辑框_新宝儿发型", "-5", "宝儿代码无效：宝儿发型"},
      {"编辑框_新宝儿右手", "4294967296", "宝儿代码无效：宝儿右手"},
      {"编辑框_新宝儿衣服", "99999999999999999999", "宝儿代码无效：宝儿衣服"},
      {"编辑框_新宝儿脚链", "12-3", "宝儿代码无效：宝儿脚链"},
      {"编辑框_新宝儿背部", "-", "宝儿代码无效：宝儿背部"},
  };
  for (const auto& c : cases) {
    Editor e({PlayerBlock()}, 1);
    const std::string before = e.Block();
    e.ui.Type("modify", "编辑框_新宝儿左手", "1");
    e.ui.Type("modify", c.box, c.text);
    ApplyAvatar(e.state, e.ui);
    EXPECT_EQ(e.LastNotice(), c.notice) << c.text;
    EXPECT_EQ(e.Block(), before) << c.text;
    EXPECT_EQ(e.ui.GetText("modify", "编辑框_新宝儿左手"), "1");  // no box converted either
  }
}

TEST(Avatar, ABlockWithoutAvatarDataIsNamed) {
  for (auto value : {std::optional<std::string>(), std::optional<std::string>("")}) {
    BlockFields f;
    f.avatarData = value;
    Editor e({PlayerBlock(f)}, 1);
    const std::string before = e.Block();
    e.ui.Type("modify", "编辑框_新宝儿发型", "1");
    ApplyAvatar(e.state, e.ui);
    EXPECT_EQ(e.Block(), before);
    EXPECT_EQ(e.LastNotice(), "以下内容未找到，未修改：宝儿");
  }
}

// The hints show what the block holds now: slot ids ("未装备" for a slot not worn), and for
// the avatar the id that, typed and applied, writes the same code back.
TEST(Hints, SlotAndAvatarBoxesShowTheCurrentIds) {
  BlockFields f;
  f.avatarData = AvatarData({"D1B0D823", "00000000", "88F4F505", "d1b0d823", "FFFFFFFF", "01000000"});
  Editor e({PlayerBlock(f), PlayerBlock(BlockFields{.avatarData = std::nullopt})});
  EXPECT_EQ(e.ui.GetHint("modify", "编辑框_脸型"), "0");
  EXPECT_EQ(e.ui.GetHint("modify", "编辑框_鞋子"), "618411502");
  EXPECT_EQ(e.ui.GetHint("modify", "编辑框_上身"), "未装备");
  EXPECT_EQ(e.ui.GetText("modify", "编辑框_鞋子"), "");  // no content
  const char* boxes[] = {"编辑框_新宝儿发型", "编辑框_新宝儿衣服", "编辑框_新宝儿背部",
                         "编辑框_新宝儿左手", "编辑框_新宝儿右手", "编辑框_新宝儿脚链"};
  const char* ids[] = {"601403601", "0", "100005000", "", "4294967295", "1"};  // lower case: no id writes it
  for (int i = 0; i < 6; ++i) EXPECT_EQ(e.ui.GetHint("modify", boxes[i]), ids[i]) << boxes[i];

  // An applied slot and avatar show their new ids.
  e.ui.Type("modify", "编辑框_鞋子", "7");
  ApplySlots(e.state, e.ui);
  EXPECT_EQ(e.ui.GetHint("modify", "编辑框_鞋子"), "7");
  e.ui.SetPage("modify", "选择夹1", 1);
  e.ui.Type("modify", "编辑框_新宝儿左手", "256");
  ApplyAvatar(e.state, e.ui);
  EXPECT_EQ(e.ui.GetHint("modify", "编辑框_新宝儿左手"), "256");
  EXPECT_EQ(e.ui.GetHint("modify", "编辑框_新宝儿右手"), "4294967295");  // an empty box kept its code

  // No avatar data, no avatar hints; no person, no hints at all.
  e.Pick(2);
  EXPECT_EQ(e.ui.GetHint("modify", "编辑框_新宝儿发型"), "");
  EXPECT_EQ(e.ui.GetHint("modify", "编辑框_鞋子"), "618411502");
  e.Pick(3);
  EXPECT_EQ(e.ui.GetHint("modify", "编辑框_鞋子"), "");
  EXPECT_EQ(e.ui.GetHint("modify", "编辑框_上身"), "");
}

TEST(CostumeCopy, PasteReplacesTheWholeListAndRefreshesTheSlots) {
  BlockFields worn;
  worn.bodyParts = {{{0, "1"}, {4, "604000001"}, {8, "7"}}};
  BlockFields none;
  none.bodyParts.reset();
  Editor e({PlayerBlock(worn), PlayerBlock(), PlayerBlock(none)});
  std::string copied;
  CopyCostume(e.state, e.ui, copied);
  EXPECT_TRUE(e.ui.Notices().empty());
  EXPECT_EQ(copied, BodyList(e.Block()));

  e.Pick(2);
  const std::string male = TextBetween(e.state.edited[1], "<Male>", "</Male>");
  PasteCostume(e.state, e.ui, copied);
  EXPECT_EQ(e.LastNotice(), "修改成功");
  EXPECT_EQ(BodyList(e.state.edited[1]), copied);
  EXPECT_EQ(TextBetween(e.state.edited[1], "<Male>", "</Male>"), male);
  EXPECT_EQ(e.ui.PictureOf("modify", "图片框_上身"), "pictures/slot_present.gif");
  EXPECT_EQ(e.ui.GetHint("modify", "编辑框_上身"), "604000001");
  EXPECT_EQ(e.ui.GetHint("modify", "编辑框_发型"), "未装备");
  EXPECT_EQ(e.state.slotValues[4], "7");  // a slot edit after the paste finds the pasted id

  // A block without a list: nothing copied over the earlier copy, nothing pasted.
  e.state.currentPerson = 3;
  const std::string bare = e.state.edited[2];
  PasteCostume(e.state, e.ui, copied);
  EXPECT_EQ(e.LastNotice(), "以下内容未找到，未修改：服饰");
  EXPECT_EQ(e.state.edited[2], bare);
  CopyCostume(e.state, e.ui, copied);
  EXPECT_EQ(e.LastNotice(), "以下内容未找到，未复制：服饰");
  EXPECT_EQ(copied, BodyList(e.Block()));

  e.state.currentPerson = 0;
  PasteCostume(e.state, e.ui, copied);
  EXPECT_EQ(e.LastNotice(), "请先选择修改第几人");
}

TEST(OutfitCodes, ReadingTakesOutBlanksAndChecksEveryPair) {
  using K = ReadCode::Kind;
  const struct {
    const char* text;
    K kind;
    OutfitPairs pairs;
  } cases[] = {
      {"星律服饰码 0:100005000,1:601403601,32:-5", K::Valid, {{"0", "100005000"}, {"1", "601403601"}, {"32", "-5"}}},
      // Blanks, tabs, line breaks and full-width spaces anywhere, as chat programs pass codes on.
      {" 星律服饰码\r\n0 : 1 ,\t2:\n3　", K::Valid, {{"0", "1"}, {"2", "3"}}},
      {"星律服饰码 02:-0", K::Valid, {{"02", "-0"}}},  // written as they stand
      {"", K::NotACode, {}},
      {"你好 0:1", K::NotACode, {}},
      {"服饰码 0:1", K::NotACode, {}},
      {"星律服饰码", K::Invalid, {}},
      {"星律服饰码 0:1,", K::Invalid, {}},
      {"星律服饰码 ,0:1", K::Invalid, {}},
      {"星律服饰码 0:", K::Invalid, {}},
      {"星律服饰码 :1", K::Invalid, {}},
      {"星律服饰码 0:-", K::Invalid, {}},
      {"星律服饰码 0:1-", K::Invalid, {}},
      {"星律服饰码 -1:1", K::Invalid, {}},
      {"星律服饰码 a:1", K::Invalid, {}},
      {"星律服饰码 0:1:2", K::Invalid, {}},
      {"星律服饰码 0:1，2:3", K::Invalid, {}},  // a full-width comma is no separator
      {"星律服饰码 0:1,0:2", K::Invalid, {}},
      {"星律服饰码 2:1,02:2", K::Invalid, {}},  // the same slot, written differently
      {"星律服饰码 0:1,00:2", K::Invalid, {}},
  };
  for (const auto& c : cases) {
    const ReadCode read = ReadOutfitCode(c.text);
    EXPECT_EQ(read.kind, c.kind) << c.text;
    EXPECT_EQ(read.pairs, c.pairs) << c.text;
  }
}

TEST(OutfitCodes, CopyPutsTheCodeOnTheClipboardAndPasteLaysItOut) {
  BlockFields worn;
  worn.bodyParts = {{{0, "1"}, {4, "604000001"}, {8, "7"}}};
  BlockFields noPairs;
  noPairs.bodyParts = std::vector<std::pair<int, std::string>>{};
  Editor e({PlayerBlock(worn), PlayerBlock(), PlayerBlock(noPairs)});
  std::string copied;
  CopyCostume(e.state, e.ui, copied);
  EXPECT_EQ(e.ui.ClipboardText(), "星律服饰码 0:1,4:604000001,8:7");

  // A friend's program, which copied nothing itself: the code becomes the list, laid out as
  // the gender templates are.
  e.state.currentPerson = 2;
  const std::string second = e.state.edited[1];
  e.ui.SetClipboardText("星律服饰码 8:9, 0:-1");
  PasteCostume(e.state, e.ui, "");
  EXPECT_EQ(e.LastNotice(), "修改成功");
  EXPECT_EQ(BodyList(e.state.edited[1]), fixtures::BodyPartPair(8, "9") + "\r\n" + fixtures::BodyPartPair(0, "-1"));
  EXPECT_EQ(e.ui.GetHint("modify", "编辑框_鞋子"), "9");

  // A broken code changes nothing, though there is a copy to paste.
  e.state.edited[1] = second;
  e.ui.SetClipboardText("星律服饰码 8:9,8:1");
  PasteCostume(e.state, e.ui, copied);
  EXPECT_EQ(e.LastNotice(), "剪贴板里的服饰码不完整或有误，未修改");
  EXPECT_EQ(e.state.edited[1], second);

  // A list without a single pair has no code: nothing is copied, the clipboard stays.
  e.state.currentPerson = 3;
  const std::string earlier = copied;
  CopyCostume(e.state, e.ui, copied);
  EXPECT_EQ(e.LastNotice(), "以下内容未找到，未复制：服饰");
  EXPECT_EQ(copied, earlier);
  EXPECT_EQ(e.ui.ClipboardText(), "星律服饰码 8:9,8:1");

  // The clipboard held by another program: the copy is made, and the notice says the code
  // did not get there.
  e.state.currentPerson = 2;
  e.ui.SetClipboardBusy(true);
  CopyCostume(e.state, e.ui, copied);
  EXPECT_EQ(copied, BodyList(second));
  EXPECT_EQ(e.LastNotice().rfind("服饰已复制，但剪贴板正被其他程序占用", 0), 0u);
}

}  // namespace
}  // namespace xl::replay
