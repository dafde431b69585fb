// Listing a record folder of 20,000 replays in 200 folders (20 top folders, each the head
// of a chain of nine nested subfolders, 100 replays in every folder) into the start
// window's list on MemoryUi, against a bare recursive directory walk that collects the
// same names. The listing adds code-page conversion, pattern matching, sorting and the
// list itself; it should stay within twice the bare walk.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/folder_lister.h"
#include "app/window_defs.h"
#include "platform/files.h"
#include "platform/memory/memory_ui.h"
#include "tools/bench/ratio.h"

namespace {

namespace stdfs = std::filesystem;

constexpr int kTopFolders = 20;
constexpr int kChainDepth = 10;  // the top folder and nine below it
constexpr int kReplaysPerFolder = 100;

struct Tree {
  stdfs::path root;
  Tree() {
    root = stdfs::temp_directory_path() /
           ("xl-listing-bench-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    for (int top = 0; top < kTopFolders; ++top) {
      stdfs::path folder = root / ("season" + std::to_string(top));
      for (int depth = 0; depth < kChainDepth; ++depth) {
        stdfs::create_directories(folder);
        for (int i = 0; i < kReplaysPerFolder; ++i) {
          // Real record folders hold dates and Chinese song names; a few other files too.
          const std::string name = "20240" + std::to_string(depth) + "_\xE8\x88\x9E\xE4\xBC\x9A_" + std::to_string(i);
          std::FILE* f = std::fopen((folder / (name + ".rcd")).c_str(), "wb");
          if (f) std::fclose(f);
        }
        std::FILE* f = std::fopen((folder / "notes.txt").c_str(), "wb");
        if (f) std::fclose(f);
        folder /= "part" + std::to_string(depth);
      }
    }
  }
  ~Tree() {
    std::error_code ec;
    stdfs::remove_all(root, ec);
  }
};

const Tree& TheTree() {
  static const Tree tree;
  return tree;
}

void BM_RecursiveDirectoryIterator(benchmark::State& state) {
  const Tree& tree = TheTree();
  size_t found = 0;
  for (auto _ : state) {
    std::vector<std::string> names;
    for (const auto& entry : stdfs::recursive_directory_iterator(tree.root))
      if (entry.is_regular_file() && entry.path().extension() == ".rcd") names.push_back(entry.path().string());
    found = names.size();
    benchmark::DoNotOptimize(names.data());
  }
  state.counters["files"] = static_cast<double>(found);
}
BENCHMARK(BM_RecursiveDirectoryIterator)->Unit(benchmark::kMillisecond);

void BM_ListFolderIntoMemoryUi(benchmark::State& state) {
  const Tree& tree = TheTree();
  const std::string folder = xl::fs::ProgramPath(tree.root.string());
  xl::ListOptions options;
  options.pattern = "*.rcd";
  int found = 0;
  for (auto _ : state) {
    xl::MemoryUi ui(xl::ProgramWindows());
    ui.LoadWindow("start", true);
    found = xl::ListFolder(ui, "start", "列表框_文件列表", folder, options).added;
    benchmark::DoNotOptimize(found);
  }
  state.counters["files"] = found;
}
BENCHMARK(BM_ListFolderIntoMemoryUi)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  xl::bench::Compare("BM_ListFolderIntoMemoryUi", "BM_RecursiveDirectoryIterator", 2.0);
  return xl::bench::RunAndReport(argc, argv);
}
