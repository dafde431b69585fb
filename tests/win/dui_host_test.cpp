// The skinned window host, driven with real window messages.
#include <chrono>

#include "tests/win/dui_test_support.h"
#include "ui/dui_button.h"
#include "ui/dui_label.h"
#include "ui/dui_sys_button.h"

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
  struct Case { unsigned flags; LONG width, height; } cases[] = {
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
  struct Expect { unsigned kind; float x, w; } expected[] = {{4, 349, 39}, {8, 321, 28}, {16, 293, 28}};
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
  struct Case { float x, y; DuiElement* expected; } cases[] = {
      {50, 50, inner},  {20, 20, panel},  {119.9f, 119.9f, panel}, {120, 120, back},
      {210, 30, back},  {210, 110, back}, {27, 27, over},          {-1, 5, nullptr},
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
  struct Case { int start, ticks; } cases[] = {{0, 5}, {51, 4}, {153, 2}, {204, 1}};
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
  window = CreateWindowExW(0, wc.lpszClassName, L"box", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                           wc.hInstance, nullptr);
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

}  // namespace
}  // namespace xl::ui::testing
