#pragma once
// The one interface through which handlers reach windows and controls. Handlers name a
// window by its definition id ("start", "modify", "host") and a control by its name, and
// read or set one property at a time. Two back ends implement it: MemoryUi (portable, for
// tests and scenarios) and Win32Ui (the real windows).
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace xl {

enum class UiEvent {
  Created,           // the window's units exist; raised before LoadWindow returns
  Clicked,           // buttons, image buttons
  DoubleClicked,     // list box
  LeftButtonDown,    // picture boxes, transparent labels; x/y in the control's client area
  SelectionChanged,  // combo boxes, by the user or by SetSelection
  // Right button released over a control (or the menu key). On a list box the item under
  // the mouse is selected first; over no item, nothing is selected. x/y in the control's
  // client area.
  ContextMenu,
  // The system asks whether the program may end (the user logs off or shuts down); raised
  // on each open window. A handler that keeps the session from ending sets *refuse.
  SessionEnding,
  // Files dropped on a window that takes them (its definition says so); `text` holds the
  // first file's path (GBK). Raised for the window itself: control is empty.
  FilesDropped,
  // A shortcut (Ctrl and a letter or digit, see IsShortcut) pressed while the window or one
  // of its controls has the focus, which that control leaves to its window: every control
  // does, except an edit box for what it does itself (EditBoxTakesShortcut). Raised for the
  // window itself (control empty), `text` naming the keys as KeyStrokeText does ("Ctrl+Z");
  // the control does nothing with them.
  KeyPressed,
};

struct UiEventArgs {
  std::string_view window;
  std::string_view control;  // empty for window events
  UiEvent event;
  int x = 0, y = 0;
  std::string_view text = {};  // FilesDropped: the first file's path; KeyPressed: the keys
  bool* refuse = nullptr;      // SessionEnding only
};

using UiEventSink = std::function<void(const UiEventArgs&)>;

// The button that answered a question. Closing the box without a button (Esc, its close
// button) answers Cancel, also when the box offered no 取消.
enum class Answer { Yes, No, Cancel };

// One entry of a popup menu; an empty text is a separator line.
struct MenuEntry {
  std::string text;
  bool enabled = true;
};

class Ui {
 public:
  virtual ~Ui() = default;

  // Every user action reaches the program through this sink.
  virtual void SetEventSink(UiEventSink sink) = 0;

  // Windows. LoadWindow creates the window and all its units from the definition and
  // raises Created before it returns. A window that does not exist is ignored by the
  // other calls.
  virtual void LoadWindow(std::string_view window, bool visible) = 0;
  virtual bool WindowExists(std::string_view window) = 0;
  virtual void ShowWindow(std::string_view window, bool visible) = 0;
  virtual void DestroyWindow(std::string_view window) = 0;
  virtual void MinimizeWindow(std::string_view window) = 0;
  // Lets the user move the window with the mouse from a press on its title.
  virtual void BeginDrag(std::string_view window) = 0;
  virtual void EndProgram(int exitCode) = 0;

  // Visibility of a window (control "-" or empty) or of a control as the user sees it:
  // hidden when its own flag is off, when it sits on a tab page that is not current, or
  // when its window is hidden.
  virtual bool IsVisible(std::string_view window, std::string_view control) = 0;

  // Text of edit boxes, labels, group boxes and transparent labels; the current item's
  // text of combo and list boxes (empty when nothing is selected).
  virtual std::string GetText(std::string_view window, std::string_view control) = 0;
  virtual void SetText(std::string_view window, std::string_view control, std::string_view text) = 0;
  // Edit boxes: the grey hint shown while the box is empty (a cue banner). It is no content:
  // GetText stays empty, and typing replaces it. An empty hint removes it.
  virtual void SetHint(std::string_view window, std::string_view control, std::string_view hint) = 0;
  virtual std::string GetHint(std::string_view window, std::string_view control) = 0;

  // Combo and list boxes. Indices are 0-based; -1 means no selection.
  virtual int GetSelection(std::string_view window, std::string_view control) = 0;
  virtual void SetSelection(std::string_view window, std::string_view control, int index) = 0;
  virtual int ItemCount(std::string_view window, std::string_view control) = 0;
  virtual std::string ItemText(std::string_view window, std::string_view control, int index) = 0;
  virtual void AddItem(std::string_view window, std::string_view control, std::string_view text) = 0;
  virtual void ClearItems(std::string_view window, std::string_view control) = 0;
  // Bracket a long fill of a list: redraw is suspended in between.
  virtual void BeginUpdate(std::string_view window, std::string_view control) = 0;
  virtual void EndUpdate(std::string_view window, std::string_view control) = 0;

  // Picture boxes: encoded picture bytes (PNG, JPEG or GIF); empty bytes clear the box.
  // The bytes must outlive the call only; back ends keep their own copy or decoding.
  virtual void SetPicture(std::string_view window, std::string_view control, std::string_view bytes) = 0;

  // Tab control: make page `index` current (its controls shown, the others hidden).
  virtual void SetPage(std::string_view window, std::string_view control, int index) = 0;
  virtual int GetPage(std::string_view window, std::string_view control) = 0;

  // A modal notice owned by `owner` (a window id). Returns when the user has closed it.
  virtual void ShowNotice(std::string_view owner, std::string_view text, std::string_view title) = 0;

  // A modal question owned by `owner` with the buttons 是 and 否, and 取消 as well when
  // `offerCancel`. It is shown like a notice (a question mark instead of the notice's badge)
  // and returns once the user has answered.
  virtual Answer Ask(std::string_view owner, std::string_view text, std::string_view title, bool offerCancel) = 0;

  // The system's folder picker, opening in `startFolder` (a GBK path; empty leaves it to the
  // system); the picked folder, or empty when the user cancels.
  virtual std::string BrowseFolder(std::string_view owner, std::string_view title, std::string_view startFolder) = 0;

  // A popup menu owned by `owner`, at the mouse. Returns once it has closed: the index of
  // the chosen entry, or -1 when the user closed it without choosing.
  virtual int ShowMenu(std::string_view owner, const std::vector<MenuEntry>& entries) = 0;

  // Opens the folder holding the file `path` in the system's file manager, with the file
  // selected. False when the file manager could not be started.
  virtual bool ShowInFolder(std::string_view path) = 0;

  // The system clipboard as text (GBK): what it holds as text, empty when it holds none.
  // A character GBK cannot hold comes back as "?".
  virtual std::string ClipboardText() = 0;
  // Puts `text` on the clipboard in place of what it held. False when the clipboard could not
  // be had (another program keeps it open).
  virtual bool SetClipboardText(std::string_view text) = 0;

  // Lets pending window messages be processed, so the windows stay responsive during a
  // long operation. Other handlers may run inside this call.
  virtual void PumpMessages() = 0;
};

}  // namespace xl
