#include "ui/dpi.h"

#include <map>

namespace xl::ui {
namespace {

// The DPI functions of newer systems, looked up once: the program also runs on Windows 7,
// which has none of them.
struct DpiFunctions {
  UINT(WINAPI* forWindow)(HWND) = nullptr;                                  // Windows 10 1607
  BOOL(WINAPI* parametersForDpi)(UINT, UINT, PVOID, UINT, UINT) = nullptr;  // Windows 10 1607
  HRESULT(WINAPI* forMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;       // Windows 8.1, shcore.dll

  DpiFunctions() {
    if (HMODULE user = GetModuleHandleW(L"user32.dll")) {
      forWindow =
          reinterpret_cast<decltype(forWindow)>(reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")));
      parametersForDpi = reinterpret_cast<decltype(parametersForDpi)>(
          reinterpret_cast<void*>(GetProcAddress(user, "SystemParametersInfoForDpi")));
    }
    if (HMODULE shcore = LoadLibraryW(L"shcore.dll"))
      forMonitor =
          reinterpret_cast<decltype(forMonitor)>(reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
  }
};

const DpiFunctions& Functions() {
  static const DpiFunctions functions;
  return functions;
}

UINT MonitorDpi(HMONITOR monitor) {
  UINT x = 0, y = 0;
  constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI: the user's scale setting
  if (monitor && Functions().forMonitor && SUCCEEDED(Functions().forMonitor(monitor, kEffectiveDpi, &x, &y)) && x > 0)
    return x;
  return SystemDpi();
}

}  // namespace

UINT SystemDpi() {
  static const UINT dpi = [] {
    HDC screen = GetDC(nullptr);
    const int pixels = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return pixels > 0 ? static_cast<UINT>(pixels) : kDesignDpi;
  }();
  return dpi;
}

UINT DpiOf(HWND window) {
  if (window && Functions().forWindow)
    if (UINT dpi = Functions().forWindow(window)) return dpi;
  return window ? MonitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)) : SystemDpi();
}

UINT DpiAt(POINT screenPoint) { return MonitorDpi(MonitorFromPoint(screenPoint, MONITOR_DEFAULTTONEAREST)); }

int Scaled(int design, UINT dpi) { return MulDiv(design, static_cast<int>(dpi), kDesignDpi); }

float Scaled(float design, UINT dpi) { return design * static_cast<float>(dpi) / static_cast<float>(kDesignDpi); }

int LineWidth(UINT dpi) { return dpi < 2 * kDesignDpi ? 1 : static_cast<int>(dpi / kDesignDpi); }

HFONT TooltipFont(UINT dpi) {
  static std::map<UINT, HFONT> fonts;
  HFONT& font = fonts[dpi];
  if (font) return font;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (Functions().parametersForDpi &&
      Functions().parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
    font = CreateFontIndirectW(&metrics.lfStatusFont);
  } else if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    // The system's metrics are for its own DPI.
    metrics.lfStatusFont.lfHeight =
        MulDiv(metrics.lfStatusFont.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    font = CreateFontIndirectW(&metrics.lfStatusFont);
  }
  return font;
}

}  // namespace xl::ui
