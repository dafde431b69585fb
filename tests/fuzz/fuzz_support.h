#pragma once
// What the fuzz targets share: a property check that stops the run with a message (libFuzzer
// keeps the input that did it), and a scratch folder of the target's own.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/files.h"

#define FUZZ_CHECK(cond)                                                               \
  do {                                                                                 \
    if (!(cond)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                    \
    }                                                                                  \
  } while (0)

namespace xl::fuzz {

// A folder for this process's files, in memory where the system has such a place (the
// targets write files on every run), removed at exit. The path is never destroyed: the
// removal runs among the static destructors, and a static path made after the removal was
// registered would be gone before it, leaving the folder behind.
inline const std::filesystem::path& Scratch() {
  static const std::filesystem::path* const folder = [] {
    std::error_code ec;
    std::filesystem::path base =
        std::filesystem::exists("/dev/shm", ec) ? "/dev/shm" : std::filesystem::temp_directory_path();
    auto* f = new std::filesystem::path(base / ("xl-fuzz-" + std::to_string(::getpid())));
    std::filesystem::create_directories(*f);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(Scratch(), ignored);
    });
    return f;
  }();
  return *folder;
}

// The program's path text (GBK, "\") for a file in the scratch folder.
inline std::string ScratchPath(std::string_view name) {
  return fs::ProgramPath((Scratch() / std::string(name)).string());
}

// Whether `s` is GBK text: single bytes below 0x80, or a lead byte 0x81-0xFE followed by a
// trail byte 0x40-0xFE other than 0x7F.
inline bool IsGbk(std::string_view s) {
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) continue;
    if (c == 0x80 || c == 0xFF || i + 1 >= s.size()) return false;
    unsigned char t = static_cast<unsigned char>(s[++i]);
    if (t < 0x40 || t == 0x7F || t == 0xFF) return false;
  }
  return true;
}

}  // namespace xl::fuzz
