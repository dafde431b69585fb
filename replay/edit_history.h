#pragma once
// The edits of the open replay as a history, so that the latest can be undone, also after
// a save.
//
// Each entry keeps only what was changed: every change of the text as ReplaceInText made
// it (where, the old bytes, the new length), and for each player block that differs
// afterwards the stretch of it that differs, with its old bytes. A stage edit in a replay of
// tens of MiB thus keeps a few bytes. A save's merge is an entry too: undoing past it puts
// the text and the loaded blocks back as they were before the save, which leaves what the
// replay would save unchanged, so that the edits before it can then be undone exactly.
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace xl {
class Ui;
}

namespace xl::replay {

class ReplayState;

// The user's edits that can be undone; an older one is forgotten when a new one comes.
inline constexpr size_t kMaxUndoSteps = 50;

class EditHistory {
 public:
  // What an entry records: an edit of the user's, or a save's merge.
  enum class Kind { Edit, Save };

  // A user's edit is there to be undone, and nothing is being recorded just now.
  bool CanUndo() const { return steps_ > 0 && depth_ == 0; }
  // The number of the user's edits that can be undone.
  size_t Steps() const { return steps_; }
  // The bytes of the replay that the entries keep.
  size_t HeldBytes() const;

  // Recording: everything that changes the state between Begin and End is one entry. Calls
  // made while an entry is being recorded belong to it (an edit that runs while another
  // one lets messages through, a save in the middle of an edit). A save is recorded only
  // when there is an edit to undo past it. An entry that changed nothing is not kept.
  void Begin(const ReplayState& state, Kind kind);
  void End(const ReplayState& state);
  // ReplaceInText, before it changes the text: the `oldBytes` at `pos` are about to become
  // `newLength` other bytes.
  void NoteTextChange(size_t pos, std::string_view oldBytes, size_t newLength);

  // Puts the text, the blocks and the current person back as they were before the latest
  // edit of the user's, reverting the saves made since on the way. False, and nothing
  // changed, when there is none or an entry is being recorded.
  bool Undo(ReplayState& state);
  // Forgets everything, also an entry being recorded (a replay is opened).
  void Clear();

 private:
  // No default member initializers in these: std::optional<Open> would then be taken for
  // not constructible (clang), the class around them being incomplete where it is declared.
  // They are value-initialized instead.
  struct Change {  // `length` bytes at `pos` were `old` before
    size_t pos, length;
    std::string old;
  };
  // The blocks as they were: how many, and for those that differ now, what differs.
  struct BlocksBefore {
    size_t count;
    std::vector<std::pair<size_t, Change>> changed;  // block index, change within it
  };
  struct Entry {
    Kind kind;
    std::vector<Change> text;  // in the order they were made
    BlocksBefore edited, loaded;
    std::vector<size_t> loadedAt;
    // The person being edited before, when the entry changed the edited blocks: undoing it
    // shows the person whose edit was undone.
    std::optional<int> person;
  };
  struct Open {
    Entry entry;
    std::vector<std::string> edited, loaded;  // the blocks when recording began
  };

  static BlocksBefore Compare(const std::vector<std::string>& before, const std::vector<std::string>& now);
  static void Restore(std::vector<std::string>& blocks, BlocksBefore& before);
  void Forget();  // the oldest edit, with the saves up to the next one

  std::deque<Entry> entries_;
  size_t steps_ = 0;          // entries of Kind::Edit
  int depth_ = 0;             // Begin calls not yet ended
  std::optional<Open> open_;  // none while recording what is not kept
};

// A user's edit of the replay, recorded in its history for as long as this lives.
class RecordedEdit {
 public:
  explicit RecordedEdit(ReplayState& state);
  ~RecordedEdit();
  RecordedEdit(const RecordedEdit&) = delete;
  RecordedEdit& operator=(const RecordedEdit&) = delete;

 private:
  ReplayState& state_;
};

// Ctrl+Z and "撤销上一次修改": undoes the latest edit that changed anything, shows the
// current person afresh and says "已撤销上一次修改". With nothing to undo, does nothing.
void UndoLastEdit(ReplayState& state, Ui& ui);

}  // namespace xl::replay
