#pragma once
// Owners for the GDI and GDI+ objects of the toolkit: each handle has exactly one owner that
// releases it, so no early return can leak a DC, a bitmap or a GDI+ image.
#include <windows.h>
// mingw's <gdiplus.h> needs the COM declarations of <objidl.h> first.
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <utility>

namespace xl::ui {

namespace gp = Gdiplus::DllExports;
using Gdiplus::ARGB;
using Gdiplus::GpBitmap;
using Gdiplus::GpBrush;
using Gdiplus::GpFont;
using Gdiplus::GpFontFamily;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
using Gdiplus::GpImageAttributes;
using Gdiplus::GpSolidFill;
using Gdiplus::GpStringFormat;
using Gdiplus::RectF;

// unique_ptr deleters for GDI+ objects.
struct GraphicsDeleter {
  void operator()(GpGraphics* g) const { gp::GdipDeleteGraphics(g); }
};
struct ImageDeleter {
  void operator()(GpImage* i) const { gp::GdipDisposeImage(i); }
};
struct BitmapDeleter {
  void operator()(GpBitmap* b) const { gp::GdipDisposeImage(b); }
};
struct FontDeleter {
  void operator()(GpFont* f) const { gp::GdipDeleteFont(f); }
};
struct FamilyDeleter {
  void operator()(GpFontFamily* f) const { gp::GdipDeleteFontFamily(f); }
};
struct BrushDeleter {
  void operator()(GpBrush* b) const { gp::GdipDeleteBrush(b); }
};
struct AttributesDeleter {
  void operator()(GpImageAttributes* a) const { gp::GdipDisposeImageAttributes(a); }
};
struct FormatDeleter {
  void operator()(GpStringFormat* f) const { gp::GdipDeleteStringFormat(f); }
};

using Graphics = std::unique_ptr<GpGraphics, GraphicsDeleter>;
using Image = std::unique_ptr<GpImage, ImageDeleter>;
using Bitmap = std::unique_ptr<GpBitmap, BitmapDeleter>;
using Font = std::unique_ptr<GpFont, FontDeleter>;
using FontFamily = std::unique_ptr<GpFontFamily, FamilyDeleter>;
using Brush = std::unique_ptr<GpBrush, BrushDeleter>;
using ImageAttributes = std::unique_ptr<GpImageAttributes, AttributesDeleter>;
using StringFormat = std::unique_ptr<GpStringFormat, FormatDeleter>;

// A GDI object (region, bitmap, brush) deleted with DeleteObject.
template <class H>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(H h) : h_(h) {}
  GdiObject(GdiObject&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  GdiObject& operator=(GdiObject&& o) noexcept {
    if (this != &o) Reset(std::exchange(o.h_, nullptr));
    return *this;
  }
  ~GdiObject() { Reset(); }
  void Reset(H h = nullptr) {
    if (h_) DeleteObject(h_);
    h_ = h;
  }
  H get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  H h_ = nullptr;
};

// Selects an object into a DC for the lifetime of this value.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
  ~ScopedSelect() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// GetDC / ReleaseDC.
class WindowDC {
 public:
  explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// A 32-bit top-down DIB section selected into its own memory DC, with a GDI+ bitmap over
// the same pixels. GDI+ draws premultiplied ARGB straight into the DIB, which is exactly
// what UpdateLayeredWindow wants, and BitBlt can copy it to an opaque window.
class Surface {
 public:
  Surface() = default;
  ~Surface() { Release(); }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  // False (and empty) when the size is zero or GDI refuses: callers then paint directly.
  bool Create(HDC reference, int width, int height);
  void Release();

  bool Valid() const { return dc_ != nullptr; }
  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  uint32_t* pixels() const { return pixels_; }
  GpBitmap* bitmap() const { return bitmap_.get(); }
  // Graphics over the pixels with anti-aliased shapes and text.
  GpGraphics* graphics() const { return graphics_.get(); }
  void Clear(ARGB colour) const;

 private:
  HDC dc_ = nullptr;
  HBITMAP dib_ = nullptr;
  HGDIOBJ replaced_ = nullptr;
  uint32_t* pixels_ = nullptr;
  int width_ = 0, height_ = 0;
  Bitmap bitmap_;
  Graphics graphics_;
};

// Smoothing anti-alias (4) and text hint anti-alias grid-fit (3) on every toolkit graphics.
void PrepareGraphics(GpGraphics* g);

// Draws `image` into (x, y, w, h) from its source rectangle with a constant alpha 0-255;
// scaled with the high-quality bicubic filter when the sizes differ.
void DrawImageAlpha(GpGraphics* g, GpImage* image, RectF dest, RectF source, int alpha);
// The same for one picture of a sheet of pictures (a sprite, the badges of the message box):
// scaled, it is filtered on its own, so none of its neighbours bleeds in at its edges.
void DrawSheetPart(GpGraphics* g, GpImage* sheet, RectF dest, RectF source, int alpha);

// 0x00BBGGRR system colour value plus alpha to ARGB (red and blue swapped).
constexpr ARGB ColourToArgb(uint32_t bgr, int alpha) {
  return (static_cast<ARGB>(alpha & 0xFF) << 24) | ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

}  // namespace xl::ui
