// Windows file layer: program paths are GBK texts; they cross to the W functions through
// code page 936 explicitly, never through the system's ANSI code page, so a Chinese folder
// name works the same on every system locale. A path GBK cannot represent is refused.
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <optional>

// <windows.h> turns these into macros for the A/W variants; ours are plain functions.
#undef DeleteFile
#undef CopyFile

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace xl::fs {
namespace {

Error SystemError(DWORD code) { return WindowsError(code); }
Error LastError() { return SystemError(GetLastError()); }

Error BadPath() { return ErrorOf(Problem::BadName); }

std::optional<std::wstring> Wide(std::string_view path) {
  if (path.empty()) return std::nullopt;
  return GbkToWide(path);
}

std::string Narrow(std::wstring_view wide) {
  if (auto gbk = WideToGbk(wide)) return *gbk;
  int size = WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size, nullptr, nullptr);
  return out;
}

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  bool Close() {
    bool closed = true;
    if (h_ != INVALID_HANDLE_VALUE) closed = CloseHandle(h_) != 0;
    h_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE h_;
};

Status WriteAll(HANDLE file, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) return LastError();
    if (written == 0) return SystemError(ERROR_WRITE_FAULT);
    done += written;
  }
  return Success();
}

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }

bool IsRetryable(DWORD code) {
  // Virus scanners and indexers hold freshly written files for a moment.
  return code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION;
}

// Runs `step` until it succeeds, fails for good, or about two seconds have passed.
template <class Step>
DWORD WithRetries(Step step) {
  for (int attempt = 0;; ++attempt) {
    if (step()) return ERROR_SUCCESS;
    DWORD code = GetLastError();
    if (!IsRetryable(code) || attempt >= 20) return code;
    Sleep(100);
  }
}

constexpr const wchar_t* kSavingSuffix = L".saving";
constexpr size_t kChunk = 256u << 10;  // reads in pieces and copies, a piece at a time
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

DWORD Chunk(size_t left) { return static_cast<DWORD>(std::min<size_t>(left, 1u << 24)); }

HANDLE OpenForReading(const std::wstring& path) {
  return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// A new empty file for writing. One left over from a save that was cut off is ours and is
// replaced, also when it has become read-only.
HANDLE CreateFresh(const std::wstring& path) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Whether another program has the file open in a way that keeps it from being replaced.
bool IsHeldOpen(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    CloseHandle(h);
    return false;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION;
}

std::wstring FolderOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return L".";
  if (slash == 0 || (slash == 2 && path[1] == L':')) return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

// For a folder that is missing or is a file the system only says "path not found" or
// "invalid folder name"; the player is told which.
Status FolderError(const std::wstring& target, DWORD code) {
  if (code == ERROR_PATH_NOT_FOUND || code == ERROR_DIRECTORY) {
    DWORD a = Attributes(FolderOf(target));
    if (a == INVALID_FILE_ATTRIBUTES) return ErrorOf(Problem::NotFound);
    if (!(a & FILE_ATTRIBUTE_DIRECTORY)) return ErrorOf(Problem::FileInTheWay);
  }
  return SystemError(code);
}

}  // namespace

std::string NativePath(std::string_view path) { return std::string(path); }
std::string ProgramPath(std::string_view nativePath) { return std::string(nativePath); }

Result<std::string> ReadWholeFile(std::string_view path, std::uint64_t maxBytes, size_t spareCapacity) {
  auto wide = Wide(path);
  if (!wide) return BadPath();
  Handle file(OpenForReading(*wide));
  if (!file.ok()) return LastError();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return LastError();
  if (static_cast<std::uint64_t>(size.QuadPart) > maxBytes) return ErrorOf(Problem::TooLarge);
  // Exactly the size the file has, and the room asked for: a growing string would double.
  std::string data;
  data.reserve(static_cast<size_t>(size.QuadPart) + spareCapacity);
  data.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < data.size()) {
    DWORD got = 0;
    if (!ReadFile(file.get(), data.data() + done, Chunk(data.size() - done), &got, nullptr)) return LastError();
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  data.resize(done);
  // It may have grown meanwhile, too: the rest is read on.
  for (char more[4096];;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), more, sizeof more, &got, nullptr)) return LastError();
    if (got == 0) break;
    if (data.size() + got > maxBytes) return ErrorOf(Problem::TooLarge);
    data.append(more, got);
  }
  return data;
}

