#include "ui/ui_start.h"

#include <commctrl.h>

#include <map>

#include "resources/resources.h"
#include "ui/dpi.h"
#include "ui/fonts.h"
#include "ui/picture_loader.h"

namespace xl::ui {
namespace {

// Everything the start-ups make, in one place.
struct UiGlobals {
  bool started = false;
  bool loaderStarted = false;
  ULONG_PTR uiToken = 0;
  ULONG_PTR loaderToken = 0;
  int osMajorVersion = 0;
  // Made when first asked for: the start window shows none of them, and finding the font
  // and decoding the sprite would hold its first showing back.
  bool fontMade = false, spriteMade = false;
  Font defaultFont;
  std::map<UINT, Font> scaledFonts;  // the default font at other DPIs
  HCURSOR cursor = nullptr;
  Picture sprite;
  HICON classIcon = nullptr;
  ATOM hostClass = 0;
  GUID frameDimensionTime{};
};

UiGlobals& Globals() {
  static UiGlobals globals;
  return globals;
}

ULONG_PTR StartGdiplus() {
  Gdiplus::GdiplusStartupInput input;
  input.GdiplusVersion = 1;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return 0;
  return token;
}

int ReadOsMajorVersion() {
  // RtlGetVersion tells the truth whatever the manifest claims to support.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
    auto fn = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (fn && fn(&info) == 0) return static_cast<int>(info.dwMajorVersion);
  }
  return LOBYTE(LOWORD(GetVersion()));
}

constexpr float kDefaultFontPixels = 12.0f;

Font MakeDefaultFont() {
  for (const std::string& name : {std::string("宋体"), SystemUiFontName(SystemFontKind::Caption)}) {
    GpFontFamily* family = nullptr;
    if (gp::GdipCreateFontFamilyFromName(ToWide(name).c_str(), nullptr, &family) != Gdiplus::Ok) continue;
    FontFamily owned(family);
    GpFont* font = nullptr;
    if (gp::GdipCreateFont(family, kDefaultFontPixels, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel, &font) ==
        Gdiplus::Ok)
      return Font(font);
  }
  return Font();
}

ATOM RegisterHostClass(HICON icon, HCURSOR cursor) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;  // lets double-clicks reach the host
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = icon;
  wc.hCursor = cursor;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = kHostWindowClass;
  return RegisterClassExW(&wc);
}

}  // namespace

void StartSkinnedUi() {
  UiGlobals& g = Globals();
  if (g.started) return;
  g.started = true;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};  // "tooltips_class32"
  InitCommonControlsEx(&controls);
  g.uiToken = StartGdiplus();
  g.osMajorVersion = ReadOsMajorVersion();
  g.cursor = LoadCursorW(nullptr, IDC_ARROW);
  g.classIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(129));
  g.hostClass = RegisterHostClass(g.classIcon, g.cursor);
}

void StartPictureLoader() {
  UiGlobals& g = Globals();
  if (g.loaderStarted) return;
  g.loaderStarted = true;
  g.loaderToken = StartGdiplus();
  CLSIDFromString(L"{6AEDBD6D-3FB5-418A-83A6-7F45229DC872}", &g.frameDimensionTime);
}

void StopSkinnedUi() {
  UiGlobals& g = Globals();
  g.scaledFonts.clear();
  g.defaultFont.reset();
  g.sprite.Reset();
  g.fontMade = g.spriteMade = false;
  if (g.hostClass) UnregisterClassW(kHostWindowClass, GetModuleHandleW(nullptr));
  g.hostClass = 0;
  if (g.uiToken) Gdiplus::GdiplusShutdown(g.uiToken);
  if (g.loaderToken) Gdiplus::GdiplusShutdown(g.loaderToken);
  g.uiToken = g.loaderToken = 0;
  g.started = g.loaderStarted = false;
}

int OsMajorVersion() { return Globals().osMajorVersion; }
GpFont* DefaultUiFont() {
  UiGlobals& g = Globals();
  if (g.started && !g.fontMade) {
    g.fontMade = true;
    g.defaultFont = MakeDefaultFont();
  }
  return g.defaultFont.get();
}

GpFont* UiFont(UINT dpi) {
  UiGlobals& g = Globals();
  GpFont* base = DefaultUiFont();
  if (dpi == kDesignDpi || !base) return base;
  Font& font = g.scaledFonts[dpi];
  if (!font) {
    GpFontFamily* family = nullptr;
    if (gp::GdipGetFamily(base, &family) == Gdiplus::Ok && family) {
      FontFamily owned(family);
      GpFont* raw = nullptr;
      if (gp::GdipCreateFont(family, Scaled(kDefaultFontPixels, dpi), Gdiplus::FontStyleRegular, Gdiplus::UnitPixel,
                             &raw) == Gdiplus::Ok)
        font.reset(raw);
    }
  }
  return font ? font.get() : base;
}

HCURSOR DefaultCursor() { return Globals().cursor; }

GpImage* SharedSpritePicture() {
  UiGlobals& g = Globals();
  if (g.started && !g.spriteMade) {
    g.spriteMade = true;
    g.sprite.Load(Resource("ui/sprite.bin"), true);
  }
  return g.sprite.get();
}
HICON DefaultClassIcon() { return Globals().classIcon; }
const GUID& FrameDimensionTime() {
  UiGlobals& g = Globals();
  if (!g.loaderStarted && g.frameDimensionTime == GUID{})
    CLSIDFromString(L"{6AEDBD6D-3FB5-418A-83A6-7F45229DC872}", &g.frameDimensionTime);
  return g.frameDimensionTime;
}

}  // namespace xl::ui
