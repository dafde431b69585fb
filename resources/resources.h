#pragma once
// Data files carried inside the program (pictures, templates, the login-style archive).
// Each is named by its path below resources/data/, with "/" separators.
#include <string_view>
#include <vector>

namespace xl {

// The bytes of the named resource; empty when there is none of that name.
std::string_view Resource(std::string_view name);
// The name of the resource whose bytes are exactly `bytes` (same address and size), or
// empty. Lets a test back end report which picture a handler set.
std::string_view ResourceNameOf(std::string_view bytes);
std::vector<std::string_view> ResourceNames();

}  // namespace xl
