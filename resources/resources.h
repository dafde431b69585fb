#pragma once
// Data files carried inside the program (pictures, templates, the login-style archive).
// Each is named by its path below resources/data/, with "/" separators.
#include <string>
#include <string_view>
#include <vector>

namespace xl {

// The bytes of the named resource; empty when there is none of that name.
std::string_view Resource(std::string_view name);
// Which picture a control shows, as the back ends report it: empty for none, the name of the
// resource whose bytes these are (its own bytes, or a copy a handler made of them), or "?"
// for bytes that are no resource.
std::string PictureName(std::string_view bytes);
std::vector<std::string_view> ResourceNames();

}  // namespace xl
