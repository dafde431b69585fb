#include "tools/scenario/memory_driver.h"

#include <utility>

#include "app/window_defs.h"
#include "platform/files.h"

namespace xl::scenario {
namespace {

// Native paths as the program writes them: GBK with backslashes.
std::string ProgramPathOf(const std::filesystem::path& path) {
  const std::u8string u8 = std::filesystem::absolute(path).lexically_normal().u8string();
  std::string text = fs::ProgramPath(std::string(u8.begin(), u8.end()));
  while (text.size() > 1 && fs::EndsWithBackslash(text)) text.pop_back();
  return text;
}

bool IsWindowItself(std::string_view control) { return control.empty() || control == "-"; }

}  // namespace

MemoryDriver::MemoryDriver() : ui_(ProgramWindows()) {}

MemoryDriver::~MemoryDriver() = default;

void MemoryDriver::SetProgramFolder(const std::filesystem::path& folder) {
  initial_.programFolder = ProgramPathOf(folder);
}

void MemoryDriver::SetDocumentsFolder(const std::filesystem::path& folder) {
  initial_.documentsFolder = ProgramPathOf(folder);
}

void MemoryDriver::QueueFolder(const std::optional<std::filesystem::path>& folder) {
  ui_.QueueFolder(folder ? ProgramPathOf(*folder) : std::string());
}

void MemoryDriver::QueueAnswer(std::string_view button) { ui_.QueueAnswer(std::string(button)); }

Status MemoryDriver::Start(const std::optional<std::filesystem::path>& argument) {
  program_ = std::make_unique<Program>(ui_, initial_);
  program_->Start(argument ? ProgramPathOf(*argument) : std::string());
  return Acted(true);
}

// A refused action names its reason through the problems MemoryUi recorded.
Status MemoryDriver::Acted(bool reached) {
  if (reached) return Success();
  std::string why;
  for (const std::string& p : ui_.TakeProblems()) why += (why.empty() ? "" : "; ") + p;
  return Error{why.empty() ? "the action did not reach the control" : why};
}

Status MemoryDriver::Exists(std::string_view window, std::string_view control) {
  if (!ui_.WindowExists(window)) return Error{"the window " + std::string(window) + " is not open"};
  if (!IsWindowItself(control) && !ui_.HasControl(window, control))
    return Error{"no control " + std::string(control) + " in " + std::string(window)};
  return Success();
}

Status MemoryDriver::Click(std::string_view w, std::string_view c) { return Acted(ui_.Click(w, c)); }
Status MemoryDriver::DoubleClick(std::string_view w, std::string_view c) { return Acted(ui_.DoubleClick(w, c)); }
Status MemoryDriver::Press(std::string_view w, std::string_view c) { return Acted(ui_.Press(w, c)); }
Status MemoryDriver::Select(std::string_view w, std::string_view c, std::string_view item) {
  return Acted(ui_.Select(w, c, item));
}
Status MemoryDriver::Type(std::string_view w, std::string_view c, std::string_view text) {
  return Acted(ui_.Type(w, c, text));
}
Status MemoryDriver::Clear(std::string_view w, std::string_view c) { return Acted(ui_.Clear(w, c)); }
Status MemoryDriver::Key(std::string_view w, std::string_view c, const KeyStroke& key) {
  return Acted(ui_.Key(w, c, key));
}

Status MemoryDriver::SetClipboard(std::string_view text) {
  if (!ui_.SetClipboardText(text)) return Error{"the clipboard is busy"};
  return Success();
}

Result<std::string> MemoryDriver::Clipboard() { return ui_.ClipboardText(); }
Status MemoryDriver::Drop(std::string_view w, const std::filesystem::path& file) {
  return Acted(ui_.Drop(w, {ProgramPathOf(file)}));
}

Result<std::string> MemoryDriver::Hint(std::string_view w, std::string_view c) {
  if (Status s = Exists(w, c); !s) return s.error();
  return ui_.GetHint(w, c);
}

// A list box is right-clicked on its selected item (below its items when none is selected).
Result<MemoryUi::ShownMenu> MemoryDriver::RightClickWith(std::string_view w, std::string_view c, std::string choice) {
  const size_t shown = ui_.Menus().size();
  ui_.QueueMenuChoice(std::move(choice));
  const bool reached = ui_.RightClick(w, c, ui_.GetText(w, c));
  ui_.DropMenuChoices();
  if (Status s = Acted(reached); !s) return s.error();
  if (ui_.Menus().size() == shown) return Error{"no popup menu opened on " + std::string(w) + " " + std::string(c)};
  return ui_.Menus().back();
}

Status MemoryDriver::ChooseFromMenu(std::string_view w, std::string_view c, std::string_view item) {
  Result<MemoryUi::ShownMenu> menu = RightClickWith(w, c, std::string(item));
  if (!menu) return menu.error();
  return Success();  // an item not in the menu is among the problems MemoryUi recorded
}

Result<std::vector<std::string>> MemoryDriver::MenuItems(std::string_view w, std::string_view c) {
  Result<MemoryUi::ShownMenu> menu = RightClickWith(w, c, "");
  if (!menu) return menu.error();
  std::vector<std::string> items;
  for (const MenuEntry& e : menu->entries)
    if (!e.text.empty()) items.push_back(e.enabled ? e.text : "[" + e.text + "]");
  return items;
}

// MemoryUi's pump hook stands in for the messages waiting in the queue: the first time
// the program lets messages through, the click arrives; later pumps find nothing new.
Status MemoryDriver::ClickMeanwhile(std::string_view w, std::string_view c) {
  if (Status s = Exists(w, c); !s) return s;
  meanwhile_.emplace();
  meanwhile_->window = w;
  meanwhile_->control = c;
  ui_.SetPumpHook([this] {
    if (!meanwhile_ || meanwhile_->delivered) return;
    meanwhile_->delivered = true;
    meanwhile_->reached = ui_.Click(meanwhile_->window, meanwhile_->control);
  });
  return Success();
}

Status MemoryDriver::MeanwhileDone() {
  ui_.SetPumpHook(nullptr);
  const std::optional<Meanwhile> done = std::exchange(meanwhile_, std::nullopt);
  if (!done || !done->delivered) return Error{"the program let no messages through"};
  return Acted(done->reached);
}

Result<bool> MemoryDriver::EndSession() { return ui_.EndSession(); }

Result<std::string> MemoryDriver::Text(std::string_view w, std::string_view c) {
  if (Status s = Exists(w, c); !s) return s.error();
  return ui_.GetText(w, IsWindowItself(c) ? "" : c);
}

Result<std::vector<std::string>> MemoryDriver::Items(std::string_view w, std::string_view c) {
  if (Status s = Exists(w, c); !s) return s.error();
  std::vector<std::string> items;
  for (int i = 0; i < ui_.ItemCount(w, c); ++i) items.push_back(ui_.ItemText(w, c, i));
  return items;
}

// A window that is not open is simply not visible.
Result<bool> MemoryDriver::Visible(std::string_view w, std::string_view c) {
  if (!ui_.WindowExists(w)) return false;
  if (Status s = Exists(w, c); !s) return s.error();
  return ui_.IsVisible(w, c);
}

Result<std::string> MemoryDriver::Picture(std::string_view w, std::string_view c) {
  if (Status s = Exists(w, c); !s) return s.error();
  return ui_.PictureOf(w, c);
}

// No pointer and no tooltips here: only whether a user could point at the control.
Status MemoryDriver::Hover(std::string_view w, std::string_view c) {
  if (Status s = Exists(w, c); !s) return s;
  if (!ui_.IsVisible(w, "") || !ui_.IsVisible(w, c))
    return Error{"cannot hover over " + std::string(w) + " " + std::string(c) + ": it is not shown"};
  return Success();
}

Status MemoryDriver::Shot(std::string_view, const std::filesystem::path&) { return Success(); }

// Nothing to photograph, but the box or menu must still come during the action.
void MemoryDriver::ShotWhenShown(bool menu, std::string_view, const std::filesystem::path&) {
  shotWhenShown_ = ShotWatch{menu, menu ? ui_.Menus().size() : ui_.Notices().size()};
}

Status MemoryDriver::ShotWhenShownDone() {
  const std::optional<ShotWatch> watch = std::exchange(shotWhenShown_, std::nullopt);
  if (!watch) return Error{"no shot was waiting"};
  const size_t now = watch->menu ? ui_.Menus().size() : ui_.Notices().size();
  if (now > watch->before) return Success();
  return Error{watch->menu ? "no popup menu came up" : "no notice came up"};
}

std::vector<ShownNotice> MemoryDriver::TakeNotices() {
  std::vector<ShownNotice> fresh;
  const std::vector<Notice>& all = ui_.Notices();
  for (; noticesTaken_ < all.size(); ++noticesTaken_)
    fresh.push_back({all[noticesTaken_].title, all[noticesTaken_].text});
  return fresh;
}

std::vector<std::string> MemoryDriver::TakeProblems() { return ui_.TakeProblems(); }

}  // namespace xl::scenario
