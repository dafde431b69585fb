#pragma once
// Code-page conversions. The program's texts are GBK (code page 936) byte strings; they
// are converted only at the edges: to UTF-16 for the Windows W APIs, to UTF-8 for POSIX
// file names and for the UTF-8 scenario scripts. A conversion that cannot be made exactly
// (an invalid GBK sequence, a character GBK cannot hold) fails instead of guessing.
#include <optional>
#include <string>
#include <string_view>

namespace xl {

std::optional<std::string> GbkToUtf8(std::string_view gbk);
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

#ifdef _WIN32
std::optional<std::wstring> GbkToWide(std::string_view gbk);
std::optional<std::wstring> Utf8ToWide(std::string_view utf8);
std::optional<std::string> WideToGbk(std::wstring_view wide);
std::optional<std::string> WideToUtf8(std::wstring_view wide);
// For texts that must reach the screen whatever they hold: invalid bytes become U+FFFD.
std::wstring GbkToWideLossy(std::string_view gbk);
// For names handed in from outside (a dropped file, the command line): a character GBK
// cannot hold becomes "?", so the name still reaches the program and fails visibly there.
std::string WideToGbkLossy(std::wstring_view wide);
#endif

// Byte length of the character at the start of `s` as GBK steps through text: a lead byte
// of 0x80 or above followed by a non-zero byte is one double-byte character.
inline size_t GbkCharLength(std::string_view s, size_t pos) {
  if (pos + 1 < s.size() && static_cast<unsigned char>(s[pos]) >= 0x80 && s[pos + 1] != '\0') return 2;
  return 1;
}

}  // namespace xl
