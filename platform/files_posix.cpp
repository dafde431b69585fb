// POSIX file layer, used by the native tests and tools: program paths (GBK, "\") become
// UTF-8 paths with "/" before they reach the system.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace xl::fs {
namespace {

Error SystemError(int err) { return ErrnoError(err); }

constexpr const char* kSavingSuffix = ".saving";
constexpr size_t kChunk = 256u << 10;  // reads in pieces and copies, a piece at a time

struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

Status WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return SystemError(errno);
    }
    done += static_cast<size_t>(n);
  }
  return Success();
}

// The name with each character GBK cannot hold (or each byte that is no UTF-8) as "?".
std::string LossyGbk(std::string_view utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    size_t len = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    len = std::min(len, utf8.size() - i);
    auto gbk = Utf8ToGbk(utf8.substr(i, len));
    if (!gbk) len = 1;
    out += gbk ? *gbk : std::string("?");
    i += len;
  }
  return out;
}

std::string ParentOf(const std::string& native) {
  size_t slash = native.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return native.substr(0, slash);
}

// Makes a new name in a folder durable.
void SyncFolderOf(const std::string& native) {
  Fd dir{::open(ParentOf(native).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (dir.fd >= 0) ::fsync(dir.fd);
}

// A new empty file for writing, owner only until its mode is set. One left over from a
// save that was cut off is ours and is replaced, also when it has lost its write permission.
int CreateFresh(const std::string& native) {
  ::unlink(native.c_str());
  return ::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
}

}  // namespace

std::string NativePath(std::string_view path) {
  std::string out = GbkToUtf8(path).value_or(std::string(path));
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

std::string ProgramPath(std::string_view nativePath) {
  std::string out = Utf8ToGbk(nativePath).value_or(std::string(nativePath));
  for (char& c : out)
    if (c == '/') c = '\\';
  return out;
}

Result<std::string> ReadWholeFile(std::string_view path, std::uint64_t maxBytes, size_t spareCapacity) {
  Fd f{::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC)};
  if (f.fd < 0) return SystemError(errno);
  struct stat st {};
  if (::fstat(f.fd, &st) != 0) return SystemError(errno);
  if (S_ISDIR(st.st_mode)) return SystemError(EISDIR);
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) return ErrorOf(Problem::TooLarge);
  // Exactly the size the file has, and the room asked for: a growing string would double.
  std::string data;
  data.reserve(static_cast<size_t>(st.st_size) + spareCapacity);
  data.resize(static_cast<size_t>(st.st_size));
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::read(f.fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return SystemError(errno);
    if (n == 0) break;  // the file shrank meanwhile
    done += static_cast<size_t>(n);
  }
  data.resize(done);
  // It may have grown meanwhile, too: the rest is read on.
  for (char more[4096];;) {
    ssize_t n = ::read(f.fd, more, sizeof more);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return SystemError(errno);
    if (n == 0) break;
    if (data.size() + static_cast<size_t>(n) > maxBytes) return ErrorOf(Problem::TooLarge);
    data.append(more, static_cast<size_t>(n));
  }
  return data;
}

Status ReadInPieces(std::string_view path, const std::function<bool(std::string_view piece)>& take,
                    std::uint64_t* size) {
  Fd f{::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC)};
  if (f.fd < 0) return SystemError(errno);
  struct stat st {};
  if (::fstat(f.fd, &st) != 0) return SystemError(errno);
  if (S_ISDIR(st.st_mode)) return SystemError(EISDIR);
  if (size) *size = static_cast<std::uint64_t>(st.st_size);
  std::vector<char> chunk(kChunk);
  for (;;) {
    ssize_t n = ::read(f.fd, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return SystemError(errno);
    if (n == 0 || !take(std::string_view(chunk.data(), static_cast<size_t>(n)))) return Success();
  }
}

Status WriteWholeFile(std::string_view path, std::string_view bytes) {
  std::string native = NativePath(path);
  struct stat st {};
  // Root may write anything; keep the read-only attribute meaningful as on Windows.
  if (::stat(native.c_str(), &st) == 0 && !(st.st_mode & S_IWUSR)) return ErrorOf(Problem::ReadOnly);
  Fd f{::open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)};
  if (f.fd < 0) return SystemError(errno);
  return WriteAll(f.fd, bytes);
}

Status ReplaceFileAtomically(std::string_view path, std::string_view bytes) {
  return ReplaceFileAtomically(path, std::span<const std::string_view>(&bytes, 1));
}

