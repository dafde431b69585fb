#include "platform/files.h"

#include "platform/codepage.h"

namespace xl::fs {
namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool Match(std::string_view name, size_t n, std::string_view pat, size_t p) {
  while (p < pat.size()) {
    if (pat[p] == '*') {
      while (p < pat.size() && pat[p] == '*') ++p;
      if (p == pat.size()) return true;
      for (size_t i = n; i <= name.size(); i += (i < name.size() ? GbkCharLength(name, i) : 1))
        if (Match(name, i, pat, p)) return true;
      return false;
    }
    if (n >= name.size()) {
      // "*.*" and "name.*" also match names without an extension, as on Windows.
      return pat.substr(p) == "." || pat.substr(p) == ".*";
    }
    size_t nl = GbkCharLength(name, n);
    size_t pl = GbkCharLength(pat, p);
    if (pat[p] == '?') {
      n += nl;
      p += 1;
      continue;
    }
    if (nl != pl) return false;
    for (size_t k = 0; k < nl; ++k)
      if ((nl == 1 ? FoldAscii(name[n + k]) : name[n + k]) != (pl == 1 ? FoldAscii(pat[p + k]) : pat[p + k]))
        return false;
    n += nl;
    p += pl;
  }
  return n == name.size();
}

}  // namespace

bool EndsWithBackslash(std::string_view path) {
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < path.size(); i += GbkCharLength(path, i)) last = i;
  return last != std::string_view::npos && last + 1 == path.size() && path[last] == '\\';
}

bool MatchesPattern(std::string_view name, std::string_view pattern) { return Match(name, 0, pattern, 0); }

}  // namespace xl::fs
