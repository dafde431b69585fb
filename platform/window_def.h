#pragma once
// Windows and their controls as data. A window definition is the window unit followed by
// its controls; both back ends of the Ui interface build their windows from these records,
// so the real program and the native tests see the same controls with the same content.
// All texts are GBK.
#include <string>
#include <string_view>
#include <vector>

namespace xl {

enum class UnitKind {
  Window,
  EditBox,           // 编辑框
  PictureBox,        // 图片框
  GroupBox,          // 分组框
  Label,             // 标签
  Button,            // 按钮 (made an image button by the window's created handler)
  ComboBox,          // 组合框: drop-down list, no typing, no sorting
  ListBox,           // 列表框: no sorting, one selected item at most
  TabControl,        // 选择夹
  TransparentLabel,  // 透明标签: drawn without background over the title bar
  ImageButton,       // 超级按钮: normal and hover pictures, no caption
  Splitter,          // 分隔条: the one-pixel window border
  Archive,           // ZIP压缩: non-visual
};

enum class InputMode { Free, ReadOnly, Digits };  // Digits: digits and minus only
enum class CursorKind { Default, Hand };
// How a picture box shows its picture: Plain draws it at natural size from the top-left
// corner, Stretch scales it to the box, Fit scales it to the largest size that fits the box
// with its proportions kept, centred.
enum class PictureMode { Plain, Stretch, Fit };

struct Unit {
  UnitKind kind = UnitKind::Label;
  std::string name;       // unique within the window; empty for the window unit
  int left = 0, top = 0;  // within the container's client area
  int width = 0, height = 0;
  // Empty: the window itself; else the name of the group box, picture box or tab control
  // holding the unit. Containers nest (a group box on a tab page holds edit boxes).
  std::string container;
  int page = -1;  // the tab page when the container is a tab control
  bool visible = true;
  CursorKind cursor = CursorKind::Default;
  std::string text;                // caption, label text (may hold CR LF), window caption
  std::vector<std::string> items;  // combo box items in designed order; tab page captions
  // Design-time current selection of list and combo boxes; the current page of a tab control.
  int selection = -1;
  InputMode input = InputMode::Free;
  int maxLength = 0;         // 0 = none
  std::string picture;       // resource name of the picture (picture box, image button normal)
  std::string hoverPicture;  // resource name of the image button's hover picture
  PictureMode pictureMode = PictureMode::Plain;
  int fontHeight = 12;  // pixels; the list box uses 14
  // A page selector: the page of the window's tab control that a press on it makes current.
  // The real windows show the selector of the current page at full strength, the others faded.
  int selectsPage = -1;
  // The window unit: files may be dropped on the window (it raises FilesDropped).
  bool acceptsFiles = false;
  // The window's own close (Alt+F4, the taskbar's, the system menu's) clicks this control,
  // so every road to closing goes through the one handler bound to it.
  bool closesWindow = false;
};

struct WindowDef {
  std::string id;  // "start", "modify", "host": how handlers and scenarios name the window
  Unit window;     // kind Window: caption in text, design position and size
  std::vector<Unit> controls;

  const Unit* Find(std::string_view name) const {
    for (const Unit& u : controls)
      if (u.name == name) return &u;
    return nullptr;
  }
};

}  // namespace xl
