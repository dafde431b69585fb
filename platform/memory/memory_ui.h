#pragma once
// The Ui back end without windows: each window definition instantiated as plain control
// states. Handlers run on it unchanged, so native tests and scenario scripts exercise the
// same code as the real program.
//
// Besides the Ui interface it offers what a user does (type, click, select...) and what a
// user sees (notices, pictures, minimised windows). A user action goes through the same
// rules as on the real controls: it reaches only a visible control of a visible window,
// typed text passes the edit box's input rules, and the action raises the control's event.
// An action that cannot be done (no such control, hidden, wrong kind, no such item) does
// nothing, returns false and is reported by TakeProblems(), as is a folder browser that the
// test did not answer in advance. The Ui calls report a window or control name that does
// not exist the same way (a window that is merely not open is ignored, as on the real
// windows), so a misspelt name fails the first test that reaches it.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/keys.h"
#include "platform/ui.h"
#include "platform/window_def.h"

namespace xl {

struct Notice {
  std::string owner;
  std::string text;
  std::string title;
};

class MemoryUi : public Ui {
 public:
  explicit MemoryUi(const std::vector<WindowDef>& windows);

  // Ui
  void SetEventSink(UiEventSink sink) override;
  void LoadWindow(std::string_view window, bool visible) override;
  bool WindowExists(std::string_view window) override;
  void ShowWindow(std::string_view window, bool visible) override;
  void DestroyWindow(std::string_view window) override;
  void MinimizeWindow(std::string_view window) override;
  void BeginDrag(std::string_view window) override;
  void EndProgram(int exitCode) override;
  bool IsVisible(std::string_view window, std::string_view control) override;
  std::string GetText(std::string_view window, std::string_view control) override;
  void SetText(std::string_view window, std::string_view control, std::string_view text) override;
  void SetHint(std::string_view window, std::string_view control, std::string_view hint) override;
  std::string GetHint(std::string_view window, std::string_view control) override;
  int GetSelection(std::string_view window, std::string_view control) override;
  void SetSelection(std::string_view window, std::string_view control, int index) override;
  int ItemCount(std::string_view window, std::string_view control) override;
  std::string ItemText(std::string_view window, std::string_view control, int index) override;
  void AddItem(std::string_view window, std::string_view control, std::string_view text) override;
  void ClearItems(std::string_view window, std::string_view control) override;
  void BeginUpdate(std::string_view window, std::string_view control) override;
  void EndUpdate(std::string_view window, std::string_view control) override;
  void SetPicture(std::string_view window, std::string_view control, std::string_view bytes) override;
  void SetPage(std::string_view window, std::string_view control, int index) override;
  int GetPage(std::string_view window, std::string_view control) override;
  void ShowNotice(std::string_view owner, std::string_view text, std::string_view title) override;
  Answer Ask(std::string_view owner, std::string_view text, std::string_view title, bool offerCancel) override;
  std::string BrowseFolder(std::string_view owner, std::string_view title, std::string_view startFolder) override;
  int ShowMenu(std::string_view owner, const std::vector<MenuEntry>& entries) override;
  bool ShowInFolder(std::string_view path) override;
  std::string ClipboardText() override;
  bool SetClipboardText(std::string_view text) override;
  void PumpMessages() override;

  // What a user does. Each returns whether the action reached the control.
  // Type: key by key at the end of the text, through the edit box's input rules: a
  // read-only box takes nothing, a digits box only 0-9 and "-", a maximum length stops
  // typing there; backspace (\b) removes the last character, other control characters
  // are ignored (one-line boxes).
  bool Type(std::string_view window, std::string_view control, std::string_view text);
  bool Clear(std::string_view window, std::string_view control);  // empties an editable box
  bool Click(std::string_view window, std::string_view control);
  bool DoubleClick(std::string_view window, std::string_view control);
  bool Press(std::string_view window, std::string_view control);  // left button, at the centre
  // Picks the first item with that text in a combo or list box; raises SelectionChanged.
  bool Select(std::string_view window, std::string_view control, std::string_view itemText);
  // Right button on a control. On a list box it lands over the first item with that text
  // ("" = below the items) and selects it (or nothing); other controls ignore `itemText`.
  // Raises ContextMenu.
  bool RightClick(std::string_view window, std::string_view control, std::string_view itemText = {});
  // A key pressed while the control has the focus, handled as that kind of control does:
  // an edit box types the key's character through its input rules, Backspace removes the
  // last character, Ctrl+V and Shift+Insert paste the clipboard's first line through the
  // same rules, Ctrl+Z undoes the box's own typing while it holds text (one level, as the
  // system's edit control keeps it: the last run of characters typed or taken at one place,
  // and an undo undoes itself; the program's SetText forgets it); a combo box's Up, Down,
  // Home and End move its selection and raise SelectionChanged. A shortcut that the control
  // leaves to its window (edit, combo and list boxes) raises the window's KeyPressed. Other
  // keys reach the control and change nothing.
  bool Key(std::string_view window, std::string_view control, const KeyStroke& key);
  // Files dragged from the file manager and dropped on a window that takes them; raises
  // FilesDropped with the first path.
  bool Drop(std::string_view window, const std::vector<std::string>& paths);

