// The replay document's work against the plain byte operations it stands on: a tag search
// over a large GBK replay against memmem of the same bytes, and a whole edit-and-save of a
// replay against a bare read and write of the same file.
#include <string.h>  // memmem
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/files.h"
#include "replay/document.h"
#include "replay/text_ops.h"
#include "tools/bench/ratio.h"
#include "tools/fixtures/replay_fixture.h"

namespace {

using namespace xl;

const std::string& BigReplay() {
  static const std::string text = fixtures::MakeReplay({.players = 8, .seed = 42, .bytes = 4u << 20});
  return text;
}

// The closing tag of the dance data: one occurrence, at the very end of 4 MiB.
constexpr std::string_view kLastTag = "</DanceData>";
// A tag of every dance frame: tens of thousands of occurrences.
constexpr std::string_view kFrequentTag = "<Judge>";

void BM_Memmem_LastTag(benchmark::State& state) {
  const std::string& text = BigReplay();
  for (auto _ : state)
    benchmark::DoNotOptimize(memmem(text.data(), text.size(), kLastTag.data(), kLastTag.size()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Memmem_LastTag);

void BM_FindText_LastTag(benchmark::State& state) {
  const std::string& text = BigReplay();
  for (auto _ : state) benchmark::DoNotOptimize(replay::FindText(text, kLastTag));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FindText_LastTag);

void BM_Memmem_EveryFrame(benchmark::State& state) {
  const std::string& text = BigReplay();
  for (auto _ : state) {
    size_t n = 0;
    for (const char* p = text.data(), *end = p + text.size();; ++n, ++p) {
      p = static_cast<const char*>(memmem(p, static_cast<size_t>(end - p), kFrequentTag.data(), kFrequentTag.size()));
      if (!p) break;
    }
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_Memmem_EveryFrame);

void BM_FindText_EveryFrame(benchmark::State& state) {
  const std::string& text = BigReplay();
  for (auto _ : state) {
    size_t n = 0;
    for (replay::TextPos p = replay::FindText(text, kFrequentTag); p != replay::kNotFound;
         p = replay::FindText(text, kFrequentTag, p + 1))
      ++n;
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_FindText_EveryFrame);

void BM_FindText_IgnoreCase_LastTag(benchmark::State& state) {
  const std::string& text = BigReplay();
  for (auto _ : state) benchmark::DoNotOptimize(replay::FindText(text, kLastTag, 1, true));
}
BENCHMARK(BM_FindText_IgnoreCase_LastTag);

// A 1 MiB replay with eight players in a scratch folder.
struct SaveFixture {
  SaveFixture() {
    folder = std::filesystem::temp_directory_path() / ("xl-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    path = fs::ProgramPath((folder / "bench.rcd").string());
    bytes = fixtures::MakeReplay({.players = 8, .seed = 7, .bytes = 1u << 20});
    (void)fs::WriteWholeFile(path, bytes);
  }
  ~SaveFixture() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
  std::filesystem::path folder;
  std::string path, bytes;
};

SaveFixture& Saving() {
  static SaveFixture f;
  return f;
}

void BM_ReadAndWrite_1MiB(benchmark::State& state) {
  SaveFixture& f = Saving();
  for (auto _ : state) {
    auto bytes = fs::ReadWholeFile(f.path);
    if (!bytes || !fs::WriteWholeFile(f.path, *bytes)) state.SkipWithError("write failed");
  }
}
BENCHMARK(BM_ReadAndWrite_1MiB);

// One save as the modify window does it: the blocks taken afresh, something of every
// player changed, the blocks merged back and the file replaced. The backup was kept by an
// earlier save of the same opening.
void BM_SplitEditSave_1MiB(benchmark::State& state) {
  SaveFixture& f = Saving();
  replay::ReplayState doc;
  replay::OpenReplay(doc, *replay::ReadReplayFile(f.path));
  int round = 0;
  for (auto _ : state) {
    replay::SplitPlayers(doc, nullptr);
    for (std::string& block : doc.edited)
      replay::RewriteField(block, "<GuildLevel>", "</GuildLevel>", std::to_string(1 + round++ % 20));
    if (!replay::MergeAndWrite(doc, f.path)) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SplitEditSave_1MiB);

// The first save after opening, reading included: the backup is written too.
void BM_OpenEditFirstSave_1MiB(benchmark::State& state) {
  SaveFixture& f = Saving();
  replay::ReplayState doc;
  int round = 0;
  for (auto _ : state) {
    auto bytes = replay::ReadReplayFile(f.path);
    if (!bytes) state.SkipWithError("read failed");
    replay::OpenReplay(doc, std::move(*bytes));
    replay::SplitPlayers(doc, nullptr);
    for (std::string& block : doc.edited)
      replay::RewriteField(block, "<GuildLevel>", "</GuildLevel>", std::to_string(1 + round++ % 20));
    if (!replay::MergeAndWrite(doc, f.path)) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_OpenEditFirstSave_1MiB);

}  // namespace

int main(int argc, char** argv) {
  xl::bench::Compare("BM_FindText_LastTag", "BM_Memmem_LastTag", 3.33);
  xl::bench::Compare("BM_FindText_EveryFrame", "BM_Memmem_EveryFrame", 3.33);
  xl::bench::Compare("BM_FindText_IgnoreCase_LastTag", "BM_Memmem_LastTag", 0);
  xl::bench::Compare("BM_SplitEditSave_1MiB", "BM_ReadAndWrite_1MiB", 3.0);
  xl::bench::Compare("BM_OpenEditFirstSave_1MiB", "BM_ReadAndWrite_1MiB", 0);
  return xl::bench::RunAndReport(argc, argv);
}
