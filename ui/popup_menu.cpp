#include "ui/popup_menu.h"

#include <algorithm>

#include "ui/dpi.h"
#include "ui/dui_label.h"
#include "ui/dui_menu_item.h"
#include "ui/ui_start.h"

namespace xl::ui {
namespace {

constexpr wchar_t kMenuTitle[] = L"Ex_DirectUI_Menu";
constexpr int kMenuWindowKind = 1;
constexpr int kLayerAlpha = 240;

std::function<void(HWND)>& ShownHook() {
  static std::function<void(HWND)> hook;
  return hook;
}

// The open levels of every session, to find a level from its window.
std::vector<MenuLevel*>& LiveLevels() {
  static std::vector<MenuLevel*> levels;
  return levels;
}

template <class T>
T* Prop(HWND window, const wchar_t* name) {
  return static_cast<T*>(GetPropW(window, name));
}

MenuRect ToMenuRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// Work area of the monitor nearest to a point of the screen.
MenuRect WorkAreaAt(POINT pt) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST), &info)) return ToMenuRect(info.rcWork);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return ToMenuRect(work);
}

// Rounded rectangle of arc size d: four quarter arcs of a d x d box, closed.
void AddRoundedRect(Gdiplus::GpPath* path, float x, float y, float w, float h, float d) {
  gp::GdipAddPathArc(path, x, y, d, d, 180, 90);
  gp::GdipAddPathArc(path, x + w - d - 1, y, d, d, 270, 90);
  gp::GdipAddPathArc(path, x + w - d - 1, y + h - d - 1, d, d, 0, 90);
  gp::GdipAddPathArc(path, x, y + h - d - 1, d, d, 90, 90);
  gp::GdipClosePathFigure(path);
}

void RoundedRect(GpGraphics* g, float x, float y, float w, float h, float d, ARGB fill, ARGB outline) {
  Gdiplus::GpPath* path = nullptr;
  if (gp::GdipCreatePath(Gdiplus::FillModeAlternate, &path) != Gdiplus::Ok) return;
  AddRoundedRect(path, x, y, w, h, d);
  if (fill) {
    GpSolidFill* brush = nullptr;
    if (gp::GdipCreateSolidFill(fill, &brush) == Gdiplus::Ok) {
      gp::GdipFillPath(g, brush, path);
      gp::GdipDeleteBrush(brush);
    }
  }
  if (outline) {
    Gdiplus::GpPen* pen = nullptr;
    if (gp::GdipCreatePen1(outline, 1.0f, Gdiplus::UnitPixel, &pen) == Gdiplus::Ok) {
      gp::GdipDrawPath(g, pen, path);
      gp::GdipDeletePen(pen);
    }
  }
  gp::GdipDeletePath(path);
}

}  // namespace

void PaintMenuPanel(GpGraphics* g, int width, int height, UINT dpi) {
  auto px = [dpi](float design) { return Scaled(design, dpi); };
  gp::GdipGraphicsClear(g, 0x00FFFFFF);
  float x = px(6), y = px(6), w = static_cast<float>(width) - px(12), h = static_cast<float>(height) - px(12);
  RoundedRect(g, x, y, w, h, px(4), 0xEAFFFFFF, 0x7D000000);
  // The shadow: three ever fainter outlines, each a pixel further out and rounder.
  const ARGB shadow[] = {0x23000000, 0x0F000000, 0x05000000};
  const float step = px(1);
  for (int i = 0; i < 3; ++i) {
    x -= step, y -= step, w += 2 * step, h += 2 * step;
    RoundedRect(g, x, y, w, h, px(7.0f + 3.0f * i), 0, shadow[i]);
  }
  RoundedRect(g, px(8), px(8), px(24), static_cast<float>(height) - px(16), px(3), 0xFED1E4EC, 0xFED1E4EC);
}

