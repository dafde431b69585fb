#pragma once
// The edits of the replay as a whole (stage, spectator flag, number of players) and the
// person chooser that says whom the per-player edits address. The whole-replay edits change
// the document directly; nothing reaches the disk before saving.
#include <string>
#include <string_view>

#include "replay/document.h"

namespace xl {
class Ui;
}

namespace xl::replay {

// The identifier the game writes for a stage's display text ("遗迹" -> "ruin"); empty for a
// text that names no stage.
std::string_view StageId(std::string_view displayText);
// N for the chooser item "第N人" (any N from 1 on), else 0.
int PersonNumber(std::string_view itemText);

// Makes the document hold `count` copies of its first player, the count written into
// <PlayerCount> and the players renumbered (ids 1.., positions 1.., pet ids 11..). All or
// nothing: false, and the document unchanged, when it has no <PlayerCount>, no player list
// or no player to copy. The blocks are not split again here.
bool SetPlayerCount(ReplayState& state, int count);

// Empties and refills 组合框_修改 after splitting the document into player blocks; the
// prompt is selected and nobody is picked: no current person, and the slot and avatar boxes
// without hints or remembered ids, as in a freshly opened window.
void FillChooser(ReplayState& state, Ui& ui);
// Selection change of 组合框_修改: makes the picked person current and fills the per-player
// controls from that person's block.
void PickPerson(ReplayState& state, Ui& ui);
// Fills the per-player controls from the current person's block (cleared when there is none).
void FillPersonControls(ReplayState& state, Ui& ui);
// After the blocks were put back by an undo: 组合框_修改 lists the players of the blocks and
// shows the current person, whose controls are filled as a pick fills them; with no person
// (or one beyond the list) it shows the prompt and the controls are cleared.
void ShowCurrentPerson(ReplayState& state, Ui& ui);
// 超级按钮_舞台场景, 超级按钮_观战, 超级按钮_修改人数.
void ApplyStage(ReplayState& state, Ui& ui);
void ApplySpectator(ReplayState& state, Ui& ui);
void ApplyPlayerCount(ReplayState& state, Ui& ui);

}  // namespace xl::replay
