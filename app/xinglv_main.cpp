// The program's entry point. Built with the GUI subsystem; mingw's start-up calls main.
#include "platform/win32/win32_ui.h"

int main() {
  xl::win32::Win32Ui ui({});
  return ui.RunMessageLoop();
}
