#pragma once
// The login-screen style of the modify window: the preview of the chosen style and its
// one-click install into the game folder.
#include <string_view>

#include "platform/result.h"
#include "platform/ui.h"

namespace xl::skin {

// Selection change of 组合框_登录界面: "选择界面" and "原版界面" empty 图片框_界面图片,
// "简约银色" shows its preview; any other text leaves the picture as it is. 标签_提示 says
// what "原版界面" does and is empty for the other choices.
void ShowPreview(Ui& ui);

// Click of 超级按钮_修改界面: installs the chosen style into the program's own folder, which
// must be the game's (it holds qzd.exe), or with "原版界面" puts the game's own login screen
// back there, and tells the user how it went.
void Install(Ui& ui, std::string_view programFolder, std::string_view documentsFolder);

// The install itself: writes `archiveBytes` to a scratch file in the documents folder, keeps
// every game file the archive will replace under ui.bak\ in the game folder (an original
// kept there earlier stays as it is), adds each file it will create where none stands to
// ui.bak\added.txt, unpacks the archive into the game folder and removes the scratch file
// again, whatever happened. An archive with one unsafe entry is refused before anything is
// kept or unpacked.
Status InstallArchive(std::string_view archiveBytes, std::string_view gameFolder, std::string_view documentsFolder);

// Puts every original kept under ui.bak\ back into ui\ (each with an atomic replace, also
// over a file the player changed since), then removes the files ui.bak\added.txt names (an
// install by 1.1.0 made no such list: nothing is removed) and the list itself. ui.bak\ and
// its originals stay for the next install. Stops at the first file that fails.
Status RestoreOriginals(std::string_view gameFolder);

}  // namespace xl::skin
