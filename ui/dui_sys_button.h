#pragma once
// The caption buttons: close (4), maximise/restore (8), minimise (16) and four kinds
// (32, 64, 128, 256) that only reach the host's click handler. They draw from the shared
// sprite picture.
#include "ui/dui_element.h"

namespace xl::ui {

// Layout of the 729 x 20 sprite: the close button's three states (normal, hover, pressed)
// 39 pixels wide at x 0, 39, 78; then, 84 pixels a kind, three 28-pixel states each of
// maximise (x 117), restore (201), minimise (285) and the kinds 32 (369), 64 (453),
// 128 (537) and 256 (621). The last 24 columns are unused.
struct SysButtonSprite {
  static constexpr int kWidth = 729, kHeight = 20;
  static constexpr int kCloseWidth = 39, kOtherWidth = 28;
  // Left edge of the normal state of a kind (`restored` picks restore over maximise).
  static int Column(unsigned kind, bool restore);
};

class DuiSysButton : public DuiElement {
 public:
  DuiSysButton(DuiHost& host, const ElementOptions& options, unsigned kind);
  unsigned Kind() const { return kind_; }
  int State() const { return state_; }

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Render(GpGraphics* g, float width, float height) override;

 private:
  void Enter(int state, int startAlpha);
  unsigned kind_;
  int state_ = 0;  // 0 normal, 1 hover, 2 pressed
};

}  // namespace xl::ui
