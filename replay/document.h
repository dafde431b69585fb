#pragma once
// The replay being edited: the whole file as it was read, its split into one text per
// player, and what saving needs to put the edited blocks back. Program-wide, one at a time.
//
// The document is held once, and edited in place; every change of it goes through
// ReplaceInText. What the file held when it was opened or last saved is not kept as a second
// copy: it is the text with the old bytes of the one stretch changed since, or, once that
// stretch has grown past kMaxSavedStretch, only their size and SHA-256. Either tells whether
// there are unsaved edits and whether another program changed the file meanwhile.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"
#include "platform/sha256.h"
#include "replay/edit_history.h"
#include "replay/text_ops.h"

namespace xl {
class Ui;
}

namespace xl::replay {

// Replays are small text files; anything this large is not a replay and is neither opened
// nor written.
inline constexpr std::uint64_t kMaxReplayBytes = 64ull << 20;
// Room kept behind the opened text, so that a stage of another length, a player-count
// change or a save whose blocks grew edits it in place instead of copying it.
inline constexpr size_t kSpareBytes = 64u << 10;
// The most of the file's old bytes kept for the stretch of the text changed since it was
// opened or saved (the stage and the player list: a few KiB); beyond it, their digest.
inline constexpr size_t kMaxSavedStretch = 1u << 20;

class ReplayState;
void OpenReplay(ReplayState& state, std::string bytes, std::string path);
void ReplaceInText(ReplayState& state, size_t pos, size_t length, std::string_view bytes);
enum class SaveOutcome { Saved, Declined };
// Asked when the file on disk no longer holds what was last opened or saved (another
// program wrote it); true lets the save overwrite it.
using ConfirmOverwrite = std::function<bool()>;
Result<SaveOutcome> MergeAndWrite(ReplayState& state, std::string_view path, const ConfirmOverwrite& confirmOverwrite);

class ReplayState {
 public:
  std::string path;  // the file that was opened, where saving writes (a program path, GBK)
  // The whole file, zero bytes included: it is written back whole. Changed only by
  // OpenReplay and ReplaceInText.
  const std::string& text() const { return text_; }
  // The text was changed since the file was opened or last saved (perhaps back to what it
  // was). Until it is, the text is what the file held then.
  bool textChanged() const { return textChanged_; }
  // What the file held when it was last opened or saved, as pieces: the text before the
  // changed stretch, the stretch's old bytes, the text after it. Nothing once only the
  // digest of those bytes is kept (savedDigest).
  std::optional<std::vector<std::string_view>> savedBytes() const;
  const ContentDigest& savedDigest() const { return savedDigest_; }
  std::vector<std::string> edited;  // EditedBlocks, 0-based here: person N is edited[N-1]
  std::vector<std::string> loaded;  // LoadedBlocks, as taken from the text at the last split
  // Where each loaded block stands in the text (0-based), kept up to date by ReplaceInText;
  // kPlaceLost for a block that a change of the text overlapped.
  std::vector<size_t> loadedAt;
  int currentPerson = 0;                   // 1-based; 0 until a person is picked
  std::array<std::string, 15> slotValues;  // item ids read at the last pick, slot table order
  std::array<std::string, 6> avatarCodes;  // the companion avatar codes the last apply showed
  EditHistory history;                     // the edits since opening, to be undone

 private:
  std::string text_;
  bool textChanged_ = false;
  // Since the text changed: the stretch [savedFrom_, savedTo_) of the text held
  // savedStretch_ in the file, until the digest replaces them (digestOnly_).
  size_t savedFrom_ = 0, savedTo_ = 0;
  std::string savedStretch_;
  bool digestOnly_ = false;
  ContentDigest savedDigest_;
  // The text is what the file holds: nothing is kept of older bytes.
  void MarkSaved();
  // Before the `length` bytes at `pos` change: what the file held there is kept.
  void KeepSavedBytes(size_t pos, size_t length);

