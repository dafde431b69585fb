#include "replay/document.h"

#include "platform/files.h"
#include "platform/ui.h"
#include "replay/text_ops.h"

namespace xl::replay {
namespace {

constexpr std::string_view kPlayerStart = "\t\t\t<PlayerInfo>";
constexpr std::string_view kPlayerEnd = "\t\t\t</PlayerInfo>";

// The document with every edited block put where its loaded block stands. Each loaded
// block is looked for after the previous one, so two players with identical blocks keep
// their places and a block never lands inside another.
Result<std::string> Merge(const ReplayState& state) {
  if (state.edited.size() != state.loaded.size()) return Error{"录像的人物资料不完整，请重新打开录像"};
  std::string out;
  out.reserve(state.text.size());
  size_t copied = 0;
  for (size_t i = 0; i < state.loaded.size(); ++i) {
    TextPos at = FindText(state.text, state.loaded[i], static_cast<TextPos>(copied) + 1);
    if (at == kNotFound)
      return Error{"第" + std::to_string(i + 1) + "人的资料在录像中找不到了，请重新打开录像后再修改"};
    size_t index = static_cast<size_t>(at - 1);
    out.append(state.text, copied, index - copied).append(state.edited[i]);
    copied = index + state.loaded[i].size();
  }
  out.append(state.text, copied, std::string::npos);
  return out;
}

}  // namespace

Result<std::string> ReadReplayFile(std::string_view path) { return fs::ReadWholeFile(path, kMaxReplayBytes); }

void OpenReplay(ReplayState& state, std::string bytes) {
  state.openedBytes = bytes;
  state.text = std::move(bytes);
  state.edited.clear();
  state.loaded.clear();
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
  state.loaded = TakeAllBetween(state.text, kPlayerStart, kPlayerEnd, nullptr);
  state.edited = state.loaded;
  if (!ui) return;
  const size_t pumps = 3 * state.loaded.size();
  for (size_t i = 0; i < pumps; ++i) ui->PumpMessages();
}

Status MergeAndWrite(ReplayState& state, std::string_view path) {
  Result<std::string> merged = Merge(state);
  if (!merged) return merged.error();
  const std::string file(path);

  // Saving never creates a replay: one that vanished since it was opened is reported.
  if (!fs::FileExists(path)) {
    Result<std::string> probe = fs::ReadWholeFile(path, 0);
    return Error{"找不到录像文件 " + file + (probe ? std::string() : "：" + probe.error().message)};
  }
  // The original is kept before the replay is first replaced; a read-only replay is left to
  // the atomic replace to refuse, so no backup is made for a save that cannot happen.
  if (!state.backupKept && !fs::IsReadOnly(path)) {
    if (Status s = fs::ReplaceFileAtomically(file + ".bak", state.openedBytes); !s)
      return Error{"无法保留原录像 " + file + ".bak：" + s.error().message};
    state.backupKept = true;
  }
  if (Status s = fs::ReplaceFileAtomically(path, *merged); !s)
    return Error{"无法写入 " + file + "：" + s.error().message};

  state.text = std::move(*merged);
  state.loaded = state.edited;
  return Success();
}

}  // namespace xl::replay
