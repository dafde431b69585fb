// The window-kind filter: behaviour shared by popup menus (kind 1), windows that close when
// they lose activation (kind 2) and message boxes (kind 3), chosen by "Ex_Wnd_Flags".
#include "ui/dui_host.h"

namespace xl::ui {
namespace {

enum WindowKind { kPopupMenu = 1, kCloseOnDeactivate = 2, kMessageBoxWindow = 3 };

int KindOf(HWND window) { return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(window, kPropFlags))); }

}  // namespace

LRESULT WindowKindFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  int kind = KindOf(window);
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) break;
      if (kind == kPopupMenu && !GetPropW(reinterpret_cast<HWND>(lParam), kPropHost)) {
        if (HWND owner = static_cast<HWND>(GetPropW(window, kPropHost))) PostMessageW(owner, WM_CLOSE, 0, 0);
      } else if (kind == kCloseOnDeactivate) {
        PostMessageW(window, WM_CLOSE, 0, 0);
      }
      break;
    case WM_KEYDOWN:
      if (kind == kPopupMenu) PostMessageW(window, WM_SYSKEYDOWN, wParam, lParam);
      if (wParam == VK_ESCAPE) PostMessageW(window, WM_CLOSE, 0, 0);
      break;
    case WM_DESTROY:
      if (kind == kPopupMenu)
        for (const wchar_t* name : {kPropHost, kPropSub, kPropAct, kPropEvent}) RemovePropW(window, name);
      if (kind == kMessageBoxWindow) RemovePropW(window, kPropMsgBox);
      RemovePropW(window, kPropFlags);
      break;
    default: break;
  }
  return kUnhandled;
}

}  // namespace xl::ui
