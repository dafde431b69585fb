#include "win32/clipboard.h"

#include <algorithm>

namespace xl::win32 {
namespace {

// Another program (a clipboard manager, a remote-desktop client) may hold the clipboard
// open for a moment; try a few times over about a fifth of a second.
bool OpenWithRetries(HWND owner) {
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (OpenClipboard(owner)) return true;
    Sleep(20);
  }
  return false;
}

}  // namespace

std::optional<std::wstring> ReadClipboardText(HWND owner) {
  if (!OpenWithRetries(owner)) return std::nullopt;
  std::wstring text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
      // The block may be larger than its text; the text ends at the first zero.
      const size_t limit = GlobalSize(data) / sizeof(wchar_t);
      text.assign(p, std::find(p, p + limit, L'\0'));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

bool WriteClipboardText(HWND owner, std::wstring_view text) {
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) return false;
  auto* p = static_cast<wchar_t*>(GlobalLock(block));
  if (!p) {
    GlobalFree(block);
    return false;
  }
  std::copy(text.begin(), text.end(), p);
  p[text.size()] = L'\0';
  GlobalUnlock(block);
  if (!OpenWithRetries(owner)) {
    GlobalFree(block);
    return false;
  }
  // Once SetClipboardData takes the block, the system owns it.
  const bool written = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, block);
  CloseClipboard();
  if (!written) GlobalFree(block);
  return written;
}

}  // namespace xl::win32
