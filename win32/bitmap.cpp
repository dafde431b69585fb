#include "win32/bitmap.h"

// mingw's <gdiplus.h> needs the COM declarations first.
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "ui/dpi.h"

namespace xl::win32 {
namespace {

namespace gdip = Gdiplus;

// A read-only stream over a copy of the bytes, for GDI+ to decode from.
IStream* StreamOver(std::string_view bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!block) return nullptr;
  if (void* p = GlobalLock(block)) {
    std::memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(block);
  }
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
    GlobalFree(block);
    return nullptr;
  }
  return stream;
}

// Copies a GDI+ bitmap's pixels out in the given 32-bit format.
bool CopyPixels(gdip::Bitmap& bitmap, gdip::PixelFormat format, Picture& out) {
  out.width = static_cast<int>(bitmap.GetWidth());
  out.height = static_cast<int>(bitmap.GetHeight());
  if (out.width <= 0 || out.height <= 0 || out.width > kMaxPictureSide || out.height > kMaxPictureSide) return false;
  gdip::Rect all(0, 0, out.width, out.height);
  gdip::BitmapData data{};
  if (bitmap.LockBits(&all, gdip::ImageLockModeRead, format, &data) != gdip::Ok) return false;
  out.pixels.resize(static_cast<size_t>(out.width) * out.height * 4);
  for (int y = 0; y < out.height; ++y)
    std::memcpy(&out.pixels[static_cast<size_t>(y) * out.width * 4],
                static_cast<const std::uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                static_cast<size_t>(out.width) * 4);
  bitmap.UnlockBits(&data);
  return true;
}

Result<Picture> DecodeGif(std::string_view bytes) {
  IStream* stream = StreamOver(bytes);
  if (!stream) return Error{"图片无法解码（GIF）：内存不足"};
  Picture picture;
  bool ok = false;
  {
    gdip::Bitmap bitmap(stream);
    ok = bitmap.GetLastStatus() == gdip::Ok && CopyPixels(bitmap, PixelFormat32bppARGB, picture);
  }
  stream->Release();
  if (!ok) return Error{"图片无法解码（GIF）"};
  return picture;
}

}  // namespace

GdiplusSession::GdiplusSession() {
  gdip::GdiplusStartupInput input;
  if (gdip::GdiplusStartup(&token_, &input, nullptr) != gdip::Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
  if (token_) gdip::GdiplusShutdown(token_);
}

Result<Picture> DecodeAnyPicture(std::string_view bytes) {
  if (SniffPictureFormat(bytes) == PictureFormat::Gif) return DecodeGif(bytes);
  return DecodePicture(bytes);
}

Picture ScalePremultiplied(const Picture& picture, int width, int height) {
  if (width <= 0 || height <= 0 || (width == picture.width && height == picture.height)) return picture;
  Picture out;
  {
    gdip::Bitmap source(picture.width, picture.height, picture.width * 4, PixelFormat32bppPARGB,
                        const_cast<BYTE*>(picture.pixels.data()));
    gdip::Bitmap target(width, height, PixelFormat32bppPARGB);
    gdip::Graphics g(&target);
    g.SetInterpolationMode(gdip::InterpolationModeHighQualityBicubic);
    g.SetPixelOffsetMode(gdip::PixelOffsetModeHalf);
    g.SetCompositingMode(gdip::CompositingModeSourceCopy);
    // Without this the filter reads transparent pixels beyond the edges and fades them.
    gdip::ImageAttributes edges;
    edges.SetWrapMode(gdip::WrapModeTileFlipXY);
    g.DrawImage(&source, gdip::Rect(0, 0, width, height), 0, 0, picture.width, picture.height, gdip::UnitPixel, &edges);
    g.Flush(gdip::FlushIntentionSync);
    if (!CopyPixels(target, PixelFormat32bppPARGB, out)) return picture;
  }
  return out;
}

DibPicture::DibPicture(const Picture& premultiplied) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = premultiplied.width;
  info.bmiHeader.biHeight = -premultiplied.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_) return;
  std::memcpy(bits, premultiplied.pixels.data(), premultiplied.pixels.size());
  width_ = premultiplied.width;
  height_ = premultiplied.height;
}

DibPicture::DibPicture(DibPicture&& o) noexcept
    : bitmap_(std::exchange(o.bitmap_, nullptr)), width_(o.width_), height_(o.height_) {}

DibPicture& DibPicture::operator=(DibPicture&& o) noexcept {
  if (this != &o) {
    Reset();
    bitmap_ = std::exchange(o.bitmap_, nullptr);
    width_ = o.width_;
    height_ = o.height_;
  }
  return *this;
}

void DibPicture::Reset() {
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  width_ = height_ = 0;
}

void DibPicture::Draw(HDC dc, int x, int y, BYTE opacity) const {
  if (!bitmap_) return;
  HDC source = CreateCompatibleDC(dc);
  if (!source) return;
  HGDIOBJ old = SelectObject(source, bitmap_);
  BLENDFUNCTION blend{AC_SRC_OVER, 0, opacity, AC_SRC_ALPHA};
  AlphaBlend(dc, x, y, width_, height_, source, 0, 0, width_, height_, blend);
  SelectObject(source, old);
  DeleteDC(source);
}

Picture FitPremultiplied(const Picture& picture, int boxWidth, int boxHeight) {
  if (boxWidth <= 0 || boxHeight <= 0 || picture.width <= 0 || picture.height <= 0) return picture;
  double scale =
      std::min(static_cast<double>(boxWidth) / picture.width, static_cast<double>(boxHeight) / picture.height);
  int w = std::clamp(static_cast<int>(picture.width * scale + 0.5), 1, boxWidth);
  int h = std::clamp(static_cast<int>(picture.height * scale + 0.5), 1, boxHeight);
  Picture scaled = ScalePremultiplied(picture, w, h);
  Picture out;
  out.width = boxWidth;
  out.height = boxHeight;
  out.pixels.assign(static_cast<size_t>(boxWidth) * boxHeight * 4, 0);
  int left = (boxWidth - w) / 2, top = (boxHeight - h) / 2;
  for (int y = 0; y < h; ++y)
    std::copy_n(scaled.At(0, y), static_cast<size_t>(w) * 4,
                &out.pixels[(static_cast<size_t>(top + y) * boxWidth + left) * 4]);
  return out;
}

Result<DibPicture> MakeBoxPicture(std::string_view bytes, int boxWidth, int boxHeight, PictureMode mode, UINT dpi) {
  auto picture = DecodeAnyPicture(bytes);
  if (!picture) return picture.error();
  PremultiplyAlpha(*picture);
  DibPicture dib(mode == PictureMode::Stretch ? ScalePremultiplied(*picture, boxWidth, boxHeight)
                 : mode == PictureMode::Fit
                     ? FitPremultiplied(*picture, boxWidth, boxHeight)
                     : ScalePremultiplied(*picture, ui::Scaled(picture->width, dpi), ui::Scaled(picture->height, dpi)));
  if (!dib) return Error{"图片无法显示：系统资源不足"};
  return dib;
}

}  // namespace xl::win32
