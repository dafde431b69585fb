#include "replay/person_edit.h"

#include "platform/ui.h"

namespace xl::replay {

std::string* CurrentBlock(ReplayState& state) {
  const int person = state.currentPerson;
  if (person < 1 || static_cast<size_t>(person) > state.edited.size()) return nullptr;
  return &state.edited[static_cast<size_t>(person) - 1];
}

std::string* PickedBlock(ReplayState& state, Ui& ui) {
  std::string* block = CurrentBlock(state);
  if (!block) ui.ShowNotice(kModifyWindow, "请先选择修改第几人", kNoticeTitle);
  return block;
}

void ReportEdit(Ui& ui, const std::vector<std::string>& missing) {
  if (missing.empty()) {
    ui.ShowNotice(kModifyWindow, "修改成功", kNoticeTitle);
    return;
  }
  std::string text = "以下内容未找到，未修改：";
  for (size_t i = 0; i < missing.size(); ++i) {
    if (i > 0) text += "、";
    text += missing[i];
  }
  ui.ShowNotice(kModifyWindow, text, kNoticeTitle);
}

}  // namespace xl::replay
