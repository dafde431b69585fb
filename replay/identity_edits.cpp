#include "replay/identity_edits.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"
#include "platform/ui.h"
#include "replay/costume_edits.h"
#include "replay/person_edit.h"
#include "replay/text_ops.h"

namespace xl::replay {
namespace {

constexpr std::string_view kNickname = "编辑框_昵称";
constexpr std::string_view kStoredNickname = "编辑框_原昵称";
constexpr std::string_view kNameOpen = "<NameDataBuf>", kNameClose = "</NameDataBuf>";

// The name a stored <NameDataBuf> value stands for: its bytes up to the first zero byte.
std::string NameOf(std::string_view hex) {
  std::string bytes = HexToBytes(hex);
  bytes.resize(std::min(bytes.size(), bytes.find('\0')));
  return bytes;
}

// Sets the first <Male> element to `male` and every element equal to it, the tags matched
// without regard to ASCII case (some replays write <MALE>). False when there is none.
bool RewriteGender(std::string& block, bool male) {
  constexpr std::string_view open = "<Male>", close = "</Male>";
  TextPos s = FindText(block, open, 1, true);
  if (s == kNotFound) return false;
  s += static_cast<TextPos>(open.size());
  const TextPos e = FindText(block, close, s, true);
  if (e == kNotFound) return false;
  const std::string old = block.substr(static_cast<size_t>(s - 1), static_cast<size_t>(e - s));
  block = ReplaceText(block, Element(open, old, close), Element(open, male ? "true" : "false", close), 1,
                      kAllOccurrences, false);
  return true;
}

}  // namespace

void FillNickname(const std::string* block, Ui& ui) {
  ui.SetText(kModifyWindow, kStoredNickname, block ? TextBetween(*block, kNameOpen, kNameClose) : std::string());
  ui.SetText(kModifyWindow, kNickname, NameOf(ui.GetText(kModifyWindow, kStoredNickname)));
}

void ApplyIdentity(ReplayState& state, Ui& ui) {
  std::string* block = PickedBlock(state, ui);
  if (!block) return;
  const std::string nickname = ui.GetText(kModifyWindow, kNickname);
  const std::string storedHex = ui.GetText(kModifyWindow, kStoredNickname);
  // The name as the pick showed it is no change: the stored value stays exactly as the game
  // wrote it (its case of digits, and any bytes after the name's terminating zero).
  const bool nicknameChanged = !nickname.empty() && nickname != NameOf(storedHex);
  if (nicknameChanged && !GbkToUtf8(nickname)) {
    ui.ShowNotice(kModifyWindow, "昵称中有无法保存的字符，未作任何修改", kNoticeTitle);
    return;
  }

  std::string b = *block;
  std::vector<std::string> missing;
  std::string writtenHex;
  if (nicknameChanged) {
    std::string hex = BytesToHex(nickname);
    // A name stored in a zero-padded buffer keeps the buffer's length.
    const size_t storedBytes = storedHex.size() / 2;
    if (NameOf(storedHex).size() < storedBytes && nickname.size() < storedBytes)
      hex.append((storedBytes - nickname.size()) * 2, '0');
    int replaced = 0;
    b = ReplaceText(b, Element(kNameOpen, storedHex, kNameClose), Element(kNameOpen, hex, kNameClose), 1, 1, true,
                    &replaced);
    if (replaced > 0)
      writtenHex = hex;
    else
      missing.emplace_back("昵称");
  }

  const std::string title = ui.GetText(kModifyWindow, "编辑框_修改称号");
  if (!title.empty() && !RewriteField(b, "<cur_title_id>", "</cur_title_id>", title)) missing.emplace_back("称号");

  const struct {
    const char* combo;
    const char* open;
    const char* close;
    const char* name;
  } kLevels[] = {
      {"组合框_荣耀等级", "<honour_dancer_star_id>", "</honour_dancer_star_id>", "荣耀等级"},
      {"组合框_紫钻等级", "<PurpleLevel>", "</PurpleLevel>", "紫钻等级"},
  };
  for (const auto& level : kLevels) {
    const std::string value = ui.GetText(kModifyWindow, level.combo);
    if (value.empty() || value == "无") continue;
    if (!RewriteField(b, level.open, level.close, value)) missing.emplace_back(level.name);
  }

  const std::string gender = ui.GetText(kModifyWindow, "组合框_选择性别");
  bool dressed = false;
  if (gender == "男性" || gender == "女性") {
    // Costume and gender change together or not at all: a female costume on a male
    // character (or the reverse) is worse than no change.
    const bool male = gender == "男性";
    std::string trial = b;
    if (ApplyBodyTemplate(trial, male ? Gender::Male : Gender::Female) && RewriteGender(trial, male)) {
      b = std::move(trial);
      dressed = true;
    } else {
      missing.emplace_back("性别");
    }
  }

  *block = std::move(b);
  if (!writtenHex.empty()) ui.SetText(kModifyWindow, kStoredNickname, writtenHex);
  // The slot pictures and remembered ids describe the new costume from now on.
  if (dressed) FillSlots(state, block, ui);
  ReportEdit(ui, missing);
}

}  // namespace xl::replay
