#pragma once
// A window as the user sees it, saved as a PNG file (screenshots of the scenario runner and
// of the documentation).
#include <windows.h>

#include <string>

#include "platform/result.h"

namespace xl::win32 {

// Brings the window to the top, lets it paint, and copies from the screen the rectangle
// that holds it and every shown window of its thread lying over it (a message box, a popup
// menu, a tooltip), so the picture shows all of the program that is on top of it and
// nothing around.
Status SaveWindowShot(HWND window, const std::wstring& pngPath);

}  // namespace xl::win32
