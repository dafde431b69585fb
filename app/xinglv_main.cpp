// The program's entry point on Windows. Built with the GUI subsystem; mingw's start-up
// calls main. It builds the real windows, fills the start-up hooks with the skinned
// toolkit's parts, runs the start-up sequence and then the message loop until the start
// window's close button ends the program.
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "app/program.h"
#include "app/window_defs.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "app/title_buttons.h"
#include "win32/win32_ui.h"
#include "ui/hidden_host.h"
#include "ui/ui_start.h"

namespace {

// The replay named on the command line (Explorer's "Open with", a file association, a file
// dropped on the program's icon), made absolute against the folder the program was started
// in, before the program's own folder becomes the current one. Empty without an argument.
std::string ReplayArgument() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args) return {};
  std::wstring path = count > 1 ? args[1] : L"";
  LocalFree(args);
  if (path.empty()) return {};
  if (DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr); n > 0) {
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (n > 0 && n < full.size()) path = full.substr(0, n);
  }
  return xl::WideToGbkLossy(path);
}

}  // namespace

int main() {
  xl::ProgramState state;
  state.programFolder = xl::fs::ExecutableFolder();
  state.documentsFolder = xl::fs::DocumentsFolder();
  const std::string replayPath = ReplayArgument();
  // The program's own folder is the current directory from here on.
  if (auto folder = xl::GbkToWide(state.programFolder)) SetCurrentDirectoryW(folder->c_str());

  // The windows and the pictures they show go while GDI+ still runs.
  int code = 0;
  {
    xl::win32::Win32Ui ui(xl::ProgramWindows());
    xl::TitleBarButtons titleButtons;
    xl::StartupHooks hooks;
    hooks.skinnedUiStartup = [] { xl::ui::StartSkinnedUi(); };
    hooks.pictureLoaderStartup = [] { xl::ui::StartPictureLoader(); };
    hooks.hostWindowCreated = [&](xl::Ui&) { xl::ui::AttachHiddenHostWhenIdle(ui.WindowHandle("host")); };
    hooks.startWindowCreated = [&](xl::Ui&) { xl::MakeStartTitleButtons(ui, titleButtons); };
    hooks.modifyWindowCreated = [&](xl::Ui&) { xl::MakeModifyTitleButtons(ui, titleButtons); };

    xl::Program program(ui, std::move(state), std::move(hooks));
    program.Start(replayPath);
    code = ui.RunMessageLoop();
  }
  xl::ui::StopSkinnedUi();
  return code;
}
