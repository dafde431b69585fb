#pragma once
// Encoded pictures (PNG, JPEG, GIF, ...) carried as bytes, turned into GDI+ images through
// a memory stream.
#include <string_view>

#include "platform/picture.h"
#include "ui/gdi.h"

namespace xl::ui {

// Loads a picture from bytes. With `addSignature`, the 8-byte PNG signature is put in front
// (pictures stored without it). On success the image is returned and `block` and `stream`
// receive the memory and the stream the image reads from; all three go to ReleasePicture.
// On failure (also for empty bytes) null is returned and nothing stays allocated.
GpImage* LoadPictureFromBytes(std::string_view bytes, bool addSignature, HGLOBAL* block, IStream** stream);

// Disposes the image, releases the stream and frees the block; null parts are skipped.
// All three are cleared.
void ReleasePicture(GpImage*& image, HGLOBAL& block, IStream*& stream);

// A fully decoded copy of the first frame of an (animated or still) picture; it needs no
// memory of the caller. Null when the bytes are no picture. Dispose with GdipDisposeImage.
GpImage* LoadPictureFirstFrame(std::string_view bytes);

// A bitmap holding a copy of pixels the program decoded itself (blue, green, red, straight
// alpha). It needs none of GDI+'s picture decoders, the first use of which costs tens of
// milliseconds. Null when GDI+ refuses. Dispose with GdipDisposeImage.
GpImage* ImageFromPixels(const ::xl::Picture& picture);

// A picture loaded from bytes and released with its memory when it goes.
class Picture {
 public:
  Picture() = default;
  Picture(std::string_view bytes, bool addSignature) { Load(bytes, addSignature); }
  ~Picture() { Reset(); }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;
  Picture(Picture&& o) noexcept;
  Picture& operator=(Picture&& o) noexcept;

  bool Load(std::string_view bytes, bool addSignature);
  void Reset() { ReleasePicture(image_, block_, stream_); }
  GpImage* get() const { return image_; }
  explicit operator bool() const { return image_ != nullptr; }
  // Pixel size; 0 x 0 when empty.
  int Width() const;
  int Height() const;

 private:
  GpImage* image_ = nullptr;
  HGLOBAL block_ = nullptr;
  IStream* stream_ = nullptr;
};

}  // namespace xl::ui
