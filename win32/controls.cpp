// The controls of a loaded window: standard controls for text, lists and frames, and small
// painted controls of our own for pictures, image buttons, the title label, the tab panel
// and the one-pixel border.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

#include "platform/codepage.h"
#include "win32/live_window.h"
#include "win32/win32_ui.h"

namespace xl::win32 {
namespace {

constexpr COLORREF kText = RGB(51, 51, 51);
constexpr COLORREF kTitleText = RGB(255, 255, 255);
constexpr COLORREF kBorder = RGB(63, 127, 208);
constexpr COLORREF kPanelLine = RGB(143, 180, 222);
constexpr int kComboDropHeight = 200;  // the drop-down list shows at least 160 pixels
constexpr wchar_t kPictureClass[] = L"XinglvPicture";
constexpr wchar_t kButtonClass[] = L"XinglvButton";
constexpr wchar_t kTitleLabelClass[] = L"XinglvTitleLabel";
constexpr wchar_t kPanelClass[] = L"XinglvPanel";

LiveControl* ControlOf(HWND hwnd) { return reinterpret_cast<LiveControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

// Painting into a back buffer of the control's size; straight to the screen when GDI will
// not give one.
class BufferedPaint {
 public:
  explicit BufferedPaint(HWND hwnd) : hwnd_(hwnd), screen_(BeginPaint(hwnd, &ps_)) {
    GetClientRect(hwnd, &rect_);
    memory_ = CreateCompatibleDC(screen_);
    if (memory_) bitmap_ = CreateCompatibleBitmap(screen_, std::max<LONG>(rect_.right, 1), std::max<LONG>(rect_.bottom, 1));
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
    c.container->picture.Draw(dc, c.container->x - c.x, c.container->y - c.y);
}

void DrawText(const LiveControl& c, HDC dc, RECT r, const std::wstring& text, COLORREF colour, UINT format) {
  HGDIOBJ old = SelectObject(dc, c.window->ui->Font(c.unit->fontHeight));
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
  if (c.down && c.hot && c.pressed) shown = &c.pressed;
  else if ((c.hot || c.down) && c.hover) shown = &c.hover;
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
  DrawText(c, dc, r, c.text, kText, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
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
  HGDIOBJ old = SelectObject(dc, c.window->ui->Font(c.unit->fontHeight));
  SIZE extent{0, 0};
  GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
  SelectObject(dc, old);
  RECT frame{r.left, r.top + (caption.empty() ? 0 : extent.cy / 2), r.right, r.bottom};
  SetDCBrushColor(dc, kPanelLine);
  FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  if (caption.empty()) return;
  RECT text{r.left + 8, r.top, r.left + 8 + extent.cx + 8, r.top + extent.cy};
  Fill(dc, text, RGB(255, 255, 255));
  text.left += 4;
  DrawText(c, dc, text, caption, kText, DT_LEFT | DT_TOP | DT_SINGLELINE);
}

void DrawPanel(const LiveControl& c, HDC dc, const RECT& r) {
  if (c.unit->kind == UnitKind::GroupBox) return DrawGroup(c, dc, r);
  if (c.unit->kind == UnitKind::Splitter) {
    Fill(dc, r, kBorder);
    return;
  }
  Fill(dc, r, RGB(255, 255, 255));
  SetDCBrushColor(dc, kPanelLine);
  FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
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

// Edit boxes keep to their input mode for typed and pasted text alike: a digits box takes
// 0-9 and "-" only; every box refuses characters GBK cannot hold (they could not be
// written into a replay), with a notice.
bool IsDigitChar(wchar_t ch) { return (ch >= L'0' && ch <= L'9') || ch == L'-'; }
bool FitsGbk(wchar_t ch) { return WideToGbk(std::wstring_view(&ch, 1)).has_value(); }

// Returns whether the character goes through to the edit box.
bool AcceptTypedChar(LiveControl& c, wchar_t ch) {
  if (c.swallowLowSurrogate && IS_LOW_SURROGATE(ch)) {
    c.swallowLowSurrogate = false;
    return false;
  }
  c.swallowLowSurrogate = false;
  if (ch < 0x20) return true;  // backspace, ctrl+V and the like
  if (c.unit->input == InputMode::Digits) return IsDigitChar(ch);
  if (IS_HIGH_SURROGATE(ch)) c.swallowLowSurrogate = true;  // nothing beyond U+FFFF is in GBK
  if (IS_HIGH_SURROGATE(ch) || IS_LOW_SURROGATE(ch) || !FitsGbk(ch)) {
    c.window->ui->RefuseTypedCharacter(*c.window);
    return false;
  }
  return true;
}

std::wstring ClipboardText(HWND owner) {
  std::wstring text;
  if (!OpenClipboard(owner)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = p;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// Pasting into a one-line box: the first line only, through the same rules as typing.
void OnPaste(HWND hwnd, LiveControl& c) {
  std::wstring text = ClipboardText(hwnd);
  text = text.substr(0, text.find_first_of(L"\r\n"));
  std::wstring kept;
  if (c.unit->input == InputMode::Digits) {
    std::copy_if(text.begin(), text.end(), std::back_inserter(kept), IsDigitChar);
  } else if (!WideToGbk(text)) {
    c.window->ui->RefuseTypedCharacter(*c.window);
    return;
  } else {
    kept = text;
  }
  SendMessageW(hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(kept.c_str()));
}

// The hint (cue banner) is kept and drawn here rather than by the system: the edit control
// of comctl32 before version 6 (and so of every program without the common-controls
// manifest) ignores EM_SETCUEBANNER, and the hint must look the same everywhere. It shows
// while the box is empty, focused or not, in the system's grey text colour.
void DrawHint(HWND hwnd, const LiveControl& c) {
  if (c.hint.empty() || GetWindowTextLengthW(hwnd) > 0) return;
  RECT r{};
  SendMessageW(hwnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  HDC dc = GetDC(hwnd);
  if (!dc) return;
  HideCaret(hwnd);  // the caret is inverted pixels: drawn over, it would leave a trace
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  ::DrawTextW(dc, c.hint.c_str(), static_cast<int>(c.hint.size()), &r,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  ShowCaret(hwnd);
}

LRESULT SetHintText(HWND hwnd, LiveControl& c, const wchar_t* hint) {
  c.hint = hint ? hint : L"";
  InvalidateRect(hwnd, nullptr, TRUE);
  return TRUE;
}

LRESULT GetHintText(const LiveControl& c, wchar_t* buffer, size_t size) {
  if (!buffer || size == 0) return FALSE;
  const size_t n = std::min(c.hint.size(), size - 1);
  std::copy_n(c.hint.c_str(), n, buffer);
  buffer[n] = L'\0';
  return TRUE;
}

// Messages after which the box may have gone from empty to filled or back; the edit control
// repaints only the characters it changed, so the hint is redrawn or wiped here.
bool MayChangeText(UINT msg) {
  switch (msg) {
    case WM_CHAR: case WM_KEYDOWN: case WM_SETTEXT: case WM_PASTE: case WM_CUT: case WM_CLEAR:
    case WM_UNDO: case EM_UNDO: case EM_REPLACESEL:
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data) {
  auto* c = reinterpret_cast<LiveControl*>(data);
  const bool wasEmpty = !c->hint.empty() && MayChangeText(msg) && GetWindowTextLengthW(hwnd) == 0;
  LRESULT result = 0;
  switch (msg) {
    case WM_CHAR:
      if (c->unit->input != InputMode::ReadOnly && !AcceptTypedChar(*c, static_cast<wchar_t>(wp))) return 0;
      result = DefSubclassProc(hwnd, msg, wp, lp);
      break;
    case WM_PASTE:
      if (c->unit->input == InputMode::ReadOnly) return 0;
      OnPaste(hwnd, *c);
      break;
    case EM_SETCUEBANNER: return SetHintText(hwnd, *c, reinterpret_cast<const wchar_t*>(lp));
    case EM_GETCUEBANNER: return GetHintText(*c, reinterpret_cast<wchar_t*>(wp), static_cast<size_t>(lp));
    case WM_PAINT:
      result = DefSubclassProc(hwnd, msg, wp, lp);
      DrawHint(hwnd, *c);
      return result;
    case WM_NCDESTROY: RemoveWindowSubclass(hwnd, EditProc, id); return DefSubclassProc(hwnd, msg, wp, lp);
    default: result = DefSubclassProc(hwnd, msg, wp, lp); break;
  }
  if (!c->hint.empty() && MayChangeText(msg) && wasEmpty != (GetWindowTextLengthW(hwnd) == 0))
    InvalidateRect(hwnd, nullptr, TRUE);
  return result;
}

// Controls on the title bar are children of its picture box, so what they draw over (and
// what the toolkit's image buttons copy as their background) is the title-bar picture. All
// others are children of the window itself, which receives their notifications.
bool OnPictureBox(const LiveControl& c) {
  return c.container && c.container->unit->kind == UnitKind::PictureBox && c.container->hwnd;
}

HWND CreateChild(LiveWindow& w, LiveControl& c, DWORD exStyle, const wchar_t* cls, const std::wstring& text,
                 DWORD style, int height) {
  const bool onPicture = OnPictureBox(c);
  HWND parent = onPicture ? c.container->hwnd : w.hwnd;
  const int x = onPicture ? c.x - c.container->x : c.x;
  const int y = onPicture ? c.y - c.container->y : c.y;
  return CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_CLIPSIBLINGS | style, x, y, c.unit->width, height,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + c.index)),
                         GetModuleHandleW(nullptr), &c);
}

HWND CreateFor(LiveWindow& w, LiveControl& c) {
  const Unit& u = *c.unit;
  const std::wstring text = GbkToWideLossy(u.text);
  switch (u.kind) {
    case UnitKind::EditBox: {
      DWORD style = WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | (u.input == InputMode::ReadOnly ? ES_READONLY : 0);
      HWND h = CreateChild(w, c, 0, L"EDIT", text, style, u.height);
      if (h) {
        if (u.maxLength > 0) SendMessageW(h, EM_LIMITTEXT, u.maxLength, 0);
        SetWindowSubclass(h, EditProc, 1, reinterpret_cast<DWORD_PTR>(&c));
      }
      return h;
    }
    case UnitKind::ListBox:
      return CreateChild(w, c, 0, L"LISTBOX", L"",
                         WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
                         u.height);
    case UnitKind::ComboBox: {
      HWND h = CreateChild(w, c, 0, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS,
                           u.height + kComboDropHeight);
      if (h) SendMessageW(h, CB_SETMINVISIBLE, 10, 0);
      return h;
    }
    case UnitKind::GroupBox: return CreateChild(w, c, 0, kPanelClass, text, 0, u.height);
    case UnitKind::Label: {
      // Labels keep to one line unless their text breaks its lines itself (the help text).
      const DWORD wrap = text.find(L'\n') != std::wstring::npos ? SS_LEFT : SS_LEFTNOWORDWRAP;
      return CreateChild(w, c, 0, L"STATIC", text, wrap | SS_NOPREFIX, u.height);
    }
    case UnitKind::PictureBox: return CreateChild(w, c, 0, kPictureClass, L"", 0, u.height);
    case UnitKind::TransparentLabel: c.text = text; return CreateChild(w, c, 0, kTitleLabelClass, L"", 0, u.height);
    case UnitKind::Button:
    case UnitKind::ImageButton: c.text = text; return CreateChild(w, c, 0, kButtonClass, L"", 0, u.height);
    case UnitKind::TabControl:
    case UnitKind::Splitter: return CreateChild(w, c, 0, kPanelClass, L"", 0, u.height);
    case UnitKind::Window:
    case UnitKind::Archive: break;  // nothing to show
  }
  return nullptr;
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

// The painted controls find their LiveControl from the creation parameter.
void Attach(HWND hwnd, LiveControl& c) {
  if (hwnd && c.unit->kind != UnitKind::EditBox) SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&c));
}

}  // namespace

bool LiveControl::Shown() const {
  if (!unit->visible || unit->kind == UnitKind::Archive) return false;
  if (!container) return true;
  if (container->unit->kind == UnitKind::TabControl && container->page != unit->page) return false;
  return container->Shown();
}

LiveControl* LiveWindow::Find(std::string_view name) const {
  auto it = byName.find(name);
  return it == byName.end() ? nullptr : it->second;
}

LiveControl* LiveWindow::ClosingControl() const {
  for (const auto& c : controls)
    if (c->unit->closesWindow) return c.get();
  return nullptr;
}

const LiveControl* LiveWindow::Tabs() const {
  for (const auto& c : controls)
    if (c->unit->kind == UnitKind::TabControl) return c.get();
  return nullptr;
}

LiveControl* LiveWindow::FindHandle(HWND h) const {
  for (const auto& c : controls)
    if (c->hwnd == h) return c.get();
  return nullptr;
}

void RegisterWindowClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSEXW top{};
  top.cbSize = sizeof top;
  top.lpfnWndProc = TopWindowProc;
  top.hInstance = GetModuleHandleW(nullptr);
  top.hIcon = LoadIconW(top.hInstance, MAKEINTRESOURCEW(129));
  top.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  top.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  top.lpszClassName = kTopWindowClass;
  RegisterClassExW(&top);
  Register(kPictureClass, PictureProc);
  Register(kTitleLabelClass, TitleLabelProc);
  Register(kButtonClass, ButtonProc);
  Register(kPanelClass, PanelProc);
}

void CreateControls(LiveWindow& w) {
  const auto& units = w.def->controls;
  for (size_t i = 0; i < units.size(); ++i) {
    auto c = std::make_unique<LiveControl>();
    c->window = &w;
    c->unit = &units[i];
    c->index = static_cast<int>(i);
    w.byName.emplace(units[i].name, c.get());
    w.controls.push_back(std::move(c));
  }
  // Positions are within the container; a tab page's area is the whole tab control.
  for (auto& c : w.controls) {
    c->container = c->unit->container.empty() ? nullptr : w.Find(c->unit->container);
    c->x = c->unit->left;
    c->y = c->unit->top;
    for (const LiveControl* holder = c->container; holder && c->depth < 16; holder = holder->container) {
      const Unit& hu = *holder->unit;
      c->x += hu.left;
      c->y += hu.top;
      ++c->depth;
      if (hu.container.empty()) break;
    }
    if (c->unit->kind == UnitKind::TabControl) c->page = std::max(c->unit->selection, 0);
  }
  // Containers first, so the title bar's picture box exists before the controls on it.
  std::vector<LiveControl*> order;
  for (auto& c : w.controls) order.push_back(c.get());
  std::stable_sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->depth < b->depth; });
  for (LiveControl* c : order) {
    c->hwnd = CreateFor(w, *c);
    Attach(c->hwnd, *c);
    if (!c->hwnd) continue;
    const UnitKind k = c->unit->kind;
    if (k != UnitKind::Splitter && k != UnitKind::PictureBox && k != UnitKind::TabControl)
      SendMessageW(c->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(w.ui->Font(c->unit->fontHeight)), FALSE);
  }
  // Contents above their containers; among equals, later units above earlier ones.
  for (LiveControl* c : order)
    if (c->hwnd) SetWindowPos(c->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
  ApplyVisibility(w);
}

void ApplyVisibility(LiveWindow& w) {
  for (auto& c : w.controls)
    if (c->hwnd) ::ShowWindow(c->hwnd, c->Shown() ? SW_SHOWNA : SW_HIDE);
}

void InvalidateContents(LiveWindow& w, const LiveControl& container) {
  for (auto& c : w.controls)
    if (c->container == &container && c->hwnd) InvalidateRect(c->hwnd, nullptr, FALSE);
}

// Standard controls take white backgrounds and dark text.
LRESULT OnControlColour(HDC dc) {
  SetTextColor(dc, kText);
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
    if (selected >= 0) SendMessageW(list.hwnd, LB_GETITEMRECT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&item));
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
    case WM_CLOSE:  // Alt+F4 and the taskbar's close do what the window's close button does
      if (LiveControl* close = w->ClosingControl()) w->ui->Deliver(*w, close, UiEvent::Clicked);
      return 0;
    case WM_QUERYENDSESSION: return w->ui->AllowSessionEnd(*w) ? TRUE : FALSE;
    case WM_NCDESTROY: SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0); break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace xl::win32
