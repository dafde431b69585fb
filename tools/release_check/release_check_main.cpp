// Checks the released program as a player meets it (scripts/package --check): starts the
// unpacked xinglv.exe as a process of its own, finds its windows by their captions and its
// controls by their place in the window definitions, and works them with mouse messages
// posted to the control under the pointer. Prints each step; exits non-zero at the first
// one that does not happen.
//   release_check PROGRAM.exe close [HOVER_SECONDS]
//       the start window appears; (the pointer rests on the title-bar icon for a while;)
//       a click on its close button ends the program with exit code 0
//   release_check PROGRAM.exe install-style
//       lists the remembered folder, opens its first replay, installs the login style
//       "简约银色" from the plugins page, then closes both windows; exit code 0
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/window_defs.h"
#include "platform/codepage.h"

namespace {

constexpr DWORD kPatienceMs = 30000;
HANDLE runningProgram = nullptr;  // ended by a failed check, so no window outlives it

std::wstring Wide(std::string_view gbk) { return xl::GbkToWideLossy(gbk); }

void Say(const char* what) {
  std::printf("release check: %s\n", what);
  std::fflush(stdout);
}

[[noreturn]] void Fail(const std::string& what) {
  std::printf("release check FAILED: %s\n", what.c_str());
  std::fflush(stdout);
  if (runningProgram) TerminateProcess(runningProgram, 1);
  std::exit(1);
}

const xl::WindowDef& Definition(std::string_view window) {
  for (const xl::WindowDef& d : xl::ProgramWindows())
    if (d.id == window) return d;
  Fail("no window definition " + std::string(window));
}

std::wstring Caption(std::string_view window) { return Wide(Definition(window).window.text); }

std::wstring TextOf(HWND h) {
  wchar_t text[256] = {};
  GetWindowTextW(h, text, 256);
  return text;
}

struct Program {
  PROCESS_INFORMATION pi{};
  HWND start = nullptr, modify = nullptr;
};

// The first visible top-level window of the program with that caption, other than `except`;
// nullptr after the wait or once the program has ended.
HWND WaitForWindow(const Program& p, const std::wstring& caption, std::vector<HWND> except = {}) {
  struct Search {
    DWORD pid;
    const std::wstring* caption;
    const std::vector<HWND>* except;
    HWND found;
  };
  const DWORD until = GetTickCount() + kPatienceMs;
  while (GetTickCount() < until) {
    Search s{p.pi.dwProcessId, &caption, &except, nullptr};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
          auto* s = reinterpret_cast<Search*>(lp);
          DWORD pid = 0;
          GetWindowThreadProcessId(h, &pid);
          if (pid != s->pid || !IsWindowVisible(h)) return TRUE;
          for (HWND other : *s->except)
            if (h == other) return TRUE;
          if (TextOf(h) != *s->caption) return TRUE;
          s->found = h;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    if (s.found) return s.found;
    if (WaitForSingleObject(p.pi.hProcess, 0) == WAIT_OBJECT_0) return nullptr;
    Sleep(50);
  }
  return nullptr;
}

// Controls carry 100 + their place in the window definition as their id.
HWND Control(HWND top, std::string_view window, std::string_view name) {
  const xl::WindowDef& d = Definition(window);
  int id = -1;
  for (size_t i = 0; i < d.controls.size(); ++i)
    if (d.controls[i].name == name) id = 100 + static_cast<int>(i);
  struct Search {
    int id;
    HWND found;
  } s{id, nullptr};
  EnumChildWindows(
      top,
      [](HWND h, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (GetDlgCtrlID(h) != s->id) return TRUE;
        s->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&s));
  if (!s.found) Fail("no control " + std::string(name) + " in the " + std::string(window) + " window");
  return s.found;
}

LPARAM Centre(HWND h) {
  RECT r{};
  GetClientRect(h, &r);
  return MAKELPARAM(r.right / 2, r.bottom / 2);
}

// Posted, not sent: a click may open a modal box whose loop would hold a sent message.
void Click(HWND h, LPARAM at) {
  PostMessageW(h, WM_MOUSEMOVE, 0, at);
  PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(h, WM_LBUTTONUP, 0, at);
}
void Click(HWND h) { Click(h, Centre(h)); }

LRESULT Ask(HWND h, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(h, msg, wp, lp, SMTO_ABORTIFHUNG, 5000, &result)) Fail("the program does not answer");
  return static_cast<LRESULT>(result);
}

