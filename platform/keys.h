#pragma once
// A key pressed with the modifiers held, as a script names it ("Ctrl+Z", "Shift+Insert",
// "Backspace") and as the keyboard sends it (a Windows virtual-key code).
#include <optional>
#include <string>
#include <string_view>

namespace xl {

struct KeyStroke {
  bool ctrl = false, shift = false, alt = false;
  std::string name;  // as the names below spell it: "Z", "7", "F5", "Backspace"
  int code = 0;      // the key's Windows virtual-key code
};

// Modifiers (Ctrl, Shift, Alt) and one key, joined by "+", names in any case. Keys: A to Z,
// 0 to 9, F1 to F12, Backspace, Tab, Enter, Escape (or Esc), Space, PageUp, PageDown, End,
// Home, Left, Up, Right, Down, Insert, Delete. Nullopt for anything else.
std::optional<KeyStroke> ParseKeyStroke(std::string_view text);

// The keys as ParseKeyStroke reads them, modifiers first in the order Ctrl, Shift, Alt:
// "Ctrl+Shift+Z", "Backspace".
std::string KeyStrokeText(const KeyStroke& key);

// A shortcut of a window: Ctrl held (Alt not, which would make it AltGr), and a letter or a
// digit. Controls leave them to their window, except an edit box for those it acts on itself.
bool IsShortcut(const KeyStroke& key);
// The shortcuts of the system's edit control: Ctrl+A (all), Ctrl+C, Ctrl+V, Ctrl+X, and
// Ctrl+Z (undo its own typing) while the box holds text of its own. Shift makes no
// difference, as it makes none to the control.
bool EditBoxTakesShortcut(const KeyStroke& key, bool boxHasText);

// The character the key types on a US keyboard with these modifiers ("a", "A", "!" for
// Shift+1, " " for Space); empty when it types none (with Ctrl or Alt, or a key that moves or
// edits rather than types).
std::string TypedCharacter(const KeyStroke& key);

}  // namespace xl
