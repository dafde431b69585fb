#pragma once
// Files and folders. Paths are GBK texts with Windows separators, as the program shows and
// stores them ("D:\游戏\星律纪元\record\a.rcd"). The Windows layer converts them to UTF-16;
// the POSIX layer (native tests and tools) maps "\" to "/" and the names to UTF-8, so the
// program's texts are identical on both.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace xl::fs {

// The path as the operating system takes it (UTF-8 with "/" on POSIX); for tools and tests.
std::string NativePath(std::string_view path);
// The program's text for a native path (the reverse of NativePath).
std::string ProgramPath(std::string_view nativePath);

// Whole-file read into a buffer of the file's size with `spareCapacity` bytes of room
// behind it. Fails with the system's reason; a file larger than maxBytes is refused.
Result<std::string> ReadWholeFile(std::string_view path, std::uint64_t maxBytes = UINT64_MAX, size_t spareCapacity = 0);
// Reads the file from its start a piece at a time, never whole, handing each piece to
// `take` until it returns false or the file ends. `size` gets the file's size first, so
// `take` can stop at once.
Status ReadInPieces(std::string_view path, const std::function<bool(std::string_view piece)>& take,
                    std::uint64_t* size = nullptr);
// Creates or truncates the file and writes all bytes.
Status WriteWholeFile(std::string_view path, std::string_view bytes);
// Writes the bytes to path + ".saving" (replacing one left over), flushes it to disk, then
// puts it in the place of `path` with one rename that replaces the old file, so the name
// always holds the old bytes or the new ones, whole. A read-only `path` is refused before
// anything is written; on any failure the old file stays and the temporary one is removed.
Status ReplaceFileAtomically(std::string_view path, std::string_view bytes);
// The same for a file made of several pieces, written one after the other, so a caller
// need not join them into one buffer first.
Status ReplaceFileAtomically(std::string_view path, std::span<const std::string_view> pieces);

bool FileExists(std::string_view path);  // an existing file, not a folder
bool DirectoryExists(std::string_view path);
// Creates the folder and every missing folder above it, one component at a time.
Status CreateDirectories(std::string_view path);
Status DeleteFile(std::string_view path);
// Unless a file named `keep` exists, makes it hold what `path` holds now: a hard link where
// the file system has them (no byte is written), else a copy, flushed under the name
// keep + ".saving" before it takes its own. An existing `keep` is never replaced or
// changed. True when `keep` was made now, false when it was there already.
Result<bool> KeepFileAs(std::string_view path, std::string_view keep);
// Copies a file, creating or overwriting the destination.
Status CopyFile(std::string_view from, std::string_view to);
// Clears the read-only (and hidden/system) attributes.
Status SetNormalAttributes(std::string_view path);
Status SetReadOnly(std::string_view path, bool readOnly);
bool IsReadOnly(std::string_view path);

struct DirEntry {
  std::string name;  // bare name, GBK
  bool isDirectory = false;
  // A symbolic link or junction (a reparse point that names another place): a folder reached
  // through it may be one the walk has listed already, or the walk's own parent.
  bool isLink = false;
};

// A find-first/find-next search of one folder, one entry at a time, so a caller can let
// messages be processed between entries. `pattern` is a file-name pattern with * and ?
// ("*.rcd", "*.*"); matching ignores ASCII case, as Windows does. "." and ".." are never
// returned.
class DirectorySearch {
 public:
  DirectorySearch(std::string_view folder, std::string_view pattern);
  ~DirectorySearch();
  DirectorySearch(const DirectorySearch&) = delete;
  DirectorySearch& operator=(const DirectorySearch&) = delete;
  bool Next(DirEntry& entry);
  // The entries Next passed over because GBK cannot hold their names (Hangul, emoji...), so
  // no program path reaches them; their names show each such character as "?". Complete once
  // Next has returned false.
  const std::vector<DirEntry>& Unlisted() const;
  // The entries of the folder Unlisted()[index] names, one level down and named as Unlisted
  // names them, so a caller can count what that folder's name keeps out of reach. Empty for
  // a file, a link or a folder that cannot be read.
  std::vector<DirEntry> UnlistedFolderEntries(size_t index) const;
  // Why the folder could not be searched; Success when it could, an empty folder too.
  const Status& Opened() const;

 private:
  struct Impl;
  Impl* impl_;
};

// What tells a folder from every other however it is reached (a link, a second mount): its
// volume and file number, as an opaque key. Empty when the system cannot say.
std::string FolderIdentity(std::string_view path);

// Folder of the running executable, without a trailing backslash.
std::string ExecutableFolder();
// The current user's documents folder, without a trailing backslash.
std::string DocumentsFolder();

// Whether the path's last character is a backslash. GBK aware: the second byte of a
// double-byte character may be 0x5C and is no separator.
bool EndsWithBackslash(std::string_view path);

// Windows-style wildcard match of a bare name (ASCII case ignored, GBK aware).
bool MatchesPattern(std::string_view name, std::string_view pattern);

}  // namespace xl::fs
