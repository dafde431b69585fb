// Every failure a player can meet reads as the program's own Chinese reason, whichever
// system code brought it. Also compiled into the Windows tests, where the Windows codes
// go through the system's message table as well, under a Chinese and an English locale.
#include "platform/errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <string_view>
#include <vector>

namespace xl {
namespace {

// Each reason word for word as the program says it, and the codes that lead to it.
struct Row {
  Problem problem;
  std::string_view reason;
  std::vector<std::uint32_t> windowsCodes;
  std::vector<int> errnos;
};

const Row kRows[] = {
    {Problem::NotFound, "找不到文件或文件夹，它可能已被移动、改名或删除", {2, 3}, {ENOENT, ENOTDIR}},
    {Problem::AccessDenied,
     "没有权限访问文件或文件夹；请以管理员身份运行修改器，或查看杀毒软件是否阻止了它",
     {5},
     {EACCES, EPERM}},
    {Problem::InUse, "文件正被其他程序使用（例如游戏正在运行），请关闭后再试", {32, 33, 1175}, {EBUSY}},
    {Problem::ReadOnly, "文件是只读的；请在文件的“属性”中取消“只读”后再试", {6009}, {EROFS}},
    {Problem::DiskFull, "磁盘空间不足；请清理磁盘后再试", {112, 39}, {ENOSPC}},
    {Problem::PathTooLong, "文件路径太长；请把游戏放到路径较短的文件夹中后再试", {206}, {ENAMETOOLONG}},
    {Problem::FileInTheWay, "需要文件夹的位置上已有一个同名文件；请把这个文件改名或移走后再试", {80, 183}, {EEXIST}},
    {Problem::NetworkGone, "网络路径已断开或无法访问；请检查网络连接后再试", {53, 64, 1231}, {ENETDOWN, ENETUNREACH}},
    {Problem::TooLarge, "文件太大，无法读取", {223}, {EFBIG}},
    {Problem::BadName, "文件路径含有无法识别的字符（例如表情符号）；请把文件名或文件夹名改成中文或英文后再试", {}, {}},
    {Problem::DamagedArchive, "压缩包已损坏或格式不受支持；请重新下载修改器后再试", {}, {}},
};

TEST(Errors, EveryCodeAPlayerCanMeetGivesTheProgramsReason) {
  for (const Row& row : kRows) {
    EXPECT_EQ(ProblemText(row.problem), row.reason);
    for (std::uint32_t code : row.windowsCodes) EXPECT_EQ(ProblemOfWindowsCode(code), row.problem) << code;
    for (int err : row.errnos) {
      const Error e = ErrnoError(err);
      EXPECT_EQ(e.problem, row.problem) << err;
      EXPECT_EQ(e.message, row.reason) << err;
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
