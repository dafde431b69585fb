// Start-up values, fonts and picture loading of the skinned toolkit.
#include <gtest/gtest.h>

#include "resources/resources.h"
#include "ui/fonts.h"
#include "ui/picture_loader.h"
#include "ui/ui_start.h"

namespace xl::ui {
namespace {

class UiStartTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    StartSkinnedUi();
    StartPictureLoader();
  }
};

UINT WidthOf(GpImage* image) {
  UINT w = 0;
  gp::GdipGetImageWidth(image, &w);
  return w;
}

TEST_F(UiStartTest, StartUpMakesTheSharedValues) {
  EXPECT_GE(OsMajorVersion(), 5);
  EXPECT_NE(DefaultCursor(), nullptr);
  ASSERT_NE(SharedSpritePicture(), nullptr);
  EXPECT_EQ(WidthOf(SharedSpritePicture()), 729u);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), kHostWindowClass, &wc));
  EXPECT_EQ(wc.style, static_cast<UINT>(CS_DBLCLKS));
  const GUID time = {0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};
  EXPECT_TRUE(FrameDimensionTime() == time);
  StartSkinnedUi();  // a second start changes nothing
  EXPECT_EQ(WidthOf(SharedSpritePicture()), 729u);
}

TEST_F(UiStartTest, StrippedPngLoadsOnlyWithTheSignatureSwitch) {
  std::string_view stripped = Resource("ui/sprite.bin");
  ASSERT_FALSE(stripped.empty());
  HGLOBAL block = reinterpret_cast<HGLOBAL>(1);
  IStream* stream = reinterpret_cast<IStream*>(1);
  EXPECT_EQ(LoadPictureFromBytes(stripped, false, &block, &stream), nullptr);
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(stream, nullptr);
  EXPECT_EQ(LoadPictureFromBytes({}, true, &block, &stream), nullptr);
  EXPECT_EQ(block, nullptr);

  GpImage* image = LoadPictureFromBytes(stripped, true, &block, &stream);
  ASSERT_NE(image, nullptr);
  EXPECT_NE(block, nullptr);
  EXPECT_NE(stream, nullptr);
  EXPECT_EQ(WidthOf(image), 729u);
  ReleasePicture(image, block, stream);
  EXPECT_EQ(image, nullptr);
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(stream, nullptr);
  ReleasePicture(image, block, stream);  // all null: nothing to do

  // A whole PNG loads as it is; the signature in front of it twice makes it no picture.
  Picture icons(Resource("ui/msgbox_icons.png"), false);
  EXPECT_EQ(icons.Width(), 200);
  EXPECT_EQ(icons.Height(), 40);
  EXPECT_FALSE(Picture(Resource("ui/msgbox_icons.png"), true));
}

TEST_F(UiStartTest, FirstFrameOutlivesItsBytes) {
  std::string bytes(Resource("ui/msgbox_icons.png"));
  GpImage* image = LoadPictureFirstFrame(bytes);
  ASSERT_NE(image, nullptr);
  bytes.assign(bytes.size(), '\0');
  bytes.clear();
  bytes.shrink_to_fit();
  Gdiplus::ARGB centre = 0;
  ASSERT_EQ(gp::GdipBitmapGetPixel(static_cast<GpBitmap*>(image), 20, 30, &centre), Gdiplus::Ok);
  EXPECT_EQ(centre >> 24, 0xFFu);  // inside the first badge
  gp::GdipDisposeImage(image);
  EXPECT_EQ(LoadPictureFirstFrame("not a picture"), nullptr);
  EXPECT_EQ(LoadPictureFirstFrame({}), nullptr);

  // An animated GIF of two 4 x 4 frames: red, then blue (its own colour table).
  const unsigned char kTwoFrames[] = {
      0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x04, 0x00, 0x04, 0x00, 0xf0, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x00, 0x00,
      0x21, 0xf9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x21, 0xff, 0x0b, 0x4e, 0x45, 0x54, 0x53, 0x43, 0x41, 0x50, 0x45,
      0x32, 0x2e, 0x30, 0x03, 0x01, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x04, 0x00, 0x00, 0x02,
      0x04, 0x84, 0x8f, 0x09, 0x05, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00,
      0x04, 0x00, 0x04, 0x00, 0x80, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x02, 0x04, 0x84, 0x8f, 0x09, 0x05, 0x00, 0x3b};
  Picture animated(std::string_view(reinterpret_cast<const char*>(kTwoFrames), sizeof kTwoFrames), false);
  GUID dimension{};
  UINT frames = 0;
  ASSERT_EQ(gp::GdipImageGetFrameDimensionsList(animated.get(), &dimension, 1), Gdiplus::Ok);
  ASSERT_EQ(gp::GdipImageGetFrameCount(animated.get(), &dimension, &frames), Gdiplus::Ok);
  ASSERT_EQ(frames, 2u);
  image = LoadPictureFirstFrame(std::string_view(reinterpret_cast<const char*>(kTwoFrames), sizeof kTwoFrames));
  ASSERT_NE(image, nullptr);
  Gdiplus::ARGB pixel = 0;
  ASSERT_EQ(gp::GdipBitmapGetPixel(static_cast<GpBitmap*>(image), 1, 1, &pixel), Gdiplus::Ok);
  EXPECT_EQ(pixel, 0xFFFF0000u);
  gp::GdipDisposeImage(image);
}

TEST_F(UiStartTest, FontsByName) {
  ASSERT_NE(DefaultUiFont(), nullptr);
  float size = 0;
  gp::GdipGetFontSize(DefaultUiFont(), &size);
  EXPECT_EQ(size, 12.0f);
  std::string family = FontFamilyName(DefaultUiFont());
  EXPECT_FALSE(family.empty());
  RecordProperty("DefaultUiFontFamily", family);

  // An unknown family falls back to the default font's family, at the size asked for.
  Font unknown = CreateFontByName("NoSuchFamily-42", 20.0f);
  ASSERT_NE(unknown, nullptr);
  EXPECT_EQ(FontFamilyName(unknown.get()), family);
  gp::GdipGetFontSize(unknown.get(), &size);
  EXPECT_EQ(size, 20.0f);

  for (auto kind : {SystemFontKind::Menu, SystemFontKind::Caption, SystemFontKind::Message}) {
    std::string name = SystemUiFontName(kind);
    EXPECT_FALSE(name.empty());
    EXPECT_NE(name, "Tahoma");
    EXPECT_NE(CreateFontByName(name, 12.0f), nullptr);
  }
}

TEST_F(UiStartTest, TextsCrossAsGbkWhateverTheAnsiCodePage) {
  EXPECT_EQ(ToWide("温馨提示"), std::wstring(L"\u6E29\u99A8\u63D0\u793A"));
  EXPECT_EQ(FromWide(L"\u6E29\u99A8\u63D0\u793A"), "温馨提示");
  EXPECT_EQ(FromWide(L"a\U0001F600b"), "a??b");  // a surrogate pair GBK cannot hold, unit by unit
}

}  // namespace
}  // namespace xl::ui
