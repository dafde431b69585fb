#include "platform/ini.h"

#include <vector>

#include "platform/files.h"

namespace xl::ini {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// Names compare ignoring the case of ASCII letters; the trail byte of a double-byte
// character may look like a letter but names another character, so it compares exactly.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (static_cast<unsigned char>(x) >= 0x80 && i + 1 < a.size()) {
      if (x != y || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    size_t nl = text.find('\n');
    if (nl == std::string_view::npos) {
      lines.push_back(text);
      break;
    }
    lines.push_back(text.substr(0, nl));
    text.remove_prefix(nl + 1);
  }
  return lines;
}

// "[name]" gives name; anything else gives nothing.
bool SectionName(std::string_view line, std::string_view& name) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return false;
  size_t close = line.find(']');
  if (close == std::string_view::npos) return false;
  name = Trim(line.substr(1, close - 1));
  return true;
}

bool KeyValue(std::string_view line, std::string_view& key, std::string_view& value) {
  line = Trim(line);
  if (line.empty() || line.front() == ';') return false;
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = Trim(line.substr(0, eq));
  value = Trim(line.substr(eq + 1));
  return true;
}

// The value as the line holds it. One with spaces or tabs at either end, or one that is in
// double quotes itself, goes in double quotes: reading trims the line and takes one pair of
// quotes off, as GetPrivateProfileString does, and so gives the value back as written.
std::string Stored(std::string_view value) {
  const bool edges =
      !value.empty() && (value.front() == ' ' || value.front() == '\t' || value.back() == ' ' || value.back() == '\t');
  const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
  if (!edges && !quoted) return std::string(value);
  std::string out(1, '"');
  out.append(value).push_back('"');
  return out;
}

}  // namespace

std::string Read(std::string_view path, std::string_view section, std::string_view key) {
  auto text = fs::ReadWholeFile(path, 1 << 20);
  if (!text) return {};
  bool inSection = false;
  for (std::string_view line : Lines(*text)) {
    std::string_view name, k, v;
    if (SectionName(line, name)) {
      inSection = SameName(name, section);
    } else if (inSection && KeyValue(line, k, v) && SameName(k, key)) {
      // A value in double quotes loses them, as GetPrivateProfileString does.
      if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
      return std::string(v);
    }
  }
  return {};
}

Status Write(std::string_view path, std::string_view section, std::string_view key, std::string_view value) {
  std::string old;
  if (fs::FileExists(path)) {
    auto text = fs::ReadWholeFile(path, 1 << 20);
    if (!text) return text.error();
    old = std::move(*text);
  }
  std::vector<std::string_view> lines = Lines(old);
  std::string entry = std::string(key) + "=" + Stored(value);
  std::string out;
  bool inSection = false, written = false;
  size_t lastInSection = std::string::npos;  // index of the section's last non-blank line
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view name, k, v;
    if (SectionName(lines[i], name)) {
      inSection = !written && SameName(name, section);
      if (inSection) lastInSection = i;
    } else if (inSection && KeyValue(lines[i], k, v) && SameName(k, key)) {
      lines[i] = entry;  // entry outlives the loop
      written = true;
      inSection = false;
    } else if (inSection && !Trim(lines[i]).empty()) {
      lastInSection = i;
    }
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    out.append(lines[i]);
    if (!out.empty() && out.back() == '\r') out.pop_back();
    out.append("\r\n");
    if (!written && i == lastInSection) {
      out.append(entry).append("\r\n");
      written = true;
    }
  }
  if (!written) out.append("[").append(section).append("]\r\n").append(entry).append("\r\n");
  return fs::ReplaceFileAtomically(path, out);
}

}  // namespace xl::ini
