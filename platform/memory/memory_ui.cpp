#include "platform/memory/memory_ui.h"

#include <algorithm>
#include <utility>

#include "platform/codepage.h"
#include "resources/resources.h"

namespace xl {
namespace {

bool IsWindowItself(std::string_view control) { return control.empty() || control == "-"; }

bool HasItems(UnitKind kind) { return kind == UnitKind::ComboBox || kind == UnitKind::ListBox; }

// Characters as the edit box counts them: a GBK double-byte character is one.
size_t CharCount(std::string_view s) {
  size_t n = 0;
  for (size_t i = 0; i < s.size(); i += GbkCharLength(s, i)) ++n;
  return n;
}

// Where the last character begins (the size for an empty text).
size_t LastCharAt(std::string_view s) {
  size_t last = 0;
  for (size_t i = 0; i < s.size(); i += GbkCharLength(s, i)) last = i;
  return std::min(last, s.size());
}

std::string Quoted(std::string_view window, std::string_view control) {
  return std::string(window) + " " + std::string(control);
}

}  // namespace

MemoryUi::MemoryUi(const std::vector<WindowDef>& windows) : defs_(windows) {}

void MemoryUi::SetEventSink(UiEventSink sink) { sink_ = std::move(sink); }

MemoryUi::Window* MemoryUi::FindWindow(std::string_view window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

MemoryUi::Control* MemoryUi::FindControl(std::string_view window, std::string_view control) {
  Window* w = FindWindow(window);
  if (!w) return nullptr;
  auto it = w->byName.find(control);
  return it == w->byName.end() ? nullptr : &w->controls[it->second];
}

// A window not open is ignored by the Ui calls, as on the real windows, but an id that no
// definition has and a control its window lacks are problems: a misspelt name in a handler
// or a test fails the first test that reaches it, as a refused action does.
MemoryUi::Window* MemoryUi::Opened(std::string_view window) {
  Window* w = FindWindow(window);
  if (!w && std::none_of(defs_.begin(), defs_.end(), [&](const WindowDef& d) { return d.id == window; }))
    Problem("no window definition " + std::string(window));
  return w;
}

MemoryUi::Control* MemoryUi::Named(std::string_view window, std::string_view control) {
  Window* w = Opened(window);
  if (!w) return nullptr;
  auto it = w->byName.find(control);
  if (it == w->byName.end()) {
    Problem("no control " + Quoted(window, control));
    return nullptr;
  }
  return &w->controls[it->second];
}

// A loaded window gets fresh controls with their design-time content. Loading a window
// that is already there replaces it, so it opens as designed every time.
void MemoryUi::LoadWindow(std::string_view window, bool visible) {
  if (ended_) return;
  auto def = std::find_if(defs_.begin(), defs_.end(), [&](const WindowDef& d) { return d.id == window; });
  if (def == defs_.end()) {
    Problem("no window definition " + std::string(window));
    return;
  }
  Window w;
  w.def = &*def;
  w.caption = def->window.text;
  w.visible = visible;
  w.controls.reserve(def->controls.size());
  for (const Unit& u : def->controls) {
    Control c;
    c.unit = &u;
    c.text = u.text;
    c.items = u.items;
    c.selection = u.selection;
    c.picture = u.picture;
    w.byName.emplace(u.name, w.controls.size());
    w.controls.push_back(std::move(c));
  }
  windows_.insert_or_assign(def->id, std::move(w));
  Raise(def->id, "", UiEvent::Created);
}

bool MemoryUi::WindowExists(std::string_view window) { return FindWindow(window) != nullptr; }

void MemoryUi::ShowWindow(std::string_view window, bool visible) {
  if (Window* w = FindWindow(window)) {
    w->visible = visible;
    if (visible) w->minimized = false;
  }
}

void MemoryUi::DestroyWindow(std::string_view window) {
  if (auto it = windows_.find(window); it != windows_.end()) windows_.erase(it);
}

void MemoryUi::MinimizeWindow(std::string_view window) {
  if (Window* w = FindWindow(window)) w->minimized = true;
}

void MemoryUi::BeginDrag(std::string_view window) {
  if (Window* w = FindWindow(window)) ++w->drags;
}

// The program ends at once: every window goes with it.
void MemoryUi::EndProgram(int exitCode) {
  ended_ = true;
  exitCode_ = exitCode;
  windows_.clear();
}

bool MemoryUi::Shown(const Window& w, const Control& c, int depth) const {
  if (!c.unit->visible || c.unit->kind == UnitKind::Archive) return false;
  if (c.unit->container.empty()) return true;
  auto it = w.byName.find(c.unit->container);
  if (it == w.byName.end() || depth > 16) return false;
  const Control& holder = w.controls[it->second];
  if (holder.unit->kind == UnitKind::TabControl && holder.selection != c.unit->page) return false;
  return Shown(w, holder, depth + 1);
}

bool MemoryUi::IsVisible(std::string_view window, std::string_view control) {
  if (IsWindowItself(control)) {
    const Window* w = Opened(window);
    return w && w->visible;
  }
  const Control* c = Named(window, control);
  const Window* w = FindWindow(window);
  return c && w->visible && Shown(*w, *c, 0);
}

std::string MemoryUi::GetText(std::string_view window, std::string_view control) {
  if (IsWindowItself(control)) {
    const Window* w = Opened(window);
    return w ? w->caption : std::string();
  }
  const Control* c = Named(window, control);
  if (!c) return {};
  if (HasItems(c->unit->kind))
    return c->selection >= 0 && c->selection < static_cast<int>(c->items.size()) ? c->items[c->selection]
                                                                                 : std::string();
  return c->text;
}

// The program sets any text; the input rules apply to typing only. Lists show their
// items, not a text of their own.
void MemoryUi::SetText(std::string_view window, std::string_view control, std::string_view text) {
  if (IsWindowItself(control)) {
    if (Window* w = Opened(window)) w->caption = text;
    return;
  }
  Control* c = Named(window, control);
  if (!c || HasItems(c->unit->kind)) return;
  c->text = text;
  // What Ctrl+Z would have taken back is forgotten, as by the system's edit control.
  c->undoText.clear();
  c->undoAt = c->undoInserted = 0;
}

void MemoryUi::SetHint(std::string_view window, std::string_view control, std::string_view hint) {
  Control* c = Named(window, control);
  if (c && c->unit->kind == UnitKind::EditBox) c->hint = hint;
}

std::string MemoryUi::GetHint(std::string_view window, std::string_view control) {
  const Control* c = Named(window, control);
  return c ? c->hint : std::string();
}

int MemoryUi::GetSelection(std::string_view window, std::string_view control) {
  const Control* c = Named(window, control);
  return c && HasItems(c->unit->kind) ? c->selection : -1;
}

// An index outside the list selects nothing, as the real controls do.
void MemoryUi::SetSelection(std::string_view window, std::string_view control, int index) {
  Control* c = Named(window, control);
  if (!c || !HasItems(c->unit->kind)) return;
  c->selection = index >= 0 && index < static_cast<int>(c->items.size()) ? index : -1;
  if (c->unit->kind == UnitKind::ComboBox) Raise(window, control, UiEvent::SelectionChanged);
}

int MemoryUi::ItemCount(std::string_view window, std::string_view control) {
  const Control* c = Named(window, control);
  return c ? static_cast<int>(c->items.size()) : 0;
}

std::string MemoryUi::ItemText(std::string_view window, std::string_view control, int index) {
  const Control* c = Named(window, control);
  if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return {};
  return c->items[index];
}

void MemoryUi::AddItem(std::string_view window, std::string_view control, std::string_view text) {
  Control* c = Named(window, control);
  if (c && HasItems(c->unit->kind)) c->items.emplace_back(text);
}

void MemoryUi::ClearItems(std::string_view window, std::string_view control) {
  Control* c = Named(window, control);
  if (!c || !HasItems(c->unit->kind)) return;
  c->items.clear();
  c->selection = -1;
}

void MemoryUi::BeginUpdate(std::string_view window, std::string_view control) {
  if (Control* c = Named(window, control)) ++c->updateDepth;
}

void MemoryUi::EndUpdate(std::string_view window, std::string_view control) {
  if (Control* c = Named(window, control); c && c->updateDepth > 0) --c->updateDepth;
}

int MemoryUi::UpdateDepth(std::string_view window, std::string_view control) {
  const Control* c = Named(window, control);
  return c ? c->updateDepth : 0;
}

void MemoryUi::SetPicture(std::string_view window, std::string_view control, std::string_view bytes) {
  Control* c = Named(window, control);
  if (c && (c->unit->kind == UnitKind::PictureBox || c->unit->kind == UnitKind::ImageButton))
    c->picture = PictureName(bytes);
}

std::string MemoryUi::PictureOf(std::string_view window, std::string_view control) {
  const Control* c = Named(window, control);
  return c ? c->picture : std::string();
}

void MemoryUi::SetPage(std::string_view window, std::string_view control, int index) {
  Control* c = Named(window, control);
  if (c && c->unit->kind == UnitKind::TabControl && index >= 0 && index < static_cast<int>(c->items.size()))
    c->selection = index;
}

int MemoryUi::GetPage(std::string_view window, std::string_view control) {
  const Control* c = Named(window, control);
  return c && c->unit->kind == UnitKind::TabControl ? c->selection : -1;
}

void MemoryUi::ShowNotice(std::string_view owner, std::string_view text, std::string_view title) {
  notices_.push_back(Notice{std::string(owner), std::string(text), std::string(title)});
}

Answer MemoryUi::Ask(std::string_view owner, std::string_view text, std::string_view title, bool offerCancel) {
  notices_.push_back(Notice{std::string(owner), std::string(text), std::string(title)});
  if (answers_.empty()) {
    Problem("a question \"" + std::string(text) + "\" was shown but no answer was given");
    return Answer::Cancel;
  }
  const std::string button = std::move(answers_.front());
  answers_.pop_front();
  if (button == "是") return Answer::Yes;
  if (button == "否") return Answer::No;
  if ((button == "取消" && offerCancel) || button.empty()) return Answer::Cancel;
  Problem("cannot press \"" + button + "\" on the question \"" + std::string(text) + "\": no such button");
  return Answer::Cancel;
}

std::string MemoryUi::BrowseFolder(std::string_view, std::string_view title, std::string_view startFolder) {
  browseTitles_.emplace_back(title);
  browseStarts_.emplace_back(startFolder);
  if (folders_.empty()) {
    Problem("a folder browser \"" + std::string(title) + "\" was shown but no answer was given");
    return {};
  }
  std::string answer = std::move(folders_.front());
  folders_.pop_front();
  return answer;
}

int MemoryUi::ShowMenu(std::string_view owner, const std::vector<MenuEntry>& entries) {
  menus_.push_back(ShownMenu{std::string(owner), entries});
  if (menuChoices_.empty()) {
    Problem("a popup menu was shown but no choice was given");
    return -1;
  }
  std::string choice = std::move(menuChoices_.front());
  menuChoices_.pop_front();
  if (choice.empty()) return -1;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].text != choice) continue;
    if (entries[i].enabled) return static_cast<int>(i);
    Problem("cannot choose \"" + choice + "\" in the popup menu: the entry is disabled");
    return -1;
  }
  Problem("cannot choose \"" + choice + "\" in the popup menu: no such entry");
  return -1;
}

