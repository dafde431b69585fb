// The controls of a loaded window: each unit of the window definition made a child window
// (standard controls for text and lists, painted controls for the rest), placed in its
// container, stacked and shown as its page allows.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "platform/codepage.h"
#include "ui/dpi.h"
#include "win32/edit_box.h"
#include "win32/live_window.h"
#include "win32/painted_controls.h"
#include "win32/shortcut_keys.h"
#include "win32/win32_ui.h"

namespace xl::win32 {
namespace {

constexpr int kComboDropHeight = 200;  // the drop-down list shows at least 160 design pixels

// Controls on the title bar are children of its picture box, so what they draw over (and
// what the toolkit's image buttons copy as their background) is the title-bar picture. All
// others are children of the window itself, which receives their notifications.
bool OnPictureBox(const LiveControl& c) {
  return c.container && c.container->unit->kind == UnitKind::PictureBox && c.container->hwnd;
}

// Where a control sits in its window's client area at the window's DPI: its design edges
// scaled, so controls that touch in the design still touch. A one-pixel line (the border)
// stays whole pixels, and one along the window's right or bottom edge stays on that edge.
RECT ScaledRect(const LiveControl& c, UINT dpi) {
  const Unit& u = *c.unit;
  RECT r{ui::Scaled(c.x, dpi), ui::Scaled(c.y, dpi), ui::Scaled(c.x + u.width, dpi), ui::Scaled(c.y + u.height, dpi)};
  if (u.kind != UnitKind::Splitter) return r;
  const Unit& window = c.window->def->window;
  const int line = ui::LineWidth(dpi);
  if (u.width == 1) {
    if (c.x + 1 >= window.width)
      r.left = r.right - line;
    else
      r.right = r.left + line;
  }
  if (u.height == 1) {
    if (c.y + 1 >= window.height)
      r.top = r.bottom - line;
    else
      r.bottom = r.top + line;
  }
  return r;
}

// The rectangle in the parent window's client area, and the height the window is given: a
// combo box's includes its drop-down list.
RECT ChildRect(const LiveControl& c) {
  RECT r = c.rect;
  if (OnPictureBox(c)) OffsetRect(&r, -c.container->rect.left, -c.container->rect.top);
  if (c.unit->kind == UnitKind::ComboBox) r.bottom += ui::Scaled(kComboDropHeight, c.window->dpi);
  return r;
}

HWND CreateChild(LiveWindow& w, LiveControl& c, DWORD exStyle, const wchar_t* cls, const std::wstring& text,
                 DWORD style) {
  HWND parent = OnPictureBox(c) ? c.container->hwnd : w.hwnd;
  const RECT r = ChildRect(c);
  return CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_CLIPSIBLINGS | style, r.left, r.top,
                         r.right - r.left, r.bottom - r.top, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + c.index)), GetModuleHandleW(nullptr), &c);
}

HWND CreateFor(LiveWindow& w, LiveControl& c) {
  const Unit& u = *c.unit;
  const std::wstring text = GbkToWideLossy(u.text);
  switch (u.kind) {
    case UnitKind::EditBox: {
      DWORD style = WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | (u.input == InputMode::ReadOnly ? ES_READONLY : 0);
      HWND h = CreateChild(w, c, 0, L"EDIT", text, style);
      if (h) {
        if (u.maxLength > 0) SendMessageW(h, EM_LIMITTEXT, u.maxLength, 0);
        SubclassEditBox(h, c);
      }
      return h;
    }
    case UnitKind::ListBox: {
      HWND h = CreateChild(w, c, 0, L"LISTBOX", L"",
                           WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS);
      if (h) SubclassForShortcuts(h);
      return h;
    }
    case UnitKind::ComboBox: {
      HWND h = CreateChild(w, c, 0, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS);
      if (h) {
        SendMessageW(h, CB_SETMINVISIBLE, 10, 0);
        SubclassForShortcuts(h);
      }
      return h;
    }
    case UnitKind::GroupBox: return CreateChild(w, c, 0, kPanelClass, text, 0);
    case UnitKind::Label: {
      // Labels keep to one line unless their text breaks its lines itself (the help text).
      const DWORD wrap = text.find(L'\n') != std::wstring::npos ? SS_LEFT : SS_LEFTNOWORDWRAP;
      return CreateChild(w, c, 0, L"STATIC", text, wrap | SS_NOPREFIX);
    }
    case UnitKind::PictureBox: return CreateChild(w, c, 0, kPictureClass, L"", 0);
    case UnitKind::TransparentLabel: c.text = text; return CreateChild(w, c, 0, kTitleLabelClass, L"", 0);
    case UnitKind::Button:
    case UnitKind::ImageButton: c.text = text; return CreateChild(w, c, 0, kButtonClass, L"", 0);
    case UnitKind::TabControl:
    case UnitKind::Splitter: return CreateChild(w, c, 0, kPanelClass, L"", 0);
    case UnitKind::Window:
    case UnitKind::Archive: break;  // nothing to show
  }
  return nullptr;
}

// The painted controls find their LiveControl from the creation parameter.
void Attach(HWND hwnd, LiveControl& c) {
  if (hwnd && c.unit->kind != UnitKind::EditBox) SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&c));
}

// Standard controls and the painted ones with text take the font of their unit at the
// window's DPI; the list box's items take their height from it.
bool HasFont(UnitKind k) { return k != UnitKind::Splitter && k != UnitKind::PictureBox && k != UnitKind::TabControl; }

// The smallest a label's font becomes to fit its text, against its design size.
constexpr int kSmallestLabelFont = 3;  // quarters

