#pragma once
// DuiMenuItem: one item of a skinned popup menu level (normal, separator or sub-menu item).
// It highlights under the mouse, opens its sub-menu after the mouse has rested on it for
// half a second (or at once when clicked), and reports a chosen normal item to its level.
#include "ui/dui_element.h"
#include "ui/dui_menu.h"
#include "ui/picture_loader.h"

namespace xl::ui {

class MenuLevel;

class DuiMenuItem : public DuiElement {
 public:
  // Milliseconds the mouse rests on an item before its sub-menu opens, and between the
  // attempts to switch to it while the cursor is still on its way out of another one.
  static constexpr UINT kHoverDelay = 500;
  static constexpr UINT kSwitchRetry = 300;

  DuiMenuItem(DuiHost& host, const ElementOptions& options, MenuLevel& level, const MenuItem& item);

  const MenuItem& Item() const { return item_; }
  bool Highlighted() const;
  // Runs the sub-menu switch now, as a click does.
  void OpenSubMenuNow() { SubMenuSwitch(true); }

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Render(GpGraphics* g, float width, float height) override;

 private:
  void Entered();
  void Clicked();
  void SubMenuSwitch(bool now);

  MenuLevel& level_;
  MenuItem item_;
  Picture icon_;
  bool hovered_ = false;
};

}  // namespace xl::ui
