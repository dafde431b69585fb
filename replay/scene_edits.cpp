#include "replay/scene_edits.h"

#include "platform/ui.h"
#include "replay/costume_edits.h"
#include "replay/group_edits.h"
#include "replay/identity_edits.h"
#include "replay/person_edit.h"
#include "replay/text_ops.h"

namespace xl::replay {
namespace {

constexpr std::string_view kChooser = "组合框_修改";
constexpr std::string_view kChooserPrompt = "选择修改第几人";
constexpr std::string_view kNone = "无";

constexpr std::string_view kPlayerOpen = "\t\t\t<PlayerInfo>", kPlayerClose = "\t\t\t</PlayerInfo>";
constexpr std::string_view kListOpen = "\t\t<PlayerList>", kListClose = "\t\t</PlayerList>";

struct Stage {
  std::string_view display, id;
};
constexpr Stage kStages[] = {
    {"答题舞台", "answer"}, {"嫦娥月宫", "moonpalace"}, {"社区", "leisure"},       {"中式婚礼", "weddingroom003"},
    {"沙漠", "PVEdesert"},  {"遗迹", "ruin"},           {"魔幻森林", "pveforest"},
};

// The elements equal to the first element of the tag, from the first on, get the values
// first, first + 1, ... in document order; at most eight of them, the rest keep theirs.
// Each search goes on after the element just written, so a new value equal to the old one
// is not taken for the next element.
void Renumber(ReplayState& state, std::string_view open, std::string_view close, int first) {
  const std::string old = Element(open, TextBetween(state.text(), open, close), close);
  TextPos from = 1;
  for (int i = 0; i < 8; ++i) {
    TextPos at = FindText(state.text(), old, from);
    if (at == kNotFound) return;
    const std::string value = Element(open, std::to_string(first + i), close);
    ReplaceInText(state, static_cast<size_t>(at - 1), old.size(), value);
    from = at + static_cast<TextPos>(value.size());
  }
}

// The chooser's items: the prompt, then one "第N人" a block.
void ListPlayers(const ReplayState& state, Ui& ui) {
  ui.ClearItems(kModifyWindow, kChooser);
  ui.BeginUpdate(kModifyWindow, kChooser);
  ui.AddItem(kModifyWindow, kChooser, kChooserPrompt);
  for (size_t i = 1; i <= state.edited.size(); ++i)
    ui.AddItem(kModifyWindow, kChooser, "第" + std::to_string(i) + "人");
  ui.EndUpdate(kModifyWindow, kChooser);
}

}  // namespace

std::string_view StageId(std::string_view displayText) {
  for (const Stage& s : kStages)
    if (s.display == displayText) return s.id;
  return {};
}

int PersonNumber(std::string_view itemText) {
  constexpr std::string_view prefix = "第", suffix = "人";
  if (itemText.size() <= prefix.size() + suffix.size() || itemText.substr(0, prefix.size()) != prefix ||
      itemText.substr(itemText.size() - suffix.size()) != suffix)
    return 0;
  std::string_view digits = itemText.substr(prefix.size(), itemText.size() - prefix.size() - suffix.size());
  int n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9' || n > 100000) return 0;
    n = n * 10 + (c - '0');
  }
  return n;
}

bool SetPlayerCount(ReplayState& state, int count) {
  // Everything is found before anything changes: all or nothing.
  const std::string_view text = state.text();
  const FieldEdit countEdit = PlanFieldEdit(text, "<PlayerCount>", "</PlayerCount>", std::to_string(count));
  if (countEdit.at.empty()) return false;

  // The list is rebuilt from copies of its first player, each on its own lines:
  // "\t\t<PlayerList>\r\n" + ("\t\t\t<PlayerInfo>" + block + "\t\t\t</PlayerInfo>\r\n") * count.
  TextPos listStart = FindText(text, kListOpen);
  if (listStart == kNotFound) return false;
  listStart += static_cast<TextPos>(kListOpen.size());
  const TextPos listEnd = FindText(text, kListClose, listStart);
  const TextPos playerStart = FindText(text, kPlayerOpen, listStart);
  if (listEnd == kNotFound || playerStart == kNotFound || playerStart > listEnd) return false;
  const std::string first = TextBetween(text.substr(static_cast<size_t>(playerStart - 1)), kPlayerOpen, kPlayerClose);
  if (first.empty()) return false;
  // A count element inside the list (no replay has one) would be rewritten and replaced at once.
  const size_t from = static_cast<size_t>(listStart - 1), to = static_cast<size_t>(listEnd - 1);
  for (size_t at : countEdit.at)
    if (at < to && at + countEdit.oldLength > from) return false;

  const std::string unit = Element(kPlayerOpen, first, kPlayerClose) + "\r\n";
  std::string list = "\r\n";
  for (int i = 0; i < count; ++i) list += unit;
  // From the end backwards, so each place found is still where it was.
  bool listDone = false;
  for (auto at = countEdit.at.rbegin(); at != countEdit.at.rend(); ++at) {
    if (!listDone && *at < from) {
      ReplaceInText(state, from, to - from, list);
      listDone = true;
    }
    ReplaceInText(state, *at, countEdit.oldLength, countEdit.element);
  }
  if (!listDone) ReplaceInText(state, from, to - from, list);

  Renumber(state, "<PlayerId>", "</PlayerId>", 1);
  Renumber(state, "<pst>", "</pst>", 1);
  Renumber(state, "<petid>", "</petid>", 11);
  return true;
}

