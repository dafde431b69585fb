#include "ui/dui_host.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "platform/codepage.h"
#include "ui/dpi.h"
#include "ui/dui_label.h"
#include "ui/dui_sys_button.h"
#include "ui/fonts.h"
#include "ui/ui_start.h"

namespace xl::ui {
namespace {

constexpr unsigned kButtonKinds[] = {kCloseButton,  kMaximizeButton, kMinimizeButton, kExtraButton1,
                                     kExtraButton2, kExtraButton3,   kExtraButton4};

RECT ToRect(RectF r) {
  return RECT{static_cast<LONG>(std::floor(r.X)), static_cast<LONG>(std::floor(r.Y)),
              static_cast<LONG>(std::ceil(r.X + r.Width)), static_cast<LONG>(std::ceil(r.Y + r.Height))};
}

bool Intersects(RectF r, const RECT& clip) {
  return r.X < clip.right && r.Y < clip.bottom && r.X + r.Width > clip.left && r.Y + r.Height > clip.top;
}

LONG_PTR Style(HWND w) { return GetWindowLongPtrW(w, GWL_STYLE); }
void SetStyle(HWND w, LONG_PTR s) { SetWindowLongPtrW(w, GWL_STYLE, s); }

}  // namespace

DuiHost::DuiHost() = default;

DuiHost::~DuiHost() {
  if (window_) Detach();
}

DuiHost* DuiHost::FromWindow(HWND window) {
  return window ? static_cast<DuiHost*>(GetPropW(window, kPropControl)) : nullptr;
}

bool DuiHost::Attach(HWND window, const HostOptions& o) {
  if (!IsWindow(window) || window_ == window || window_ || FromWindow(window)) return false;
  window_ = window;
  dpi_ = DpiOf(window);
  busy_ = true;
  backgroundColour_ = o.backgroundColour;
  if (!o.backgroundImage.empty()) background_.Load(o.backgroundImage, false);
  skinSource_ = o.skinSource;
  layerAlpha_ = o.layerAlpha;
  frameStyle_ = o.frameStyle;
  animations_ = o.animations;
  resizable_ = o.resizable.value_or((Style(window) & WS_THICKFRAME) != 0);
  captionDrag_ = o.captionDrag;
  blurBehind_ = o.blurBehind.value_or(layerAlpha_ >= 0 && OsMajorVersion() >= 6);
  margins_ = o.margins;
  storedOption_ = o.storedOption;
  storedOption2_ = o.storedOption2;
  defaultCursor_ = DefaultCursor() ? DefaultCursor() : LoadCursorW(nullptr, IDC_ARROW);
  ApplyStyleFlags(o);
  SetPropW(window, kPropControl, this);
  LONG_PTR style = Style(window) & ~(WS_THICKFRAME | WS_DLGFRAME | WS_BORDER);
  if (!(styleFlags_ & kMinimizeButton)) style &= ~WS_MINIMIZEBOX;
  if (!(styleFlags_ & kMaximizeButton)) style &= ~WS_MAXIMIZEBOX;
  SetStyle(window, style | WS_POPUP);
  RECT r;
  GetWindowRect(window, &r);
  size_ = SIZE{r.right - r.left, r.bottom - r.top};
  CreateBuffers();
  if (Layered()) SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
  previousProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  bool animations = animations_;
  animations_ = false;
  if (styleFlags_ & kCaptionText) CreateCaption();
  float x = static_cast<float>(size_.cx) - Pixels(12);
  for (unsigned kind : kButtonKinds) {
    if (!(styleFlags_ & kind)) continue;
    float w = Pixels(kind == kCloseButton ? 39.0f : 28.0f);
    x -= w;
    ElementOptions eo;
    eo.rect = RectF(x, Pixels(7), w, Pixels(19));
    eo.fadeInterval = 20;
    sysButtons_.push_back(Add<DuiSysButton>(eo, kind));
  }
  animations_ = animations;
  busy_ = false;
  Compose();
  CreateTooltip();
  if (resizable_) SetStyle(window, Style(window) | WS_THICKFRAME);
  // Tell the system the frame changed, so the client area becomes the whole window.
  SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

void DuiHost::ApplyStyleFlags(const HostOptions& o) {
  if (o.styleFlags && *o.styleFlags == 0) {
    styleFlags_ = 0;
    return;
  }
  SetStyle(window_, Style(window_) | WS_SYSMENU);
  unsigned flags = o.styleFlags.value_or(0);
  if (!o.styleFlags || (flags & kDeriveButtons)) {
    flags |= kDrawIcon | kCaptionText | kCloseButton;
    if (Style(window_) & WS_MAXIMIZEBOX) flags |= kMaximizeButton;
    if (Style(window_) & WS_MINIMIZEBOX) flags |= kMinimizeButton;
  }
  styleFlags_ = flags;
}

bool DuiHost::CreateBuffers() {
  WindowDC dc(window_);
  bool ok = buffer_.Create(dc.get(), size_.cx, size_.cy);
  second_.Create(dc.get(), size_.cx, size_.cy);
  return ok;
}

void DuiHost::CreateCaption() {
  wchar_t text[257] = {};
  GetWindowTextW(window_, text, 256);
  ElementOptions eo;
  float left = Pixels((styleFlags_ & kDrawIcon) ? 33.0f : 11.0f);
  eo.rect = RectF(left, Pixels(9), std::max(Pixels(10), static_cast<float>(size_.cx) - left - Pixels(60)), Pixels(18));
  caption_ = Add<DuiLabel>(eo, FromWide(text), TextColour(0xFFFFFF, 250));
}

void DuiHost::CreateTooltip() {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, L"", WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  if (!tooltip_) return;
  SetWindowPos(tooltip_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, Scaled(1024, dpi_));
  SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(TooltipFont(dpi_)), FALSE);
}

void DuiHost::Detach() {
  HWND window = window_;
  if (!window) return;
  if (previousProc_) SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
  previousProc_ = nullptr;
  redrawPosted_ = false;
  pendingRedraw_.clear();
  // Children first, newest first, so every element still finds its parent while it goes.
  while (!owned_.empty()) DestroyElement(owned_.back().get());
  dead_.clear();
  caption_ = nullptr;
  sysButtons_.clear();
  accessKeys_.clear();
  background_.Reset();
  if (tooltip_) {
    UpdateTooltip(nullptr);
    DestroyWindow(tooltip_);
  }
  tooltip_ = nullptr;
  if (GetCapture() == window) ReleaseCapture();
  buffer_.Release();
  second_.Release();
  RemovePropW(window, kPropControl);
  window_ = nullptr;
}

// ---- elements ----

void DuiHost::Adopt(std::unique_ptr<DuiElement> element) {
  DuiElement* e = element.get();
  e->id_ = nextId_++;
  owned_.push_back(std::move(element));
  if (e->parent_)
    e->parent_->children_.push_back(e);
  else
    topLevel_.push_back(e);
  e->Dispatch(kElementCreated);
  e->RequestRedraw();
}

void DuiHost::DestroyElement(DuiElement* element) {
  if (!element || element->dead_) return;
  while (!element->children_.empty()) DestroyElement(element->children_.back());
  element->Dispatch(kElementDestroyed);
  Unlink(element);
  element->dead_ = true;
  InvalidateRect(element->rect_);
  auto it = std::find_if(owned_.begin(), owned_.end(), [&](auto& p) { return p.get() == element; });
  if (it == owned_.end()) return;
  dead_.push_back(std::move(*it));
  owned_.erase(it);
  ReleaseDeadElements();
}

bool DuiHost::Reparent(DuiElement* e, DuiElement* parent) {
  if (e->dead_) return false;
  if (parent == e->parent_) return true;
  if (parent && (parent->dead_ || &parent->host_ != this)) return false;
  for (DuiElement* p = parent; p; p = p->parent_)
    if (p == e) return false;  // it would become its own ancestor
  auto& from = e->parent_ ? e->parent_->children_ : topLevel_;
  from.erase(std::remove(from.begin(), from.end(), e), from.end());
  e->parent_ = parent;
  (parent ? parent->children_ : topLevel_).push_back(e);
  InvalidateRect(e->rect_);
  return true;
}

void DuiHost::Unlink(DuiElement* e) {
  if (window_) KillTimer(window_, e->id_);
  auto& siblings = e->parent_ ? e->parent_->children_ : topLevel_;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), e), siblings.end());
  if (focused_ == e) focused_ = nullptr;
  if (hot_ == e) {
    hot_ = nullptr;
    UpdateTooltip(nullptr);
  }
  if (pressed_ == e) {
    pressed_ = nullptr;
    pressing_ = false;
  }
  if (caption_ == e) caption_ = nullptr;
  sysButtons_.erase(std::remove(sysButtons_.begin(), sysButtons_.end(), e), sysButtons_.end());
  std::erase_if(accessKeys_, [&](auto& k) { return k.second == e; });
}

