#pragma once
// The system clipboard's Unicode text (CF_UNICODETEXT), read and written whole.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace xl::win32 {

// The clipboard's text; empty when it holds none. Nullopt when it could not be opened.
std::optional<std::wstring> ReadClipboardText(HWND owner);
// Empties the clipboard and puts `text` on it. False when it could not be opened or written.
bool WriteClipboardText(HWND owner, std::wstring_view text);

}  // namespace xl::win32
