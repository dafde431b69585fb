#include "ui/host_window.h"

#include "ui/fonts.h"
#include "ui/ui_start.h"

namespace xl::ui {
namespace {

// The parent's icon of one size: the one it was given, else its class's.
HICON ParentIcon(HWND parent, WPARAM which) {
  auto icon = reinterpret_cast<HICON>(SendMessageW(parent, WM_GETICON, which, 0));
  if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(parent, which == ICON_SMALL ? GCLP_HICONSM : GCLP_HICON));
  return icon;
}

}  // namespace

HWND CreateHostWindow(HWND parent, const HostWindowOptions& o) {
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int width = o.width ? *o.width : 380;
  int height = o.width ? o.height.value_or(250) : 250;
  int left = o.left.value_or(work.left + (work.right - work.left - width) / 2);
  int top = o.top.value_or(work.top + (work.bottom - work.top - height) / 2);
  DWORD style = o.style.value_or(WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN);
  HWND window = CreateWindowExW(o.exStyle.value_or(0), o.className.value_or(kHostWindowClass),
                                ToWide(o.title.value_or("")).c_str(), style, left, top, width, height, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (!window) return nullptr;
  if (parent && IsWindow(parent)) {
    for (WPARAM which : {ICON_SMALL, ICON_BIG})
      if (HICON icon = ParentIcon(parent, which))
        SendMessageW(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
  }
  if (o.show) {
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
  }
  return window;
}

}  // namespace xl::ui
