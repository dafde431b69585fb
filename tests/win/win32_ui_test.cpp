// The real windows, driven with real messages: what a user types, clicks and sees.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "fixtures/gbk.h"
#include "fixtures/temp_folder.h"
#include "fixtures/typing_undo.h"
#include "platform/codepage.h"
#include "win32/clipboard.h"
#include "win32/win32_ui.h"
#include "resources/resources.h"

namespace xl::win32 {
namespace {

Unit Make(UnitKind kind, std::string name, int left, int top, int width, int height, std::string container = "",
          int page = -1) {
  Unit u;
  u.kind = kind;
  u.name = std::move(name);
  u.left = left;
  u.top = top;
  u.width = width;
  u.height = height;
  u.container = std::move(container);
  u.page = page;
  return u;
}

// A small window with one unit of every kind, laid out like the program's windows.
std::vector<WindowDef> TestWindows() {
  WindowDef w;
  w.id = "test";
  w.window = Make(UnitKind::Window, "", 0, 0, 400, 300);
  w.window.text = "test window";
  auto& c = w.controls;
  c.push_back(Make(UnitKind::PictureBox, "title", 0, 0, 400, 30));
  c.back().picture = "pictures/title_bar.jpg";
  c.back().pictureMode = PictureMode::Stretch;
  c.push_back(Make(UnitKind::TransparentLabel, "caption", 36, 1, 300, 30, "title"));
  c.back().text = "caption";
  c.push_back(Make(UnitKind::Button, "close", 370, 0, 30, 30, "title"));
  c.push_back(Make(UnitKind::ListBox, "list", 10, 40, 150, 100));
  c.back().fontHeight = 14;
  c.push_back(Make(UnitKind::ImageButton, "go", 170, 40, 54, 26));
  c.back().picture = "pictures/button_small.png";
  c.back().hoverPicture = "pictures/button_small_hover.png";
  c.back().cursor = CursorKind::Hand;
  c.push_back(Make(UnitKind::PictureBox, "page b", 240, 40, 120, 50));
  c.back().picture = "pictures/tab_profile.png";
  c.back().pictureMode = PictureMode::Fit;
  c.back().selectsPage = 1;
  c.push_back(Make(UnitKind::TabControl, "tabs", 10, 150, 380, 140));
  c.back().items = {"a", "b"};
  c.back().selection = 0;
  c.push_back(Make(UnitKind::EditBox, "digits", 10, 10, 90, 20, "tabs", 0));
  c.back().input = InputMode::Digits;
  c.back().maxLength = 10;
  c.push_back(Make(UnitKind::EditBox, "free", 10, 40, 90, 20, "tabs", 0));
  c.push_back(Make(UnitKind::EditBox, "readonly", 10, 70, 90, 20, "tabs", 0));
  c.back().input = InputMode::ReadOnly;
  c.push_back(Make(UnitKind::Label, "label", 120, 10, 100, 40, "tabs", 0));
  c.back().text = "one\r\ntwo";
  c.push_back(Make(UnitKind::GroupBox, "group", 1, 1, 200, 120, "tabs", 1));
  c.back().text = "group";
  c.push_back(Make(UnitKind::ComboBox, "combo", 10, 25, 100, 25, "group"));
  c.back().items = {"none", "1", "2"};
  c.back().selection = 0;
  c.push_back(Make(UnitKind::PictureBox, "slot", 120, 25, 16, 16, "group"));
  c.back().picture = "pictures/slot_design.gif";
  c.push_back(Make(UnitKind::Splitter, "border", 0, 299, 400, 1));
  c.push_back(Make(UnitKind::Archive, "zip", 300, 40, 26, 26));
  c.back().visible = false;
  return {w};
}

struct Recorded {
  std::vector<std::string> events;  // "control event"
  std::vector<std::string> notices;
};

class Win32UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui.SetEventSink([this](const UiEventArgs& e) {
      static const char* kNames[] = {"created", "clicked", "dblclicked", "pressed", "changed",
                                     "menu",    "ending",  "dropped",    "key"};
      seen.events.push_back(std::string(e.control) + " " + kNames[static_cast<int>(e.event)]);
      if (onEvent) onEvent(e);
    });
    ui.SetNoticePresenter([this](HWND, std::string_view text, std::string_view) { seen.notices.emplace_back(text); });
    ui.LoadWindow("test", true);
    ui.PumpMessages();
  }
  HWND H(const char* control) { return ui.ControlHandle("test", control); }

