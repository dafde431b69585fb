#pragma once
// Fonts by name and the UTF-16 edge of the toolkit's texts. Texts are GBK (code page 936)
// whatever the system's ANSI code page is.
#include <string>
#include <string_view>

#include "ui/gdi.h"

namespace xl::ui {

enum class SystemFontKind { Menu = 1, Caption = 2, Message = 3 };

// Face name of one of the system's non-client fonts, "宋体" when the system will not say,
// when it is "Tahoma" (which has no Chinese glyphs) or when GDI+ does not know it.
std::string SystemUiFontName(SystemFontKind kind = SystemFontKind::Caption);

// A font of `size` pixels and GDI+ style bits (0 regular). A family GDI+ does not know
// falls back to the default font's family; null when there is none either. Owned by the caller.
Font CreateFontByName(std::string_view name, float size, int style = 0);

// The family name of a font, GBK; empty for null.
std::string FontFamilyName(GpFont* font);

// GBK text to UTF-16 (invalid bytes become U+FFFD, so a text always reaches the screen),
// and back (characters GBK cannot hold become '?').
std::wstring ToWide(std::string_view text);
// ToWide for the screen: CR LF line breaks become LF (GDI+ under Wine draws a CR as a box).
std::wstring ToDisplayText(std::string_view text);
std::string FromWide(std::wstring_view text);

}  // namespace xl::ui
