#pragma once
// The identity of the person being edited: nickname, title, honour star, purple-diamond
// level and gender (which also dresses the person in that gender's template).
#include <string>

#include "replay/document.h"

namespace xl {
class Ui;
}

namespace xl::replay {

// Selection change of 组合框_修改 (through the person pick): shows the nickname of the picked
// person's block in 编辑框_昵称 and keeps the stored hexadecimal in 编辑框_原昵称; both empty
// without a block.
void FillNickname(const std::string* block, Ui& ui);
// 超级按钮_个人: writes every field whose control is filled.
void ApplyIdentity(ReplayState& state, Ui& ui);

}  // namespace xl::replay