Status ReadInPieces(std::string_view path, const std::function<bool(std::string_view piece)>& take,
                    std::uint64_t* size) {
  auto wide = Wide(path);
  if (!wide) return BadPath();
  Handle file(OpenForReading(*wide));
  if (!file.ok()) return LastError();
  LARGE_INTEGER length{};
  if (!GetFileSizeEx(file.get(), &length)) return LastError();
  if (size) *size = static_cast<std::uint64_t>(length.QuadPart);
  std::vector<char> chunk(kChunk);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) return LastError();
    if (got == 0 || !take(std::string_view(chunk.data(), got))) return Success();
  }
}

Status WriteWholeFile(std::string_view path, std::string_view bytes) {
  auto wide = Wide(path);
  if (!wide) return BadPath();
  // Wine run by root would write through the read-only attribute; Windows never does.
  DWORD attributes = Attributes(*wide);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    return ErrorOf(Problem::ReadOnly);
  Handle file(CreateFileW(wide->c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                          nullptr));
  if (!file.ok()) return LastError();
  if (Status s = WriteAll(file.get(), bytes); !s) return s;
  if (!file.Close()) return LastError();
  return Success();
}

Status ReplaceFileAtomically(std::string_view path, std::string_view bytes) {
  return ReplaceFileAtomically(path, std::span<const std::string_view>(&bytes, 1));
}

Status ReplaceFileAtomically(std::string_view path, std::span<const std::string_view> pieces) {
  auto target = Wide(path);
  if (!target) return BadPath();
  DWORD attributes = Attributes(*target);
  bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return SystemError(ERROR_ACCESS_DENIED);
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) return ErrorOf(Problem::ReadOnly);

  // The temporary file sits beside the target, so the final step is a rename on one volume.
  const std::wstring temp = *target + kSavingSuffix;
  auto fail = [&](DWORD code) {
    DeleteFileW(temp.c_str());
    return Status(SystemError(code));
  };
  {
    Handle file(CreateFresh(temp));
    if (!file.ok()) return FolderError(*target, GetLastError());
    Status written = Success();
    for (std::string_view bytes : pieces)
      if (written = WriteAll(file.get(), bytes); !written) break;
    if (written && !FlushFileBuffers(file.get())) written = LastError();
    // Closed before anything else: an open file cannot be deleted.
    if (!file.Close() && written) written = LastError();
    if (!written) {
      DeleteFileW(temp.c_str());
      return written;
    }
  }
  // The new file takes the old one's attributes (hidden, archive...); the rename gives it its place.
  if (exists)
    SetFileAttributesW(temp.c_str(),
                       attributes & kKeptAttributes ? attributes & kKeptAttributes : FILE_ATTRIBUTE_NORMAL);

  // One rename that replaces the target: the name never points at nothing. (ReplaceFileW
  // moves the original away first and the new file in after it; a crash between the two
  // left no replay at all.)
  DWORD code = WithRetries([&] {
    return MoveFileExW(temp.c_str(), target->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  });
  if (code == ERROR_SUCCESS) return Success();
  // Windows refuses to replace a file that another program holds open with "access denied";
  // the player is told it is in use, which says what to do.
  if (code == ERROR_ACCESS_DENIED && IsHeldOpen(*target)) code = ERROR_SHARING_VIOLATION;
  return fail(code);
}

Result<bool> KeepFileAs(std::string_view path, std::string_view keep) {
  auto from = Wide(path), to = Wide(keep);
  if (!from || !to) return BadPath();
  if (Attributes(*to) != INVALID_FILE_ATTRIBUTES) return false;
  if (CreateHardLinkW(to->c_str(), from->c_str(), nullptr)) return true;
  DWORD code = GetLastError();
  if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) return false;
  // FAT, exFAT and some network shares have no hard links, and say so in several ways: a
  // copy, flushed under a temporary name, then renamed without replacing anything. A file
  // that cannot be read fails the copy with its own reason.
  const std::wstring temp = *to + kSavingSuffix;
  {
    Handle in(OpenForReading(*from));
    if (!in.ok()) return LastError();
    Handle out(CreateFresh(temp));
    if (!out.ok()) return LastError();
    Status copied = Success();
    std::vector<char> chunk(kChunk);
    for (DWORD got = 1; copied && got > 0;) {
      if (!ReadFile(in.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) {
        copied = LastError();
      } else {
        copied = WriteAll(out.get(), std::string_view(chunk.data(), got));
      }
    }
    if (copied && !FlushFileBuffers(out.get())) copied = LastError();
    if (!out.Close() && copied) copied = LastError();
    if (!copied) {
      DeleteFileW(temp.c_str());
      return copied.error();
    }
  }
  if (MoveFileExW(temp.c_str(), to->c_str(), MOVEFILE_WRITE_THROUGH)) return true;
  code = GetLastError();
  DeleteFileW(temp.c_str());
  if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) return false;  // made meanwhile: it stays
  return SystemError(code);
}