  // The system asks the program to end (the user logs off or shuts down): SessionEnding on
  // every open window. False when a handler kept the session from ending.
  bool EndSession();

  // What a user sees.
  bool HasControl(std::string_view window, std::string_view control) { return FindControl(window, control); }
  // Notices and questions, in the order they were shown.
  const std::vector<Notice>& Notices() const { return notices_; }
  // Resource name of the picture shown ("" = none, "?" = bytes that are no resource); for
  // an image button, its normal picture.
  std::string PictureOf(std::string_view window, std::string_view control);
  bool IsMinimized(std::string_view window);
  int DragCount(std::string_view window);  // BeginDrag calls since the window was loaded
  bool Ended() const { return ended_; }
  int ExitCode() const { return exitCode_; }
  // Nesting depth of BeginUpdate on a list (0 = redrawing normally).
  int UpdateDepth(std::string_view window, std::string_view control);

  // The answer of the next folder browser, a GBK path; "" answers as a cancel.
  void QueueFolder(std::string path) { folders_.push_back(std::move(path)); }
  const std::vector<std::string>& BrowseTitles() const { return browseTitles_; }
  // The folder each browser was asked to open in, in order.
  const std::vector<std::string>& BrowseStarts() const { return browseStarts_; }

  // The button to press on the next question: "是", "否" or "取消"; "" closes the box without
  // a button (Esc, its close button), which answers Cancel. A question shown with nothing
  // queued, or without that button, is a problem and answers Cancel.
  void QueueAnswer(std::string button) { answers_.push_back(std::move(button)); }
  size_t QueuedAnswers() const { return answers_.size(); }

  // The answer of the next popup menu: the text of the entry to choose; "" closes the menu
  // without a choice. A missing or disabled entry is refused like a click that cannot be done.
  void QueueMenuChoice(std::string text) { menuChoices_.push_back(std::move(text)); }
  void DropMenuChoices() { menuChoices_.clear(); }
  struct ShownMenu {
    std::string owner;
    std::vector<MenuEntry> entries;
  };
  const std::vector<ShownMenu>& Menus() const { return menus_; }
  // Files shown in the file manager, in order.
  const std::vector<std::string>& ShownInFolder() const { return shownInFolder_; }

  // Another program keeps the clipboard open: SetClipboardText fails and nothing is read.
  void SetClipboardBusy(bool busy) { clipboardBusy_ = busy; }

  // Runs inside PumpMessages, standing in for the messages a user's clicks would bring;
  // lets a test act while a long operation is under way.
  void SetPumpHook(std::function<void()> hook) { pumpHook_ = std::move(hook); }

  // Problems since the last call: refused actions, unanswered folder browsers, window and
  // control names that do not exist. Empty when everything the test asked for could be done.
  std::vector<std::string> TakeProblems();

 private:
  struct Control {
    const Unit* unit = nullptr;
    std::string text;
    std::vector<std::string> items;
    int selection = -1;  // list and combo boxes; the current page of a tab control
    std::string picture;
    std::string hint;  // edit boxes
    int updateDepth = 0;
    // Edit boxes: the user's last run of changes, which Ctrl+Z takes back: the run put
    // `undoInserted` bytes at `undoAt` where `undoText` stood.
    std::string undoText;
    size_t undoAt = 0, undoInserted = 0;
  };
  struct Window {
    const WindowDef* def = nullptr;
    std::string caption;
    bool visible = false;
    bool minimized = false;
    int drags = 0;
    std::vector<Control> controls;
    std::map<std::string, size_t, std::less<>> byName;
  };

  Window* FindWindow(std::string_view window);
  Control* FindControl(std::string_view window, std::string_view control);
  // The window or control a Ui call names; records a name that does not exist.
  Window* Opened(std::string_view window);
  Control* Named(std::string_view window, std::string_view control);
  bool Shown(const Window& w, const Control& c, int depth) const;
  // The control a user action aims at, if the user can reach it; else records why not.
  Control* Reachable(std::string_view window, std::string_view control, const char* action);
  void Raise(std::string_view window, std::string_view control, UiEvent event, int x = 0, int y = 0,
             std::string_view text = {});
  void Problem(std::string text) { problems_.push_back(std::move(text)); }
  // Puts text into an edit box at its end, character by character, through its input rules.
  void Insert(Control& c, std::string_view text);
  // The user changes an edit box's text: the `length` bytes at `pos` become `bytes`.
  static void UserReplace(Control& c, size_t pos, size_t length, std::string_view bytes);
  static void UndoTyping(Control& c);

  std::vector<WindowDef> defs_;
  std::map<std::string, Window, std::less<>> windows_;
  UiEventSink sink_;
  std::vector<Notice> notices_;
  std::deque<std::string> folders_;
  std::vector<std::string> browseTitles_;
  std::vector<std::string> browseStarts_;
  std::deque<std::string> answers_;
  std::deque<std::string> menuChoices_;
  std::vector<ShownMenu> menus_;
  std::vector<std::string> shownInFolder_;
  std::vector<std::string> problems_;
  std::function<void()> pumpHook_;
  std::string clipboard_;
  bool clipboardBusy_ = false;
  bool ended_ = false;
  int exitCode_ = 0;
};

}  // namespace xl
