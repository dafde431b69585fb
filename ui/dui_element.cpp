#include "ui/dui_element.h"

#include <algorithm>
#include <cmath>

#include "ui/dui_host.h"

namespace xl::ui {

DuiElement::DuiElement(DuiHost& host, const ElementOptions& options)
    : host_(host),
      parent_(options.parent),
      rect_(options.rect),
      previousRect_(options.rect),
      role_(options.role),
      visible_(options.visible),
      focusable_(options.focusable),
      cursor_(options.cursor),
      fadeInterval_(options.fadeInterval) {}

DuiElement::~DuiElement() = default;

HWND DuiElement::Window() const { return host_.Window(); }

bool DuiElement::HasFocus() const { return host_.Focused() == this; }

void DuiElement::SetEnabled(bool enabled) {
  if (enabled == !disabled_) return;
  if (!enabled) host_.ElementDisabled(this);
  disabled_ = !enabled;
  StopFade();
  // The element may answer for itself; otherwise a disabled element shows at half alpha.
  if (Dispatch(kEnabledChanged, 0, enabled ? 1 : 0) == kUnhandled) fullAlpha_ *= enabled ? 2.0f : 0.5f;
  alpha_ = FullAlpha();
  RequestRepaint();
}

void DuiElement::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Dispatch(visible ? kShown : kHidden);
  RequestRedraw();
}

void DuiElement::Move(RectF rect) {
  previousRect_ = rect_;
  bool resized = rect.Width != rect_.Width || rect.Height != rect_.Height;
  rect_ = rect;
  if (resized) bitmap_.reset(), previous_.reset();
  Dispatch(kMoved);
  host_.InvalidateRect(previousRect_);
  host_.InvalidateRect(rect_);
}

void DuiElement::SetText(std::string_view text) {
  text_ = text;
  RequestRepaint();
}

void DuiElement::SetAlpha(int alpha) {
  alpha_ = std::clamp(alpha, 0, 255);
  RequestRedraw();
}

bool DuiElement::SetParentElement(DuiElement* parent) { return host_.Reparent(this, parent); }

void DuiElement::RequestRedraw() {
  Dispatch(kRedrawRequest);
  host_.InvalidateRect(rect_);
}

void DuiElement::RequestRepaint() {
  HWND window = host_.Window();
  if (!window || !PostMessageW(window, kHostRepaintElement, id_, 0)) Dispatch(kElementPaint);
}

void DuiElement::Repaint() {
  alpha_ = FullAlpha();
  bitmap_.reset();
  RequestRedraw();
}

void DuiElement::RenderBitmap() {
  int w = static_cast<int>(std::ceil(rect_.Width)), h = static_cast<int>(std::ceil(rect_.Height));
  bitmap_.reset();
  if (w <= 0 || h <= 0) return;
  GpBitmap* bmp = nullptr;
  if (gp::GdipCreateBitmapFromScan0(w, h, 0, PixelFormat32bppPARGB, nullptr, &bmp) != Gdiplus::Ok) return;
  bitmap_.reset(bmp);
  GpGraphics* raw = nullptr;
  if (gp::GdipGetImageGraphicsContext(bmp, &raw) != Gdiplus::Ok) return;
  ui::Graphics g(raw);
  PrepareGraphics(raw);
  gp::GdipGraphicsClear(raw, 0);
  Render(raw, rect_.Width, rect_.Height);
}

void DuiElement::Paint(GpGraphics* g) {
  if (!bitmap_) RenderBitmap();
  RectF dest(std::round(rect_.X), std::round(rect_.Y), std::ceil(rect_.Width), std::ceil(rect_.Height));
  RectF source(0, 0, dest.Width, dest.Height);
  int full = FullAlpha();
  if (previous_ && alpha_ < full) DrawImageAlpha(g, previous_.get(), dest, source, full - alpha_);
  DrawImageAlpha(g, bitmap_.get(), dest, source, std::min(alpha_, full));
}

void DuiElement::ChangeVisual(int startAlpha) {
  previous_ = std::move(bitmap_);
  RenderBitmap();
  int full = FullAlpha();
  // Without animations or a fade timer the new state shows at once: an element must never
  // stay stuck half-faded.
  alpha_ = host_.Animations() && fadeInterval_ ? std::min(startAlpha, full) : full;
  fading_ = alpha_ < full;
  if (!fading_) StopFade();
  RequestRedraw();
  if (fading_ && host_.Window()) SetTimer(host_.Window(), id_, fadeInterval_, nullptr);
}

void DuiElement::FadeTick() {
  alpha_ += kFadeStep;
  if (alpha_ >= FullAlpha()) StopFade();
  RequestRedraw();
}

void DuiElement::StopFade() {
  alpha_ = FullAlpha();
  fading_ = false;
  previous_.reset();
  if (host_.Window()) KillTimer(host_.Window(), id_);
}

LRESULT DuiElement::OnMessage(UINT message, WPARAM, LPARAM) {
  switch (message) {
    case kFadeTick: FadeTick(); return 0;
    case kElementPaint:
    case kRepaintFull: Repaint(); return 0;
    case kHasFocusQuery: return HasFocus() ? 1 : 0;
    default: return kUnhandled;
  }
}

LRESULT DuiElement::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  if (dead_) return kUnhandled;
  ++host_.dispatchDepth_;
  LRESULT result = OnMessage(message, wParam, lParam);
  for (auto& [code, handler] : bindings_) {
    if (code != message || !handler) continue;
    handler(parent_, this, message, wParam, lParam);
    break;
  }
  --host_.dispatchDepth_;
  host_.ReleaseDeadElements();
  return result;
}

void DuiElement::Bind(UINT message, ElementHandler handler) {
  for (auto& binding : bindings_)
    if (binding.first == message) {
      binding.second = std::move(handler);
      return;
    }
  bindings_.emplace_back(message, std::move(handler));
}

ARGB TextColour(uint32_t bgr, int alpha) {
  if (alpha < 0 || alpha >= 255) alpha = 254;
  return ColourToArgb(bgr, alpha);
}

}  // namespace xl::ui
