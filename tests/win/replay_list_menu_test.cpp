// The real start window's replay list under the right mouse button, and the popup menu the
// Windows back end shows for it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/window_defs.h"
#include "tests/win/dui_test_support.h"
#include "win32/win32_ui.h"
#include "ui/ui_start.h"

namespace xl::win32 {
namespace {

using ui::testing::PumpFor;

const char* kList = "列表框_文件列表";

void Mouse(POINT at, DWORD down, DWORD up) {
  SetCursorPos(at.x, at.y);
  INPUT inputs[3] = {};
  for (INPUT& i : inputs) i.type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE;  // a null move: the window sees the cursor arrive
  inputs[1].mi.dwFlags = down;
  inputs[2].mi.dwFlags = up;
  SendInput(3, inputs, sizeof inputs[0]);
}

// Where a timer will click while a menu runs its own message loop.
POINT g_clickAt{};
void CALLBACK ClickLater(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  Mouse(g_clickAt, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
}
void CALLBACK EscapeLater(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = inputs[1].ki.wVk = VK_ESCAPE;
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof inputs[0]);
}

class ReplayListMenuWindows : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ui::StartSkinnedUi(); }
  void SetUp() override {
    ui.SetEventSink([this](const UiEventArgs& e) {
      if (e.event != UiEvent::ContextMenu) return;
      events.push_back(std::string(e.control));
      selectionAtEvent = ui.GetSelection("start", kList);
    });
    ui.LoadWindow("start", true);
    for (const char* name : {"a.rcd", "b.rcd", "2024\\c.rcd"}) ui.AddItem("start", kList, name);
    list = ui.ControlHandle("start", kList);
    SetForegroundWindow(ui.WindowHandle("start"));
    PumpFor(100);
  }
  // Screen point inside item `index` of the list (an index past the end: below the items).
  POINT ItemPoint(int index) {
    RECT r{};
    SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    POINT p{r.left + 20, r.top + (r.bottom - r.top) * index + (r.bottom - r.top) / 2};
    ClientToScreen(list, &p);
    return p;
  }

  Win32Ui ui{ProgramWindows()};
  HWND list = nullptr;
  std::vector<std::string> events;
  int selectionAtEvent = -2;
};

TEST_F(ReplayListMenuWindows, RightClickSelectsTheReplayUnderTheMouse) {
  ASSERT_NE(list, nullptr);
  Mouse(ItemPoint(1), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  PumpFor(300);
  ASSERT_EQ(events, std::vector<std::string>{kList});
  EXPECT_EQ(selectionAtEvent, 1);

  // Below the last replay: nothing stays selected.
  Mouse(ItemPoint(6), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  PumpFor(300);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(selectionAtEvent, -1);
}

TEST_F(ReplayListMenuWindows, MenuAnswersTheChosenEntryOrNone) {
  const std::vector<MenuEntry> entries = {{"open"}, {"off", false}, {""}, {"refresh"}};
  POINT at{300, 200};
  SetCursorPos(at.x, at.y);
  // Items are 22 pixels high from 8 pixels below the top of the menu, which opens at the cursor.
  auto entryAt = [&](int top) { return POINT{at.x + 40, at.y + 8 + top + 11}; };

  g_clickAt = entryAt(22 + 22 + 3);  // "refresh", below the separator
  SetTimer(nullptr, 0, 300, ClickLater);
  EXPECT_EQ(ui.ShowMenu("start", entries), 3);

  SetCursorPos(at.x, at.y);
  SetTimer(nullptr, 0, 300, EscapeLater);
  EXPECT_EQ(ui.ShowMenu("start", entries), -1);

  // A disabled entry: the click does nothing and the menu stays until Escape.
  SetCursorPos(at.x, at.y);
  g_clickAt = entryAt(22);
  SetTimer(nullptr, 0, 300, ClickLater);
  SetTimer(nullptr, 0, 900, EscapeLater);
  EXPECT_EQ(ui.ShowMenu("start", entries), -1);
}

// The start window through the program's own bindings, with the menu of a right-click left
// open for a few seconds to be photographed:
//   replay_list_menu_test --gtest_also_run_disabled_tests --gtest_filter=*Photograph*
TEST(ReplayListMenuPhotograph, DISABLED_StartWindow) {
  ui::StartSkinnedUi();
  Win32Ui ui{ProgramWindows()};
  Program program{ui, ProgramState{}};
  program.Start();
  for (const char* name : {"2024-05-01 双人.rcd", "2024-05-03 团战.rcd", "练习\\慢歌.rcd"})
    ui.AddItem("start", kList, name);
  HWND list = ui.ControlHandle("start", kList);
  RECT r{};
  SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  POINT at{r.left + 40, (r.top + r.bottom) / 2};
  ClientToScreen(list, &at);
  const char* seconds = std::getenv("XL_PHOTO_SECONDS");
  SetTimer(nullptr, 0, 1000 * (seconds ? std::atoi(seconds) : 4), EscapeLater);
  Mouse(at, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  PumpFor(300);
}

}  // namespace
}  // namespace xl::win32
