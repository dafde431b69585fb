#pragma once
// Pictures as the real windows draw them: decoded once when set, scaled once to the box
// that shows them, held as a premultiplied 32-bit DIB and drawn with AlphaBlend.
#include <windows.h>

#include <string_view>

#include "platform/picture.h"
#include "platform/result.h"
#include "platform/window_def.h"

namespace xl::win32 {

// GDI+ for the life of this object (GIF decoding and good scaling). Start-ups nest.
class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool ok() const { return token_ != 0; }

 private:
  ULONG_PTR token_ = 0;
};

// PNG and JPEG through the portable decoders, GIF through GDI+ (first frame).
Result<Picture> DecodeAnyPicture(std::string_view bytes);

// The picture at another size with smooth filtering; pixels must be premultiplied.
Picture ScalePremultiplied(const Picture& picture, int width, int height);

// The picture scaled to the largest size that fits the box with its proportions kept,
// centred on a transparent box-sized canvas; pixels must be premultiplied.
Picture FitPremultiplied(const Picture& picture, int boxWidth, int boxHeight);

// A premultiplied picture in a DIB section.
class DibPicture {
 public:
  DibPicture() = default;
  explicit DibPicture(const Picture& premultiplied);
  ~DibPicture() { Reset(); }
  DibPicture(DibPicture&& o) noexcept;
  DibPicture& operator=(DibPicture&& o) noexcept;
  DibPicture(const DibPicture&) = delete;
  DibPicture& operator=(const DibPicture&) = delete;

  void Reset();
  explicit operator bool() const { return bitmap_ != nullptr; }
  int width() const { return width_; }
  int height() const { return height_; }
  // Blends the picture over what `dc` holds, its top-left corner at (x, y), at the given
  // strength (255: as it is).
  void Draw(HDC dc, int x, int y, BYTE opacity = 255) const;

 private:
  HBITMAP bitmap_ = nullptr;
  int width_ = 0, height_ = 0;
};

// Decoded, premultiplied and fitted to a box of the given size in one step, as the picture
// box's display mode says (Fit gives a box-sized picture, transparent around the scaled one).
// A picture's pixels are design pixels: Plain shows it at its size scaled to `dpi`.
Result<DibPicture> MakeBoxPicture(std::string_view bytes, int boxWidth, int boxHeight, PictureMode mode, UINT dpi = 96);

}  // namespace xl::win32
