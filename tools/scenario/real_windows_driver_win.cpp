// On Windows the scenarios run on the real windows: the program starts as its entry point
// starts it (Win32Ui, the skinned toolkit's hooks), and every action is the message a
// user's mouse or keyboard would send to the control under it. What the script reads is
// read back from the controls themselves. Notices are read from the box that is up and
// closed with a click on its button (a question with the button the script queued); folder
// browsers are answered from the script's queue. A right-click's popup menu is read from its
// window and answered with a click on an item or with Esc.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/program.h"
#include "app/window_defs.h"
#include "platform/codepage.h"
#include "win32/clipboard.h"
#include "win32/screenshot.h"
#include "app/title_buttons.h"
#include "win32/win32_ui.h"
#include "tools/scenario/driver.h"
#include "ui/hidden_host.h"
#include "ui/dui_menu_item.h"
#include "ui/input_hold.h"
#include "ui/message_box.h"
#include "ui/popup_menu.h"
#include "ui/tooltip.h"
#include "ui/ui_start.h"

namespace xl::scenario {
namespace {

// How long a hover waits for its tooltip: the system's pause before one shows is half a second.
constexpr DWORD kTooltipPatienceMs = 3000;

bool IsWindowItself(std::string_view control) { return control.empty() || control == "-"; }

std::string Gbk(std::wstring_view wide) {
  std::optional<std::string> gbk = WideToGbk(wide);
  return gbk ? *gbk : std::string("?");
}

// A folder as the program holds it: absolute, backslashes, no trailing backslash.
std::wstring ProgramWide(const std::filesystem::path& folder) {
  std::wstring wide = std::filesystem::absolute(folder).lexically_normal().make_preferred().wstring();
  while (wide.size() > 3 && wide.back() == L'\\') wide.pop_back();
  return wide;
}
std::string ProgramPathOf(const std::filesystem::path& folder) { return Gbk(ProgramWide(folder)); }

std::wstring ClassOf(HWND h) {
  wchar_t name[64] = {};
  GetClassNameW(h, name, 64);
  return name;
}

bool IsClass(HWND h, const wchar_t* name) { return lstrcmpiW(ClassOf(h).c_str(), name) == 0; }

std::wstring WindowText(HWND h) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(h, text.data(), static_cast<int>(text.size()))));
  return text;
}

LPARAM Centre(HWND h) {
  RECT r{};
  GetClientRect(h, &r);
  return MAKELPARAM(r.right / 2, r.bottom / 2);
}

// A box button's text as the script names it: "是(&Y)" is "是".
std::string WithoutAccelerator(std::string text) {
  if (size_t open = text.find("(&"); open != std::string::npos && text.back() == ')') text.erase(open);
  std::erase(text, '&');
  return text;
}

// The mouse moves onto a point of a window, presses and releases the button there.
void PostClick(HWND h, LPARAM at) {
  PostMessageW(h, WM_MOUSEMOVE, 0, at);
  PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(h, WM_LBUTTONUP, 0, at);
}

