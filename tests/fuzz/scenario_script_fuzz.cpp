// The scenario script parser on any bytes: never a crash, and a script it refuses is named
// by a clear error: "line N: " with N one of the script's lines, then the reason.
#include <cstdint>
#include <string>
#include <string_view>

#include "tests/fuzz/fuzz_support.h"
#include "tools/scenario/script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string_view script(reinterpret_cast<const char*>(data), size);
  size_t lines = 1;
  for (char c : script) lines += c == '\n';
  auto commands = xl::scenario::ParseScript(script);
  if (!commands) {
    const std::string& message = commands.error().message;
    FUZZ_CHECK(message.rfind("line ", 0) == 0);
    size_t at = 5, number = 0;
    while (at < message.size() && message[at] >= '0' && message[at] <= '9')
      number = number * 10 + (message[at++] - '0');
    FUZZ_CHECK(at > 5 && number >= 1 && number <= lines);
    FUZZ_CHECK(message.compare(at, 2, ": ") == 0 && message.size() > at + 2);
    return 0;
  }
  for (const xl::scenario::Command& c : *commands) FUZZ_CHECK(c.line >= 1 && static_cast<size_t>(c.line) <= lines);
  return 0;
}
