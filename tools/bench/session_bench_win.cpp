// A player's session on a large replay under Wine or Windows: the peak working set of a
// fresh process that opens a 32 MiB (and a 64 MiB) eight-player replay, changes a costume
// slot of every player and the stage, and saves, above the peak of the same session on a
// replay of a few KiB, per byte of the replay. The session runs on the MemoryUi back end
// (this program with --session FOLDER), so the figure is the document's and the Windows
// file layer's, not the windows'.
#include <windows.h>
// after <windows.h>
#include <psapi.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/ini.h"
#include "tools/fixtures/replay_fixture.h"
#include "tools/scenario/memory_driver.h"
#include "tools/scenario/runner.h"

namespace {

using namespace xl;
namespace stdfs = std::filesystem;

constexpr const char* kScript = "session.scn";
constexpr const char* kPeak = "peak.txt";

std::string Gbk(const stdfs::path& p) { return WideToGbk(p.wstring()).value_or(std::string()); }

// A folder with the replay, data.ini pointing at its record folder, and the session script.
stdfs::path MakeSession(const std::string& name, size_t bytes) {
  const stdfs::path folder = stdfs::temp_directory_path() / ("xl-session-bench-" + name);
  stdfs::remove_all(folder);
  stdfs::create_directories(folder / "record");
  (void)fs::WriteWholeFile(Gbk(folder / "record" / "big.rcd"),
                           fixtures::MakeReplay({.players = 8, .seed = 12, .bytes = bytes}));
  (void)ini::Write(Gbk(folder / "data.ini"), "路径", "路径", Gbk(folder / "record") + "\\");
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
      u8"select modify 组合框_场景舞台 中式婚礼\nclick modify 超级按钮_舞台场景\nexpect notice 温馨提示 修改成功\n"
      u8"click modify 超级按钮_总保存\nexpect notice 温馨提示 保存成功\n";
  std::ofstream(folder / kScript, std::ios::binary) << std::string(u8.begin(), u8.end());
  return folder;
}

// The child: runs the session, then writes its own peak working set in bytes.
int RunSession(const stdfs::path& folder) {
  std::ifstream in(folder / kScript, std::ios::binary);
  const std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  scenario::MemoryDriver driver;
  std::ostringstream out;
  if (!scenario::RunCommands(script, folder, driver, "session", out)) {
    std::fputs(out.str().c_str(), stderr);
    return 1;
  }
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 1;
  std::ofstream(folder / kPeak) << counters.PeakWorkingSetSize;
  return 0;
}

// The peak working set of a fresh process running the folder's session; 0 when it failed.
double PeakOfSession(const stdfs::path& folder) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) + L"\" --session \"" + folder.wstring() + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 0;
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  double peak = 0;
  std::ifstream(folder / kPeak) >> peak;
  return code == 0 ? peak : 0;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc == 3 && std::wstring_view(argv[1]) == L"--session") return RunSession(argv[2]);

  const stdfs::path tiny = MakeSession("tiny", 0);
  const double base = PeakOfSession(tiny);
  for (const size_t mib : {32u, 64u}) {
    // Just under the limit for the larger one, so its grown stage still saves.
    const size_t bytes = (static_cast<size_t>(mib) << 20) - (mib == 64 ? 8u << 10 : 0u);
    const stdfs::path folder = MakeSession(std::to_string(mib), bytes);
    const double peak = PeakOfSession(folder);
    const double size = static_cast<double>(stdfs::file_size(folder / "record" / "big.rcd"));
    stdfs::remove_all(folder);
    if (base <= 0 || peak <= 0) {
      std::printf("ratio  peak working set of the cold %zu MiB session: the session failed\n",
                  static_cast<size_t>(mib));
      continue;
    }
    const double ratio = (peak - base) / size;
    std::printf(
        "ratio  peak working set of the cold %zu MiB session above a tiny one's (%.1f MiB), per byte of the replay "
        "= %.2fx (goal <= 1.50x)  %s\n",
        static_cast<size_t>(mib), base / (1 << 20), ratio, ratio <= 1.5 ? "ok" : "MISSED");
  }
  stdfs::remove_all(tiny);
  std::fflush(stdout);
  return 0;
}