  friend void OpenReplay(ReplayState&, std::string, std::string);
  friend void ReplaceInText(ReplayState&, size_t, size_t, std::string_view);
  friend Result<SaveOutcome> MergeAndWrite(ReplayState&, std::string_view, const ConfirmOverwrite&);
};

inline constexpr size_t kPlaceLost = static_cast<size_t>(-1);

// Reads a replay file whole, into a buffer of its size plus kSpareBytes of room. Refuses
// files larger than kMaxReplayBytes.
Result<std::string> ReadReplayFile(std::string_view path);
// Makes `bytes`, read from `path`, the current replay: blocks and stored slot values
// cleared, no person picked (currentPerson 0), no change of the text yet, no history.
void OpenReplay(ReplayState& state, std::string bytes, std::string path = {});

// The one place where the text of the replay changes: the `length` bytes at 0-based `pos`
// become `bytes` (pos + length must not pass the end). Every change of the text goes through
// it, once for each contiguous stretch: the stage and the spectator flag (one call per
// element rewritten), the player count (the list, the count, then each renumbered element),
// and the save's merge (one call from the first edited block to the last, made only after
// the file was written). One user action may thus call it several times. A history of
// changes can be kept here, each as (pos, the old bytes text().substr(pos, length), the new
// length bytes.size()); replacing bytes.size() bytes at pos with the old ones, latest
// first, undoes them: the history does so (EditHistory::NoteTextChange). Edits of a player's
// block change `edited` only and reach the text through the save's merge; after a merge
// `loaded` equals `edited`.
//  - A change that leaves the bytes as they are does nothing (and is not recorded).
//  - Loaded blocks behind the change move with it (loadedAt); a block it overlaps gets
//    kPlaceLost, and saving then looks for it after the previous block. The blocks
//    themselves (edited, loaded) are never touched here.
//  - The old bytes are added to the stretch kept of what the file held (savedBytes); once
//    that would pass kMaxSavedStretch, only their size and SHA-256 are kept. textChanged
//    is set. HasUnsavedEdits compares bytes, so changes undone by hand leave none; a save
//    clears textChanged (the text is then what the file holds).
//  - The text is edited in place, so it is copied only when it outgrows the room reserved
//    at opening, and then gets kSpareBytes of room again: references into text() do not
//    survive a call.
void ReplaceInText(ReplayState& state, size_t pos, size_t length, std::string_view bytes);

// RewriteField over the whole document: each element it rewrites is one ReplaceInText.
bool RewriteDocumentField(ReplayState& state, std::string_view openTag, std::string_view closeTag,
                          std::string_view newValue, FieldMode mode = {});

// Fills `edited` and `loaded` from the text (the "\t\t\t<PlayerInfo>" blocks), then calls
// `letMessagesThrough` three times a block (empty: never). Handlers that run meanwhile find
// the new blocks in place.
void SplitPlayers(ReplayState& state, const std::function<void()>& letMessagesThrough = {});

// True when "保存" would write bytes other than the file's as last opened or saved: an edit
// that changed nothing leaves none. Blocks that no longer fit the text (the save would be
// refused) count as unsaved edits when anything was edited, so they are never dropped unasked.
bool HasUnsavedEdits(const ReplayState& state);

// Puts every edited block where its loaded block stands and writes the whole text to
// `path` atomically. A result over kMaxReplayBytes, a block that cannot be found, a file
// that vanished are refused before anything is written; a file changed by another program
// is overwritten only when `confirmOverwrite` says so (empty: without asking), else the
// outcome is Declined and nothing is written. The first save of a replay without
// path + ".bak" keeps the file on disk there first; an existing one is never touched. On
// any failure nothing is written and the state is as it was.
Result<SaveOutcome> MergeAndWrite(ReplayState& state, std::string_view path,
                                  const ConfirmOverwrite& confirmOverwrite = {});

// 超级按钮_总保存: merges the player blocks and replaces the file that was opened, wherever it
// came from (the list, the program's argument, a drop), asking first when another program
// changed it. Tells the user how it went (nothing more after a 否); true when it was saved.
bool Save(ReplayState& state, Ui& ui);

}  // namespace xl::replay
