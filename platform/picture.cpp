#include "platform/picture.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <cstring>
#include <string>

#include <jpeglib.h>
#include <png.h>

namespace xl {
namespace {

bool StartsWith(std::string_view bytes, std::string_view magic) { return bytes.substr(0, magic.size()) == magic; }

Error DecodeError(std::string_view what, std::string_view reason) {
  return Error{"图片无法解码（" + std::string(what) + "）：" + std::string(reason)};
}

Result<Picture> DecodePng(std::string_view bytes) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return DecodeError("PNG", image.message);
  if (image.width == 0 || image.height == 0 || image.width > kMaxPictureSide || image.height > kMaxPictureSide) {
    png_image_free(&image);
    return DecodeError("PNG", "尺寸超出范围");
  }
  image.format = PNG_FORMAT_BGRA;
  Picture picture;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) {
    std::string reason = image.message;
    png_image_free(&image);
    return DecodeError("PNG", reason);
  }
  return picture;
}

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back
// to the decoder with the message kept here.
struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf back;
  char message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr info) {
  auto* errors = reinterpret_cast<JpegErrors*>(info->err);
  info->err->format_message(info, errors->message);
  std::longjmp(errors->back, 1);
}

void JpegNoOutput(j_common_ptr) {}  // warnings (a few missing bytes at the end) are not errors

// Only trivially destructible state lives between setjmp and a possible longjmp; the
// caller owns the picture being filled.
bool DecodeJpegInto(std::string_view bytes, Picture& picture, std::vector<std::uint8_t>& row, JpegErrors& errors) {
  jpeg_decompress_struct info;
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JpegErrorExit;
  errors.manager.output_message = JpegNoOutput;
  if (setjmp(errors.back)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  if (info.image_width == 0 || info.image_height == 0 || info.image_width > kMaxPictureSide ||
      info.image_height > kMaxPictureSide) {
    std::snprintf(errors.message, sizeof errors.message, "%s", "尺寸超出范围");
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_RGB;  // grey and YCbCr pictures both come out as RGB
  jpeg_start_decompress(&info);
  picture.width = static_cast<int>(info.output_width);
  picture.height = static_cast<int>(info.output_height);
  picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height * 4);
  row.resize(static_cast<size_t>(picture.width) * 3);
  while (info.output_scanline < info.output_height) {
    std::uint8_t* out = &picture.pixels[static_cast<size_t>(info.output_scanline) * picture.width * 4];
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&info, rows, 1);
    for (int x = 0; x < picture.width; ++x) {
      out[x * 4 + 0] = row[x * 3 + 2];
      out[x * 4 + 1] = row[x * 3 + 1];
      out[x * 4 + 2] = row[x * 3 + 0];
      out[x * 4 + 3] = 255;
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

Result<Picture> DecodeJpeg(std::string_view bytes) {
  Picture picture;
  std::vector<std::uint8_t> row;
  JpegErrors errors{};
  if (!DecodeJpegInto(bytes, picture, row, errors)) return DecodeError("JPEG", errors.message);
  return picture;
}

}  // namespace

PictureFormat SniffPictureFormat(std::string_view bytes) {
  if (StartsWith(bytes, "\x89PNG\r\n\x1a\n")) return PictureFormat::Png;
  if (StartsWith(bytes, "\xFF\xD8\xFF")) return PictureFormat::Jpeg;
  if (StartsWith(bytes, "GIF87a") || StartsWith(bytes, "GIF89a")) return PictureFormat::Gif;
  return PictureFormat::Unknown;
}

Result<Picture> DecodePicture(std::string_view bytes) {
  switch (SniffPictureFormat(bytes)) {
    case PictureFormat::Png: return DecodePng(bytes);
    case PictureFormat::Jpeg: return DecodeJpeg(bytes);
    case PictureFormat::Gif: return DecodeError("GIF", "此格式由窗口层解码");
    case PictureFormat::Unknown: break;
  }
  return DecodeError("?", "不是 PNG 或 JPEG 图片");
}

void PremultiplyAlpha(Picture& picture) {
  for (size_t i = 0; i + 3 < picture.pixels.size(); i += 4) {
    unsigned a = picture.pixels[i + 3];
    for (int c = 0; c < 3; ++c)
      picture.pixels[i + c] = static_cast<std::uint8_t>((picture.pixels[i + c] * a + 127) / 255);
  }
}

}  // namespace xl
