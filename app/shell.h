#pragma once
// The handlers of the start window and of the two borderless windows' title bars: choose
// the install directory, list the replays, open one, close, minimise, drag, switch pages.
#include <string_view>

#include "app/program.h"
#include "app/state.h"
#include "platform/ui.h"

namespace xl {

inline constexpr std::string_view kBrowseTitle = "选择星律纪元安装目录";

void HostWindowCreated(Ui& ui, const StartupHooks& hooks);
// Title-bar picture, then the toolkit's title-bar buttons.
void StartWindowCreated(Ui& ui, const StartupHooks& hooks);
// Title-bar picture, the toolkit's title-bar buttons, then the person chooser.
void ModifyWindowCreated(ProgramState& state, Ui& ui, const StartupHooks& hooks);

// Folder picker, opening in the remembered game folder or else the program's own;
// remembers install directory + "\record\" in data.ini and appends the replays found below
// it to the list. A cancel changes nothing.
void ChooseInstallDirectory(ProgramState& state, Ui& ui);
// Empties the list and lists the remembered record folder again; with nothing
// remembered the list stays empty and a notice says to choose the folder first.
void ListRememberedFolder(ProgramState& state, Ui& ui);
// Opens the replay at `path` (a program path): hides the start window and opens the modify
// window; saving writes back to that file. A replay that cannot be read, or a name not
// ending in ".rcd", is not opened; a notice says why and the start window stays.
void OpenReplayFile(ProgramState& state, Ui& ui, std::string_view path);
// Opens the replay selected in the list.
void OpenSelectedReplay(ProgramState& state, Ui& ui);
// Files dropped on the start window: opens the first.
void OpenDroppedReplay(ProgramState& state, Ui& ui, std::string_view path);
// Files dropped on the modify window: the first opens in place of the current replay, after
// the question about unsaved edits when there are any (取消 keeps the current replay). A
// file that cannot be opened is named in a notice and the current replay stays.
void ReplaceOpenReplay(ProgramState& state, Ui& ui, std::string_view path);

// Right-click on the replay list: a menu to open the replay, show it in its folder, put its
// original back (only when a backup NAME.rcd.bak is beside it) or list the remembered folder
// again. The first two need a replay under the mouse.
void ReplayListMenu(ProgramState& state, Ui& ui);
// Shows the selected replay's file in the system's file manager.
void ShowSelectedReplayInFolder(ProgramState& state, Ui& ui);
// After a yes/no question, replaces the selected replay with its backup NAME.rcd.bak (kept
// by the first save after an opening); the backup stays. A failure changes nothing.
void RestoreSelectedReplay(ProgramState& state, Ui& ui);

// Right-click on the person chooser: copy the current person's costume, and once one is
// copied or the clipboard holds an outfit code, paste it to the current person; undo the
// latest edit (shown disabled while there is none).
void PersonChooserMenu(ProgramState& state, Ui& ui);

// The modify window's close button, and every other way of closing it: with edits that
// "保存" would write, the user is asked first (是 saves and closes only when the save
// worked, 否 drops the edits, 取消 keeps the window). True when the window closed.
bool ReturnToStartWindow(ProgramState& state, Ui& ui);
void EndProgram(Ui& ui);  // the start window's close button
void MinimizeModifyWindow(Ui& ui);
void DragWindow(Ui& ui, std::string_view window);
// Makes the page that the modify window's page selector `selector` declares current.
void SwitchPage(Ui& ui, std::string_view selector);

}  // namespace xl
