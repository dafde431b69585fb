// The controls the program paints itself, each into a back buffer of its size: pictures,
// image buttons, the title label, the tab panel, group boxes and the border lines.
#include "win32/painted_controls.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "ui/dpi.h"
#include "win32/live_window.h"
#include "win32/win32_ui.h"

namespace xl::win32 {
namespace {

constexpr COLORREF kTitleText = RGB(255, 255, 255);
constexpr COLORREF kBorder = RGB(63, 127, 208);
constexpr COLORREF kPanelLine = RGB(143, 180, 222);

LiveControl* ControlOf(HWND hwnd) { return reinterpret_cast<LiveControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

// Painting into a back buffer of the control's size; straight to the screen when GDI will
// not give one.
class BufferedPaint {
 public:
  explicit BufferedPaint(HWND hwnd) : hwnd_(hwnd), screen_(BeginPaint(hwnd, &ps_)) {
    GetClientRect(hwnd, &rect_);
    memory_ = CreateCompatibleDC(screen_);
    if (memory_)
      bitmap_ = CreateCompatibleBitmap(screen_, std::max<LONG>(rect_.right, 1), std::max<LONG>(rect_.bottom, 1));
    if (bitmap_) old_ = SelectObject(memory_, bitmap_);
  }
  ~BufferedPaint() {
    if (bitmap_) {
      BitBlt(screen_, 0, 0, rect_.right, rect_.bottom, memory_, 0, 0, SRCCOPY);
      SelectObject(memory_, old_);
      DeleteObject(bitmap_);
    }
    if (memory_) DeleteDC(memory_);
    EndPaint(hwnd_, &ps_);
  }
  HDC dc() const { return bitmap_ ? memory_ : screen_; }
  const RECT& rect() const { return rect_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC screen_;
  RECT rect_{};
  HDC memory_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

void Fill(HDC dc, const RECT& r, COLORREF colour) {
  SetDCBrushColor(dc, colour);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// A frame of one design pixel at the control's DPI.
void Frame(const LiveControl& c, HDC dc, RECT r, COLORREF colour) {
  SetDCBrushColor(dc, colour);
  for (int i = 0, n = ui::LineWidth(c.window->dpi); i < n && r.right > r.left && r.bottom > r.top; ++i) {
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    InflateRect(&r, -1, -1);
  }
}

using DrawFn = void (*)(const LiveControl&, HDC, const RECT&);

LRESULT Paint(HWND hwnd, const LiveControl& c, DrawFn draw) {
  BufferedPaint p(hwnd);
  draw(c, p.dc(), p.rect());
  return 0;
}

// WM_PRINTCLIENT: PrintWindow and screenshots ask for the same picture in their own DC.
LRESULT Print(HWND hwnd, HDC dc, const LiveControl& c, DrawFn draw) {
  RECT r;
  GetClientRect(hwnd, &r);
  draw(c, dc, r);
  return 0;
}

// What lies under a painted control: the picture of the picture box holding it (the title
// bar), else the white window.
void PaintBackdrop(const LiveControl& c, HDC dc, const RECT& r) {
  Fill(dc, r, RGB(255, 255, 255));
  if (c.container && c.container->unit->kind == UnitKind::PictureBox)
    c.container->picture.Draw(dc, c.container->rect.left - c.rect.left, c.container->rect.top - c.rect.top);
}

void DrawText(const LiveControl& c, HDC dc, RECT r, const std::wstring& text, COLORREF colour, UINT format) {
  HGDIOBJ old = SelectObject(dc, c.Font());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_NOPREFIX);
  SelectObject(dc, old);
}

bool SetHandCursor(const LiveControl* c) {
  if (!c || c->unit->cursor != CursorKind::Hand) return false;
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
  return true;
}

// A page selector whose page is not current is drawn faded, so the current one stands out.
constexpr BYTE kOtherPageSelector = 140;

void DrawPicture(const LiveControl& c, HDC dc, const RECT& r) {
  PaintBackdrop(c, dc, r);
  const LiveControl* tabs = c.unit->selectsPage >= 0 ? c.window->Tabs() : nullptr;
  const bool faded = tabs && tabs->page != c.unit->selectsPage;
  c.picture.Draw(dc, 0, 0, faded ? kOtherPageSelector : 255);  // already fitted to the box
}

// The title bar's picture box holds the title controls as child windows and does not clip
// them (the image buttons copy its pixels as their background). Whatever it paints over
// a child, that child paints again.
LRESULT PaintUnderChildren(HWND hwnd, const LiveControl& c) {
  RECT dirty{};
  GetUpdateRect(hwnd, &dirty, FALSE);
  Paint(hwnd, c, DrawPicture);
  for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r, overlap;
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, hwnd, reinterpret_cast<POINT*>(&r), 2);
    if (IntersectRect(&overlap, &r, &dirty)) InvalidateRect(child, nullptr, FALSE);
  }
  return 0;
}

LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  LiveControl* c = ControlOf(hwnd);
  if (!c) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_PAINT: return PaintUnderChildren(hwnd, *c);
    case WM_PRINTCLIENT: return Print(hwnd, reinterpret_cast<HDC>(wp), *c, DrawPicture);
    case WM_ERASEBKGND: return 1;
    case WM_SETCURSOR: return SetHandCursor(c) ? TRUE : DefWindowProcW(hwnd, msg, wp, lp);
    case WM_LBUTTONDOWN:
      c->window->ui->Deliver(*c->window, c, UiEvent::LeftButtonDown, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      return 0;
    case WM_NCDESTROY: SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0); break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void DrawTitleLabel(const LiveControl& c, HDC dc, const RECT& r) {
  PaintBackdrop(c, dc, r);
  DrawText(c, dc, r, c.text, kTitleText, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}

LRESULT CALLBACK TitleLabelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  LiveControl* c = ControlOf(hwnd);
  if (!c) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_PAINT: return Paint(hwnd, *c, DrawTitleLabel);
    case WM_PRINTCLIENT: return Print(hwnd, reinterpret_cast<HDC>(wp), *c, DrawTitleLabel);
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
      c->window->ui->Deliver(*c->window, c, UiEvent::LeftButtonDown, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      return 0;
    case WM_NCDESTROY: SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0); break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// Image push buttons show their normal or hover picture; the title-bar buttons also a
// pressed one. A button without pictures draws its caption in a thin frame.
void DrawButton(const LiveControl& c, HDC dc, const RECT& r) {
  PaintBackdrop(c, dc, r);
  const DibPicture* shown = &c.picture;
  if (c.down && c.hot && c.pressed)
    shown = &c.pressed;
  else if ((c.hot || c.down) && c.hover)
    shown = &c.hover;
  if (*shown) {
    shown->Draw(dc, 0, 0);
    return;
  }
  SetDCBrushColor(dc, c.hot ? RGB(232, 241, 252) : RGB(246, 249, 253));
  SetDCPenColor(dc, kPanelLine);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  Rectangle(dc, r.left, r.top, r.right, r.bottom);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DrawText(c, dc, r, c.text, kControlText, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void OnButtonMouseMove(HWND hwnd, LiveControl& c) {
  if (c.hot) return;
  c.hot = true;
  TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
  TrackMouseEvent(&track);
  InvalidateRect(hwnd, nullptr, FALSE);
}

// A press captures the mouse; the click happens on release over the button.
void OnButtonUp(HWND hwnd, LiveControl& c, POINT at) {
  if (!c.down) return;
  c.down = false;
  ReleaseCapture();
  RECT r;
  GetClientRect(hwnd, &r);
  InvalidateRect(hwnd, nullptr, FALSE);
  if (PtInRect(&r, at)) c.window->ui->Deliver(*c.window, &c, UiEvent::Clicked);  // may destroy the window
}

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  LiveControl* c = ControlOf(hwnd);
  if (!c) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_PAINT: return Paint(hwnd, *c, DrawButton);
    case WM_PRINTCLIENT: return Print(hwnd, reinterpret_cast<HDC>(wp), *c, DrawButton);
    case WM_ERASEBKGND: return 1;
    case WM_SETCURSOR: return SetHandCursor(c) ? TRUE : DefWindowProcW(hwnd, msg, wp, lp);
    case WM_MOUSEMOVE: OnButtonMouseMove(hwnd, *c); return 0;
    case WM_MOUSELEAVE:
      c->hot = false;
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      c->down = true;
      c->hot = true;
      SetCapture(hwnd);
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP: OnButtonUp(hwnd, *c, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); return 0;
    case WM_CAPTURECHANGED:
      if (c->down) {
        c->down = false;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      return 0;
    case WM_NCDESTROY: SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0); break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// The tab panel (white with a thin frame) and the border lines.
// A group box: white, a thin frame from the middle of its caption down, the caption on
// the frame. Painted here rather than by the system's button class, whose group box is
// transparent to its siblings and so loses its frame to the tab panel beneath it.
void DrawGroup(const LiveControl& c, HDC dc, const RECT& r) {
  Fill(dc, r, RGB(255, 255, 255));
  std::wstring caption(static_cast<size_t>(GetWindowTextLengthW(c.hwnd)) + 1, L'\0');
  caption.resize(static_cast<size_t>(GetWindowTextW(c.hwnd, caption.data(), static_cast<int>(caption.size()))));
  HGDIOBJ old = SelectObject(dc, c.Font());
  SIZE extent{0, 0};
  GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
  SelectObject(dc, old);
  RECT frame{r.left, r.top + (caption.empty() ? 0 : extent.cy / 2), r.right, r.bottom};
  Frame(c, dc, frame, kPanelLine);
  if (caption.empty()) return;
  // The caption sits on the frame 8 design pixels in, with 4 of white on either side.
  const int indent = ui::Scaled(8, c.window->dpi), gap = ui::Scaled(4, c.window->dpi);
  RECT text{r.left + indent, r.top, r.left + indent + extent.cx + 2 * gap, r.top + extent.cy};
  Fill(dc, text, RGB(255, 255, 255));
  text.left += gap;
  DrawText(c, dc, text, caption, kControlText, DT_LEFT | DT_TOP | DT_SINGLELINE);
}

void DrawPanel(const LiveControl& c, HDC dc, const RECT& r) {
  if (c.unit->kind == UnitKind::GroupBox) return DrawGroup(c, dc, r);
  if (c.unit->kind == UnitKind::Splitter) {
    Fill(dc, r, kBorder);
    return;
  }
  Fill(dc, r, RGB(255, 255, 255));
  Frame(c, dc, r, kPanelLine);
}

LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  LiveControl* c = ControlOf(hwnd);
  if (!c) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_PAINT: return Paint(hwnd, *c, DrawPanel);
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
      InvalidateRect(hwnd, nullptr, FALSE);
      return r;
    }
    case WM_PRINTCLIENT: return Print(hwnd, reinterpret_cast<HDC>(wp), *c, DrawPanel);
    case WM_ERASEBKGND: return 1;
    case WM_NCDESTROY: SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0); break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

ATOM Register(const wchar_t* name, WNDPROC proc, UINT style = 0) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  return RegisterClassExW(&wc);
}

}  // namespace

void RegisterPaintedControlClasses() {
  Register(kPictureClass, PictureProc);
  Register(kTitleLabelClass, TitleLabelProc);
  Register(kButtonClass, ButtonProc);
  Register(kPanelClass, PanelProc);
}

}  // namespace xl::win32
