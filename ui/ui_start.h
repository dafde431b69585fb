#pragma once
// The toolkit's program-wide values and its two start-ups. The program's start-up sequence
// calls StartSkinnedUi and StartPictureLoader once, before its first window is loaded; the
// values live until StopSkinnedUi (at exit).
#include "ui/gdi.h"

namespace xl::ui {

// Name of the window class that hosted windows (message box, popup menus) are created with.
inline constexpr wchar_t kHostWindowClass[] = L"Ex_DirectUI";

// Starts GDI+, reads the system version, loads the cursor and registers the "Ex_DirectUI"
// class; the default font and the shared sprite picture are made when first asked for.
// Calling it again does nothing.
void StartSkinnedUi();
// A second GDI+ start for the picture loader, and the time frame dimension it selects with.
void StartPictureLoader();
// Releases everything the start-ups made (font, sprite, class) and shuts GDI+ down.
void StopSkinnedUi();

// The running Windows major version: blur behind windows only from 6 (Vista) on.
int OsMajorVersion();
// 12-pixel regular font of the first family GDI+ knows among "宋体" and the system caption
// font; null when neither exists or the toolkit is not started. Text elements and the
// message box fall back to it.
GpFont* DefaultUiFont();
// The default font at a display's DPI: the same family, 12 pixels scaled from 96 DPI. Null
// when there is no default font.
GpFont* UiFont(UINT dpi);
HCURSOR DefaultCursor();
// The 729 x 20 picture the caption buttons are drawn from; see SysButtonSprite in dui_sys_button.h.
GpImage* SharedSpritePicture();
// Icon resource 129 of the program (null in programs without one).
HICON DefaultClassIcon();
// The GDI+ time frame dimension {6AEDBD6D-3FB5-418A-83A6-7F45229DC872}.
const GUID& FrameDimensionTime();

}  // namespace xl::ui
