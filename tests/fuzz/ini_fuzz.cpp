// data.ini: what is written is read back, for any GBK key and value without line breaks,
// also after another key of the same section was written, and a key written again takes
// its new value.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/ini.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// 路径, the section the program uses.
constexpr std::string_view kSection = "\xC2\xB7\xBE\xB6";

// Keys the INI form can hold at all: not empty, no "=", not starting as a section or a
// comment does, no spaces or tabs at either end.
bool IsKey(std::string_view k) {
  return !k.empty() && k.find('=') == std::string_view::npos && k.front() != '[' && k.front() != ';' &&
         k.front() != ' ' && k.front() != '\t' && k.back() != ' ' && k.back() != '\t';
}

// Keys compare ignoring the case of ASCII letters, never of a double-byte character's
// trail byte.
bool SameKey(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 0x80) {
      if (x != y || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
    if (lower(x) != lower(y)) return false;
  }
  return true;
}

}  // namespace

// Input: key, value, second key, second value, separated by zero bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  std::vector<std::string> parts(4);
  size_t n = 0;
  for (size_t i = 0; i < size && n < parts.size(); ++i) {
    if (data[i] == 0) {
      ++n;
    } else {
      parts[n] += static_cast<char>(data[i]);
    }
  }
  for (const std::string& p : parts)
    if (!xl::fuzz::IsGbk(p) || p.find_first_of("\r\n") != std::string::npos) return 0;
  const std::string &key = parts[0], &value = parts[1], &otherKey = parts[2], &otherValue = parts[3];
  if (!IsKey(key) || !IsKey(otherKey)) return 0;

  const std::string path = xl::fuzz::ScratchPath("data.ini");
  (void)xl::fs::DeleteFile(path);
  FUZZ_CHECK(xl::ini::Write(path, kSection, key, "old").ok());
  FUZZ_CHECK(xl::ini::Write(path, kSection, key, value).ok());
  FUZZ_CHECK(xl::ini::Read(path, kSection, key) == value);
  FUZZ_CHECK(xl::ini::Write(path, kSection, otherKey, otherValue).ok());
  FUZZ_CHECK(xl::ini::Read(path, kSection, otherKey) == otherValue);
  FUZZ_CHECK(xl::ini::Read(path, kSection, key) == (SameKey(key, otherKey) ? otherValue : value));
  return 0;
}
