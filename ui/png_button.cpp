#include "ui/png_button.h"

#include <commctrl.h>

#include <utility>

#include "platform/codepage.h"
#include "ui/dpi.h"
#include "ui/picture_loader.h"
#include "ui/tooltip.h"

namespace xl::ui {
namespace {

constexpr wchar_t kTypeProp[] = L"PngControl_Type";
constexpr wchar_t kPreviousProcProp[] = L"PngControl_WndProc";
constexpr wchar_t kPlacementProp[] = L"PngControl_BackType";
constexpr wchar_t kCacheProp[] = L"PngControl_CacheBitmap";
constexpr wchar_t kStateProp[] = L"Lumen_DrawState";
constexpr wchar_t kFocusProp[] = L"PngControl_IsFoucs";
// Indexed by ButtonState.
constexpr const wchar_t* kImageProps[4] = {L"PngControl_NormalImage", L"PngControl_OverlImage", L"PngControl_DownImage",
                                           L"PngControl_DisableImage"};
constexpr INT_PTR kImageButtonType = 3;

INT_PTR IntProp(HWND hwnd, const wchar_t* name) { return reinterpret_cast<INT_PTR>(GetPropW(hwnd, name)); }
void SetIntProp(HWND hwnd, const wchar_t* name, INT_PTR value) {
  SetPropW(hwnd, name, reinterpret_cast<HANDLE>(value));
}

bool IsImageButton(HWND hwnd) { return IntProp(hwnd, kTypeProp) == kImageButtonType; }
ButtonState StateOf(HWND hwnd) { return static_cast<ButtonState>(IntProp(hwnd, kStateProp)); }
GpImage* ImageOf(HWND hwnd, ButtonState state) {
  return static_cast<GpImage*>(GetPropW(hwnd, kImageProps[static_cast<int>(state)]));
}
HBITMAP CacheOf(HWND hwnd) { return static_cast<HBITMAP>(GetPropW(hwnd, kCacheProp)); }

LRESULT CallPrevious(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto previous = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kPreviousProcProp));
  return previous ? CallWindowProcW(previous, hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

// The parent of a child window (GetParent would give a popup's owner).
HWND ParentOf(HWND hwnd) { return (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) ? GetParent(hwnd) : nullptr; }

// Puts `proc` in front of the window's procedure, once: a window that already carries a
// previous procedure is left as it is.
void Subclass(HWND hwnd, WNDPROC proc) {
  if (GetPropW(hwnd, kPreviousProcProp)) return;
  auto previous = SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
  if (previous) SetPropW(hwnd, kPreviousProcProp, reinterpret_cast<HANDLE>(previous));
}

// --- Drawing -------------------------------------------------------------------------------

SIZE WindowSize(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// The picture's size shrunk to fit (w, h), never enlarged, keeping its proportions.
SIZE FitInside(int iw, int ih, int w, int h) {
  SIZE s{iw, ih};
  if (s.cx > w) {
    s.cx = w;
    s.cy = static_cast<int>(static_cast<long long>(ih) * w / iw);
  }
  if (s.cy > h) {
    int before = s.cy;
    s.cy = h;
    s.cx = static_cast<int>(static_cast<long long>(s.cx) * h / before);
  }
  return s;
}

RECT PlacedImage(int placement, int iw, int ih, int w, int h) {
  switch (placement) {
    case kPlacementStretch: return RECT{0, 0, w, h};
    case kPlacementFit: {
      SIZE s = FitInside(iw, ih, w, h);
      int x = (w - s.cx) / 2, y = (h - s.cy) / 2;
      return RECT{x, y, x + s.cx, y + s.cy};
    }
    default: return RECT{0, 0, iw, ih};
  }
}

// The picture of the current state; a state without its own picture shows the normal one.
GpImage* ShownImage(HWND hwnd) {
  ButtonState state = StateOf(hwnd);
  GpImage* image = state == ButtonState::Normal ? nullptr : ImageOf(hwnd, state);
  return image ? image : ImageOf(hwnd, ButtonState::Normal);
}

void DrawBackground(GpGraphics* g, HBITMAP cache, int w, int h) {
  GpBitmap* raw = nullptr;
  if (gp::GdipCreateBitmapFromHBITMAP(cache, nullptr, &raw) != Gdiplus::Ok) return;
  Bitmap background(raw);
  gp::GdipDrawImageRectI(g, background.get(), 0, 0, w, h);
}

// A picture's pixels are design pixels: at the button's DPI its natural size is that many
// pixels scaled, and fitting never enlarges it beyond that.
void DrawImage(GpGraphics* g, GpImage* image, int placement, int w, int h, UINT dpi) {
  UINT iw = 0, ih = 0;
  gp::GdipGetImageWidth(image, &iw);
  gp::GdipGetImageHeight(image, &ih);
  if (iw == 0 || ih == 0) return;
  RECT r = PlacedImage(placement, Scaled(static_cast<int>(iw), dpi), Scaled(static_cast<int>(ih), dpi), w, h);
  int dw = r.right - r.left, dh = r.bottom - r.top;
  if (dw == static_cast<int>(iw) && dh == static_cast<int>(ih)) {
    gp::GdipDrawImageRectI(g, image, r.left, r.top, dw, dh);
    return;
  }
  // A scaled picture would fade at its edges, where the filter reads beyond the picture:
  // mirroring the picture there keeps the edges as solid as the rest. The filter is the
  // high-quality bicubic one, for sharp pictures at every display scale.
  gp::GdipSetInterpolationMode(g, Gdiplus::InterpolationModeHighQualityBicubic);
  gp::GdipSetPixelOffsetMode(g, Gdiplus::PixelOffsetModeHalf);
  GpImageAttributes* raw = nullptr;
  if (gp::GdipCreateImageAttributes(&raw) == Gdiplus::Ok)
    gp::GdipSetImageAttributesWrapMode(raw, Gdiplus::WrapModeTileFlipXY, 0, FALSE);
  ImageAttributes attributes(raw);
  gp::GdipDrawImageRectRectI(g, image, r.left, r.top, dw, dh, 0, 0, static_cast<INT>(iw), static_cast<INT>(ih),
                             Gdiplus::UnitPixel, raw, nullptr, nullptr);
}

void DrawBackgroundAndImage(HWND hwnd, GpGraphics* g, HBITMAP cache, int w, int h) {
  DrawBackground(g, cache, w, h);
  if (GpImage* image = ShownImage(hwnd))
    DrawImage(g, image, static_cast<int>(IntProp(hwnd, kPlacementProp)), w, h, DpiOf(hwnd));
}

// Draws the button (its copied background, then the state's picture) into `dc`, or into the
// button's window DC when `dc` is null. Composed off-screen and copied in one BitBlt; when
// no off-screen bitmap can be made it draws straight into the DC.
void Draw(HWND hwnd, HDC dc) {
  HBITMAP cache = CacheOf(hwnd);
  if (!cache) return;
  SIZE size = WindowSize(hwnd);
  HDC windowDc = dc ? nullptr : GetWindowDC(hwnd);
  HDC target = dc ? dc : windowDc;
  if (!target) return;
  Surface buffer;
  if (buffer.Create(target, size.cx, size.cy)) {
    DrawBackgroundAndImage(hwnd, buffer.graphics(), cache, size.cx, size.cy);
    gp::GdipFlush(buffer.graphics(), Gdiplus::FlushIntentionSync);
    BitBlt(target, 0, 0, size.cx, size.cy, buffer.dc(), 0, 0, SRCCOPY);
  } else {
    GpGraphics* raw = nullptr;
    if (gp::GdipCreateFromHDC(target, &raw) == Gdiplus::Ok) {
      Graphics direct(raw);
      DrawBackgroundAndImage(hwnd, direct.get(), cache, size.cx, size.cy);
    }
  }
  if (windowDc) ReleaseDC(hwnd, windowDc);
}

// The button is transparent and never erases, so at WM_PAINT the paint DC still holds what
// the parent and the siblings below drew there: keep a copy as the background to draw on.
// The property owns the bitmap; the one it held before goes here.
void RefreshBackground(HWND hwnd, HDC paintDc) {
  GdiObject<HBITMAP> previous(static_cast<HBITMAP>(RemovePropW(hwnd, kCacheProp)));
  SIZE size = WindowSize(hwnd);
  HBITMAP copy = CreateCompatibleBitmap(paintDc, size.cx, size.cy);
  HDC memory = copy ? CreateCompatibleDC(paintDc) : nullptr;
  if (!memory) {
    if (copy) DeleteObject(copy);
    return;
  }
  {
    ScopedSelect select(memory, copy);
    BitBlt(memory, 0, 0, size.cx, size.cy, paintDc, 0, 0, SRCCOPY);
  }
  DeleteDC(memory);
  SetPropW(hwnd, kCacheProp, copy);
}

// Draws the button again over fresh pixels: the parent and the siblings under the button
// repaint that area first (the button does not clip them, being transparent), so a picture
// with transparent parts never shows the previous state's picture through it.
void Redraw(HWND hwnd) {
  HWND parent = ParentOf(hwnd);
  RECT r{};
  GetWindowRect(hwnd, &r);
  if (parent) {
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  InvalidateRect(hwnd, nullptr, FALSE);
}

void SetState(HWND hwnd, ButtonState state, bool force) {
  if (StateOf(hwnd) == state && !force) return;
  SetIntProp(hwnd, kStateProp, static_cast<INT_PTR>(state));
  Redraw(hwnd);
}

// --- The button's procedure ----------------------------------------------------------------

// The windows under the button paint what they still owe first, whatever order the system
// would paint them in: the button copies their pixels as its background, and a sibling that
// painted later would cover the button (it does not clip a transparent window out).
void PaintWhatLiesBeneath(HWND hwnd) {
  HWND parent = ParentOf(hwnd);
  if (!parent) return;
  if (GetUpdateRect(parent, nullptr, FALSE)) RedrawWindow(parent, nullptr, nullptr, RDW_UPDATENOW | RDW_NOCHILDREN);
  RECT button{}, sibling{}, overlap{};
  GetWindowRect(hwnd, &button);
  for (HWND below = GetWindow(hwnd, GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT)) {
    if (!IsWindowVisible(below) || !GetWindowRect(below, &sibling) || !IntersectRect(&overlap, &button, &sibling))
      continue;
    if (GetUpdateRect(below, nullptr, FALSE)) UpdateWindow(below);
  }
}

LRESULT OnPaint(HWND hwnd) {
  PaintWhatLiesBeneath(hwnd);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (dc) {
    RefreshBackground(hwnd, dc);
    Draw(hwnd, dc);
  }
  EndPaint(hwnd, &ps);
  return 0;
}

// Focus changes also reach the system button, which keeps its own focus flag and lets go of
// the mouse when the focus leaves in the middle of a press.
LRESULT OnFocus(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool gained) {
  CallPrevious(hwnd, msg, wp, lp);
  if (!IsImageButton(hwnd)) return 0;
  SetIntProp(hwnd, kFocusProp, gained ? 1 : 0);
  ButtonState from = gained ? ButtonState::Pressed : ButtonState::Hover;
  ButtonState to = gained ? ButtonState::Hover : ButtonState::Normal;
  if (StateOf(hwnd) == from) SetState(hwnd, to, true);
  return 0;
}

LRESULT OnEnable(HWND hwnd, WPARAM wp, LPARAM lp) {
  LRESULT result = CallPrevious(hwnd, WM_ENABLE, wp, lp);
  if (IsImageButton(hwnd)) SetState(hwnd, wp ? ButtonState::Normal : ButtonState::Disabled, true);
  return result;
}

LRESULT OnSetState(HWND hwnd, WPARAM wp, LPARAM lp) {
  LRESULT result = CallPrevious(hwnd, BM_SETSTATE, wp, lp);
  if (!IsImageButton(hwnd)) return result;
  ButtonState state = wp == 1                     ? ButtonState::Pressed
                      : IntProp(hwnd, kFocusProp) ? ButtonState::Hover
                                                  : ButtonState::Normal;
  SetIntProp(hwnd, kStateProp, static_cast<INT_PTR>(state));
  Redraw(hwnd);
  return result;
}

LRESULT OnMouseMove(HWND hwnd, WPARAM wp, LPARAM lp) {
  LRESULT result = CallPrevious(hwnd, WM_MOUSEMOVE, wp, lp);
  if (!IsImageButton(hwnd)) return result;
  ButtonState state = StateOf(hwnd);
  if (state == ButtonState::Hover || state == ButtonState::Pressed) return result;
  TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
  TrackMouseEvent(&track);
  SetState(hwnd, ButtonState::Hover, true);
  return result;
}

// The release is judged by the state before the system button saw it: its click handler may
// run in between (and may even destroy the button).
LRESULT OnLeftButtonUp(HWND hwnd, WPARAM wp, LPARAM lp) {
  bool wasPressed = StateOf(hwnd) == ButtonState::Pressed;
  LRESULT result = CallPrevious(hwnd, WM_LBUTTONUP, wp, lp);
  if (IsImageButton(hwnd)) SetState(hwnd, wasPressed ? ButtonState::Hover : ButtonState::Normal, true);
  return result;
}

// Passes the message on, then shows `state` if the button is still there.
LRESULT PassOnThenShow(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, ButtonState state) {
  LRESULT result = CallPrevious(hwnd, msg, wp, lp);
  if (IsImageButton(hwnd)) SetState(hwnd, state, true);
  return result;
}

// The properties go before the system button's own destruction, so nothing can find them later.
LRESULT OnButtonDestroyed(HWND hwnd, WPARAM wp, LPARAM lp) {
  auto previous = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kPreviousProcProp));
  GdiObject<HBITMAP> cache(CacheOf(hwnd));
  RemoveTooltip(hwnd);
  for (const wchar_t* name : {kTypeProp, kPreviousProcProp, kPlacementProp, kCacheProp, kStateProp, kFocusProp})
    RemovePropW(hwnd, name);
  for (const wchar_t* name : kImageProps) RemovePropW(hwnd, name);
  return previous ? CallWindowProcW(previous, hwnd, WM_NCDESTROY, wp, lp) : DefWindowProcW(hwnd, WM_NCDESTROY, wp, lp);
}

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SETFOCUS: return OnFocus(hwnd, msg, wp, lp, true);
    case WM_KILLFOCUS: return OnFocus(hwnd, msg, wp, lp, false);
    case WM_ENABLE: return OnEnable(hwnd, wp, lp);
    case WM_PAINT: return OnPaint(hwnd);
    case WM_ERASEBKGND: return 1;
    case WM_NCPAINT: return 0;
    case BM_SETSTATE: return OnSetState(hwnd, wp, lp);
    case WM_MOUSEMOVE: return OnMouseMove(hwnd, wp, lp);
    case WM_LBUTTONDOWN: return PassOnThenShow(hwnd, msg, wp, lp, ButtonState::Pressed);
    case WM_LBUTTONUP: return OnLeftButtonUp(hwnd, wp, lp);
    case WM_MOUSELEAVE: return PassOnThenShow(hwnd, msg, wp, lp, ButtonState::Normal);
    case WM_NCDESTROY: return OnButtonDestroyed(hwnd, wp, lp);
    default: return CallPrevious(hwnd, msg, wp, lp);
  }
}

