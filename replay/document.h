#pragma once
// The replay being edited: the whole file as it was read, its split into one text per
// player, and what saving needs to put the edited blocks back. Program-wide, one at a time.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace xl {
class Ui;
}

namespace xl::replay {

// Replays are small text files; anything this large is not a replay and is refused.
inline constexpr std::uint64_t kMaxReplayBytes = 64ull << 20;

struct ReplayState {
  std::string path;  // the file that was opened, where saving writes (a program path, GBK)
  std::string text;  // the whole file, zero bytes included: it is written back whole
  // The file as last opened or saved: unsaved edits are measured against it, and the first
  // save keeps it (the file as opened) as NAME.rcd.bak.
  std::string savedBytes;
  std::vector<std::string> edited;         // EditedBlocks, 0-based here: person N is edited[N-1]
  std::vector<std::string> loaded;         // LoadedBlocks, as taken from `text` at the last split
  std::vector<size_t> loadedAt;            // where each loaded block stood in `text` then (0-based)
  int currentPerson = 0;                   // 1-based; 0 until a person is picked
  std::array<std::string, 15> slotValues;  // item ids read at the last pick, slot table order
  std::array<std::string, 6> avatarCodes;  // the companion avatar codes the last apply showed
  bool backupKept = false;                 // NAME.rcd.bak written by the first save after opening
};

// Reads a replay file whole. Refuses files larger than kMaxReplayBytes.
Result<std::string> ReadReplayFile(std::string_view path);
// Makes `bytes`, read from `path`, the current replay (text and savedBytes): blocks and
// stored slot values cleared, no person picked (currentPerson 0), no backup kept yet.
void OpenReplay(ReplayState& state, std::string bytes, std::string path = {});

// Fills `edited` and `loaded` from `text` (the "\t\t\t<PlayerInfo>" blocks), then lets `ui`
// process pending messages three times a block (nullptr: no pumping). Handlers that run
// meanwhile find the new blocks in place.
void SplitPlayers(ReplayState& state, Ui* ui);

// True when "保存" would write bytes other than the file's as last opened or saved: an edit
// that changed nothing leaves none. Blocks that no longer fit the text (the save would be
// refused) count as unsaved edits when anything was edited, so they are never dropped unasked.
bool HasUnsavedEdits(const ReplayState& state);

// Puts every edited block where its loaded block stands and writes the whole text to
// `path` atomically; the first save after opening keeps the opened bytes as path + ".bak".
// On any failure nothing is written and the state is as it was.
Status MergeAndWrite(ReplayState& state, std::string_view path);

// 超级按钮_总保存: merges the player blocks and replaces the file that was opened, wherever it
// came from (the list, the program's argument, a drop). Tells the user how it went; true
// when it was saved.
bool Save(ReplayState& state, Ui& ui);

}  // namespace xl::replay
