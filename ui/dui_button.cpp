#include "ui/dui_button.h"

#include <cwctype>

#include "ui/dui_host.h"
#include "ui/fonts.h"
#include "ui/ui_start.h"

namespace xl::ui {
namespace {

ElementOptions ButtonOptions(ElementOptions o) {
  if (o.role == 0) o.role = DuiButton::kRole;
  o.focusable = true;
  if (o.fadeInterval == 0) o.fadeInterval = 20;
  return o;
}

// Fill and border colours of each state: translucent white, a soft blue when hovered,
// deeper when pressed, a blue outline when focused.
struct StateLook {
  ARGB fillTop, fillBottom, border;
};
constexpr StateLook kLooks[] = {
    {0xF0FFFFFF, 0xE0EEF2F6, 0x90708090},
    {0xF8F4FAFF, 0xF0D8ECFF, 0xC04A90D9},
    {0xF0C8E0F8, 0xF0A8CCF0, 0xE02E6DB4},
    {0xF0FFFFFF, 0xE0EEF2F6, 0xE03A84D6},
};

void AddRoundRect(Gdiplus::GpPath* path, float x, float y, float w, float h, float r) {
  float d = r * 2;
  gp::GdipAddPathArc(path, x, y, d, d, 180, 90);
  gp::GdipAddPathArc(path, x + w - d, y, d, d, 270, 90);
  gp::GdipAddPathArc(path, x + w - d, y + h - d, d, d, 0, 90);
  gp::GdipAddPathArc(path, x, y + h - d, d, d, 90, 90);
  gp::GdipClosePathFigure(path);
}

}  // namespace

wchar_t AccessKeyOf(std::string_view text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0x80) {
      ++i;  // never look inside a double-byte character
      continue;
    }
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<wchar_t>(std::towupper(static_cast<unsigned char>(text[i + 1])));
  }
  return 0;
}

void DrawText(GpGraphics* g, std::string_view text, RectF rect, ARGB colour, GpFont* font, bool centred, bool hotkeys) {
  if (!font) font = DefaultUiFont();
  if (!g || !font || text.empty()) return;
  GpStringFormat* rawFormat = nullptr;
  if (gp::GdipCreateStringFormat(0, LANG_NEUTRAL, &rawFormat) != Gdiplus::Ok) return;
  StringFormat format(rawFormat);
  if (centred) {
    gp::GdipSetStringFormatAlign(rawFormat, Gdiplus::StringAlignmentCenter);
    gp::GdipSetStringFormatLineAlign(rawFormat, Gdiplus::StringAlignmentCenter);
  }
  gp::GdipSetStringFormatHotkeyPrefix(rawFormat, hotkeys ? Gdiplus::HotkeyPrefixShow : Gdiplus::HotkeyPrefixNone);
  GpSolidFill* rawBrush = nullptr;
  if (gp::GdipCreateSolidFill(colour, &rawBrush) != Gdiplus::Ok) return;
  Brush brush(rawBrush);
  std::wstring wide = ToDisplayText(text);
  gp::GdipDrawString(g, wide.c_str(), static_cast<INT>(wide.size()), font, &rect, rawFormat, rawBrush);
}

DuiButton::DuiButton(DuiHost& host, const ElementOptions& options, std::string_view text)
    : DuiElement(host, ButtonOptions(options)) {
  DuiButton::SetText(text);
}

void DuiButton::SetText(std::string_view text) {
  DuiElement::SetText(text);
  Host().SetAccessKey(this, AccessKeyOf(text));
}

void DuiButton::Enter(int state, int startAlpha) {
  state_ = state;
  ChangeVisual(startAlpha);
}

LRESULT DuiButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kMouseEntered: Enter(kHover, 51); return 0;
    case kMouseLeft: Enter(kNormal, 51); return 0;
    case WM_LBUTTONDOWN: Enter(kPressedState, 153); return 0;
    case WM_LBUTTONUP: Enter(kHover, 153); return 0;
    case kFocusGained: Enter(kFocusedState, 204); return 0;
    case kFocusLost: Enter(kNormal, 102); return 0;
    case kAcceptsPress: return 1;
    default: return DuiElement::OnMessage(message, wParam, lParam);
  }
}

void DuiButton::Render(GpGraphics* g, float width, float height) {
  const StateLook& look = kLooks[state_ & 3];
  Gdiplus::GpPath* rawPath = nullptr;
  if (gp::GdipCreatePath(Gdiplus::FillModeAlternate, &rawPath) == Gdiplus::Ok) {
    AddRoundRect(rawPath, 0.5f, 0.5f, width - 1.5f, height - 1.5f, Host().Pixels(3.0f));
    Gdiplus::GpLineGradient* fill = nullptr;
    Gdiplus::PointF top(0, 0), bottom(0, height);
    if (gp::GdipCreateLineBrush(&top, &bottom, look.fillTop, look.fillBottom, Gdiplus::WrapModeTileFlipX, &fill) ==
        Gdiplus::Ok) {
      gp::GdipFillPath(g, fill, rawPath);
      gp::GdipDeleteBrush(fill);
    }
    Gdiplus::GpPen* pen = nullptr;
    if (gp::GdipCreatePen1(look.border, 1.0f, Gdiplus::UnitPixel, &pen) == Gdiplus::Ok) {
      gp::GdipDrawPath(g, pen, rawPath);
      gp::GdipDeletePen(pen);
    }
    gp::GdipDeletePath(rawPath);
  }
  DrawText(g, Text(), RectF(0, 0, width, height), textColour_, Host().TextFont(), true, true);
}

}  // namespace xl::ui
