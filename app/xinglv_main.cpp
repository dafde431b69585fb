// The program's entry point on Windows. Built with the GUI subsystem; mingw's start-up
// calls main. It builds the real windows, runs the start-up sequence in its fixed order and
// then the message loop until the start window's close button ends the program.
#include <windows.h>

#include <string>

#include "app/windows.h"
#include "platform/win32/win32_ui.h"
#include "resources/resources.h"
#include "ui/hidden_host.h"
#include "ui/ui_start.h"

namespace {

using xl::Resource;
using xl::win32::Win32Ui;

// The title-bar buttons' pictures: the close button's three states serve both windows,
// the minimise button shows its first picture when not hovered.
void DecorateTitleBar(Win32Ui& ui, std::string_view window) {
  const auto close = Resource("pictures/close_normal.png");
  ui.SetButtonPictures(window, "按钮_关闭", close, Resource("pictures/close_hover.png"),
                       Resource("pictures/close_pressed.png"));
  const auto icon = Resource("pictures/icon.png");
  ui.SetButtonPictures(window, "按钮_图标", icon, icon, icon);
  const auto minimize = Resource("pictures/minimize_normal.png");
  ui.SetButtonPictures(window, "按钮_最小化", minimize, Resource("pictures/minimize_hover.png"), minimize);
}

void OnEvent(Win32Ui& ui, const xl::UiEventArgs& e) {
  using xl::UiEvent;
  if (e.event == UiEvent::Created && e.window == "host") {
    xl::ui::AttachHiddenHost(ui.WindowHandle("host"));
  } else if (e.event == UiEvent::Created) {
    ui.SetPicture(e.window, "图片框_标题栏", Resource("pictures/title_bar.jpg"));
    DecorateTitleBar(ui, e.window);
  } else if (e.event == UiEvent::LeftButtonDown && e.control == "透明标签_标题") {
    ui.BeginDrag(e.window);
  } else if (e.event == UiEvent::Clicked && e.control == "按钮_关闭") {
    if (e.window == "start") {
      ui.EndProgram(0);
    } else {
      ui.ShowWindow("start", true);
      ui.DestroyWindow(e.window);
    }
  } else if (e.event == UiEvent::Clicked && e.control == "按钮_最小化") {
    ui.MinimizeWindow(e.window);
  }
}

// The program's own folder becomes the current directory.
void EnterProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  DWORD n = 0;
  while ((n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size())
    path.resize(path.size() * 2);
  path.resize(n);
  if (size_t slash = path.find_last_of(L'\\'); slash != std::wstring::npos) {
    path.resize(slash);
    SetCurrentDirectoryW(path.c_str());
  }
}

}  // namespace

int main() {
  EnterProgramFolder();
  Win32Ui ui(xl::ProgramWindows());
  ui.SetEventSink([&ui](const xl::UiEventArgs& e) { OnEvent(ui, e); });
  xl::ui::StartSkinnedUi();
  ui.LoadWindow("host", false);
  xl::ui::StartPictureLoader();
  ui.LoadWindow("start", true);
  const int code = ui.RunMessageLoop();
  xl::ui::StopSkinnedUi();
  return code;
}
