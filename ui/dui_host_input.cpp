// DuiHost: mouse, keyboard, focus, tooltips and edge sizing.
#include "ui/dui_host.h"

#include <commctrl.h>

#include <cwctype>

#include "ui/dpi.h"
#include "ui/dui_label.h"
#include "ui/fonts.h"

namespace xl::ui {
namespace {

// Sizing zones as WM_SYSCOMMAND SC_SIZE sub-codes.
enum Zone {
  kNoZone = 0,
  kLeft = 1,
  kRight = 2,
  kTop = 3,
  kTopLeft = 4,
  kTopRight = 5,
  kBottom = 6,
  kBottomLeft = 7,
  kBottomRight = 8
};

// The zones are 7 to 10 design pixels deep, at the window's DPI.
Zone ZoneAt(int x, int y, int w, int h, UINT dpi) {
  const int inner = Scaled(7, dpi), outer = Scaled(10, dpi);
  bool top = y <= inner, bottom = h - y < outer;
  int leftEdge = (top || bottom) ? Scaled(9, dpi) : inner;
  bool left = x <= leftEdge, right = w - x < outer;
  if (top) return left ? kTopLeft : right ? kTopRight : kTop;
  if (bottom) return left ? kBottomLeft : right ? kBottomRight : kBottom;
  if (left) return kLeft;
  if (right) return kRight;
  return kNoZone;
}

LPCWSTR ZoneCursor(Zone z) {
  switch (z) {
    case kLeft:
    case kRight: return IDC_SIZEWE;
    case kTop:
    case kBottom: return IDC_SIZENS;
    case kTopLeft:
    case kBottomRight: return IDC_SIZENWSE;
    default: return IDC_SIZENESW;
  }
}

}  // namespace

void DuiHost::Raise(const ElementEventHandler& handler, DuiElement* element, WPARAM wParam, LPARAM lParam) {
  if (handler && element) handler(window_, element, wParam, lParam, element->Role());
}

void DuiHost::Click(DuiElement* element, WPARAM wParam, LPARAM lParam) {
  ++dispatchDepth_;  // the click handler may destroy the element: keep it until we are done
  element->Dispatch(kClicked, wParam, lParam);
  Raise(onClick_, element, wParam, lParam);
  --dispatchDepth_;
  ReleaseDeadElements();
}

bool DuiHost::SetFocus(DuiElement* element, bool byMouse) {
  if (!element || element->dead_ || !element->visible_ || element->disabled_ || !element->focusable_ ||
      element->role_ == 1)
    return false;
  if (element == focused_) return true;
  (void)byMouse;
  ++dispatchDepth_;
  if (DuiElement* old = focused_) {
    focused_ = nullptr;
    old->Dispatch(kFocusLost);
    Raise(onFocusLost_, old, 0, 0);
  }
  focused_ = element;
  element->Dispatch(kFocusGained);
  Raise(onFocusGained_, element, 0, 0);
  --dispatchDepth_;
  ReleaseDeadElements();
  return true;
}

void DuiHost::ElementDisabled(DuiElement* element) {
  if (focused_ == element) {
    focused_ = nullptr;
    element->Dispatch(kFocusLost);
  }
  element->Dispatch(kMouseLeft);
  if (hot_ == element) hot_ = nullptr;
}

void DuiHost::FocusNext() {
  std::vector<DuiElement*> all = Elements();
  if (all.empty()) return;
  size_t start = 0;
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i] == focused_) start = i + 1;
  for (size_t n = 0; n < all.size(); ++n) {
    DuiElement* e = all[(start + n) % all.size()];
    if (e->visible_ && e->focusable_ && e->role_ != 1 && !e->disabled_) {
      SetFocus(e, false);
      return;
    }
  }
}

void DuiHost::OnKeyDown(WPARAM key, LPARAM lParam) {
  if (focused_ && focused_->Dispatch(WM_KEYDOWN, key, lParam) != kUnhandled) return;
  if (key == VK_TAB) {
    FocusNext();
  } else if ((key == VK_RETURN || key == VK_SPACE) && focused_ && focused_->visible_ && !focused_->disabled_) {
    Click(focused_, 0, 0);
  }
}

void DuiHost::OnSysKeyDown(WPARAM key) {
  wchar_t pressed = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(key)));
  for (auto& [accessKey, element] : accessKeys_) {
    if (static_cast<wchar_t>(std::towupper(accessKey)) != pressed || !element->visible_ || element->disabled_) continue;
    Click(element, 0, 0);
    return;
  }
}

void DuiHost::OnMouseMoveTracking() {
  if (tracking_) return;
  TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window_, 0};
  tracking_ = TrackMouseEvent(&track) != FALSE;
}

void DuiHost::OnMouseLeave() {
  tracking_ = false;
  // A press keeps the capture until its release: letting go of it here would lose the
  // release when it happens outside the window, and the element would stay pressed. The
  // release itself tells the pressed element that the mouse left.
  if (pressing_) return;
  ReleaseCapture();
  if (DuiElement* old = hot_) {
    hot_ = nullptr;
    old->Dispatch(kMouseLeft);
    Raise(onMouseLeave_, old, 0, 0);
  }
}

LRESULT DuiHost::OnDoubleClick(LPARAM lParam) {
  SendMessageW(window_, WM_LBUTTONDOWN, kDoubleClickMark, lParam);
  return 0;
}

