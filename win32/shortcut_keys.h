#pragma once
// Shortcuts (Ctrl and a letter or digit) pressed in a window or one of its controls: those
// the control leaves to its window are raised as the window's KeyPressed, and go no further.
#include <windows.h>

namespace xl::win32 {

struct LiveWindow;
struct LiveControl;

// WM_KEYDOWN of `vk` in the window itself (control null) or in one of its controls. True
// when it was a shortcut left to the window and has been raised: the caller takes the key,
// and the control the character that TranslateMessage made of it (DropsShortcutCharacter).
bool RaiseShortcut(LiveWindow& window, LiveControl* control, WPARAM vk);
// WM_CHAR in a control: true for the character of the shortcut it has just left to its
// window (Ctrl+Z makes 0x1A, which the edit control would take as its own undo).
bool DropsShortcutCharacter(LiveControl& control, WPARAM ch);
// A combo or list box hands its window the shortcuts it gets (the control is found from the
// window's user data).
void SubclassForShortcuts(HWND hwnd);

}  // namespace xl::win32
