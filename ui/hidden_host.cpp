#include "ui/hidden_host.h"

#include "resources/resources.h"
#include "ui/dui_host.h"

namespace xl::ui {

DuiHost& ProgramHost() {
  static DuiHost host;
  return host;
}

bool AttachHiddenHost(HWND window) {
  HostOptions options;
  options.backgroundImage = Resource("pictures/host_background.jpg");
  return ProgramHost().Attach(window, options);
}

namespace {

HWND& IdleWindow() {
  static HWND window = nullptr;
  return window;
}

// A timer message is the last a message loop takes, after input and painting.
void CALLBACK AttachNow(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  AttachHiddenHost(IdleWindow());
}

}  // namespace

void AttachHiddenHostWhenIdle(HWND window) {
  IdleWindow() = window;
  if (!SetTimer(nullptr, 0, USER_TIMER_MINIMUM, AttachNow)) AttachHiddenHost(window);
}

}  // namespace xl::ui
