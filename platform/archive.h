#pragma once
// ZIP archives: listing and unpacking into a folder. Paths are program paths (GBK, "\");
// entry names come back in the same form. Every entry name is checked before anything is
// written: an archive holding one entry that would land outside the destination folder (a
// drive or absolute path, "..", a symbolic link, a name Windows cannot hold) is refused as a
// whole, and so is an archive whose data is damaged.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace xl::archive {

// The unpack operation's outcome; 1 means done, every other value is a failure.
enum class UnpackStatus : int {
  Done = 1,
  EmptyArgument = 2,  // the archive path or the destination folder is empty
  NoArchive = 3,      // the archive file does not exist or cannot be read
  FolderFailed = 4,   // a folder could not be created
  NotZip = 5,         // not a ZIP archive, or its directory is damaged
  UnsafeEntry = 6,    // an entry's name is refused; nothing was written
  DamagedEntry = 7,   // an entry cannot be unpacked (damaged data, unknown method, encrypted)
  WriteFailed = 8,    // a file could not be written
};

struct UnpackResult {
  UnpackStatus status = UnpackStatus::Done;
  std::string reason;      // GBK, for the user: what failed and why; empty when done
  int entriesDone = 0;     // entries unpacked before the end
  bool cancelled = false;  // the progress callback stopped the unpacking early
  bool ok() const { return status == UnpackStatus::Done; }
};

struct Entry {
  std::string path;  // relative to the destination, GBK, "\" separators, no trailing "\"
  bool isDirectory = false;
  std::uint64_t size = 0;  // unpacked
  std::uint32_t crc = 0;   // CRC-32 of the unpacked bytes
};

// Whether `bytes` are what the entry unpacks to (same size and checksum), e.g. a file that an
// earlier unpacking of the same archive wrote.
bool SameContent(const Entry& entry, std::string_view bytes);

// Called after each entry with the number of entries done and the entry count. Returning
// false stops the unpacking after that entry; the result is still Done, with `cancelled`.
using Progress = std::function<bool(int done, int count)>;

// The entries of an archive in archive order, after the same checks Unpack makes.
Result<std::vector<Entry>> ListEntries(std::string_view archivePath);

// Unpacks every entry into `destinationFolder`, creating it and its missing parents.
// Directory entries create their folder; file entries replace what stands at their path,
// also a read-only file, and leave the file with normal attributes (attributes stored in the
// archive are not applied). Files are written one by one: a write that fails stops the
// unpacking and leaves the entries before it unpacked.
UnpackResult Unpack(std::string_view archivePath, std::string_view destinationFolder, const Progress& progress = {});

}  // namespace xl::archive