bool MemoryUi::ShowInFolder(std::string_view path) {
  shownInFolder_.emplace_back(path);
  return true;
}

std::string MemoryUi::ClipboardText() { return clipboardBusy_ ? std::string() : clipboard_; }

bool MemoryUi::SetClipboardText(std::string_view text) {
  if (clipboardBusy_) return false;
  clipboard_ = text;
  return true;
}

void MemoryUi::PumpMessages() {
  if (pumpHook_) pumpHook_();
}

bool MemoryUi::IsMinimized(std::string_view window) {
  Window* w = FindWindow(window);
  return w && w->minimized;
}

int MemoryUi::DragCount(std::string_view window) {
  Window* w = FindWindow(window);
  return w ? w->drags : 0;
}

std::vector<std::string> MemoryUi::TakeProblems() { return std::exchange(problems_, {}); }

MemoryUi::Control* MemoryUi::Reachable(std::string_view window, std::string_view control, const char* action) {
  const std::string where = Quoted(window, control);
  Window* w = FindWindow(window);
  if (!w) {
    Problem(std::string("cannot ") + action + " " + where + ": the window is not open");
    return nullptr;
  }
  if (!w->visible || w->minimized) {
    Problem(std::string("cannot ") + action + " " + where + ": the window is not shown");
    return nullptr;
  }
  Control* c = FindControl(window, control);
  if (!c) {
    Problem(std::string("cannot ") + action + " " + where + ": no such control");
    return nullptr;
  }
  if (!Shown(*w, *c, 0)) {
    Problem(std::string("cannot ") + action + " " + where + ": the control is not visible");
    return nullptr;
  }
  return c;
}

