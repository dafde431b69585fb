#include "platform/codepage.h"

#include <cerrno>
#include <iconv.h>

namespace xl {
namespace {

std::optional<std::string> Convert(const char* to, const char* from, std::string_view in) {
  if (in.empty()) return std::string();
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(in.size() * 2 + 8, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  size_t done = 0;
  bool ok = true;
  while (srcLeft > 0) {
    char* dst = out.data() + done;
    size_t dstLeft = out.size() - done;
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    done = out.size() - dstLeft;
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      ok = false;  // EILSEQ or EINVAL: no exact conversion exists
      break;
    }
    if (r > 0) {  // glibc counts irreversible conversions; exactness is required
      ok = false;
      break;
    }
  }
  iconv_close(cd);
  if (!ok) return std::nullopt;
  out.resize(done);
  return out;
}

}  // namespace

// CP936 is Microsoft's GBK table, the one Windows uses; glibc's "GBK" differs in a few
// code points (0x80 euro sign among them).
std::optional<std::string> GbkToUtf8(std::string_view gbk) { return Convert("UTF-8", "CP936", gbk); }
std::optional<std::string> Utf8ToGbk(std::string_view utf8) { return Convert("CP936", "UTF-8", utf8); }

}  // namespace xl
