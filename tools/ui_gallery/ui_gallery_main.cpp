// Shows one of the toolkit's windows so it can be looked at or photographed:
//   ui_gallery host [SECONDS]      a hosted window with caption, caption buttons and elements
//   ui_gallery notice [SECONDS]    the program's notice ("修改成功")
//   ui_gallery reason [SECONDS]    a failure notice with a long reason (a read-only save)
//   ui_gallery yesno [SECONDS]     a question box with button set 3
// The window closes by itself after SECONDS (default 30).
#include <string>

#include "ui/dui_button.h"
#include "ui/dui_host.h"
#include "ui/dui_label.h"
#include "ui/message_box.h"
#include "ui/ui_start.h"

namespace {

using namespace xl::ui;

ElementOptions At(float x, float y, float w, float h) {
  ElementOptions o;
  o.rect = RectF(x, y, w, h);
  return o;
}

int ShowHost(UINT seconds) {
  HWND window = CreateWindowExW(0, kHostWindowClass, L"\u661F\u5F8B\u7EAA\u5143\u4EE3\u7801\u4FEE\u6539\u5668",
                                WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME, 120, 120, 420,
                                260, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  static DuiHost host;
  HostOptions options;
  options.backgroundColour = 0xB07830;  // a calm blue
  if (!host.Attach(window, options)) return 1;
  host.SetCustomPaint([](HWND, GpGraphics* g, int w, int h) {
    GpSolidFill* panel = nullptr;
    gp::GdipCreateSolidFill(0xE8FFFFFF, &panel);
    gp::GdipFillRectangleI(g, panel, 8, 34, w - 16, h - 42);
    gp::GdipDeleteBrush(panel);
  });
  host.Add<DuiLabel>(At(24, 50, 360, 40),
                     "选择游戏目录后，双击录像文件即可开始修改。\r\n改动只在点击“保存”后写入文件。");
  auto* ok = host.Add<DuiButton>(At(314, 206, 80, 26), "保存(&S)");
  host.Add<DuiButton>(At(224, 206, 80, 26), "取消");
  auto* off = host.Add<DuiButton>(At(134, 206, 80, 26), "不可用");
  off->SetEnabled(false);
  auto* tip = host.Add<DuiButton>(At(24, 110, 120, 30), "提示在这里");
  tip->SetTooltip("把鼠标停在按钮上会显示提示");
  host.SetFocus(ok);
  host.SetOnClick([](HWND w, DuiElement*, WPARAM, LPARAM, int) { PostMessageW(w, WM_CLOSE, 0, 0); });
  host.Show();
  SetTimer(window, 0x7777, seconds * 1000, [](HWND w, UINT, UINT_PTR, DWORD) { DestroyWindow(w); });
  MSG m;
  while (IsWindow(window) && GetMessageW(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return 0;
}

// Closes each box after the given time.
void CloseBoxesAfter(UINT seconds) {
  static UINT delay = seconds * 1000;
  SetMessageBoxShownHook([](HWND box) {
    SetTimer(box, 0x7777, delay, [](HWND w, UINT, UINT_PTR id, DWORD) {
      KillTimer(w, id);
      PostMessageW(w, WM_CLOSE, 0, 0);
    });
  });
}

}  // namespace

int main(int argc, char** argv) {
  StartSkinnedUi();
  StartPictureLoader();
  std::string what = argc > 1 ? argv[1] : "host";
  UINT seconds = argc > 2 ? static_cast<UINT>(std::stoul(argv[2])) : 30;
  int rc = 0;
  if (what == "host") {
    rc = ShowHost(seconds);
  } else if (what == "notice") {
    CloseBoxesAfter(seconds);
    ShowNotice("修改成功", nullptr, "温馨提示");
  } else if (what == "reason") {
    CloseBoxesAfter(seconds);
    ShowNotice(
        "保存失败：无法写入 "
        "D:\\游戏\\星律纪元\\record\\2024\\双人舞.rcd：文件是只读的；请在文件的“属性”中取消“只读”后再试",
        nullptr, "温馨提示");
  } else if (what == "yesno") {
    CloseBoxesAfter(seconds);
    MessageBoxOptions o;
    o.buttonSet = 3;
    o.style = kStyleQuestion;
    o.title = "温馨提示";
    rc = SkinnedMessageBox(nullptr, "录像已经改动，要先保存吗？\r\n不保存的话，改动会丢失。", o);
  } else {
    rc = 2;
  }
  StopSkinnedUi();
  return rc;
}
