// The skinned window host, driven with real window messages.
#include <chrono>
#include <functional>

#include "tests/win/dui_test_support.h"
#include "ui/dui_button.h"
#include "ui/dui_label.h"
#include "ui/dui_sys_button.h"

#include <commctrl.h>  // after <windows.h>

namespace xl::ui::testing {
namespace {

using DuiHostTest = HostWindowTest;

TEST_F(DuiHostTest, AttachRefusesNonWindowsAndSecondAttach) {
  DuiHost other;
  EXPECT_FALSE(other.Attach(nullptr));
  EXPECT_FALSE(other.Attach(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234))));
  Attach(200, 100);
  EXPECT_EQ(DuiHost::FromWindow(window), &host);
  EXPECT_FALSE(host.Attach(window));   // the same window again
  EXPECT_FALSE(other.Attach(window));  // someone else's window
  LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME));
}

TEST_F(DuiHostTest, MinimumTrackSizeFollowsCaptionButtons) {
  struct Case {
    unsigned flags;
    LONG width, height;
  } cases[] = {
      {4 | 8 | 16, 131, 40},  // 39 + 28 + 28 + 36
      {4, 75, 40},
      {2 | 16, 64, 40},
      {0, 21, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    DuiHost h;
    HWND w = MakeWindow(300, 200);
    HostOptions o = PlainOptions();
    o.styleFlags = c.flags;
    ASSERT_TRUE(h.Attach(w, o));
    MINMAXINFO info{};
    SendMessageW(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, c.width);
    EXPECT_EQ(info.ptMinTrackSize.y, c.height);
    DestroyWindow(w);
  }
}

TEST_F(DuiHostTest, CaptionButtonsStandRightToLeft) {
  HostOptions o = PlainOptions();
  o.styleFlags = kCaptionText | kCloseButton | kMaximizeButton | kMinimizeButton;
  Attach(400, 300, o);
  ASSERT_EQ(host.SysButtons().size(), 3u);
  struct Expect {
    unsigned kind;
    float x, w;
  } expected[] = {{4, 349, 39}, {8, 321, 28}, {16, 293, 28}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(host.SysButtons()[i]->Kind(), expected[i].kind);
    EXPECT_EQ(host.SysButtons()[i]->Rect().X, expected[i].x);
    EXPECT_EQ(host.SysButtons()[i]->Rect().Width, expected[i].w);
    EXPECT_EQ(host.SysButtons()[i]->Rect().Height, 19);
  }
  ASSERT_NE(host.Caption(), nullptr);
  EXPECT_EQ(host.Caption()->Text(), "test");
  Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\u6E29\u99A8\u63D0\u793A"));
  EXPECT_EQ(host.Caption()->Text(), "温馨提示");
  wchar_t text[16] = {};
  GetWindowTextW(window, text, 16);
  EXPECT_EQ(std::wstring(text), L"\u6E29\u99A8\u63D0\u793A");  // the window's own text changes too

  // A click on the close button closes the window.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, At(360, 15));
  Send(WM_LBUTTONUP, 0, At(360, 15));
  Pump();
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(DuiHostTest, HitTestPicksDeepestVisibleEnabledElement) {
  Attach(300, 200);
  auto* back = host.Add<Probe>(Box(0, 0, 300, 200));
  auto* panel = host.Add<Probe>(Box(20, 20, 100, 100));
  auto* inner = host.Add<Probe>(Box(30, 30, 40, 40, false, panel));
  auto* disabled = host.Add<Probe>(Box(200, 20, 50, 50));
  auto* hidden = host.Add<Probe>(Box(200, 100, 50, 50));
  auto* under = host.Add<Probe>(Box(25, 25, 10, 10, false, panel));
  auto* over = host.Add<Probe>(Box(25, 25, 10, 10, false, panel));  // created later: on top
  disabled->SetEnabled(false);
  hidden->SetVisible(false);
  struct Case {
    float x, y;
    DuiElement* expected;
  } cases[] = {
      {50, 50, inner}, {20, 20, panel},  {119.9f, 119.9f, panel}, {120, 120, back},
      {210, 30, back}, {210, 110, back}, {27, 27, over},          {-1, 5, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.x << "," << c.y);
    EXPECT_EQ(host.HitTest(c.x, c.y), c.expected);
  }
  under->SetEnabled(true);
  over->SetVisible(false);
  EXPECT_EQ(host.HitTest(27, 27), under);
}

TEST_F(DuiHostTest, TabMovesFocusInCreationOrder) {
  Attach(300, 200);
  // No focusable element: nothing takes the focus.
  host.Add<Probe>(Box(0, 0, 10, 10));
  Send(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(host.Focused(), nullptr);
  // One: Tab gives it the focus and keeps it there.
  auto* a = host.Add<Probe>(Box(10, 0, 10, 10, true));
  Send(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(host.Focused(), a);
  Send(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(host.Focused(), a);
  EXPECT_EQ(a->Count(kFocusGained), 1);
  // Several: disabled, hidden and role-1 elements are passed over; the order wraps.
  auto* b = host.Add<Probe>(Box(20, 0, 10, 10, true));
  auto* off = host.Add<Probe>(Box(30, 0, 10, 10, true));
  ElementOptions roleOne = Box(40, 0, 10, 10, true);
  roleOne.role = 1;
  host.Add<Probe>(roleOne);
  auto* hidden = host.Add<Probe>(Box(50, 0, 10, 10, true));
  auto* c = host.Add<Probe>(Box(60, 0, 10, 10, true));
  off->SetEnabled(false);
  hidden->SetVisible(false);
  std::vector<DuiElement*> order;
  for (int i = 0; i < 4; ++i) {
    Send(WM_KEYDOWN, VK_TAB);
    order.push_back(host.Focused());
  }
  EXPECT_EQ(order, (std::vector<DuiElement*>{b, c, a, b}));
  EXPECT_TRUE(a->Received(kFocusLost));
}

TEST_F(DuiHostTest, ClickFiresOnlyOnReleaseInsideThePressedElement) {
  Attach(300, 200);
  auto* a = host.Add<Probe>(Box(10, 10, 50, 30, true));
  auto* b = host.Add<Probe>(Box(100, 10, 50, 30, true));
  int clicks = 0;
  std::vector<std::pair<DuiElement*, UINT>> events;
  host.SetOnClick([&](HWND, DuiElement*, WPARAM, LPARAM, int) { ++clicks; });
  host.SetOnMouseLeave([&](HWND, DuiElement* e, WPARAM, LPARAM, int) { events.emplace_back(e, kMouseLeft); });
  host.SetOnMouseEnter([&](HWND, DuiElement* e, WPARAM, LPARAM, int) { events.emplace_back(e, kMouseEntered); });

  Send(WM_MOUSEMOVE, 0, At(20, 20));
  Send(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
  EXPECT_EQ(host.Pressed(), a);
  EXPECT_EQ(GetCapture(), window);
  EXPECT_EQ(host.Focused(), a);
  events.clear();
  Send(WM_MOUSEMOVE, MK_LBUTTON, At(120, 20));  // still captured: only the pressed element hears it
  EXPECT_FALSE(b->Received(kMouseEntered));
  Send(WM_MOUSELEAVE);  // out of the window and back: the press keeps the capture
  EXPECT_EQ(GetCapture(), window);
  EXPECT_EQ(host.Pressed(), a);
  Send(WM_LBUTTONUP, 0, At(120, 20));
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(a->Received(kClicked));
  EXPECT_EQ(events, (std::vector<std::pair<DuiElement*, UINT>>{{a, kMouseLeft}, {b, kMouseEntered}}));
  EXPECT_EQ(host.Hot(), b);
  EXPECT_EQ(host.Pressed(), nullptr);
  EXPECT_NE(GetCapture(), window);

  // Pressed and released inside: exactly one click.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, At(120, 20));
  Send(WM_LBUTTONUP, 0, At(121, 21));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(b->Count(kClicked), 1);
}

TEST_F(DuiHostTest, DoubleClickIsMarkedAndKeyboardClicks) {
  Attach(300, 200);
  auto* button = host.Add<DuiButton>(Box(10, 10, 70, 24), "是(&Y)");
  WPARAM marked = 0;
  int clicks = 0;
  host.SetOnDoubleClick([&](HWND, DuiElement*, WPARAM wParam, LPARAM, int) { marked = wParam; });
  host.SetOnClick([&](HWND, DuiElement* e, WPARAM, LPARAM, int role) {
    EXPECT_EQ(e, button);
    EXPECT_EQ(role, DuiButton::kRole);
    ++clicks;
  });
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, At(20, 20));
  EXPECT_EQ(marked, kDoubleClickMark);
  Send(WM_LBUTTONUP, 0, At(20, 20));
  EXPECT_EQ(clicks, 1);
  Send(WM_KEYDOWN, VK_RETURN);
  Send(WM_KEYDOWN, VK_SPACE);
  Send(WM_SYSKEYDOWN, 'Y');
  Send(WM_SYSKEYDOWN, 'N');  // no such access key
  EXPECT_EQ(clicks, 4);
  button->SetEnabled(false);
  Send(WM_SYSKEYDOWN, 'Y');
  EXPECT_EQ(clicks, 4);
}

TEST_F(DuiHostTest, DisableThenEnableRestoresFullAlpha) {
  Attach(300, 200);
  auto* a = host.Add<Probe>(Box(10, 10, 50, 30, true));
  host.SetFocus(a);
  a->SetEnabled(false);
  EXPECT_EQ(a->FullAlpha(), 127);
  EXPECT_EQ(host.Focused(), nullptr);
  EXPECT_TRUE(a->Received(kFocusLost));
  EXPECT_TRUE(a->Received(kEnabledChanged));
  EXPECT_FALSE(host.SetFocus(a));
  a->SetEnabled(true);
  EXPECT_EQ(a->FullAlpha(), 255);
  EXPECT_EQ(a->Alpha(), 255);
  for (int i = 0; i < 3; ++i) a->SetEnabled(false), a->SetEnabled(true);
  EXPECT_EQ(a->FullAlpha(), 255);
}

TEST_F(DuiHostTest, FadeReachesFullAlphaInFiftyOneSteps) {
  Attach(300, 200);
  auto* button = host.Add<DuiButton>(Box(10, 10, 70, 24), "OK");
  struct Case {
    int start, ticks;
  } cases[] = {{0, 5}, {51, 4}, {153, 2}, {204, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    auto* probe = host.Add<Probe>(Box(100, 10, 20, 20));
    probe->ChangeTo(c.start);
    for (int i = 0; i < c.ticks; ++i) {
      EXPECT_LT(probe->Alpha(), 255);
      Send(WM_TIMER, probe->Id());
    }
    EXPECT_EQ(probe->Alpha(), 255);
    EXPECT_FALSE(probe->Fading());
    host.DestroyElement(probe);
  }
  // A real hover: the button fades in on its own timer.
  Send(WM_MOUSEMOVE, 0, At(20, 20));
  EXPECT_EQ(button->State(), DuiButton::kHover);
  EXPECT_EQ(button->Alpha(), 51);
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (button->Fading() && std::chrono::steady_clock::now() < until) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    Pump();
  }
  EXPECT_EQ(button->Alpha(), 255);
}

TEST_F(DuiHostTest, RedrawRequestRecomposesOnlyTheElementRectangle) {
  Attach(300, 200);
  auto* a = host.Add<Probe>(Box(10, 10, 40, 40), 0xFFFF0000);
  auto* b = host.Add<Probe>(Box(100, 10, 40, 40), 0xFF00FF00);
  Pump();
  const Surface& buffer = host.BackBuffer();
  ASSERT_TRUE(buffer.Valid());
  uint32_t* px = buffer.pixels();
  auto pixel = [&](int x, int y) { return px[y * buffer.width() + x]; };
  EXPECT_EQ(pixel(20, 20), 0xFFFF0000u);
  EXPECT_EQ(pixel(110, 20), 0xFF00FF00u);
  // Marks outside a's rectangle must survive a's redraw.
  px[5 * buffer.width() + 5] = 0xFF123456;
  px[20 * buffer.width() + 110] = 0xFF123456;
  px[20 * buffer.width() + 20] = 0xFF123456;
  int paintsA = a->paints, paintsB = b->paints;
  a->RequestRedraw();
  a->RequestRedraw();  // requests merge into one recomposition
  Pump();
  EXPECT_EQ(a->paints, paintsA + 1);
  EXPECT_EQ(b->paints, paintsB);
  EXPECT_EQ(pixel(5, 5), 0xFF123456u);
  EXPECT_EQ(pixel(110, 20), 0xFF123456u);
  EXPECT_EQ(pixel(20, 20), 0xFFFF0000u);
}

TEST_F(DuiHostTest, LayeredHostKeepsItsBackgroundAlpha) {
  HostOptions o = PlainOptions();
  o.layerAlpha = 200;
  o.backgroundColour = 0xFF8800;
  Attach(200, 100, o);
  EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_FALSE(host.BlurBehind() && OsMajorVersion() < 6);
  uint32_t p = host.BackBuffer().pixels()[50 * 200 + 50];
  EXPECT_EQ(p >> 24, 200u);
  EXPECT_EQ(p & 0xFF, 0xFFu * 200 / 255);  // premultiplied blue
}

TEST_F(DuiHostTest, EscapeClosesMessageBoxKindAndDestroyRemovesProperties) {
  // The window's own procedure sees what is left once the host has let go.
  static bool propsAtEnd = true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_NCDESTROY)
      propsAtEnd = GetPropW(w, kPropControl) || GetPropW(w, kPropFlags) || GetPropW(w, kPropMsgBox);
    return DefWindowProcW(w, m, wp, lp);
  };
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"DuiHostTestWindow";
  RegisterClassExW(&wc);
  window =
      CreateWindowExW(0, wc.lpszClassName, L"box", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
  SetPropW(window, kPropFlags, reinterpret_cast<HANDLE>(3));
  SetPropW(window, kPropMsgBox, reinterpret_cast<HANDLE>(64));
  ASSERT_TRUE(host.Attach(window, PlainOptions()));
  host.SetMessageHook(WindowKindFilter);
  ShowWindow(window, SW_SHOWNORMAL);
  Send(WM_KEYDOWN, 'A');
  Pump();
  EXPECT_TRUE(IsWindowVisible(window));
  Send(WM_KEYDOWN, VK_ESCAPE);
  Pump();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(propsAtEnd);
  EXPECT_FALSE(host.Attached());
}

TEST_F(DuiHostTest, ElementDestroyedByItsOwnClickHandler) {
  Attach(300, 200);
  auto* a = host.Add<DuiButton>(Box(10, 10, 70, 24), "x");
  host.SetOnClick([&](HWND, DuiElement* e, WPARAM, LPARAM, int) { host.DestroyElement(e); });
  Send(WM_MOUSEMOVE, 0, At(20, 20));
  Send(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
  Send(WM_LBUTTONUP, 0, At(20, 20));
  EXPECT_EQ(host.Hot(), nullptr);
  EXPECT_EQ(host.Focused(), nullptr);
  EXPECT_TRUE(host.Elements().empty());
  (void)a;
  Send(WM_MOUSEMOVE, 0, At(21, 21));
  Pump();  // the fade timer of the gone button finds nothing
}

TEST_F(DuiHostTest, ButtonStatesFollowTheStateTable) {
  Attach(300, 200);
  auto* button = host.Add<DuiButton>(Box(10, 10, 70, 24), "OK");
  auto* other = host.Add<Probe>(Box(200, 10, 20, 20, true));
  const struct {
    const char* event;
    std::function<void()> act;
    int state, alpha;
  } steps[] = {
      {"mouse entered", [&] { Send(WM_MOUSEMOVE, 0, At(20, 20)); }, DuiButton::kHover, 51},
      {"left button down", [&] { Send(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20)); }, DuiButton::kPressedState, 153},
      {"left button up", [&] { Send(WM_LBUTTONUP, 0, At(20, 20)); }, DuiButton::kHover, 153},
      // Focused since the press, yet the mouse leaving shows it normal, as after any hover.
      {"mouse left", [&] { Send(WM_MOUSEMOVE, 0, At(150, 150)); }, DuiButton::kNormal, 51},
      {"focus lost", [&] { host.SetFocus(other); }, DuiButton::kNormal, 102},
      {"focus gained", [&] { host.SetFocus(button); }, DuiButton::kFocusedState, 204},
      {"repaint at full alpha", [&] { button->Dispatch(kRepaintFull); }, DuiButton::kFocusedState, 255},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.event);
    step.act();
    EXPECT_EQ(button->State(), step.state);
    EXPECT_EQ(button->Alpha(), step.alpha);
  }
}

TEST_F(DuiHostTest, DoubleClickOnTheCaptionMaximisesThenMoves) {
  HostOptions o = PlainOptions();
  o.styleFlags = kCaptionText | kMaximizeButton;
  Attach(400, 300, o);
  // Recorded and kept from the system: a real move would wait for the real mouse.
  std::vector<std::pair<UINT, WPARAM>> seen;
  host.SetMessageHook([&](HWND, UINT m, WPARAM w, LPARAM) -> LRESULT {
    if (m != WM_NCLBUTTONDOWN && m != WM_SYSCOMMAND) return kUnhandled;
    seen.emplace_back(m, w);
    return 0;
  });
  const std::vector<std::pair<UINT, WPARAM>> toggle = {{WM_NCLBUTTONDOWN, HTCAPTION}, {WM_SYSCOMMAND, SC_MAXIMIZE}};
  const struct {
    int x, y;
    bool toggles;
  } cases[] = {{100, 15, true},     // the caption label
               {5, 5, true},        // no element, in the top 30 pixels
               {200, 100, false}};  // no element, further down
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.x << "," << c.y);
    seen.clear();
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, At(c.x, c.y));
    Send(WM_LBUTTONUP, 0, At(c.x, c.y));
    Pump();
    EXPECT_EQ(seen.size(), c.toggles ? 2u : 0u);
    if (c.toggles) {
      EXPECT_EQ(seen, toggle);
    }
  }
}