int MenuTextWidth(std::string_view text, UINT dpi) {
  WindowDC screen(nullptr);
  GpGraphics* raw = nullptr;
  if (!screen.get() || gp::GdipCreateFromHDC(screen.get(), &raw) != Gdiplus::Ok) return 0;
  Graphics g(raw);
  PrepareGraphics(raw);
  return static_cast<int>(std::ceil(MeasureText(raw, text, UiFont(dpi)).Width));
}

// ---- MenuLevel ----

MenuLevel::MenuLevel(MenuSession& session, MenuLevel* parent, const DuiMenu& menu)
    : session_(session), parent_(parent), menu_(menu) {}

MenuLevel::~MenuLevel() {
  if (IsWindow(window_)) DestroyWindow(window_);
  std::erase(LiveLevels(), this);
}

MenuLevel* MenuLevel::FromWindow(HWND window) {
  if (!window) return nullptr;
  for (MenuLevel* level : LiveLevels())
    if (level->window_ == window) return level;
  return nullptr;
}

bool MenuLevel::Create(HWND parentWindow, MenuPlacement placement, MenuSize size) {
  flipped_ = placement.flipped;
  window_ =
      CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kHostWindowClass, kMenuTitle, WS_POPUP, placement.x,
                      placement.y, size.width, size.height, parentWindow, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window_) return false;
  LiveLevels().push_back(this);
  if (parentWindow) {
    for (WPARAM kind : {ICON_SMALL, ICON_BIG})
      if (LRESULT icon = SendMessageW(parentWindow, WM_GETICON, kind, 0)) SendMessageW(window_, WM_SETICON, kind, icon);
  }

  SetPropW(window_, kPropFlags, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(kMenuWindowKind)));
  SetPropW(window_, kPropHost, parent_ ? GetPropW(parentWindow, kPropHost) : window_);
  if (parent_) SetPropW(parentWindow, kPropSub, window_);

  HostOptions options;
  options.backgroundColour = 0xFFFFFF;
  options.styleFlags = 0u;
  options.layerAlpha = kLayerAlpha;
  options.frameStyle = 1;
  options.animations = false;
  options.resizable = false;
  options.captionDrag = false;
  host_.SetCustomPaint([this](HWND, GpGraphics* g, int w, int h) { PaintMenuPanel(g, w, h, host_.Dpi()); });
  host_.SetMessageHook([this](HWND w, UINT m, WPARAM wp, LPARAM lp) { return Hook(w, m, wp, lp); });
  if (!host_.Attach(window_, options)) return false;

  const std::vector<MenuRect> rects = MenuItemRects(size.width, menu_.Kinds(), static_cast<int>(host_.Dpi()));
  for (size_t i = 0; i < rects.size(); ++i) {
    const MenuRect& r = rects[i];
    ElementOptions eo;
    eo.rect = RectF(static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.Width()),
                    static_cast<float>(r.Height()));
    DuiMenuItem* item = host_.Add<DuiMenuItem>(eo, *this, menu_.Items()[i]);
    if (menu_.Items()[i].Disabled()) item->SetEnabled(false);
    items_.push_back(item);
  }
  host_.Compose();
  return true;
}

void MenuLevel::Show() {
  if (!parent_) {
    host_.Show(0);
  } else {
    // A sub-menu unrolls from its parent's side and rolls back towards it when it closes.
    host_.SetCloseEffect(flipped_ ? 3 : 4);
    host_.Show(flipped_ ? 4 : 3, 100);
  }
  if (IsWindow(window_)) SetForegroundWindow(window_);
}

HWND MenuLevel::SubWindow() const {
  HWND sub = window_ ? Prop<HWND__>(window_, kPropSub) : nullptr;
  return IsWindow(sub) ? sub : nullptr;
}

DuiMenuItem* MenuLevel::ActiveItem() const {
  auto* item = window_ ? Prop<DuiMenuItem>(window_, kPropAct) : nullptr;
  return std::find(items_.begin(), items_.end(), item) != items_.end() ? item : nullptr;
}

