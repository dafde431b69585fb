// The text operations every edit rests on: searches that respect GBK characters, the
// element read and rewrite, the player-block split and the hexadecimal name encoding.
#include "replay/text_ops.h"

#include <gtest/gtest.h>

#include "fixtures/gbk.h"
#include "platform/codepage.h"
#include "tools/fixtures/replay_fixture.h"

namespace xl::replay {
namespace {

using fixtures::kSecondByteA;
using fixtures::kSecondByteLowerA;
using fixtures::kSecondByteZ;
using fixtures::kXingLv;

TEST(FindText, StepsOverDoubleByteCharacters) {
  const std::string a = kSecondByteA, la = kSecondByteLowerA;  // 丄 = 81 41, 乤 = 81 61
  const struct {
    std::string text, sought;
    TextPos start;
    bool ignoreCase;
    TextPos expected;
  } cases[] = {
      {"abcabc", "bc", 1, false, 2},
      {"abcabc", "bc", 3, false, 5},
      {"abcabc", "bc", -5, false, 2},  // below 1: from the beginning
      {"abcabc", "bc", 6, false, -1},
      {"abc", "", 1, false, -1},
      {"", "a", 1, false, -1},
      {a + "A", "A", 1, false, 3},  // not the second byte of 丄
      {a + a + "A", "A", 1, false, 5},
      {a, "A", 1, false, -1},
      {la + "a", "A", 1, true, 3},  // nor with case ignored
      {"x" + a + "A", "A", 1, false, 4},
      {a + "A", "A", 2, false, 2},  // the scan starts where it is told: byte 2 is a character there
      {kXingLv + a + "<Tag>", "<tag>", 1, true, 7},
      {std::string("\x81\0A", 3), "A", 1, false, 3},  // a lead byte before a zero stands alone
      {std::string("\x81\0", 2), std::string("\0", 1), 1, false, 2},
      {"\x81\x81\x81"
       "A",
       "A", 1, false, -1},  // 8181 | 8141
      {"\x80"
       "A",
       "A", 1, false, -1},  // 0x80 leads a character as every high byte does
      {"\x80"
       "a",
       "A", 1, true, -1},
      {"\x81\x81\x81\x81"
       "A",
       "A", 1, false, 5},
      {"<NAME>" + a, "<name>", 1, true, 1},
      {a, la, 1, true, -1},        // 丄 and 乤 are different characters, not cases
      {"ABC", "abc", 1, true, 1},  // letters only
      {"xAbC", "abc", 1, true, 2},
      {"ABC", "abc", 1, false, -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindText(c.text, c.sought, c.start, c.ignoreCase), c.expected)
        << BytesToHex(c.text) << " / " << BytesToHex(c.sought) << " from " << c.start;
}

TEST(FindText, AgreesWithAStepByStepScanOverGeneratedReplays) {
  // Reference: the plain scan, one character at a time, compared at every step.
  auto reference = [](std::string_view text, std::string_view sought, TextPos start, bool ignoreCase) -> TextPos {
    auto fold = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
    std::vector<bool> trail(sought.size());
    for (size_t k = 0; k < sought.size(); k += GbkCharLength(sought, k))
      if (GbkCharLength(sought, k) == 2) trail[k + 1] = true;
    for (size_t i = static_cast<size_t>(start - 1); i + sought.size() <= text.size(); i += GbkCharLength(text, i)) {
      bool match = true;
      for (size_t k = 0; k < sought.size() && match; ++k) {
        unsigned char a = static_cast<unsigned char>(text[i + k]), b = static_cast<unsigned char>(sought[k]);
        match = a == b || (ignoreCase && !trail[k] && fold(a) == fold(b));
      }
      if (match) return static_cast<TextPos>(i) + 1;
    }
    return -1;
  };
  const std::string text = fixtures::MakeReplay({.players = 3, .seed = 7, .bytes = 20000});
  const std::string soughts[] = {"A", "a", "</PlayerInfo>", "<playerinfo>", kSecondByteA, "Aa", "\t\t\t<pst>", "zz"};
  for (const std::string& s : soughts) {
    for (bool ignoreCase : {false, true}) {
      // Every occurrence, each search starting one byte after the previous hit.
      std::vector<TextPos> found, expected;
      for (TextPos p = FindText(text, s, 1, ignoreCase); p != kNotFound; p = FindText(text, s, p + 1, ignoreCase))
        found.push_back(p);
      for (TextPos p = reference(text, s, 1, ignoreCase); p != kNotFound; p = reference(text, s, p + 1, ignoreCase))
        expected.push_back(p);
      EXPECT_EQ(found, expected) << BytesToHex(s) << " " << ignoreCase;
    }
  }
}

TEST(ReplaceText, CountStartAndCase) {
  const struct {
    std::string text, sought, replacement;
    TextPos start, count;
    bool caseSensitive;
    std::string expected;
    int replaced;
  } cases[] = {
      {"a-a-a", "a", "bb", 1, kAllOccurrences, true, "bb-bb-bb", 3},
      {"a-a-a", "a", "bb", 1, 1, true, "bb-a-a", 1},
      {"a-a-a", "a", "bb", 1, 2, true, "bb-bb-a", 2},
      {"a-a-a", "a", "bb", 2, kAllOccurrences, true, "a-bb-bb", 2},
      {"a-a-a", "a", "bb", 1, 0, true, "a-a-a", 0},
      {"a-a-a", "a", "bb", 6, kAllOccurrences, true, "a-a-a", 0},  // beyond the end
      {"a-a-a", "", "bb", 1, kAllOccurrences, true, "a-a-a", 0},
      {"", "a", "bb", 1, kAllOccurrences, true, "", 0},
      {"aaa", "aa", "a", 1, kAllOccurrences, true, "aa", 1},   // non-overlapping
      {"aa", "a", "aa", 1, kAllOccurrences, true, "aaaa", 2},  // goes on after the inserted text
      {"<TAG>1</TAG><Tag>2", "<tag>", "<t>", 1, kAllOccurrences, false, "<t>1</TAG><t>2", 2},
      {"<TAG>1", "<tag>", "<t>", 1, kAllOccurrences, true, "<TAG>1", 0},
      {kSecondByteA + "A" + kSecondByteZ + "Z", "A", "x", 1, kAllOccurrences, true,
       kSecondByteA + "x" + kSecondByteZ + "Z", 1},
      {kSecondByteLowerA + "a", "A", "x", 1, kAllOccurrences, false, kSecondByteLowerA + "x", 1},
  };
  for (const auto& c : cases) {
    int replaced = -1;
    EXPECT_EQ(ReplaceText(c.text, c.sought, c.replacement, c.start, c.count, c.caseSensitive, &replaced), c.expected)
        << c.text << " / " << c.sought;
    EXPECT_EQ(replaced, c.replaced) << c.text << " / " << c.sought;
  }
}

TEST(ReplaceSequence, AppliesEachPairInTurn) {
  EXPECT_EQ(ReplaceSequence("a b a", kAllOccurrences, 0, true, {{"a", "b"}, {"b", "c"}}), "c c c");
  EXPECT_EQ(ReplaceSequence("a b a", 1, 1, true, {{"", "x"}, {"a", "b"}}), "b b a");
  EXPECT_EQ(ReplaceSequence("A a", kAllOccurrences, 1, false, {{"a", "x"}}), "x x");
}

TEST(TextBetween, FirstElementOnly) {
  const struct {
    std::string text, open, close, expected;
  } cases[] = {
      {"<a>1</a><a>2</a>", "<a>", "</a>", "1"},
      {"<a>1", "<a>", "</a>", ""},       // closing tag missing
      {"</a>x<a>1", "<a>", "</a>", ""},  // closing tag only before the opening one
      {"x</a><a>1</a>", "<a>", "</a>", "1"},
      {"<a></a>", "<a>", "</a>", ""},
      {"<b>1</b>", "<a>", "</a>", ""},
      {"<A>1</A>", "<a>", "</a>", ""},                         // case matters
      {"<s n=\"2\">v</s>", "<s n=#引号2#引号>", "</s>", "v"},  // the quote marker
      {"<s n=#引号2#引号>v</s>", "<s n=#引号2#引号>", "</s>", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(TextBetween(c.text, c.open, c.close), c.expected) << c.text;
}

TEST(RewriteField, RewritesEqualElementsAndReportsWhetherFound) {
  const struct {
    std::string text;
    FieldMode mode;
    std::string expected;
    bool found;
  } cases[] = {
      {"<v>1</v><v>1</v><v>2</v>", {}, "<v>9</v><v>9</v><v>2</v>", true},
      {"<v>1</v><v>1</v>", {.firstOnly = true}, "<v>9</v><v>1</v>", true},
      {"<v>9</v>", {}, "<v>9</v>", true},                  // same value: found and written
      {"<w>1</w>", {}, "<w>1</w>", false},                 // missing tag: unchanged
      {"<v>1", {}, "<v>1", false},                         // no closing tag: the empty element is not there either
      {"<v></v>x<v></v>", {}, "<v>9</v>x<v>9</v>", true},  // empty elements are elements too
      {"<v>1<v></v>", {}, "<v>9</v>", true},               // the first element runs to the first closing tag
      {"<v>1</v><V>1</V>", {.caseSensitive = false}, "<v>9</v><v>9</v>", true},
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(RewriteField(text, "<v>", "</v>", "9", c.mode), c.found) << c.text;
    EXPECT_EQ(text, c.expected) << c.text;
  }
  std::string quoted = "<s n=\"2\">v</s>";
  EXPECT_TRUE(RewriteField(quoted, "<s n=#引号2#引号>", "</s>", "w"));
  EXPECT_EQ(quoted, "<s n=\"2\">w</s>");
}

TEST(TakeAllBetween, SplitsTrimmedBlocks) {
  const std::string wide = "\xA1\xA1";  // full-width space
  const struct {
    std::string text;
    std::vector<std::string> expected;
  } cases[] = {
      {"[1][2]", {"1", "2"}},
      {"[ 1 ][" + wide + "2" + wide + "]", {"1", "2"}},
      {"[\t1\r\n]", {"\t1\r\n"}},                                                   // only spaces are trimmed
      {"[  ][3]", {"3"}},                                                           // empty pieces are skipped
      {"[1][2", {"1"}},                                                             // an unclosed piece ends the split
      {"[" + kSecondByteA.substr(0, 1) + " ]", {kSecondByteA.substr(0, 1) + " "}},  // 81 20 is one character
      {"[\xB0\xA1" + wide + " ]", {"\xB0\xA1"}},  // B0A1 (啊), then a full-width space
      {"[" + wide + "\xA1]", {}},                 // A1 5D is one character: no closing mark
  };
  for (const auto& c : cases) EXPECT_EQ(TakeAllBetween(c.text, "[", "]", nullptr), c.expected) << c.text;
  EXPECT_EQ(TakeAllBetween("<P>1</p><p>2</P>", "<p>", "</p>", nullptr), (std::vector<std::string>{"1", "2"}));
}

TEST(TakeAllBetween, FindsOnlyBlocksIndentedByThreeTabs) {
  const std::string text = fixtures::MakeReplay({.players = 2, .seed = 3});
  EXPECT_EQ(TakeAllBetween(text, "\t\t\t<PlayerInfo>", "\t\t\t</PlayerInfo>", nullptr).size(), 2u);
  std::string shifted = ReplaceText(text, "\t\t\t<PlayerInfo>", "\t\t<PlayerInfo>", 1, 1);
  shifted = ReplaceText(shifted, "\t\t\t</PlayerInfo>", "\t\t</PlayerInfo>", 1, 1);
  // The first block lost its markers; its text now belongs to nothing.
  EXPECT_EQ(TakeAllBetween(shifted, "\t\t\t<PlayerInfo>", "\t\t\t</PlayerInfo>", nullptr).size(), 1u);
}

TEST(Hex, BytesAndDigits) {
  EXPECT_EQ(BytesToHex("abc"), "616263");
  EXPECT_EQ(BytesToHex(""), "");
  EXPECT_EQ(BytesToHex(kXingLv + std::string("\0\xFF", 2)), "D0C7C2C900FF");
  EXPECT_EQ(HexToBytes("616263"), "abc");
  EXPECT_EQ(HexToBytes("6162636"), "abc");  // a final odd digit is ignored
  EXPECT_EQ(HexToBytes("d0c7C2C9"), kXingLv);
  EXPECT_EQ(HexToBytes("zz4G"), std::string("\0\x40", 2));  // anything else counts as 0
}

}  // namespace
}  // namespace xl::replay
