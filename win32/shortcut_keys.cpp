#include "win32/shortcut_keys.h"

#include <string>

#include "platform/keys.h"
#include "win32/live_window.h"
#include "win32/win32_ui.h"

namespace xl::win32 {
namespace {

// The control's own class procedure: list and combo boxes are given no other procedure
// before this one.
LRESULT CallClassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto proc = reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd, GCLP_WNDPROC));
  return CallWindowProcW(proc, hwnd, msg, wp, lp);
}

// A plain window procedure in front of the class's, not a comctl32 subclass: under Wine
// every message through one of those looks two window properties up in the server, and a
// list filled with 20,000 names took 3 s instead of 30 ms. The control comes from the
// window's user data, which every control but the edit box carries.
LRESULT CALLBACK ShortcutProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (auto* c = reinterpret_cast<LiveControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) {
    switch (msg) {
      case WM_KEYDOWN:
        if (RaiseShortcut(*c->window, c, wp)) return 0;
        break;
      case WM_CHAR:
        if (DropsShortcutCharacter(*c, wp)) return 0;
        break;
    }
  }
  return CallClassProc(hwnd, msg, wp, lp);
}

}  // namespace

bool RaiseShortcut(LiveWindow& window, LiveControl* control, WPARAM vk) {
  const bool letter = vk >= 'A' && vk <= 'Z', digit = vk >= '0' && vk <= '9';
  if (!letter && !digit) return false;
  KeyStroke key;
  key.ctrl = GetKeyState(VK_CONTROL) < 0;
  key.shift = GetKeyState(VK_SHIFT) < 0;
  key.alt = GetKeyState(VK_MENU) < 0;
  key.name = std::string(1, static_cast<char>(vk));
  key.code = static_cast<int>(vk);
  if (!IsShortcut(key)) return false;
  if (control && control->unit->kind == UnitKind::EditBox &&
      EditBoxTakesShortcut(key, GetWindowTextLengthW(control->hwnd) > 0))
    return false;
  // Set before the handler runs: its notice's own message loop delivers the character.
  if (control) control->shortcutCharacterDue = true;
  window.ui->Deliver(window, nullptr, UiEvent::KeyPressed, 0, 0, KeyStrokeText(key));
  return true;
}

bool DropsShortcutCharacter(LiveControl& control, WPARAM ch) {
  const bool due = control.shortcutCharacterDue;
  control.shortcutCharacterDue = false;
  return due && ch < 0x20;
}

void SubclassForShortcuts(HWND hwnd) {
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ShortcutProc));
}

}  // namespace xl::win32
