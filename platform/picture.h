#pragma once
// Decoding of the pictures the windows show (PNG and JPEG) into plain 32-bit pixels, the
// same on every platform. GIF pictures are left to the Windows back end, which has a
// decoder of its own.
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace xl {

enum class PictureFormat { Unknown, Png, Jpeg, Gif };

// The format the bytes announce in their first bytes; nothing is decoded.
PictureFormat SniffPictureFormat(std::string_view bytes);

// Pixels top row first, four bytes a pixel in the order blue, green, red, alpha (straight,
// not premultiplied alpha). JPEG pictures are fully opaque.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width * height * 4 bytes

  const std::uint8_t* At(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
};

// The largest side accepted: a picture claiming more is refused before any memory is taken
// for it, so a damaged file cannot ask for gigabytes.
inline constexpr int kMaxPictureSide = 8192;

// Decodes PNG or JPEG bytes. Damaged, truncated or unsupported bytes give an error.
Result<Picture> DecodePicture(std::string_view bytes);

// The same pixels with colour multiplied by alpha, as layered windows and AlphaBlend take them.
void PremultiplyAlpha(Picture& picture);

}  // namespace xl
