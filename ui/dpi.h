#pragma once
// Display scale. Every window, control, picture and font of the program is designed in
// pixels of a 96-DPI display; on the screen each is that many pixels times the DPI of the
// monitor its window is on over 96 (the program declares itself per-monitor DPI aware in its
// manifest). A window moved to a monitor of another DPI gets WM_DPICHANGED and takes the new
// scale.
#include <windows.h>

namespace xl::ui {

inline constexpr UINT kDesignDpi = 96;

// The DPI a window is drawn at: its monitor's (Windows 8.1 on), else the system's.
UINT DpiOf(HWND window);
// The DPI of the monitor at a point of the screen, for a window about to be made there.
UINT DpiAt(POINT screenPoint);
// The system's DPI (the one of the primary monitor when the user logged on).
UINT SystemDpi();

// `design` pixels at `dpi`, rounded to the nearest pixel.
int Scaled(int design, UINT dpi);
float Scaled(float design, UINT dpi);
// A line one design pixel wide stays whole pixels: 1 below 192 DPI, 2 from 192 on, and so on.
int LineWidth(UINT dpi);

// The font tooltips show their texts in (the system's status font) at `dpi`; program-wide,
// kept until the program ends.
HFONT TooltipFont(UINT dpi);

}  // namespace xl::ui
