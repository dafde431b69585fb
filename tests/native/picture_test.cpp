// Decoding of the program's own pictures and refusal of damaged ones. Also compiled into the
// Windows tests, where the same decoders run inside the cross-built program.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "platform/picture.h"
#include "resources/resources.h"

namespace xl {
namespace {

TEST(Picture, EveryEmbeddedPictureDecodesAtItsSize) {
  const struct {
    const char* name;
    int width, height;
  } cases[] = {
      {"pictures/title_bar.jpg", 430, 184},        {"pictures/host_background.jpg", 330, 220},
      {"pictures/close_normal.png", 30, 30},       {"pictures/close_hover.png", 30, 30},
      {"pictures/close_pressed.png", 30, 30},      {"pictures/minimize_normal.png", 30, 30},
      {"pictures/minimize_hover.png", 30, 30},     {"pictures/icon.png", 25, 25},
      {"pictures/button_search_last.png", 98, 40}, {"pictures/button_search_last_hover.png", 98, 40},
      {"pictures/button_choose_dir.png", 98, 40},  {"pictures/button_choose_dir_hover.png", 98, 40},
      {"pictures/button_small.png", 54, 26},       {"pictures/button_small_hover.png", 54, 26},
      {"pictures/button_save.png", 86, 41},        {"pictures/button_save_hover.png", 86, 41},
      {"pictures/tab_costume.png", 130, 60},       {"pictures/tab_profile.png", 130, 60},
      {"pictures/tab_plugins.png", 130, 60},       {"pictures/tab_guild.png", 130, 60},
  };
  for (const auto& c : cases) {
    std::string_view bytes = Resource(c.name);
    ASSERT_FALSE(bytes.empty()) << c.name;
    auto picture = DecodePicture(bytes);
    ASSERT_TRUE(picture.ok()) << c.name << ": " << picture.error().message;
    EXPECT_EQ(picture->width, c.width) << c.name;
    EXPECT_EQ(picture->height, c.height) << c.name;
    EXPECT_EQ(picture->pixels.size(), static_cast<size_t>(c.width) * c.height * 4) << c.name;
  }
  for (const char* gif : {"pictures/slot_design.gif", "pictures/slot_present.gif", "pictures/slot_absent.gif"})
    EXPECT_EQ(SniffPictureFormat(Resource(gif)), PictureFormat::Gif) << gif;
}

TEST(Picture, PixelsAreBlueGreenRedAlpha) {
  // The title bar is blue, the hovered close button red; their order in memory tells the
  // channels apart. The corners of the normal close button are see-through.
  auto bar = DecodePicture(Resource("pictures/title_bar.jpg"));
  ASSERT_TRUE(bar.ok());
  const std::uint8_t* p = bar->At(200, 100);
  EXPECT_GT(p[0], p[2] + 60);  // blue well above red
  EXPECT_EQ(p[3], 255);

  auto hover = DecodePicture(Resource("pictures/close_hover.png"));
  ASSERT_TRUE(hover.ok());
  p = hover->At(2, 2);
  EXPECT_GT(p[2], p[0] + 100);  // red well above blue
  EXPECT_EQ(p[3], 255);

  auto normal = DecodePicture(Resource("pictures/close_normal.png"));
  ASSERT_TRUE(normal.ok());
  EXPECT_EQ(normal->At(0, 0)[3], 0);
  EXPECT_EQ(normal->At(15, 15)[3], 255);  // the white cross
}

// A PNG whose header claims the given size, with a correct checksum so only the size is wrong.
std::string PngClaiming(std::string png, std::uint32_t width, std::uint32_t height) {
  auto put = [&](size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) png[at + i] = static_cast<char>(v >> (24 - 8 * i));
  };
  put(16, width);  // IHDR data starts at 16: signature 8, length 4, type 4
  put(20, height);
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17);
  put(29, static_cast<std::uint32_t>(crc));
  return png;
}

TEST(Picture, DamagedBytesAreRefusedWithAReason) {
  const std::string png(Resource("pictures/button_small.png"));
  const std::string jpeg(Resource("pictures/title_bar.jpg"));
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"not a picture", "hello, world"},
      {"gif", std::string(Resource("pictures/slot_present.gif"))},
      {"png signature only", png.substr(0, 8)},
      {"png cut in the data", png.substr(0, png.size() / 2)},
      {"png with a broken checksum", png.substr(0, 30) + "\x01" + png.substr(31)},
      {"png claiming a huge size", PngClaiming(png, 100000, 100000)},
      {"jpeg start marker only", jpeg.substr(0, 3)},
      {"jpeg cut in the header", jpeg.substr(0, 40)},
  };
  for (const auto& c : cases) {
    auto picture = DecodePicture(c.bytes);
    EXPECT_FALSE(picture.ok()) << c.what;
    if (!picture.ok()) {
      EXPECT_FALSE(picture.error().message.empty()) << c.what;
    }
  }
}

TEST(Picture, PremultiplyScalesColourByAlpha) {
  Picture p{3, 1, {200, 100, 50, 255, 200, 100, 50, 0, 200, 100, 50, 128}};
  PremultiplyAlpha(p);
  EXPECT_EQ(p.pixels, (std::vector<std::uint8_t>{200, 100, 50, 255, 0, 0, 0, 0, 100, 50, 25, 128}));
}

}  // namespace
}  // namespace xl
