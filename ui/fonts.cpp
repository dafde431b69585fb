#include "ui/fonts.h"

#include "platform/codepage.h"
#include "ui/ui_start.h"

namespace xl::ui {
namespace {

FontFamily FamilyFromName(std::string_view name) {
  GpFontFamily* family = nullptr;
  if (name.empty()) return FontFamily();
  if (gp::GdipCreateFontFamilyFromName(ToWide(name).c_str(), nullptr, &family) != Gdiplus::Ok) return FontFamily();
  return FontFamily(family);
}

}  // namespace

std::wstring ToWide(std::string_view text) { return GbkToWideLossy(text); }

std::wstring ToDisplayText(std::string_view text) {
  std::wstring wide = ToWide(text);
  std::erase(wide, L'\r');
  return wide;
}

std::string FromWide(std::wstring_view text) {
  if (auto exact = WideToGbk(text)) return *exact;
  std::string out;
  for (wchar_t c : text) out += WideToGbk(std::wstring_view(&c, 1)).value_or("?");
  return out;
}

std::string SystemUiFontName(SystemFontKind kind) {
  const std::string fallback = "宋体";
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return fallback;
  const LOGFONTW& font = kind == SystemFontKind::Menu      ? metrics.lfMenuFont
                         : kind == SystemFontKind::Message ? metrics.lfMessageFont
                                                           : metrics.lfCaptionFont;
  std::string name = FromWide(font.lfFaceName);
  // Tahoma, the caption font of English systems, has no Chinese glyphs.
  if (name.empty() || name == "Tahoma") return fallback;
  // Only a name GDI+ itself knows is worth handing out.
  return FamilyFromName(name) ? name : fallback;
}

Font CreateFontByName(std::string_view name, float size, int style) {
  FontFamily family = FamilyFromName(name);
  if (!family) family = FamilyFromName(FontFamilyName(DefaultUiFont()));
  if (!family) return Font();
  GpFont* font = nullptr;
  if (gp::GdipCreateFont(family.get(), size, style, Gdiplus::UnitPixel, &font) != Gdiplus::Ok) return Font();
  return Font(font);
}

std::string FontFamilyName(GpFont* font) {
  if (!font) return {};
  GpFontFamily* family = nullptr;
  if (gp::GdipGetFamily(font, &family) != Gdiplus::Ok || !family) return {};
  FontFamily owned(family);
  WCHAR name[LF_FACESIZE] = {};
  if (gp::GdipGetFamilyName(family, name, LANG_NEUTRAL) != Gdiplus::Ok) return {};
  return FromWide(name);
}

}  // namespace xl::ui