Program Start(const std::wstring& exe) {
  Program p;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &p.pi))
    Fail("cannot start the program (error " + std::to_string(GetLastError()) + ")");
  runningProgram = p.pi.hProcess;
  p.start = WaitForWindow(p, Caption("start"));
  if (!p.start) Fail("the start window did not appear");
  Say("the start window appeared");
  return p;
}

// A click on the start window's close button ends the program with exit code 0.
void CloseAndEnd(Program& p) {
  Click(Control(p.start, "start", "按钮_关闭"));
  if (WaitForSingleObject(p.pi.hProcess, kPatienceMs) != WAIT_OBJECT_0)
    Fail("the program did not end after a click on the close button");
  DWORD code = 1;
  GetExitCodeProcess(p.pi.hProcess, &code);
  runningProgram = nullptr;
  CloseHandle(p.pi.hThread);
  CloseHandle(p.pi.hProcess);
  if (code != 0) Fail("the program ended with exit code " + std::to_string(code));
  Say("a click on the close button ended it with exit code 0");
}

// The pointer rests on the title-bar icon, where its tooltip shows.
void HoverIcon(const Program& p, int seconds) {
  HWND icon = Control(p.start, "start", "按钮_图标");
  RECT r{};
  GetWindowRect(icon, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  Sleep(static_cast<DWORD>(seconds) * 1000);
  SetCursorPos(0, 0);
}

void InstallStyle(Program& p) {
  Click(Control(p.start, "start", "超级按钮_搜上次路径"));
  HWND list = Control(p.start, "start", "列表框_文件列表");
  const DWORD until = GetTickCount() + kPatienceMs;
  while (Ask(list, LB_GETCOUNT) <= 0 && GetTickCount() < until) Sleep(50);
  if (Ask(list, LB_GETCOUNT) <= 0) Fail("the remembered folder listed no replay");
  Say("the remembered folder was listed");

  // A double-click on the first item, where the pointer would be.
  const LPARAM first = MAKELPARAM(10, 8);
  for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
    PostMessageW(list, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, first);
  p.modify = WaitForWindow(p, Caption("modify"));
  if (!p.modify) Fail("the modify window did not open");
  Say("the modify window opened");

  PostMessageW(Control(p.modify, "modify", "图片框_插件"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  const xl::Unit* combo = Definition("modify").Find("组合框_登录界面");
  int silver = -1;
  for (size_t i = 0; combo && i < combo->items.size(); ++i)
    if (combo->items[i] == "简约银色") silver = static_cast<int>(i);
  HWND styles = Control(p.modify, "modify", "组合框_登录界面");
  Ask(styles, CB_SETCURSEL, static_cast<WPARAM>(silver));
  PostMessageW(GetParent(styles), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(styles), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(styles));
  Click(Control(p.modify, "modify", "超级按钮_修改界面"));

  // Every notice of the program comes in a box titled 温馨提示.
  HWND notice = WaitForWindow(p, Wide("温馨提示"), {p.start, p.modify});
  if (!notice) Fail("no notice after the install");
  Say("the install's notice came up; closing it");
  PostMessageW(notice, WM_CLOSE, 0, 0);
  const DWORD closing = GetTickCount() + kPatienceMs;
  while (IsWindow(notice) && GetTickCount() < closing) Sleep(50);

  Click(Control(p.modify, "modify", "按钮_关闭"));
  const DWORD back = GetTickCount() + kPatienceMs;
  while ((IsWindow(p.modify) || !IsWindowVisible(p.start)) && GetTickCount() < back) Sleep(50);
  if (IsWindow(p.modify) || !IsWindowVisible(p.start))
    Fail("closing the modify window did not bring back the start window");
  Say("the modify window closed, the start window is back");
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) {
    std::printf("usage: release_check PROGRAM.exe close [HOVER_SECONDS] | install-style\n");
    return 2;
  }
  const std::wstring exe = argv[1], mode = argv[2];
  Program p = Start(exe);
  if (mode == L"install-style") InstallStyle(p);
  if (mode == L"close" && argc > 3) HoverIcon(p, _wtoi(argv[3]));
  CloseAndEnd(p);
  return 0;
}