Status ReplaceFileAtomically(std::string_view path, std::span<const std::string_view> pieces) {
  std::string native = NativePath(path);
  struct stat st {};
  bool exists = ::stat(native.c_str(), &st) == 0;
  if (exists && !(st.st_mode & S_IWUSR)) return ErrorOf(Problem::ReadOnly);
  if (exists && S_ISDIR(st.st_mode)) return SystemError(EISDIR);
  const std::string temp = native + kSavingSuffix;
  Fd f{CreateFresh(temp)};
  if (f.fd < 0) return SystemError(errno);
  auto fail = [&](Status s) {
    ::unlink(temp.c_str());
    return s;
  };
  for (std::string_view bytes : pieces)
    if (Status s = WriteAll(f.fd, bytes); !s) return fail(s);
  if (::fchmod(f.fd, exists ? (st.st_mode & 07777) : 0644) != 0) return fail(SystemError(errno));
  if (::fsync(f.fd) != 0) return fail(SystemError(errno));
  if (::close(std::exchange(f.fd, -1)) != 0) return fail(SystemError(errno));
  if (::rename(temp.c_str(), native.c_str()) != 0) return fail(SystemError(errno));
  SyncFolderOf(native);  // the rename itself reaches the disk
  return Success();
}

Result<bool> KeepFileAs(std::string_view path, std::string_view keep) {
  const std::string from = NativePath(path), to = NativePath(keep);
  if (::link(from.c_str(), to.c_str()) == 0) {
    SyncFolderOf(to);
    return true;
  }
  const int err = errno;
  if (err == EEXIST) return false;
  // File systems without hard links (FAT, some network shares) say so in several ways; a
  // missing or unreadable file fails the copy below with its own reason.
  if (err != EPERM && err != EOPNOTSUPP && err != EXDEV && err != EMLINK && err != ENOSYS) return SystemError(err);
  struct stat st {};
  if (::stat(to.c_str(), &st) == 0) return false;
  Fd in{::open(from.c_str(), O_RDONLY | O_CLOEXEC)};
  if (in.fd < 0) return SystemError(errno);
  const std::string temp = to + kSavingSuffix;
  Fd out{CreateFresh(temp)};
  if (out.fd < 0) return SystemError(errno);
  auto fail = [&](int e) {
    ::unlink(temp.c_str());
    return Result<bool>(SystemError(e));
  };
  std::vector<char> chunk(kChunk);
  for (;;) {
    ssize_t n = ::read(in.fd, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(errno);
    if (n == 0) break;
    if (Status s = WriteAll(out.fd, std::string_view(chunk.data(), static_cast<size_t>(n))); !s) {
      ::unlink(temp.c_str());
      return s.error();
    }
  }
  if (::fsync(out.fd) != 0) return fail(errno);
  if (::close(std::exchange(out.fd, -1)) != 0) return fail(errno);
  if (::stat(to.c_str(), &st) == 0) {
    ::unlink(temp.c_str());
    return false;
  }
  if (::rename(temp.c_str(), to.c_str()) != 0) return fail(errno);
  SyncFolderOf(to);
  return true;
}

bool FileExists(std::string_view path) {
  struct stat st {};
  return ::stat(NativePath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(std::string_view path) {
  struct stat st {};
  return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

Status CreateDirectories(std::string_view path) {
  std::string native = NativePath(path);
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  for (size_t i = 1; i <= native.size(); ++i) {
    if (i < native.size() && native[i] != '/') continue;
    std::string part = native.substr(0, i);
    if (::mkdir(part.c_str(), 0755) == 0) continue;
    if (errno != EEXIST) return SystemError(errno);
    // A file of that name: nothing below it can be made.
    struct stat st {};
    if (::stat(part.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) return ErrorOf(Problem::FileInTheWay);
  }
  if (!DirectoryExists(path)) return ErrorOf(Problem::FileInTheWay);
  return Success();
}

Status DeleteFile(std::string_view path) {
  if (::unlink(NativePath(path).c_str()) != 0) return SystemError(errno);
  return Success();
}

Status CopyFile(std::string_view from, std::string_view to) {
  auto data = ReadWholeFile(from);
  if (!data) return data.error();
  return WriteWholeFile(to, *data);
}

Status SetNormalAttributes(std::string_view path) { return SetReadOnly(path, false); }

Status SetReadOnly(std::string_view path, bool readOnly) {
  std::string native = NativePath(path);
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0) return SystemError(errno);
  mode_t mode = st.st_mode & 07777;
  mode = readOnly ? (mode & ~static_cast<mode_t>(0222)) : (mode | S_IWUSR);
  if (::chmod(native.c_str(), mode) != 0) return SystemError(errno);
  return Success();
}

bool IsReadOnly(std::string_view path) {
  struct stat st {};
  return ::stat(NativePath(path).c_str(), &st) == 0 && !(st.st_mode & S_IWUSR);
}

namespace {

// One entry of a folder being read: its name as the system has it, as the program holds it
// (nullopt when GBK cannot hold it) and as it is shown either way ("?" for what GBK lacks).
struct RawEntry {
  std::string raw;
  std::optional<std::string> name;
  std::string shown;
  bool isDirectory = false, isLink = false;
};

// The next entry of `dir` (the folder `native`), "." and ".." left out.
bool ReadEntry(DIR* dir, const std::string& native, RawEntry& out) {
  while (dirent* d = ::readdir(dir)) {
    std::string_view raw = d->d_name;
    if (raw == "." || raw == "..") continue;
    out.raw = std::string(raw);
    out.name = Utf8ToGbk(raw);
    out.shown = out.name ? *out.name : LossyGbk(raw);
    const std::string full = native + (native.back() == '/' ? "" : "/") + out.raw;
    out.isLink = d->d_type == DT_LNK;
    out.isDirectory = d->d_type == DT_DIR;
    if (d->d_type == DT_UNKNOWN) {
      struct stat st {};
      out.isLink = ::lstat(full.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    }
    if (d->d_type == DT_UNKNOWN || out.isLink) {
      struct stat st {};
      out.isDirectory = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    return true;
  }
  return false;
}

}  // namespace

struct DirectorySearch::Impl {
  DIR* dir = nullptr;
  std::string folder;
  std::string pattern;
  std::vector<DirEntry> unlisted;
  std::vector<std::string> unlistedRaw;  // the system's names of `unlisted`
  Status opened = Success();
};

DirectorySearch::DirectorySearch(std::string_view folder, std::string_view pattern) : impl_(new Impl) {
  impl_->folder = NativePath(folder);
  if (impl_->folder.empty()) impl_->folder.push_back('/');  // `= "/"` trips a false -Wrestrict in GCC 12 at -O2
  impl_->pattern = std::string(pattern);
  impl_->dir = ::opendir(impl_->folder.c_str());
  if (!impl_->dir) impl_->opened = SystemError(errno);
}

DirectorySearch::~DirectorySearch() {
  if (impl_->dir) ::closedir(impl_->dir);
  delete impl_;
}

bool DirectorySearch::Next(DirEntry& entry) {
  if (!impl_->dir) return false;
  RawEntry e;
  while (ReadEntry(impl_->dir, impl_->folder, e)) {
    if (!MatchesPattern(e.shown, impl_->pattern)) continue;
    if (!e.name) {  // as on Windows: a GBK path could not reach it
      impl_->unlisted.push_back({e.shown, e.isDirectory, e.isLink});
      impl_->unlistedRaw.push_back(e.raw);
      continue;
    }
    entry = {std::move(*e.name), e.isDirectory, e.isLink};
    return true;
  }
  return false;
}

const std::vector<DirEntry>& DirectorySearch::Unlisted() const { return impl_->unlisted; }

std::vector<DirEntry> DirectorySearch::UnlistedFolderEntries(size_t index) const {
  std::vector<DirEntry> entries;
  if (index >= impl_->unlisted.size() || !impl_->unlisted[index].isDirectory || impl_->unlisted[index].isLink)
    return entries;
  const std::string native = impl_->folder + (impl_->folder.back() == '/' ? "" : "/") + impl_->unlistedRaw[index];
  DIR* dir = ::opendir(native.c_str());
  if (!dir) return entries;
  for (RawEntry e; ReadEntry(dir, native, e);) entries.push_back({e.shown, e.isDirectory, e.isLink});
  ::closedir(dir);
  return entries;
}

const Status& DirectorySearch::Opened() const { return impl_->opened; }

std::string FolderIdentity(std::string_view path) {
  struct stat st {};
  if (::stat(NativePath(path).c_str(), &st) != 0) return {};
  return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

std::string ExecutableFolder() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string p(buf, static_cast<size_t>(n));
  return ProgramPath(ParentOf(p));
}

std::string DocumentsFolder() {
  const char* home = std::getenv("HOME");
  return ProgramPath(std::string(home ? home : "/tmp") + "/Documents");
}

}  // namespace xl::fs