void FillChooser(ReplayState& state, Ui& ui) {
  ui.ClearItems(kModifyWindow, kChooser);
  SplitPlayers(state, [&ui] { ui.PumpMessages(); });
  // The split lets messages through: a handler that ran meanwhile may have split and filled
  // the chooser itself. The list is made afresh from the blocks as they are now.
  ListPlayers(state, ui);
  ui.SetSelection(kModifyWindow, kChooser, 0);
  // The prompt means nobody is picked, as after a new open: no hint, remembered id or slot
  // picture of the previous person is left to mislead an edit of the new blocks.
  state.currentPerson = 0;
  state.avatarCodes = {};
  FillSlots(state, nullptr, ui);
  FillAvatarHints(nullptr, ui);
}

void PickPerson(ReplayState& state, Ui& ui) {
  const std::string item = ui.GetText(kModifyWindow, kChooser);
  if (item == kChooserPrompt) return;
  if (int n = PersonNumber(item); n > 0) state.currentPerson = n;
  FillPersonControls(state, ui);
}

void FillPersonControls(ReplayState& state, Ui& ui) {
  // The per-player controls, in this order, all from the one block: nickname, group name,
  // body-part slots, avatar hints.
  const std::string* block = CurrentBlock(state);
  FillNickname(block, ui);
  FillGroupName(block, ui);
  FillSlots(state, block, ui);
  FillAvatarHints(block, ui);
}

void ShowCurrentPerson(ReplayState& state, Ui& ui) {
  ListPlayers(state, ui);
  const int n = state.currentPerson;
  const bool listed = n >= 1 && static_cast<size_t>(n) <= state.edited.size();
  ui.SetSelection(kModifyWindow, kChooser, listed ? n : 0);
  // The selection's own pick has filled the controls of a listed person already; filling
  // them here as well also clears them when no one is shown.
  FillPersonControls(state, ui);
}

void ApplyStage(ReplayState& state, Ui& ui) {
  const std::string_view id = StageId(ui.GetText(kModifyWindow, "组合框_场景舞台"));
  if (id.empty()) return;  // "无": leave the stage alone, without a word
  bool found = RewriteDocumentField(state, "<StageName>", "</StageName>", id);
  ReportEdit(ui, found ? std::vector<std::string>{} : std::vector<std::string>{"舞台场景"});
}

void ApplySpectator(ReplayState& state, Ui& ui) {
  const std::string choice = ui.GetText(kModifyWindow, "组合框_是否观战");
  if (choice != "是" && choice != "否") return;  // "无"
  bool found = RewriteDocumentField(state, "<Watching>", "</Watching>", choice == "是" ? "true" : "false");
  ReportEdit(ui, found ? std::vector<std::string>{} : std::vector<std::string>{"是否观战"});
}

void ApplyPlayerCount(ReplayState& state, Ui& ui) {
  const std::string choice = ui.GetText(kModifyWindow, "组合框_修改人数");
  bool found = true;
  if (choice != kNone) {
    int count = 0;
    for (char c : choice) {
      if (c < '0' || c > '9' || count > 1000) break;
      count = count * 10 + (c - '0');
    }
    found = count > 0 && SetPlayerCount(state, count);
  }
  // Also with "无": the blocks are taken afresh from the document, which drops every
  // per-player edit not saved yet.
  FillChooser(state, ui);
  ReportEdit(ui, found ? std::vector<std::string>{} : std::vector<std::string>{"修改人数"});
}

}  // namespace xl::replay
