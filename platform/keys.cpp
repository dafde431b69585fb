#include "platform/keys.h"

#include <cctype>

namespace xl {
namespace {

struct NamedKey {
  const char* name;
  int code;
};
constexpr NamedKey kNamedKeys[] = {
    {"Backspace", 0x08}, {"Tab", 0x09},      {"Enter", 0x0D},  {"Escape", 0x1B}, {"Esc", 0x1B},  {"Space", 0x20},
    {"PageUp", 0x21},    {"PageDown", 0x22}, {"End", 0x23},    {"Home", 0x24},   {"Left", 0x25}, {"Up", 0x26},
    {"Right", 0x27},     {"Down", 0x28},     {"Insert", 0x2D}, {"Delete", 0x2E},
};
constexpr int kF1 = 0x70;

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

std::optional<KeyStroke> Key(std::string_view name) {
  KeyStroke k;
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    k.name = std::string(1, c);
    k.code = c;  // the codes of letters and digits are their upper-case characters
    return k;
  }
  const std::string_view number = name.substr(1);
  if ((name[0] == 'F' || name[0] == 'f') && (number.size() == 1 || number.size() == 2) && number[0] != '0' &&
      number.find_first_not_of("0123456789") == std::string_view::npos) {
    const int n = std::stoi(std::string(number));
    if (n <= 12) {
      k.name = name;
      k.name[0] = 'F';
      k.code = kF1 + n - 1;
      return k;
    }
  }
  for (const NamedKey& named : kNamedKeys) {
    if (!SameIgnoringCase(name, named.name)) continue;
    k.name = named.code == 0x1B ? "Escape" : named.name;
    k.code = named.code;
    return k;
  }
  return std::nullopt;
}

}  // namespace

std::optional<KeyStroke> ParseKeyStroke(std::string_view text) {
  KeyStroke modifiers;
  while (true) {
    const size_t plus = text.find('+');
    if (plus == std::string_view::npos || plus == 0) break;
    const std::string_view part = text.substr(0, plus);
    bool* held = SameIgnoringCase(part, "Ctrl")    ? &modifiers.ctrl
                 : SameIgnoringCase(part, "Shift") ? &modifiers.shift
                 : SameIgnoringCase(part, "Alt")   ? &modifiers.alt
                                                   : nullptr;
    if (!held || *held) return std::nullopt;  // an unknown or repeated modifier
    *held = true;
    text.remove_prefix(plus + 1);
  }
  if (text.empty()) return std::nullopt;
  std::optional<KeyStroke> key = Key(text);
  if (!key) return std::nullopt;
  key->ctrl = modifiers.ctrl;
  key->shift = modifiers.shift;
  key->alt = modifiers.alt;
  return key;
}

std::string TypedCharacter(const KeyStroke& key) {
  if (key.ctrl || key.alt) return {};
  if (key.code == 0x20) return " ";
  if (key.name.size() != 1) return {};
  const char c = key.name[0];
  if (c >= 'A' && c <= 'Z') return std::string(1, key.shift ? c : static_cast<char>(c - 'A' + 'a'));
  static constexpr char kShiftedDigits[] = ")!@#$%^&*(";
  return std::string(1, key.shift ? kShiftedDigits[c - '0'] : c);
}

std::string KeyStrokeText(const KeyStroke& key) {
  std::string text;
  if (key.ctrl) text += "Ctrl+";
  if (key.shift) text += "Shift+";
  if (key.alt) text += "Alt+";
  return text + key.name;
}

bool IsShortcut(const KeyStroke& key) {
  return key.ctrl && !key.alt && key.name.size() == 1 && std::isalnum(static_cast<unsigned char>(key.name[0]));
}

bool EditBoxTakesShortcut(const KeyStroke& key, bool boxHasText) {
  if (!IsShortcut(key)) return false;
  const char c = key.name[0];
  return c == 'A' || c == 'C' || c == 'V' || c == 'X' || (c == 'Z' && boxHasText);
}

}  // namespace xl
