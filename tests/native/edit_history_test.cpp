// The history of the replay's edits: how much of it is kept, and what is kept when
// nothing changed or the replay was replaced in the middle of an edit. Undoing each kind of
// edit exactly is shown where the edits are made (shell_test, the undo scenario).
#include "replay/edit_history.h"

#include <gtest/gtest.h>

#include "fixtures/temp_folder.h"
#include "platform/files.h"
#include "replay/document.h"
#include "replay/text_ops.h"
#include "tools/fixtures/replay_fixture.h"

namespace xl::replay {
namespace {

TEST(EditHistory, KeepsTheLatestFiftyEditsThatChangedSomething) {
  fixtures::TempFolder folder;
  const std::string path = folder.Sub("a.rcd");
  ASSERT_TRUE(fs::WriteWholeFile(path, fixtures::MakeReplay({.players = 2, .seed = 3})));
  ReplayState state;
  OpenReplay(state, fs::ReadWholeFile(path).value(), path);
  SplitPlayers(state);
  const auto stage = [&](std::string_view id) {
    const RecordedEdit step(state);
    RewriteDocumentField(state, "<StageName>", "</StageName>", id);
  };

  // The oldest edit, and a save of it.
  {
    const RecordedEdit step(state);
    ASSERT_TRUE(RewriteField(state.edited[1], "<GuildLevel>", "</GuildLevel>", "20"));
  }
  ASSERT_TRUE(MergeAndWrite(state, path));
  const std::string saved = state.text();
  stage("ruin");
  EXPECT_EQ(state.history.Steps(), 2u);
  stage("ruin");  // changes nothing: nothing to undo
  EXPECT_EQ(state.history.Steps(), 2u);
  for (int i = 0; i < 49; ++i) stage(i % 2 ? "ruin" : "answer");
  EXPECT_EQ(state.history.Steps(), kMaxUndoSteps);

  for (size_t i = 0; i < kMaxUndoSteps; ++i) ASSERT_TRUE(state.history.Undo(state)) << i;
  EXPECT_FALSE(state.history.Undo(state));
  EXPECT_EQ(state.text(), saved);
  EXPECT_FALSE(HasUnsavedEdits(state));
  EXPECT_EQ(state.history.HeldBytes(), 0u);  // the save went with the edit it saved
}

// Another replay opened while an edit is under way (a drop, taken while the split let
// messages through): the edit belongs to the replay that went, never to the new one.
TEST(EditHistory, AnEditOutlivingItsReplayIsNotKept) {
  ReplayState state;
  OpenReplay(state, fixtures::MakeReplay({.players = 2, .seed = 4}));
  SplitPlayers(state);
  const std::string other = fixtures::MakeReplay({.players = 3, .seed = 5});
  {
    const RecordedEdit step(state);
    RewriteDocumentField(state, "<StageName>", "</StageName>", "ruin");
    OpenReplay(state, other);
    SplitPlayers(state);
  }
  EXPECT_FALSE(state.history.CanUndo());
  EXPECT_FALSE(state.history.Undo(state));
  EXPECT_EQ(state.text(), other);
}

}  // namespace
}  // namespace xl::replay