void DuiHost::ReleaseDeadElements() {
  if (dispatchDepth_ == 0) dead_.clear();
}

std::vector<DuiElement*> DuiHost::Elements() const {
  std::vector<DuiElement*> out;
  for (auto& e : owned_) out.push_back(e.get());
  return out;
}

DuiElement* DuiHost::FindElement(UINT_PTR id) const {
  for (auto& e : owned_)
    if (e->id_ == id) return e.get();
  return nullptr;
}

DuiElement* DuiHost::HitTest(float x, float y) const {
  const std::vector<DuiElement*>* chain = &topLevel_;
  DuiElement* found = nullptr;
  for (bool deeper = true; deeper;) {
    deeper = false;
    for (auto it = chain->rbegin(); it != chain->rend(); ++it) {
      DuiElement* e = *it;
      RectF r = e->rect_;
      if (!e->visible_ || e->disabled_ || x < r.X || y < r.Y || x >= r.X + r.Width || y >= r.Y + r.Height) continue;
      found = e;
      chain = &e->children_;
      deeper = true;
      break;
    }
  }
  return found;
}

void DuiHost::SetAccessKey(DuiElement* element, wchar_t key) {
  std::erase_if(accessKeys_, [&](auto& k) { return k.second == element; });
  if (key) accessKeys_.emplace_back(key, element);
}

