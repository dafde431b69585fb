#include "app/program.h"

#include <utility>

#include "app/bindings.h"
#include "app/shell.h"

namespace xl {

std::string DataIniPath(const ProgramState& state) { return state.programFolder + "\\data.ini"; }

Program::Program(Ui& ui, ProgramState state, StartupHooks hooks)
    : ui(ui), state(std::move(state)), hooks(std::move(hooks)) {}

// The Ui may outlive the program (tests): it must not call back into a dead one.
Program::~Program() { ui.SetEventSink(nullptr); }

void Program::Start(std::string_view replayPath) {
  ui.SetEventSink([this](const UiEventArgs& e) { Dispatch(*this, e); });
  if (hooks.skinnedUiStartup) hooks.skinnedUiStartup();
  ui.LoadWindow("host", false);
  if (hooks.pictureLoaderStartup) hooks.pictureLoaderStartup();
  // A replay named on the command line opens straight into the modify window: the start
  // window stays hidden unless the replay cannot be opened.
  ui.LoadWindow("start", replayPath.empty());
  if (!replayPath.empty()) OpenReplayFile(state, ui, replayPath);
}

}  // namespace xl
