// ZIP unpacking with minizip's unzip reader. The archive is read whole through the file
// layer and handed to minizip from memory, so the same GBK paths work on every platform and
// minizip never opens a file itself.
#include "platform/archive.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace xl::archive {
namespace {

constexpr std::uint64_t kMaxArchiveBytes = 1ull << 30;
constexpr std::uint64_t kMaxEntryBytes = 512ull << 20;
constexpr unsigned long kUtf8NameFlag = 1u << 11;
constexpr unsigned long kEncryptedFlag = 1u << 0;
constexpr unsigned long kDosDirectory = 0x10;
constexpr unsigned kMadeOnUnix = 3;
constexpr unsigned long kUnixTypeMask = 0170000, kUnixSymlink = 0120000;

// --- minizip reads the archive from memory --------------------------------------------

struct MemoryStream {
  std::string_view data;
  std::uint64_t pos = 0;
};

voidpf ZCALLBACK MemOpen(voidpf opaque, const void*, int mode) {
  return (mode & ZLIB_FILEFUNC_MODE_WRITE) ? nullptr : opaque;
}
uLong ZCALLBACK MemRead(voidpf, voidpf stream, void* buf, uLong size) {
  auto* s = static_cast<MemoryStream*>(stream);
  if (s->pos >= s->data.size()) return 0;
  uLong n = static_cast<uLong>(std::min<std::uint64_t>(size, s->data.size() - s->pos));
  std::memcpy(buf, s->data.data() + s->pos, n);
  s->pos += n;
  return n;
}
uLong ZCALLBACK MemWrite(voidpf, voidpf, const void*, uLong) { return 0; }
ZPOS64_T ZCALLBACK MemTell(voidpf, voidpf stream) { return static_cast<MemoryStream*>(stream)->pos; }
long ZCALLBACK MemSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* s = static_cast<MemoryStream*>(stream);
  std::uint64_t base = origin == ZLIB_FILEFUNC_SEEK_SET   ? 0
                       : origin == ZLIB_FILEFUNC_SEEK_CUR ? s->pos
                                                          : s->data.size();
  if (offset > s->data.size() || base > s->data.size() - offset) return -1;
  s->pos = base + offset;
  return 0;
}
int ZCALLBACK MemClose(voidpf, voidpf) { return 0; }
int ZCALLBACK MemError(voidpf, voidpf) { return 0; }

class OpenZip {
 public:
  explicit OpenZip(std::string_view bytes) : stream_{bytes} {
    zlib_filefunc64_def io{MemOpen, MemRead, MemWrite, MemTell, MemSeek, MemClose, MemError, &stream_};
    zip_ = unzOpen2_64("", &io);
  }
  ~OpenZip() {
    if (zip_) unzClose(zip_);
  }
  OpenZip(const OpenZip&) = delete;
  OpenZip& operator=(const OpenZip&) = delete;
  unzFile get() const { return zip_; }

 private:
  MemoryStream stream_;
  unzFile zip_ = nullptr;
};

// --- entry names -------------------------------------------------------------------------

// A name for messages even when it is not valid text.
std::string Printable(std::string_view name) {
  if (GbkToUtf8(name)) return std::string(name);
  std::string out(name);
  for (char& c : out)
    if (static_cast<unsigned char>(c) >= 0x80 || static_cast<unsigned char>(c) < 0x20) c = '?';
  return out;
}