TEST_F(DuiHostTest, SetParentMovesAnElementIntoAnotherChain) {
  Attach(300, 200);
  auto* a = host.Add<Probe>(Box(30, 30, 20, 20));
  auto* panel = host.Add<Probe>(Box(20, 20, 100, 100));  // created later: covers a
  EXPECT_EQ(host.HitTest(35, 35), panel);
  DuiElement* parentSeen = nullptr;
  a->Bind(kClicked, [&](DuiElement* parent, DuiElement*, UINT, WPARAM, LPARAM) -> LRESULT {
    parentSeen = parent;
    return 0;
  });
  ASSERT_TRUE(a->SetParentElement(panel));
  EXPECT_EQ(host.HitTest(35, 35), a);
  a->Dispatch(kClicked);
  EXPECT_EQ(parentSeen, panel);
  EXPECT_FALSE(panel->SetParentElement(a));  // its own child
  EXPECT_FALSE(a->SetParentElement(a));
  ASSERT_TRUE(a->SetParentElement(nullptr));
  EXPECT_EQ(host.HitTest(35, 35), a);  // top-level again, and the newest there: on top
  host.DestroyElement(panel);
  EXPECT_EQ(host.Elements(), std::vector<DuiElement*>{a});  // no longer goes with its old parent
}