bool MemoryUi::Type(std::string_view window, std::string_view control, std::string_view text) {
  Control* c = Reachable(window, control, "type into");
  if (!c) return false;
  if (c->unit->kind != UnitKind::EditBox) {
    Problem("cannot type into " + Quoted(window, control) + ": not an edit box");
    return false;
  }
  Insert(*c, text);
  return true;
}

void MemoryUi::Insert(Control& c, std::string_view text) {
  if (c.unit->input == InputMode::ReadOnly) return;
  for (size_t i = 0; i < text.size();) {
    const size_t len = GbkCharLength(text, i);
    std::string_view ch = text.substr(i, len);
    i += len;
    if (len == 1 && static_cast<unsigned char>(ch[0]) < 0x20) {
      if (ch[0] == '\b' && !c.text.empty()) {
        const size_t last = LastCharAt(c.text);
        UserReplace(c, last, c.text.size() - last, {});
      }
      continue;
    }
    if (c.unit->input == InputMode::Digits && !(len == 1 && ((ch[0] >= '0' && ch[0] <= '9') || ch[0] == '-'))) continue;
    if (c.unit->maxLength > 0 && CharCount(c.text) >= static_cast<size_t>(c.unit->maxLength)) continue;
    UserReplace(c, c.text.size(), 0, ch);
  }
}