void MenuLevel::SetActiveItem(DuiMenuItem* item) {
  if (!IsWindow(window_)) return;
  if (item)
    SetPropW(window_, kPropAct, item);
  else
    RemovePropW(window_, kPropAct);
}

void MenuLevel::CloseSubMenu() {
  HWND sub = SubWindow();
  if (IsWindow(window_)) RemovePropW(window_, kPropSub);
  if (sub) PostMessageW(sub, WM_CLOSE, 0, 0);
}

HWND MenuLevel::OpenSubMenu(const DuiMenu& menu, DuiMenuItem* anchor) {
  if (!IsWindow(window_) || !anchor || session_.Closing()) return nullptr;
  RECT parentRect;
  GetWindowRect(window_, &parentRect);
  RectF r = anchor->Rect();
  MenuRect itemRect{static_cast<int>(r.X), static_cast<int>(r.Y), static_cast<int>(r.X + r.Width),
                    static_cast<int>(r.Y + r.Height)};
  // A sub-menu is drawn at its parent's DPI: both sit on the parent's monitor.
  const UINT dpi = host_.Dpi();
  MenuSize size =
      menu.Measure([dpi](std::string_view text) { return MenuTextWidth(text, dpi); }, static_cast<int>(dpi));
  POINT centre{(parentRect.left + parentRect.right) / 2, (parentRect.top + parentRect.bottom) / 2};
  MenuPlacement placement =
      PlaceSubMenu(ToMenuRect(parentRect), itemRect, size, WorkAreaAt(centre), static_cast<int>(dpi));

  MenuLevel* level = session_.Adopt(std::make_unique<MenuLevel>(session_, this, menu));
  if (!level->Create(window_, placement, size)) return nullptr;
  SetActiveItem(anchor);
  HWND sub = level->Window();
  level->Show();
  return IsWindow(sub) ? sub : nullptr;
}

bool MenuLevel::IsBelow(HWND window) const {
  for (MenuLevel* level = FromWindow(window); level; level = level->parent_)
    if (level->parent_ == this) return true;
  return false;
}

void MenuLevel::Choose(const MenuItem& item) {
  // Every level disappears before the choice is carried out.
  for (MenuLevel* level = this; level; level = level->parent_)
    if (IsWindow(level->window_)) ShowWindow(level->window_, SW_HIDE);
  session_.SetChosen(item);
  session_.SetClosing();
  if (IsWindow(session_.Owner())) SetForegroundWindow(session_.Owner());
  if (HWND root = session_.Root()) PostMessageW(root, WM_CLOSE, 0, 0);
}

LRESULT MenuLevel::Hook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kMenuOpenSubMenu: {
      DuiElement* element = host_.FindElement(wParam);
      auto* item = std::find(items_.begin(), items_.end(), element) != items_.end() ? static_cast<DuiMenuItem*>(element)
                                                                                    : nullptr;
      if (item && item->Item().subMenu && !SubWindow()) OpenSubMenu(*item->Item().subMenu, item);
      return 0;
    }
    case WM_CLOSE:
      if (!parent_) {
        session_.SetClosing();
      } else if (!session_.Closing() && GetActiveWindow() == window && IsWindow(parent_->window_)) {
        // Escape on a sub-menu: its parent takes the keyboard back, so the menu as a whole
        // does not lose the activation and close.
        SetForegroundWindow(parent_->window_);
      }
      break;
    case WM_DESTROY: Destroyed(); break;
    default: break;
  }
  return WindowKindFilter(window, message, wParam, lParam);
}

void MenuLevel::Destroyed() {
  if (!parent_ || !IsWindow(parent_->window_)) return;
  if (Prop<HWND__>(parent_->window_, kPropSub) == window_) RemovePropW(parent_->window_, kPropSub);
  if (DuiMenuItem* item = parent_->ActiveItem()) {
    parent_->SetActiveItem(nullptr);
    if (parent_->focusItem_ == item) parent_->focusItem_ = nullptr;
    item->RequestRepaint();
  }
}