bool DuiHost::EdgeSizing(UINT message, int x, int y) {
  if (!resizable_ || pressing_ || IsZoomed(window_) || (message != WM_MOUSEMOVE && message != WM_LBUTTONDOWN))
    return false;
  Zone zone = ZoneAt(x, y, size_.cx, size_.cy, dpi_);
  if (zone == kNoZone) return false;
  ::SetCursor(LoadCursorW(nullptr, ZoneCursor(zone)));
  if (DuiElement* old = hot_) {
    hot_ = nullptr;
    old->Dispatch(kMouseLeft);
  }
  if (message == WM_LBUTTONDOWN) SendMessageW(window_, WM_SYSCOMMAND, SC_SIZE | zone, 0);
  return true;
}

void DuiHost::ToggleMaximize() {
  PostMessageW(window_, WM_SYSCOMMAND, IsZoomed(window_) ? SC_RESTORE : SC_MAXIMIZE, 0);
}

void DuiHost::ReleasePress(WPARAM wParam, LPARAM lParam, float x, float y) {
  DuiElement* pressed = pressed_;
  pressed_ = nullptr;
  pressing_ = false;
  Raise(onLeftUp_, pressed, wParam, lParam);
  if (GetCapture() == window_) ReleaseCapture();
  DuiElement* hit = HitTest(x, y);
  if (pressed && !pressed->dead_ && hit == pressed) {
    Click(pressed, wParam, lParam);
    return;
  }
  if (pressed && !pressed->dead_ && pressed->visible_) {
    pressed->Dispatch(kMouseLeft, wParam, lParam);
    Raise(onMouseLeave_, pressed, wParam, lParam);
  }
  hot_ = hit;
  if (hit) {
    hit->Dispatch(kMouseEntered, wParam, lParam);
    Raise(onMouseEnter_, hit, wParam, lParam);
  }
  UpdateTooltip(hot_);
}

void DuiHost::PressAt(DuiElement* hit, WPARAM wParam, LPARAM lParam, float y) {
  if (::GetFocus() != window_) ::SetFocus(window_);
  bool doubleClick = wParam == kDoubleClickMark;
  if (hit && (hit->Dispatch(kAcceptsPress) != kUnhandled || hit->focusable_)) {
    Raise(onLeftDown_, hit, wParam, lParam);
    if (hit->dead_) return;
    pressing_ = true;
    pressed_ = hit;
    if (hit->focusable_) SetFocus(hit, true);
    if (doubleClick) Raise(onDoubleClick_, hit, wParam, lParam);
    SetCapture(window_);
    return;
  }
  bool maximizable = styleFlags_ & kMaximizeButton;
  if (doubleClick && maximizable &&
      ((hit && hit == caption_ && (styleFlags_ & kCaptionText)) || (!hit && y < Pixels(30)))) {
    ToggleMaximize();
    SendMessageW(window_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    return;
  }
  // A press on the background moves the window, as a press on a title bar would.
  if (captionDrag_) SendMessageW(window_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void DuiHost::OnMouse(UINT message, WPARAM wParam, LPARAM lParam) {
  if (busy_ || !window_) return;
  int ix = static_cast<short>(LOWORD(lParam)), iy = static_cast<short>(HIWORD(lParam));
  if (EdgeSizing(message, ix, iy)) return;
  float x = static_cast<float>(ix), y = static_cast<float>(iy);
  ++dispatchDepth_;
  if (pressing_) {
    if (pressed_) pressed_->Dispatch(message, wParam, lParam);
    if (message == WM_LBUTTONUP) ReleasePress(wParam, lParam, x, y);
  } else {
    DuiElement* hit = HitTest(x, y);
    if (hot_ != hit && hot_) {
      DuiElement* old = hot_;
      hot_ = nullptr;
      old->Dispatch(kMouseLeft, wParam, lParam);
      Raise(onMouseLeave_, old, wParam, lParam);
    }
    switch (message) {
      case WM_LBUTTONDOWN: PressAt(hit, wParam, lParam, y); break;
      case WM_RBUTTONDOWN: Raise(onRightDown_, hit, wParam, lParam); break;
      case WM_RBUTTONUP: Raise(onRightUp_, hit, wParam, lParam); break;
      default: break;
    }
    if (hit && !hit->dead_) {
      if (message == WM_MOUSEMOVE && hot_ != hit) {
        hot_ = hit;
        hit->Dispatch(kMouseEntered, wParam, lParam);
        Raise(onMouseEnter_, hit, wParam, lParam);
        UpdateTooltip(hit);
      }
      if (!hit->dead_) hit->Dispatch(message, wParam, lParam);
      if (!hit->dead_) hot_ = hit;
    } else if (message == WM_MOUSEMOVE) {
      UpdateTooltip(nullptr);
    }
  }
  --dispatchDepth_;
  ReleaseDeadElements();
}

void DuiHost::UpdateTooltip(DuiElement* element, std::optional<std::string_view> text) {
  if (!tooltip_ || !window_) return;
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = 1;
  if (toolAdded_) SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  toolAdded_ = false;
  if (!element) return;
  std::string_view tip = text ? *text : std::string_view(element->Tooltip());
  if (tip.empty()) return;
  std::wstring wide = ToWide(tip);
  RectF r = element->Rect();
  tool.rect = RECT{static_cast<LONG>(r.X), static_cast<LONG>(r.Y), static_cast<LONG>(r.X + r.Width),
                   static_cast<LONG>(r.Y + r.Height)};
  tool.lpszText = wide.data();
  toolAdded_ = SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
  SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace xl::ui
