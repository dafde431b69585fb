#include "app/bindings.h"

#include "app/program.h"
#include "app/shell.h"
#include "replay/costume_edits.h"
#include "replay/edit_history.h"
#include "replay/group_edits.h"
#include "replay/identity_edits.h"
#include "replay/scene_edits.h"
#include "skin/login_style.h"

namespace xl {
namespace {

using E = UiEvent;
using A = const UiEventArgs&;

// An edit of the replay: recorded in its history, so that it can be undone.
template <void (*Apply)(replay::ReplayState&, Ui&)>
void Edit(Program& p, A) {
  const replay::RecordedEdit step(p.state.replay);
  Apply(p.state.replay, p.ui);
}

// One row an event. A handler lands with its row; events without a row do nothing.
constexpr Binding kBindings[] = {
    {"host", "", E::Created, [](Program& p, A) { HostWindowCreated(p.ui, p.hooks); }},

    {"start", "", E::Created, [](Program& p, A) { StartWindowCreated(p.ui, p.hooks); }},
    {"start", "列表框_文件列表", E::DoubleClicked, [](Program& p, A) { OpenSelectedReplay(p.state, p.ui); }},
    {"start", "列表框_文件列表", E::ContextMenu, [](Program& p, A) { ReplayListMenu(p.state, p.ui); }},
    {"start", "超级按钮_搜上次路径", E::Clicked, [](Program& p, A) { ListRememberedFolder(p.state, p.ui); }},
    {"start", "超级按钮_选择目录", E::Clicked, [](Program& p, A) { ChooseInstallDirectory(p.state, p.ui); }},
    {"start", "透明标签_标题", E::LeftButtonDown, [](Program& p, A) { DragWindow(p.ui, "start"); }},
    {"start", "按钮_关闭", E::Clicked, [](Program& p, A) { EndProgram(p.ui); }},
    {"start", "", E::FilesDropped, [](Program& p, A a) { OpenDroppedReplay(p.state, p.ui, a.text); }},

    {"modify", "", E::Created, [](Program& p, A) { ModifyWindowCreated(p.state, p.ui, p.hooks); }},
    {"modify", "透明标签_标题", E::LeftButtonDown, [](Program& p, A) { DragWindow(p.ui, "modify"); }},
    {"modify", "按钮_最小化", E::Clicked, [](Program& p, A) { MinimizeModifyWindow(p.ui); }},
    {"modify", "按钮_关闭", E::Clicked, [](Program& p, A) { ReturnToStartWindow(p.state, p.ui); }},
    {"modify", "", E::SessionEnding,
     [](Program& p, A a) {
       if (!ReturnToStartWindow(p.state, p.ui) && a.refuse) *a.refuse = true;
     }},
    {"modify", "", E::FilesDropped, [](Program& p, A a) { ReplaceOpenReplay(p.state, p.ui, a.text); }},
    {"modify", "", E::KeyPressed,
     [](Program& p, A a) {
       if (a.text == "Ctrl+Z") replay::UndoLastEdit(p.state.replay, p.ui);
     }},
    {"modify", "图片框_服饰", E::LeftButtonDown, [](Program& p, A a) { SwitchPage(p.ui, a.control); }},
    {"modify", "图片框_人物宝儿", E::LeftButtonDown, [](Program& p, A a) { SwitchPage(p.ui, a.control); }},
    {"modify", "图片框_插件", E::LeftButtonDown, [](Program& p, A a) { SwitchPage(p.ui, a.control); }},
    {"modify", "图片框_舞团家族", E::LeftButtonDown, [](Program& p, A a) { SwitchPage(p.ui, a.control); }},
    {"modify", "超级按钮_修改服饰", E::Clicked, Edit<replay::ApplySlots>},
    {"modify", "超级按钮_个人", E::Clicked, Edit<replay::ApplyIdentity>},
    {"modify", "超级按钮_宝儿", E::Clicked, Edit<replay::ApplyAvatar>},
    {"modify", "超级按钮_舞团", E::Clicked, Edit<replay::ApplyGroup>},
    {"modify", "超级按钮_观战", E::Clicked, Edit<replay::ApplySpectator>},
    {"modify", "超级按钮_舞台场景", E::Clicked, Edit<replay::ApplyStage>},
    {"modify", "组合框_修改", E::SelectionChanged, [](Program& p, A) { replay::PickPerson(p.state.replay, p.ui); }},
    {"modify", "组合框_修改", E::ContextMenu, [](Program& p, A) { PersonChooserMenu(p.state, p.ui); }},
    {"modify", "超级按钮_修改人数", E::Clicked, Edit<replay::ApplyPlayerCount>},
    {"modify", "超级按钮_总保存", E::Clicked, [](Program& p, A) { replay::Save(p.state.replay, p.ui); }},
    {"modify", "组合框_登录界面", E::SelectionChanged, [](Program& p, A) { skin::ShowPreview(p.ui); }},
    {"modify", "超级按钮_修改界面", E::Clicked,
     [](Program& p, A) { skin::Install(p.ui, p.state.programFolder, p.state.documentsFolder); }},
};

}  // namespace

std::span<const Binding> Bindings() { return kBindings; }

bool Dispatch(Program& program, const UiEventArgs& event) {
  for (const Binding& b : kBindings) {
    if (b.event == event.event && b.window == event.window && b.control == event.control) {
      b.handler(program, event);
      return true;
    }
  }
  return false;
}

}  // namespace xl
