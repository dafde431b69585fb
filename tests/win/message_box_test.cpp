// The skinned message box, shown for real and driven through its modal loop.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/fixtures/gbk.h"
#include "tests/win/dui_test_support.h"
#include "ui/dui_button.h"
#include "ui/dui_label.h"
#include "ui/message_box.h"

namespace xl::ui::testing {
namespace {

MessageBoxOptions Options(const std::function<void(MessageBoxOptions&)>& set) {
  MessageBoxOptions o;
  set(o);
  return o;
}

class MessageBoxTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    StartSkinnedUi();
    StartPictureLoader();
  }
  void TearDown() override { SetMessageBoxShownHook(nullptr); }

  // Runs `act` once the box is up, with what a driver sees of it.
  void WhenShown(std::function<void(const MessageBoxView&)> act) {
    SetMessageBoxShownHook([this, act](HWND) {
      auto boxes = OpenMessageBoxes();
      ASSERT_EQ(boxes.size(), 1u);
      seen = boxes.back();
      GetWindowRect(seen.window, &windowRect);
      DuiHost* host = DuiHost::FromWindow(seen.window);
      ASSERT_NE(host, nullptr);
      for (DuiElement* e : host->Elements())
        if (auto* label = dynamic_cast<DuiLabel*>(e); label && label != host->Caption()) labelRect = label->Rect();
      focusedText = host->Focused() ? host->Focused()->Text() : "";
      act(seen);
    });
  }
  static void ClickButton(const MessageBoxView& box, size_t n) {
    const RECT& r = box.buttons[n - 1].rect;
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageW(box.window, WM_MOUSEMOVE, 0, at);
    PostMessageW(box.window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(box.window, WM_LBUTTONUP, 0, at);
  }
  static RECT WorkArea() {
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
  }
  LONG Width() const { return windowRect.right - windowRect.left; }
  LONG Height() const { return windowRect.bottom - windowRect.top; }

  MessageBoxView seen;
  RECT windowRect{};
  RectF labelRect{};
  std::string focusedText;
};

TEST_F(MessageBoxTest, OneLineNoticeWithIcon) {
  WhenShown([](const MessageBoxView& box) { ClickButton(box, 1); });
  ShowNotice("修改成功", nullptr, "温馨提示");
  EXPECT_EQ(seen.title, "温馨提示");
  EXPECT_EQ(seen.text, "修改成功");
  EXPECT_EQ(Width(), 320);
  EXPECT_EQ(Height(), 150);
  RECT work = WorkArea();
  EXPECT_EQ(windowRect.left, work.left + (work.right - work.left - 320) / 2);
  EXPECT_EQ(labelRect.X, 85);
  EXPECT_EQ(labelRect.Y, 47);  // one line: nudged 4 down
  ASSERT_EQ(seen.buttons.size(), 1u);
  EXPECT_EQ(seen.buttons[0].text, "确认");
  EXPECT_EQ(seen.buttons[0].rect.left, 235);
  EXPECT_EQ(seen.buttons[0].rect.top, 114);
  EXPECT_EQ(seen.buttons[0].rect.right - seen.buttons[0].rect.left, 70);
  EXPECT_FALSE(IsWindow(seen.window));
}

TEST_F(MessageBoxTest, LongLineWidensTheBoxByItsOverflow) {
  std::string line;
  for (int i = 0; i < 30; ++i) line += "录像";
  WhenShown([](const MessageBoxView& box) { PostMessageW(box.window, WM_KEYDOWN, VK_ESCAPE, 0); });
  EXPECT_EQ(SkinnedMessageBox(nullptr, line, Options([&](MessageBoxOptions& o) { o.style = kStyleAsterisk; })),
            kResultCancel);
  float measured = labelRect.Width - 10;
  ASSERT_GT(measured, 200);
  EXPECT_NEAR(Width(), 320 + (measured - 200), 1.0);
  RECT work = WorkArea();
  EXPECT_NEAR(windowRect.left, work.left + (work.right - work.left - Width()) / 2.0, 1.0);
  EXPECT_EQ(seen.buttons[0].rect.left, Width() - 85);
  EXPECT_EQ(Height(), 150);
}

TEST_F(MessageBoxTest, ManyLinesGrowTheHeightAndTheButtonsFollow) {
  std::string text;
  for (int i = 0; i < 8; ++i) text += "第" + std::to_string(i + 1) + "行\r\n";
  text += "最后一行";
  WhenShown([](const MessageBoxView& box) { ClickButton(box, 1); });
  SkinnedMessageBox(nullptr, text, Options([&](MessageBoxOptions& o) { o.buttonSet = 1; }));
  EXPECT_GT(Height(), 150);
  EXPECT_NEAR(labelRect.Height, Height() - 100 + 5, 1.0);
  EXPECT_EQ(labelRect.X, 30);  // no icon
  EXPECT_EQ(labelRect.Y, 43);  // tall text: no nudge
  ASSERT_EQ(seen.buttons.size(), 2u);
  for (size_t n = 1; n <= 2; ++n) {
    EXPECT_EQ(seen.buttons[n - 1].rect.top, Height() - 36);
    EXPECT_EQ(seen.buttons[n - 1].rect.left, 320 - 75 * static_cast<LONG>(n) - 10);
  }
}

TEST_F(MessageBoxTest, YesNoCancelSet) {
  struct Case {
    const char* name;
    std::function<void(const MessageBoxView&)> act;
    int result;
  } cases[] = {
      {"click yes", [](const MessageBoxView& b) { ClickButton(b, 3); }, kResultYes},
      {"click no", [](const MessageBoxView& b) { ClickButton(b, 2); }, kResultNo},
      {"escape", [](const MessageBoxView& b) { PostMessageW(b.window, WM_KEYDOWN, VK_ESCAPE, 0); }, kResultCancel},
      {"enter on the focus", [](const MessageBoxView& b) { PostMessageW(b.window, WM_KEYDOWN, VK_RETURN, 0); },
       kResultCancel},
      {"alt+y", [](const MessageBoxView& b) { PostMessageW(b.window, WM_SYSKEYDOWN, 'Y', 0); }, kResultYes},
      {"close button", [](const MessageBoxView& b) { PostMessageW(b.window, WM_CLOSE, 0, 0); }, kResultCancel},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    WhenShown(c.act);
    EXPECT_EQ(SkinnedMessageBox(nullptr, "要保存吗？", Options([&](MessageBoxOptions& o) {
                                  o.buttonSet = 3;
                                  o.style = kStyleQuestion;
                                })),
              c.result);
    ASSERT_EQ(seen.buttons.size(), 3u);
    EXPECT_EQ(seen.buttons[0].text, "取消");
    EXPECT_EQ(seen.buttons[1].text, "否(&N)");
    EXPECT_EQ(seen.buttons[2].text, "是(&Y)");
    EXPECT_GT(seen.buttons[0].rect.left, seen.buttons[1].rect.left);
    EXPECT_GT(seen.buttons[1].rect.left, seen.buttons[2].rect.left);
    EXPECT_EQ(focusedText, "取消");
  }
}

// The 40 x 40 icon area of a box of the given style, as composed.
std::vector<uint32_t> IconPixels(int style) {
  std::vector<uint32_t> pixels;
  SetMessageBoxShownHook([&](HWND window) {
    const Surface& buffer = DuiHost::FromWindow(window)->BackBuffer();
    for (int y = 40; y < 80; ++y)
      for (int x = 30; x < 70; ++x) pixels.push_back(buffer.pixels()[y * buffer.width() + x]);
    PostMessageW(window, WM_CLOSE, 0, 0);
  });
  SkinnedMessageBox(nullptr, "x", Options([&](MessageBoxOptions& o) {
                      o.style = style;
                      o.beep = false;
                    }));
  return pixels;
}

TEST_F(MessageBoxTest, IconBadgeFollowsTheStyle) {
  auto hand = IconPixels(kStyleHand);
  ASSERT_EQ(hand.size(), 1600u);
  EXPECT_EQ(hand[20 * 40 + 2] >> 24, 0xFFu);  // opaque badge left of the centre
  EXPECT_EQ(IconPixels(7), hand);             // an unlisted style draws the first badge
  EXPECT_NE(IconPixels(kStyleExclamation), hand);
  EXPECT_NE(IconPixels(kStyleUser), hand);
  EXPECT_NE(IconPixels(0), hand);  // no icon at all
}

TEST_F(MessageBoxTest, InputToOtherWindowsIsDroppedWhileTheBoxIsUp) {
  static std::vector<UINT> received;
  received.clear();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    received.push_back(m);
    return DefWindowProcW(w, m, wp, lp);
  };
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"MessageBoxOwner";
  RegisterClassExW(&wc);
  HWND owner = CreateWindowExW(0, wc.lpszClassName, L"owner", WS_POPUP | WS_VISIBLE, 10, 10, 200, 200, nullptr, nullptr,
                               wc.hInstance, nullptr);
  WhenShown([owner](const MessageBoxView& box) {
    for (UINT input : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_KEYDOWN, WM_CHAR, WM_NCLBUTTONDOWN})
      PostMessageW(owner, input, 0, 0);
    PostMessageW(owner, WM_APP + 1, 0, 0);  // not input: delivered
    PostMessageW(box.window, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_EQ(SkinnedMessageBox(owner, "x", Options([&](MessageBoxOptions& o) { o.centreOnOwner = true; })),
            kResultCancel);
  EXPECT_EQ(std::count(received.begin(), received.end(), WM_APP + 1), 1);
  for (UINT input : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KEYDOWN, WM_CHAR, WM_NCLBUTTONDOWN}) {
    SCOPED_TRACE(input);
    EXPECT_EQ(std::count(received.begin(), received.end(), input), 0);
  }
  EXPECT_GT(std::count(received.begin(), received.end(), static_cast<UINT>(WM_MOUSELEAVE)), 0);
  // Centred on the owner's rectangle.
  EXPECT_EQ(windowRect.left, 10 + (200 - 320) / 2);
  DestroyWindow(owner);
}

// A notice's entrance and exit let messages run. A click on another window that arrives
// during the entrance does nothing, and a close of that window (posted, as the taskbar's
// and Alt+F4's are) is carried out only once the box is gone, whether it came during the
// entrance or while the box waited.
TEST_F(MessageBoxTest, ANoticesEffectsKeepInputAndClosesFromOtherWindows) {
  struct Seen {
    int clicks = 0;
    std::vector<bool> closedWithABoxUp;
  };
  static Seen seen;
  seen = {};
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_LBUTTONUP) ++seen.clicks;
    if (m == WM_CLOSE) {
      seen.closedWithABoxUp.push_back(!OpenMessageBoxes().empty());
      return 0;  // kept open: the test counts closes
    }
    return DefWindowProcW(w, m, wp, lp);
  };
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"WindowUnderANotice";
  RegisterClassExW(&wc);
  HWND under = CreateWindowExW(0, wc.lpszClassName, L"under", WS_POPUP | WS_VISIBLE | WS_SYSMENU, 10, 10, 200, 200,
                               nullptr, nullptr, wc.hInstance, nullptr);
  WhenShown([under](const MessageBoxView& box) {
    PostMessageW(under, WM_CLOSE, 0, 0);  // while the box waits
    ClickButton(box, 1);
  });
  // Posted before the notice: taken by its entrance, the first loop that runs.
  PostMessageW(under, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageW(under, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  PostMessageW(under, WM_SYSCOMMAND, SC_CLOSE, 0);
  ShowNotice("保存成功", under, "温馨提示");
  EXPECT_TRUE(seen.closedWithABoxUp.empty());
  Pump();
  EXPECT_EQ(seen.clicks, 0);
  EXPECT_EQ(seen.closedWithABoxUp, (std::vector<bool>{false, false}));
  DestroyWindow(under);
}

TEST_F(MessageBoxTest, QuitEndsTheBoxAndReachesTheCallersLoop) {
  HWND shown = nullptr;
  SetMessageBoxShownHook([&](HWND window) {
    shown = window;
    PostQuitMessage(7);
  });
  EXPECT_EQ(SkinnedMessageBox(nullptr, "x"), kResultCancel);
  EXPECT_FALSE(IsWindow(shown));
  EXPECT_TRUE(OpenMessageBoxes().empty());
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(m.wParam, 7u);
}

TEST_F(MessageBoxTest, ButtonTextsReplaceTheSetsTexts) {
  WhenShown([](const MessageBoxView& box) { ClickButton(box, 2); });
  MessageBoxOptions o;
  o.buttonSet = 1;
  o.buttonTexts = std::vector<std::string>{"算了", "好的"};
  o.focusButton = 2;
  EXPECT_EQ(SkinnedMessageBox(nullptr, "x", o), kResultOk);
  EXPECT_EQ(seen.buttons[1].text, "好的");
  EXPECT_EQ(focusedText, "好的");
}

}  // namespace
}  // namespace xl::ui::testing
