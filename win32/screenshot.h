#pragma once
// A window as the user sees it, saved as a PNG file (screenshots of the scenario runner and
// of the documentation).
#include <windows.h>

#include <string>

#include "platform/result.h"

namespace xl::win32 {

// Brings the window to the top, lets it paint, and copies its rectangle from the screen.
Status SaveWindowShot(HWND window, const std::wstring& pngPath);

}  // namespace xl::win32
