// The real windows' speed, under Wine or Windows, each figure against a baseline measured
// in the same run:
//  - start-up: launching the program until its start window is visible, against launching
//    a minimal Win32 program (this one, with --minimal-window) until its window is visible,
//    the two launched one after the other five times; the median of the five ratios;
//  - listing 20,000 replays into the start window's list box through the lister's own
//    ListFiller (redraw suspended, messages let through on its timer), against filling a bare
//    list box with the same names.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/folder_lister.h"
#include "app/window_defs.h"
#include "platform/codepage.h"
#include "win32/win32_ui.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// goal 0: the ratio is reported only.
void Report(const char* what, double candidate, const char* baselineName, double baseline, double goal) {
  const double ratio = candidate / baseline;
  if (goal <= 0) {
    std::printf("ratio  %s vs %s = %.2fx (report only)\n", what, baselineName, ratio);
    return;
  }
  std::printf("ratio  %s vs %s = %.2fx (goal <= %.2fx)  %s\n", what, baselineName, ratio, goal,
              ratio <= goal ? "ok" : "SLOW");
}

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// The baseline program: one plain window and a message loop.
int RunMinimalWindow() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = L"MinimalWindow";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"minimal", WS_POPUP, 100, 100, 400, 250, nullptr, nullptr,
                              wc.hInstance, nullptr);
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
  return 0;
}

struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  RECT r;
  if (pid == s->pid && IsWindowVisible(hwnd) && GetWindowRect(hwnd, &r) && r.right - r.left >= 300) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// Milliseconds from CreateProcess until the program shows a window; the program is then
// ended. Negative when it showed none within 30 s.
double TimeToFirstWindow(std::wstring commandLine) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const auto start = Clock::now();
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  Search s{pi.dwProcessId, nullptr};
  double elapsed = -1;
  while (Clock::now() - start < std::chrono::seconds(30)) {
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&s));
    if (s.found) {
      elapsed = Ms(Clock::now() - start);
      break;
    }
    Sleep(1);
  }
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 5000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return elapsed;
}

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path);
  return p.substr(0, p.find_last_of(L'\\') + 1);
}

// Each round launches the minimal program and then the real one, so both meet the same load
// of a shared machine; the median of the rounds' ratios is reported.
void BenchStartup() {
  const std::wstring self = ExeFolder() + L"startup_bench.exe";
  const std::wstring program = ExeFolder() + L"..\\..\\xinglv.exe";
  std::vector<double> minimal, real, ratios;
  for (int round = 0; round < 5; ++round) {
    const double m = TimeToFirstWindow(L"\"" + self + L"\" --minimal-window");
    const double r = TimeToFirstWindow(L"\"" + program + L"\"");
    if (m <= 0 || r <= 0) {
      std::printf("start-up: a program showed no window (minimal %.0f ms, program %.0f ms)\n", m, r);
      return;
    }
    minimal.push_back(m);
    real.push_back(r);
    ratios.push_back(r / m);
  }
  std::printf("start-up until the start window is visible: program %.0f ms, minimal window %.0f ms (medians)\n",
              Median(real), Median(minimal));
  const double ratio = Median(ratios);
  std::printf(
      "ratio  start-up/program vs start-up/minimal-window = %.2fx, median of 5 paired runs (goal <= 1.30x)  %s\n",
      ratio, ratio <= 1.3 ? "ok" : "SLOW");
}

void BenchListing() {
  constexpr int kNames = 20000;
  std::vector<std::string> names;  // as the lister adds them: folder and name, GBK
  for (int i = 0; i < kNames; ++i)
    names.push_back("2024\\" + std::to_string(i / 100) + "\\20240" + std::to_string(i % 9) + "_舞会_" +
                    std::to_string(i) + ".rcd");
  std::vector<std::wstring> wide;
  for (const std::string& name : names) wide.push_back(xl::GbkToWideLossy(name));

  // Median of three fills each, the bare list box first.
  std::vector<double> bareTimes, listedTimes;
  for (int round = 0; round < 3; ++round) {
    HWND bare = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS, 0, 0, 376, 154,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    auto start = Clock::now();
    for (const std::wstring& name : wide) SendMessageW(bare, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    bareTimes.push_back(Ms(Clock::now() - start));
    DestroyWindow(bare);

    xl::win32::Win32Ui ui(xl::ProgramWindows());
    ui.LoadWindow("start", true);
    start = Clock::now();
    {
      xl::ListFiller filler(ui, "start", "列表框_文件列表");
      for (const std::string& name : names) filler.Add(name);
    }
    ui.PumpMessages();
    listedTimes.push_back(Ms(Clock::now() - start));
  }
  const double listed = Median(listedTimes), plain = Median(bareTimes);
  std::printf("listing %d replays into the start window's list: %.0f ms, bare list box %.0f ms\n", kNames, listed,
              plain);
  Report("listing/20000", listed, "bare-list-box/20000", plain, 5.0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--minimal-window") return RunMinimalWindow();
  BenchStartup();
  BenchListing();
  return 0;
}
