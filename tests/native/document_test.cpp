// The replay document: opening, the split into player blocks, and saving, which must put
// every block back in its own place and never lose or half-write the user's file.
#include "replay/document.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#endif

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
    OpenReplay(state, std::move(ReadReplayFile(path).value()), path);
    SplitPlayers(state);
  }
  fixtures::TempFolder folder;
  std::string path;
  ReplayState state;
};

std::string Nickname(const std::string& block) {
  return HexToBytes(TextBetween(block, "<NameDataBuf>", "</NameDataBuf>"));
}

std::string NewName(int person) { return std::to_string(person) + "号"; }

std::string Joined(const std::optional<std::vector<std::string_view>>& pieces) {
  std::string out;
  for (std::string_view p : pieces.value_or(std::vector<std::string_view>{})) out += p;
  return out;
}

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
  OpenReplay(state, "old");
  ReplaceInText(state, 0, 3, "changed");
  state.currentPerson = 2;
  state.edited = state.loaded = {"x"};
  OpenReplay(state, "new");
  EXPECT_EQ(state.text(), "new");
  EXPECT_FALSE(state.textChanged());
  EXPECT_EQ(state.currentPerson, 0);
  EXPECT_TRUE(state.edited.empty() && state.loaded.empty());
}

// Every change of the text goes through ReplaceInText, which keeps the places of the loaded
// blocks: saving puts each edited block where its loaded one stands.
TEST(ReplayDocument, ChangesOfTheTextMoveTheBlocksBehindThem) {
  const std::string bytes = fixtures::MakeReplay({.players = 3, .seed = 12});
  const size_t stage = bytes.find("<StageName>") + 11, stageLength = bytes.find("</StageName>") - stage;
  OpenedReplay probe(bytes);
  const std::vector<size_t> at = probe.state.loadedAt;
  const size_t second = probe.state.loaded[1].size();
  const struct {
    size_t pos, length;
    std::string bytes;
    std::vector<size_t> expected;
  } cases[] = {
      {stage,
       stageLength,
       "weddingroom003",
       {at[0] + 14 - stageLength, at[1] + 14 - stageLength, at[2] + 14 - stageLength}},
      {at[1], 0, "x", {at[0], at[1] + 1, at[2] + 1}},              // before the second block's first byte
      {at[1] + second, 0, "x", {at[0], at[1], at[2] + 1}},         // right after its last byte
      {at[1] + 5, 3, "", {at[0], kPlaceLost, at[2] - 3}},          // inside it: it no longer stands anywhere known
      {at[1] - 1, 2, "yz", {at[0], kPlaceLost, at[2]}},            // over its first byte
      {stage, stageLength, bytes.substr(stage, stageLength), at},  // the same bytes: nothing changes
  };
  for (const auto& c : cases) {
    OpenedReplay r(bytes);
    const char* buffer = r.state.text().data();
    ReplaceInText(r.state, c.pos, c.length, c.bytes);
    EXPECT_EQ(r.state.loadedAt, c.expected) << c.pos << " " << c.bytes;
    EXPECT_EQ(r.state.text(), std::string(bytes).replace(c.pos, c.length, c.bytes));
    EXPECT_EQ(r.state.text().data(), buffer);  // edited in place, in the room kept at opening
    EXPECT_EQ(r.state.textChanged(), c.expected != at);
    EXPECT_EQ(Joined(r.state.savedBytes()), bytes);  // what the file holds, kept without a copy
  }

  // Changes far apart: the old bytes between them are kept, up to a point; past it only
  // their digest.
  const std::string large = fixtures::MakeReplay({.players = 3, .seed = 12, .bytes = 2 * kMaxSavedStretch});
  OpenedReplay far(large);
  ReplaceInText(far.state, stage, stageLength, "weddingroom003");
  ReplaceInText(far.state, kMaxSavedStretch / 2, 1, "xy");
  EXPECT_EQ(Joined(far.state.savedBytes()), large);
  ReplaceInText(far.state, far.state.text().size(), 0, "\r\n");
  EXPECT_FALSE(far.state.savedBytes());
  EXPECT_EQ(far.state.savedDigest(), DigestOf(large));

  // A change undone by hand leaves nothing to save.
  OpenedReplay r(bytes);
  ASSERT_TRUE(RewriteDocumentField(r.state, "<StageName>", "</StageName>", "ruin"));
  EXPECT_TRUE(HasUnsavedEdits(r.state));
  ReplaceInText(r.state, stage, 4, bytes.substr(stage, stageLength));
  EXPECT_EQ(r.state.text(), bytes);
  EXPECT_TRUE(r.state.textChanged());
  EXPECT_FALSE(HasUnsavedEdits(r.state));
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
  const std::string second = TakeAllBetween(bytes, "\t\t\t<PlayerInfo>", "\t\t\t</PlayerInfo>")[1];
  bytes = ReplaceText(bytes, second, first, 1, 1);
  OpenedReplay r(bytes);
  ASSERT_EQ(r.state.edited.size(), 3u);
  ASSERT_EQ(r.state.edited[0], r.state.edited[1]);

  const struct {
    std::vector<int> edit;  // the persons given new nicknames
    bool placesLost;        // as after a change over the blocks: the save searches for them
  } cases[] = {{{2}, false}, {{1}, false}, {{2, 3}, false}, {{1, 2, 3}, false}, {{2}, true}, {{2, 3}, true}};
  for (const auto& c : cases) {
    OpenedReplay fresh(bytes);
    if (c.placesLost) fresh.state.loadedAt.assign(3, kPlaceLost);
    for (int person : c.edit)
      ASSERT_TRUE(
          RewriteField(fresh.state.edited[person - 1], "<NameDataBuf>", "</NameDataBuf>", BytesToHex(NewName(person))));
    ASSERT_TRUE(MergeAndWrite(fresh.state, fresh.path));
    auto written = TakeAllBetween(Read(fresh.path), "\t\t\t<PlayerInfo>", "\t\t\t</PlayerInfo>");
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
  const std::string block = TakeAllBetween(afterSecond, "\t\t\t<PlayerInfo>", "\t\t\t</PlayerInfo>")[1];
  EXPECT_EQ(TextBetween(block, "<GuildLevel>", "</GuildLevel>"), "20");
  EXPECT_EQ(TextBetween(block, "<ColorType>", "</ColorType>"), "15");
  EXPECT_EQ(Read(r.path + ".bak"), bytes);  // later saves leave the backup alone

  // The backup is the original for good: a later opening's saves never replace it.
  OpenReplay(r.state, Read(r.path), r.path);
  SplitPlayers(r.state);
  RewriteField(r.state.edited[0], "<ColorType>", "</ColorType>", "16");
  ASSERT_TRUE(MergeAndWrite(r.state, r.path));
  EXPECT_NE(Read(r.path), afterSecond);
  EXPECT_EQ(Read(r.path + ".bak"), bytes);
}

// Another program (the game, a second copy of this one) wrote the replay after it was
// opened: the save asks before overwriting it, also when only the content differs, and a
// declined save writes nothing. An accepted one keeps the file as it is on disk now as the
// backup, since that is what the player had before this program changed it.
TEST(ReplayDocument, AFileChangedByAnotherProgramIsOverwrittenOnlyWhenConfirmed) {
  // What the file held is compared as the text itself (only blocks edited), as the text
  // with the old stage (the stage changed too), or through its digest (changes far apart).
  enum class Kept { Text, Stretch, Digest };
  for (Kept kept : {Kept::Text, Kept::Stretch, Kept::Digest}) {
    const std::string bytes =
        fixtures::MakeReplay({.players = 2, .seed = 13, .bytes = kept == Kept::Digest ? 2 * kMaxSavedStretch : 0});
    std::string sameSize = bytes;
    sameSize[sameSize.size() / 2] ^= 1;
    const struct {
      std::string onDisk;
      bool changed;
    } cases[] = {{bytes, false}, {sameSize, true}, {bytes + "\r\n", true}};
    for (bool overwrite : {false, true}) {
      for (const auto& c : cases) {
        OpenedReplay r(bytes);
        RewriteField(r.state.edited[0], "<BadgeType>", "</BadgeType>", "32");
        if (kept != Kept::Text) {
          ASSERT_TRUE(RewriteDocumentField(r.state, "<StageName>", "</StageName>", "weddingroom003"));
        }
        if (kept == Kept::Digest) ReplaceInText(r.state, r.state.text().size(), 0, "\r\n");
        ASSERT_EQ(r.state.savedBytes().has_value(), kept != Kept::Digest);
        ASSERT_TRUE(fs::WriteWholeFile(r.path, c.onDisk));
        int asked = 0;
        Result<SaveOutcome> saved = MergeAndWrite(r.state, r.path, [&] {
          ++asked;
          return overwrite;
        });
        ASSERT_TRUE(saved);
        EXPECT_EQ(asked, c.changed ? 1 : 0) << c.onDisk.size() << " bytes, kept as " << static_cast<int>(kept);
        if (c.changed && !overwrite) {
          EXPECT_EQ(*saved, SaveOutcome::Declined);
          EXPECT_EQ(Read(r.path), c.onDisk);
          EXPECT_FALSE(fs::FileExists(r.path + ".bak"));
          EXPECT_TRUE(HasUnsavedEdits(r.state));
        } else {
          EXPECT_EQ(*saved, SaveOutcome::Saved);
          EXPECT_EQ(Read(r.path + ".bak"), c.onDisk);
          EXPECT_EQ(Read(r.path), r.state.text());
          EXPECT_EQ(TextBetween(TakeAllBetween(r.state.text(), "\t\t\t<PlayerInfo>", "\t\t\t</PlayerInfo>")[0],
                                "<BadgeType>", "</BadgeType>"),
                    "32");
          EXPECT_FALSE(HasUnsavedEdits(r.state));
        }
      }
    }
  }
}

TEST(ReplayDocument, AFailedSaveLeavesFileAndStateAsTheyWere) {
  const std::string bytes = fixtures::MakeReplay({.players = 2, .seed = 9});
  enum class Fault { ReadOnly, Vanished, BlockGone, TooLarge };
  for (Fault fault : {Fault::ReadOnly, Fault::Vanished, Fault::BlockGone, Fault::TooLarge}) {
    OpenedReplay r(bytes);
    RewriteField(r.state.edited[0], "<BadgeType>", "</BadgeType>", "32");
    if (fault == Fault::ReadOnly) {
      ASSERT_TRUE(fs::SetReadOnly(r.path, true));
    } else if (fault == Fault::Vanished) {
      ASSERT_TRUE(fs::DeleteFile(r.path));
    } else if (fault == Fault::BlockGone) {
      ReplaceInText(r.state, r.state.text().find("<pst>2</pst>"), 12, "<pst>7</pst>");
    } else {
      // The result would pass what the program opens: refused before anything is written.
      const size_t room = kMaxReplayBytes - r.state.text().size();
      ReplaceInText(r.state, r.state.text().size(), 0, std::string(room + 1, '\0'));
    }
    const ReplayState before = r.state;

    Result<SaveOutcome> saved = MergeAndWrite(r.state, r.path);
    ASSERT_FALSE(saved) << static_cast<int>(fault);
    EXPECT_FALSE(saved.error().message.empty());
    if (fault == Fault::TooLarge) {
      EXPECT_EQ(saved.error().message, "录像文件太大（超过 64 MiB），不是正常的录像");
    }
    EXPECT_EQ(r.state.text(), before.text());
    EXPECT_EQ(r.state.edited, before.edited);
    EXPECT_EQ(r.state.loaded, before.loaded);
    EXPECT_TRUE(HasUnsavedEdits(r.state));  // closing still asks, also when the blocks no longer fit
    EXPECT_FALSE(fs::FileExists(r.path + ".bak"));
    EXPECT_FALSE(fs::FileExists(r.path + ".saving"));
    if (fault == Fault::Vanished) {
      EXPECT_FALSE(fs::FileExists(r.path));  // saving never brings a deleted replay back
    } else {
      EXPECT_EQ(Read(r.path), bytes);
    }
  }
}

#ifndef _WIN32
// A save cut off at any moment (the program killed, the machine switched off) leaves the
// replay whole, its old bytes or its new ones, and the backup absent or the original. A
// child process saves a large replay and is killed after a delay that runs from its start
// to past its end. Whatever temporary file a killed save leaves is replaced by the next
// save and gone after it.
TEST(ReplayDocument, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewReplay) {
  fixtures::TempFolder folder;
  const std::string path = folder.Sub("big.rcd"), backup = path + ".bak";
  const std::string original = fixtures::MakeReplay({.players = 8, .seed = 14, .bytes = 4u << 20});
  auto reset = [&] {
    (void)fs::DeleteFile(backup);
    (void)fs::DeleteFile(path);
    ASSERT_TRUE(fs::WriteWholeFile(path, original));
  };
  // The child opens, edits a player and the stage, says it is about to save, and saves.
  // Returns the time from that word to its end.
  auto run = [&](std::chrono::microseconds killAfter) {
    int ready[2];
    EXPECT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      ReplayState state;
      OpenReplay(state, std::move(ReadReplayFile(path).value()), path);
      SplitPlayers(state);
      RewriteField(state.edited[3], "<GuildLevel>", "</GuildLevel>", "20");
      RewriteDocumentField(state, "<StageName>", "</StageName>", "weddingroom003");
      (void)!::write(ready[1], "s", 1);
      ::_exit(MergeAndWrite(state, path) ? 0 : 1);
    }
    char word = 0;
    ::close(ready[1]);
    EXPECT_EQ(::read(ready[0], &word, 1), 1);
    ::close(ready[0]);
    const auto saving = std::chrono::steady_clock::now();
    if (killAfter.count() >= 0) {
      std::this_thread::sleep_for(killAfter);
      ::kill(child, SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (killAfter.count() < 0) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - saving);
  };

  reset();
  const auto whole = run(std::chrono::microseconds(-1));
  const std::string saved = Read(path);
  ASSERT_NE(saved, original);
  constexpr int kKills = 16;
  int old = 0, replaced = 0;
  for (int k = 0; k < kKills; ++k) {
    reset();
    run(whole * k / (kKills - 4));  // the last few land after the end
    const std::string now = Read(path);
    ASSERT_TRUE(now == original || now == saved) << "killed after " << k << "/" << kKills - 4 << " of the save";
    (now == original ? old : replaced)++;
    if (fs::FileExists(backup)) {
      ASSERT_TRUE(Read(backup) == original) << "the backup is not the original";
    }
  }
  std::printf("%d kills found the old replay, %d the new one\n", old, replaced);

  // A temporary file left by a save that was cut off (even one made read-only since) is
  // replaced, and gone afterwards; the list never sees it.
  ASSERT_TRUE(fs::WriteWholeFile(path + ".saving", "left over"));
  ASSERT_TRUE(fs::SetReadOnly(path + ".saving", true));
  ReplayState state;
  OpenReplay(state, Read(path), path);
  SplitPlayers(state);
  RewriteField(state.edited[0], "<GuildLevel>", "</GuildLevel>", "19");
  ASSERT_TRUE(MergeAndWrite(state, path));
  EXPECT_FALSE(fs::FileExists(path + ".saving"));
  EXPECT_EQ(Read(path), state.text());
  EXPECT_EQ(Read(backup), original);
}
#endif

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
  std::string ClipboardText() override { return {}; }
  bool SetClipboardText(std::string_view) override { return false; }
};

TEST(ReplayDocument, SplitLetsMessagesThroughAndKeepsNewerResults) {
  ReplayState state;
  OpenReplay(state, fixtures::MakeReplay({.players = 4, .seed = 10}));
  PumpingUi ui;
  SplitPlayers(state, [&ui] { ui.PumpMessages(); });
  EXPECT_EQ(ui.pumps, 3 * 4);
  ASSERT_EQ(state.edited.size(), 4u);

  // A handler running inside the split replaces the document and splits it itself.
  const std::string other = fixtures::MakeReplay({.players = 2, .seed = 11});
  bool replaced = false;
  ui.onPump = [&] {
    if (replaced) return;
    replaced = true;
    ReplaceInText(state, 0, state.text().size(), other);
    SplitPlayers(state);
  };
  SplitPlayers(state, [&ui] { ui.PumpMessages(); });
  EXPECT_EQ(state.edited.size(), 2u);
  EXPECT_EQ(state.loaded.size(), 2u);
}

}  // namespace
}  // namespace xl::replay
