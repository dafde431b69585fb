#include "ui/input_hold.h"

#include <utility>
#include <vector>

#include "ui/dui_host.h"

namespace xl::ui {
namespace {

struct Holds {
  int depth = 0;
  std::vector<MSG> closes;
  std::function<void()> startHook;
};
Holds& State() {
  static Holds holds;
  return holds;
}

// Raw input, keys and characters, mouse buttons, moves and wheels, also on window frames.
bool IsUserInput(UINT message) {
  return (message >= WM_INPUT && message <= WM_UNICHAR) || (message >= WM_MOUSEFIRST && message <= WM_MOUSEHWHEEL) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

bool IsClose(const MSG& m) {
  return m.message == WM_CLOSE || (m.message == WM_SYSCOMMAND && (m.wParam & 0xFFF0) == SC_CLOSE);
}

}  // namespace

InputHold::InputHold(HWND owner) : owner_(owner) {
  Holds& s = State();
  if (s.depth++ == 0 && s.startHook) s.startHook();
}

InputHold::~InputHold() {
  Holds& s = State();
  if (--s.depth > 0) return;
  for (const MSG& m : std::exchange(s.closes, {}))
    if (IsWindow(m.hwnd)) PostMessageW(m.hwnd, m.message, m.wParam, m.lParam);
}

bool InputHold::Keeps(const MSG& m) const {
  if (!m.hwnd) return false;  // a thread message belongs to no window
  const HWND top = GetAncestor(m.hwnd, GA_ROOT);
  if (top == owner_) return false;
  // The levels of one menu share the root level's window as their host property.
  if (HANDLE menu = GetPropW(owner_, kPropHost); menu && GetPropW(top, kPropHost) == menu) return false;
  if (IsUserInput(m.message)) return true;
  if (!IsClose(m)) return false;
  State().closes.push_back(m);
  return true;
}

void SetInputHoldStartHook(std::function<void()> hook) { State().startHook = std::move(hook); }

}  // namespace xl::ui