TEST_F(DuiHostTest, EdgesSizeTheWindowWithTheirCursors) {
  HostOptions o = PlainOptions();
  o.resizable = true;
  Attach(300, 200, o);
  auto* inside = host.Add<Probe>(Box(0, 0, 300, 200));  // under every zone: a zone still wins
  std::vector<WPARAM> commands;
  host.SetMessageHook([&](HWND, UINT m, WPARAM w, LPARAM) -> LRESULT {
    if (m != WM_SYSCOMMAND) return kUnhandled;
    commands.push_back(w);  // kept from the system's sizing loop, which waits for the mouse
    return 0;
  });
  const struct {
    int x, y;
    WPARAM zone;  // 0: none
    LPCWSTR cursor;
  } cases[] = {
      {0, 100, 1, IDC_SIZEWE},   {7, 100, 1, IDC_SIZEWE}, {8, 100, 0, nullptr},        {291, 100, 2, IDC_SIZEWE},
      {290, 100, 0, nullptr},    {150, 7, 3, IDC_SIZENS}, {150, 8, 0, nullptr},        {150, 191, 6, IDC_SIZENS},
      {150, 190, 0, nullptr},    {9, 7, 4, IDC_SIZENWSE}, {10, 7, 3, IDC_SIZENS},      {291, 0, 5, IDC_SIZENESW},
      {9, 191, 7, IDC_SIZENESW}, {8, 150, 0, nullptr},    {299, 199, 8, IDC_SIZENWSE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.x << "," << c.y);
    Send(WM_MOUSEMOVE, 0, At(150, 100));
    ASSERT_EQ(host.Hot(), inside);
    SetCursor(nullptr);
    commands.clear();
    Send(WM_MOUSEMOVE, 0, At(c.x, c.y));
    EXPECT_EQ(host.Hot(), c.zone ? nullptr : inside);
    EXPECT_EQ(GetCursor(), c.zone ? LoadCursorW(nullptr, c.cursor) : nullptr);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(c.x, c.y));
    Send(WM_LBUTTONUP, 0, At(c.x, c.y));
    EXPECT_EQ(commands, c.zone ? std::vector<WPARAM>{SC_SIZE | c.zone} : std::vector<WPARAM>{});
  }
}