GpImage* DuiHost::BackgroundImage() const {
  if (background_) return background_.get();
  DuiHost* source = skinSource_ ? FromWindow(skinSource_) : nullptr;
  return source && source != this ? source->background_.get() : nullptr;
}

// ---- drawing ----

void DuiHost::Compose() {
  if (!window_) return;
  ComposeRect(RECT{0, 0, size_.cx, size_.cy});
}

void DuiHost::ComposeRect(const RECT& rect) {
  if (busy_) return;
  if (buffer_.Valid()) Draw(buffer_.graphics(), rect);
  Push(rect);
}

void DuiHost::Draw(GpGraphics* g, const RECT& clip) {
  gp::GdipSetClipRectI(g, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top,
                       Gdiplus::CombineModeReplace);
  DrawBackground(g);
  if (styleFlags_ & kDrawIcon) DrawIcon(g);
  if (customPaint_) customPaint_(window_, g, size_.cx, size_.cy);
  if (frameStyle_ != 1) DrawBorder(g);
  DrawElements(g, topLevel_, clip);
  gp::GdipResetClip(g);
}

void DuiHost::DrawBackground(GpGraphics* g) {
  int alpha = Layered() ? layerAlpha_ : 255;
  uint32_t colour = backgroundColour_ >= 0 ? static_cast<uint32_t>(backgroundColour_) : GetSysColor(COLOR_BTNFACE);
  gp::GdipGraphicsClear(g, ColourToArgb(colour, alpha));
  GpImage* image = BackgroundImage();
  if (!image) return;
  UINT iw = 0, ih = 0;
  gp::GdipGetImageWidth(image, &iw);
  gp::GdipGetImageHeight(image, &ih);
  float W = static_cast<float>(size_.cx), H = static_cast<float>(size_.cy);
  float w = static_cast<float>(iw), h = static_cast<float>(ih);
  RECT m = margins_;
  if (m.left == 0 && m.top == 0 && m.right == 0 && m.bottom == 0) {
    DrawImageAlpha(g, image, RectF(0, 0, W, H), RectF(0, 0, w, h), 255);
    return;
  }
  // Nine-grid: corners kept, edges stretched along one axis, the middle along both.
  float sx[4] = {0, float(m.left), w - float(m.right), w}, sy[4] = {0, float(m.top), h - float(m.bottom), h};
  float dx[4] = {0, float(m.left), W - float(m.right), W}, dy[4] = {0, float(m.top), H - float(m.bottom), H};
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col)
      if (dx[col + 1] > dx[col] && dy[row + 1] > dy[row] && sx[col + 1] > sx[col] && sy[row + 1] > sy[row])
        DrawImageAlpha(g, image, RectF(dx[col], dy[row], dx[col + 1] - dx[col], dy[row + 1] - dy[row]),
                       RectF(sx[col], sy[row], sx[col + 1] - sx[col], sy[row + 1] - sy[row]), 255);
}

