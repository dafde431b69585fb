// The replay document: opening, the split into player blocks, and saving, which must put
// every block back in its own place and never lose or half-write the user's file.
#include "replay/document.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures/temp_folder.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "replay/text_ops.h"
#include "tools/fixtures/replay_fixture.h"

namespace xl::replay {
namespace {

std::string Read(const std::string& path) { return fs::ReadWholeFile(path).value(); }

// A replay on disk, opened and split as the modify window does it.
struct OpenedReplay {
  explicit OpenedReplay(std::string bytes) : path(folder.Sub("a.rcd")) {
    EXPECT_TRUE(fs::WriteWholeFile(path, bytes));
    OpenReplay(state, ReadReplayFile(path).value());
    SplitPlayers(state, nullptr);
  }
  fixtures::TempFolder folder;
  std::string path;
  ReplayState state;
};

std::string Nickname(const std::string& block) {
  return HexToBytes(TextBetween(block, "<NameDataBuf>", "</NameDataBuf>"));
}

std::string NewName(int person) { return std::to_string(person) + "号"; }

TEST(ReplayDocument, SplitsOneBlockPerPlayer) {
  const auto players = fixtures::FixturePlayers({.players = 3, .seed = 4});
  OpenedReplay r(fixtures::MakeReplay({.players = 3, .seed = 4}));
  ASSERT_EQ(r.state.edited.size(), 3u);
  EXPECT_EQ(r.state.loaded, r.state.edited);
  for (size_t i = 0; i < 3; ++i) {
    const std::string& block = r.state.edited[i];
    EXPECT_EQ(block.substr(0, 2), "\r\n");              // from the line end after the opening tag...
    EXPECT_EQ(block.substr(block.size() - 2), "\r\n");  // ...to the one before the closing tag
    EXPECT_EQ(Nickname(block), players[i].nickname);
  }
}

TEST(ReplayDocument, OpeningStartsAfresh) {
  ReplayState state;
  state.currentPerson = 2;
  state.backupKept = true;
  state.edited = state.loaded = {"x"};
  OpenReplay(state, "new");
  EXPECT_EQ(state.text, "new");
  EXPECT_EQ(state.savedBytes, "new");
  EXPECT_EQ(state.currentPerson, 0);
  EXPECT_FALSE(state.backupKept);
  EXPECT_TRUE(state.edited.empty() && state.loaded.empty());
}

TEST(ReplayDocument, SavingWithoutEditsWritesTheSameBytesZeroBytesIncluded) {
  std::string bytes = fixtures::MakeReplay({.players = 2, .seed = 5});
  bytes.insert(bytes.find("<DanceData>"), std::string("\0\0tail\0", 7));
  bytes += std::string("\0after the end\x81", 15);
  OpenedReplay r(bytes);
  ASSERT_TRUE(MergeAndWrite(r.state, r.path));
  EXPECT_EQ(Read(r.path), bytes);
}

TEST(ReplayDocument, EditsLandInTheirOwnBlocksEvenWhenBlocksAreIdentical) {
  // Three players, the first two identical (as after a player-count change).
  std::string bytes = fixtures::MakeReplay({.players = 3, .seed = 6});
  const std::string first = TextBetween(bytes, "\t\t\t<PlayerInfo>", "\t\t\t</PlayerInfo>");
  const std::string second = TakeAllBetween(bytes, "\t\t\t<PlayerInfo>", "\t\t\t</PlayerInfo>", nullptr)[1];
  bytes = ReplaceText(bytes, second, first, 1, 1);
  OpenedReplay r(bytes);
  ASSERT_EQ(r.state.edited.size(), 3u);
  ASSERT_EQ(r.state.edited[0], r.state.edited[1]);

  const struct {
    std::vector<int> edit;  // the persons given new nicknames
  } cases[] = {{{2}}, {{1}}, {{2, 3}}, {{1, 2, 3}}};
  for (const auto& c : cases) {
    OpenedReplay fresh(bytes);
    for (int person : c.edit)
      ASSERT_TRUE(
          RewriteField(fresh.state.edited[person - 1], "<NameDataBuf>", "</NameDataBuf>", BytesToHex(NewName(person))));
    ASSERT_TRUE(MergeAndWrite(fresh.state, fresh.path));
    auto written = TakeAllBetween(Read(fresh.path), "\t\t\t<PlayerInfo>", "\t\t\t</PlayerInfo>", nullptr);
    ASSERT_EQ(written, fresh.state.edited);
    EXPECT_EQ(written, fresh.state.loaded);
    for (int person : c.edit) EXPECT_EQ(Nickname(written[person - 1]), NewName(person));
  }
}

TEST(ReplayDocument, SaveEditSaveAgainKeepsBothEditsAndTheFirstBackup) {
  const std::string bytes = fixtures::MakeReplay({.players = 2, .seed = 8});
  OpenedReplay r(bytes);
  RewriteField(r.state.edited[1], "<GuildLevel>", "</GuildLevel>", "20");
  ASSERT_TRUE(MergeAndWrite(r.state, r.path));
  EXPECT_EQ(Read(r.path + ".bak"), bytes);
  const std::string afterFirst = Read(r.path);

  RewriteField(r.state.edited[1], "<ColorType>", "</ColorType>", "15");
  ASSERT_TRUE(MergeAndWrite(r.state, r.path));
  const std::string afterSecond = Read(r.path);
  EXPECT_NE(afterSecond, afterFirst);
  const std::string block = TakeAllBetween(afterSecond, "\t\t\t<PlayerInfo>", "\t\t\t</PlayerInfo>", nullptr)[1];
  EXPECT_EQ(TextBetween(block, "<GuildLevel>", "</GuildLevel>"), "20");
  EXPECT_EQ(TextBetween(block, "<ColorType>", "</ColorType>"), "15");
  EXPECT_EQ(Read(r.path + ".bak"), bytes);  // later saves leave the backup alone

  // A new opening keeps the file as it is then.
  OpenReplay(r.state, Read(r.path));
  SplitPlayers(r.state, nullptr);
  ASSERT_TRUE(MergeAndWrite(r.state, r.path));
  EXPECT_EQ(Read(r.path + ".bak"), afterSecond);
}

TEST(ReplayDocument, AFailedSaveLeavesFileAndStateAsTheyWere) {
  const std::string bytes = fixtures::MakeReplay({.players = 2, .seed = 9});
  enum class Fault { ReadOnly, Vanished, BlockGone };
  for (Fault fault : {Fault::ReadOnly, Fault::Vanished, Fault::BlockGone}) {
    OpenedReplay r(bytes);
    RewriteField(r.state.edited[0], "<BadgeType>", "</BadgeType>", "32");
    if (fault == Fault::ReadOnly) {
      ASSERT_TRUE(fs::SetReadOnly(r.path, true));
    } else if (fault == Fault::Vanished) {
      ASSERT_TRUE(fs::DeleteFile(r.path));
    }
    if (fault == Fault::BlockGone) r.state.text = ReplaceText(r.state.text, "<pst>2</pst>", "<pst>7</pst>");
    const ReplayState before = r.state;

    Status saved = MergeAndWrite(r.state, r.path);
    ASSERT_FALSE(saved) << static_cast<int>(fault);
    EXPECT_FALSE(saved.error().message.empty());
    EXPECT_EQ(r.state.text, before.text);
    EXPECT_EQ(r.state.edited, before.edited);
    EXPECT_EQ(r.state.loaded, before.loaded);
    EXPECT_TRUE(HasUnsavedEdits(r.state));  // closing still asks, also when the blocks no longer fit
    EXPECT_FALSE(r.state.backupKept);
    EXPECT_FALSE(fs::FileExists(r.path + ".bak"));
    if (fault == Fault::Vanished) {
      EXPECT_FALSE(fs::FileExists(r.path));  // saving never brings a deleted replay back
    } else {
      EXPECT_EQ(Read(r.path), bytes);
    }
  }
}

TEST(ReplayDocument, RefusesFilesTooLargeToBeReplays) {
  fixtures::TempFolder folder;
  const std::string big = folder.Sub("big.rcd"), limit = folder.Sub("limit.rcd");
  ASSERT_TRUE(fs::WriteWholeFile(big, ""));
  ASSERT_TRUE(fs::WriteWholeFile(limit, ""));
  std::filesystem::resize_file(fs::NativePath(big), kMaxReplayBytes + 1);  // sparse: cheap to make
  std::filesystem::resize_file(fs::NativePath(limit), kMaxReplayBytes);
  EXPECT_FALSE(ReadReplayFile(big));
  EXPECT_TRUE(ReadReplayFile(limit));
  EXPECT_FALSE(ReadReplayFile(folder.Sub("missing.rcd")));
}

// Pumping messages may run other handlers; one that changes the document meanwhile must not
// be overwritten by the split that was under way.
class PumpingUi : public Ui {
 public:
  std::function<void()> onPump;
  int pumps = 0;
  void PumpMessages() override {
    ++pumps;
    if (onPump) onPump();
  }
  void SetEventSink(UiEventSink) override {}
  void LoadWindow(std::string_view, bool) override {}
  bool WindowExists(std::string_view) override { return false; }
  void ShowWindow(std::string_view, bool) override {}
  void DestroyWindow(std::string_view) override {}
  void MinimizeWindow(std::string_view) override {}
  void BeginDrag(std::string_view) override {}
  void EndProgram(int) override {}
  bool IsVisible(std::string_view, std::string_view) override { return false; }
  std::string GetText(std::string_view, std::string_view) override { return {}; }
  void SetText(std::string_view, std::string_view, std::string_view) override {}
  void SetHint(std::string_view, std::string_view, std::string_view) override {}
  std::string GetHint(std::string_view, std::string_view) override { return {}; }
  int GetSelection(std::string_view, std::string_view) override { return -1; }
  void SetSelection(std::string_view, std::string_view, int) override {}
  int ItemCount(std::string_view, std::string_view) override { return 0; }
  std::string ItemText(std::string_view, std::string_view, int) override { return {}; }
  void AddItem(std::string_view, std::string_view, std::string_view) override {}
  void ClearItems(std::string_view, std::string_view) override {}
  void BeginUpdate(std::string_view, std::string_view) override {}
  void EndUpdate(std::string_view, std::string_view) override {}
  void SetPicture(std::string_view, std::string_view, std::string_view) override {}
  void SetPage(std::string_view, std::string_view, int) override {}
  int GetPage(std::string_view, std::string_view) override { return 0; }
  void ShowNotice(std::string_view, std::string_view, std::string_view) override {}
  Answer Ask(std::string_view, std::string_view, std::string_view, bool) override { return Answer::Cancel; }
  std::string BrowseFolder(std::string_view, std::string_view, std::string_view) override { return {}; }
  int ShowMenu(std::string_view, const std::vector<MenuEntry>&) override { return -1; }
  bool ShowInFolder(std::string_view) override { return false; }
};

TEST(ReplayDocument, SplitLetsMessagesThroughAndKeepsNewerResults) {
  ReplayState state;
  OpenReplay(state, fixtures::MakeReplay({.players = 4, .seed = 10}));
  PumpingUi ui;
  SplitPlayers(state, &ui);
  EXPECT_EQ(ui.pumps, 3 * 4);
  ASSERT_EQ(state.edited.size(), 4u);

  // A handler running inside the split replaces the document and splits it itself.
  const std::string other = fixtures::MakeReplay({.players = 2, .seed = 11});
  bool replaced = false;
  ui.onPump = [&] {
    if (replaced) return;
    replaced = true;
    state.text = other;
    SplitPlayers(state, nullptr);
  };
  SplitPlayers(state, &ui);
  EXPECT_EQ(state.edited.size(), 2u);
  EXPECT_EQ(state.loaded.size(), 2u);
}

}  // namespace
}  // namespace xl::replay
