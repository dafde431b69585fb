// The replay document's work against the plain byte operations it stands on: a tag search
// over a large GBK replay against memmem of the same bytes, a whole edit-and-save of a
// replay against a bare read and write of the same file, and a user's whole session on a
// 32 MiB replay, run by the scenario runner, against the file operations its save must do.
#include <string.h>  // memmem
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/ini.h"
#include "app/program.h"
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
    replay::SplitPlayers(doc);
    for (std::string& block : doc.edited)
      replay::RewriteField(block, "<GuildLevel>", "</GuildLevel>", std::to_string(1 + round++ % 20));
    if (!replay::MergeAndWrite(doc, f.path)) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SplitEditSave_1MiB);

// The first save of a replay, reading included: the backup is kept too.
void BM_OpenEditFirstSave_1MiB(benchmark::State& state) {
  SaveFixture& f = Saving();
  replay::ReplayState doc;
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    (void)fs::DeleteFile(f.path + ".bak");
    state.ResumeTiming();
    auto bytes = replay::ReadReplayFile(f.path);
    if (!bytes) state.SkipWithError("read failed");
    replay::OpenReplay(doc, std::move(*bytes));
    replay::SplitPlayers(doc);
    for (std::string& block : doc.edited)
      replay::RewriteField(block, "<GuildLevel>", "</GuildLevel>", std::to_string(1 + round++ % 20));
    if (!replay::MergeAndWrite(doc, f.path)) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_OpenEditFirstSave_1MiB);

// A session on an eight-player replay: open it, pick each player in turn and change one
// costume slot of each, change the stage, save (backup, temporary file, flush, rename). The
// folder holds the replay, data.ini and two scripts, which the sessions take in turn: each
// changes the slots and the stage back from what the other wrote.
struct SessionFixture {
  explicit SessionFixture(size_t bytes) {
    folder = std::filesystem::temp_directory_path() /
             ("xl-session-bench-" + std::to_string(::getpid()) + "-" + std::to_string(bytes));
    std::filesystem::create_directories(folder / "record");
    path = fs::ProgramPath((folder / "record" / "big.rcd").string());
    (void)fs::WriteWholeFile(path, fixtures::MakeReplay({.players = 8, .seed = 12, .bytes = bytes}));
    (void)ini::Write(fs::ProgramPath((folder / "data.ini").string()), "路径", "路径",
                     fs::ProgramPath((folder / "record").string()) + "\\");
    const std::u8string stages[2] = {u8"中式婚礼", u8"遗迹"};  // the fixture's is 遗迹
    for (int k = 0; k < 2; ++k) {
      // Scripts are UTF-8, while the program's own literals are GBK.
      std::u8string u8 =
          u8"start\nclick start 超级按钮_搜上次路径\nselect start 列表框_文件列表 big.rcd\n"
          u8"dblclick start 列表框_文件列表\n";
      for (int person = 1; person <= 8; ++person) {
        const std::string n = std::to_string(person), id = std::to_string(100008000 + 1000 * k + person);
        u8 += u8"select modify 组合框_修改 第" + std::u8string(n.begin(), n.end()) + u8"人\n";
        u8 += u8"clear modify 编辑框_鞋子\ntype modify 编辑框_鞋子 " + std::u8string(id.begin(), id.end()) + u8"\n";
        u8 += u8"click modify 超级按钮_修改服饰\nexpect notice 温馨提示 修改成功\n";
      }
      u8 += u8"select modify 组合框_场景舞台 " + stages[k] +
            u8"\nclick modify 超级按钮_舞台场景\nexpect notice 温馨提示 修改成功\n"
            u8"click modify 超级按钮_总保存\nexpect notice 温馨提示 保存成功\n";
      scripts[k].assign(u8.begin(), u8.end());
      std::ofstream(folder / ScriptName(k), std::ios::binary) << scripts[k];
    }
  }
  ~SessionFixture() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
  static std::string ScriptName(int k) { return "session" + std::to_string(k) + ".scn"; }
  // The script of the next session. Each session is the replay's first save: no backup
  // beside it yet.
  int Next() {
    (void)fs::DeleteFile(path + ".bak");
    return turn = 1 - turn;
  }

