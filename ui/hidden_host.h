#pragma once
// The program's own DuiHost: it takes over the hidden host window with its 330 x 220
// background picture, so hosted windows can borrow that picture as their skin.
#include <windows.h>

namespace xl::ui {

class DuiHost;

// Attaches the program's host to `window` with the background picture
// "pictures/host_background.jpg" (no picture when the program carries none). False when the
// window is no window or the host is already attached.
bool AttachHiddenHost(HWND window);
// The same, once the thread's message loop has nothing else to do: the hidden window is
// never shown, and decoding its picture and composing it would hold the start window's
// first showing back. Call it from the hidden window's creation handler.
void AttachHiddenHostWhenIdle(HWND window);
// The program's host (attached or not).
DuiHost& ProgramHost();

}  // namespace xl::ui
