#pragma once
// The title-bar buttons of the start and modify windows (close, minimise, icon), made image
// buttons by the toolkit with the program's own pictures and tooltips (the icon's names the
// program and its version).
#include <array>

#include "ui/gdi.h"
#include "ui/png_button.h"
#include "win32/win32_ui.h"

namespace xl {

struct TitleBarButtons {
  // 0, 1: the start window's close and icon; 2, 3, 4: the modify window's close, minimise
  // and icon. Each is taken again for the new button whenever its window is loaded.
  std::array<ui::PngButton, 5> buttons;
  // Decoded on first use; shared by both windows and kept until the program ends.
  ui::Image closeNormal, closeHover, closePressed, minimizeNormal, minimizeHover, icon;
};

// Created handlers' extras: they need the window's real buttons, so the program's start-up
// calls them after it has set the title-bar picture.
void MakeStartTitleButtons(win32::Win32Ui& ui, TitleBarButtons& title);
void MakeModifyTitleButtons(win32::Win32Ui& ui, TitleBarButtons& title);

}  // namespace xl
