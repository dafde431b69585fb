#include "replay/document.h"

#include <algorithm>

#include "platform/files.h"
#include "platform/ui.h"
#include "replay/person_edit.h"
#include "replay/text_ops.h"

namespace xl::replay {
namespace {

constexpr std::string_view kPlayerStart = "\t\t\t<PlayerInfo>";
constexpr std::string_view kPlayerEnd = "\t\t\t</PlayerInfo>";

// Where each loaded block stands in the document: where the split found it, while it still
// stands there; otherwise (the document changed length before it) the first place after
// the previous block that holds the same bytes. Looking on only after the previous block
// keeps two players with identical blocks in their places, and a block never lands inside
// another. Taking the split's place first keeps a short block from landing on equal bytes
// in the markers or text before it.
Result<std::vector<size_t>> FindLoadedBlocks(const ReplayState& state) {
  if (state.edited.size() != state.loaded.size()) return Error{"录像的人物资料不完整，请重新打开录像"};
  const bool placesKnown = state.loadedAt.size() == state.loaded.size();
  const std::string_view text = state.text;
  std::vector<size_t> at;
  at.reserve(state.loaded.size());
  size_t from = 0;
  for (size_t i = 0; i < state.loaded.size(); ++i) {
    const std::string& block = state.loaded[i];
    const size_t was = placesKnown ? state.loadedAt[i] : text.size() + 1;
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
  const std::string_view text = state.text;
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

// Makes the document what was written. Blocks whose edit kept their length are copied over
// in place; otherwise the document is joined anew from the pieces.
void TakeMerged(ReplayState& state, std::vector<size_t> at, const std::vector<std::string_view>& pieces) {
  bool sameLengths = true;
  for (size_t i = 0; i < at.size(); ++i) sameLengths &= state.edited[i].size() == state.loaded[i].size();
  if (sameLengths) {
    for (size_t i = 0; i < at.size(); ++i)
      std::copy(state.edited[i].begin(), state.edited[i].end(),
                state.text.begin() + static_cast<std::ptrdiff_t>(at[i]));
  } else {
    size_t size = 0;
    for (std::string_view p : pieces) size += p.size();
    std::string merged;
    merged.reserve(size);
    for (std::string_view p : pieces) merged.append(p);
    state.text = std::move(merged);
    size_t shift = 0;  // growth of the blocks before; unsigned, so a shrink wraps around and still adds up
    for (size_t i = 0; i < at.size(); ++i) {
      at[i] += shift;
      shift += state.edited[i].size() - state.loaded[i].size();
    }
  }
  state.loaded = state.edited;
  state.loadedAt = std::move(at);
}

}  // namespace

Result<std::string> ReadReplayFile(std::string_view path) {
  Result<std::string> bytes = fs::ReadWholeFile(path, kMaxReplayBytes);
  if (!bytes && bytes.error().problem == Problem::TooLarge)
    return Error{"录像文件太大（超过 64 MiB），不是正常的录像", Problem::TooLarge};
  return bytes;
}

void OpenReplay(ReplayState& state, std::string bytes, std::string path) {
  state.path = std::move(path);
  state.savedBytes = bytes;
  state.text = std::move(bytes);
  state.edited.clear();
  state.loaded.clear();
  state.loadedAt.clear();
  state.currentPerson = 0;
  state.slotValues = {};
  state.avatarCodes = {};
  state.backupKept = false;
}

void SplitPlayers(ReplayState& state, Ui* ui) {
  // The blocks are taken and put in place before any message is let through. A handler
  // that runs while messages are pumped (a stage edit, another player-count change) then
  // finds blocks that match the document, and whatever it changes stays changed: nothing
  // of this split is left to overwrite it afterwards.
  state.loaded = TakeAllBetween(state.text, kPlayerStart, kPlayerEnd, nullptr, &state.loadedAt);
  state.edited = state.loaded;
  if (!ui) return;
  const size_t pumps = 3 * state.loaded.size();
  for (size_t i = 0; i < pumps; ++i) ui->PumpMessages();
}

Status MergeAndWrite(ReplayState& state, std::string_view path) {
  Result<std::vector<size_t>> at = FindLoadedBlocks(state);
  if (!at) return at.error();
  const std::string file(path);

  // Saving never creates a replay: one that vanished since it was opened is reported.
  if (!fs::FileExists(path)) {
    Result<std::string> probe = fs::ReadWholeFile(path, 0);
    return Error{"找不到录像文件 " + file + (probe ? std::string() : "：" + probe.error().message)};
  }
  // The original is kept before the replay is first replaced; a read-only replay is left to
  // the atomic replace to refuse, so no backup is made for a save that cannot happen.
  if (!state.backupKept && !fs::IsReadOnly(path)) {
    if (Status s = fs::ReplaceFileAtomically(file + ".bak", state.savedBytes); !s)
      return Error{"无法保留原录像 " + file + ".bak：" + s.error().message};
    state.backupKept = true;
  }
  const std::vector<std::string_view> pieces = MergedPieces(state, *at);
  if (Status s = fs::ReplaceFileAtomically(path, pieces); !s)
    return Error{"无法写入 " + file + "：" + s.error().message};

  TakeMerged(state, std::move(*at), pieces);
  state.savedBytes = state.text;  // what the file holds now: later edits are measured against it
  return Success();
}

bool Save(ReplayState& state, Ui& ui) {
  if (state.path.empty()) {
    ui.ShowNotice(kModifyWindow, "保存失败：没有打开的录像", kNoticeTitle);
    return false;
  }
  Status saved = MergeAndWrite(state, state.path);
  ui.ShowNotice(kModifyWindow, saved ? std::string("保存成功") : "保存失败：" + saved.error().message, kNoticeTitle);
  return saved.ok();
}

bool HasUnsavedEdits(const ReplayState& state) {
  Result<std::vector<size_t>> at = FindLoadedBlocks(state);
  // Blocks that no longer fit the text cannot be saved, but they are edits all the same.
  if (!at) return state.text != state.savedBytes || state.edited != state.loaded;
  // What a save would write, compared piece by piece without joining it.
  const std::string_view saved = state.savedBytes;
  size_t pos = 0;
  for (std::string_view piece : MergedPieces(state, *at)) {
    if (piece.size() > saved.size() - pos || saved.substr(pos, piece.size()) != piece) return true;
    pos += piece.size();
  }
  return pos != saved.size();
}

}  // namespace xl::replay
