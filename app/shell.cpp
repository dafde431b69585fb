#include "app/shell.h"

#include <string>

#include "app/folder_lister.h"
#include "app/window_defs.h"
#include "platform/files.h"
#include "platform/ini.h"
#include "replay/costume_edits.h"
#include "replay/document.h"
#include "replay/edit_history.h"
#include "replay/outfit_code.h"
#include "replay/scene_edits.h"
#include "resources/resources.h"

namespace xl {
namespace {

constexpr std::string_view kNoticeTitle = "温馨提示";
constexpr std::string_view kReplayList = "列表框_文件列表";
constexpr std::string_view kTitlePicture = "pictures/title_bar.jpg";

// A flag of the program state that is set while a step that lets messages through runs.
struct Busy {
  bool& flag;
  explicit Busy(bool& f) : flag(f) { flag = true; }
  ~Busy() { flag = false; }
};

// Appends every replay below the record folder to the start window's list. Both list
// buttons do nothing while this runs.
void ListReplays(ProgramState& state, Ui& ui) {
  Busy busy(state.listing);
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
                      " 个录像的文件名或所在文件夹名含有无法显示的字符，未列出；请把这些名字改成中文或英文后再搜索",
                  kNoticeTitle);
}

// Where the folder picker opens: the game folder remembered in data.ini (the record folder
// less its "record\") while it exists, else the program's own folder, which is where the
// program belongs. Names are matched as the lister matches them: GBK characters whole, ASCII
// letters in either case.
std::string PickerStart(const ProgramState& state) {
  std::string folder = ini::Read(DataIniPath(state), "路径", "路径");
  while (fs::EndsWithBackslash(folder)) folder.pop_back();
  constexpr std::string_view kRecord = "\\record";
  if (fs::MatchesPattern(folder, "*\\record")) folder.resize(folder.size() - kRecord.size());
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';  // a drive's root
  return !folder.empty() && fs::DirectoryExists(folder) ? folder : state.programFolder;
}

// Replays end in ".rcd", in any case; anything else dropped or passed is no replay.
bool IsReplayName(std::string_view path) { return path.size() > 4 && fs::MatchesPattern(path, "*.rcd"); }

Result<std::string> ReadReplay(std::string_view path) {
  return IsReplayName(path) ? replay::ReadReplayFile(path) : Error{"不是录像文件"};
}

std::string CannotOpen(std::string_view path, const Error& why) {
  return "无法打开录像文件：" + std::string(path) + "\r\n" + why.message;
}

// With edits that "保存" would write, asks whether to save them first: 是 saves (false when
// the save failed, which has said why), 否 drops them, 取消 keeps everything as it is (false).
// True when the replay may be put away. A second request while the question or its save is
// under way gets false: the first one decides.
bool SettleUnsavedEdits(ProgramState& state, Ui& ui) {
  if (state.askingToClose) return false;
  if (!replay::HasUnsavedEdits(state.replay)) return true;
  Busy asking(state.askingToClose);
  switch (ui.Ask("modify", "录像已经改动，要先保存吗？\r\n不保存的话，改动会丢失。", kNoticeTitle, true)) {
    case Answer::Yes: return replay::Save(state.replay, ui);
    case Answer::No: return true;
    case Answer::Cancel: return false;
  }
  return false;
}

// A popup menu's entry and what choosing it does (nothing for a separator).
struct MenuChoice {
  MenuEntry entry;
  void (*run)(ProgramState&, Ui&);
};

// Shows the popup menu owned by `window` and does what the chosen entry does.
void ShowMenuAndRun(ProgramState& state, Ui& ui, std::string_view window, const std::vector<MenuChoice>& choices) {
  std::vector<MenuEntry> entries;
  for (const MenuChoice& c : choices) entries.push_back(c.entry);
  const int chosen = ui.ShowMenu(window, entries);
  if (chosen >= 0 && chosen < static_cast<int>(choices.size()) && choices[chosen].run) choices[chosen].run(state, ui);
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
  const std::string dir = ui.BrowseFolder("start", kBrowseTitle, PickerStart(state));
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
  // Nothing remembered: nothing to list (never a search from the root of a drive), and the
  // player is told where to begin rather than left with an empty list.
  if (state.recordFolder.empty()) {
    ui.ShowNotice("start", "还没有选择过游戏目录，请先点击“选择目录”。", kNoticeTitle);
    return;
  }
  if (!fs::EndsWithBackslash(state.recordFolder)) state.recordFolder += '\\';
  ListReplays(state, ui);
}

void OpenReplayFile(ProgramState& state, Ui& ui, std::string_view path) {
  Result<std::string> bytes = ReadReplay(path);
  if (!bytes) {
    ui.ShowWindow("start", true);  // hidden still when the replay came from the command line
    ui.ShowNotice("start", CannotOpen(path, bytes.error()), kNoticeTitle);
    return;
  }
  replay::OpenReplay(state.replay, std::move(*bytes), std::string(path));
  ui.ShowWindow("start", false);
  ui.LoadWindow("modify", true);
}

void OpenSelectedReplay(ProgramState& state, Ui& ui) {
  const int selected = ui.GetSelection("start", kReplayList);
  if (selected < 0) return;
  const std::string item = ui.ItemText("start", kReplayList, selected);
  if (item.empty()) return;
  OpenReplayFile(state, ui, state.recordFolder + item);
}

void OpenDroppedReplay(ProgramState& state, Ui& ui, std::string_view path) {
  // A modify window already open keeps its replay (the start window is hidden then anyway).
  if (ui.WindowExists("modify")) return;
  OpenReplayFile(state, ui, path);
}

void ReplaceOpenReplay(ProgramState& state, Ui& ui, std::string_view path) {
  // The dropped file is read first: one that cannot be opened costs no question and no edit.
  Result<std::string> bytes = ReadReplay(path);
  if (!bytes) {
    ui.ShowNotice("modify", CannotOpen(path, bytes.error()), kNoticeTitle);
    return;
  }
  if (!SettleUnsavedEdits(state, ui)) return;
  replay::OpenReplay(state.replay, std::move(*bytes), std::string(path));
  ui.LoadWindow("modify", true);  // opens afresh, as for any replay
}

void ReplayListMenu(ProgramState& state, Ui& ui) {
  const int selected = ui.GetSelection("start", kReplayList);
  const bool onReplay = selected >= 0;
  const bool hasBackup =
      onReplay && fs::FileExists(state.recordFolder + ui.ItemText("start", kReplayList, selected) + ".bak");
  std::vector<MenuChoice> choices = {{{"打开录像", onReplay}, OpenSelectedReplay},
                                     {{"在文件夹中显示", onReplay}, ShowSelectedReplayInFolder}};
  if (hasBackup) choices.push_back({{"恢复原录像"}, RestoreSelectedReplay});
  choices.push_back({{""}, nullptr});
  choices.push_back({{"刷新列表"}, ListRememberedFolder});
  ShowMenuAndRun(state, ui, "start", choices);
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

void PersonChooserMenu(ProgramState& state, Ui& ui) {
  std::vector<MenuChoice> choices = {
      {{"复制此人服饰"}, [](ProgramState& s, Ui& u) { replay::CopyCostume(s.replay, u, s.copiedCostume); }}};
  // A code that is not valid is offered too: pasting it says what is wrong with it.
  if (!state.copiedCostume.empty() || replay::ReadOutfitCode(ui.ClipboardText()).kind != replay::ReadCode::NotACode) {
    choices.push_back({{"粘贴服饰到此人"}, [](ProgramState& s, Ui& u) {
                         const replay::RecordedEdit step(s.replay);
                         replay::PasteCostume(s.replay, u, s.copiedCostume);
                       }});
  }
  choices.push_back({{""}, nullptr});
  // Shown also with nothing to undo, disabled, so that the user knows where undo is.
  choices.push_back({{"撤销上一次修改", state.replay.history.CanUndo()},
                     [](ProgramState& s, Ui& u) { replay::UndoLastEdit(s.replay, u); }});
  ShowMenuAndRun(state, ui, "modify", choices);
}

void RestoreSelectedReplay(ProgramState& state, Ui& ui) {
  const int selected = ui.GetSelection("start", kReplayList);
  if (selected < 0) return;
  const std::string path = state.recordFolder + ui.ItemText("start", kReplayList, selected);
  if (ui.Ask("start", "要把录像恢复成第一次保存前的样子吗？", kNoticeTitle, false) != Answer::Yes) return;
  Result<std::string> original = replay::ReadReplayFile(path + ".bak");
  if (!original) {
    ui.ShowNotice("start", "恢复失败：无法读取 " + path + ".bak：" + original.error().message, kNoticeTitle);
    return;
  }
  // The same replace as saving: the replay is either the backup's bytes or as it was.
  if (Status s = fs::ReplaceFileAtomically(path, *original); !s) {
    ui.ShowNotice("start", "恢复失败：无法写入 " + path + "：" + s.error().message, kNoticeTitle);
    return;
  }
  ui.ShowNotice("start", "恢复成功", kNoticeTitle);
}

bool ReturnToStartWindow(ProgramState& state, Ui& ui) {
  // A failed save has said why; the window stays with every edit in it.
  if (!SettleUnsavedEdits(state, ui)) return false;
  ui.ShowWindow("start", true);
  ui.DestroyWindow("modify");
  return true;
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