void DuiHost::DrawIcon(GpGraphics* g) {
  HICON icon = reinterpret_cast<HICON>(SendMessageW(window_, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window_, GCLP_HICONSM));
  if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window_, GCLP_HICON));
  if (!icon) return;
  GpBitmap* bitmap = nullptr;
  if (gp::GdipCreateBitmapFromHICON(icon, &bitmap) != Gdiplus::Ok) return;
  ui::Bitmap owned(bitmap);
  UINT w = 0, h = 0;
  gp::GdipGetImageWidth(bitmap, &w);
  gp::GdipGetImageHeight(bitmap, &h);
  DrawImageAlpha(g, bitmap, RectF(Pixels(11), Pixels(11), Pixels(16), Pixels(16)), RectF(0, 0, float(w), float(h)),
                 255);
}

void DuiHost::DrawBorder(GpGraphics* g) {
  Gdiplus::GpPen* pen = nullptr;
  if (gp::GdipCreatePen1(0x70000000, 1.0f, Gdiplus::UnitPixel, &pen) != Gdiplus::Ok) return;
  gp::GdipSetSmoothingMode(g, Gdiplus::SmoothingModeNone);
  gp::GdipDrawRectangleI(g, pen, 0, 0, size_.cx - 1, size_.cy - 1);
  gp::GdipSetSmoothingMode(g, Gdiplus::SmoothingModeAntiAlias);
  gp::GdipDeletePen(pen);
}

void DuiHost::DrawElements(GpGraphics* g, const std::vector<DuiElement*>& chain, const RECT& clip) {
  for (DuiElement* e : chain) {
    if (!e->visible_ || !Intersects(e->rect_, clip)) continue;
    e->Paint(g);
    DrawElements(g, e->children_, clip);
  }
}

void DuiHost::Push(const RECT& rect) {
  if (!window_) return;
  if (Layered() && buffer_.Valid())
    PushLayered(buffer_.dc());
  else
    ::InvalidateRect(window_, &rect, FALSE);
}

void DuiHost::PushLayered(HDC source) {
  POINT origin{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UpdateLayeredWindow(window_, nullptr, nullptr, &size_, source, &origin, 0, &blend, ULW_ALPHA);
}

void DuiHost::InvalidateRect(RectF rect) {
  if (!window_ || rect.Width <= 0 || rect.Height <= 0) return;
  RECT r = ToRect(rect);
  // Merge with an overlapping rectangle already waiting, keep separate ones apart.
  for (RECT& p : pendingRedraw_) {
    RECT both;
    if (IntersectRect(&both, &p, &r)) {
      UnionRect(&p, &p, &r);
      r = RECT{};
      break;
    }
  }
  if (!IsRectEmpty(&r)) pendingRedraw_.push_back(r);
  if (!redrawPosted_) redrawPosted_ = PostMessageW(window_, kHostRedraw, 0, 0) != FALSE;
}

void DuiHost::RedrawPending() {
  redrawPosted_ = false;
  std::vector<RECT> rects;
  rects.swap(pendingRedraw_);
  if (busy_ || rects.empty()) return;
  RECT all = rects.front();
  for (const RECT& r : rects) {
    if (buffer_.Valid()) Draw(buffer_.graphics(), r);
    UnionRect(&all, &all, &r);
  }
  if (Layered() && buffer_.Valid())
    PushLayered(buffer_.dc());
  else
    for (const RECT& r : rects) ::InvalidateRect(window_, &r, FALSE);
}

// ---- the window procedure ----

LRESULT CALLBACK DuiHost::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DuiHost* host = FromWindow(window);
  if (!host || host->window_ != window) return DefWindowProcW(window, message, wParam, lParam);
  return host->HandleMessage(message, wParam, lParam);
}

