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

}  // namespace xl::ui
