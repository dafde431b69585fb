#pragma once
// The dance group (guild) of the person being edited.
#include <string>

#include "replay/document.h"

namespace xl {
class Ui;
}

namespace xl::replay {

// Person pick: keeps the stored group name (hexadecimal) of the picked person's block in
// 编辑框_原舞团名字; empty without a block.
void FillGroupName(const std::string* block, Ui& ui);
// 超级按钮_舞团: name (always, an empty box included), level, colour and badge.
void ApplyGroup(ReplayState& state, Ui& ui);

}  // namespace xl::replay