// --- The parent's procedure ----------------------------------------------------------------

LRESULT OnNotify(HWND hwnd, WPARAM wp, LPARAM lp) {
  const auto* header = reinterpret_cast<const NMHDR*>(lp);
  if (header && header->code == static_cast<UINT>(NM_CUSTOMDRAW) && IsImageButton(header->hwndFrom))
    Draw(header->hwndFrom, nullptr);
  return CallPrevious(hwnd, WM_NOTIFY, wp, lp);
}

// Managed controls draw their own background: the parent gives them none.
LRESULT OnControlColour(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (!IntProp(reinterpret_cast<HWND>(lp), kTypeProp)) return CallPrevious(hwnd, msg, wp, lp);
  SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
  return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

LRESULT OnParentDestroyed(HWND hwnd, WPARAM wp, LPARAM lp) {
  auto previous = reinterpret_cast<WNDPROC>(RemovePropW(hwnd, kPreviousProcProp));
  return previous ? CallWindowProcW(previous, hwnd, WM_NCDESTROY, wp, lp) : DefWindowProcW(hwnd, WM_NCDESTROY, wp, lp);
}

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NOTIFY: return OnNotify(hwnd, wp, lp);
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: return OnControlColour(hwnd, msg, wp, lp);
    case WM_NCDESTROY: return OnParentDestroyed(hwnd, wp, lp);
    default: return CallPrevious(hwnd, msg, wp, lp);
  }
}