  std::filesystem::path folder;
  std::string path, scripts[2];
  int turn = 1;
};

SessionFixture& Session() {
  static SessionFixture f(32u << 20);
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
    state.PauseTiming();
    const int script = f.Next();
    state.ResumeTiming();
    scenario::MemoryDriver driver;
    std::ostringstream out;
    if (!scenario::RunCommands(f.scripts[script], f.folder, driver, "session", out))
      state.SkipWithError(out.str().c_str());
  }
}
BENCHMARK(BM_SessionByScenario_32MiB)->Unit(benchmark::kMillisecond)->MinTime(3);

// A program run as a fresh process, as a player starts one: every page it touches costs a
// fault. The wall time, and the peak resident memory in KiB.
struct ChildRun {
  double seconds = 0;
  long peakKiB = 0;
  bool ok = false;
};

ChildRun RunChild(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const auto began = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  ChildRun run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  run.peakKiB = usage.ru_maxrss;
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

// Starts the fresh processes from a small process forked before any benchmark has grown
// this one: a child counts the memory it inherits at the fork in its peak (ru_maxrss), so
// a child of this process itself would carry this process's size. Requests and answers go
// through two pipes.
class Spawner {
 public:
  static Spawner& Get() {
    static Spawner spawner;
    return spawner;
  }
  ChildRun Run(const std::vector<std::string>& args) {
    std::string request;
    for (const std::string& a : args) request += a + '\n';
    const std::uint32_t size = static_cast<std::uint32_t>(request.size());
    ChildRun run;
    if (!Put(to_, &size, sizeof size) || !Put(to_, request.data(), size) || !Get(from_, &run, sizeof run)) return {};
    return run;
  }

 private:
  Spawner() {
    int requests[2], answers[2];
    if (::pipe(requests) != 0 || ::pipe(answers) != 0) return;
    if (::fork() == 0) {
      ::close(requests[1]);
      ::close(answers[0]);
      for (std::uint32_t size = 0; Get(requests[0], &size, sizeof size);) {
        std::string request(size, '\0');
        if (!Get(requests[0], request.data(), size)) break;
        std::vector<std::string> args;
        for (size_t at = 0, nl; (nl = request.find('\n', at)) != std::string::npos; at = nl + 1)
          args.push_back(request.substr(at, nl - at));
        const ChildRun run = RunChild(args);
        if (!Put(answers[1], &run, sizeof run)) break;
      }
      ::_exit(0);
    }
    ::close(requests[0]);
    ::close(answers[1]);
    to_ = requests[1];
    from_ = answers[0];
  }
  static bool Put(int fd, const void* data, size_t size) {
    return fd >= 0 && ::write(fd, data, size) == static_cast<ssize_t>(size);
  }
  static bool Get(int fd, void* data, size_t size) {
    for (size_t done = 0; done < size;) {
      const ssize_t n = ::read(fd, static_cast<char*>(data) + done, size - done);
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }
  int to_ = -1, from_ = -1;
};

std::string ThisProgram() { return std::filesystem::read_symlink("/proc/self/exe").string(); }

// The session as a fresh process of its own (this program, run with --session FOLDER SCRIPT).
ChildRun ColdSession(SessionFixture& f) {
  const std::string script = SessionFixture::ScriptName(f.Next());
  return Spawner::Get().Run({ThisProgram(), "--session", f.folder.string(), script});
}

void BM_ColdBareIo_32MiB(benchmark::State& state) {
  SessionFixture& f = Session();
  for (auto _ : state) {
    const ChildRun run = Spawner::Get().Run({XL_BARE_IO, fs::NativePath(f.path)});
    if (!run.ok) state.SkipWithError("bare_io failed");
    state.SetIterationTime(run.seconds);
  }
}
BENCHMARK(BM_ColdBareIo_32MiB)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(3);

void BM_ColdSession_32MiB(benchmark::State& state) {
  SessionFixture& f = Session();
  for (auto _ : state) {
    const ChildRun run = ColdSession(f);
    if (!run.ok) state.SkipWithError("the session failed");
    state.SetIterationTime(run.seconds);
  }
}
BENCHMARK(BM_ColdSession_32MiB)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(3);

// Peak resident memory of cold sessions, above the program's own (a session on a replay of
// a few KiB), per byte of the replay.
void BM_ColdSessionPeakMemory(benchmark::State& state) {
  for (auto _ : state) {
    SessionFixture tiny(0), huge((64u << 20) - (8u << 10));
    const ChildRun base = ColdSession(tiny), at32 = ColdSession(Session()), at64 = ColdSession(huge);
    if (!base.ok || !at32.ok || !at64.ok) state.SkipWithError("a session failed");
    const auto perByte = [&](const ChildRun& run, const SessionFixture& f) {
      return static_cast<double>(run.peakKiB - base.peakKiB) * 1024 /
             static_cast<double>(std::filesystem::file_size(fs::NativePath(f.path)));
    };
    state.counters["base_MiB"] = static_cast<double>(base.peakKiB) / 1024;
    state.counters["32MiB_MiB"] = static_cast<double>(at32.peakKiB) / 1024;
    state.counters["64MiB_MiB"] = static_cast<double>(at64.peakKiB) / 1024;
    bench::ReportRatio("peak memory of the cold 32 MiB session above a tiny one's, per byte of the replay",
                       perByte(at32, Session()), 1.5);
    bench::ReportRatio("peak memory of the cold 64 MiB session above a tiny one's, per byte of the replay",
                       perByte(at64, huge), 1.5);
  }
}
BENCHMARK(BM_ColdSessionPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

// What the undo history keeps of the session's edits and save: as much on a 32 MiB replay
// as on one of a few KiB, since it keeps what the edits changed and nothing of the rest.
void BM_UndoHistoryOfASession(benchmark::State& state) {
  for (auto _ : state) {
    SessionFixture tiny(0);
    const auto held = [&](SessionFixture& f) -> double {
      scenario::MemoryDriver driver;
      std::ostringstream out;
      if (!scenario::RunCommands(f.scripts[f.Next()], f.folder, driver, "session", out))
        state.SkipWithError(out.str().c_str());
      return static_cast<double>(driver.program()->state.replay.history.HeldBytes());
    };
    const double small = held(tiny), large = held(Session());
    state.counters["tiny_B"] = small;
    state.counters["32MiB_B"] = large;
    bench::ReportRatio("bytes the undo history keeps after the 32 MiB session, over those after a tiny one's",
                       large / small, 1.1);
  }
}
BENCHMARK(BM_UndoHistoryOfASession)->Unit(benchmark::kMillisecond)->Iterations(1);

// The child side of ColdSession: runs a session script of the folder on the MemoryUi back end.
int RunSession(const std::filesystem::path& folder, const std::string& script) {
  std::ifstream in(folder / script, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  scenario::MemoryDriver driver;
  std::ostringstream out;
  if (scenario::RunCommands(text, folder, driver, "session", out)) return 0;
  std::fputs(out.str().c_str(), stderr);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string_view(argv[1]) == "--session") return RunSession(argv[2], argv[3]);
  Spawner::Get();  // while this process is still small
  xl::bench::Compare("BM_FindText_LastTag", "BM_Memmem_LastTag", 3.33);
  xl::bench::Compare("BM_FindText_EveryFrame", "BM_Memmem_EveryFrame", 3.33);
  xl::bench::Compare("BM_FindText_IgnoreCase_LastTag", "BM_Memmem_LastTag", 0);
  xl::bench::Compare("BM_SplitEditSave_1MiB", "BM_ReadAndWrite_1MiB", 3.0);
  xl::bench::Compare("BM_OpenEditFirstSave_1MiB", "BM_ReadAndWrite_1MiB", 0);
  xl::bench::Compare("BM_SessionByScenario_32MiB/min_time:3.000", "BM_SessionFileWork_32MiB/min_time:3.000", 1.8);
  xl::bench::Compare("BM_ColdSession_32MiB/min_time:3.000/manual_time",
                     "BM_ColdBareIo_32MiB/min_time:3.000/manual_time", 1.5);
  return xl::bench::RunAndReport(argc, argv);
}
