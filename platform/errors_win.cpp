// The system's text for Windows error codes the program has no words of its own for.
#include <windows.h>

#include "platform/errors.h"

namespace xl {
namespace {

std::wstring MessageInLanguage(DWORD code, DWORD language) {
  wchar_t* text = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, language, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring wide = n && text ? std::wstring(text, n) : std::wstring();
  if (text) LocalFree(text);
  while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' ' || wide.back() == L'.' ||
                           wide.back() == L'\u3002'))
    wide.pop_back();
  return wide;
}

// In GBK; lossy on purpose: a reason with a character GBK lacks is still better shown than
// dropped.
std::string SystemText(DWORD code) {
  // Chinese where the system has the text in Chinese, else in the system's language.
  std::wstring wide = MessageInLanguage(code, MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
  if (wide.empty()) wide = MessageInLanguage(code, 0);
  if (wide.empty()) return {};
  int size = WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size, nullptr, nullptr);
  return out;
}

}  // namespace

Error WindowsError(std::uint32_t code) {
  if (Problem p = ProblemOfWindowsCode(code); p != Problem::Other) return ErrorOf(p);
  return Error{WithCode(SystemText(code), code)};
}

}  // namespace xl