bool IsDeviceName(std::string_view component) {
  std::string base(component.substr(0, component.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = static_cast<char>((c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c);
  static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
  if (std::find(kPlain.begin(), kPlain.end(), base) != kPlain.end()) return true;
  return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) && base[3] >= '1' && base[3] <= '9';
}

// Why one path component cannot be written inside the destination; empty when it can.
std::string ComponentProblem(std::string_view c) {
  if (c.empty()) return "路径中有空的部分";
  if (c.find_first_not_of(". ") == std::string_view::npos) return "路径中有“.”或“..”";
  // Windows drops trailing dots and spaces, so the file would land under another name.
  if (c.back() == '.' || c.back() == ' ') return "名称以点或空格结尾";
  if (IsDeviceName(c)) return "名称是系统设备名";
  for (size_t i = 0; i < c.size(); i += GbkCharLength(c, i)) {
    if (GbkCharLength(c, i) == 2) continue;
    unsigned char ch = static_cast<unsigned char>(c[i]);
    if (ch < 0x20 || std::string_view("<>:\"|?*").find(static_cast<char>(ch)) != std::string_view::npos)
      return "名称中有 Windows 不允许的字符";
  }
  return {};
}

// Splits a GBK name at "/" and "\" (a GBK character's second byte may be 0x5C, so the
// name is walked character by character).
std::vector<std::string> SplitName(std::string_view name) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < name.size();) {
    size_t len = GbkCharLength(name, i);
    if (len == 1 && (name[i] == '/' || name[i] == '\\'))
      parts.emplace_back();
    else
      parts.back().append(name.substr(i, len));
    i += len;
  }
  return parts;
}

// Resolves "." and ".." as the system would and tells whether `path` stays below `folder`
// (which ends with "\"). The name checks already make this so; this is the last word
// before anything is written.
bool StaysInside(std::string_view folder, std::string_view path) {
  if (!path.starts_with(folder)) return false;
  int depth = 0;
  for (const std::string& part : SplitName(path.substr(folder.size()))) {
    if (part == "..") {
      if (--depth < 0) return false;
    } else if (!part.empty() && part != ".") {
      ++depth;
    }
  }
  return depth > 0;
}

struct PlannedEntry {
  Entry entry;
  std::string parent;   // the folder the entry lies in, relative; empty at the top
  std::string display;  // the name as stored, for messages
};

// The entry's path below the destination, or why it is refused.
Result<PlannedEntry> PlanEntry(const unz_file_info64& info, std::string_view rawName) {
  PlannedEntry planned;
  planned.display = Printable(rawName);
  auto refuse = [&](std::string_view why) {
    return Error{"压缩包中有不安全的条目，未解压任何文件：" + planned.display + "（" + std::string(why) + "）"};
  };
  if (rawName.find('\0') != std::string_view::npos) return refuse("名称中有空字符");
  std::string name(rawName);
  if (info.flag & kUtf8NameFlag) {
    auto gbk = Utf8ToGbk(rawName);
    if (!gbk) return refuse("名称中有无法用中文编码表示的字符");
    name = std::move(*gbk);
    planned.display = name;
  } else if (!GbkToUtf8(name)) {
    return refuse("名称不是有效的中文编码");
  }
  if ((info.version >> 8) == kMadeOnUnix && ((info.external_fa >> 16) & kUnixTypeMask) == kUnixSymlink)
    return refuse("符号链接");
  if (name.empty()) return refuse("名称为空");
  if (name.front() == '/' || name.front() == '\\') return refuse("绝对路径");

  std::vector<std::string> parts = SplitName(name);
  bool endsWithSeparator = parts.size() > 1 && parts.back().empty();
  if (endsWithSeparator) parts.pop_back();
  for (const std::string& part : parts)
    if (std::string why = ComponentProblem(part); !why.empty()) return refuse(why);

  for (const std::string& part : parts) {
    planned.parent = planned.entry.path;
    if (!planned.entry.path.empty()) planned.entry.path += '\\';
    planned.entry.path += part;
  }
  planned.entry.isDirectory = endsWithSeparator || (info.external_fa & kDosDirectory) != 0;
  planned.entry.size = info.uncompressed_size;
  planned.entry.crc = static_cast<std::uint32_t>(info.crc);
  if (!planned.entry.isDirectory && (info.flag & kEncryptedFlag))
    return ErrorOf(Problem::DamagedArchive, "条目已加密：" + planned.display);
  return planned;
}

// --- reading -----------------------------------------------------------------------------

Result<std::string> ReadArchive(std::string_view path) {
  if (!fs::FileExists(path)) return Error{"找不到压缩包：" + std::string(path)};
  auto bytes = fs::ReadWholeFile(path, kMaxArchiveBytes);
  if (!bytes) return Error{"无法读取压缩包 " + std::string(path) + "：" + bytes.error().message};
  return bytes;
}

