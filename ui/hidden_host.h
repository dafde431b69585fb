#pragma once
// The program's own DuiHost: it takes over the hidden host window with its 330 x 220
// background picture, so hosted windows can borrow that picture as their skin.
#include <windows.h>

namespace xl::ui {

class DuiHost;

// Attaches the program's host to `window` with the background picture
// "pictures/host_background.jpg" (no picture when the program carries none). Call it from
// the hidden window's creation handler. False when the window is no window or the host is
// already attached.
bool AttachHiddenHost(HWND window);
// The program's host (attached or not).
DuiHost& ProgramHost();

}  // namespace xl::ui
