#pragma once
// The skinned message box: a modal, borderless box driven by a DuiHost, with an optional
// icon badge, the message and one to three buttons. Every notice of the program goes
// through ShowNotice.
//
// For drivers (tests, the scenario runner): a box is a top-level window of class
// "Ex_DirectUI" whose window text is the title and whose property "Ex_Wnd_Flags" is 3.
// Button n (1 = rightmost) stands at client (width - 75 n - 10, height - 36), 70 x 24;
// a real click at its centre presses it. OpenMessageBoxes tells what is up.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xl::ui {

// Results, also what each button stores when clicked.
enum MessageBoxResult {
  kResultOk = 0,
  kResultCancel = 1,
  kResultAbort = 2,
  kResultRetry = 3,
  kResultIgnore = 4,
  kResultYes = 5,
  kResultNo = 6
};

// Icon and sound values of `style`, as the system's message boxes number them.
enum MessageBoxStyle {
  kStyleHand = 16,
  kStyleQuestion = 32,
  kStyleExclamation = 48,
  kStyleAsterisk = 64,
  kStyleUser = 128
};

// Every argument after the owner and the text; each may be left out (the comment names
// what that means).
struct MessageBoxOptions {
  std::optional<int> buttonSet;      // 0: "确认"; 0-5, see the button-set table in message_box.cpp
  std::optional<std::string> title;  // "提示："
  std::optional<int> style;          // 0: no icon, no sound
  std::function<void(HWND, int width, int height)> onBuilt;  // empty: none; runs before the box shows
  std::optional<bool> beep;                                  // true: the system sound of `style` (when not 0)
  std::optional<bool> centreOnOwner;                         // false: centred on the work area
  std::optional<unsigned> styleFlags;                        // 6: caption text and close button
  std::optional<std::vector<std::string>> buttonTexts;       // the set's texts
  std::optional<int> focusButton;                            // 1 (1-based, rightmost first)
  std::optional<bool> customSkin;                            // false; true: the six skin values below
  std::optional<std::string> skinImage;                      // none
  std::optional<int> layerAlpha;                             // -1 (opaque)
  std::optional<int> storedOption;                           // 0
  std::optional<int> frameStyle;                             // 7
  std::optional<bool> blurBehind;                            // on for a given layer alpha from Windows 6 on
  std::optional<RECT> marginRect;                            // zeros
  std::optional<int> showEffect;                             // 0: shown plainly
  std::optional<int> closeEffect;                            // the host's own
};

// Shows the box and returns the code of the clicked button, or kResultCancel when it was
// closed otherwise (Esc, the close button) or could not be made. The thread's other
// windows keep their timers and painting meanwhile, but their keyboard and mouse input
// is dropped, from the box's entrance to its exit, and a close asked of them is carried out
// once the box is gone (see InputHold). A quit message ends the box and is left for the
// caller's message loop.
int SkinnedMessageBox(HWND owner, std::string_view text, const MessageBoxOptions& options = {});

// The program's notices: the asterisk badge and sound, one "确认" button, a swelling
// entrance and a fading exit. `owner` may be null.
void ShowNotice(std::string_view text, HWND owner, std::string_view title);

// What a driver sees of a box that is up: its window, title, message and buttons (texts
// and rectangles in the box's client coordinates, button 1 first).
struct MessageBoxView {
  HWND window = nullptr;
  std::string title, text;
  struct Button {
    std::string text;
    RECT rect;
  };
  std::vector<Button> buttons;
};
// The boxes up right now, the innermost last.
std::vector<MessageBoxView> OpenMessageBoxes();
// Called with each box once it is shown, before its modal loop starts; empty: none.
void SetMessageBoxShownHook(std::function<void(HWND)> hook);

}  // namespace xl::ui
