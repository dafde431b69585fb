// FindText against a naive reference that steps through the text one character at a time,
// for both case settings and any start; and the field rewrite, which writes a value of the
// same length in place, against the replacement it stands for.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "replay/text_ops.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using xl::replay::TextPos;

unsigned char At(std::string_view s, size_t i) { return static_cast<unsigned char>(s[i]); }
bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
unsigned char Lower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

// The length of the character at i: two for a lead byte of 0x80 or above followed by a
// non-zero byte, else one.
size_t CharLength(std::string_view s, size_t i) {
  return At(s, i) >= 0x80 && i + 1 < s.size() && s[i + 1] != '\0' ? 2 : 1;
}

TextPos ReferenceFind(std::string_view text, std::string_view sought, TextPos start, bool ignoreCase) {
  if (sought.empty()) return -1;
  // Which bytes of the sought text fold: ASCII letters that are no trail byte.
  std::string folds(sought.size(), 0);
  for (size_t k = 0; k < sought.size(); k += CharLength(sought, k))
    if (CharLength(sought, k) == 1 && IsLetter(At(sought, k))) folds[k] = 1;
  for (size_t i = start < 1 ? 0 : static_cast<size_t>(start - 1); i < text.size(); i += CharLength(text, i)) {
    if (text.size() - i < sought.size()) break;
    bool match = true;
    for (size_t k = 0; k < sought.size() && match; ++k) {
      unsigned char a = At(text, i + k), b = At(sought, k);
      match = a == b || (ignoreCase && folds[k] && Lower(a) == Lower(b));
    }
    if (match) return static_cast<TextPos>(i) + 1;
  }
  return -1;
}

}  // namespace

// Input: a flags byte, a start byte, a length byte, then the sought text and the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const unsigned flags = At(input, 0);
  const size_t soughtLength = std::min<size_t>(At(input, 2) % 24, size - 3);
  const std::string_view sought = input.substr(3, soughtLength), text = input.substr(3 + soughtLength);
  const TextPos start = static_cast<TextPos>(At(input, 1)) - 2;  // from below 1 to past the end

  for (bool ignoreCase : {false, true})
    FUZZ_CHECK(xl::replay::FindText(text, sought, start, ignoreCase) == ReferenceFind(text, sought, start, ignoreCase));

  // The sought text split in two is an opening and a closing tag.
  const std::string_view open = sought.substr(0, soughtLength / 2), close = sought.substr(soughtLength / 2);
  const std::string old = xl::replay::TextBetween(text, open, close);
  std::string value = old;  // the same length, in place...
  for (char& c : value) c = static_cast<char>(c ^ 1);
  if (flags & 2) value += "x";  // ...or not
  const xl::replay::FieldMode mode{.firstOnly = (flags & 4) != 0, .caseSensitive = (flags & 8) != 0};
  int replaced = 0;
  const std::string expected = xl::replay::ReplaceText(
      text, std::string(open) + old + std::string(close), std::string(open) + value + std::string(close), 1,
      mode.firstOnly ? 1 : xl::replay::kAllOccurrences, mode.caseSensitive, &replaced);
  std::string target(text);
  // The quote marker is the rewrite's own business; the reference above does not know it.
  if (target.find("#") == std::string::npos && std::string(sought).find("#") == std::string::npos) {
    FUZZ_CHECK(xl::replay::RewriteField(target, open, close, value, mode) == (replaced > 0));
    FUZZ_CHECK(target == expected);
  }
  return 0;
}