TEST_F(DuiHostTest, ElementTooltipsFollowTheHotElement) {
  Attach(300, 200);
  auto* tipped = host.Add<Probe>(Box(10, 10, 50, 30));
  tipped->SetTooltip("关闭");
  host.Add<Probe>(Box(100, 10, 50, 30));
  HWND tip = host.TooltipWindow();
  ASSERT_NE(tip, nullptr);
  auto tools = [&] { return SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0); };
  auto tool = [&] {
    static wchar_t text[80];
    text[0] = 0;
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.lpszText = text;
    SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&info));
    return std::make_pair(std::wstring(text), info.rect);
  };
  Send(WM_MOUSEMOVE, 0, At(20, 20));
  ASSERT_EQ(tools(), 1);
  auto [text, rect] = tool();
  EXPECT_EQ(text, L"\u5173\u95ED");
  const RECT expected{10, 10, 60, 40};
  EXPECT_TRUE(EqualRect(&rect, &expected)) << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
  Send(WM_MOUSEMOVE, 0, At(120, 20));  // an element without a tooltip
  EXPECT_EQ(tools(), 0);
  Send(WM_MOUSEMOVE, 0, At(20, 20));
  EXPECT_EQ(tools(), 1);
  Send(WM_MOUSEMOVE, 0, At(200, 150));  // no element
  EXPECT_EQ(tools(), 0);
  host.UpdateTooltip(tipped, "最小化");  // a text of its own for once
  EXPECT_EQ(tool().first, L"\u6700\u5C0F\u5316");
}