std::int32_t Int32At(std::string_view b, size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return static_cast<std::int32_t>(v);
}

// The file must begin with a complete local header of an entry that has a name: bytes 24 to
// 27 of it hold the high half of the entry's size and the name's length.
bool LooksLikeZip(std::string_view bytes) {
  return bytes.size() >= 32 && Int32At(bytes, 0) == 0x04034B50 && Int32At(bytes, 24) >= 1;
}

// Reads the current entry whole. A size beyond the one recorded, a damaged stream or a wrong
// checksum fails.
Result<std::string> ReadEntry(unzFile zip, const unz_file_info64& info, const std::string& display) {
  Error damaged = ErrorOf(Problem::DamagedArchive, "条目已损坏：" + display);
  if (info.uncompressed_size > kMaxEntryBytes) return ErrorOf(Problem::DamagedArchive, "条目太大：" + display);
  if (unzOpenCurrentFile(zip) != UNZ_OK) return damaged;
  std::string data;
  data.resize(static_cast<size_t>(info.uncompressed_size) + 1);  // one more byte shows an overrun
  size_t done = 0;
  int n = 0;
  while (done < data.size() &&
         (n = unzReadCurrentFile(zip, data.data() + done,
                                 static_cast<unsigned>(std::min<size_t>(data.size() - done, 1u << 20)))) > 0)
    done += static_cast<size_t>(n);
  int closed = unzCloseCurrentFile(zip);
  if (n < 0 || closed != UNZ_OK || done != info.uncompressed_size) return damaged;
  data.resize(done);
  return data;
}

template <class Visit>
Status ForEachEntry(unzFile zip, Visit&& visit) {
  std::string name(65536, '\0');
  int rc = unzGoToFirstFile(zip);
  for (; rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip, &info, name.data(), static_cast<uLong>(name.size()), nullptr, 0, nullptr, 0) !=
        UNZ_OK)
      return ErrorOf(Problem::DamagedArchive, "目录已损坏");
    if (Status s = visit(info, std::string_view(name.data(), info.size_filename)); !s) return s;
  }
  if (rc != UNZ_END_OF_LIST_OF_FILE) return ErrorOf(Problem::DamagedArchive, "目录已损坏");
  return Success();
}

// Checks every entry before anything is written: its name, and its data (inflated and
// checksummed), so a refused or damaged archive leaves the disk as it was.
Result<std::vector<PlannedEntry>> MakePlan(unzFile zip, UnpackStatus& failure) {
  std::vector<PlannedEntry> entries;
  Status walked = ForEachEntry(zip, [&](const unz_file_info64& info, std::string_view rawName) -> Status {
    auto planned = PlanEntry(info, rawName);
    if (!planned) {
      failure = UnpackStatus::UnsafeEntry;
      return planned.error();
    }
    if (!planned->entry.isDirectory) {
      if (auto data = ReadEntry(zip, info, planned->display); !data) {
        failure = UnpackStatus::DamagedEntry;
        return data.error();
      }
    }
    entries.push_back(std::move(*planned));
    return Success();
  });
  if (!walked) {
    if (failure == UnpackStatus::Done) failure = UnpackStatus::NotZip;
    return walked.error();
  }
  return entries;
}

UnpackResult Failed(UnpackStatus status, std::string reason, int done = 0) {
  return UnpackResult{status, std::move(reason), done, false};
}

}  // namespace

bool SameContent(const Entry& entry, std::string_view bytes) {
  if (entry.isDirectory || bytes.size() != entry.size) return false;
  uLong crc = crc32(0, nullptr, 0);
  for (size_t at = 0; at < bytes.size();) {
    uInt n = static_cast<uInt>(std::min<size_t>(bytes.size() - at, 1u << 30));
    crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data() + at), n);
    at += n;
  }
  return static_cast<std::uint32_t>(crc) == entry.crc;
}

