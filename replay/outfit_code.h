#pragma once
// Outfit codes: a person's body-part list as one line of text that a player can send to a
// friend ("星律服饰码 0:100005000,1:601403601"), and back.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace xl::replay {

inline constexpr std::string_view kOutfitCodeMark = "星律服饰码";

// (slot, item id) as written between the tags, in list order.
using OutfitPairs = std::vector<std::pair<std::string, std::string>>;

// The pairs of a body-part list (the content of <BodyPartInfoId>).
OutfitPairs PairsOf(std::string_view bodyList);
// "星律服饰码 " and the pairs as SLOT:ID joined by ","; nullopt for a list without a pair.
std::optional<std::string> OutfitCode(std::string_view bodyList);

// A text as the clipboard holds it, read as an outfit code.
struct ReadCode {
  enum Kind {
    NotACode,  // it does not start with the mark
    Invalid,   // it does, but what follows is no list of pairs (or a slot repeats)
    Valid,
  } kind = NotACode;
  OutfitPairs pairs;  // Valid only
};
// Blanks and line breaks are taken out first (chat programs add them). Valid is the mark,
// then one or more SLOT:ID joined by ",": SLOT digits, ID an optional "-" and digits, no slot
// twice (slots compared by value, so "02" repeats "2").
ReadCode ReadOutfitCode(std::string_view text);

// The pairs as a body-part list in the layout of the gender templates: each pair on four
// CRLF lines with tab indents, pairs joined by CRLF.
std::string BodyListOf(const OutfitPairs& pairs);

}  // namespace xl::replay
