#include "platform/errors.h"

#include <cerrno>
#include <cstring>

#include "platform/codepage.h"

namespace xl {

std::string_view ProblemText(Problem problem) {
  switch (problem) {
    case Problem::Other: return {};
    case Problem::NotFound: return "找不到文件或文件夹，它可能已被移动、改名或删除";
    case Problem::AccessDenied: return "没有权限访问文件或文件夹；请以管理员身份运行修改器，或查看杀毒软件是否阻止了它";
    case Problem::InUse: return "文件正被其他程序使用（例如游戏正在运行），请关闭后再试";
    case Problem::ReadOnly: return "文件是只读的；请在文件的“属性”中取消“只读”后再试";
    case Problem::DiskFull: return "磁盘空间不足；请清理磁盘后再试";
    case Problem::PathTooLong: return "文件路径太长；请把游戏放到路径较短的文件夹中后再试";
    case Problem::FileInTheWay: return "需要文件夹的位置上已有一个同名文件；请把这个文件改名或移走后再试";
    case Problem::NetworkGone: return "网络路径已断开或无法访问；请检查网络连接后再试";
    case Problem::TooLarge: return "文件太大，无法读取";
    case Problem::BadName:
      return "文件路径含有无法识别的字符（例如表情符号）；请把文件名或文件夹名改成中文或英文后再试";
    case Problem::DamagedArchive: return "压缩包已损坏或格式不受支持；请重新下载修改器后再试";
  }
  return {};
}

Problem ProblemOfWindowsCode(std::uint32_t code) {
  switch (code) {
    case 2:   // ERROR_FILE_NOT_FOUND
    case 3:   // ERROR_PATH_NOT_FOUND
    case 15:  // ERROR_INVALID_DRIVE
      return Problem::NotFound;
    case 5:  // ERROR_ACCESS_DENIED
      return Problem::AccessDenied;
    case 32:    // ERROR_SHARING_VIOLATION
    case 33:    // ERROR_LOCK_VIOLATION
    case 1175:  // ERROR_UNABLE_TO_REMOVE_REPLACED: a save whose replay another program holds
      return Problem::InUse;
    case 19:    // ERROR_WRITE_PROTECT
    case 6009:  // ERROR_FILE_READ_ONLY
      return Problem::ReadOnly;
    case 39:   // ERROR_HANDLE_DISK_FULL
    case 112:  // ERROR_DISK_FULL
      return Problem::DiskFull;
    case 206:  // ERROR_FILENAME_EXCED_RANGE
      return Problem::PathTooLong;
    case 80:   // ERROR_FILE_EXISTS
    case 183:  // ERROR_ALREADY_EXISTS
      return Problem::FileInTheWay;
    case 53:    // ERROR_BAD_NETPATH
    case 64:    // ERROR_NETNAME_DELETED
    case 1231:  // ERROR_NETWORK_UNREACHABLE
      return Problem::NetworkGone;
    case 223:  // ERROR_FILE_TOO_LARGE
      return Problem::TooLarge;
    default: return Problem::Other;
  }
}

Problem ProblemOfErrno(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:  // a folder on the path is a file: Windows says "path not found"
      return Problem::NotFound;
    case EACCES:
    case EPERM:
    case EISDIR:  // opening a folder as a file: Windows says "access denied"
      return Problem::AccessDenied;
    case EBUSY:
#ifdef ETXTBSY
    case ETXTBSY:
#endif
      return Problem::InUse;
    case EROFS: return Problem::ReadOnly;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return Problem::DiskFull;
    case ENAMETOOLONG: return Problem::PathTooLong;
    case EEXIST: return Problem::FileInTheWay;
#ifdef ENETDOWN
    case ENETDOWN:
    case ENETUNREACH:
    case EHOSTUNREACH:
#endif
#ifdef ESTALE
    case ESTALE:
#endif
      return Problem::NetworkGone;
    case EFBIG: return Problem::TooLarge;
    default: return Problem::Other;
  }
}

Error ErrorOf(Problem problem, std::string_view detail) {
  std::string text(ProblemText(problem));
  if (!detail.empty()) {
    // What to do follows the first "；", found character by character.
    const std::string_view advice = "；";
    size_t at = 0;
    while (at < text.size() && std::string_view(text).substr(at, advice.size()) != advice)
      at += GbkCharLength(text, at);
    text.insert(at, "（" + std::string(detail) + "）");
  }
  return Error{std::move(text), problem};
}

std::string WithCode(std::string_view systemText, long long code) {
  const std::string number = "错误代码 " + std::to_string(code);
  if (systemText.empty()) return number;
  return std::string(systemText) + "（" + number + "）";
}

Error ErrnoError(int err) {
  if (Problem p = ProblemOfErrno(err); p != Problem::Other) return ErrorOf(p);
  const char* text = std::strerror(err);
  return Error{WithCode(text ? text : "", err)};
}

}  // namespace xl
