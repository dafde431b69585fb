// Every failure a player can meet reads as the program's own Chinese reason, whichever
// system code brought it. Also compiled into the Windows tests, where the Windows codes
// go through the system's message table as well, under a Chinese and an English locale.
#include "platform/errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <vector>

namespace xl {
namespace {

struct Row {
  Problem problem;
  std::vector<std::uint32_t> windowsCodes;
  std::vector<int> errnos;
};

const Row kRows[] = {
    {Problem::NotFound, {2, 3}, {ENOENT, ENOTDIR}},
    {Problem::AccessDenied, {5}, {EACCES, EPERM}},
    {Problem::InUse, {32, 33, 1175}, {EBUSY}},
    {Problem::ReadOnly, {6009}, {EROFS}},
    {Problem::DiskFull, {112, 39}, {ENOSPC}},
    {Problem::PathTooLong, {206}, {ENAMETOOLONG}},
    {Problem::FileInTheWay, {80, 183}, {EEXIST}},
    {Problem::NetworkGone, {53, 64, 1231}, {ENETDOWN, ENETUNREACH}},
    {Problem::TooLarge, {223}, {EFBIG}},
};

// The program's reasons are Chinese sentences: no English word may slip into one.
bool HasAsciiLetter(std::string_view text) {
  for (char c : text)
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  return false;
}

TEST(Errors, EveryCodeAPlayerCanMeetGivesTheProgramsReason) {
  for (const Row& row : kRows) {
    const std::string_view reason = ProblemText(row.problem);
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(HasAsciiLetter(reason)) << reason;
    for (std::uint32_t code : row.windowsCodes) EXPECT_EQ(ProblemOfWindowsCode(code), row.problem) << code;
    for (int err : row.errnos) {
      const Error e = ErrnoError(err);
      EXPECT_EQ(e.problem, row.problem) << err;
      EXPECT_EQ(e.message, reason) << err;
    }
  }
  // Anything else keeps the system's words and the code, for a search.
  const Error other = ErrnoError(EIO);
  EXPECT_EQ(other.problem, Problem::Other);
  const std::string code = "（" + WithCode("", EIO) + "）";
  ASSERT_GT(other.message.size(), code.size());
  EXPECT_EQ(other.message.substr(other.message.size() - code.size()), code);
}

}  // namespace
}  // namespace xl