bool FileExists(std::string_view path) {
  auto wide = Wide(path);
  if (!wide) return false;
  DWORD a = Attributes(*wide);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(std::string_view path) {
  auto wide = Wide(path);
  if (!wide) return false;
  DWORD a = Attributes(*wide);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

Status CreateDirectories(std::string_view path) {
  auto wide = Wide(path);
  if (!wide) return BadPath();
  std::wstring p = *wide;
  for (wchar_t& c : p)
    if (c == L'/') c = L'\\';
  while (p.size() > 1 && p.back() == L'\\') p.pop_back();
  // The first component that can be created: after "C:\" or after "\\server\share\".
  size_t first = 0;
  if (p.size() >= 2 && p[1] == L':') {
    first = 3;
  } else if (p.rfind(L"\\\\", 0) == 0) {
    size_t server = p.find(L'\\', 2);
    size_t share = server == std::wstring::npos ? server : p.find(L'\\', server + 1);
    first = share == std::wstring::npos ? p.size() : share + 1;
  }
  for (size_t i = first; i <= p.size(); ++i) {
    if (i < p.size() && p[i] != L'\\') continue;
    std::wstring part = p.substr(0, i);
    if (part.empty() || (part.size() == 2 && part[1] == L':')) continue;
    if (!CreateDirectoryW(part.c_str(), nullptr)) {
      DWORD code = GetLastError();
      if (code == ERROR_ALREADY_EXISTS) {
        // A file of that name: nothing below it can be made.
        DWORD a = Attributes(part);
        if (a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY)) return ErrorOf(Problem::FileInTheWay);
      } else if (code != ERROR_ACCESS_DENIED) {
        return SystemError(code);
      }
    }
  }
  DWORD a = Attributes(p);
  if (a == INVALID_FILE_ATTRIBUTES) return LastError();
  if (!(a & FILE_ATTRIBUTE_DIRECTORY)) return ErrorOf(Problem::FileInTheWay);
  return Success();
}

Status DeleteFile(std::string_view path) {
  auto wide = Wide(path);
  if (!wide) return BadPath();
  if (!DeleteFileW(wide->c_str())) return LastError();
  return Success();
}

Status CopyFile(std::string_view from, std::string_view to) {
  auto source = Wide(from), target = Wide(to);
  if (!source || !target) return BadPath();
  if (!CopyFileW(source->c_str(), target->c_str(), FALSE)) return LastError();
  return Success();
}

Status SetNormalAttributes(std::string_view path) {
  auto wide = Wide(path);
  if (!wide) return BadPath();
  DWORD a = Attributes(*wide);
  if (a == INVALID_FILE_ATTRIBUTES) return LastError();
  a &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  if (!SetFileAttributesW(wide->c_str(), a ? a : FILE_ATTRIBUTE_NORMAL)) return LastError();
  return Success();
}

Status SetReadOnly(std::string_view path, bool readOnly) {
  auto wide = Wide(path);
  if (!wide) return BadPath();
  DWORD a = Attributes(*wide);
  if (a == INVALID_FILE_ATTRIBUTES) return LastError();
  a = readOnly ? (a | FILE_ATTRIBUTE_READONLY) : (a & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  if (!SetFileAttributesW(wide->c_str(), a ? a : FILE_ATTRIBUTE_NORMAL)) return LastError();
  return Success();
}

bool IsReadOnly(std::string_view path) {
  auto wide = Wide(path);
  if (!wide) return false;
  DWORD a = Attributes(*wide);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

namespace {

// A symbolic link or junction: a reparse point whose tag says it names another place. Other
// reparse points (cloud files, deduplication) are the folder itself, and are listed.
bool IsLink(const WIN32_FIND_DATAW& d) {
  return (d.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(d.dwReserved0);
}

DirEntry EntryOf(const WIN32_FIND_DATAW& d, std::string name) {
  return {std::move(name), (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, IsLink(d)};
}

bool IsDots(std::wstring_view name) { return name == L"." || name == L".."; }

}  // namespace

struct DirectorySearch::Impl {
  HANDLE find = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW data{};
  bool pending = false;  // `data` holds an entry not yet returned
  std::wstring folder;   // with a closing separator
  std::string pattern;
  std::vector<DirEntry> unlisted;
  std::vector<std::wstring> unlistedWide;  // the system's names of `unlisted`
  Status opened = Success();
};

DirectorySearch::DirectorySearch(std::string_view folder, std::string_view pattern) : impl_(new Impl) {
  impl_->pattern = std::string(pattern);
  auto wide = Wide(folder);
  if (!wide) {
    impl_->opened = BadPath();
    return;
  }
  // Every name is listed and matched here: the system's own matching also looks at 8.3
  // short names, so "*.rcd" would find "a.rcdx".
  impl_->folder = *wide;
  if (!impl_->folder.empty() && impl_->folder.back() != L'\\' && impl_->folder.back() != L'/') impl_->folder += L'\\';
  impl_->find = FindFirstFileW((impl_->folder + L'*').c_str(), &impl_->data);
  impl_->pending = impl_->find != INVALID_HANDLE_VALUE;
  if (!impl_->pending) {
    DWORD code = GetLastError();
    if (code != ERROR_FILE_NOT_FOUND && code != ERROR_NO_MORE_FILES) impl_->opened = SystemError(code);
  }
}

DirectorySearch::~DirectorySearch() {
  if (impl_->find != INVALID_HANDLE_VALUE) FindClose(impl_->find);
  delete impl_;
}

bool DirectorySearch::Next(DirEntry& entry) {
  while (impl_->pending) {
    const WIN32_FIND_DATAW d = impl_->data;
    impl_->pending = FindNextFileW(impl_->find, &impl_->data) != 0;
    std::wstring_view raw = d.cFileName;
    if (IsDots(raw)) continue;
    auto name = WideToGbk(raw);
    if (!name) {  // a GBK path could not reach it
      std::string shown = Narrow(raw);
      if (MatchesPattern(shown, impl_->pattern)) {
        impl_->unlisted.push_back(EntryOf(d, std::move(shown)));
        impl_->unlistedWide.emplace_back(raw);
      }
      continue;
    }
    if (!MatchesPattern(*name, impl_->pattern)) continue;
    entry = EntryOf(d, std::move(*name));
    return true;
  }
  return false;
}

const std::vector<DirEntry>& DirectorySearch::Unlisted() const { return impl_->unlisted; }

std::vector<DirEntry> DirectorySearch::UnlistedFolderEntries(size_t index) const {
  std::vector<DirEntry> entries;
  if (index >= impl_->unlisted.size() || !impl_->unlisted[index].isDirectory || impl_->unlisted[index].isLink)
    return entries;
  WIN32_FIND_DATAW d{};
  HANDLE find = FindFirstFileW((impl_->folder + impl_->unlistedWide[index] + L"\\*").c_str(), &d);
  if (find == INVALID_HANDLE_VALUE) return entries;
  do {
    if (!IsDots(d.cFileName)) entries.push_back(EntryOf(d, Narrow(d.cFileName)));
  } while (FindNextFileW(find, &d));
  FindClose(find);
  return entries;
}

const Status& DirectorySearch::Opened() const { return impl_->opened; }

std::string FolderIdentity(std::string_view path) {
  auto wide = Wide(path);
  if (!wide) return {};
  Handle folder(CreateFileW(wide->c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!folder.ok() || !GetFileInformationByHandle(folder.get(), &info)) return {};
  return std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(info.nFileIndexHigh) + ":" +
         std::to_string(info.nFileIndexLow);
}

std::string ExecutableFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return ".";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  size_t slash = path.find_last_of(L"\\/");
  return Narrow(slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash));
}

std::string DocumentsFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path))) return std::string();
  std::wstring folder = path;
  while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
  return Narrow(folder);
}

}  // namespace xl::fs
