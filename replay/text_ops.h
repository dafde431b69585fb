#pragma once
// The text operations every replay edit rests on. An edit finds a field by its opening and
// closing tag, builds the old and the new element as text and replaces one by the other;
// there is no parsing. Texts are GBK byte strings.
//
// Positions are 1-based byte positions and lengths count bytes; a failed search gives -1.
// Searches step through the text one character at a time from their start position, a
// lead byte of 0x80 or above followed by a non-zero byte counting as one character, so a
// match never starts on the second byte of a double-byte character. Ignoring case means
// ignoring the case of ASCII letters only.
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace xl::replay {

using TextPos = std::ptrdiff_t;
inline constexpr TextPos kNotFound = -1;
inline constexpr TextPos kAllOccurrences = -1;  // a count for ReplaceText: no limit

// Position of the first occurrence of `sought` at or after `start` (below 1: from the
// beginning), or -1. An empty `sought` is never found.
TextPos FindText(std::string_view text, std::string_view sought, TextPos start = 1, bool ignoreCase = false);

// Replaces non-overlapping occurrences of `sought`, left to right from `start`, at most
// `count` of them (negative: all), continuing after each inserted text. An empty text or
// sought text, a start beyond the end or a count of 0 leaves the text as it is. The number
// of replacements made goes to `replaced` when given.
std::string ReplaceText(std::string_view text, std::string_view sought, std::string_view replacement, TextPos start = 1,
                        TextPos count = kAllOccurrences, bool caseSensitive = true, int* replaced = nullptr);

// The content of the first element opened by `openTag` and closed by the first `closeTag`
// after it; empty when either is missing. The marker "#引号" in a tag stands for a double
// quote, so a caller can name a tag that holds one.
std::string TextBetween(std::string_view text, std::string_view openTag, std::string_view closeTag);

// The element `open` `value` `close` as a whole text, as edits search for and write it.
inline std::string Element(std::string_view open, std::string_view value, std::string_view close) {
  return std::string(open).append(value).append(close);
}

struct FieldMode {
  bool firstOnly = false;  // replace the first equal element only, not all of them
  bool caseSensitive = true;
};

// The common edit step: every element equal to the first element of that tag (or only the
// first one) gets `newValue` as its content. A missing tag leaves `target` alone unless an
// empty element of that tag exists. Returns whether an element was found and rewritten.
bool RewriteField(std::string& target, std::string_view openTag, std::string_view closeTag, std::string_view newValue,
                  FieldMode mode = {});

// What RewriteField would do, without doing it: the 0-based places of the elements it
// replaces, in order, each `oldLength` bytes long, and the element written over each.
struct FieldEdit {
  std::vector<size_t> at;
  size_t oldLength = 0;
  std::string element;
};
FieldEdit PlanFieldEdit(std::string_view text, std::string_view openTag, std::string_view closeTag,
                        std::string_view newValue, FieldMode mode = {});

// Every text strictly between `startMark` and the next `endMark` (ASCII case ignored),
// with leading and trailing spaces (the space and the full-width space "　") removed;
// empty pieces are skipped. Between pieces `letMessagesThrough` is called three times
// (empty: never), so the caller must not let `text` change meanwhile. The 0-based offset
// of each piece in `text` goes to `offsets` when given.
std::vector<std::string> TakeAllBetween(std::string_view text, std::string_view startMark, std::string_view endMark,
                                        const std::function<void()>& letMessagesThrough = {},
                                        std::vector<size_t>* offsets = nullptr);

using TextPair = std::pair<std::string_view, std::string_view>;  // sought, replacement

// ReplaceText for each (sought, replacement) pair in order, all with the same start, count
// and case setting; a pair with an empty sought text changes nothing. A start below 1
// means 1.
std::string ReplaceSequence(std::string_view text, TextPos count, TextPos start, bool caseSensitive,
                            std::initializer_list<TextPair> pairs);

// Two upper-case hexadecimal digits per byte, no separators: "abc" -> "616263".
std::string BytesToHex(std::string_view bytes);
// One byte per pair of characters, high nibble first; a final odd character is ignored and
// anything but 0-9, A-F, a-f counts as 0.
std::string HexToBytes(std::string_view hex);

}  // namespace xl::replay
