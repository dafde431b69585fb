#include "replay/document.h"

#include <algorithm>

#include "platform/files.h"
#include "platform/ui.h"
#include "replay/person_edit.h"

namespace xl::replay {
namespace {

constexpr std::string_view kPlayerStart = "\t\t\t<PlayerInfo>";
constexpr std::string_view kPlayerEnd = "\t\t\t</PlayerInfo>";
constexpr std::string_view kTooLarge = "录像文件太大（超过 64 MiB），不是正常的录像";

// Where each loaded block stands in the document: where it was last known to stand, while
// it still stands there; otherwise the first place after the previous block that holds the
// same bytes. Looking on only after the previous block keeps two players with identical
// blocks in their places, and a block never lands inside another. Taking the known place
// first keeps a short block from landing on equal bytes in the markers or text before it.
Result<std::vector<size_t>> FindLoadedBlocks(const ReplayState& state) {
  if (state.edited.size() != state.loaded.size()) return Error{"录像的人物资料不完整，请重新打开录像"};
  const bool placesKnown = state.loadedAt.size() == state.loaded.size();
  const std::string_view text = state.text();
  std::vector<size_t> at;
  at.reserve(state.loaded.size());
  size_t from = 0;
  for (size_t i = 0; i < state.loaded.size(); ++i) {
    const std::string& block = state.loaded[i];
    const size_t was = placesKnown ? state.loadedAt[i] : kPlaceLost;
    if (was >= from && was <= text.size() && text.substr(was, block.size()) == block) {
      at.push_back(was);
    } else {
      TextPos found = FindText(text, block, static_cast<TextPos>(from) + 1);
      if (found == kNotFound)
        return Error{"第" + std::to_string(i + 1) + "人的资料在录像中找不到了，请重新打开录像后再修改"};
      at.push_back(static_cast<size_t>(found - 1));
    }
    from = at.back() + block.size();
  }
  return at;
}

// The merged document as pieces: the text between the blocks, and each edited block in
// the place of its loaded one. Written out piece by piece, it never has to be joined.
std::vector<std::string_view> MergedPieces(const ReplayState& state, const std::vector<size_t>& at) {
  const std::string_view text = state.text();
  std::vector<std::string_view> pieces;
  pieces.reserve(2 * at.size() + 1);
  size_t copied = 0;
  for (size_t i = 0; i < at.size(); ++i) {
    pieces.push_back(text.substr(copied, at[i] - copied));
    pieces.push_back(state.edited[i]);
    copied = at[i] + state.loaded[i].size();
  }
  pieces.push_back(text.substr(copied));
  return pieces;
}

size_t TotalSize(const std::vector<std::string_view>& pieces) {
  size_t size = 0;
  for (std::string_view p : pieces) size += p.size();
  return size;
}

// Compares bytes that arrive a piece at a time with a sequence of expected pieces.
class PieceMatcher {
 public:
  explicit PieceMatcher(std::vector<std::string_view> expected) : expected_(std::move(expected)) {}
  // False as soon as the bytes taken so far are not how the expected ones begin.
  bool Take(std::string_view bytes) {
    while (!bytes.empty()) {
      if (AtEnd()) return false;
      std::string_view& next = expected_[next_];
      const size_t n = std::min(next.size(), bytes.size());
      if (next.substr(0, n) != bytes.substr(0, n)) return false;
      next.remove_prefix(n);
      bytes.remove_prefix(n);
    }
    return true;
  }
  bool AtEnd() {
    while (next_ < expected_.size() && expected_[next_].empty()) ++next_;
    return next_ == expected_.size();
  }

