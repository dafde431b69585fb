#include "ui/gdi.h"

#include <algorithm>

namespace xl::ui {

bool Surface::Create(HDC reference, int width, int height) {
  Release();
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down: row 0 first, as GDI+ lays out a scan0
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
  void* bits = nullptr;
  dc_ = CreateCompatibleDC(reference);
  if (!dc_) return false;
  dib_ = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib_ || !bits) {
    Release();
    return false;
  }
  replaced_ = SelectObject(dc_, dib_);
  pixels_ = static_cast<uint32_t*>(bits);
  width_ = width;
  height_ = height;
  GpBitmap* bmp = nullptr;
  if (gp::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits), &bmp) !=
      Gdiplus::Ok) {
    Release();
    return false;
  }
  bitmap_.reset(bmp);
  GpGraphics* g = nullptr;
  if (gp::GdipGetImageGraphicsContext(bmp, &g) != Gdiplus::Ok) {
    Release();
    return false;
  }
  graphics_.reset(g);
  PrepareGraphics(g);
  return true;
}

void Surface::Release() {
  graphics_.reset();
  bitmap_.reset();
  if (dc_ && replaced_) SelectObject(dc_, replaced_);
  if (dib_) DeleteObject(dib_);
  if (dc_) DeleteDC(dc_);
  dc_ = nullptr;
  dib_ = nullptr;
  replaced_ = nullptr;
  pixels_ = nullptr;
  width_ = height_ = 0;
}

void Surface::Clear(ARGB colour) const {
  if (graphics_) gp::GdipGraphicsClear(graphics_.get(), colour);
}

void PrepareGraphics(GpGraphics* g) {
  gp::GdipSetSmoothingMode(g, Gdiplus::SmoothingModeAntiAlias);
  gp::GdipSetTextRenderingHint(g, Gdiplus::TextRenderingHintAntiAliasGridFit);
}

namespace {

// A picture drawn larger or smaller than it is (on a high-DPI display, most of them) is
// filtered with the high-quality bicubic filter; the graphics' own mode comes back after.
class ScalingQuality {
 public:
  ScalingQuality(GpGraphics* g, RectF dest, RectF source) : g_(g) {
    if (dest.Width == source.Width && dest.Height == source.Height) return;
    if (gp::GdipGetInterpolationMode(g, &mode_) != Gdiplus::Ok ||
        gp::GdipGetPixelOffsetMode(g, &offset_) != Gdiplus::Ok)
      return;
    changed_ = true;
    gp::GdipSetInterpolationMode(g, Gdiplus::InterpolationModeHighQualityBicubic);
    gp::GdipSetPixelOffsetMode(g, Gdiplus::PixelOffsetModeHalf);
  }
  ~ScalingQuality() {
    if (!changed_) return;
    gp::GdipSetInterpolationMode(g_, mode_);
    gp::GdipSetPixelOffsetMode(g_, offset_);
  }
  ScalingQuality(const ScalingQuality&) = delete;
  ScalingQuality& operator=(const ScalingQuality&) = delete;

 private:
  GpGraphics* g_;
  bool changed_ = false;
  Gdiplus::InterpolationMode mode_ = Gdiplus::InterpolationModeDefault;
  Gdiplus::PixelOffsetMode offset_ = Gdiplus::PixelOffsetModeDefault;
};

}  // namespace

void DrawImageAlpha(GpGraphics* g, GpImage* image, RectF dest, RectF source, int alpha) {
  if (!g || !image || alpha <= 0) return;
  ScalingQuality quality(g, dest, source);
  if (alpha >= 255) {
    gp::GdipDrawImageRectRect(g, image, dest.X, dest.Y, dest.Width, dest.Height, source.X, source.Y, source.Width,
                              source.Height, Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
    return;
  }
  GpImageAttributes* raw = nullptr;
  if (gp::GdipCreateImageAttributes(&raw) != Gdiplus::Ok) return;
  ImageAttributes attributes(raw);
  Gdiplus::ColorMatrix m{};
  for (int i = 0; i < 5; ++i) m.m[i][i] = 1.0f;
  m.m[3][3] = static_cast<float>(alpha) / 255.0f;
  gp::GdipSetImageAttributesColorMatrix(raw, Gdiplus::ColorAdjustTypeDefault, TRUE, &m, nullptr,
                                        Gdiplus::ColorMatrixFlagsDefault);
  gp::GdipDrawImageRectRect(g, image, dest.X, dest.Y, dest.Width, dest.Height, source.X, source.Y, source.Width,
                            source.Height, Gdiplus::UnitPixel, raw, nullptr, nullptr);
}

void DrawSheetPart(GpGraphics* g, GpImage* sheet, RectF dest, RectF source, int alpha) {
  if (dest.Width == source.Width && dest.Height == source.Height) return DrawImageAlpha(g, sheet, dest, source, alpha);
  GpBitmap* part = nullptr;
  if (gp::GdipCloneBitmapArea(source.X, source.Y, source.Width, source.Height, PixelFormat32bppPARGB,
                              static_cast<GpBitmap*>(sheet), &part) != Gdiplus::Ok)
    return DrawImageAlpha(g, sheet, dest, source, alpha);
  Bitmap owned(part);
  // Mirrored at its own edges, so the filter finds the picture's edge pixels there rather
  // than transparency.
  GpImageAttributes* raw = nullptr;
  if (gp::GdipCreateImageAttributes(&raw) != Gdiplus::Ok) return;
  ImageAttributes attributes(raw);
  gp::GdipSetImageAttributesWrapMode(raw, Gdiplus::WrapModeTileFlipXY, 0, FALSE);
  if (alpha < 255) {
    Gdiplus::ColorMatrix m{};
    for (int i = 0; i < 5; ++i) m.m[i][i] = 1.0f;
    m.m[3][3] = static_cast<float>(std::max(alpha, 0)) / 255.0f;
    gp::GdipSetImageAttributesColorMatrix(raw, Gdiplus::ColorAdjustTypeDefault, TRUE, &m, nullptr,
                                          Gdiplus::ColorMatrixFlagsDefault);
  }
  ScalingQuality quality(g, dest, RectF(0, 0, source.Width, source.Height));
  gp::GdipDrawImageRectRect(g, part, dest.X, dest.Y, dest.Width, dest.Height, 0, 0, source.Width, source.Height,
                            Gdiplus::UnitPixel, raw, nullptr, nullptr);
}

}  // namespace xl::ui
