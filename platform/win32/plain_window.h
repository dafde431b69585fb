#pragma once
#include <string_view>

namespace xl::win32 {

// Shows one plain top-level window with the given GBK caption and runs the message loop
// until it is closed; returns the exit code (0).
int RunPlainWindow(std::string_view caption, int width, int height);

}  // namespace xl::win32
