#include "replay/edit_history.h"

#include <algorithm>

#include "platform/ui.h"
#include "replay/document.h"
#include "replay/person_edit.h"
#include "replay/scene_edits.h"

namespace xl::replay {

size_t EditHistory::HeldBytes() const {
  size_t bytes = 0;
  for (const Entry& e : entries_) {
    for (const Change& c : e.text) bytes += c.old.size();
    for (const BlocksBefore* blocks : {&e.edited, &e.loaded})
      for (const auto& [index, c] : blocks->changed) bytes += c.old.size();
    bytes += e.loadedAt.size() * sizeof(size_t);
  }
  return bytes;
}

void EditHistory::Begin(const ReplayState& state, Kind kind) {
  if (depth_++ > 0) return;
  if (kind == Kind::Save && steps_ == 0) return;  // nothing to undo past it
  open_.emplace();
  open_->entry.kind = kind;
  open_->entry.person = state.currentPerson;
  open_->entry.loadedAt = state.loadedAt;
  open_->edited = state.edited;
  open_->loaded = state.loaded;
}

// Each block that differs now keeps only the stretch between the bytes it still shares
// with its old self at either end: a changed slot id costs the old id.
EditHistory::BlocksBefore EditHistory::Compare(const std::vector<std::string>& before,
                                               const std::vector<std::string>& now) {
  BlocksBefore blocks{before.size(), {}};
  for (size_t i = 0; i < before.size(); ++i) {
    const std::string_view was = before[i], is = i < now.size() ? std::string_view(now[i]) : std::string_view();
    if (was == is) continue;
    const size_t most = std::min(was.size(), is.size());
    size_t head = 0, tail = 0;
    while (head < most && was[head] == is[head]) ++head;
    while (tail < most - head && was[was.size() - 1 - tail] == is[is.size() - 1 - tail]) ++tail;
    blocks.changed.push_back(
        {i, Change{head, is.size() - head - tail, std::string(was.substr(head, was.size() - head - tail))}});
  }
  return blocks;
}

void EditHistory::Restore(std::vector<std::string>& blocks, BlocksBefore& before) {
  blocks.resize(before.count);
  for (auto& [index, c] : before.changed) blocks[index].replace(c.pos, c.length, c.old);
}

void EditHistory::End(const ReplayState& state) {
  // No depth left: the history was cleared meanwhile (another replay was opened).
  if (depth_ == 0 || --depth_ > 0 || !open_) return;
  Open open = std::move(*open_);
  open_.reset();
  Entry& e = open.entry;
  e.edited = Compare(open.edited, state.edited);
  e.loaded = Compare(open.loaded, state.loaded);
  const bool personsChanged = open.edited.size() != state.edited.size() || !e.edited.changed.empty();
  if (!personsChanged) e.person.reset();
  const bool changed = !e.text.empty() || personsChanged || open.loaded.size() != state.loaded.size() ||
                       !e.loaded.changed.empty() || e.loadedAt != state.loadedAt;
  if (!changed) return;
  const bool edit = e.kind == Kind::Edit;
  entries_.push_back(std::move(e));
  if (!edit) return;
  ++steps_;
  while (steps_ > kMaxUndoSteps) Forget();
}

void EditHistory::NoteTextChange(size_t pos, std::string_view oldBytes, size_t newLength) {
  if (open_) open_->entry.text.push_back(Change{pos, newLength, std::string(oldBytes)});
}

// Saves are recorded only after an edit, so the oldest entry is an edit. The saves that
// follow it could only be undone on the way to it.
void EditHistory::Forget() {
  entries_.pop_front();
  --steps_;
  while (!entries_.empty() && entries_.front().kind == Kind::Save) entries_.pop_front();
}

bool EditHistory::Undo(ReplayState& state) {
  if (!CanUndo()) return false;
  while (!entries_.empty()) {
    Entry e = std::move(entries_.back());
    entries_.pop_back();
    // Latest first, each change as it was made: every position is where it was then. No
    // entry is open, so nothing of this is recorded.
    for (auto c = e.text.rbegin(); c != e.text.rend(); ++c) ReplaceInText(state, c->pos, c->length, c->old);
    Restore(state.edited, e.edited);
    Restore(state.loaded, e.loaded);
    state.loadedAt = std::move(e.loadedAt);
    if (e.kind == Kind::Save) continue;
    if (e.person) state.currentPerson = *e.person;
    --steps_;
    return true;
  }
  return false;
}

void EditHistory::Clear() {
  entries_.clear();
  steps_ = 0;
  depth_ = 0;
  open_.reset();
}

RecordedEdit::RecordedEdit(ReplayState& state) : state_(state) {
  state_.history.Begin(state_, EditHistory::Kind::Edit);
}

RecordedEdit::~RecordedEdit() { state_.history.End(state_); }

void UndoLastEdit(ReplayState& state, Ui& ui) {
  if (!state.history.Undo(state)) return;
  ShowCurrentPerson(state, ui);
  ui.ShowNotice(kModifyWindow, "已撤销上一次修改", kNoticeTitle);
}

}  // namespace xl::replay
