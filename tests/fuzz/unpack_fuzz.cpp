// ZIP unpacking of any bytes: never a crash, nothing written outside the destination folder
// (nor a link that leads out of it), and "done" only when every listed entry is on disk as
// the archive holds it.
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/archive.h"
#include "platform/files.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  namespace stdfs = std::filesystem;
  const stdfs::path& scratch = xl::fuzz::Scratch();
  std::error_code ec;
  stdfs::remove_all(scratch / "out", ec);
  const std::string zip = xl::fuzz::ScratchPath("a.zip"), destination = xl::fuzz::ScratchPath("out/dest");
  FUZZ_CHECK(xl::fs::WriteWholeFile(zip, std::string(reinterpret_cast<const char*>(data), size)).ok());

  const xl::archive::UnpackResult result = xl::archive::Unpack(zip, destination);

  const stdfs::path dest = scratch / "out" / "dest";
  for (auto it = stdfs::recursive_directory_iterator(scratch, ec); !ec && it != stdfs::recursive_directory_iterator();
       it.increment(ec)) {
    const stdfs::path& p = it->path();
    const stdfs::path relative = p.lexically_relative(dest);
    const bool inside =
        p == scratch / "a.zip" || p == scratch / "out" || p == dest || (!relative.empty() && *relative.begin() != "..");
    if (!inside) std::fprintf(stderr, "written outside the destination: %s\n", p.c_str());
    FUZZ_CHECK(inside);
    FUZZ_CHECK(!it->is_symlink());
  }
  FUZZ_CHECK(!ec);

  if (!result.ok()) {
    FUZZ_CHECK(!result.reason.empty());
    return 0;
  }
  auto entries = xl::archive::ListEntries(zip);
  FUZZ_CHECK(entries.ok());
  for (const xl::archive::Entry& e : *entries) {
    const std::string path = destination + "\\" + e.path;
    if (e.isDirectory) {
      FUZZ_CHECK(xl::fs::DirectoryExists(path));
      continue;
    }
    auto bytes = xl::fs::ReadWholeFile(path);
    // A later entry of the same name replaces an earlier one; the last one must be on disk.
    bool replacedLater = false;
    for (auto later = entries->rbegin(); later != entries->rend() && &*later != &e; ++later)
      replacedLater |= later->path == e.path;
    FUZZ_CHECK(bytes.ok());
    FUZZ_CHECK(replacedLater || xl::archive::SameContent(e, *bytes));
  }
  return 0;
}
