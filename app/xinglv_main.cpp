// The program's entry point on Windows. Built with the GUI subsystem; mingw's start-up
// calls main. It builds the real windows, fills the start-up hooks with the skinned
// toolkit's parts, runs the start-up sequence and then the message loop until the start
// window's close button ends the program.
#include <windows.h>

#include <string>

#include "app/command_line.h"
#include "app/program.h"
#include "app/window_defs.h"
#include "platform/files.h"
#include "app/title_buttons.h"
#include "win32/win32_ui.h"
#include "ui/hidden_host.h"
#include "ui/ui_start.h"

int main() {
  xl::ProgramState state;
  state.programFolder = xl::fs::ExecutableFolder();
  state.documentsFolder = xl::fs::DocumentsFolder();
  // The program's own folder is the current directory from here on.
  const std::string replayPath = xl::EnterProgramFolder(GetCommandLineW(), state.programFolder);

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