void StoreImage(HWND hwnd, ButtonState state, GpImage* image) {
  SetPropW(hwnd, kImageProps[static_cast<int>(state)], image);
}

}  // namespace

ButtonState DrawStateOf(HWND button) { return IsImageButton(button) ? StateOf(button) : ButtonState::Normal; }

bool PngButton::Attach(HWND window) {
  if (!window || !::IsWindow(window)) return false;
  HWND parent = ParentOf(window);
  if (parent && !GetPropW(parent, kTypeProp)) {
    Subclass(parent, ParentProc);
    SetWindowLongPtrW(parent, GWL_STYLE,
                      GetWindowLongPtrW(parent, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_CLIPCHILDREN));
  }
  SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_CLIPSIBLINGS));
  SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
  hwnd_ = window;
  return true;
}

HWND PngButton::Create(HWND parent, int left, int top, int width, int height, std::string_view text) {
  HWND button = CreateWindowExW(WS_EX_TRANSPARENT, L"Button", GbkToWideLossy(text).c_str(), WS_CHILD | WS_VISIBLE, left,
                                top, width, height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!button) return nullptr;
  MakeImageButton(button);
  return button;
}

bool PngButton::MakeImageButton(HWND button, GpImage* normal) {
  if (!Attach(button)) return false;
  SetIntProp(button, kTypeProp, kImageButtonType);
  if (normal) StoreImage(button, ButtonState::Normal, normal);
  LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
  SetWindowLongPtrW(button, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
  Subclass(button, ButtonProc);
  Redraw(button);
  return true;
}

void PngButton::SetImages(const StateImages& images) {
  if (!hwnd_) return;
  GpImage* given[4] = {images.normal, images.hover, images.pressed, images.disabled};
  for (int i = 0; i < 4; ++i)
    if (given[i]) StoreImage(hwnd_, static_cast<ButtonState>(i), given[i]);
}

void PngButton::SetImagesFromData(const StateImageData& data) {
  if (!hwnd_) return;
  std::string_view given[4] = {data.normal, data.hover, data.pressed, data.disabled};
  for (int i = 0; i < 4; ++i) {
    if (given[i].empty()) continue;
    Image decoded(LoadPictureFirstFrame(given[i]));
    StoreImage(hwnd_, static_cast<ButtonState>(i), decoded.get());
    decoded_[i] = std::move(decoded);  // the old picture goes only once nothing points at it
  }
}

void PngButton::SetPlacement(int placement) {
  if (hwnd_) SetIntProp(hwnd_, kPlacementProp, placement);
}

void PngButton::MoveTo(std::optional<int> left, std::optional<int> top, std::optional<int> width,
                       std::optional<int> height, bool noRedraw) {
  if (!hwnd_) return;
  RECT r{};
  GetWindowRect(hwnd_, &r);
  if (HWND parent = ParentOf(hwnd_)) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (!left && !top) flags |= SWP_NOMOVE;
  if (!width && !height) flags |= SWP_NOSIZE;
  if (noRedraw) flags |= SWP_NOREDRAW;
  SetWindowPos(hwnd_, nullptr, left.value_or(r.left), top.value_or(r.top), width.value_or(r.right - r.left),
               height.value_or(r.bottom - r.top), flags);
}

void PngButton::SetTooltip(std::string_view text, bool followCursor) {
  if (hwnd_) ui::SetTooltip(hwnd_, text, followCursor);
}

void PngButton::SetProperty(const wchar_t* name, HANDLE value) const {
  if (hwnd_) SetPropW(hwnd_, name, value);
}

HANDLE PngButton::Property(const wchar_t* name) const { return hwnd_ ? GetPropW(hwnd_, name) : nullptr; }

LRESULT PngButton::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  return hwnd_ ? SendMessageW(hwnd_, message, wParam, lParam) : 0;
}

void PngButton::Invalidate() const {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

}  // namespace xl::ui
