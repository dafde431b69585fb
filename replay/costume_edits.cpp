#include "replay/costume_edits.h"

#include <iterator>
#include <optional>
#include <vector>

#include "platform/ui.h"
#include "replay/outfit_code.h"
#include "replay/person_edit.h"
#include "replay/text_ops.h"
#include "resources/resources.h"
#include "text/regex_object.h"

namespace xl::replay {
namespace {

constexpr std::string_view kIdEnd = "</BodyPartId>";

std::string EditBox(const CostumeSlot& s) { return std::string("编辑框_") + s.role; }
std::string PictureBox(const CostumeSlot& s) { return std::string("图片框_") + s.role; }

struct AvatarBox {
  const char* edit;
  const char* name;  // its label without "代码：", as notices name it
};
constexpr AvatarBox kAvatarBoxes[6] = {
    {"编辑框_新宝儿发型", "宝儿发型"}, {"编辑框_新宝儿衣服", "宝儿衣服"}, {"编辑框_新宝儿背部", "宝儿背部"},
    {"编辑框_新宝儿左手", "宝儿左手"}, {"编辑框_新宝儿右手", "宝儿右手"}, {"编辑框_新宝儿脚链", "宝儿脚链"},
};

constexpr std::string_view kZeroGroup = "00000000";

// A whole decimal item id the avatar can store (0 to 4294967295, an optional sign, "-0"
// allowed); nullopt for anything else, so no text is quietly turned into another id.
std::optional<std::uint32_t> ParseItemId(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  if (negative && value != 0) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

// The item id whose code is `code`, when AvatarCode gives exactly that code back (eight
// upper-case hexadecimal digits); nullopt for anything else.
std::optional<std::uint32_t> ItemIdOfCode(std::string_view code) {
  if (code.size() != kZeroGroup.size()) return std::nullopt;
  std::uint32_t id = 0;
  for (size_t pair = 4; pair-- > 0;) {  // least significant byte first
    for (char c : code.substr(pair * 2, 2)) {
      const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (digit < 0) return std::nullopt;
      id = id * 16 + static_cast<std::uint32_t>(digit);
    }
  }
  return id;
}

// Avatar code i (0-5) of an <AvatarData> value: characters 16i+8 to 16i+16, after a group of
// zeros. Empty when the value is too short to hold it.
std::string_view CodeAt(std::string_view data, size_t i) {
  return data.size() >= 16 * i + 16 ? data.substr(16 * i + 8, 8) : std::string_view();
}

// An optional "-" followed by at least one digit, of any length.
bool IsWholeNumber(std::string_view text) {
  if (!text.empty() && text[0] == '-') text.remove_prefix(1);
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

constexpr std::string_view kNotWorn = "未装备";
constexpr std::string_view kBodyOpen = "<BodyPartInfoId>", kBodyClose = "</BodyPartInfoId>";

}  // namespace

std::string SlotPrefix(int slot) {
  return "<BodyPartSlot>" + std::to_string(slot) + "</BodyPartSlot>\r\n\t\t\t\t\t\t<BodyPartId>";
}

void FillSlots(ReplayState& state, const std::string* block, Ui& ui) {
  for (size_t i = 0; i < kCostumeSlots.size(); ++i) {
    const CostumeSlot& s = kCostumeSlots[i];
    std::string id = block ? TextBetween(*block, SlotPrefix(s.slot), kIdEnd) : std::string();
    const char* picture = !block       ? "pictures/slot_design.gif"
                          : id.empty() ? "pictures/slot_absent.gif"
                                       : "pictures/slot_present.gif";
    ui.SetPicture(kModifyWindow, PictureBox(s), Resource(picture));
    ui.SetHint(kModifyWindow, EditBox(s), !block ? std::string_view() : id.empty() ? kNotWorn : std::string_view(id));
    state.slotValues[i] = std::move(id);
  }
}

void FillAvatarHints(const std::string* block, Ui& ui) {
  const std::string data = block ? TextBetween(*block, "<AvatarData>", "</AvatarData>") : std::string();
  for (size_t i = 0; i < std::size(kAvatarBoxes); ++i) {
    std::string hint;
    if (std::optional<std::uint32_t> id = ItemIdOfCode(CodeAt(data, i))) hint = std::to_string(*id);
    ui.SetHint(kModifyWindow, kAvatarBoxes[i].edit, hint);
  }
}

void ApplySlots(ReplayState& state, Ui& ui) {
  std::string* block = PickedBlock(state, ui);
  if (!block) return;
  // Every box is checked before anything is written: a box holding only "-", or a minus in
  // the middle, is no item id, and writing it would break the slot for the game.
  for (const CostumeSlot& s : kCostumeSlots) {
    if (const std::string text = ui.GetText(kModifyWindow, EditBox(s)); !text.empty() && !IsWholeNumber(text)) {
      ui.ShowNotice(kModifyWindow, std::string("服饰代码无效：") + s.role, kNoticeTitle);
      return;
    }
  }
  std::vector<std::string> missing;
  for (size_t i = 0; i < kCostumeSlots.size(); ++i) {
    const CostumeSlot& s = kCostumeSlots[i];
    const std::string wanted = ui.GetText(kModifyWindow, EditBox(s));
    if (wanted.empty()) continue;
    std::string& stored = state.slotValues[i];
    // The closing tag belongs to the sought text: without it a remembered id that is the
    // start of a longer one ("10" of "100005000") would cut that one apart.
    const std::string prefix = SlotPrefix(s.slot);
    int replaced = 0;
    if (!stored.empty()) {
      *block = ReplaceText(*block, prefix + stored + std::string(kIdEnd), prefix + wanted + std::string(kIdEnd), 1,
                           kAllOccurrences, true, &replaced);
    }
    if (replaced == 0) {
      missing.emplace_back(s.role);
      continue;
    }
    stored = wanted;  // a second change of the same slot finds the id just written
    ui.SetHint(kModifyWindow, EditBox(s), stored);
  }
  ReportEdit(ui, missing);
}

std::string_view BodyTemplate(Gender gender) {
  return Resource(gender == Gender::Male ? "templates/body_male.txt" : "templates/body_female.txt");
}

bool ApplyBodyTemplate(std::string& block, Gender gender) { return ReplaceBodyList(block, BodyTemplate(gender)); }

bool ReplaceBodyList(std::string& block, std::string_view list) {
  if (BodyList(block).empty()) return false;
  return RewriteField(block, kBodyOpen, kBodyClose, list, {.firstOnly = true, .caseSensitive = true});
}

std::string BodyList(std::string_view block) { return TextBetween(block, kBodyOpen, kBodyClose); }

void CopyCostume(ReplayState& state, Ui& ui, std::string& copied) {
  const std::string* block = PickedBlock(state, ui);
  if (!block) return;
  std::string list = BodyList(*block);
  const std::optional<std::string> code = OutfitCode(list);  // none for a list without a pair
  if (!code) {
    ui.ShowNotice(kModifyWindow, "以下内容未找到，未复制：服饰", kNoticeTitle);
    return;
  }
  copied = std::move(list);
  if (!ui.SetClipboardText(*code))
    ui.ShowNotice(kModifyWindow, "服饰已复制，但剪贴板正被其他程序占用，服饰码没有放上去；要发给好友请再复制一次",
                  kNoticeTitle);
}

void PasteCostume(ReplayState& state, Ui& ui, const std::string& copied) {
  std::string* block = PickedBlock(state, ui);
  if (!block) return;
  // An outfit code on the clipboard wins over the program's own copy. When it is the code of
  // that copy, the copy goes in as the game wrote it, every byte between the tags kept.
  const ReadCode code = ReadOutfitCode(ui.ClipboardText());
  if (code.kind == ReadCode::Invalid) {
    ui.ShowNotice(kModifyWindow, "剪贴板里的服饰码不完整或有误，未修改", kNoticeTitle);
    return;
  }
  const bool ownCopy = code.kind == ReadCode::NotACode || code.pairs == PairsOf(copied);
  const std::string list = ownCopy ? copied : BodyListOf(code.pairs);
  if (list.empty() || !ReplaceBodyList(*block, list)) {
    ReportEdit(ui, {"服饰"});
    return;
  }
  FillSlots(state, block, ui);
  ReportEdit(ui, {});
}

std::string NumberToHex(std::int64_t n) {
  if (n < 0) return {};
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  do {
    out.insert(out.begin(), kDigits[n % 16]);
    n /= 16;
  } while (n > 0);
  return out;
}

std::string ReverseHexPairs(std::string_view hex) {
  text::RegexObject re;
  if (!re.Run("\\w{2}", hex)) return {};
  return re.MatchText(4) + re.MatchText(3) + re.MatchText(2) + re.MatchText(1);
}

std::string AvatarCode(std::uint32_t itemId) {
  std::string hex = NumberToHex(itemId);
  hex.insert(0, kZeroGroup.size() - hex.size(), '0');  // ids below 0x10000000 have fewer digits
  return ReverseHexPairs(hex);
}

std::string AvatarData(const std::array<std::string, 6>& codes) {
  std::string out;
  for (const std::string& code : codes) out.append(kZeroGroup).append(code);
  out.append(40, '0');
  return out;
}

void ApplyAvatar(ReplayState& state, Ui& ui) {
  std::string* block = PickedBlock(state, ui);
  if (!block) return;
  // An empty box keeps its code as the block holds it, like an empty slot box: its hint shows
  // that code, and typing one code must not wipe the other five. Typing 0 clears an item.
  const std::string data = TextBetween(*block, "<AvatarData>", "</AvatarData>");
  std::array<std::string, 6> codes;
  std::array<bool, 6> typed{};
  for (size_t i = 0; i < codes.size(); ++i) {
    const std::string text = ui.GetText(kModifyWindow, kAvatarBoxes[i].edit);
    typed[i] = !text.empty();
    if (text.empty()) {
      const std::string_view kept = CodeAt(data, i);
      codes[i] = kept.empty() ? kZeroGroup : kept;
    } else if (text == state.avatarCodes[i]) {
      codes[i] = text;  // still the code the last apply showed: not an item id to convert
    } else if (auto id = ParseItemId(text)) {
      codes[i] = AvatarCode(*id);
    } else {
      ui.ShowNotice(kModifyWindow, std::string("宝儿代码无效：") + kAvatarBoxes[i].name, kNoticeTitle);
      return;
    }
  }
  // An element holding nothing is no avatar to change.
  if (data.empty() || !RewriteField(*block, "<AvatarData>", "</AvatarData>", AvatarData(codes))) {
    ReportEdit(ui, {"宝儿"});
    return;
  }
  // Filled boxes show the code written for them; empty ones stay empty, with the code as hint.
  for (size_t i = 0; i < codes.size(); ++i) {
    if (!typed[i]) codes[i].clear();
    ui.SetText(kModifyWindow, kAvatarBoxes[i].edit, codes[i]);
  }
  state.avatarCodes = codes;
  FillAvatarHints(block, ui);
  ReportEdit(ui, {});
}

}  // namespace xl::replay
