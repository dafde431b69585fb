#pragma once
// The costume of the person being edited: the item id worn in fifteen body-part slots, the
// whole body-part list reset to a gender's template, and the item codes of the companion
// avatar (宝儿).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "replay/document.h"

namespace xl {
class Ui;
}

namespace xl::replay {

struct CostumeSlot {
  int slot;          // the number in <BodyPartSlot>
  const char* role;  // controls 编辑框_ROLE and 图片框_ROLE; also the slot's name in notices
};

// The editable slots, in the order the page and every loop over them use.
inline constexpr std::array<CostumeSlot, 15> kCostumeSlots = {{
    {2, "脸型"},
    {3, "发型"},
    {4, "上身"},
    {6, "下身"},
    {8, "鞋子"},
    {13, "左手持"},
    {14, "右手持"},
    {15, "背饰"},
    {16, "头饰"},
    {17, "面饰"},
    {20, "手链"},
    {21, "脚链"},
    {24, "戒指"},
    {32, "伴侣戒指"},
    {5, "增加光效"},
}};

// What precedes a slot's item id in a block; the id ends at "</BodyPartId>".
// Slot 2: "<BodyPartSlot>2</BodyPartSlot>\r\n\t\t\t\t\t\t<BodyPartId>".
std::string SlotPrefix(int slot);

// Selection change of 组合框_修改 (through the person pick), and every edit that changes the
// body-part list of `block`, the current person's: remembers each slot's item id in
// `state`, shows whether the person wears it (a slot whose id is "0" counts as worn) and
// shows the id as the slot box's hint ("未装备" for a slot the person lacks). Without a block
// (nobody picked) nothing is remembered, no box has a hint and the pictures are as designed.
void FillSlots(ReplayState& state, const std::string* block, Ui& ui);
// The hints of the six avatar boxes: the item ids of the block's <AvatarData>, each the id
// that, typed and applied, writes the same code back. No hint without a block, for a block
// without avatar data, nor for a code that no item id gives.
void FillAvatarHints(const std::string* block, Ui& ui);
// 超级按钮_修改服饰: writes every filled slot box over the slot's remembered id. A box that
// holds no whole number (an optional "-" and digits) is refused before anything is written.
void ApplySlots(ReplayState& state, Ui& ui);

enum class Gender { Male, Female };
// The 18 body-part pairs a new character of that gender wears (CRLF lines, tab indents).
std::string_view BodyTemplate(Gender gender);
// Replaces the content of the block's <BodyPartInfoId> with the gender's template. False,
// and the block unchanged, when the block has no such list or an empty one.
bool ApplyBodyTemplate(std::string& block, Gender gender);
// The same with any body-part list (the content of another block's <BodyPartInfoId>).
bool ReplaceBodyList(std::string& block, std::string_view list);
// The content of the block's <BodyPartInfoId>; empty when it has none.
std::string BodyList(std::string_view block);

// "复制此人服饰": keeps the current person's body-part list in `copied` and puts its outfit
// code on the clipboard, without a notice. A block without a list (or one without a pair)
// leaves both as they were and says so.
void CopyCostume(ReplayState& state, Ui& ui, std::string& copied);
// "粘贴服饰到此人": the current person's body-part list becomes the outfit code on the
// clipboard or, with none there, `copied`, as an edit that stays in the edited blocks until
// saving; slot pictures, stored values and hints follow. A broken code changes nothing.
void PasteCostume(ReplayState& state, Ui& ui, const std::string& copied);

// Upper-case hexadecimal without leading zeros ("0" for 0); empty for a negative number.
std::string NumberToHex(std::int64_t n);
// The four two-character groups of a code in reverse order: 23D8B0D1 -> D1B0D823. Groups
// a shorter text lacks contribute nothing.
std::string ReverseHexPairs(std::string_view hex);
// An item id as the avatar stores it: four bytes, least significant first. 0-4294967295.
std::string AvatarCode(std::uint32_t itemId);
// The <AvatarData> value: each code preceded by eight zeros, then forty zeros.
std::string AvatarData(const std::array<std::string, 6>& codes);

// 超级按钮_宝儿: turns each filled avatar box into its code and writes all six codes; an
// empty box keeps the code the block holds for it.
void ApplyAvatar(ReplayState& state, Ui& ui);

}  // namespace xl::replay
