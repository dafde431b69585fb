// The portable cases, plus the Windows codes as the file layer reports them: the program's
// reason whatever the system's language, the system's text and code for anything else.
#include "native/errors_test.cpp"

namespace xl {
namespace {

TEST(ErrorsWindows, CodesGiveChineseReasonsInEveryLocale) {
  for (const Row& row : kRows) {
    for (std::uint32_t code : row.windowsCodes) {
      const Error e = WindowsError(code);
      EXPECT_EQ(e.problem, row.problem) << code;
      EXPECT_EQ(e.message, ProblemText(row.problem)) << code;
    }
  }
  const std::string invalidFunction = WindowsError(1).message;  // the system has words for it
  const std::string code = "（错误代码 1）";
  ASSERT_GT(invalidFunction.size(), code.size());
  EXPECT_EQ(invalidFunction.substr(invalidFunction.size() - code.size()), code);
  EXPECT_EQ(WindowsError(0x2000ABCD).message, "错误代码 536914893");  // nobody has words for it
}

}  // namespace
}  // namespace xl
