#include "app/title_buttons.h"

#include "platform/picture.h"
#include "resources/resources.h"
#include "resources/version.h"
#include "ui/picture_loader.h"

namespace xl {
namespace {

constexpr char kCloseTip[] = "关闭";
constexpr char kMinimizeTip[] = "最小化";
// The program icon names the program and its version, as its properties do.
constexpr char kIconTip[] = "星律纪元代码修改器 " XL_VERSION_TEXT;

// Decoded by the program's own decoder, as the windows' other pictures are: GDI+'s decoders
// would hold the start window's first showing back by tens of milliseconds under Wine.
void LoadOnce(ui::Image& image, const char* resource) {
  if (image) return;
  if (Result<Picture> picture = DecodePicture(Resource(resource))) image.reset(ui::ImageFromPixels(*picture));
}

void LoadPictures(TitleBarButtons& t) {
  LoadOnce(t.closeNormal, "pictures/close_normal.png");
  LoadOnce(t.closeHover, "pictures/close_hover.png");
  LoadOnce(t.closePressed, "pictures/close_pressed.png");
  LoadOnce(t.minimizeNormal, "pictures/minimize_normal.png");
  LoadOnce(t.minimizeHover, "pictures/minimize_hover.png");
  LoadOnce(t.icon, "pictures/icon.png");
}

// Makes the window's button an image button with the given pictures; a window without that
// button keeps its plain one.
void Make(ui::PngButton& button, HWND hwnd, const ui::StateImages& images, const char* tooltip = nullptr) {
  if (!button.MakeImageButton(hwnd)) return;
  button.SetImages(images);
  button.Invalidate();
  if (tooltip) button.SetTooltip(tooltip);
}

}  // namespace

void MakeStartTitleButtons(win32::Win32Ui& ui, TitleBarButtons& t) {
  LoadPictures(t);
  Make(t.buttons[0], ui.ControlHandle("start", "按钮_关闭"),
       {t.closeNormal.get(), t.closeHover.get(), t.closePressed.get()}, kCloseTip);
  Make(t.buttons[1], ui.ControlHandle("start", "按钮_图标"), {t.icon.get(), t.icon.get(), t.icon.get()}, kIconTip);
}

void MakeModifyTitleButtons(win32::Win32Ui& ui, TitleBarButtons& t) {
  LoadPictures(t);
  Make(t.buttons[2], ui.ControlHandle("modify", "按钮_关闭"),
       {t.closeNormal.get(), t.closeHover.get(), t.closePressed.get()}, kCloseTip);
  Make(t.buttons[3], ui.ControlHandle("modify", "按钮_最小化"),
       {t.minimizeNormal.get(), t.minimizeHover.get(), t.minimizeNormal.get()}, kMinimizeTip);
  Make(t.buttons[4], ui.ControlHandle("modify", "按钮_图标"), {t.icon.get(), t.icon.get(), t.icon.get()}, kIconTip);
}

}  // namespace xl
