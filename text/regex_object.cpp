#include "text/regex_object.h"

#include <optional>

#include "platform/codepage.h"

namespace xl::text {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;

// Code page 936 lead bytes; anything else is a character of its own.
bool IsLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// The code points of a UTF-8 text; nullopt for a malformed one (the converter never makes
// one, but the decoder does not rely on it).
std::optional<std::wstring> DecodeUtf8(std::string_view s) {
  std::wstring out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || i + extra >= s.size()) return std::nullopt;
    char32_t cp = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      unsigned char c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) return std::nullopt;
      cp = (cp << 6) | (c & 0x3F);
    }
    // Code page 936 lies wholly in the basic plane, so one wide unit per character holds
    // on every platform.
    out.push_back(cp <= 0xFFFF ? static_cast<wchar_t>(cp) : kReplacement);
    i += extra + 1;
  }
  return out;
}

// Byte offsets at which the characters of `gbk` start, plus the end.
std::vector<size_t> CharacterStarts(std::string_view gbk) {
  std::vector<size_t> starts;
  starts.reserve(gbk.size() + 1);
  for (size_t i = 0; i < gbk.size();) {
    starts.push_back(i);
    i += IsLeadByte(static_cast<unsigned char>(gbk[i])) && i + 1 < gbk.size() ? 2 : 1;
  }
  starts.push_back(gbk.size());
  return starts;
}

}  // namespace

WideSubject ToWideSubject(std::string_view gbk) {
  WideSubject w;
  w.offsets = CharacterStarts(gbk);
  const size_t count = w.offsets.size() - 1;
  // The whole text in one conversion when it is valid GBK, which it nearly always is.
  if (auto utf8 = GbkToUtf8(gbk)) {
    if (auto wide = DecodeUtf8(*utf8); wide && wide->size() == count) {
      w.chars = std::move(*wide);
      return w;
    }
  }
  // Otherwise character by character, so one bad byte costs one character, not the text.
  w.chars.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    std::string_view ch = gbk.substr(w.offsets[i], w.offsets[i + 1] - w.offsets[i]);
    if (ch.size() == 1 && static_cast<unsigned char>(ch[0]) < 0x80) {
      w.chars.push_back(static_cast<wchar_t>(ch[0]));
      continue;
    }
    std::optional<std::wstring> one;
    if (auto utf8 = GbkToUtf8(ch)) one = DecodeUtf8(*utf8);
    w.chars.push_back(one && one->size() == 1 ? (*one)[0] : kReplacement);
  }
  return w;
}

std::string PreparePattern(std::string_view pattern, bool quoteMarker) {
  if (!quoteMarker) return std::string(pattern);
  constexpr std::string_view marker = "#引号";
  std::string out;
  size_t done = 0;
  for (size_t at; (at = pattern.find(marker, done)) != std::string_view::npos; done = at + marker.size()) {
    out.append(pattern.substr(done, at - done));
    out += '"';
  }
  out.append(pattern.substr(done));
  return out;
}

}  // namespace xl::text
