#pragma once
// The edit boxes: the system's edit control, subclassed so that it keeps to the unit's
// input rules for typed and pasted text, refuses what GBK cannot hold, draws its hint and
// leaves its window the shortcuts it does not act on itself.
#include <windows.h>

namespace xl::win32 {

struct LiveControl;

// Gives the edit box `hwnd` of control `c` the program's input rules and hint drawing.
void SubclassEditBox(HWND hwnd, LiveControl& c);

}  // namespace xl::win32
