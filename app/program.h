#pragma once
// The program: its state, the Ui it runs on and the start-up sequence. The Windows entry
// point creates a Win32Ui, fills the hooks with the skinned toolkit's parts, calls Start
// and runs the message loop; tests and scenarios do the same on a MemoryUi with no hooks.
#include <functional>
#include <string_view>

#include "app/state.h"
#include "platform/ui.h"

namespace xl {

// What the Windows toolkit adds to the start-up; every hook may be left empty.
struct StartupHooks {
  // Module initialisers, in start-up order around the loading of the hidden host window.
  std::function<void()> skinnedUiStartup;      // fonts and shared objects of the skinned UI
  std::function<void()> pictureLoaderStartup;  // picture decoding for the toolkit
  // Extras of the created handlers that need the real windows.
  std::function<void(Ui&)> hostWindowCreated;    // attaches the skinned host with its background
  std::function<void(Ui&)> startWindowCreated;   // title-bar image buttons: close, icon
  std::function<void(Ui&)> modifyWindowCreated;  // title-bar image buttons: close, minimise, icon
};

struct Program {
  Program(Ui& ui, ProgramState state, StartupHooks hooks = {});
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program();

  // Routes the Ui's events to the bound handlers, runs the module initialisers (the
  // skinned UI, then the hidden host window, then the picture loader) and shows the start
  // window. With a replay's path (the program's argument: "Open with", a file association,
  // a file dropped on the program's icon) that replay is opened at once, as a double-click
  // in the list would. The caller runs the message loop afterwards.
  void Start(std::string_view replayPath = {});

  Ui& ui;
  ProgramState state;
  const StartupHooks hooks;
};

}  // namespace xl
