#pragma once
// While a box or menu plays its opening or closing effect, or a box waits for an answer, its
// own message loop runs the thread's messages. The program's other windows must not act
// meanwhile: a click on "保存" during a notice's entrance would run in the middle of the
// handler that showed the notice. An InputHold marks such a time.
#include <windows.h>

#include <functional>

namespace xl::ui {

class InputHold {
 public:
  // Input still reaches `owner` and its children, and the other levels of a menu `owner`
  // belongs to.
  explicit InputHold(HWND owner);
  // The last hold to end posts the closes it held again, in the order they came.
  ~InputHold();
  InputHold(const InputHold&) = delete;
  InputHold& operator=(const InputHold&) = delete;

  // For a message a loop took off the queue while the hold lasts: true when the loop must
  // not dispatch it. Keyboard and mouse input for another window is dropped; a close asked of
  // another window (WM_CLOSE, the system menu's or the taskbar's SC_CLOSE) is held until the
  // last hold ends, so it is carried out once the box is gone.
  bool Keeps(const MSG& message) const;

 private:
  HWND owner_;
};

// Runs when a hold begins while none is running, before anything is dropped; for drivers
// that post input of their own and must take it back first. Empty: none.
void SetInputHoldStartHook(std::function<void()> hook);

}  // namespace xl::ui
