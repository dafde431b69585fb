// The replay document's work against the plain byte operations it stands on: a tag search
// over a large GBK replay against memmem of the same bytes, a whole edit-and-save of a
// replay against a bare read and write of the same file, and a user's whole session on a
// 32 MiB replay, run by the scenario runner, against the file operations its save must do.
#include <string.h>  // memmem
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "platform/files.h"
#include "platform/ini.h"
#include "replay/document.h"
#include "replay/text_ops.h"
#include "tools/bench/ratio.h"
#include "tools/fixtures/replay_fixture.h"
#include "tools/scenario/memory_driver.h"
#include "tools/scenario/runner.h"

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
  for (auto _ : state) benchmark::DoNotOptimize(memmem(text.data(), text.size(), kLastTag.data(), kLastTag.size()));
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
    for (const char *p = text.data(), *end = p + text.size();; ++n, ++p) {
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

// A session on a 32 MiB, eight-player replay: open it, pick each player in turn and change
// one costume slot of each, change the stage, save (backup, temporary file, flush, rename).
struct SessionFixture {
  SessionFixture() {
    folder = std::filesystem::temp_directory_path() / ("xl-session-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "record");
    path = fs::ProgramPath((folder / "record" / "big.rcd").string());
    (void)fs::WriteWholeFile(path, fixtures::MakeReplay({.players = 8, .seed = 12, .bytes = 32u << 20}));
    (void)ini::Write(fs::ProgramPath((folder / "data.ini").string()), "路径", "路径",
                     fs::ProgramPath((folder / "record").string()) + "\\");
    // Scripts are UTF-8, while the program's own literals are GBK.
    std::u8string u8 =
        u8"start\nclick start 超级按钮_搜上次路径\nselect start 列表框_文件列表 big.rcd\n"
        u8"dblclick start 列表框_文件列表\n";
    for (int person = 1; person <= 8; ++person) {
      const std::string n = std::to_string(person), id = std::to_string(100008000 + person);
      u8 += u8"select modify 组合框_修改 第" + std::u8string(n.begin(), n.end()) + u8"人\n";
      u8 += u8"clear modify 编辑框_鞋子\ntype modify 编辑框_鞋子 " + std::u8string(id.begin(), id.end()) + u8"\n";
      u8 += u8"click modify 超级按钮_修改服饰\nexpect notice 温馨提示 修改成功\n";
    }
    u8 +=
        u8"select modify 组合框_场景舞台 遗迹\nclick modify 超级按钮_舞台场景\nexpect notice 温馨提示 修改成功\n"
        u8"click modify 超级按钮_总保存\nexpect notice 温馨提示 保存成功\n";
    script.assign(u8.begin(), u8.end());
  }
  ~SessionFixture() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
  std::filesystem::path folder;
  std::string path, script;
};

SessionFixture& Session() {
  static SessionFixture f;
  return f;
}

// What the session's save cannot do without: read the replay, write the backup and the
// temporary file, each flushed, and rename.
void BM_SessionFileWork_32MiB(benchmark::State& state) {
  SessionFixture& f = Session();
  for (auto _ : state) {
    auto bytes = fs::ReadWholeFile(f.path);
    if (!bytes || !fs::ReplaceFileAtomically(f.path + ".bak", *bytes) || !fs::ReplaceFileAtomically(f.path, *bytes))
      state.SkipWithError("file work failed");
  }
}
// A run takes a tenth of a second or more and the flushes vary: both take a few seconds.
BENCHMARK(BM_SessionFileWork_32MiB)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_SessionByScenario_32MiB(benchmark::State& state) {
  SessionFixture& f = Session();
  for (auto _ : state) {
    scenario::MemoryDriver driver;
    std::ostringstream out;
    if (!scenario::RunCommands(f.script, f.folder, driver, "session", out)) state.SkipWithError(out.str().c_str());
  }
}
BENCHMARK(BM_SessionByScenario_32MiB)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace

int main(int argc, char** argv) {
  xl::bench::Compare("BM_FindText_LastTag", "BM_Memmem_LastTag", 3.33);
  xl::bench::Compare("BM_FindText_EveryFrame", "BM_Memmem_EveryFrame", 3.33);
  xl::bench::Compare("BM_FindText_IgnoreCase_LastTag", "BM_Memmem_LastTag", 0);
  xl::bench::Compare("BM_SplitEditSave_1MiB", "BM_ReadAndWrite_1MiB", 3.0);
  xl::bench::Compare("BM_OpenEditFirstSave_1MiB", "BM_ReadAndWrite_1MiB", 0);
  xl::bench::Compare("BM_SessionByScenario_32MiB/min_time:3.000", "BM_SessionFileWork_32MiB/min_time:3.000", 1.8);
  return xl::bench::RunAndReport(argc, argv);
}