// ---- MenuSession ----

MenuSession::~MenuSession() {
  closing_ = true;
  // Sub-menus go with their owner; destroy from the innermost out all the same.
  for (auto it = levels_.rbegin(); it != levels_.rend(); ++it)
    if (IsWindow((*it)->Window())) DestroyWindow((*it)->Window());
}

HWND MenuSession::Root() const {
  if (levels_.empty()) return nullptr;
  HWND root = levels_.front()->Window();
  return IsWindow(root) ? root : nullptr;
}

MenuLevel* MenuSession::Adopt(std::unique_ptr<MenuLevel> level) {
  levels_.push_back(std::move(level));
  return levels_.back().get();
}

HWND MenuSession::Open(const DuiMenu& menu, int x, int y) {
  if (!levels_.empty()) return nullptr;
  POINT cursor{x, y};
  if (x == 0 && y == 0) GetCursorPos(&cursor);
  // Laid out at the DPI of the monitor it opens on.
  const UINT dpi = DpiAt(cursor);
  MenuSize size =
      menu.Measure([dpi](std::string_view text) { return MenuTextWidth(text, dpi); }, static_cast<int>(dpi));
  MenuPlacement placement = PlaceRootMenu(cursor.x, cursor.y, size, WorkAreaAt(cursor), static_cast<int>(dpi));
  MenuLevel* root = Adopt(std::make_unique<MenuLevel>(*this, nullptr, menu));
  if (!root->Create(owner_, placement, size)) return nullptr;

  // The owner's element under the cursor gets the focus and rides along with a command:
  // the element the user right-clicked, wherever the menu itself was asked to open.
  if (DuiHost* ownerHost = DuiHost::FromWindow(owner_)) {
    POINT at{};
    GetCursorPos(&at);
    ScreenToClient(owner_, &at);
    if (DuiElement* element = ownerHost->HitTest(static_cast<float>(at.x), static_cast<float>(at.y))) {
      eventElement_ = element->Id();
      SetPropW(root->Window(), kPropEvent, reinterpret_cast<HANDLE>(eventElement_));
      SendMessageW(owner_, kHostGrantFocus, eventElement_, 0);
    }
  }
  root->Show();
  return Root();
}

void MenuSession::Run() {
  MSG message;
  while (HWND root = Root()) {
    (void)root;
    BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));  // the program's own loop ends too
      break;
    }
    if (got < 0) break;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  closing_ = true;
  for (auto it = levels_.rbegin(); it != levels_.rend(); ++it)
    if (IsWindow((*it)->Window())) DestroyWindow((*it)->Window());
  CarryOut();
}

void MenuSession::CarryOut() {
  if (!chosen_) return;
  MenuItem item = std::move(*chosen_);
  chosen_.reset();
  if (item.commandMode) {
    if (IsWindow(owner_)) SendMessageW(owner_, WM_COMMAND, item.commandId, static_cast<LPARAM>(eventElement_));
  } else if (item.handler) {
    item.handler();
  }
}

// ---- DuiMenu ----

void DuiMenu::Popup(HWND owner, int x, int y) const {
  MenuSession session(owner);
  HWND root = session.Open(*this, x, y);
  if (!root) return;
  if (ShownHook()) ShownHook()(root);
  session.Run();
}

void SetMenuShownHook(std::function<void(HWND)> hook) { ShownHook() = std::move(hook); }

HWND DuiMenu::PopupSub(HWND parentMenu) const {
  MenuLevel* parent = MenuLevel::FromWindow(parentMenu);
  if (!parent) return nullptr;
  return parent->OpenSubMenu(*this, parent->ActiveItem());
}

}  // namespace xl::ui
