#pragma once
// What every per-player edit shares: finding the block of the person being edited and
// telling the user how the edit went.
#include <string>
#include <string_view>
#include <vector>

#include "replay/document.h"

namespace xl {
class Ui;
}

namespace xl::replay {

inline constexpr std::string_view kModifyWindow = "modify";
inline constexpr std::string_view kNoticeTitle = "温馨提示";

// The edited block of the current person, or nullptr when no person is picked or the
// current person is beyond the blocks (after a player-count change).
std::string* CurrentBlock(ReplayState& state);
// The same, but says "请先选择修改第几人" when there is none.
std::string* PickedBlock(ReplayState& state, Ui& ui);

// "修改成功" when every requested field was written, else the names of those that were not
// found: "以下内容未找到，未修改：称号、鞋子".
void ReportEdit(Ui& ui, const std::vector<std::string>& missing);

}  // namespace xl::replay
