#pragma once
// Creation of windows that a DuiHost will take over (message boxes, popup menus).
#include <windows.h>

#include <optional>
#include <string_view>

namespace xl::ui {

// Everything but the parent may be left out.
struct HostWindowOptions {
  std::optional<std::string_view> title;    // GBK; empty
  std::optional<int> left, top;             // centred on the work area
  std::optional<int> width, height;         // 380 x 250 when the width is left out
  std::optional<const wchar_t*> className;  // "Ex_DirectUI"
  std::optional<DWORD> style;               // popup, system menu, min/max boxes, clip children
  std::optional<DWORD> exStyle;             // none
  bool show = false;
};

// Creates the window (null on failure) and gives it the parent's small and big icons.
HWND CreateHostWindow(HWND parent, const HostWindowOptions& options = {});

}  // namespace xl::ui
