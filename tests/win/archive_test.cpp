// The portable unpacking cases over the Windows file layer, plus paths that only UTF-16
// file names can hold.
#include "native/archive_test.cpp"

namespace xl {
namespace {

TEST(ArchiveWindows, UnpacksBelowAChineseFolder) {
  TempFolder t;
  const std::string game = t.Sub(fixtures::kXingLv + "\\" + fixtures::kZhongWen);
  ASSERT_TRUE(fs::WriteWholeFile(t.Sub("ui.zip"), Resource("skin/silver_ui.zip")));
  archive::UnpackResult r = archive::Unpack(t.Sub("ui.zip"), game);
  ASSERT_TRUE(r.ok()) << r.reason;
  EXPECT_TRUE(fs::FileExists(game + "\\ui\\Res\\Game\\Dialog\\tck_04(1).png"));
}

}  // namespace
}  // namespace xl
