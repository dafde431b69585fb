#pragma once
// What the program's entry point does with its command line before any window exists
// (Windows only).
#include <string>
#include <string_view>

namespace xl {

// The replay named by the first argument of `commandLine` (Explorer's "Open with", a file
// association, a file dropped on the program's icon) as a GBK path, made absolute against
// the current folder, the one the program was started in; empty without an argument. Then
// the program's own folder `programFolder` becomes the current one, as start-up needs it.
std::string EnterProgramFolder(const wchar_t* commandLine, std::string_view programFolder);

}  // namespace xl
