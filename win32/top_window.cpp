// The procedure of the program's top-level windows: colours of the standard controls, their
// notifications, right-clicks, dropped files, shortcuts and the window's own close, each
// handed on to Win32Ui as a control event.
#include <windows.h>

#include <shellapi.h>
#include <windowsx.h>

#include <string>

#include "platform/codepage.h"
#include "win32/live_window.h"
#include "win32/painted_controls.h"
#include "win32/shortcut_keys.h"
#include "win32/win32_ui.h"

namespace xl::win32 {
namespace {

// Standard controls take white backgrounds and dark text.
LRESULT OnControlColour(HDC dc) {
  SetTextColor(dc, kControlText);
  SetBkColor(dc, RGB(255, 255, 255));
  return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

// A right-click selects the item under the mouse first, as file lists do; below the last
// item nothing stays selected. The menu key keeps the selection as it is.
void OnListContextMenu(LiveWindow& w, LiveControl& list, LPARAM screenPoint) {
  POINT at{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
  if (at.x == -1 && at.y == -1) {
    RECT item{};
    int selected = static_cast<int>(SendMessageW(list.hwnd, LB_GETCURSEL, 0, 0));
    if (selected >= 0)
      SendMessageW(list.hwnd, LB_GETITEMRECT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&item));
    at = POINT{item.left + 8, item.bottom};
  } else {
    ScreenToClient(list.hwnd, &at);
    LRESULT hit = SendMessageW(list.hwnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(at.x, at.y));
    SendMessageW(list.hwnd, LB_SETCURSEL, HIWORD(hit) == 0 ? LOWORD(hit) : static_cast<WPARAM>(-1), 0);
  }
  w.ui->Deliver(w, &list, UiEvent::ContextMenu, at.x, at.y);
}

// Any other control: the event carries where the mouse was, or the control's centre for
// the menu key.
void OnContextMenu(LiveWindow& w, LiveControl& control, LPARAM screenPoint) {
  POINT at{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
  RECT client{};
  GetClientRect(control.hwnd, &client);
  if (at.x == -1 && at.y == -1)
    at = POINT{client.right / 2, client.bottom / 2};
  else
    ScreenToClient(control.hwnd, &at);
  w.ui->Deliver(w, &control, UiEvent::ContextMenu, at.x, at.y);
}

// Files dragged from the file manager: the first one counts. Its name goes to the program
// as GBK; a name GBK cannot hold arrives with "?" in place of those characters, so opening
// it fails with the file's own reason rather than silently doing nothing.
void OnDropFiles(LiveWindow& w, HDROP drop) {
  std::wstring path;
  if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
    path.resize(DragQueryFileW(drop, 0, nullptr, 0) + 1);
    path.resize(DragQueryFileW(drop, 0, path.data(), static_cast<UINT>(path.size())));
  }
  DragFinish(drop);
  if (path.empty()) return;
  const std::string gbk = WideToGbkLossy(path);
  w.ui->Deliver(w, nullptr, UiEvent::FilesDropped, 0, 0, gbk);
}

}  // namespace

LRESULT CALLBACK TopWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* w = reinterpret_cast<LiveWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    w = static_cast<LiveWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
  }
  if (!w) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: return OnControlColour(reinterpret_cast<HDC>(wp));
    case WM_COMMAND: {
      LiveControl* c = lp ? w->FindHandle(reinterpret_cast<HWND>(lp)) : nullptr;
      if (!c) break;
      if (HIWORD(wp) == LBN_DBLCLK && c->unit->kind == UnitKind::ListBox)
        w->ui->Deliver(*w, c, UiEvent::DoubleClicked);
      else if (HIWORD(wp) == CBN_SELCHANGE && c->unit->kind == UnitKind::ComboBox)
        w->ui->Deliver(*w, c, UiEvent::SelectionChanged);
      return 0;
    }
    case WM_CONTEXTMENU: {
      LiveControl* c = w->FindHandle(reinterpret_cast<HWND>(wp));
      if (!c) break;
      if (c->unit->kind == UnitKind::ListBox)
        OnListContextMenu(*w, *c, lp);
      else
        OnContextMenu(*w, *c, lp);
      return 0;
    }
    case WM_DROPFILES: OnDropFiles(*w, reinterpret_cast<HDROP>(wp)); return 0;
    case WM_KEYDOWN:  // the window itself has the focus
      if (RaiseShortcut(*w, nullptr, wp)) return 0;
      break;
    case WM_CLOSE:  // Alt+F4 and the taskbar's close do what the window's close button does
      if (LiveControl* close = w->ClosingControl()) w->ui->Deliver(*w, close, UiEvent::Clicked);
      return 0;
    case WM_QUERYENDSESSION: return w->ui->AllowSessionEnd(*w) ? TRUE : FALSE;
    case WM_DPICHANGED: w->ui->ChangeDpi(*w, HIWORD(wp), *reinterpret_cast<const RECT*>(lp)); return 0;
    case WM_NCDESTROY: SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0); break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace xl::win32
