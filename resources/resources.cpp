#include "resources/resources.h"

// Both compilers read sources as UTF-8 and write narrow literals as GBK; resource names are
// plain ASCII file names, so the two agree.
namespace xl::detail {
struct ResourceEntry {
  const char* name;
  const char* begin;
  const char* end;
};
extern const ResourceEntry kResources[];
}  // namespace xl::detail

namespace xl {

std::string_view Resource(std::string_view name) {
  for (const auto* e = detail::kResources; e->name; ++e)
    if (name == e->name) return std::string_view(e->begin, static_cast<size_t>(e->end - e->begin));
  return {};
}

std::string PictureName(std::string_view bytes) {
  if (bytes.empty()) return "";
  // The resource's own bytes first (same address), then a copy of them.
  for (const auto* e = detail::kResources; e->name; ++e)
    if (bytes.data() == e->begin && bytes.size() == static_cast<size_t>(e->end - e->begin)) return e->name;
  for (const auto* e = detail::kResources; e->name; ++e)
    if (bytes == std::string_view(e->begin, static_cast<size_t>(e->end - e->begin))) return e->name;
  return "?";
}

std::vector<std::string_view> ResourceNames() {
  std::vector<std::string_view> names;
  for (const auto* e = detail::kResources; e->name; ++e) names.emplace_back(e->name);
  return names;
}

}  // namespace xl