// As the system's edit control keeps its one level of undo: bytes taken next to those taken
// before (Backspace after Backspace) join them, bytes put next to those put before (typing
// on) join them; any other change starts a new run, and bytes taken end the putting.
void MemoryUi::UserReplace(Control& c, size_t pos, size_t length, std::string_view bytes) {
  if (length > 0) {
    const std::string taken = c.text.substr(pos, length);
    const bool joins = c.undoInserted == 0 && !c.undoText.empty();
    if (joins && pos == c.undoAt) {
      c.undoText += taken;
    } else if (joins && pos + length == c.undoAt) {
      c.undoText.insert(0, taken);
      c.undoAt = pos;
    } else {
      c.undoText = taken;
      c.undoAt = pos;
    }
    c.undoInserted = 0;
  }
  if (!bytes.empty()) {
    if (pos == c.undoAt || (c.undoInserted > 0 && pos == c.undoAt + c.undoInserted)) {
      c.undoInserted += bytes.size();
    } else {
      c.undoText.clear();
      c.undoAt = pos;
      c.undoInserted = bytes.size();
    }
  }
  c.text.replace(pos, length, bytes);
}

// The run is replaced by what it replaced, as a change of its own: undoing again redoes it.
void MemoryUi::UndoTyping(Control& c) {
  if (c.unit->input == InputMode::ReadOnly) return;
  const std::string was = std::exchange(c.undoText, {});
  const size_t inserted = std::exchange(c.undoInserted, 0);
  UserReplace(c, c.undoAt, inserted, was);
}

bool MemoryUi::Key(std::string_view window, std::string_view control, const KeyStroke& key) {
  Control* c = Reachable(window, control, "press keys in");
  if (!c) return false;
  const UnitKind kind = c->unit->kind;
  const bool focusable = kind == UnitKind::EditBox || kind == UnitKind::ComboBox || kind == UnitKind::ListBox;
  if (focusable && IsShortcut(key) && !(kind == UnitKind::EditBox && EditBoxTakesShortcut(key, !c->text.empty()))) {
    Raise(window, "", UiEvent::KeyPressed, 0, 0, KeyStrokeText(key));
    return true;
  }
  const bool plain = !key.ctrl && !key.alt && !key.shift;
  switch (kind) {
    case UnitKind::EditBox:
      if (IsShortcut(key) && key.name == "Z") {
        UndoTyping(*c);
      } else if ((key.ctrl && !key.alt && !key.shift && key.name == "V") ||
                 (key.shift && !key.ctrl && !key.alt && key.name == "Insert")) {
        // A one-line box takes the clipboard's first line.
        const std::string text = ClipboardText();
        Insert(*c, std::string_view(text).substr(0, text.find_first_of("\r\n")));
      } else if (plain && key.name == "Backspace") {
        Insert(*c, "\b");
      } else {
        Insert(*c, TypedCharacter(key));
      }
      break;
    case UnitKind::ComboBox: {
      const int last = static_cast<int>(c->items.size()) - 1;
      int to = c->selection;
      if (plain && key.name == "Up") to = std::max(0, c->selection - 1);
      if (plain && key.name == "Down") to = std::min(last, c->selection + 1);
      if (plain && key.name == "Home") to = 0;
      if (plain && key.name == "End") to = last;
      if (last < 0 || to == c->selection) break;
      c->selection = to;
      Raise(window, control, UiEvent::SelectionChanged);
      break;
    }
    default: break;
  }
  return true;
}

