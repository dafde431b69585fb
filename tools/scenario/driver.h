#pragma once
// What the scenario runner needs of a back end: perform what a user does and read what a
// user sees. The native driver runs the program on MemoryUi; a Windows driver runs it on
// the real windows with real mouse and key messages. The script language knows nothing
// of either.
//
// Texts (window and control names, typed text, items, notices) are GBK, as the program
// holds them. Paths are native paths. Actions fail with a reason when the user could not
// do them (window closed, control hidden, no such item).
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/keys.h"
#include "platform/result.h"

namespace xl::scenario {

struct ShownNotice {
  std::string title;
  std::string text;
};

class ScenarioDriver {
 public:
  virtual ~ScenarioDriver() = default;

  // Before Start: the program's own folder (data.ini, qzd.exe) and the documents folder.
  virtual void SetProgramFolder(const std::filesystem::path& folder) = 0;
  virtual void SetDocumentsFolder(const std::filesystem::path& folder) = 0;
  // The answer of the next folder browser; nullopt answers as a cancel.
  virtual void QueueFolder(const std::optional<std::filesystem::path>& folder) = 0;
  // The button to press on the next box that offers more than one ("是", "否", "取消"); ""
  // closes the box without a button, as Esc does. A question shown with nothing queued, or
  // without that button, is closed and reported.
  virtual void QueueAnswer(std::string_view button) = 0;
  // Runs the start-up sequence; the start window is shown afterwards. With a file, the
  // program gets it as its argument, an absolute path as the file manager passes it.
  virtual Status Start(const std::optional<std::filesystem::path>& argument) = 0;

  virtual Status Click(std::string_view window, std::string_view control) = 0;
  virtual Status DoubleClick(std::string_view window, std::string_view control) = 0;
  virtual Status Press(std::string_view window, std::string_view control) = 0;  // left button down
  virtual Status Select(std::string_view window, std::string_view control, std::string_view item) = 0;
  virtual Status Type(std::string_view window, std::string_view control, std::string_view text) = 0;
  virtual Status Clear(std::string_view window, std::string_view control) = 0;
  // The control takes the focus (an edit box with the caret at the end of its text) and the
  // key goes to it as the keyboard sends it: the modifiers down, the key down and up, the
  // modifiers up.
  virtual Status Key(std::string_view window, std::string_view control, const KeyStroke& key) = 0;
  // Drops the file on the window, as dragged from the file manager.
  virtual Status Drop(std::string_view window, const std::filesystem::path& file) = 0;
  // Right-clicks the control (a list box on its selected item) and chooses `item` in the
  // popup menu. Fails when no menu opens or it has no such enabled item.
  virtual Status ChooseFromMenu(std::string_view window, std::string_view control, std::string_view item) = 0;
  // Right-clicks the control, reads the popup menu's items in order (separators left out,
  // a disabled item in square brackets: "[撤销上一次修改]") and closes it with Esc. Fails
  // when no menu opens.
  virtual Result<std::vector<std::string>> MenuItems(std::string_view window, std::string_view control) = 0;

  // A click on the control that the program takes while it lets messages through during
  // the next action (a long job's waiting), not before and not after it. Fails when the
  // control cannot be clicked now.
  virtual Status ClickMeanwhile(std::string_view window, std::string_view control) = 0;
  // After that action: fails when the program let no messages through, so the click never
  // came (it is then dropped), or when it could not land. Clears it either way.
  virtual Status MeanwhileDone() = 0;

  // The system asks the program to end (the user logs off): true when it lets the session end.
  virtual Result<bool> EndSession() = 0;

  // The system clipboard, as another program puts text on it and as any program reads it.
  virtual Status SetClipboard(std::string_view text) = 0;
  virtual Result<std::string> Clipboard() = 0;

  // Control "-" means the window itself.
  virtual Result<std::string> Text(std::string_view window, std::string_view control) = 0;
  // The grey hint of an edit box ("" for none).
  virtual Result<std::string> Hint(std::string_view window, std::string_view control) = 0;
  virtual Result<std::vector<std::string>> Items(std::string_view window, std::string_view control) = 0;
  virtual Result<bool> Visible(std::string_view window, std::string_view control) = 0;
  // Resource name of the picture shown; "" for none, "?" for a picture that is no resource.
  virtual Result<std::string> Picture(std::string_view window, std::string_view control) = 0;
  // The pointer comes to rest on the control and stays there until the next action, long
  // enough for its tooltip to come up. Fails when the control cannot be reached.
  virtual Status Hover(std::string_view window, std::string_view control) = 0;

  // A screenshot of the window with whatever of the program is shown over it (a box, a
  // popup menu, a tooltip), cropped to them; back ends without a screen do nothing.
  virtual Status Shot(std::string_view window, const std::filesystem::path& file) = 0;
  // The same screenshot, taken during the next action while its first notice or question
  // (`menu` false) or its first popup menu (`menu` true) is up. Back ends without a screen
  // take none but still watch for the box or menu.
  virtual void ShotWhenShown(bool menu, std::string_view window, const std::filesystem::path& file) = 0;
  // After that action: fails when no such box or menu came up, or the picture could not be
  // saved. Clears it either way.
  virtual Status ShotWhenShownDone() = 0;

  // Notices shown since the last call, in order (a real back end closes each one).
  virtual std::vector<ShownNotice> TakeNotices() = 0;
  // Things that went wrong outside any action: a folder browser or a question nobody answered.
  virtual std::vector<std::string> TakeProblems() = 0;
};

// The back end this runner is built with.
std::unique_ptr<ScenarioDriver> MakeDriver();

}  // namespace xl::scenario
