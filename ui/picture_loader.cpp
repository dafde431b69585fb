#include "ui/picture_loader.h"

#include <cstring>
#include <utility>

#include "ui/ui_start.h"

namespace xl::ui {
namespace {

constexpr unsigned char kPngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

// Copies the bytes (after the signature, when asked) into a new movable block.
HGLOBAL CopyToBlock(std::string_view bytes, bool addSignature) {
  if (bytes.empty()) return nullptr;
  size_t prefix = addSignature ? sizeof kPngSignature : 0;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size() + prefix);
  if (!block) return nullptr;
  auto* p = static_cast<unsigned char*>(GlobalLock(block));
  if (!p) {
    GlobalFree(block);
    return nullptr;
  }
  if (addSignature) std::memcpy(p, kPngSignature, prefix);
  std::memcpy(p + prefix, bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

// A bitmap holding the image's current frame, decoded: it reads no stream afterwards.
GpImage* DecodedCopy(GpImage* source) {
  UINT w = 0, h = 0;
  gp::GdipGetImageWidth(source, &w);
  gp::GdipGetImageHeight(source, &h);
  GpBitmap* copy = nullptr;
  if (gp::GdipCreateBitmapFromScan0(static_cast<INT>(w), static_cast<INT>(h), 0, PixelFormat32bppARGB, nullptr,
                                    &copy) != Gdiplus::Ok)
    return nullptr;
  GpGraphics* g = nullptr;
  if (gp::GdipGetImageGraphicsContext(copy, &g) != Gdiplus::Ok) {
    gp::GdipDisposeImage(copy);
    return nullptr;
  }
  gp::GdipDrawImageRectI(g, source, 0, 0, static_cast<INT>(w), static_cast<INT>(h));
  gp::GdipDeleteGraphics(g);
  return copy;
}

}  // namespace

GpImage* LoadPictureFromBytes(std::string_view bytes, bool addSignature, HGLOBAL* block, IStream** stream) {
  if (block) *block = nullptr;
  if (stream) *stream = nullptr;
  HGLOBAL mem = CopyToBlock(bytes, addSignature);
  if (!mem) return nullptr;
  IStream* s = nullptr;
  // The stream does not own the block: ReleasePicture frees it separately.
  if (FAILED(CreateStreamOnHGlobal(mem, FALSE, &s)) || !s) {
    GlobalFree(mem);
    return nullptr;
  }
  GpImage* image = nullptr;
  if (gp::GdipLoadImageFromStream(s, &image) != Gdiplus::Ok || !image) {
    s->Release();
    GlobalFree(mem);
    return nullptr;
  }
  if (block && stream) {
    *block = mem;
    *stream = s;
  } else {
    // Without anyone to hand the memory to, keep the image independent of it.
    GpImage* copy = DecodedCopy(image);
    gp::GdipDisposeImage(image);
    image = copy;
    s->Release();
    GlobalFree(mem);
  }
  return image;
}

void ReleasePicture(GpImage*& image, HGLOBAL& block, IStream*& stream) {
  if (image) gp::GdipDisposeImage(image);
  if (stream) stream->Release();
  if (block) GlobalFree(block);
  image = nullptr;
  stream = nullptr;
  block = nullptr;
}

GpImage* LoadPictureFirstFrame(std::string_view bytes) {
  Picture source(bytes, false);
  if (!source) return nullptr;
  // A still picture has no time dimension: the call fails and changes nothing.
  gp::GdipImageSelectActiveFrame(source.get(), &FrameDimensionTime(), 0);
  // Decode the frame into a bitmap of its own, so the image outlives the bytes' memory.
  return DecodedCopy(source.get());
}

GpImage* ImageFromPixels(const ::xl::Picture& picture) {
  GpBitmap* bitmap = nullptr;
  if (picture.width <= 0 || picture.height <= 0 ||
      gp::GdipCreateBitmapFromScan0(picture.width, picture.height, 0, PixelFormat32bppARGB, nullptr, &bitmap) !=
          Gdiplus::Ok)
    return nullptr;
  Gdiplus::Rect all(0, 0, picture.width, picture.height);
  Gdiplus::BitmapData data{};
  if (gp::GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) != Gdiplus::Ok) {
    gp::GdipDisposeImage(bitmap);
    return nullptr;
  }
  // PixelFormat32bppARGB keeps each pixel as blue, green, red, alpha in memory, as decoded.
  const size_t row = static_cast<size_t>(picture.width) * 4;
  for (int y = 0; y < picture.height; ++y)
    std::memcpy(static_cast<std::uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                picture.pixels.data() + y * row, row);
  gp::GdipBitmapUnlockBits(bitmap, &data);
  return bitmap;
}

Picture::Picture(Picture&& o) noexcept
    : image_(std::exchange(o.image_, nullptr)),
      block_(std::exchange(o.block_, nullptr)),
      stream_(std::exchange(o.stream_, nullptr)) {}

Picture& Picture::operator=(Picture&& o) noexcept {
  if (this != &o) {
    Reset();
    image_ = std::exchange(o.image_, nullptr);
    block_ = std::exchange(o.block_, nullptr);
    stream_ = std::exchange(o.stream_, nullptr);
  }
  return *this;
}

bool Picture::Load(std::string_view bytes, bool addSignature) {
  Reset();
  image_ = LoadPictureFromBytes(bytes, addSignature, &block_, &stream_);
  return image_ != nullptr;
}

int Picture::Width() const {
  UINT w = 0;
  if (image_) gp::GdipGetImageWidth(image_, &w);
  return static_cast<int>(w);
}

int Picture::Height() const {
  UINT h = 0;
  if (image_) gp::GdipGetImageHeight(image_, &h);
  return static_cast<int>(h);
}

}  // namespace xl::ui
