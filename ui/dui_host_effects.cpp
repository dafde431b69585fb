// DuiHost: showing and closing with effects, blur behind the window and the window region.
#include <dwmapi.h>

#include <algorithm>
#include <cmath>

#include "ui/dpi.h"
#include "ui/dui_host.h"
#include "ui/input_hold.h"
#include "ui/ui_start.h"

namespace xl::ui {
namespace {

// Blur needs the compositor, which Windows has from 6 (Vista) on and Wine never reports.
bool CompositionOn() {
  BOOL on = FALSE;
  return OsMajorVersion() >= 6 && SUCCEEDED(DwmIsCompositionEnabled(&on)) && on;
}

}  // namespace

void DuiHost::ApplyBlur(const RECT& rect, int corner) {
  if (!blurBehind_ || frameStyle_ == 1 || !CompositionOn()) return;
  GdiObject<HRGN> region(CreateRoundRectRgn(rect.left, rect.top, rect.right, rect.bottom, corner, corner));
  DWM_BLURBEHIND blur{};
  blur.dwFlags = DWM_BB_ENABLE | DWM_BB_BLURREGION;
  blur.fEnable = TRUE;
  blur.hRgnBlur = region.get();
  DwmEnableBlurBehindWindow(window_, &blur);
}

// The blurred area: the window less its six-pixel shadow band.
RECT DuiHost::BlurRect() const {
  const int band = Scaled(6, dpi_), edge = Scaled(5, dpi_);
  return RECT{band, band, size_.cx - edge, size_.cy - edge};
}

void DuiHost::SetRoundedRegion(int inset, int corner) {
  if (IsZoomed(window_)) --inset;
  HRGN region = CreateRoundRectRgn(inset, inset, size_.cx - inset + 1, size_.cy - inset + 1, corner, corner);
  // The window owns the region once SetWindowRgn succeeds.
  if (region && !SetWindowRgn(window_, region, TRUE)) DeleteObject(region);
}

void DuiHost::PumpFor(DWORD ms, const InputHold& hold) {
  Sleep(ms);
  MSG m;
  while (window_ && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));  // leave it for the loop that owns it
      break;
    }
    if (hold.Keeps(m)) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