LRESULT DuiHost::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) {
  return previousProc_ ? CallWindowProcW(previousProc_, window_, message, wParam, lParam)
                       : DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT DuiHost::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (messageHook_) {
    LRESULT hooked = messageHook_(window_, message, wParam, lParam);
    if (hooked != kUnhandled) return hooked;
    if (!window_) return 0;  // the hook destroyed the window
  }
  switch (message) {
    case WM_DESTROY: {
      HWND w = window_;
      WNDPROC p = previousProc_;
      Detach();
      return CallWindowProcW(p, w, message, wParam, lParam);
    }
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) OnSize();
      break;
    case WM_DPICHANGED: OnDpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_ACTIVATE: OnActivate(LOWORD(wParam) != WA_INACTIVE); break;
    case WM_SETTEXT: return OnSetText(reinterpret_cast<LPCWSTR>(lParam));
    case WM_PAINT: OnPaint(); return 0;
    case WM_CLOSE: return OnClose(message, wParam, lParam);
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wParam))) return 1;
      break;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); return 0;
    case WM_STYLECHANGED: OnStyleChanged(); break;
    case WM_NCCALCSIZE:  // the client area is the whole window
      if (wParam) return 1;
      break;
    case WM_NCACTIVATE: return 1;
    case WM_NCPAINT: return 0;
    case WM_KEYDOWN: OnKeyDown(wParam, lParam); break;
    case WM_SYSKEYDOWN: OnSysKeyDown(wParam); break;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_KEYUP:
    case WM_CHAR:
    case WM_IME_COMPOSITION:
    case WM_COMMAND:
    case WM_MOUSEWHEEL: ToFocused(message, wParam, lParam); break;
    case WM_MOUSEMOVE:
      OnMouseMoveTracking();
      OnMouse(message, wParam, lParam);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: OnMouse(message, wParam, lParam); break;
    case WM_LBUTTONDBLCLK: return OnDoubleClick(lParam);
    case WM_MOUSELEAVE: OnMouseLeave(); break;
    case kHostGrantFocus:
    case kHostAccessKeys:
    case kHostPushBuffer:
    case kHostRepaintElement:
    case kHostRedraw:
    case kHostElementMoved:
    case kHostForward1:
    case kHostForward2: return OnPrivate(message, wParam, lParam);
    default: break;
  }
  return window_ ? CallPrevious(message, wParam, lParam) : 0;
}

void DuiHost::OnSize() {
  RECT r;
  GetWindowRect(window_, &r);
  SIZE size{r.right - r.left, r.bottom - r.top};
  if (size.cx == size_.cx && size.cy == size_.cy) return;
  size_ = size;
  if (sizeChanged_) sizeChanged_(window_, size.cx, size.cy);
  CreateBuffers();
  Compose();
}

float DuiHost::Pixels(float design) const { return Scaled(design, dpi_); }

GpFont* DuiHost::TextFont() const { return UiFont(dpi_); }

// Moved to a monitor of another DPI: every element keeps its place and size in design pixels,
// the window takes the size the system suggests, and texts are measured and drawn afresh in
// the font of the new DPI.
void DuiHost::OnDpiChanged(UINT dpi, const RECT* suggested) {
  if (dpi == 0 || dpi == dpi_) return;
  const float ratio = static_cast<float>(dpi) / static_cast<float>(dpi_);
  dpi_ = dpi;
  for (auto& e : owned_) {
    RectF r = e->rect_;
    e->Move(RectF(r.X * ratio, r.Y * ratio, r.Width * ratio, r.Height * ratio));
    e->bitmap_.reset();  // the text font changed with the DPI
  }
  if (tooltip_) SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(TooltipFont(dpi_)), FALSE);
  if (suggested)
    SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  Compose();
}

void DuiHost::OnActivate(bool active) {
  if (active || !pressing_) return;
  ReleaseCapture();
  pressed_ = nullptr;
  pressing_ = false;
}