bool MemoryUi::Clear(std::string_view window, std::string_view control) {
  Control* c = Reachable(window, control, "clear");
  if (!c) return false;
  if (c->unit->kind != UnitKind::EditBox) {
    Problem("cannot clear " + Quoted(window, control) + ": not an edit box");
    return false;
  }
  if (c->unit->input != InputMode::ReadOnly) SetText(window, control, "");  // as the real driver does
  return true;
}

bool MemoryUi::Click(std::string_view window, std::string_view control) {
  if (!Reachable(window, control, "click")) return false;
  Raise(window, control, UiEvent::Clicked);
  return true;
}

bool MemoryUi::DoubleClick(std::string_view window, std::string_view control) {
  if (!Reachable(window, control, "double-click")) return false;
  Raise(window, control, UiEvent::DoubleClicked);
  return true;
}

bool MemoryUi::Press(std::string_view window, std::string_view control) {
  Control* c = Reachable(window, control, "press");
  if (!c) return false;
  Raise(window, control, UiEvent::LeftButtonDown, c->unit->width / 2, c->unit->height / 2);
  return true;
}

bool MemoryUi::Select(std::string_view window, std::string_view control, std::string_view itemText) {
  Control* c = Reachable(window, control, "select in");
  if (!c) return false;
  if (!HasItems(c->unit->kind)) {
    Problem("cannot select in " + Quoted(window, control) + ": not a list");
    return false;
  }
  auto it = std::find(c->items.begin(), c->items.end(), itemText);
  if (it == c->items.end()) {
    Problem("cannot select \"" + std::string(itemText) + "\" in " + Quoted(window, control) + ": no such item");
    return false;
  }
  c->selection = static_cast<int>(it - c->items.begin());
  Raise(window, control, UiEvent::SelectionChanged);
  return true;
}

bool MemoryUi::RightClick(std::string_view window, std::string_view control, std::string_view itemText) {
  Control* c = Reachable(window, control, "right-click");
  if (!c) return false;
  if (c->unit->kind != UnitKind::ListBox) {
    Raise(window, control, UiEvent::ContextMenu, c->unit->width / 2, c->unit->height / 2);
    return true;
  }
  int index = -1;
  if (!itemText.empty()) {
    auto it = std::find(c->items.begin(), c->items.end(), itemText);
    if (it == c->items.end()) {
      Problem("cannot right-click \"" + std::string(itemText) + "\" in " + Quoted(window, control) + ": no such item");
      return false;
    }
    index = static_cast<int>(it - c->items.begin());
  }
  c->selection = index;
  Raise(window, control, UiEvent::ContextMenu);
  return true;
}

bool MemoryUi::EndSession() {
  std::vector<std::string> open;
  for (const auto& [id, w] : windows_) open.push_back(id);
  bool refuse = false;
  for (const std::string& id : open) {
    if (!sink_ || !FindWindow(id)) continue;
    const UiEventSink sink = sink_;
    sink(UiEventArgs{id, "", UiEvent::SessionEnding, 0, 0, {}, &refuse});
    if (refuse) break;  // one refusal keeps the session; the other windows are not asked
  }
  return !refuse;
}

bool MemoryUi::Drop(std::string_view window, const std::vector<std::string>& paths) {
  const std::string where = "drop files on " + std::string(window);
  Window* w = FindWindow(window);
  if (!w || !w->visible || w->minimized) {
    Problem("cannot " + where + ": the window is not shown");
    return false;
  }
  if (!w->def->window.acceptsFiles) {
    Problem("cannot " + where + ": the window takes no files");
    return false;
  }
  if (paths.empty()) return true;
  Raise(window, "", UiEvent::FilesDropped, 0, 0, paths.front());
  return true;
}

// Handlers run inside the sink and may destroy the very window that raised the event:
// the names are copied first and nothing of the window is touched afterwards.
void MemoryUi::Raise(std::string_view window, std::string_view control, UiEvent event, int x, int y,
                     std::string_view text) {
  if (!sink_) return;
  const UiEventSink sink = sink_;  // a handler may replace the sink while it runs
  const std::string w(window), c(control), t(text);
  sink(UiEventArgs{w, c, event, x, y, t});
}

}  // namespace xl
