#include "app/command_line.h"

#include <windows.h>

#include <shellapi.h>

#include "platform/codepage.h"

namespace xl {

std::string EnterProgramFolder(const wchar_t* commandLine, std::string_view programFolder) {
  std::wstring path;
  int count = 0;
  if (LPWSTR* args = CommandLineToArgvW(commandLine, &count)) {
    if (count > 1) path = args[1];
    LocalFree(args);
  }
  // Made absolute while the current folder is still the one the program was started in.
  if (!path.empty()) {
    if (DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr); n > 0) {
      std::wstring full(n, L'\0');
      n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
      if (n > 0 && n < full.size()) path = full.substr(0, n);
    }
  }
  if (auto folder = GbkToWide(programFolder)) SetCurrentDirectoryW(folder->c_str());
  return path.empty() ? std::string() : WideToGbkLossy(path);
}

}  // namespace xl
