#include "replay/group_edits.h"

#include <string>
#include <vector>

#include "platform/ui.h"
#include "replay/person_edit.h"
#include "replay/text_ops.h"

namespace xl::replay {
namespace {

constexpr std::string_view kNameBox = "编辑框_舞团名字";
constexpr std::string_view kStoredNameBox = "编辑框_原舞团名字";
constexpr std::string_view kNameOpen = "<GuildNameDataBuf>", kNameClose = "</GuildNameDataBuf>";

}  // namespace

void FillGroupName(const std::string* block, Ui& ui) {
  ui.SetText(kModifyWindow, kStoredNameBox, block ? TextBetween(*block, kNameOpen, kNameClose) : std::string());
}

void ApplyGroup(ReplayState& state, Ui& ui) {
  std::string* block = PickedBlock(state, ui);
  if (!block) return;
  std::vector<std::string> missing;

  // The name is always written, an empty box included (an empty element); every element
  // equal to the one read at the pick gets it.
  const std::string stored = ui.GetText(kModifyWindow, kStoredNameBox);
  const std::string name = BytesToHex(ui.GetText(kModifyWindow, kNameBox));
  int replaced = 0;
  *block = ReplaceText(*block, Element(kNameOpen, stored, kNameClose), Element(kNameOpen, name, kNameClose), 1,
                       kAllOccurrences, true, &replaced);
  if (replaced > 0) {
    ui.SetText(kModifyWindow, kStoredNameBox, name);  // a second change works without a new pick
  } else {
    missing.push_back("舞团昵称");
  }

  const struct {
    std::string_view combo, open, close, field;
  } fields[] = {
      {"组合框_舞团等级", "<GuildLevel>", "</GuildLevel>", "舞团等级"},
      {"组合框_舞团颜色", "<ColorType>", "</ColorType>", "舞团颜色"},
      {"组合框_舞团徽章", "<BadgeType>", "</BadgeType>", "舞团徽章"},
  };
  for (const auto& f : fields) {
    const std::string value = ui.GetText(kModifyWindow, f.combo);
    if (value == "无") continue;
    if (!RewriteField(*block, f.open, f.close, value)) missing.emplace_back(f.field);
  }
  ReportEdit(ui, missing);
}

}  // namespace xl::replay
