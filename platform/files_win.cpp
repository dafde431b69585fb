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

std::wstring FolderOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return L".";
  if (slash == 0 || (slash == 2 && path[1] == L':')) return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

}  // namespace

std::string NativePath(std::string_view path) { return std::string(path); }
std::string ProgramPath(std::string_view nativePath) { return std::string(nativePath); }

Result<std::string> ReadWholeFile(std::string_view path, std::uint64_t maxBytes) {
  auto wide = Wide(path);
  if (!wide) return BadPath();
  Handle file(CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.ok()) return LastError();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return LastError();
  if (static_cast<std::uint64_t>(size.QuadPart) > maxBytes) return ErrorOf(Problem::TooLarge);
  std::string data(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  for (;;) {
    if (done == data.size()) data.resize(data.size() + 65536);  // the file may have grown
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 24));
    DWORD got = 0;
    if (!ReadFile(file.get(), data.data() + done, chunk, &got, nullptr)) return LastError();
    if (got == 0) break;
    done += got;
    if (done > maxBytes) return ErrorOf(Problem::TooLarge);
  }
  data.resize(done);
  return data;
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
  wchar_t temp[MAX_PATH + 1] = {};
  const std::wstring folder = FolderOf(*target);
  if (!GetTempFileNameW(folder.c_str(), L"xl", 0, temp)) {
    DWORD code = GetLastError();
    // For a folder that is missing or is a file the system only says "invalid folder name".
    if (code == ERROR_DIRECTORY) {
      DWORD a = Attributes(folder);
      if (a == INVALID_FILE_ATTRIBUTES) return ErrorOf(Problem::NotFound);
      if (!(a & FILE_ATTRIBUTE_DIRECTORY)) return ErrorOf(Problem::FileInTheWay);
    }
    return SystemError(code);
  }
  auto fail = [&](DWORD code) {
    DeleteFileW(temp);
    return Status(SystemError(code));
  };
  {
    Handle file(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok()) return fail(GetLastError());
    for (std::string_view bytes : pieces) {
      if (Status s = WriteAll(file.get(), bytes); !s) {
        DeleteFileW(temp);
        return s;
      }
    }
    if (!FlushFileBuffers(file.get())) return fail(GetLastError());
    if (!file.Close()) return fail(GetLastError());
  }

  auto moveIntoPlace = [&] {
    return MoveFileExW(temp, target->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  };
  if (!exists) {
    DWORD code = WithRetries(moveIntoPlace);
    return code == ERROR_SUCCESS ? Success() : fail(code);
  }
  // ReplaceFileW keeps the original's attributes, streams and security. The original goes
  // to a backup name of ours: without one, Wine leaves a temporary file of its own behind
  // on every failed attempt.
  const std::wstring backup = std::wstring(temp) + L".old";
  DWORD code = WithRetries([&] {
    return ReplaceFileW(target->c_str(), temp, backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
  });
  if (code == ERROR_SUCCESS) {
    DeleteFileW(backup.c_str());
    return Success();
  }
  // With a backup name, ERROR_UNABLE_TO_MOVE_REPLACEMENT leaves both files under their own
  // names: the original is untouched and only the temporary file has to go.
  if (code == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
    // The original already sits under the backup name and the new bytes under the
    // temporary one: finish with a plain move, or put the original back.
    code = WithRetries(moveIntoPlace);
    if (code == ERROR_SUCCESS) {
      DeleteFileW(backup.c_str());
      return Success();
    }
    if (!MoveFileExW(backup.c_str(), target->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      // Neither the old nor the new bytes are under the replay's name; both files stay
      // where they are and the user is told where.
      Error error = SystemError(code);
      error.message += "（原文件保存在 " + Narrow(backup) + "，新内容保存在 " + Narrow(temp) + "）";
      return error;
    }
  }
  return fail(code);
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
