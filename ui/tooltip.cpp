#include "ui/tooltip.h"

#include <commctrl.h>

#include <string>

#include "platform/codepage.h"
#include "ui/dpi.h"

namespace xl::ui {
namespace {

constexpr wchar_t kToolProp[] = L"Lumen_ToolTips";
constexpr int kMaxTipWidth = 1024;  // longer texts wrap

HWND& Shared() {
  static HWND tooltip = nullptr;
  return tooltip;
}

HWND EnsureShared() {
  HWND& tooltip = Shared();
  if (tooltip) return tooltip;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  if (tooltip) SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
  return tooltip;
}

// The tool record of `window` (id 0). The version-2 size is understood by every common
// controls version, with or without a manifest.
TOOLINFOW ToolOf(HWND window) {
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = window;
  tool.uId = 0;
  return tool;
}

}  // namespace

void SetTooltip(HWND window, std::string_view text, bool followCursor) {
  HWND tooltip = EnsureShared();
  if (!tooltip || !window) return;
  std::wstring wide = GbkToWideLossy(text);  // the tooltip keeps its own copy
  TOOLINFOW tool = ToolOf(window);
  tool.lpszText = wide.data();
  if (GetPropW(window, kToolProp)) {
    SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    return;
  }
  SendMessageW(tooltip, WM_SETFONT, reinterpret_cast<WPARAM>(TooltipFont(DpiOf(window))), FALSE);
  tool.uFlags = TTF_SUBCLASS | (followCursor ? 0 : TTF_CENTERTIP);
  GetClientRect(window, &tool.rect);
  if (SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)))
    SetPropW(window, kToolProp, reinterpret_cast<HANDLE>(1));
}

void RemoveTooltip(HWND window) {
  if (!window || !RemovePropW(window, kToolProp)) return;
  TOOLINFOW tool = ToolOf(window);
  if (HWND tooltip = Shared()) SendMessageW(tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

HWND SharedTooltipWindow() { return Shared(); }

}  // namespace xl::ui