TEST(HostEffects, FramesCountGeometryAndAlpha) {
  const struct {
    int kind;
    bool closing;
    int count, frame;
    bool strips;
    RectF dest;  // when not strips
    int alpha;
    DWORD pause;
  } cases[] = {
      // Opening: ten frames, alpha 25 a frame from 0; a tenth of the 200 ms between them.
      {1, false, 10, 1, false, RectF(0, 0, 300, 200), 0, 20},
      {1, false, 10, 10, false, RectF(0, 0, 300, 200), 225, 20},
      {7, false, 10, 1, false, RectF(27, 18, 246, 164), 0, 10},  // grows from the centre
      {7, false, 10, 10, false, RectF(0, 0, 300, 200), 225, 1},
      {3, false, 10, 1, true, {}, 0, 20},
      // Closing: fifteen frames (twenty for kind 2) that fade out.
      {1, true, 15, 1, false, RectF(0, 0, 300, 200), 238, 10},
      {1, true, 15, 15, false, RectF(0, 0, 300, 200), 0, 10},
      {2, true, 20, 1, false, RectF(-0.75f, -0.75f, 301.5f, 201.5f), 243, 15},  // swells...
      {2, true, 20, 3, false, RectF(-2.25f, -2.25f, 304.5f, 204.5f), 219, 13},
      {2, true, 20, 4, false, RectF(-5, -5, 310, 210), 207, 12},  // ...then shrinks
      {2, true, 20, 20, false, RectF(11, 11, 278, 178), 15, 10},
      {7, true, 15, 1, false, RectF(0, 0, 300, 200), 238, 12},  // shrinks to the centre
      {7, true, 15, 15, false, RectF(28, 14, 244, 172), 0, 1},
      {4, true, 15, 15, true, {}, 0, 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "kind " << c.kind << (c.closing ? " closing" : " opening") << ", frame "
                                      << c.frame);
    EXPECT_EQ(EffectFrameCount(c.kind, c.closing), c.count);
    EffectFrame f = EffectFrameAt(c.kind, c.frame, c.closing, 300, 200);
    EXPECT_EQ(f.strips, c.strips);
    if (!c.strips) {
      EXPECT_FLOAT_EQ(f.dest.X, c.dest.X);
      EXPECT_FLOAT_EQ(f.dest.Y, c.dest.Y);
      EXPECT_FLOAT_EQ(f.dest.Width, c.dest.Width);
      EXPECT_FLOAT_EQ(f.dest.Height, c.dest.Height);
    }
    EXPECT_EQ(f.alpha, c.alpha);
    EXPECT_EQ(f.pauseMs, c.pause);
  }
  // Strips come together as the window opens and fly apart as it closes.
  EXPECT_GT(EffectFrameAt(3, 1, false, 300, 200).spread, EffectFrameAt(3, 10, false, 300, 200).spread);
  EXPECT_LT(EffectFrameAt(3, 1, true, 300, 200).spread, EffectFrameAt(3, 15, true, 300, 200).spread);
}

