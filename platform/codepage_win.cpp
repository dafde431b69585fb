#include "platform/codepage.h"

#include <windows.h>

namespace xl {
namespace {

constexpr UINT kGbk = 936;

std::optional<std::wstring> ToWide(UINT cp, std::string_view s, DWORD flags) {
  if (s.empty()) return std::wstring();
  int n = MultiByteToWideChar(cp, flags, s.data(), static_cast<int>(s.size()), nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(cp, flags, s.data(), static_cast<int>(s.size()), out.data(), n);
  return out;
}

std::optional<std::string> FromWide(UINT cp, std::wstring_view w) {
  if (w.empty()) return std::string();
  BOOL usedDefault = FALSE;
  // UTF-8 refuses the used-default flag; invalid surrogates fail with the error flag instead.
  DWORD flags = cp == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL* used = cp == CP_UTF8 ? nullptr : &usedDefault;
  int n = WideCharToMultiByte(cp, flags, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, used);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(cp, flags, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, used);
  if (usedDefault) return std::nullopt;
  return out;
}

}  // namespace

std::optional<std::wstring> GbkToWide(std::string_view gbk) { return ToWide(kGbk, gbk, MB_ERR_INVALID_CHARS); }
std::optional<std::wstring> Utf8ToWide(std::string_view utf8) { return ToWide(CP_UTF8, utf8, MB_ERR_INVALID_CHARS); }
std::optional<std::string> WideToGbk(std::wstring_view wide) { return FromWide(kGbk, wide); }
std::optional<std::string> WideToUtf8(std::wstring_view wide) { return FromWide(CP_UTF8, wide); }

std::wstring GbkToWideLossy(std::string_view gbk) { return ToWide(kGbk, gbk, 0).value_or(std::wstring()); }

std::string WideToGbkLossy(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                    "?", nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), out.data(), n, "?",
                      nullptr);
  return out;
}

std::optional<std::string> GbkToUtf8(std::string_view gbk) {
  auto w = GbkToWide(gbk);
  if (!w) return std::nullopt;
  return WideToUtf8(*w);
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
  auto w = Utf8ToWide(utf8);
  if (!w) return std::nullopt;
  return WideToGbk(*w);
}

}  // namespace xl
