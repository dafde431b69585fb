// The title-bar buttons of the program's real start and modify windows, made image buttons
// over the title-bar picture and driven with the system's mouse input.
#include "app/title_buttons.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/window_defs.h"
#include "resources/resources.h"
#include "resources/version.h"
#include "tests/win/dui_test_support.h"
#include "ui/tooltip.h"
#include "ui/ui_start.h"

namespace xl::win32 {
namespace {

using ui::testing::PumpFor;

constexpr COLORREF kCloseHoverRed = RGB(229, 72, 77);
// The icon's tooltip: 星律纪元代码修改器 and the version the build was given.
constexpr wchar_t kIconTip[] = L"\u661F\u5F8B\u7EAA\u5143\u4EE3\u7801\u4FEE\u6539\u5668 " XL_VERSION_TEXT;

bool Bluish(COLORREF c) { return GetBValue(c) > GetRValue(c) + 60; }

std::wstring TooltipText(HWND window) {
  wchar_t text[80] = {};
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = window;
  tool.lpszText = text;
  SendMessageW(ui::SharedTooltipWindow(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
  return text;
}

class TitleButtonsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ui::StartSkinnedUi();
    ui::StartPictureLoader();
  }
  void SetUp() override {
    ui.SetEventSink([this](const UiEventArgs& e) {
      if (e.event == UiEvent::Clicked) clicks.push_back(std::string(e.window) + " " + std::string(e.control));
    });
  }
  // As the program does it: the buttons are made while the window is still hidden (in its
  // created handler), and the first paint after showing it must draw them over the title bar.
  void Load(const char* window) {
    ui.LoadWindow(window, false);
    ui.SetPicture(window, "图片框_标题栏", Resource("pictures/title_bar.jpg"));
    if (std::string_view(window) == "start")
      MakeStartTitleButtons(ui, title);
    else
      MakeModifyTitleButtons(ui, title);
    ui.ShowWindow(window, true);
    SetWindowPos(ui.WindowHandle(window), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    PumpFor(150);
  }
  // The colour on the screen at (x, y) of a control.
  static COLORREF At(HWND control, int x, int y) {
    POINT p{x, y};
    ClientToScreen(control, &p);
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
  }
  static void PointAt(HWND control, int x, int y, int settle = 200) {
    POINT p{x, y};
    ClientToScreen(control, &p);
    SetCursorPos(p.x, p.y);
    PumpFor(settle);
  }
  static void Click() {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof in[0]);
    PumpFor(150);
  }

  Win32Ui ui{ProgramWindows()};
  TitleBarButtons title;
  std::vector<std::string> clicks;
};

TEST_F(TitleButtonsTest, CloseButtonShowsItsStatesOverTheTitleBar) {
  Load("start");
  HWND close = ui.ControlHandle("start", "按钮_关闭");
  ASSERT_TRUE(close);
  PointAt(ui.ControlHandle("start", "列表框_文件列表"), 5, 5);
  EXPECT_TRUE(Bluish(At(close, 1, 1))) << "the title bar shows through the picture's corner";
  EXPECT_EQ(At(close, 15, 15), RGB(255, 255, 255));
  EXPECT_EQ(At(ui.ControlHandle("start", "按钮_图标"), 15, 15), RGB(62, 124, 207));  // a pixel of the icon
  EXPECT_EQ(TooltipText(ui.ControlHandle("start", "按钮_图标")), kIconTip);

  PointAt(close, 15, 15);
  EXPECT_EQ(At(close, 1, 1), kCloseHoverRed);
  EXPECT_EQ(TooltipText(close), L"\u5173\u95ED");  // 关闭

  PointAt(ui.ControlHandle("start", "列表框_文件列表"), 5, 5, 700);
  EXPECT_TRUE(Bluish(At(close, 1, 1))) << "no trace of the hover picture is left";

  // The button still clicks as before.
  PointAt(close, 15, 15);
  Click();
  EXPECT_EQ(clicks, std::vector<std::string>{"start 按钮_关闭"});
}

TEST_F(TitleButtonsTest, ModifyWindowHasCloseMinimiseAndIcon) {
  Load("modify");
  HWND minimize = ui.ControlHandle("modify", "按钮_最小化");
  HWND icon = ui.ControlHandle("modify", "按钮_图标");
  ASSERT_TRUE(minimize && icon);
  EXPECT_EQ(TooltipText(minimize), L"\u6700\u5C0F\u5316");  // 最小化
  EXPECT_EQ(At(icon, 15, 15), RGB(62, 124, 207));           // a pixel of the icon picture
  EXPECT_EQ(TooltipText(icon), kIconTip);
  EXPECT_EQ(ui::DrawStateOf(ui.ControlHandle("modify", "按钮_关闭")), ui::ButtonState::Normal);

  // Loaded again, the window gets new buttons, made image buttons like the first ones.
  ui.DestroyWindow("modify");
  PumpFor(50);
  ui.ReleaseDestroyed();
  Load("modify");
  HWND again = ui.ControlHandle("modify", "按钮_最小化");
  PointAt(again, 15, 15);
  EXPECT_EQ(ui::DrawStateOf(again), ui::ButtonState::Hover);
  EXPECT_EQ(TooltipText(again), L"\u6700\u5C0F\u5316");
}

}  // namespace
}  // namespace xl::win32