  // Key by key, as the keyboard would deliver them.
  void Type(const char* control, std::wstring_view keys) {
    for (wchar_t k : keys) SendMessageW(H(control), WM_CHAR, k, 0);
  }
  void ClickAtCentre(HWND h) {
    RECT r;
    GetClientRect(h, &r);
    LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    SendMessageW(h, WM_MOUSEMOVE, 0, at);
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(h, WM_LBUTTONUP, 0, at);
  }
  // Repaints the window on top of the others and waits for the pixels to reach the screen
  // (Wine copies them there when the thread next waits).
  void ShowOnTop() {
    HWND hwnd = ui.WindowHandle("test");
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  // The colour the user sees at (x, y) of the window, read from the screen.
  COLORREF PixelAt(int x, int y) {
    ShowOnTop();
    return ScreenPixel(x, y);
  }
  COLORREF ScreenPixel(int x, int y) {
    POINT at{x, y};
    ClientToScreen(ui.WindowHandle("test"), &at);
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return c;
  }
  // How far from white the window's area (x, y, w, h) is, summed over its pixels.
  long Ink(int x, int y, int w, int h) {
    ShowOnTop();
    long ink = 0;
    for (int j = y; j < y + h; ++j)
      for (int i = x; i < x + w; ++i) {
        COLORREF c = ScreenPixel(i, j);
        ink += 765 - GetRValue(c) - GetGValue(c) - GetBValue(c);
      }
    return ink;
  }

  Recorded seen;
  std::function<void(const UiEventArgs&)> onEvent;
  Win32Ui ui{TestWindows()};
};

TEST_F(Win32UiTest, LoadsEveryUnitWithItsDesignedContent) {
  EXPECT_EQ(seen.events, std::vector<std::string>{" created"});
  EXPECT_TRUE(ui.IsVisible("test", "-"));
  EXPECT_EQ(ui.GetText("test", "-"), "test window");
  EXPECT_EQ(ui.GetText("test", "label"), "one\r\ntwo");
  EXPECT_EQ(ui.GetText("test", "group"), "group");
  EXPECT_EQ(ui.GetText("test", "caption"), "caption");
  EXPECT_EQ(ui.ItemCount("test", "combo"), 3);
  EXPECT_EQ(ui.GetSelection("test", "combo"), 0);
  EXPECT_EQ(ui.GetText("test", "combo"), "none");
  EXPECT_EQ(ui.GetSelection("test", "list"), -1);
  EXPECT_EQ(ui.GetText("test", "list"), "");
  EXPECT_EQ(ui.PictureOf("test", "title"), "pictures/title_bar.jpg");
  EXPECT_EQ(ui.PictureOf("test", "slot"), "pictures/slot_design.gif");
  EXPECT_EQ(ui.GetPage("test", "tabs"), 0);
  EXPECT_FALSE(ui.IsVisible("test", "zip"));
  EXPECT_EQ(ui.ControlHandle("test", "zip"), nullptr);
  // Borderless: the window's size is its client size.
  RECT r;
  GetClientRect(ui.WindowHandle("test"), &r);
  EXPECT_EQ(r.right, 400);
  EXPECT_EQ(r.bottom, 300);
  EXPECT_EQ(GetWindowLongW(ui.WindowHandle("test"), GWL_STYLE) & WS_CAPTION, 0);
}

TEST_F(Win32UiTest, TypingKeepsToEachBoxsInputRules) {
  Type("digits", L"a1-b2 c3");
  EXPECT_EQ(ui.GetText("test", "digits"), "1-23");
  Type("digits", L"\b");  // control characters pass
  EXPECT_EQ(ui.GetText("test", "digits"), "1-2");
  Type("digits", L"123456789");
  EXPECT_EQ(ui.GetText("test", "digits"), "1-21234567");  // at most 10 characters
  Type("readonly", L"abc");
  EXPECT_EQ(ui.GetText("test", "readonly"), "");
  Type("free", L"ab\u661F\u5F8B");  // ab星律
  EXPECT_EQ(ui.GetText("test", "free"), "ab" + fixtures::kXingLv);
  EXPECT_TRUE(seen.notices.empty());
  // Characters GBK cannot hold could never be written into a replay: refused, with a notice.
  Type("free", L"\u0E01");      // a Thai letter
  Type("free", L"\U0001F600");  // an emoji, as two surrogate keys
  EXPECT_EQ(ui.GetText("test", "free"), "ab" + fixtures::kXingLv);
  EXPECT_EQ(seen.notices.size(), 2u);
  // The program itself may set any text.
  ui.SetText("test", "readonly", "42");
  EXPECT_EQ(ui.GetText("test", "readonly"), "42");
}

// The cases MemoryUi's model of the box passes, on the real box: Ctrl+Z reaches it as the
// character it makes, typed at the end of the text as a user's caret would be.
TEST_F(Win32UiTest, CtrlZUndoesTheBoxsOwnTyping) {
  for (const fixtures::TypingUndo& c : fixtures::kTypingUndo) {
    SCOPED_TRACE(std::string(c.set) + " " + std::string(c.keys));
    ui.SetText("test", "free", c.set);
    for (char key : c.keys) {
      const WPARAM end = static_cast<WPARAM>(GetWindowTextLengthW(H("free")));
      SendMessageW(H("free"), EM_SETSEL, end, static_cast<LPARAM>(end));
      SendMessageW(H("free"), WM_CHAR, static_cast<unsigned char>(key), 0);
    }
    EXPECT_EQ(ui.GetText("test", "free"), c.expected);
  }
}

// Ctrl+Z from the keyboard, wherever the focus is in the window: the window gets it, except
// in an edit box that holds text, which undoes its own typing.
TEST_F(Win32UiTest, ShortcutsGoToTheWindowUnlessTheBoxUndoesItsTyping) {
  std::vector<std::string> keys;
  onEvent = [&](const UiEventArgs& e) {
    if (e.event == UiEvent::KeyPressed) keys.emplace_back(e.text);
  };
  const auto ctrlZ = [&](HWND focus) {
    SetForegroundWindow(ui.WindowHandle("test"));
    SetFocus(focus);
    INPUT in[4] = {};
    const WORD codes[4] = {VK_CONTROL, 'Z', 'Z', VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
      in[i].type = INPUT_KEYBOARD;
      in[i].ki.wVk = codes[i];
      in[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    ASSERT_EQ(SendInput(4, in, sizeof(INPUT)), 4u);
    for (int i = 0; i < 50 && (i < 2 || HIWORD(GetQueueStatus(QS_ALLINPUT)) != 0); ++i) {
      ui.PumpMessages();
      Sleep(5);
    }
  };
  ctrlZ(ui.WindowHandle("test"));
  ctrlZ(H("list"));
  ctrlZ(H("free"));  // empty
  EXPECT_EQ(keys, (std::vector<std::string>{"Ctrl+Z", "Ctrl+Z", "Ctrl+Z"}));
  Type("free", L"ab");
  ctrlZ(H("free"));
  EXPECT_EQ(ui.GetText("test", "free"), "");
  EXPECT_EQ(keys.size(), 3u);
}

TEST_F(Win32UiTest, PastingGoesThroughTheSameRules) {
  auto paste = [&](const wchar_t* text, const char* control) {
    ASSERT_TRUE(OpenClipboard(ui.WindowHandle("test")));
    EmptyClipboard();
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(block), text, bytes);
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
    SendMessageW(H(control), WM_PASTE, 0, 0);
  };
  paste(L"12ab-3\r\nx", "digits");
  EXPECT_EQ(ui.GetText("test", "digits"), "12-3");
  paste(L"ok\u0E01", "free");
  EXPECT_EQ(ui.GetText("test", "free"), "");
  EXPECT_EQ(seen.notices.size(), 1u);
}

// The program's texts reach the clipboard as Unicode through code page 936, whatever the
// system's own code page, and come back the same way.
TEST_F(Win32UiTest, TheClipboardCarriesGbkTextAsUnicode) {
  ASSERT_TRUE(ui.SetClipboardText("星律 0:1"));
  EXPECT_EQ(ReadClipboardText(nullptr), std::wstring(L"\u661F\u5F8B 0:1"));
  EXPECT_EQ(ui.ClipboardText(), "星律 0:1");
  // Copied elsewhere: a no-break space becomes a blank, a character GBK lacks becomes "?".
  ASSERT_TRUE(WriteClipboardText(ui.WindowHandle("test"), L"a\u00A0b\u3000c\u0E01"));
  EXPECT_EQ(ui.ClipboardText(),
            "a b\xA1\xA1"
            "c?");
}

TEST_F(Win32UiTest, ControlsRaiseTheirEvents) {
  ui.AddItem("test", "list", "a.rcd");
  ui.AddItem("test", "list", "b.rcd");
  HWND list = H("list");
  RECT item;
  SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  LPARAM at = MAKELPARAM(item.left + 5, (item.top + item.bottom) / 2);
  SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(list, WM_LBUTTONUP, 0, at);
  SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  SendMessageW(list, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(ui.GetText("test", "list"), "b.rcd");

  ClickAtCentre(H("go"));
  SendMessageW(H("caption"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
  SendMessageW(H("caption"), WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
  ui.SetPage("test", "tabs", 1);
  ui.SetSelection("test", "combo", 2);  // by the program: raised as well
  EXPECT_EQ(ui.GetText("test", "combo"), "2");
  // A press that leaves the button before release is no click.
  HWND go = H("go");
  SendMessageW(go, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(go, WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
  ui.PumpMessages();
  EXPECT_EQ(seen.events, (std::vector<std::string>{" created", "list dblclicked", "go clicked", "caption pressed",
                                                   "combo changed"}));
  EXPECT_EQ(ui.DragCount("test"), 0);  // no hand on the mouse: no move loop to wait in
}

// The hint lives in the real control (its cue-banner messages answer) and is drawn by it
// while the box is empty, also where the system's edit control would not draw it.
TEST_F(Win32UiTest, EditBoxesShowTheirHintWhileEmpty) {
  const auto boxInk = [this] { return Ink(22, 192, 86, 16); };  // inside "free", on page 0
  const long plain = boxInk();
  ui.SetHint("test", "free", "\xCE\xB4\xD7\xB0\xB1\xB8");  // 未装备
  wchar_t read[16] = {};
  ASSERT_TRUE(SendMessageW(H("free"), EM_GETCUEBANNER, reinterpret_cast<WPARAM>(read), 16));
  EXPECT_EQ(std::wstring(read), L"\u672A\u88C5\u5907");
  EXPECT_EQ(ui.GetHint("test", "free"), "\xCE\xB4\xD7\xB0\xB1\xB8");
  EXPECT_EQ(ui.GetText("test", "free"), "");
  const long hinted = boxInk();
  EXPECT_GT(hinted, plain + 1000);
  Type("free", L"1");
  const long typed = boxInk();
  EXPECT_LT(typed, hinted - 500);  // one digit instead of three characters
  Type("free", L"\b");
  EXPECT_GT(boxInk(), typed + 500);
  ui.SetHint("test", "free", "");
  EXPECT_LT(boxInk(), plain + 200);

  // A right-click on a combo box reaches the program as a context menu.
  ui.SetPage("test", "tabs", 1);
  HWND combo = H("combo");
  SendMessageW(combo, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
  SendMessageW(combo, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
  ui.PumpMessages();
  EXPECT_EQ(seen.events.back(), "combo menu");
}

TEST_F(Win32UiTest, OnlyTheCurrentPageShows) {
  EXPECT_TRUE(ui.IsVisible("test", "digits"));
  EXPECT_FALSE(ui.IsVisible("test", "combo"));  // in a group box on page 1
  ui.SetPage("test", "tabs", 1);
  EXPECT_FALSE(ui.IsVisible("test", "digits"));
  EXPECT_TRUE(ui.IsVisible("test", "combo"));
  ui.SetPage("test", "tabs", 7);  // no such page: nothing changes
  EXPECT_EQ(ui.GetPage("test", "tabs"), 1);
  // The selector of the current page is drawn at full strength, the others faded.
  const long current = Ink(240, 40, 120, 50);
  ui.SetPage("test", "tabs", 0);
  const long other = Ink(240, 40, 120, 50);
  EXPECT_GT(other, 0);
  EXPECT_GT(current, other * 3 / 2);
  // Turning redraw back on shows a control; one on a hidden page must stay hidden.
  ui.BeginUpdate("test", "combo");
  ui.AddItem("test", "combo", "3");
  ui.EndUpdate("test", "combo");
  EXPECT_FALSE(ui.IsVisible("test", "combo"));
  ui.ShowWindow("test", false);
  EXPECT_FALSE(ui.IsVisible("test", "digits"));
}

TEST_F(Win32UiTest, PicturesAreDrawnUnderAndOverTheTitleBar) {
  UpdateWindow(ui.WindowHandle("test"));
  COLORREF bar = PixelAt(200, 15);  // under the transparent caption: the blue bar shows through
  EXPECT_GT(GetBValue(bar), GetRValue(bar) + 60);
  COLORREF free = PixelAt(380, 100);  // the window itself: white
  EXPECT_EQ(free, RGB(255, 255, 255));
  ui.SetButtonPictures("test", "close", Resource("pictures/close_normal.png"), Resource("pictures/close_hover.png"),
                       Resource("pictures/close_pressed.png"));
  COLORREF corner = PixelAt(371, 1);  // the normal close picture is see-through at its corner
  EXPECT_GT(GetBValue(corner), GetRValue(corner) + 60);
  EXPECT_EQ(PixelAt(385, 15), RGB(255, 255, 255));  // its white cross
  ui.SetPicture("test", "title", "");
  EXPECT_EQ(ui.PictureOf("test", "title"), "");
  EXPECT_EQ(PixelAt(200, 15), RGB(255, 255, 255));
  ui.SetPicture("test", "title", "not a picture");
  EXPECT_EQ(ui.PictureOf("test", "title"), "?");
  std::string copy(Resource("pictures/slot_present.gif"));
  ui.SetPicture("test", "slot", copy);
  EXPECT_EQ(ui.PictureOf("test", "slot"), "pictures/slot_present.gif");
}

TEST_F(Win32UiTest, FolderBrowserAnswersAreCheckedLikeTypedText) {
  std::vector<std::optional<std::wstring>> answers = {L"D:\\\u6E38\u620F\\", L"E:\\", std::nullopt, L"D:\\\u0E01"};
  std::wstring title;
  ui.SetFolderChooser([&](std::wstring_view t) {
    title = t;
    auto a = answers.front();
    answers.erase(answers.begin());
    return a;
  });
  const std::string games = "D:\\游戏";
  EXPECT_EQ(ui.BrowseFolder("test", "pick", ""), games);
  EXPECT_EQ(title, L"pick");
  EXPECT_EQ(ui.BrowseFolder("test", "pick", ""), "E:");  // a drive root, ready for "\record\"
  EXPECT_EQ(ui.BrowseFolder("test", "pick", ""), "");    // cancelled
  EXPECT_TRUE(seen.notices.empty());
  EXPECT_EQ(ui.BrowseFolder("test", "pick", ""), "");  // a path GBK cannot hold
  EXPECT_EQ(seen.notices.size(), 1u);
}

// The system's own folder picker, worked as a user would: a timer of this thread finds it by
// its title, types into its name box and presses its OK button.
struct PickerHand {
  static inline std::wstring title, typed;
  static inline bool found = false;
  static BOOL CALLBACK FindEdit(HWND h, LPARAM out) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (lstrcmpiW(cls, L"Edit") != 0 || !IsWindowVisible(h)) return TRUE;
    *reinterpret_cast<HWND*>(out) = h;
    return FALSE;
  }
  static BOOL CALLBACK Work(HWND h, LPARAM) {
    wchar_t text[128] = {};
    GetWindowTextW(h, text, 128);
    if (title != text || !IsWindowVisible(h)) return TRUE;
    HWND name = nullptr;
    EnumChildWindows(h, FindEdit, reinterpret_cast<LPARAM>(&name));
    if (!name) return TRUE;  // not built yet
    found = true;
    SetWindowTextW(name, typed.c_str());
    PostMessageW(h, WM_COMMAND, IDOK, 0);
    return FALSE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), Work, 0);
    if (found) KillTimer(nullptr, id);
  }
  static std::string Pick(Win32Ui& ui, const std::string& start, std::wstring keys) {
    title = L"选择星律纪元安装目录";
    typed = std::move(keys);
    found = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 100, Tick);
    std::string picked = ui.BrowseFolder("test", "选择星律纪元安装目录", start);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(found) << "no picker titled as asked";
    return picked;
  }
};

TEST_F(Win32UiTest, TheSystemFolderPickerOpensInTheStartFolderAndTakesAPastedPath) {
  ui.SetFolderChooser(nullptr);
  fixtures::TempFolder temp;
  const std::string start = temp.Sub("游戏 目录"), other = temp.Sub("别处");
  ASSERT_TRUE(fs::CreateDirectories(start).ok());
  ASSERT_TRUE(fs::CreateDirectories(other).ok());
  // "." picks the folder the picker shows: the one it was asked to open in.
  EXPECT_EQ(PickerHand::Pick(ui, start, L"."), start);
  // A path pasted into its box is taken as it is.
  EXPECT_EQ(PickerHand::Pick(ui, start, *GbkToWide(other)), other);
  EXPECT_TRUE(seen.notices.empty());
}

TEST_F(Win32UiTest, AWindowMayBeDestroyedByItsOwnClickAndLoadedAfresh) {
  Type("free", L"typed");
  onEvent = [&](const UiEventArgs& e) {
    if (e.control == "go") ui.DestroyWindow("test");
  };
  ClickAtCentre(H("go"));
  EXPECT_FALSE(ui.WindowExists("test"));
  ui.ReleaseDestroyed();
  onEvent = nullptr;
  ui.LoadWindow("test", true);
  EXPECT_EQ(ui.GetText("test", "free"), "");
  // The end: every window goes and the message loop returns the exit code.
  onEvent = [&](const UiEventArgs& e) {
    if (e.control == "go") ui.EndProgram(0);
  };
  PostMessageW(H("go"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageW(H("go"), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(ui.RunMessageLoop(), 0);
  EXPECT_FALSE(ui.WindowExists("test"));
}

}  // namespace
}  // namespace xl::win32