 private:
  std::vector<std::string_view> expected_;
  size_t next_ = 0;
};

// Whether the pieces, one after the other, are what the file held when it was last opened
// or saved.
bool SameAsSaved(const ReplayState& state, const std::vector<std::string_view>& pieces) {
  if (std::optional<std::vector<std::string_view>> saved = state.savedBytes()) {
    PieceMatcher matcher(std::move(*saved));
    for (std::string_view piece : pieces)
      if (!matcher.Take(piece)) return false;
    return matcher.AtEnd();
  }
  return TotalSize(pieces) == state.savedDigest().size && DigestOf(pieces) == state.savedDigest();
}

// Whether the file still holds what it held when it was opened or last saved. It is read a
// piece at a time, never whole, and compared with those bytes or, once only their digest
// is kept, read through the hash.
Result<bool> FileUnchanged(const ReplayState& state, std::string_view path) {
  std::optional<std::vector<std::string_view>> saved = state.savedBytes();
  const bool compare = saved.has_value();
  const std::uint64_t expected = compare ? TotalSize(*saved) : state.savedDigest().size;
  PieceMatcher matcher(compare ? std::move(*saved) : std::vector<std::string_view>{});
  Sha256 hash;
  std::uint64_t size = 0, read = 0;
  Status status = fs::ReadInPieces(
      path,
      [&](std::string_view piece) {
        if (size != expected || read + piece.size() > expected) return false;
        read += piece.size();
        if (compare) return matcher.Take(piece);
        hash.Add(piece);
        return true;
      },
      &size);
  if (!status) return status.error();
  if (size != expected || read != expected) return false;
  return compare ? matcher.AtEnd() : hash.Finish() == state.savedDigest().sha256;
}

// Makes the document what was written: the stretch from the first edited block to the last
// becomes the edited blocks with the text between them, in one change.
void TakeMerged(ReplayState& state, std::vector<size_t> at) {
  size_t first = at.size(), last = 0;
  for (size_t i = 0; i < at.size(); ++i) {
    if (state.edited[i] == state.loaded[i]) continue;
    first = std::min(first, i);
    last = i;
  }
  if (first < at.size()) {
    const std::string_view text = state.text();
    std::string merged;
    for (size_t i = first; i <= last; ++i) {
      merged += state.edited[i];
      const size_t end = at[i] + state.loaded[i].size();
      if (i < last) merged.append(text.substr(end, at[i + 1] - end));
    }
    ReplaceInText(state, at[first], at[last] + state.loaded[last].size() - at[first], merged);
  }
  size_t shift = 0;  // growth of the blocks before; unsigned, so a shrink wraps around and still adds up
  for (size_t i = 0; i < at.size(); ++i) {
    at[i] += shift;
    shift += state.edited[i].size() - state.loaded[i].size();
  }
  state.loaded = state.edited;
  state.loadedAt = std::move(at);
}

}  // namespace

Result<std::string> ReadReplayFile(std::string_view path) {
  Result<std::string> bytes = fs::ReadWholeFile(path, kMaxReplayBytes, kSpareBytes);
  if (!bytes && bytes.error().problem == Problem::TooLarge) return Error{std::string(kTooLarge), Problem::TooLarge};
  return bytes;
}

void ReplayState::MarkSaved() {
  textChanged_ = false;
  digestOnly_ = false;
  savedFrom_ = savedTo_ = 0;
  std::string().swap(savedStretch_);
}

void ReplayState::KeepSavedBytes(size_t pos, size_t length) {
  if (!textChanged_) {
    textChanged_ = true;
    savedFrom_ = savedTo_ = pos;
  }
  if (digestOnly_) return;
  // The stretch grows to take in the bytes about to change; those outside it are still the
  // file's own.
  const size_t from = std::min(savedFrom_, pos), to = std::max(savedTo_, pos + length);
  const size_t kept = (savedFrom_ - from) + savedStretch_.size() + (to - savedTo_);
  if (kept > kMaxSavedStretch) {
    savedDigest_ = DigestOf(*savedBytes());
    digestOnly_ = true;
    std::string().swap(savedStretch_);
    return;
  }
  std::string stretch;
  stretch.reserve(kept);
  stretch.append(text_, from, savedFrom_ - from).append(savedStretch_).append(text_, savedTo_, to - savedTo_);
  savedStretch_ = std::move(stretch);
  savedFrom_ = from;
  savedTo_ = to;
}

std::optional<std::vector<std::string_view>> ReplayState::savedBytes() const {
  if (digestOnly_) return std::nullopt;
  const std::string_view text = text_;
  if (!textChanged_) return std::vector<std::string_view>{text};
  return std::vector<std::string_view>{text.substr(0, savedFrom_), savedStretch_, text.substr(savedTo_)};
}

void OpenReplay(ReplayState& state, std::string bytes, std::string path) {
  state.path = std::move(path);
  state.text_ = std::move(bytes);
  state.MarkSaved();
  state.edited.clear();
  state.loaded.clear();
  state.loadedAt.clear();
  state.currentPerson = 0;
  state.slotValues = {};
  state.avatarCodes = {};
  state.history.Clear();
}

void ReplaceInText(ReplayState& state, size_t pos, size_t length, std::string_view bytes) {
  std::string& text = state.text_;
  if (pos > text.size()) pos = text.size();
  length = std::min(length, text.size() - pos);
  if (std::string_view(text).substr(pos, length) == bytes) return;
  state.history.NoteTextChange(pos, std::string_view(text).substr(pos, length), bytes.size());
  state.KeepSavedBytes(pos, length);

  const size_t size = text.size() - length + bytes.size();
  if (size <= text.capacity()) {
    text.replace(pos, length, bytes);  // in place: the tail moves, nothing is allocated
  } else {
    // Growing a string doubles its room; a document of tens of MiB gets a little instead.
    std::string grown;
    grown.reserve(size + kSpareBytes);
    grown.append(text, 0, pos).append(bytes).append(text, pos + length);
    text.swap(grown);
  }
  if (!state.digestOnly_) state.savedTo_ = state.savedTo_ - length + bytes.size();

  const size_t end = pos + length;
  for (size_t i = 0; i < state.loadedAt.size() && i < state.loaded.size(); ++i) {
    size_t& at = state.loadedAt[i];
    if (at == kPlaceLost || at + state.loaded[i].size() <= pos) continue;
    at = at >= end ? at - length + bytes.size() : kPlaceLost;
  }
}

bool RewriteDocumentField(ReplayState& state, std::string_view openTag, std::string_view closeTag,
                          std::string_view newValue, FieldMode mode) {
  const FieldEdit edit = PlanFieldEdit(state.text(), openTag, closeTag, newValue, mode);
  // From the last to the first, so the places found stay where they are.
  for (auto at = edit.at.rbegin(); at != edit.at.rend(); ++at) ReplaceInText(state, *at, edit.oldLength, edit.element);
  return !edit.at.empty();
}

void SplitPlayers(ReplayState& state, const std::function<void()>& letMessagesThrough) {
  // The blocks are taken and put in place before any message is let through. A handler
  // that runs while messages are pumped (a stage edit, another player-count change) then
  // finds blocks that match the document, and whatever it changes stays changed: nothing
  // of this split is left to overwrite it afterwards.
  state.loaded = TakeAllBetween(state.text(), kPlayerStart, kPlayerEnd, {}, &state.loadedAt);
  state.edited = state.loaded;
  if (!letMessagesThrough) return;
  const size_t pumps = 3 * state.loaded.size();
  for (size_t i = 0; i < pumps; ++i) letMessagesThrough();
}

Result<SaveOutcome> MergeAndWrite(ReplayState& state, std::string_view path, const ConfirmOverwrite& confirmOverwrite) {
  const std::string file(path), backup = file + ".bak";
  // What the save writes, or why it cannot be written at all.
  const auto plan = [&]() -> Result<std::vector<size_t>> {
    Result<std::vector<size_t>> at = FindLoadedBlocks(state);
    if (!at) return at;
    // The program would refuse to open its own file again.
    if (TotalSize(MergedPieces(state, *at)) > kMaxReplayBytes) return Error{std::string(kTooLarge), Problem::TooLarge};
    // Saving never creates a replay: one that vanished since it was opened is reported.
    if (!fs::FileExists(path)) {
      Result<std::string> probe = fs::ReadWholeFile(path, 0);
      return Error{"找不到录像文件 " + file + (probe ? std::string() : "：" + probe.error().message)};
    }
    return at;
  };
  Result<std::vector<size_t>> at = plan();
  if (!at) return at.error();
  // A file that cannot be read cannot be checked, and is not overwritten unchecked.
  Result<bool> unchanged = FileUnchanged(state, path);
  if (!unchanged) return Error{"无法读取 " + file + "：" + unchanged.error().message};
  if (!*unchanged && confirmOverwrite) {
    if (!confirmOverwrite()) return SaveOutcome::Declined;
    if (at = plan(); !at) return at.error();  // the question let other handlers run
  }
  const std::vector<std::string_view> pieces = MergedPieces(state, *at);

  // The file on disk is kept before it is first replaced, unless a backup is there already:
  // that one is the original for good. A read-only replay is left to the atomic replace to
  // refuse, so no backup is made for a save that cannot happen.
  bool backupMade = false;
  if (!fs::IsReadOnly(path)) {
    Result<bool> kept = fs::KeepFileAs(path, backup);
    if (!kept) return Error{"无法保留原录像 " + backup + "：" + kept.error().message};
    backupMade = *kept;
  }
  if (Status s = fs::ReplaceFileAtomically(path, pieces); !s) {
    if (backupMade) (void)fs::DeleteFile(backup);  // a save that failed leaves nothing behind
    return Error{"无法写入 " + file + "：" + s.error().message};
  }

  // The merge is recorded, so that the edits saved by it can still be undone.
  state.history.Begin(state, EditHistory::Kind::Save);
  TakeMerged(state, std::move(*at));
  state.history.End(state);
  state.MarkSaved();  // the text is what the file holds now
  return SaveOutcome::Saved;
}

bool Save(ReplayState& state, Ui& ui) {
  if (state.path.empty()) {
    ui.ShowNotice(kModifyWindow, "保存失败：没有打开的录像", kNoticeTitle);
    return false;
  }
  const ConfirmOverwrite ask = [&ui] {
    return ui.Ask(kModifyWindow, "录像在打开后被其他程序改动过。\r\n要用现在的修改覆盖它吗？", kNoticeTitle, false) ==
           Answer::Yes;
  };
  Result<SaveOutcome> saved = MergeAndWrite(state, state.path, ask);
  if (saved && *saved == SaveOutcome::Declined) return false;  // 否: every edit stays, nothing more is said
  ui.ShowNotice(kModifyWindow, saved ? std::string("保存成功") : "保存失败：" + saved.error().message, kNoticeTitle);
  return saved.ok();
}

bool HasUnsavedEdits(const ReplayState& state) {
  Result<std::vector<size_t>> at = FindLoadedBlocks(state);
  // Blocks that no longer fit the text cannot be saved, but they are edits all the same.
  if (!at) return state.edited != state.loaded || !SameAsSaved(state, {state.text()});
  if (!state.textChanged() && state.edited == state.loaded) return false;
  // What a save would write, measured without joining it.
  return !SameAsSaved(state, MergedPieces(state, *at));
}

}  // namespace xl::replay
