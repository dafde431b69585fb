#pragma once
// The reasons the program gives when a file, folder or archive cannot be used. A player
// reads them in Chinese whatever the system's language: the codes a player can meet map
// onto the program's own words (what happened and, where there is one, what to do), on
// Windows from its error codes and elsewhere from errno values, onto the same reasons.
// Any other failure shows the system's text followed by its code, so it can be searched for.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace xl {

// The program's own reason for a problem; empty for Problem::Other.
std::string_view ProblemText(Problem problem);

// The problem a Windows error code or an errno value stands for; Other when the program
// has no words of its own for it.
Problem ProblemOfWindowsCode(std::uint32_t code);
Problem ProblemOfErrno(int err);

// An error with the program's own reason; a detail goes in brackets after what happened,
// before what to do ("压缩包已损坏或格式不受支持（条目已加密：a.tpf）；请…").
Error ErrorOf(Problem problem, std::string_view detail = {});
// "TEXT（错误代码 N）", or "错误代码 N" when there is no text.
std::string WithCode(std::string_view systemText, long long code);

// The error for an errno value: the program's reason, else the system's text and the code.
Error ErrnoError(int err);

#ifdef _WIN32
// The error for a Windows error code: the program's reason, else the system's text (in
// Chinese where the system has it) and the code.
Error WindowsError(std::uint32_t code);
#endif

}  // namespace xl