TEST_F(DuiHostTest, EffectsKeepTheHostBusyAndTheMouseOut) {
  constexpr UINT kDuring = WM_APP + 7;  // posted before the effect, runs between its frames
  std::vector<bool> busyDuring;
  int clicks = 0;
  auto watch = [&] {
    host.SetMessageHook([&](HWND, UINT m, WPARAM, LPARAM) -> LRESULT {
      if (m == kDuring) busyDuring.push_back(host.Busy());
      return kUnhandled;
    });
    host.SetOnClick([&](HWND, DuiElement*, WPARAM, LPARAM, int) { ++clicks; });
    host.Add<DuiButton>(Box(10, 10, 70, 24), "x");
    PostMessageW(window, kDuring, 0, 0);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
    PostMessageW(window, WM_LBUTTONUP, 0, At(20, 20));
  };
  // Opening an opaque window: layered only while the effect plays.
  MakeWindow(300, 200);
  ASSERT_TRUE(host.Attach(window, PlainOptions()));
  watch();
  host.Show(1, 50);
  EXPECT_EQ(busyDuring, std::vector<bool>{true});
  EXPECT_FALSE(host.Busy());
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_FALSE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED);
  // Closing.
  Pump();
  busyDuring.clear();
  host.SetCloseEffect(7);
  PostMessageW(window, kDuring, 0, 0);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
  PostMessageW(window, WM_LBUTTONUP, 0, At(20, 20));
  Send(WM_CLOSE);
  EXPECT_EQ(busyDuring, std::vector<bool>{true});
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(IsWindow(window));
}

}  // namespace
}  // namespace xl::ui::testing
