#pragma once
// The showing of a DuiMenu: every level is a small topmost "Ex_DirectUI" window with a
// layered DuiHost and one DuiMenuItem per item. A MenuSession owns all levels of one
// showing; DuiMenu::Popup opens a session and runs its message loop until the menu closes.
//
// Window properties of every level (read by the host's window-kind filter): "Ex_Wnd_Flags"
// = 1, "Ex_DirectUI_Host" = the root level's window, "Ex_DirectUI_Sub" = this level's open
// sub-menu window, "Ex_DirectUI_Act" = the item whose sub-menu that is; the root also keeps
// "Ex_DirectUI_Event", the id of the owner's element that was under the cursor.
#include <memory>
#include <optional>
#include <vector>

#include "ui/dui_host.h"
#include "ui/dui_menu.h"

namespace xl::ui {

class DuiMenuItem;
class MenuSession;

// Posted to a level's own window to open the sub-menu of the item in wParam (element id).
// Opening plays an effect that lets messages run, which must not happen in the middle of
// the item's own message handling.
inline constexpr UINT kMenuOpenSubMenu = WM_APP + 0x4D0;

class MenuLevel {
 public:
  MenuLevel(MenuSession& session, MenuLevel* parent, const DuiMenu& menu);
  ~MenuLevel();
  MenuLevel(const MenuLevel&) = delete;
  MenuLevel& operator=(const MenuLevel&) = delete;

  // Creates the window at `placement` with its host and items; false when Windows refuses.
  bool Create(HWND parentWindow, MenuPlacement placement, MenuSize size);
  // Shows the level: a root at once, a sub-menu with a strip effect from its parent's side.
  void Show();

  static MenuLevel* FromWindow(HWND window);
  HWND Window() const { return window_; }
  MenuLevel* Parent() const { return parent_; }
  MenuSession& Session() const { return session_; }
  DuiHost& Host() { return host_; }
  const std::vector<DuiMenuItem*>& Items() const { return items_; }
  bool Flipped() const { return flipped_; }

  // The open sub-menu of this level and the item it belongs to.
  HWND SubWindow() const;
  DuiMenuItem* ActiveItem() const;
  void SetActiveItem(DuiMenuItem* item);
  // Closes the open sub-menu (if any) and forgets it.
  void CloseSubMenu();
  // Opens `menu` as this level's sub-menu beside `anchor`; returns its window.
  HWND OpenSubMenu(const DuiMenu& menu, DuiMenuItem* anchor);
  // True when `window` is a level below this one (its sub-menu, or a sub-menu of that).
  bool IsBelow(HWND window) const;

  // The item holding the menu's focus: the one whose sub-menu is open; it stays highlighted
  // while the mouse is elsewhere, until another item of the level is entered.
  DuiMenuItem* FocusItem() const { return focusItem_; }
  void SetFocusItem(DuiMenuItem* item) { focusItem_ = item; }

  // An enabled normal item was chosen.
  void Choose(const MenuItem& item);

 private:
  LRESULT Hook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Destroyed();

  MenuSession& session_;
  MenuLevel* parent_;
  DuiMenu menu_;  // a copy: the definition may change while the menu is open
  HWND window_ = nullptr;
  DuiHost host_;
  std::vector<DuiMenuItem*> items_;
  DuiMenuItem* focusItem_ = nullptr;
  bool flipped_ = false;
};

class MenuSession {
 public:
  explicit MenuSession(HWND owner) : owner_(owner) {}
  ~MenuSession();  // closes whatever is still open
  MenuSession(const MenuSession&) = delete;
  MenuSession& operator=(const MenuSession&) = delete;

  // Shows `menu` as the root level at (x, y), or at the cursor when both are 0. Null when
  // the window could not be made.
  HWND Open(const DuiMenu& menu, int x, int y);
  // Runs messages until the root level has closed, then carries out the chosen item: the
  // owner gets WM_COMMAND (command mode) or the item's handler runs, with every menu
  // window already gone.
  void Run();

  HWND Owner() const { return owner_; }
  HWND Root() const;
  bool Closing() const { return closing_; }
  void SetClosing() { closing_ = true; }
  void SetChosen(const MenuItem& item) { chosen_ = item; }
  // Every level made so far, the root first (closed sub-menus included).
  const std::vector<std::unique_ptr<MenuLevel>>& Levels() const { return levels_; }
  MenuLevel* Adopt(std::unique_ptr<MenuLevel> level);

 private:
  void CarryOut();

  HWND owner_;
  std::vector<std::unique_ptr<MenuLevel>> levels_;
  std::optional<MenuItem> chosen_;
  UINT_PTR eventElement_ = 0;
  bool closing_ = false;
};

// Paints a level's panel into its back buffer: a translucent white rounded rectangle with
// a four-step soft shadow and the pale icon column.
void PaintMenuPanel(GpGraphics* g, int width, int height, UINT dpi = 96);

// Width of GBK text in the toolkit's UI font at `dpi`, in pixels.
int MenuTextWidth(std::string_view text, UINT dpi = 96);

}  // namespace xl::ui
