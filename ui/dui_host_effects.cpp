// DuiHost: showing and closing with effects, blur behind the window, the window region
// and the host's own fade.
#include <dwmapi.h>

#include <algorithm>
#include <cmath>

#include "ui/dui_host.h"
#include "ui/ui_start.h"

namespace xl::ui {
namespace {

constexpr UINT_PTR kHostFadeTimer = 1;

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

void DuiHost::SetRoundedRegion(int inset, int corner) {
  if (IsZoomed(window_)) --inset;
  HRGN region = CreateRoundRectRgn(inset, inset, size_.cx - inset + 1, size_.cy - inset + 1, corner, corner);
  // The window owns the region once SetWindowRgn succeeds.
  if (region && !SetWindowRgn(window_, region, TRUE)) DeleteObject(region);
}

void DuiHost::PumpFor(DWORD ms) {
  Sleep(ms);
  MSG m;
  while (window_ && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));  // leave it for the loop that owns it
      break;
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

void DuiHost::Show(int effect, int durationMs) {
  if (!window_) return;
  if (effect == 0 || !second_.Valid() || !buffer_.Valid()) {
    ApplyBlur(RECT{6, 6, size_.cx - 5, size_.cy - 5}, 6);
    ShowWindow(window_, SW_SHOWNORMAL);
    Compose();
    return;
  }
  bool wasLayered = Layered();
  LONG_PTR exStyle = GetWindowLongPtrW(window_, GWL_EXSTYLE);
  if (!wasLayered) {
    SetWindowLongPtrW(window_, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    SetRoundedRegion(6, 5);
  }
  busy_ = true;
  Compose();  // busy: nothing is pushed, but the buffer must hold the final image
  busy_ = false;
  if (buffer_.Valid()) Draw(buffer_.graphics(), RECT{0, 0, size_.cx, size_.cy});
  busy_ = true;
  second_.Clear(0);
  PushLayered(second_.dc());
  ShowWindow(window_, SW_SHOWNORMAL);
  if (blurBehind_) ApplyBlur(RECT{0, 0, 0, 0}, 6);
  PlayOpenEffect(effect, durationMs);
  if (!window_) return;
  PushLayered(buffer_.dc());
  ApplyBlur(RECT{6, 6, size_.cx - 5, size_.cy - 5}, 6);
  if (!wasLayered) SetWindowLongPtrW(window_, GWL_EXSTYLE, exStyle);
  busy_ = false;
  Compose();
}

void DuiHost::PlayOpenEffect(int effect, int durationMs) {
  for (int i = 1; i <= 10 && window_; ++i) {
    second_.Clear(0);
    DrawEffectFrame(second_, effect, i, 10, 25 * (i - 1), false);
    PushLayered(second_.dc());
    DWORD pause = effect == 7 ? static_cast<DWORD>(11 - i) : static_cast<DWORD>(std::max(durationMs, 0) / 10);
    PumpFor(pause);
  }
}

void DuiHost::PlayCloseEffect() {
  if (!buffer_.Valid() || !second_.Valid()) return;
  if (!Layered()) SetWindowLongPtrW(window_, GWL_EXSTYLE, GetWindowLongPtrW(window_, GWL_EXSTYLE) | WS_EX_LAYERED);
  if (blurBehind_) ApplyBlur(RECT{0, 0, 0, 0}, 6);
  busy_ = true;
  int kind = closeEffect_;
  int frames = kind == 2 ? 20 : 15;
  for (int i = 1; i <= frames && window_; ++i) {
    second_.Clear(0x00FFFFFF);
    int alpha = kind == 2 ? 255 - 12 * i : 255 - 17 * i;
    DrawEffectFrame(second_, kind, i, frames, alpha, true);
    PushLayered(second_.dc());
    DWORD pause = kind == 1 ? 10 : kind == 2 ? static_cast<DWORD>(std::max(16 - i, 10))
                : kind == 7 ? static_cast<DWORD>(std::max(13 - i, 1)) : 8;
    PumpFor(pause);
  }
  if (!window_) return;
  second_.Clear(0);
  PushLayered(second_.dc());
  busy_ = false;
}

// One frame of an opening (frames 1..10) or closing effect: the composed image, moved,
// scaled or cut into strips, at a constant alpha.
void DuiHost::DrawEffectFrame(Surface& target, int kind, int i, int frames, int alpha, bool closing) {
  GpGraphics* g = target.graphics();
  GpImage* image = buffer_.bitmap();
  float w = static_cast<float>(size_.cx), h = static_cast<float>(size_.cy);
  RectF whole(0, 0, w, h);
  alpha = std::clamp(alpha, 0, 255);
  if (kind == 1) {
    DrawImageAlpha(g, image, whole, whole, alpha);
  } else if (kind == 2 && closing) {
    // Swells by 1.5 pixels a frame up to 5, then shrinks 2 pixels a frame.
    float grow = 1.5f * static_cast<float>(i);
    if (grow <= 5) {
      DrawImageAlpha(g, image, RectF(-0.75f * i, -0.75f * i, w + grow, h + grow), whole, alpha);
    } else {
      float c = 2.0f * static_cast<float>(i - 4);
      DrawImageAlpha(g, image, RectF(c / 2 - 5, c / 2 - 5, w + 10 - c, h + 10 - c), whole, alpha);
    }
  } else if (kind == 7) {
    int stepX = static_cast<int>(w * 0.1f) / frames, stepY = static_cast<int>(h * 0.1f) / frames;
    int k = closing ? i - 1 : frames - i;
    float ix = static_cast<float>(k * stepX), iy = static_cast<float>(k * stepY);
    DrawImageAlpha(g, image, RectF(ix, iy, w - 2 * ix, h - 2 * iy), whole, alpha);
  } else {
    // Strips: every column slides by an amount that depends on its position, so the image
    // breaks into one-pixel stripes; kinds 3 and 4 slide down and up, the others outwards.
    float t = closing ? static_cast<float>(i) / frames : static_cast<float>(frames - i + 1) / frames;
    for (int x = 0; x < size_.cx; ++x) {
      float phase = 0.5f + 0.5f * std::sin(static_cast<float>(x) * 0.21f);
      float shift = t * phase * h * 0.5f;
      float top = kind == 3 ? shift : kind == 4 ? -shift : shift / 2;
      float height = kind == 3 || kind == 4 ? h : h - shift;
      RectF dest(static_cast<float>(x), top, 1, height);
      DrawImageAlpha(g, image, dest, RectF(static_cast<float>(x), 0, 1, h), alpha);
    }
  }
}

void DuiHost::FadeTick() {
  fadeAlpha_ = std::min(fadeAlpha_ + kFadeStep, 255);
  if (snapshot_.Valid() && buffer_.Valid()) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(fadeAlpha_), AC_SRC_ALPHA};
    GdiAlphaBlend(buffer_.dc(), 0, 0, size_.cx, size_.cy, snapshot_.dc(), 0, 0, snapshot_.width(),
                  snapshot_.height(), blend);
    if (Layered()) PushLayered(buffer_.dc());
  }
  if (fadeAlpha_ < 255) return;
  KillTimer(window_, kHostFadeTimer);
  snapshot_.Release();
  busy_ = false;
  Compose();
}

}  // namespace xl::ui
