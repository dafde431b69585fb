#pragma once
// Everything the handlers share, alive from start-up to the end of the program: one
// struct, handed to the handlers explicitly, instead of globals.
#include <string>

#include "replay/document.h"

namespace xl {

struct ProgramState {
  // Folder of the program file, without a trailing backslash; data.ini lives here.
  std::string programFolder;
  // The user's documents folder, without a trailing backslash.
  std::string documentsFolder;
  // The game's install directory followed by "\record\" (trailing backslash included);
  // empty until a directory is chosen or the remembered one is listed. The replay list
  // holds paths relative to it.
  std::string recordFolder;
  // The opened replay, its file, its player blocks and the person being edited.
  replay::ReplayState replay;
  // The body-part list that "复制此人服饰" took; kept for the whole run, so it also pastes
  // into a player of a replay opened later. Empty until something is copied.
  std::string copiedCostume;
  // A folder listing is under way (it lets messages through, so a second click on a list
  // button can arrive in the middle of it).
  bool listing = false;
  // The question about unsaved edits, or the save it leads to, is under way. Their boxes let
  // other messages through, so a second close (the taskbar's, a log-off) can arrive meanwhile.
  bool askingToClose = false;
};

// program folder + "\data.ini".
std::string DataIniPath(const ProgramState& state);

}  // namespace xl
