// Code-page conversions, GBK at the centre. Also compiled into the Windows tests, where the
// same cases run over MultiByteToWideChar / WideCharToMultiByte with code page 936.
#include <gtest/gtest.h>

#include "fixtures/gbk.h"
#include "platform/codepage.h"

namespace xl {
namespace {

using fixtures::U8;

TEST(CodePage, ChineseTextRoundTripsThroughUtf8) {
  const struct {
    std::string gbk;
    std::string utf8;
  } cases[] = {
      {"", ""},
      {"abc 123", "abc 123"},
      {fixtures::kXingLv, U8(u8"星律")},
      {fixtures::kNotice, U8(u8"温馨提示")},
      {fixtures::kSecondByteA + "A", U8(u8"丄A")},
      {"\x80", U8(u8"€")},  // code page 936 maps 0x80 to the euro sign
      // Three UTF-8 bytes for every GBK byte: the output outgrows twice the input.
      {std::string(20, '\x80'),
       [] {
         std::string s;
         for (int i = 0; i < 20; ++i) s += U8(u8"€");
         return s;
       }()},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8) << c.utf8;
    EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk) << c.utf8;
  }
}

TEST(CodePage, LiteralsAreGbkAtRunTime) {
  // The build compiles narrow literals to GBK; the program's texts rely on it.
  EXPECT_EQ(std::string("星律"), fixtures::kXingLv);
  EXPECT_EQ(std::string("温馨提示"), fixtures::kNotice);
}

TEST(CodePage, RefusesWhatCannotConvertExactly) {
  // Kept out of the assertion: gtest turns the expression into a (GBK) literal.
  const std::string emoji = U8(u8"😀");
  EXPECT_FALSE(Utf8ToGbk(emoji));        // outside GBK
  EXPECT_FALSE(Utf8ToGbk("a\xE2\x82"));  // truncated UTF-8
  EXPECT_FALSE(GbkToUtf8("\xD0"));       // lead byte without its second byte
  EXPECT_FALSE(GbkToUtf8("\xFF\xFF"));   // not a GBK character
}

TEST(CodePage, CharacterLengthStepsOverDoubleByteCharacters) {
  std::string s = fixtures::kSecondByteA + "A";
  EXPECT_EQ(GbkCharLength(s, 0), 2u);
  EXPECT_EQ(GbkCharLength(s, 2), 1u);
  EXPECT_EQ(GbkCharLength(std::string("\xD0\0", 2), 0), 1u);  // a zero byte never trails
  EXPECT_EQ(GbkCharLength("\xD0", 0), 1u);                    // a lead byte at the end stands alone
}

}  // namespace
}  // namespace xl
