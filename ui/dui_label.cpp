#include "ui/dui_label.h"

#include "ui/dui_button.h"
#include "ui/dui_host.h"
#include "ui/fonts.h"
#include "ui/ui_start.h"

namespace xl::ui {
namespace {

ElementOptions LabelOptions(ElementOptions o) {
  if (o.role == 0) o.role = DuiLabel::kRole;
  o.focusable = false;
  return o;
}

}  // namespace

Gdiplus::SizeF MeasureText(GpGraphics* g, std::string_view text, GpFont* font) {
  if (!font) font = DefaultUiFont();
  Gdiplus::SizeF size(0, 0);
  if (!g || !font || text.empty()) return size;
  std::wstring wide = ToDisplayText(text);
  RectF layout(0, 0, 0, 0);  // zero size: no limit
  RectF bounds(0, 0, 0, 0);
  if (gp::GdipMeasureString(g, wide.c_str(), static_cast<INT>(wide.size()), font, &layout, nullptr, &bounds, nullptr,
                            nullptr) == Gdiplus::Ok)
    size = Gdiplus::SizeF(bounds.Width, bounds.Height);
  return size;
}

DuiLabel::DuiLabel(DuiHost& host, const ElementOptions& options, std::string_view text, ARGB colour, GpFont* font)
    : DuiElement(host, LabelOptions(options)), colour_(colour), font_(font) {
  DuiElement::SetText(text);
}

Gdiplus::SizeF DuiLabel::Measure() const {
  return MeasureText(Host().Graphics(), Text(), font_ ? font_ : Host().TextFont());
}

void DuiLabel::SizeToText() {
  Gdiplus::SizeF size = Measure();
  RectF r = Rect();
  Move(RectF(r.X, r.Y, size.Width + 1, size.Height));
}

LRESULT DuiLabel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kFocusGained:
    case kFocusLost: RequestRepaint(); return 0;
    default: return DuiElement::OnMessage(message, wParam, lParam);
  }
}

void DuiLabel::Render(GpGraphics* g, float width, float height) {
  GpFont* font = font_ ? font_ : Host().TextFont();
  if (!font || Text().empty()) return;
  GpStringFormat* raw = nullptr;
  if (gp::GdipCreateStringFormat(unlimited_ ? Gdiplus::StringFormatFlagsNoWrap : 0, LANG_NEUTRAL, &raw) != Gdiplus::Ok)
    return;
  StringFormat format(raw);
  GpSolidFill* brush = nullptr;
  if (gp::GdipCreateSolidFill(colour_, &brush) != Gdiplus::Ok) return;
  Brush owned(brush);
  std::wstring wide = ToDisplayText(Text());
  RectF rect(0, 0, width, height);
  gp::GdipDrawString(g, wide.c_str(), static_cast<INT>(wide.size()), font, &rect, raw, brush);
}

}  // namespace xl::ui
