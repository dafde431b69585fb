// The portable cases over the Windows conversions, plus the UTF-16 edge itself.
#include "native/codepage_test.cpp"

namespace xl {
namespace {

TEST(CodePageWindows, GbkAndUtf16) {
  EXPECT_EQ(GbkToWide(fixtures::kXingLv), std::wstring(L"\u661F\u5F8B"));
  EXPECT_EQ(WideToGbk(L"\u661F\u5F8B"), fixtures::kXingLv);
  EXPECT_FALSE(WideToGbk(L"\U0001F600"));  // outside GBK: refused, never "?"
  EXPECT_FALSE(WideToGbk(L"\u00E9\u0301x"));
  EXPECT_FALSE(GbkToWide("\xFF\xFF"));
  EXPECT_EQ(GbkToWideLossy(fixtures::kNotice), std::wstring(L"\u6E29\u99A8\u63D0\u793A"));
}

}  // namespace
}  // namespace xl
