#include "ui/dui_menu_item.h"

#include <cmath>

#include "ui/dpi.h"
#include "ui/dui_button.h"
#include "ui/dui_host.h"
#include "ui/popup_menu.h"

namespace xl::ui {
namespace {

constexpr ARGB kHighlightFill = 0xE63086C6;    // red 48, green 134, blue 198, alpha 230
constexpr ARGB kHighlightBorder = 0xF02A74AE;  // a shade deeper, so the bar has an edge
constexpr ARGB kSeparatorColour = 0xFEB7C3CC;  // red 183, green 195, blue 204
constexpr ARGB kArrowColour = 0xD2404850;

void FillRect(GpGraphics* g, ARGB colour, float x, float y, float w, float h) {
  GpSolidFill* brush = nullptr;
  if (gp::GdipCreateSolidFill(colour, &brush) != Gdiplus::Ok) return;
  gp::GdipFillRectangle(g, brush, x, y, w, h);
  gp::GdipDeleteBrush(brush);
}

// The little triangle that tells a sub-menu item from a normal one.
void DrawArrow(GpGraphics* g, float right, float middle, float size, ARGB colour) {
  Gdiplus::PointF points[3] = {{right - size, middle - size}, {right, middle}, {right - size, middle + size}};
  GpSolidFill* brush = nullptr;
  if (gp::GdipCreateSolidFill(colour, &brush) != Gdiplus::Ok) return;
  gp::GdipFillPolygon(g, brush, points, 3, Gdiplus::FillModeAlternate);
  gp::GdipDeleteBrush(brush);
}

}  // namespace

DuiMenuItem::DuiMenuItem(DuiHost& host, const ElementOptions& options, MenuLevel& level, const MenuItem& item)
    : DuiElement(host, options), level_(level), item_(item) {
  if (!item_.icon.empty()) icon_.Load(item_.icon, false);
  DuiElement::SetText(item_.text);
  if (item_.kind != MenuItemKind::Separator) Host().SetAccessKey(this, AccessKeyOf(item_.text));
}

bool DuiMenuItem::Highlighted() const {
  return item_.kind != MenuItemKind::Separator && Enabled() && (hovered_ || level_.FocusItem() == this);
}

LRESULT DuiMenuItem::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (item_.kind == MenuItemKind::Separator) return DuiElement::OnMessage(message, wParam, lParam);
  switch (message) {
    case kMouseEntered: Entered(); return 0;
    case kMouseLeft:
      hovered_ = false;
      RequestRepaint();
      return 0;
    case kFadeTick:  // the hover timer: items never cross-fade
      KillTimer(Window(), Id());
      SubMenuSwitch(false);
      return 0;
    case kClicked: Clicked(); return 0;
    case kAcceptsPress: return 1;
    default: return DuiElement::OnMessage(message, wParam, lParam);
  }
}

void DuiMenuItem::Entered() {
  if (DuiMenuItem* focused = level_.FocusItem(); focused && focused != this) {
    level_.SetFocusItem(nullptr);
    focused->Dispatch(kMouseLeft);
  }
  hovered_ = true;
  RequestRepaint();
  SetTimer(Window(), Id(), kHoverDelay, nullptr);
}

void DuiMenuItem::Clicked() {
  if (!Enabled()) return;
  if (item_.kind == MenuItemKind::SubMenu)
    SubMenuSwitch(true);
  else
    level_.Choose(item_);
}

void DuiMenuItem::SubMenuSwitch(bool now) {
  if (level_.SubWindow()) {
    POINT cursor{};
    GetCursorPos(&cursor);
    DuiMenuItem* active = level_.ActiveItem();
    if (level_.IsBelow(WindowFromPoint(cursor))) {
      // On its way into the open sub-menu: keep it, and its item highlighted.
      if (active) {
        level_.SetFocusItem(active);
        active->Dispatch(kMouseLeft);
      }
      return;
    }
    if (Host().Hot() == active && !now) return;
    if (now && active == this) return;
    SetForegroundWindow(level_.Window());
    level_.CloseSubMenu();
    level_.SetActiveItem(nullptr);
    if (!now) {
      // Try again shortly: by then the old sub-menu is gone and the cursor has settled.
      SetTimer(Window(), Id(), kSwitchRetry, nullptr);
      return;
    }
  }
  if ((now || Host().Hot() == this) && item_.kind == MenuItemKind::SubMenu && item_.subMenu && Enabled()) {
    level_.SetFocusItem(this);
    RequestRepaint();
    level_.SetActiveItem(this);
    PostMessageW(Window(), kMenuOpenSubMenu, Id(), 0);
  }
}

void DuiMenuItem::Render(GpGraphics* g, float width, float height) {
  auto px = [this](float design) { return Host().Pixels(design); };
  if (item_.kind == MenuItemKind::Separator) {
    FillRect(g, kSeparatorColour, 0, std::floor(px(1)), width, static_cast<float>(LineWidth(Host().Dpi())));
    return;
  }
  if (Highlighted()) {
    FillRect(g, kHighlightFill, 0, 0, width, height);
    Gdiplus::GpPen* pen = nullptr;
    if (gp::GdipCreatePen1(kHighlightBorder, 1.0f, Gdiplus::UnitPixel, &pen) == Gdiplus::Ok) {
      gp::GdipDrawRectangle(g, pen, 0.5f, 0.5f, width - 1, height - 1);
      gp::GdipDeletePen(pen);
    }
  }
  if (icon_)
    DrawImageAlpha(g, icon_.get(), RectF(px(2), px(1), px(20), px(20)),
                   RectF(0, 0, static_cast<float>(icon_.Width()), static_cast<float>(icon_.Height())), 255);
  // Text one line high, vertically centred on the 22-pixel item.
  DrawText(g, item_.text, RectF(px(30), (height - px(14)) / 2, width - px(30), px(16)), item_.TextArgb(),
           Host().TextFont(), false, true);
  if (item_.kind == MenuItemKind::SubMenu) DrawArrow(g, width - px(8), height / 2, px(4), kArrowColour);
}

}  // namespace xl::ui
