#include "app/shell.h"

#include <string>

#include "app/folder_lister.h"
#include "app/windows.h"
#include "platform/files.h"
#include "platform/ini.h"
#include "replay/document.h"
#include "replay/scene_edits.h"
#include "resources/resources.h"

namespace xl {
namespace {

constexpr std::string_view kNoticeTitle = "温馨提示";
constexpr std::string_view kReplayList = "列表框_文件列表";
constexpr std::string_view kTitlePicture = "pictures/title_bar.jpg";

// Appends every replay below the record folder to the start window's list. Both list
// buttons do nothing while this runs.
void ListReplays(ProgramState& state, Ui& ui) {
  struct Busy {
    bool& flag;
    explicit Busy(bool& f) : flag(f) { flag = true; }
    ~Busy() { flag = false; }
  } busy(state.listing);
  ListOptions options;
  options.pattern = "*.rcd";
  const ListResult listed = ListFolder(ui, "start", kReplayList, state.recordFolder, options);
  if (!ui.WindowExists("start")) return;
  // A record folder that does not exist lists nothing without a word; one that cannot be
  // read is reported.
  if (!listed.failedFolder.empty())
    ui.ShowNotice("start", "无法读取文件夹 " + listed.failedFolder + "，其中的录像未列出：\r\n" + listed.failure,
                  kNoticeTitle);
  if (listed.unreadableNames > 0)
    ui.ShowNotice("start",
                  "有 " + std::to_string(listed.unreadableNames) +
                      " 个录像的文件名含有无法显示的字符，未列出；请把文件名改成中文或英文后再搜索",
                  kNoticeTitle);
}

}  // namespace

void HostWindowCreated(Ui& ui, const StartupHooks& hooks) {
  if (hooks.hostWindowCreated) hooks.hostWindowCreated(ui);
}

void StartWindowCreated(Ui& ui, const StartupHooks& hooks) {
  ui.SetPicture("start", "图片框_标题栏", Resource(kTitlePicture));
  if (hooks.startWindowCreated) hooks.startWindowCreated(ui);
}

void ModifyWindowCreated(ProgramState& state, Ui& ui, const StartupHooks& hooks) {
  ui.SetPicture("modify", "图片框_标题栏", Resource(kTitlePicture));
  if (hooks.modifyWindowCreated) hooks.modifyWindowCreated(ui);
  ui.SetPage("modify", "选择夹1", 0);  // every replay opens on the costume page
  replay::FillChooser(state.replay, ui);
}

void ChooseInstallDirectory(ProgramState& state, Ui& ui) {
  if (state.listing) return;
  const std::string dir = ui.BrowseFolder("start", kBrowseTitle);
  if (dir.empty()) return;
  // A drive root comes back as "D:\"; it takes no second separator.
  state.recordFolder = dir + (fs::EndsWithBackslash(dir) ? "" : "\\") + "record\\";
  const std::string ini = DataIniPath(state);
  if (Status written = ini::Write(ini, "路径", "路径", state.recordFolder); !written) {
    // The listing still works; only the next "search last path" would miss the folder.
    ui.ShowNotice("start", "无法记住所选目录，写入失败：" + ini + "\r\n" + written.error().message, kNoticeTitle);
  }
  ListReplays(state, ui);
}

void ListRememberedFolder(ProgramState& state, Ui& ui) {
  if (state.listing) return;
  state.recordFolder = ini::Read(DataIniPath(state), "路径", "路径");
  ui.ClearItems("start", kReplayList);
  // Nothing remembered: nothing to list (never a search from the root of a drive).
  if (state.recordFolder.empty()) return;
  if (!fs::EndsWithBackslash(state.recordFolder)) state.recordFolder += '\\';
  ListReplays(state, ui);
}

void OpenSelectedReplay(ProgramState& state, Ui& ui) {
  const int selected = ui.GetSelection("start", kReplayList);
  if (selected < 0) return;
  const std::string item = ui.ItemText("start", kReplayList, selected);
  if (item.empty()) return;
  const std::string path = state.recordFolder + item;
  Result<std::string> bytes = replay::ReadReplayFile(path);
  if (!bytes) {
    ui.ShowNotice("start", "无法打开录像文件：" + path + "\r\n" + bytes.error().message, kNoticeTitle);
    return;
  }
  replay::OpenReplay(state.replay, std::move(*bytes));
  ui.ShowWindow("start", false);
  ui.LoadWindow("modify", true);
}

void ReplayListMenu(ProgramState& state, Ui& ui) {
  const bool onReplay = ui.GetSelection("start", kReplayList) >= 0;
  enum Entry { kOpen, kShowInFolder, kSeparator, kRefresh };
  const std::vector<MenuEntry> entries = {{"打开录像", onReplay}, {"在文件夹中显示", onReplay}, {""}, {"刷新列表"}};
  switch (ui.ShowMenu("start", entries)) {
    case kOpen: OpenSelectedReplay(state, ui); break;
    case kShowInFolder: ShowSelectedReplayInFolder(state, ui); break;
    case kRefresh: ListRememberedFolder(state, ui); break;
    default: break;
  }
}

void ShowSelectedReplayInFolder(ProgramState& state, Ui& ui) {
  const int selected = ui.GetSelection("start", kReplayList);
  if (selected < 0) return;
  const std::string path = state.recordFolder + ui.ItemText("start", kReplayList, selected);
  // The file manager would quietly open some other folder for a file that is gone.
  if (!fs::FileExists(path)) {
    ui.ShowNotice("start", "找不到录像文件：" + path, kNoticeTitle);
    return;
  }
  if (!ui.ShowInFolder(path)) ui.ShowNotice("start", "无法打开文件夹：" + path, kNoticeTitle);
}

void ReturnToStartWindow(Ui& ui) {
  ui.ShowWindow("start", true);
  ui.DestroyWindow("modify");
}

void EndProgram(Ui& ui) { ui.EndProgram(0); }

void MinimizeModifyWindow(Ui& ui) { ui.MinimizeWindow("modify"); }

void DragWindow(Ui& ui, std::string_view window) { ui.BeginDrag(window); }

void SwitchPage(Ui& ui, std::string_view selector) {
  for (const WindowDef& w : ProgramWindows()) {
    if (w.id != "modify") continue;
    if (const Unit* u = w.Find(selector); u && u->selectsPage >= 0) ui.SetPage("modify", "选择夹1", u->selectsPage);
  }
}

}  // namespace xl
