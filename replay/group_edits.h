#pragma once
// The dance group (guild) of the person being edited.
#include <string_view>

#include "replay/document.h"

namespace xl {
class Ui;
}

namespace xl::replay {

// Person pick: keeps the person's stored group name (hexadecimal) in 编辑框_原舞团名字.
void FillGroupName(ReplayState& state, Ui& ui);
// 超级按钮_舞团: name (always, an empty box included), level, colour and badge.
void ApplyGroup(ReplayState& state, Ui& ui);

}  // namespace xl::replay
