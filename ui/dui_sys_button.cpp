#include "ui/dui_sys_button.h"

#include <algorithm>

#include "ui/dui_host.h"
#include "ui/ui_start.h"

namespace xl::ui {

int SysButtonSprite::Column(unsigned kind, bool restore) {
  switch (kind) {
    case 4: return 0;
    case 8: return restore ? 201 : 117;
    case 16: return 285;
    case 32: return 369;
    case 64: return 453;
    case 128: return 537;
    case 256: return 621;
    default: return 0;
  }
}

DuiSysButton::DuiSysButton(DuiHost& host, const ElementOptions& options, unsigned kind)
    : DuiElement(host, options), kind_(kind) {}

void DuiSysButton::Enter(int state, int startAlpha) {
  state_ = state;
  ChangeVisual(startAlpha);
}

LRESULT DuiSysButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = Window();
  switch (message) {
    case kMouseEntered: Enter(1, 102); return 0;
    case kMouseLeft: Enter(0, 102); return 0;
    case WM_LBUTTONDOWN: Enter(2, 153); return 0;
    case WM_LBUTTONUP: Enter(1, 153); return 0;
    case kAcceptsPress: return 1;
    case kClicked:
      if (kind_ == kCloseButton) PostMessageW(window, WM_CLOSE, 0, 0);
      if (kind_ == kMaximizeButton) PostMessageW(window, WM_SYSCOMMAND, IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE, 0);
      if (kind_ == kMinimizeButton && !IsIconic(window)) PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
      return 0;
    default: return DuiElement::OnMessage(message, wParam, lParam);
  }
}

void DuiSysButton::Render(GpGraphics* g, float width, float height) {
  GpImage* sprite = SharedSpritePicture();
  if (!sprite) return;
  bool restore = kind_ == kMaximizeButton && Window() && IsZoomed(Window());
  float w = kind_ == kCloseButton ? SysButtonSprite::kCloseWidth : SysButtonSprite::kOtherWidth;
  float x = static_cast<float>(SysButtonSprite::Column(kind_, restore)) + w * static_cast<float>(state_);
  // The sprite's pictures are design pixels: as many rows as the button is tall at 96 DPI.
  const float rows = std::min(height / Host().Pixels(1.0f), static_cast<float>(SysButtonSprite::kHeight));
  DrawSheetPart(g, sprite, RectF(0, 0, width, height), RectF(x, 0, w, rows), 255);
}

}  // namespace xl::ui