// A label's text in its font takes no more room than the label has: a line's letters fit its
// width (the blank right half of a closing "：" may stand over), text that breaks its lines
// (the help text) fits its height as the label wraps it.
bool TextFits(HDC dc, HFONT font, const std::wstring& text, const RECT& box) {
  HGDIOBJ old = SelectObject(dc, font);
  const bool lines = text.find(L'\n') != std::wstring::npos;
  RECT needed{0, 0, box.right - box.left, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
            DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | (lines ? DT_WORDBREAK : DT_SINGLELINE));
  ABC last{};
  const int blank = !lines && GetCharABCWidthsW(dc, text.back(), text.back(), &last) ? std::max(0, last.abcC) : 0;
  SelectObject(dc, old);
  return lines ? needed.bottom <= box.bottom - box.top : needed.right - blank <= box.right - box.left;
}

// A label's font: the largest, up to the unit's own size at the window's DPI, in which its
// whole text fits. Fonts differ from system to system, and a sentence cut off helps nobody.
HFONT LabelFont(const LiveControl& c) {
  HFONT font = c.Font();
  const int design = ui::Scaled(c.unit->fontHeight, c.window->dpi);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(c.hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(c.hwnd, text.data(), static_cast<int>(text.size()))));
  HDC dc = text.empty() ? nullptr : GetDC(c.hwnd);
  if (!dc) return font;
  for (int pixels = design; pixels * 4 >= design * kSmallestLabelFont; --pixels) {
    font = c.window->ui->Font(pixels);
    if (TextFits(dc, font, text, c.rect)) break;
  }
  ReleaseDC(c.hwnd, dc);
  return font;
}

}  // namespace

HFONT LiveControl::Font() const { return window->ui->Font(ui::Scaled(unit->fontHeight, window->dpi)); }

bool LiveControl::Shown() const {
  if (!unit->visible || unit->kind == UnitKind::Archive) return false;
  if (!container) return true;
  if (container->unit->kind == UnitKind::TabControl && container->page != unit->page) return false;
  return container->Shown();
}

LiveControl* LiveWindow::Find(std::string_view name) const {
  auto it = byName.find(name);
  return it == byName.end() ? nullptr : it->second;
}

LiveControl* LiveWindow::ClosingControl() const {
  for (const auto& c : controls)
    if (c->unit->closesWindow) return c.get();
  return nullptr;
}

const LiveControl* LiveWindow::Tabs() const {
  for (const auto& c : controls)
    if (c->unit->kind == UnitKind::TabControl) return c.get();
  return nullptr;
}

LiveControl* LiveWindow::FindHandle(HWND h) const {
  for (const auto& c : controls)
    if (c->hwnd == h) return c.get();
  return nullptr;
}

void RegisterWindowClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSEXW top{};
  top.cbSize = sizeof top;
  top.lpfnWndProc = TopWindowProc;
  top.hInstance = GetModuleHandleW(nullptr);
  top.hIcon = LoadIconW(top.hInstance, MAKEINTRESOURCEW(129));
  top.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  top.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  top.lpszClassName = kTopWindowClass;
  RegisterClassExW(&top);
  RegisterPaintedControlClasses();
}

void CreateControls(LiveWindow& w) {
  const auto& units = w.def->controls;
  for (size_t i = 0; i < units.size(); ++i) {
    auto c = std::make_unique<LiveControl>();
    c->window = &w;
    c->unit = &units[i];
    c->index = static_cast<int>(i);
    w.byName.emplace(units[i].name, c.get());
    w.controls.push_back(std::move(c));
  }
  // Positions are within the container; a tab page's area is the whole tab control.
  for (auto& c : w.controls) {
    c->container = c->unit->container.empty() ? nullptr : w.Find(c->unit->container);
    c->x = c->unit->left;
    c->y = c->unit->top;
    for (const LiveControl* holder = c->container; holder && c->depth < 16; holder = holder->container) {
      const Unit& hu = *holder->unit;
      c->x += hu.left;
      c->y += hu.top;
      ++c->depth;
      if (hu.container.empty()) break;
    }
    if (c->unit->kind == UnitKind::TabControl) c->page = std::max(c->unit->selection, 0);
    c->rect = ScaledRect(*c, w.dpi);
  }
  // Containers first, so the title bar's picture box exists before the controls on it.
  std::vector<LiveControl*> order;
  for (auto& c : w.controls) order.push_back(c.get());
  std::stable_sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->depth < b->depth; });
  for (LiveControl* c : order) {
    c->hwnd = CreateFor(w, *c);
    Attach(c->hwnd, *c);
    if (c->hwnd) SetControlFont(*c);
  }
  // Contents above their containers; among equals, later units above earlier ones.
  for (LiveControl* c : order)
    if (c->hwnd) SetWindowPos(c->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
  ApplyVisibility(w);
}

void PlaceControls(LiveWindow& w) {
  for (auto& c : w.controls) c->rect = ScaledRect(*c, w.dpi);
  for (auto& c : w.controls) {
    if (!c->hwnd) continue;
    SetControlFont(*c);
    const RECT r = ChildRect(*c);
    SetWindowPos(c->hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  }
}

void SetControlFont(LiveControl& c) {
  if (!c.hwnd || !HasFont(c.unit->kind)) return;
  HFONT font = c.unit->kind == UnitKind::Label ? LabelFont(c) : c.Font();
  SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void ApplyVisibility(LiveWindow& w) {
  for (auto& c : w.controls)
    if (c->hwnd) ::ShowWindow(c->hwnd, c->Shown() ? SW_SHOWNA : SW_HIDE);
}

void InvalidateContents(LiveWindow& w, const LiveControl& container) {
  for (auto& c : w.controls)
    if (c->container == &container && c->hwnd) InvalidateRect(c->hwnd, nullptr, FALSE);
}

}  // namespace xl::win32