LRESULT DuiHost::OnSetText(LPCWSTR text) {
  LRESULT result = CallPrevious(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  if ((styleFlags_ & kCaptionText) && caption_) caption_->SetText(FromWide(text ? text : L""));
  return result ? result : 1;
}

void DuiHost::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window_, &ps);
  if (buffer_.Valid()) {
    BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left, ps.rcPaint.bottom - ps.rcPaint.top,
           buffer_.dc(), ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
  } else {
    // No back buffer: paint straight onto the window.
    GpGraphics* raw = nullptr;
    if (gp::GdipCreateFromHDC(dc, &raw) == Gdiplus::Ok) {
      ui::Graphics g(raw);
      PrepareGraphics(raw);
      Draw(raw, ps.rcPaint);
    }
  }
  EndPaint(window_, &ps);
}

LRESULT DuiHost::OnClose(UINT message, WPARAM wParam, LPARAM lParam) {
  if (closing_) return 0;  // a second close while the effect plays
  closing_ = true;
  if (closeEffect_ != 0 && IsWindowVisible(window_)) PlayCloseEffect();
  closing_ = false;
  if (!window_) return 0;
  ShowWindow(window_, SW_HIDE);
  return CallPrevious(message, wParam, lParam);
}

bool DuiHost::OnSetCursor(HWND target) {
  if (target != window_) return false;
  HCURSOR cursor = hot_ && hot_->cursor_ ? hot_->cursor_ : defaultCursor_;
  ::SetCursor(cursor);
  return true;
}

void DuiHost::OnGetMinMaxInfo(MINMAXINFO* info) {
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  // A maximised window leaves its seven-pixel edge off the screen on every side.
  const int edge = Scaled(7, dpi_);
  info->ptMaxSize = POINT{work.right - work.left + 2 * edge, work.bottom - work.top + 2 * edge};
  info->ptMaxPosition = POINT{work.left - edge, work.top - edge};
  if (styleFlags_ == 0) {
    info->ptMinTrackSize = POINT{Scaled(21, dpi_), Scaled(20, dpi_)};
    return;
  }
  int buttons = 0;
  for (unsigned kind : kButtonKinds) buttons += (styleFlags_ & kind) ? 1 : 0;
  info->ptMinTrackSize =
      POINT{Scaled(28 * buttons + ((styleFlags_ & kCloseButton) ? 11 : 0) + 36, dpi_), Scaled(40, dpi_)};
}

void DuiHost::OnStyleChanged() {
  LONG_PTR style = Style(window_);
  if (style & (WS_DLGFRAME | WS_BORDER)) SetStyle(window_, style & ~(WS_DLGFRAME | WS_BORDER));
}

// Every timer of a host is an element's (its id): the host runs no timer of its own.
void DuiHost::OnTimer(UINT_PTR id) {
  if (DuiElement* e = FindElement(id))
    e->Dispatch(kFadeTick, id, 0);
  else
    KillTimer(window_, id);  // its element is gone
}

LRESULT DuiHost::ToFocused(UINT message, WPARAM wParam, LPARAM lParam) {
  return focused_ ? focused_->Dispatch(message, wParam, lParam) : kUnhandled;
}

LRESULT DuiHost::OnPrivate(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kHostGrantFocus: SetFocus(FindElement(wParam), false); return 0;
    case kHostAccessKeys:
      if (DuiElement* e = FindElement(wParam)) SetAccessKey(e, static_cast<wchar_t>(lParam));
      return 0;
    case kHostPushBuffer:
      if (Layered() && buffer_.Valid()) PushLayered(buffer_.dc());
      return 0;
    case kHostRepaintElement:
      if (DuiElement* e = FindElement(wParam)) e->Dispatch(kElementPaint);
      return 0;
    case kHostRedraw: RedrawPending(); return 0;
    case kHostElementMoved:
      if (DuiElement* e = FindElement(wParam)) {
        e->Dispatch(kMoved);
        if (!busy_ && lParam == 1) InvalidateRect(e->previousRect_), InvalidateRect(e->rect_);
      }
      return 0;
    case kHostForward1:
    case kHostForward2:
      if (DuiElement* e = FindElement(static_cast<UINT_PTR>(lParam)))
        return e->Dispatch(message, 0, static_cast<LPARAM>(wParam));
      return kUnhandled;
    default: return kUnhandled;
  }
}

}  // namespace xl::ui
