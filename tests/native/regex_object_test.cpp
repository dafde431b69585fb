// The regular-expression object. The same cases run natively over std::regex and, through
// tests/win/regex_object_test.cpp, over the system's "VBScript.RegExp" under Wine: both
// engines must answer alike, down to byte offsets into GBK subjects.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/gbk.h"
#include "text/regex_object.h"

namespace xl::text {
namespace {

struct Found {
  std::string text;
  int position;
  bool operator==(const Found&) const = default;
};

std::vector<Found> AllMatches(const RegexObject& re) {
  std::vector<Found> out;
  for (int n = 1; n <= re.MatchCount(); ++n) {
    Found f{{}, -2};
    f.text = re.MatchText(n, &f.position);
    out.push_back(f);
  }
  return out;
}

void PrintTo(const Found& f, std::ostream* os) { *os << '"' << f.text << "\"@" << f.position; }

TEST(RegexObject, FindsConsecutivePairsFromTheLeft) {
  // The byte-order reversal of item codes rests on exactly this.
  RegexObject re;
  ASSERT_TRUE(re.Run("\\w{2}", "1A2B3C4D"));
  EXPECT_EQ(AllMatches(re), (std::vector<Found>{{"1A", 0}, {"2B", 2}, {"3C", 4}, {"4D", 6}}));
  EXPECT_EQ(re.MatchText(4) + re.MatchText(3) + re.MatchText(2) + re.MatchText(1), "4D3C2B1A");
  EXPECT_EQ(re.PatternText(), "\\w{2}");

  ASSERT_TRUE(re.Run("\\w{2}", "5F5E0FF"));  // an odd last character stands alone
  EXPECT_EQ(re.MatchCount(), 3);
  EXPECT_EQ(re.MatchText(4), "");
}

TEST(RegexObject, NoMatchIsASuccessfulRun) {
  RegexObject re;
  ASSERT_TRUE(re.Run("\\d+", "no digits here"));
  EXPECT_EQ(re.MatchCount(), 0);
  int position = 7;
  EXPECT_EQ(re.MatchText(1, &position), "");
  EXPECT_EQ(position, -1);
  EXPECT_EQ(re.GroupCount(), 0);
}

TEST(RegexObject, OptionsAndTheirDefaults) {
  const struct {
    const char* pattern;
    const char* subject;
    RunOptions options;
    int count;
  } cases[] = {
      {"abc", "xABCx abc", {}, 2},  // case ignored by default
      {"abc", "xABCx abc", {.caseSensitive = true}, 1},
      {"^b\\w", "a\nbc\nbd", {}, 2},  // ^ anchors at every line
      {"^b\\w", "a\nbc\nbd", {.multiLine = false}, 0},
      {"\\w\\w$", "ab\ncd", {}, 2},
      {"\\w\\w$", "ab\ncd", {.multiLine = false}, 1},
      {"\\d", "1 2 3", {}, 3},  // every match by default
      {"\\d", "1 2 3", {.global = false}, 1},
  };
  for (const auto& c : cases) {
    RegexObject re;
    ASSERT_TRUE(re.Run(c.pattern, c.subject, c.options)) << c.pattern;
    EXPECT_EQ(re.MatchCount(), c.count) << c.pattern << " over " << c.subject;
  }
}

TEST(RegexObject, QuoteMarkerStandsForADoubleQuote) {
  const std::string pattern = "#引号\\w+#引号";
  RegexObject re;
  ASSERT_TRUE(re.Run(pattern, "say \"hi\" and bye", {.quoteMarker = true}));
  ASSERT_EQ(re.MatchCount(), 1);
  int position = -2;
  EXPECT_EQ(re.MatchText(1, &position), "\"hi\"");
  EXPECT_EQ(position, 4);
  EXPECT_EQ(re.PatternText(), "\"\\w+\"");

  ASSERT_TRUE(re.Run(pattern, "say \"hi\" and bye"));  // marker off: taken as written
  EXPECT_EQ(re.MatchCount(), 0);
  EXPECT_EQ(re.PatternText(), pattern);
}

TEST(RegexObject, OffsetsAreBytesOfTheGbkSubject) {
  using fixtures::kSecondByteA;
  using fixtures::kXingLv;
  using fixtures::kZhongWen;
  RegexObject re;
  // 星律 ab 中文 cd: each Chinese character is two bytes.
  ASSERT_TRUE(re.Run("\\w+", kXingLv + "ab" + kZhongWen + "cd"));
  EXPECT_EQ(AllMatches(re), (std::vector<Found>{{"ab", 4}, {"cd", 10}}));

  // A pattern holding Chinese text matches whole characters and answers them as GBK.
  ASSERT_TRUE(re.Run(kZhongWen + "(\\w)", "x" + kXingLv + kZhongWen + "z"));
  ASSERT_EQ(re.MatchCount(), 1);
  EXPECT_EQ(AllMatches(re), (std::vector<Found>{{kZhongWen + "z", 5}}));

  // The second byte of 丄 is the letter A: never matched on its own.
  ASSERT_TRUE(re.Run("A", kSecondByteA + "A" + kSecondByteA + "a"));
  EXPECT_EQ(AllMatches(re), (std::vector<Found>{{"A", 2}, {"a", 5}}));

  // Bytes that are not GBK cost one character each; what follows keeps its offsets.
  ASSERT_TRUE(re.Run("\\w+", std::string("\xFF") + "ab\x81\x20" + "cd\x81"));
  EXPECT_EQ(AllMatches(re), (std::vector<Found>{{"ab", 1}, {"cd", 5}}));
}

TEST(RegexObject, GroupsOfEachMatch) {
  RegexObject re;
  ASSERT_TRUE(re.Run("(\\w)=(\\d+)", "a=1, " + fixtures::kXingLv + "b=22"));
  ASSERT_EQ(re.MatchCount(), 2);
  EXPECT_EQ(re.GroupCount(), 2);
  const struct {
    int n, g;
    Found expected;
  } cases[] = {
      {1, 1, {"a", 0}}, {1, 2, {"1", 2}}, {2, 1, {"b", 9}}, {2, 2, {"22", 11}}, {2, 3, {"", -1}},  // no such group
      {3, 1, {"", -1}},                                                                            // no such match
      {1, 0, {"", -1}},
  };
  for (const auto& c : cases) {
    Found f{{}, -2};
    f.text = re.GroupText(c.n, c.g, &f.position);
    EXPECT_EQ(f, c.expected) << c.n << "." << c.g;
  }

  ASSERT_TRUE(re.Run("(\\w)(x)?", "a"));  // a group that took no part
  EXPECT_EQ(re.GroupCount(), 2);
  EXPECT_EQ(re.GroupText(1, 2), "");
}

TEST(RegexObject, SubstituteReplacesInTheSubject) {
  const std::string chinese = fixtures::kZhongWen;
  const struct {
    const char* pattern;
    std::string subject;
    const char* replacement;
    RunOptions options;
    std::string expected;
  } cases[] = {
      {"\\d", "a1b2", "#", {}, "a#b#"},
      {"\\d", "a1b2", "#", {.global = false}, "a#b2"},
      {"(\\w)(\\d)", "a1 " + chinese + "b2", "$2$1", {}, "1a " + chinese + "2b"},
      {"\\d+", "x12y", "[$&]", {}, "x[12]y"},
      {"\\d", "a1", "$$", {}, "a$"},
      {"z", "abc", "#", {}, "abc"},
  };
  for (const auto& c : cases) {
    RegexObject re;
    ASSERT_TRUE(re.Run(c.pattern, c.subject, c.options));
    EXPECT_EQ(re.Substitute(c.replacement), c.expected) << c.pattern << " -> " << c.replacement;
  }
}

TEST(RegexObject, QueriesBeforeAnyRunAnswerNothing) {
  RegexObject re;
  EXPECT_EQ(re.PatternText(), "");
  EXPECT_EQ(re.MatchCount(), 0);
  EXPECT_EQ(re.MatchText(1), "");
  EXPECT_EQ(re.GroupText(1, 1), "");
  EXPECT_EQ(re.GroupCount(), 0);
  EXPECT_EQ(re.Substitute("x"), "");
}

TEST(RegexObject, InvalidPatternFailsTheRun) {
  RegexObject re;
  ASSERT_TRUE(re.Run("\\w", "ab"));
  EXPECT_FALSE(re.Run("(\\w", "ab"));
  EXPECT_EQ(re.MatchCount(), 0);  // the earlier run's matches are gone
  EXPECT_EQ(re.MatchText(1), "");
}

TEST(RegexObject, CopiesAreIndependentAfterwards) {
  RegexObject original;
  ASSERT_TRUE(original.Run("\\d", "1 2"));
  RegexObject copy = original;
  EXPECT_EQ(copy.MatchCount(), 2);
  EXPECT_EQ(copy.MatchText(2), "2");
  EXPECT_EQ(copy.Substitute("#"), "# #");

  ASSERT_TRUE(copy.Run("\\w+", "abc"));
  EXPECT_EQ(original.MatchCount(), 2);  // running the copy leaves the original as it was
  EXPECT_EQ(original.Substitute("#"), "# #");

  original = copy;
  EXPECT_EQ(original.MatchText(1), "abc");
  original = original;  // self-assignment keeps everything
  EXPECT_EQ(original.MatchText(1), "abc");
}

}  // namespace
}  // namespace xl::text