void PostEscape(HWND h) {
  PostMessageW(h, WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageW(h, WM_KEYUP, VK_ESCAPE, 0xC0000001);
}

// The list messages of a list box or a combo box.
struct ListMessages {
  UINT count, getText, getTextLength, getSelection, setSelection, notifyChange;
};
constexpr ListMessages kListBox{LB_GETCOUNT, LB_GETTEXT, LB_GETTEXTLEN, LB_GETCURSEL, LB_SETCURSEL, LBN_SELCHANGE};
constexpr ListMessages kComboBox{CB_GETCOUNT, CB_GETLBTEXT, CB_GETLBTEXTLEN, CB_GETCURSEL, CB_SETCURSEL, CBN_SELCHANGE};

const ListMessages* ListOf(HWND h) {
  if (IsClass(h, L"ListBox")) return &kListBox;
  if (IsClass(h, L"ComboBox")) return &kComboBox;
  return nullptr;
}

std::string ItemAt(HWND h, const ListMessages& m, int index) {
  LRESULT length = SendMessageW(h, m.getTextLength, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  LRESULT got = SendMessageW(h, m.getText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got < 0 ? 0 : static_cast<size_t>(got));
  return Gbk(text);
}

std::vector<std::string> ItemsOf(HWND h, const ListMessages& m) {
  std::vector<std::string> items;
  const LRESULT count = SendMessageW(h, m.count, 0, 0);
  for (int i = 0; i < count; ++i) items.push_back(ItemAt(h, m, i));
  return items;
}

class RealWindowsDriver : public ScenarioDriver {
 public:
  RealWindowsDriver() : ui_(std::make_unique<win32::Win32Ui>(ProgramWindows())) {
    ui::SetMessageBoxShownHook([this](HWND box) { OnBoxShown(box); });
    ui::SetMenuShownHook([this](HWND root) { OnMenuShown(root); });
    // A box's or menu's effect drops input for the program's windows: a click posted for
    // `meanwhile` is settled before, so it is never counted as delivered when it was dropped.
    ui::SetInputHoldStartHook([this] { SettleMeanwhile(); });
    ui_->SetFolderChooser([this](std::wstring_view title) { return AnswerBrowser(title); });
  }

  ~RealWindowsDriver() override {
    program_.reset();
    ui_.reset();
    titleButtons_.reset();
    ui::SetMessageBoxShownHook(nullptr);
    ui::SetMenuShownHook(nullptr);
    ui::SetInputHoldStartHook(nullptr);
    if (clipboardOwner_) ::DestroyWindow(clipboardOwner_);
    if (started_) ui::StopSkinnedUi();
  }

  void SetProgramFolder(const std::filesystem::path& folder) override {
    initial_.programFolder = ProgramPathOf(folder);
  }
  void SetDocumentsFolder(const std::filesystem::path& folder) override {
    initial_.documentsFolder = ProgramPathOf(folder);
  }
  void QueueFolder(const std::optional<std::filesystem::path>& folder) override {
    folders_.push_back(folder ? std::optional<std::wstring>(ProgramWide(*folder)) : std::nullopt);
  }

  void QueueAnswer(std::string_view button) override { answers_.emplace_back(button); }

  // The start-up of the program's entry point, with the program's folder as the current one.
  Status Start(const std::optional<std::filesystem::path>& argument) override {
    // The pointer starts in the screen's corner, wherever an earlier run on this display left it.
    SetCursorPos(0, 0);
    if (auto folder = GbkToWide(initial_.programFolder)) SetCurrentDirectoryW(folder->c_str());
    started_ = true;
    win32::Win32Ui& ui = *ui_;
    TitleBarButtons& title = *titleButtons_;
    StartupHooks hooks;
    hooks.skinnedUiStartup = [] { ui::StartSkinnedUi(); };
    hooks.pictureLoaderStartup = [] { ui::StartPictureLoader(); };
    hooks.hostWindowCreated = [&ui](Ui&) { ui::AttachHiddenHost(ui.WindowHandle("host")); };
    hooks.startWindowCreated = [&ui, &title](Ui&) { MakeStartTitleButtons(ui, title); };
    hooks.modifyWindowCreated = [&ui, &title](Ui&) { MakeModifyTitleButtons(ui, title); };
    program_ = std::make_unique<Program>(ui, initial_, std::move(hooks));
    program_->Start(argument ? ProgramPathOf(*argument) : std::string());
    Pump();
    // Without a display no window can be made; say so here rather than at the first click.
    if (!ui_->WindowHandle("start")) return Error{"the start window did not open (is there a display?)"};
    return Success();
  }

  Status Click(std::string_view w, std::string_view c) override {
    Result<HWND> h = Reachable(w, c, "click");
    if (!h) return h.error();
    const LPARAM at = Centre(*h);
    SendMessageW(*h, WM_MOUSEMOVE, 0, at);
    if (IsWindow(*h)) SendMessageW(*h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    if (IsWindow(*h)) SendMessageW(*h, WM_LBUTTONUP, 0, at);
    Pump();
    return Success();
  }

  // On a list, the double-click lands on the selected item, where a user would aim.
  Status DoubleClick(std::string_view w, std::string_view c) override {
    Result<HWND> h = Reachable(w, c, "double-click");
    if (!h) return h.error();
    LPARAM at = Centre(*h);
    if (IsClass(*h, L"ListBox")) {
      const LRESULT selected = SendMessageW(*h, LB_GETCURSEL, 0, 0);
      RECT item{};
      if (selected >= 0 &&
          SendMessageW(*h, LB_GETITEMRECT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&item)) != LB_ERR)
        at = MAKELPARAM(item.left + 5, (item.top + item.bottom) / 2);
    }
    SendMessageW(*h, WM_MOUSEMOVE, 0, at);
    const UINT sequence[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    for (UINT msg : sequence)
      if (IsWindow(*h)) SendMessageW(*h, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    Pump();
    return Success();
  }

  Status Press(std::string_view w, std::string_view c) override {
    Result<HWND> h = Reachable(w, c, "press");
    if (!h) return h.error();
    SendMessageW(*h, WM_LBUTTONDOWN, MK_LBUTTON, Centre(*h));
    Pump();
    return Success();
  }

  // The pick of a list: the selection moves, and the control tells its parent as it does
  // when the user picks with the mouse.
  Status Select(std::string_view w, std::string_view c, std::string_view item) override {
    Result<HWND> h = Reachable(w, c, "select in");
    if (!h) return h.error();
    const ListMessages* m = ListOf(*h);
    if (!m) return Error{"cannot select in " + Where(w, c) + ": not a list"};
    const std::vector<std::string> items = ItemsOf(*h, *m);
    const auto it = std::find(items.begin(), items.end(), item);
    if (it == items.end())
      return Error{"cannot select \"" + std::string(item) + "\" in " + Where(w, c) + ": no such item"};
    SendMessageW(*h, m->setSelection, static_cast<WPARAM>(it - items.begin()), 0);
    SendMessageW(GetParent(*h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(*h), m->notifyChange),
                 reinterpret_cast<LPARAM>(*h));
    Pump();
    return Success();
  }

  // Key by key at the end of the box's text, through the box's own input rules.
  Status Type(std::string_view w, std::string_view c, std::string_view text) override {
    Result<HWND> h = EditBox(w, c, "type into");
    if (!h) return h.error();
    std::optional<std::wstring> wide = GbkToWide(text);
    if (!wide) return Error{"the text to type is no GBK"};
    const WPARAM end = static_cast<WPARAM>(GetWindowTextLengthW(*h));
    SendMessageW(*h, EM_SETSEL, end, static_cast<LPARAM>(end));
    for (wchar_t unit : *wide) {
      if (!IsWindow(*h)) break;
      SendMessageW(*h, WM_CHAR, unit, 1);
      Pump();
    }
    return Success();
  }

  // The keyboard's own input: the window comes to the front, the control takes the focus
  // (an edit box with the caret at the end, as a click after its text puts it) and the
  // keystrokes enter the system's input queue, so the control sees WM_KEYDOWN, WM_CHAR and
  // WM_KEYUP (WM_SYSKEYDOWN with Alt) and GetKeyState tells the modifiers, as from a hand.
  Status Key(std::string_view w, std::string_view c, const KeyStroke& key) override {
    Result<HWND> h = Reachable(w, c, "press keys in");
    if (!h) return h.error();
    SetForegroundWindow(ui_->WindowHandle(w));
    SetFocus(*h);
    if (GetFocus() != *h) return Error{"cannot press keys in " + Where(w, c) + ": it does not take the focus"};
    if (IsClass(*h, L"Edit")) {
      const WPARAM end = static_cast<WPARAM>(GetWindowTextLengthW(*h));
      SendMessageW(*h, EM_SETSEL, end, static_cast<LPARAM>(end));
    }
    std::vector<INPUT> inputs;
    auto press = [&inputs](WORD code, bool up) {
      INPUT in{};
      in.type = INPUT_KEYBOARD;
      in.ki.wVk = code;
      in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(code, MAPVK_VK_TO_VSC));
      in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
      // The keys of the separate block (arrows, Home, Insert...) are extended keys.
      if ((code >= VK_PRIOR && code <= VK_DOWN) || code == VK_INSERT || code == VK_DELETE)
        in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
      inputs.push_back(in);
    };
    std::vector<WORD> held;
    if (key.ctrl) held.push_back(VK_CONTROL);
    if (key.shift) held.push_back(VK_SHIFT);
    if (key.alt) held.push_back(VK_MENU);
    for (WORD m : held) press(m, false);
    press(static_cast<WORD>(key.code), false);
    press(static_cast<WORD>(key.code), true);
    for (auto m = held.rbegin(); m != held.rend(); ++m) press(*m, true);
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) return Error{"the keys could not be sent (SendInput)"};
    // The input reaches the queue after a moment on some systems: wait until it is handled.
    for (int i = 0; i < 50 && (i < 2 || HIWORD(GetQueueStatus(QS_ALLINPUT)) != 0); ++i) {
      Pump();
      Sleep(5);
    }
    return Success();
  }

  Status SetClipboard(std::string_view text) override {
    std::optional<std::wstring> wide = GbkToWide(text);
    if (!wide) return Error{"the text is no GBK"};
    if (!clipboardOwner_)
      clipboardOwner_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!clipboardOwner_ || !win32::WriteClipboardText(clipboardOwner_, *wide))
      return Error{"the clipboard could not be written"};
    return Success();
  }

  Result<std::string> Clipboard() override {
    std::optional<std::wstring> text = win32::ReadClipboardText(clipboardOwner_);
    if (!text) return Error{"the clipboard could not be opened"};
    std::optional<std::string> gbk = WideToGbk(*text);
    if (!gbk) return Error{"the clipboard holds text that GBK cannot hold"};
    return *gbk;
  }

  // A read-only box keeps its text, as it does for a user.
  Status Clear(std::string_view w, std::string_view c) override {
    Result<HWND> h = EditBox(w, c, "clear");
    if (!h) return h.error();
    if (!(GetWindowLongW(*h, GWL_STYLE) & ES_READONLY)) SendMessageW(*h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    Pump();
    return Success();
  }

  // What the shell hands a window when files are dropped on it: a DROPFILES block with the
  // names, posted as WM_DROPFILES. A window that does not take files gets nothing.
  Status Drop(std::string_view w, const std::filesystem::path& file) override {
    Result<HWND> h = Reachable(w, "-", "drop files on");
    if (!h) return h.error();
    if (!(GetWindowLongW(*h, GWL_EXSTYLE) & WS_EX_ACCEPTFILES))
      return Error{"cannot drop files on " + std::string(w) + ": the window takes no files"};
    const std::wstring name = ProgramWide(file);
    const size_t bytes = sizeof(DROPFILES) + (name.size() + 2) * sizeof(wchar_t);
    HGLOBAL drop = GlobalAlloc(GHND, bytes);
    if (!drop) return Error{"no memory for the dropped file's name"};
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    RECT r{};
    GetClientRect(*h, &r);
    files->pt = POINT{r.right / 2, r.bottom / 2};
    std::copy(name.begin(), name.end(), reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(files) + sizeof(DROPFILES)));
    GlobalUnlock(drop);  // the rest of the block is zero: the list's double terminator
    // The receiver frees the block with DragFinish.
    if (!PostMessageW(*h, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0)) {
      GlobalFree(drop);
      return Error{"the drop could not be delivered"};
    }
    Pump();
    return Success();
  }

  // Read back with the edit box's own cue-banner message.
  Result<std::string> Hint(std::string_view w, std::string_view c) override {
    Result<HWND> h = Existing(w, c);
    if (!h) return h.error();
    if (!IsClass(*h, L"Edit")) return Error{Where(w, c) + " is not an edit box"};
    wchar_t hint[256] = {};
    if (!SendMessageW(*h, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(hint), 256)) return std::string();
    return Gbk(hint);
  }

  Status ChooseFromMenu(std::string_view w, std::string_view c, std::string_view item) override {
    Result<std::vector<std::string>> shown = RightClickWith(w, c, std::string(item));
    if (!shown) return shown.error();
    return Success();
  }

  Result<std::vector<std::string>> MenuItems(std::string_view w, std::string_view c) override {
    return RightClickWith(w, c, std::nullopt);
  }

  // The click's mouse messages are posted, as the mouse's would be queued, and wait for the
  // program's next look at its queue.
  Status ClickMeanwhile(std::string_view w, std::string_view c) override {
    Result<HWND> h = Reachable(w, c, "click");
    if (!h) return h.error();
    meanwhile_.emplace();
    meanwhile_->target = *h;
    PostClick(*h, Centre(*h));
    return Success();
  }

  Status MeanwhileDone() override {
    SettleMeanwhile();
    const bool delivered = meanwhile_ && meanwhile_->delivered;
    meanwhile_.reset();
    return delivered ? Success() : Status(Error{"the program let no messages through"});
  }

  // Every window of the program is asked, as the system asks each top-level window; the
  // first refusal keeps the session.
  Result<bool> EndSession() override {
    for (const char* id : {"start", "modify", "host"}) {
      HWND h = ui_->WindowHandle(id);
      if (h && !SendMessageW(h, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF)) {
        Pump();
        return false;
      }
      Pump();
    }
    return true;
  }

  Result<std::string> Text(std::string_view w, std::string_view c) override {
    Result<HWND> h = Existing(w, c);
    if (!h) return h.error();
    if (IsWindowItself(c) || IsClass(*h, L"Edit") || IsClass(*h, L"Static")) return Gbk(WindowText(*h));
    if (const ListMessages* m = ListOf(*h)) {
      const LRESULT selected = SendMessageW(*h, m->getSelection, 0, 0);
      return selected < 0 ? std::string() : ItemAt(*h, *m, static_cast<int>(selected));
    }
    return ui_->GetText(w, c);  // painted controls keep their caption themselves
  }

  Result<std::vector<std::string>> Items(std::string_view w, std::string_view c) override {
    Result<HWND> h = Existing(w, c);
    if (!h) return h.error();
    const ListMessages* m = ListOf(*h);
    if (!m) return Error{Where(w, c) + " is not a list"};
    return ItemsOf(*h, *m);
  }

  // A window that is not open is not visible; a control is visible when it and every
  // window holding it are.
  Result<bool> Visible(std::string_view w, std::string_view c) override {
    if (!ui_->WindowHandle(w)) return false;
    Result<HWND> h = Existing(w, c);
    if (!h) return h.error();
    return IsWindowVisible(*h) != FALSE;
  }

  Result<std::string> Picture(std::string_view w, std::string_view c) override {
    Result<HWND> h = Existing(w, c);
    if (!h) return h.error();
    return ui_->PictureOf(w, c);
  }

  // The pointer moves onto the control's centre and rests there; the tooltip the toolkit
  // shows on a pause is waited for, up to a few seconds.
  Status Hover(std::string_view w, std::string_view c) override {
    Result<HWND> h = Reachable(w, c, "hover over");
    if (!h) return h.error();
    RECT r{};
    GetWindowRect(*h, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    pointerResting_ = true;
    for (const DWORD until = GetTickCount() + kTooltipPatienceMs; GetTickCount() < until;) {
      Pump();
      if (HWND tip = ui::SharedTooltipWindow(); tip && IsWindowVisible(tip)) return Success();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return Error{"no tooltip came up over " + Where(w, c)};
  }

  Status Shot(std::string_view w, const std::filesystem::path& file) override {
    Status s = TakeShot(w, file);
    Pump();
    return s;
  }

  void ShotWhenShown(bool menu, std::string_view w, const std::filesystem::path& file) override {
    shotWhenShown_ = ShotWatch{menu, std::string(w), file, std::nullopt};
  }

  Status ShotWhenShownDone() override {
    const std::optional<ShotWatch> watch = std::exchange(shotWhenShown_, std::nullopt);
    if (!watch) return Error{"no shot was waiting"};
    if (!watch->taken) return Error{watch->menu ? "no popup menu came up" : "no notice came up"};
    return *watch->taken;
  }

  std::vector<ShownNotice> TakeNotices() override { return std::exchange(notices_, {}); }
  std::vector<std::string> TakeProblems() override { return std::exchange(problems_, {}); }

 private:
  static std::string Where(std::string_view w, std::string_view c) {
    return IsWindowItself(c) ? std::string(w) : std::string(w) + " " + std::string(c);
  }

  // Whatever is waiting is handled, as the message loop would, and windows destroyed on
  // the way are freed.
  void Pump() {
    SettleMeanwhile();
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_QUIT) continue;  // the program has ended; its windows are gone
      TranslateMessage(&m);
      DispatchMessageW(&m);
      ui_->ReleaseDestroyed();
    }
    ui_->ReleaseDestroyed();
  }

  // The first time the runner itself, or a box's or menu's own loop or effect, is about to
  // take messages, the posted click has either been taken by the program already or is
  // taken back here: only the program's own letting messages through during the action
  // counts, as on MemoryUi, whose boxes and menus let nothing through.
  void SettleMeanwhile() {
    if (!meanwhile_ || meanwhile_->settled) return;
    meanwhile_->settled = true;
    MSG m;
    bool waiting = false;
    while (PeekMessageW(&m, meanwhile_->target, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE | PM_NOYIELD)) waiting = true;
    meanwhile_->delivered = !waiting;
  }

  Result<HWND> Existing(std::string_view w, std::string_view c) {
    HWND window = ui_->WindowHandle(w);
    if (!window) return Error{"the window " + std::string(w) + " is not open"};
    if (IsWindowItself(c)) return window;
    HWND control = ui_->ControlHandle(w, c);
    if (!control) return Error{"no control " + std::string(c) + " in " + std::string(w)};
    return control;
  }

  // A control the user can reach: its window open, shown and not minimised, the control shown.
  // A pointer left resting by a hover moves away first, as the hand takes the mouse elsewhere.
  Result<HWND> Reachable(std::string_view w, std::string_view c, const char* action) {
    if (std::exchange(pointerResting_, false)) SetCursorPos(0, 0);
    const std::string cannot = std::string("cannot ") + action + " " + Where(w, c) + ": ";
    HWND window = ui_->WindowHandle(w);
    if (!window) return Error{cannot + "the window is not open"};
    if (!IsWindowVisible(window) || IsIconic(window)) return Error{cannot + "the window is not shown"};
    HWND control = IsWindowItself(c) ? window : ui_->ControlHandle(w, c);
    if (!control) return Error{cannot + "no such control"};
    if (!IsWindowVisible(control)) return Error{cannot + "the control is not visible"};
    if (!IsWindowEnabled(control)) return Error{cannot + "the control is disabled"};
    return control;
  }

  // The right button goes down and up over the control (a list box: over its selected item,
  // or below the items when none is selected); the menu it opens is answered by OnMenuShown
  // with `choice`, or closed with Esc when there is none. Returns the menu's items.
  Result<std::vector<std::string>> RightClickWith(std::string_view w, std::string_view c,
                                                  std::optional<std::string> choice) {
    Result<HWND> h = Reachable(w, c, "right-click");
    if (!h) return h.error();
    LPARAM at = Centre(*h);
    if (IsClass(*h, L"ListBox")) {
      RECT client{}, item{};
      GetClientRect(*h, &client);
      const LRESULT selected = SendMessageW(*h, LB_GETCURSEL, 0, 0);
      if (selected >= 0 &&
          SendMessageW(*h, LB_GETITEMRECT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&item)) != LB_ERR)
        at = MAKELPARAM(item.left + 5, (item.top + item.bottom) / 2);
      else
        at = MAKELPARAM(5, client.bottom - 3);
    }
    menu_ = MenuRequest{std::move(choice), std::nullopt, {}};
    // The hand is there: a menu opens where the pointer is.
    POINT onScreen{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    ClientToScreen(*h, &onScreen);
    SetCursorPos(onScreen.x, onScreen.y);
    SendMessageW(*h, WM_MOUSEMOVE, 0, at);
    if (IsWindow(*h)) SendMessageW(*h, WM_RBUTTONDOWN, MK_RBUTTON, at);
    if (IsWindow(*h)) SendMessageW(*h, WM_RBUTTONUP, 0, at);
    Pump();
    MenuRequest done = std::exchange(menu_, std::nullopt).value();
    if (!done.items) return Error{"no popup menu opened on " + Where(w, c)};
    if (!done.error.empty()) return Error{done.error};
    return *done.items;
  }

  // A screenshot of the window, with whatever of the program is shown over it.
  Status TakeShot(std::string_view w, const std::filesystem::path& file) {
    HWND h = ui_->WindowHandle(w);
    if (!h) return Error{"the window " + std::string(w) + " is not open"};
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    return win32::SaveWindowShot(h, file.wstring());
  }

  // The shot waiting for a box or menu of this kind, taken now that one is up.
  void ShootIfWaiting(bool menu) {
    if (!shotWhenShown_ || shotWhenShown_->menu != menu || shotWhenShown_->taken) return;
    shotWhenShown_->taken = TakeShot(shotWhenShown_->window, shotWhenShown_->file);
  }

  // A menu is up: its items are read, then the asked item is clicked or Esc closes it. Both
  // are posted: the menu's own loop takes them once this returns.
  void OnMenuShown(HWND root) {
    SettleMeanwhile();
    ShootIfWaiting(true);
    ui::MenuLevel* level = ui::MenuLevel::FromWindow(root);
    if (!menu_ || !level) {
      problems_.push_back("a popup menu opened that no line of the script opened");
      PostEscape(root);
      return;
    }
    std::vector<std::string> texts;
    const ui::DuiMenuItem* chosen = nullptr;
    for (const ui::DuiMenuItem* item : level->Items()) {
      if (item->Item().kind == ui::MenuItemKind::Separator) continue;
      texts.push_back(item->Item().Disabled() ? "[" + item->Item().text + "]" : item->Item().text);
      if (menu_->choice && item->Item().text == *menu_->choice) chosen = item;
    }
    menu_->items = texts;
    if (!menu_->choice) {
      PostEscape(root);
      return;
    }
    const std::string cannot = "cannot choose \"" + *menu_->choice + "\" in the popup menu: ";
    if (!chosen || chosen->Item().Disabled()) {
      menu_->error = cannot + (chosen ? "the entry is disabled" : "no such entry");
      PostEscape(root);
      return;
    }
    const auto r = chosen->Rect();
    PostClick(root, MAKELPARAM(static_cast<int>(r.X + r.Width / 2), static_cast<int>(r.Y + r.Height / 2)));
  }

  Result<HWND> EditBox(std::string_view w, std::string_view c, const char* action) {
    Result<HWND> h = Reachable(w, c, action);
    if (h && !IsClass(*h, L"Edit"))
      return Error{std::string("cannot ") + action + " " + Where(w, c) + ": not an edit box"};
    return h;
  }

  // A box is up: its title and text are recorded and its button clicked: "确认" on a
  // notice, the queued answer on a box with more buttons (Esc for an empty one). The click
  // is posted: the box's own modal loop takes it once this returns.
  void OnBoxShown(HWND box) {
    SettleMeanwhile();
    ShootIfWaiting(false);
    for (const ui::MessageBoxView& view : ui::OpenMessageBoxes()) {
      if (view.window != box) continue;
      notices_.push_back({view.title, view.text});
      std::string wanted = "确认";
      if (view.buttons.size() > 1) {
        if (answers_.empty()) {
          problems_.push_back("a question was shown with no answer queued: " + view.text);
          PostMessageW(box, WM_CLOSE, 0, 0);
          return;
        }
        wanted = std::move(answers_.front());
        answers_.pop_front();
        if (wanted.empty()) {
          PostEscape(box);
          return;
        }
      }
      const ui::MessageBoxView::Button* button = nullptr;
      for (const auto& b : view.buttons)
        if (WithoutAccelerator(b.text) == wanted) button = &b;
      if (!button) {
        problems_.push_back("a box without a \"" + wanted + "\" button was shown: " + view.text);
        PostMessageW(box, WM_CLOSE, 0, 0);
        return;
      }
      PostClick(box,
                MAKELPARAM((button->rect.left + button->rect.right) / 2, (button->rect.top + button->rect.bottom) / 2));
      return;
    }
    problems_.push_back("a box was shown that is not among the open message boxes");
    PostMessageW(box, WM_CLOSE, 0, 0);
  }

  std::optional<std::wstring> AnswerBrowser(std::wstring_view title) {
    if (folders_.empty()) {
      problems_.push_back("a folder browser opened with no answer queued: " + Gbk(title));
      return std::nullopt;
    }
    std::optional<std::wstring> answer = std::move(folders_.front());
    folders_.pop_front();
    return answer;
  }

  std::unique_ptr<win32::Win32Ui> ui_;
  std::unique_ptr<TitleBarButtons> titleButtons_ = std::make_unique<TitleBarButtons>();
  ProgramState initial_;
  std::unique_ptr<Program> program_;
  std::deque<std::optional<std::wstring>> folders_;
  std::deque<std::string> answers_;
  // The menu a right-click is expected to open: the item to choose (none: look and close),
  // then what was found.
  struct MenuRequest {
    std::optional<std::string> choice;
    std::optional<std::vector<std::string>> items;
    std::string error;
  };
  std::optional<MenuRequest> menu_;
  // The posted click waiting for the program: settled once it is known whether the program
  // took it.
  struct Meanwhile {
    HWND target = nullptr;
    bool settled = false, delivered = false;
  };
  std::optional<Meanwhile> meanwhile_;
  // The shot to take when the next action's first box (or menu) is up, and how it went.
  struct ShotWatch {
    bool menu = false;
    std::string window;
    std::filesystem::path file;
    std::optional<Status> taken;
  };
  std::optional<ShotWatch> shotWhenShown_;
  bool pointerResting_ = false;  // a hover left the pointer on a control
  std::vector<ShownNotice> notices_;
  std::vector<std::string> problems_;
  bool started_ = false;
  HWND clipboardOwner_ = nullptr;  // the script's own window, as another program's
};

}  // namespace

std::unique_ptr<ScenarioDriver> MakeDriver() { return std::make_unique<RealWindowsDriver>(); }

}  // namespace xl::scenario
