// The portable decoders inside the Windows program, and GIF through GDI+.
#include "native/picture_test.cpp"

#include "win32/bitmap.h"

namespace xl {
namespace {

TEST(PictureWindows, SlotMarkersDecodeThroughGdiplus) {
  win32::GdiplusSession gdiplus;
  ASSERT_TRUE(gdiplus.ok());
  const struct {
    const char* name;
    bool green;  // present: green disc; absent: orange
  } cases[] = {{"pictures/slot_present.gif", true}, {"pictures/slot_absent.gif", false}};
  for (const auto& c : cases) {
    auto picture = win32::DecodeAnyPicture(Resource(c.name));
    ASSERT_TRUE(picture.ok()) << c.name;
    EXPECT_EQ(picture->width, 16);
    EXPECT_EQ(picture->height, 16);
    const std::uint8_t* p = picture->At(3, 8);  // on the disc, left of the mark
    if (c.green) {
      EXPECT_GT(p[1], p[2] + 50) << c.name;
    } else {
      EXPECT_GT(p[2], p[0] + 100) << c.name;
    }
  }
  EXPECT_TRUE(win32::DecodeAnyPicture(Resource("pictures/slot_design.gif")).ok());
  EXPECT_FALSE(win32::DecodeAnyPicture("GIF89a broken").ok());
}

TEST(PictureWindows, StretchedPicturesFillTheirBox) {
  win32::GdiplusSession gdiplus;
  auto bar = win32::MakeBoxPicture(Resource("pictures/title_bar.jpg"), 700, 30, PictureMode::Stretch);
  ASSERT_TRUE(bar.ok());
  EXPECT_EQ(bar->width(), 700);
  EXPECT_EQ(bar->height(), 30);
  auto plain = win32::MakeBoxPicture(Resource("pictures/tab_costume.png"), 120, 50, PictureMode::Plain);
  ASSERT_TRUE(plain.ok());
  EXPECT_EQ(plain->width(), 130);  // drawn at its own size, clipped by the box
}

TEST(PictureWindows, FittedPicturesKeepTheirProportionsCentred) {
  win32::GdiplusSession gdiplus;
  Picture preview;  // opaque, the login-style preview's 324 x 272
  preview.width = 324;
  preview.height = 272;
  preview.pixels.assign(324 * 272 * 4, 255);
  Picture fitted = win32::FitPremultiplied(preview, 352, 224);
  ASSERT_EQ(fitted.width, 352);
  ASSERT_EQ(fitted.height, 224);
  // 324 x 272 scaled by 224/272 is 267 x 224, centred: columns 42 to 308 hold it.
  EXPECT_EQ(fitted.At(0, 112)[3], 0);
  EXPECT_EQ(fitted.At(41, 112)[3], 0);
  EXPECT_EQ(fitted.At(176, 0)[3], 255);
  EXPECT_EQ(fitted.At(176, 223)[3], 255);
  EXPECT_EQ(fitted.At(310, 112)[3], 0);
  EXPECT_EQ(fitted.At(351, 112)[3], 0);
}

}  // namespace
}  // namespace xl