void DuiHost::Show(int effect, int durationMs) {
  if (!window_) return;
  if (effect == 0 || !second_.Valid() || !buffer_.Valid()) {
    ApplyBlur(BlurRect(), Scaled(6, dpi_));
    ShowWindow(window_, SW_SHOWNORMAL);
    Compose();
    return;
  }
  bool wasLayered = Layered();
  LONG_PTR exStyle = GetWindowLongPtrW(window_, GWL_EXSTYLE);
  if (!wasLayered) {
    SetWindowLongPtrW(window_, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    SetRoundedRegion(Scaled(6, dpi_), Scaled(5, dpi_));
  }
  busy_ = true;
  Compose();  // busy: nothing is pushed, but the buffer must hold the final image
  busy_ = false;
  if (buffer_.Valid()) Draw(buffer_.graphics(), RECT{0, 0, size_.cx, size_.cy});
  busy_ = true;
  second_.Clear(0);
  PushLayered(second_.dc());
  ShowWindow(window_, SW_SHOWNORMAL);
  if (blurBehind_) ApplyBlur(RECT{0, 0, 0, 0}, Scaled(6, dpi_));
  PlayOpenEffect(effect, durationMs);
  if (!window_) return;
  PushLayered(buffer_.dc());
  ApplyBlur(BlurRect(), Scaled(6, dpi_));
  if (!wasLayered) SetWindowLongPtrW(window_, GWL_EXSTYLE, exStyle);
  busy_ = false;
  Compose();
}

int EffectFrameCount(int kind, bool closing) {
  if (!closing) return 10;
  return kind == 2 ? 20 : 15;
}

EffectFrame EffectFrameAt(int kind, int i, bool closing, int width, int height, int durationMs, UINT dpi) {
  const int frames = EffectFrameCount(kind, closing);
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  EffectFrame f{RectF(0, 0, w, h), false, 0.0f, 0, 0};
  if (!closing) {
    f.alpha = 25 * (i - 1);
    f.pauseMs = static_cast<DWORD>(std::max(durationMs, 0) / 10);
    if (kind == 7) {
      // Grows from the centre: the inset shrinks by a tenth of 10 % of the size a frame.
      float dx = static_cast<float>((10 - i) * (static_cast<int>(w * 0.1f) / 10));
      float dy = static_cast<float>((10 - i) * (static_cast<int>(h * 0.1f) / 10));
      f.dest = RectF(dx, dy, w - 2 * dx, h - 2 * dy);
      f.pauseMs = static_cast<DWORD>(11 - i);
    } else if (kind != 1) {
      f.strips = true;
      f.spread = static_cast<float>(frames - i + 1) / static_cast<float>(frames);
    }
    return f;
  }
  f.alpha = std::max(kind == 2 ? 255 - 12 * i : 255 - 17 * i, 0);
  switch (kind) {
    case 1: f.pauseMs = 10; break;
    case 2: {
      // Swells by 1.5 pixels a frame up to 5, then shrinks 2 pixels a frame (design pixels).
      const float px = Scaled(1.0f, dpi);
      float grow = 1.5f * static_cast<float>(i);
      if (grow <= 5) {
        f.dest = RectF(-0.75f * i * px, -0.75f * i * px, w + grow * px, h + grow * px);
      } else {
        float c = 2.0f * static_cast<float>(i - 4);
        f.dest = RectF((c / 2 - 5) * px, (c / 2 - 5) * px, w + (10 - c) * px, h + (10 - c) * px);
      }
      f.pauseMs = static_cast<DWORD>(std::max(16 - i, 10));
      break;
    }
    case 7: {
      // Shrinks to the centre: the inset grows by a fifteenth of 10 % of the size a frame.
      float dx = static_cast<float>((i - 1) * (static_cast<int>(w * 0.1f) / frames));
      float dy = static_cast<float>((i - 1) * (static_cast<int>(h * 0.1f) / frames));
      f.dest = RectF(dx, dy, w - 2 * dx, h - 2 * dy);
      f.pauseMs = static_cast<DWORD>(std::max(13 - i, 1));
      break;
    }
    default:
      f.strips = true;
      f.spread = static_cast<float>(i) / static_cast<float>(frames);
      f.pauseMs = 8;
      break;
  }
  return f;
}

// While an effect plays, the other windows of the program get no input: the frames let
// messages run, and a click there would act in the middle of whatever opened or closed this
// window.
void DuiHost::PlayOpenEffect(int effect, int durationMs) {
  InputHold hold(window_);
  for (int i = 1, n = EffectFrameCount(effect, false); i <= n && window_; ++i) {
    EffectFrame frame = EffectFrameAt(effect, i, false, size_.cx, size_.cy, durationMs);
    second_.Clear(0);
    DrawEffectFrame(second_, effect, frame);
    PushLayered(second_.dc());
    PumpFor(frame.pauseMs, hold);
  }
}

void DuiHost::PlayCloseEffect() {
  if (!buffer_.Valid() || !second_.Valid()) return;
  if (!Layered()) SetWindowLongPtrW(window_, GWL_EXSTYLE, GetWindowLongPtrW(window_, GWL_EXSTYLE) | WS_EX_LAYERED);
  if (blurBehind_) ApplyBlur(RECT{0, 0, 0, 0}, Scaled(6, dpi_));
  busy_ = true;
  const int kind = closeEffect_;
  InputHold hold(window_);
  for (int i = 1, n = EffectFrameCount(kind, true); i <= n && window_; ++i) {
    EffectFrame frame = EffectFrameAt(kind, i, true, size_.cx, size_.cy, 200, dpi_);
    second_.Clear(0x00FFFFFF);
    DrawEffectFrame(second_, kind, frame);
    PushLayered(second_.dc());
    PumpFor(frame.pauseMs, hold);
  }
  if (!window_) return;
  second_.Clear(0);
  PushLayered(second_.dc());
  busy_ = false;
}

// Draws the composed image as the frame says: whole at its destination, or in strips.
void DuiHost::DrawEffectFrame(Surface& target, int kind, const EffectFrame& frame) {
  GpGraphics* g = target.graphics();
  GpImage* image = buffer_.bitmap();
  float w = static_cast<float>(size_.cx), h = static_cast<float>(size_.cy);
  int alpha = std::clamp(frame.alpha, 0, 255);
  if (!frame.strips) {
    DrawImageAlpha(g, image, frame.dest, RectF(0, 0, w, h), alpha);
    return;
  }
  // Every column slides by an amount that depends on its position, so the image breaks
  // into one-pixel stripes; kinds 3 and 4 slide down and up, the others outwards.
  for (int x = 0; x < size_.cx; ++x) {
    float phase = 0.5f + 0.5f * std::sin(static_cast<float>(x) * 0.21f);
    float shift = frame.spread * phase * h * 0.5f;
    float top = kind == 3 ? shift : kind == 4 ? -shift : shift / 2;
    float height = kind == 3 || kind == 4 ? h : h - shift;
    DrawImageAlpha(g, image, RectF(static_cast<float>(x), top, 1, height), RectF(static_cast<float>(x), 0, 1, h),
                   alpha);
  }
}

}  // namespace xl::ui
