// The modify window's own close by the roads a user has besides its close button: Alt+F4
// and the system menu's close (which the taskbar's close sends too) reach the program as
// that button does, so edits not saved are asked about first, on the real windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/program.h"
#include "app/window_defs.h"
#include "fixtures/temp_folder.h"
#include "platform/files.h"
#include "tests/win/dui_test_support.h"
#include "tools/fixtures/replay_fixture.h"
#include "ui/message_box.h"
#include "win32/win32_ui.h"

namespace xl::win32 {
namespace {

using ui::testing::PumpFor;

constexpr char kQuestion[] = "录像已经改动，要先保存吗？\r\n不保存的话，改动会丢失。";

TEST(ModifyWindowClose, AltF4AndTheSystemMenuAskAboutUnsavedEdits) {
  fixtures::TempFolder temp;
  const std::string path = temp.Sub("a.rcd"), bytes = fixtures::MakeReplay({.players = 2, .seed = 3});
  ASSERT_TRUE(fs::WriteWholeFile(path, bytes).ok());

  // Each question is read and answered as a user would: Esc, or a click on the named button.
  std::vector<std::string> questions;
  std::string answer;
  ui::SetMessageBoxShownHook([&](HWND box) {
    for (const ui::MessageBoxView& view : ui::OpenMessageBoxes()) {
      if (view.window != box) continue;
      questions.push_back(view.text);
      if (answer == "esc") PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 1);
      for (const auto& b : view.buttons) {
        if (b.text.rfind(answer, 0) != 0) continue;
        const LPARAM at = MAKELPARAM((b.rect.left + b.rect.right) / 2, (b.rect.top + b.rect.bottom) / 2);
        PostMessageW(box, WM_MOUSEMOVE, 0, at);
        PostMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(box, WM_LBUTTONUP, 0, at);
      }
    }
  });
  // Until the question has come and gone.
  auto settle = [&](size_t asked) {
    for (int i = 0; i < 100 && (questions.size() < asked || !ui::OpenMessageBoxes().empty()); ++i) PumpFor(50);
  };

  Win32Ui ui{ProgramWindows()};
  Program program{ui, ProgramState{}};
  program.state.programFolder = temp.path();
  program.Start(path);
  HWND modify = ui.WindowHandle("modify");
  ASSERT_TRUE(modify);
  program.state.replay.edited[0].insert(0, "\r\n");  // an edit not saved
  SetForegroundWindow(modify);
  PumpFor(100);

  // Alt+F4 where the keyboard's focus is; Esc on the question keeps the window.
  answer = "esc";
  PostMessageW(GetFocus() ? GetFocus() : modify, WM_SYSKEYDOWN, VK_F4, (1 << 29) | 1);
  settle(1);
  EXPECT_EQ(questions, std::vector<std::string>{kQuestion});
  EXPECT_TRUE(ui.IsVisible("modify", "-"));

  // The system menu's close; 否 closes without writing.
  answer = "否";
  PostMessageW(modify, WM_SYSCOMMAND, SC_CLOSE, 0);
  settle(2);
  EXPECT_EQ(questions, (std::vector<std::string>{kQuestion, kQuestion}));
  EXPECT_FALSE(ui.WindowExists("modify"));
  EXPECT_TRUE(ui.IsVisible("start", "-"));
  EXPECT_EQ(fs::ReadWholeFile(path).value(), bytes);
  ui::SetMessageBoxShownHook(nullptr);
}

}  // namespace
}  // namespace xl::win32
