#pragma once
// Hover tooltips for plain windows (image buttons and the like) through one system tooltip
// window shared by the whole process. Elements inside a skinned host use the host's own
// tooltip window instead.
#include <windows.h>

#include <string_view>

namespace xl::ui {

// Gives `window` a tooltip with the GBK `text`. The first call registers a tool covering the
// window's client area as it is now (the tool does not follow later resizes) and marks the
// window with the property "Lumen_ToolTips"; later calls only change the text. The tooltip
// watches the window's mouse messages itself. With `followCursor` false the tip is centred
// under the window instead of following the mouse.
void SetTooltip(HWND window, std::string_view text, bool followCursor = true);

// Takes the window's tool out of the shared tooltip and clears its mark; for windows being
// destroyed. Windows without a tool are left alone.
void RemoveTooltip(HWND window);

// The shared tooltip window; null until the first SetTooltip.
HWND SharedTooltipWindow();

}  // namespace xl::ui
