#pragma once
// data.ini: one value per section and key, GBK text, the usual INI syntax. The same code
// reads and writes it on every system, in GBK whatever the system's ANSI code page is, so
// a Chinese section name survives an English Windows (the private-profile functions would
// write it in the ANSI code page and lose it).
#include <string>
#include <string_view>

#include "platform/result.h"

namespace xl::ini {

// Empty when the file, the section or the key is missing. Names compare ignoring ASCII case.
std::string Read(std::string_view path, std::string_view section, std::string_view key);
// Creates the file, the section or the key as needed; keeps every other line as it was.
Status Write(std::string_view path, std::string_view section, std::string_view key, std::string_view value);

}  // namespace xl::ini
