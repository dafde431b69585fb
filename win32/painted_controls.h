#pragma once
// The small controls the program paints itself: picture boxes (the title bar, the page
// selectors), image and plain buttons, the title label, and the panel class that draws the
// tab panel, group boxes and the one-pixel border lines.
#include <windows.h>

namespace xl::win32 {

inline constexpr wchar_t kPictureClass[] = L"XinglvPicture";
inline constexpr wchar_t kButtonClass[] = L"XinglvButton";
inline constexpr wchar_t kTitleLabelClass[] = L"XinglvTitleLabel";
inline constexpr wchar_t kPanelClass[] = L"XinglvPanel";
// Dark grey text of every control, painted or standard.
inline constexpr COLORREF kControlText = RGB(51, 51, 51);

// Registers the four classes above; each finds its LiveControl in GWLP_USERDATA.
void RegisterPaintedControlClasses();

}  // namespace xl::win32
