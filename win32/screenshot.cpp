#include "win32/screenshot.h"

#include <objidl.h>
#include <gdiplus.h>

namespace xl::win32 {
namespace {

// {557CF406-1A04-11D3-9A73-0000F81EF32E}: GDI+'s PNG encoder.
const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

// The window's rectangle grown to hold each shown window of the same thread that lies over
// it, higher in the z-order: the boxes, menus and tooltips the window has brought up.
RECT WithWindowsOver(HWND window) {
  RECT all{};
  GetWindowRect(window, &all);
  const RECT own = all;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  for (HWND h = GetTopWindow(nullptr); h && h != window; h = GetWindow(h, GW_HWNDNEXT)) {
    RECT r{}, overlap{};
    if (!IsWindowVisible(h) || GetWindowThreadProcessId(h, nullptr) != thread || !GetWindowRect(h, &r)) continue;
    if (IntersectRect(&overlap, &r, &own)) UnionRect(&all, &all, &r);
  }
  return all;
}

}  // namespace

Status SaveWindowShot(HWND window, const std::wstring& pngPath) {
  if (!IsWindow(window) || !IsWindowVisible(window)) return Error{"窗口不存在或未显示"};
  // Not activated: under Wine a window activated while its box is up comes over the box.
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  // Painting one control may ask another to paint again (the title bar's children).
  RedrawWindow(window, nullptr, nullptr, RDW_ALLCHILDREN | RDW_UPDATENOW);
  GdiFlush();
  // Under Wine what windows paint reaches the screen when the thread next waits; a short
  // wait puts every pixel painted above there before they are read back.
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  const RECT r = WithWindowsOver(window);
  const int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::Status saved = Gdiplus::GenericError;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) {
    {
      Gdiplus::Bitmap picture(bitmap, nullptr);
      saved = picture.Save(pngPath.c_str(), &kPngEncoder, nullptr);
    }
    Gdiplus::GdiplusShutdown(token);
  }
  DeleteObject(bitmap);
  if (saved != Gdiplus::Ok) return Error{"截图无法保存"};
  return Success();
}

}  // namespace xl::win32
