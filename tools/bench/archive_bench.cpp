// Installing the silver login style, against the least any install must do: writing its 37
// unpacked files. The unpack reads the archive, checks every name and checksum first and
// inflates each entry twice; the whole install also writes and removes the scratch file and
// looks for originals to keep.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/archive.h"
#include "platform/files.h"
#include "resources/resources.h"
#include "skin/login_style.h"
#include "tools/bench/ratio.h"

namespace {

namespace stdfs = std::filesystem;

struct Scratch {
  stdfs::path native = stdfs::temp_directory_path() / "xl-archive-bench";
  Scratch() {
    stdfs::remove_all(native);
    stdfs::create_directories(native / "docs");
  }
  ~Scratch() { stdfs::remove_all(native); }
  std::string Sub(const char* name) const { return xl::fs::ProgramPath((native / name).string()); }
};

std::string ArchivePath(const Scratch& s) {
  std::string path = s.Sub("silver_ui.zip");
  if (!xl::fs::WriteWholeFile(path, xl::Resource("skin/silver_ui.zip"))) std::abort();
  return path;
}

// The unpacked files of the archive, as (relative path, bytes).
std::vector<std::pair<std::string, std::string>> UnpackedFiles(const Scratch& s) {
  std::string folder = s.Sub("reference"), zip = ArchivePath(s);
  if (!xl::archive::Unpack(zip, folder).ok()) std::abort();
  std::vector<std::pair<std::string, std::string>> files;
  auto entries = xl::archive::ListEntries(zip);
  for (const auto& e : *entries)
    if (!e.isDirectory) files.emplace_back(e.path, *xl::fs::ReadWholeFile(folder + "\\" + e.path));
  return files;
}

void BM_WriteUnpackedFiles(benchmark::State& state) {
  Scratch s;
  auto files = UnpackedFiles(s);
  std::string game = s.Sub("game");
  for (const auto& [path, bytes] : files) {
    std::string full = game + "\\" + path;
    (void)xl::fs::CreateDirectories(full.substr(0, full.rfind('\\')));
  }
  for (auto _ : state)
    for (const auto& [path, bytes] : files) benchmark::DoNotOptimize(xl::fs::WriteWholeFile(game + "\\" + path, bytes));
}
BENCHMARK(BM_WriteUnpackedFiles)->Unit(benchmark::kMillisecond);

void BM_Unpack(benchmark::State& state) {
  Scratch s;
  const std::string zip = ArchivePath(s);
  std::string game = s.Sub("game");
  for (auto _ : state) benchmark::DoNotOptimize(xl::archive::Unpack(zip, game));
}
BENCHMARK(BM_Unpack)->Unit(benchmark::kMillisecond);

void BM_InstallArchive(benchmark::State& state) {
  Scratch s;
  std::string game = s.Sub("game"), docs = s.Sub("docs");
  for (auto _ : state)
    benchmark::DoNotOptimize(xl::skin::InstallArchive(xl::Resource("skin/silver_ui.zip"), game, docs));
}
BENCHMARK(BM_InstallArchive)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  xl::bench::Compare("BM_Unpack", "BM_WriteUnpackedFiles", 3);
  xl::bench::Compare("BM_InstallArchive", "BM_WriteUnpackedFiles", 4);
  return xl::bench::RunAndReport(argc, argv);
}