Result<std::vector<Entry>> ListEntries(std::string_view archivePath) {
  auto bytes = ReadArchive(archivePath);
  if (!bytes) return bytes.error();
  if (!LooksLikeZip(*bytes)) return ErrorOf(Problem::DamagedArchive, "不是ZIP压缩包");
  OpenZip zip(*bytes);
  if (!zip.get()) return ErrorOf(Problem::DamagedArchive, "目录已损坏");
  UnpackStatus failure = UnpackStatus::Done;
  auto plan = MakePlan(zip.get(), failure);
  if (!plan) return plan.error();
  std::vector<Entry> entries;
  for (PlannedEntry& p : *plan) entries.push_back(std::move(p.entry));
  return entries;
}

UnpackResult Unpack(std::string_view archivePath, std::string_view destinationFolder, const Progress& progress) {
  if (archivePath.empty() || destinationFolder.empty())
    return Failed(UnpackStatus::EmptyArgument, "压缩包路径或目标文件夹为空");
  auto bytes = ReadArchive(archivePath);
  if (!bytes) return Failed(UnpackStatus::NoArchive, bytes.error().message);

  std::string folder(destinationFolder);
  if (folder.back() != '\\' && folder.back() != '/') folder += '\\';

  if (!LooksLikeZip(*bytes))
    return Failed(UnpackStatus::NotZip, ErrorOf(Problem::DamagedArchive, "不是ZIP压缩包").message);
  OpenZip zip(*bytes);
  if (!zip.get()) return Failed(UnpackStatus::NotZip, ErrorOf(Problem::DamagedArchive, "目录已损坏").message);
  UnpackStatus failure = UnpackStatus::Done;
  auto plan = MakePlan(zip.get(), failure);
  if (!plan) return Failed(failure, plan.error().message);
  for (const PlannedEntry& p : *plan)
    if (!StaysInside(folder, folder + p.entry.path))
      return Failed(UnpackStatus::UnsafeEntry, "压缩包中有不安全的条目，未解压任何文件：" + p.display);

  // The destination is made only once the archive is known to be sound.
  if (Status s = fs::CreateDirectories(folder); !s)
    return Failed(UnpackStatus::FolderFailed, "无法创建文件夹 " + folder + "：" + s.error().message);

  const int count = static_cast<int>(plan->size());
  int done = 0;
  bool cancelled = false;
  Status walked = ForEachEntry(zip.get(), [&](const unz_file_info64& info, std::string_view) -> Status {
    const PlannedEntry& p = (*plan)[static_cast<size_t>(done)];
    std::string target = folder + p.entry.path;
    if (p.entry.isDirectory) {
      if (Status s = fs::CreateDirectories(target); !s) {
        failure = UnpackStatus::FolderFailed;
        return Error{"无法创建文件夹 " + target + "：" + s.error().message};
      }
    } else {
      auto data = ReadEntry(zip.get(), info, p.display);
      if (!data) {
        failure = UnpackStatus::DamagedEntry;
        return data.error();
      }
      // An entry may come before the directory entry of its folder, or have none.
      if (!p.parent.empty()) {
        std::string parent = folder + p.parent;
        if (Status s = fs::CreateDirectories(parent); !s) {
          failure = UnpackStatus::FolderFailed;
          return Error{"无法创建文件夹 " + parent + "：" + s.error().message};
        }
      }
      // A read-only file already there is replaced too; stored attributes are not applied.
      if (fs::FileExists(target)) (void)fs::SetNormalAttributes(target);
      if (Status s = fs::WriteWholeFile(target, *data); !s) {
        failure = UnpackStatus::WriteFailed;
        return Error{"无法写入文件 " + target + "：" + s.error().message};
      }
      (void)fs::SetNormalAttributes(target);
    }
    ++done;
    if (progress && !progress(done, count) && done < count) {
      cancelled = true;
      return Error{};
    }
    return Success();
  });
  if (cancelled) return UnpackResult{UnpackStatus::Done, {}, done, true};
  if (!walked)
    return Failed(failure == UnpackStatus::Done ? UnpackStatus::NotZip : failure, walked.error().message, done);
  return UnpackResult{UnpackStatus::Done, {}, done, false};
}

}  // namespace xl::archive
