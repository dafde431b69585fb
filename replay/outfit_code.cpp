#include "replay/outfit_code.h"

#include <set>

#include "platform/codepage.h"

namespace xl::replay {
namespace {

constexpr std::string_view kSlotOpen = "<BodyPartSlot>", kSlotClose = "</BodyPartSlot>";
constexpr std::string_view kIdOpen = "<BodyPartId>", kIdClose = "</BodyPartId>";

// The text between `open` and the next `close` after `from`; moves `from` past `close`.
// No GBK trail byte is "<", so a tag found by bytes always starts a character.
std::optional<std::string_view> Between(std::string_view text, std::string_view open, std::string_view close,
                                        size_t& from) {
  const size_t start = text.find(open, from);
  if (start == std::string_view::npos) return std::nullopt;
  const size_t end = text.find(close, start + open.size());
  if (end == std::string_view::npos) return std::nullopt;
  from = end + close.size();
  return text.substr(start + open.size(), end - start - open.size());
}

// ASCII blanks and line breaks, and the ideographic space (GBK A1 A1) of Chinese input.
std::string WithoutBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t len = GbkCharLength(text, i);
    const std::string_view ch = text.substr(i, len);
    i += len;
    if (ch.size() == 1 && (ch[0] == ' ' || (ch[0] >= '\t' && ch[0] <= '\r'))) continue;
    if (ch == "\xA1\xA1") continue;
    out += ch;
  }
  return out;
}

bool AllDigits(std::string_view s) { return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos; }

}  // namespace

OutfitPairs PairsOf(std::string_view bodyList) {
  OutfitPairs pairs;
  size_t at = 0;
  while (true) {
    std::optional<std::string_view> slot = Between(bodyList, kSlotOpen, kSlotClose, at);
    if (!slot) break;
    std::optional<std::string_view> id = Between(bodyList, kIdOpen, kIdClose, at);
    if (!id) break;
    pairs.emplace_back(*slot, *id);
  }
  return pairs;
}

std::optional<std::string> OutfitCode(std::string_view bodyList) {
  const OutfitPairs pairs = PairsOf(bodyList);
  if (pairs.empty()) return std::nullopt;
  std::string code(kOutfitCodeMark);
  code += ' ';
  for (size_t i = 0; i < pairs.size(); ++i) code += (i ? "," : "") + pairs[i].first + ":" + pairs[i].second;
  return code;
}

ReadCode ReadOutfitCode(std::string_view text) {
  const std::string bare = WithoutBlanks(text);
  if (std::string_view(bare).substr(0, kOutfitCodeMark.size()) != kOutfitCodeMark) return {};
  ReadCode invalid{ReadCode::Invalid, {}};
  ReadCode read{ReadCode::Valid, {}};
  std::set<std::string> slots;
  std::string_view rest = std::string_view(bare).substr(kOutfitCodeMark.size());
  while (true) {
    const size_t comma = rest.find(',');
    const std::string_view pair = rest.substr(0, comma);
    const size_t colon = pair.find(':');
    if (colon == std::string_view::npos) return invalid;
    const std::string_view slot = pair.substr(0, colon), id = pair.substr(colon + 1);
    if (!AllDigits(slot) || !AllDigits(id.substr(!id.empty() && id[0] == '-' ? 1 : 0))) return invalid;
    const size_t significant = slot.find_first_not_of('0');
    if (!slots.insert(std::string(significant == std::string_view::npos ? "0" : slot.substr(significant))).second)
      return invalid;
    read.pairs.emplace_back(slot, id);
    if (comma == std::string_view::npos) return read;
    rest.remove_prefix(comma + 1);
  }
}

std::string BodyListOf(const OutfitPairs& pairs) {
  std::string list;
  for (size_t i = 0; i < pairs.size(); ++i) {
    if (i) list += "\r\n";
    list += "\t\t\t\t\t<BodyPartInfoPair>\r\n\t\t\t\t\t\t";
    list.append(kSlotOpen).append(pairs[i].first).append(kSlotClose);
    list += "\r\n\t\t\t\t\t\t";
    list.append(kIdOpen).append(pairs[i].second).append(kIdClose);
    list += "\r\n\t\t\t\t\t</BodyPartInfoPair>";
  }
  return list;
}

}  // namespace xl::replay
