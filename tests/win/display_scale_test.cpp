// The program at the display's scale: every window, control, font and skinned box is its
// design size times the DPI over 96. The tests hold at any DPI; scripts/test runs them at 96
// and again in the Wine prefix whose display is at 144 DPI (150 %).
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <stdexcept>
#include <string>

#include "app/window_defs.h"
#include "platform/codepage.h"
#include "ui/dpi.h"
#include "ui/dui_button.h"
#include "ui/dui_host.h"
#include "ui/dui_label.h"
#include "ui/host_window.h"
#include "ui/message_box.h"
#include "ui/ui_start.h"
#include "win32/win32_ui.h"

namespace xl {
namespace {

const WindowDef& Definition(std::string_view id) {
  static const std::vector<WindowDef> windows = ProgramWindows();
  for (const WindowDef& w : windows)
    if (w.id == id) return w;
  throw std::logic_error("no window " + std::string(id));
}

// Where a unit's design rectangle starts in its window: containers add their own positions.
POINT DesignOrigin(const WindowDef& def, const Unit& unit) {
  POINT at{unit.left, unit.top};
  for (const Unit* holder = def.Find(unit.container); holder; holder = def.Find(holder->container)) {
    at.x += holder->left;
    at.y += holder->top;
  }
  return at;
}

RECT InWindow(HWND control, HWND window) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string Readable(const std::string& gbk) {
  std::wstring wide = GbkToWideLossy(gbk);
  std::string utf8(wide.size() * 3, '\0');
  utf8.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                                      utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr)));
  return utf8;
}

int FontPixels(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return std::abs(font.lfHeight);
}

// How far right and down the letters of `text` reach, drawn as a label `width` pixels wide
// draws it (breaking lines only when the text has line breaks), in the label's font, on a
// canvas with room to spare.
SIZE InkExtent(HWND label, const std::wstring& text, const RECT& box) {
  const bool lines = text.find(L'\n') != std::wstring::npos;
  const int width = box.right, w = 2 * box.right + 100, h = 2 * box.bottom + 100;
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP canvas = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ oldBitmap = SelectObject(dc, canvas);
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  RECT all{0, 0, w, h};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  RECT r{0, 0, lines ? width : w, h};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_NOPREFIX | DT_EXPANDTABS | (lines ? DT_WORDBREAK : DT_SINGLELINE));
  GdiFlush();
  SIZE reach{0, 0};
  const auto* pixels = static_cast<const uint32_t*>(bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if ((pixels[y * w + x] & 0xFFFFFF) != 0xFFFFFF) {
        reach.cx = std::max<LONG>(reach.cx, x + 1);
        reach.cy = std::max<LONG>(reach.cy, y + 1);
      }
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(canvas);
  DeleteDC(dc);
  return reach;
}

class DisplayScaleTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ui::StartSkinnedUi();
    ui::StartPictureLoader();
  }
  void TearDown() override { ui::SetMessageBoxShownHook(nullptr); }

  win32::Win32Ui ui{ProgramWindows()};
};

// Every control of the start and the modify window stands where the design puts it, scaled:
// each edge within a pixel of its design edge times DPI / 96; the one-pixel border lines stay
// whole pixels. At 144 DPI the start window is 600 x 375.
TEST_F(DisplayScaleTest, EveryWindowAndControlIsItsDesignScaled) {
  for (const char* id : {"start", "modify"}) {
    ui.LoadWindow(id, true);
    HWND window = ui.WindowHandle(id);
    ASSERT_NE(window, nullptr);
    const UINT dpi = ui::DpiOf(window);
    const double scale = dpi / 96.0;
    const WindowDef& def = Definition(id);
    RECT frame{};
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.right - frame.left, ui::Scaled(def.window.width, dpi)) << id;
    EXPECT_EQ(frame.bottom - frame.top, ui::Scaled(def.window.height, dpi)) << id;
    if (dpi == 144 && def.id == "start") {
      EXPECT_EQ(frame.right - frame.left, 600);
      EXPECT_EQ(frame.bottom - frame.top, 375);
    }
    for (const Unit& u : def.controls) {
      HWND control = ui.ControlHandle(id, u.name);
      if (!control) continue;  // the archive component has no window
      const RECT r = InWindow(control, window);
      const POINT o = DesignOrigin(def, u);
      const std::string name = std::string(id) + " " + Readable(u.name);
      auto within = [](LONG got, double want) { return std::abs(got - want) <= 1.0; };
      EXPECT_TRUE(within(r.left, o.x * scale)) << name << " left " << r.left;
      EXPECT_TRUE(within(r.top, o.y * scale)) << name << " top " << r.top;
      if (u.kind == UnitKind::Splitter) {
        EXPECT_EQ(std::min(r.right - r.left, r.bottom - r.top), ui::LineWidth(dpi)) << name;
        continue;
      }
      EXPECT_TRUE(within(r.right, (o.x + u.width) * scale)) << name << " right " << r.right;
      // A combo box's height is its selection field's, which follows its font.
      if (u.kind != UnitKind::ComboBox) {
        EXPECT_TRUE(within(r.bottom, (o.y + u.height) * scale)) << name;
      }
    }
  }
}

// Texts are drawn in fonts of the scaled size, the list's items as tall, and no label's text
// is cut off: each fits its label in the font the label was given (the help text of the
// costume page in a smaller one if it must).
TEST_F(DisplayScaleTest, FontsAreScaledAndNoLabelCutsItsText) {
  for (const char* id : {"start", "modify"}) {
    ui.LoadWindow(id, true);
    const UINT dpi = ui::DpiOf(ui.WindowHandle(id));
    for (const Unit& u : Definition(id).controls) {
      HWND control = ui.ControlHandle(id, u.name);
      const std::string name = std::string(id) + " " + Readable(u.name);
      const int design = ui::Scaled(u.fontHeight, dpi);
      if (u.kind == UnitKind::EditBox || u.kind == UnitKind::ComboBox || u.kind == UnitKind::ListBox) {
        EXPECT_EQ(FontPixels(control), design) << name;
      }
      if (u.kind == UnitKind::ListBox) {
        EXPECT_GE(SendMessageW(control, LB_GETITEMHEIGHT, 0, 0), design) << name;
      }
      if (u.kind != UnitKind::Label || u.text.empty()) continue;
      EXPECT_LE(FontPixels(control), design) << name;
      EXPECT_GE(FontPixels(control) * 4, design * 3) << name;
      RECT box{};
      GetClientRect(control, &box);
      const SIZE ink = InkExtent(control, GbkToWideLossy(u.text), box);
      EXPECT_LE(ink.cx, box.right) << name << " is cut off at the right";
      EXPECT_LE(ink.cy, box.bottom) << name << " is cut off at the bottom";
    }
  }
}

// A window moved to a monitor of another DPI takes that scale: the size the system suggests,
// every control scaled anew, fonts to match; a skinned window's elements likewise.
TEST_F(DisplayScaleTest, AWindowTakesTheScaleOfTheMonitorItMovesTo) {
  ui.LoadWindow("start", true);
  HWND window = ui.WindowHandle("start");
  const UINT to = ui::DpiOf(window) == 192 ? 96 : 192;
  RECT suggested{20, 30, 20 + ui::Scaled(400, to), 30 + ui::Scaled(250, to)};
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
  RECT frame{};
  GetWindowRect(window, &frame);
  EXPECT_EQ(frame.left, suggested.left);
  EXPECT_EQ(frame.right - frame.left, ui::Scaled(400, to));
  HWND list = ui.ControlHandle("start", "列表框_文件列表");
  const RECT r = InWindow(list, window);
  EXPECT_EQ(r.left, ui::Scaled(13, to));
  EXPECT_EQ(r.bottom, ui::Scaled(41 + 154, to));
  EXPECT_EQ(FontPixels(list), ui::Scaled(14, to));

  HWND skinned = ui::CreateHostWindow(nullptr, ui::HostWindowOptions{});
  ASSERT_NE(skinned, nullptr);
  {
    ui::DuiHost host;
    ASSERT_TRUE(host.Attach(skinned));
    ui::ElementOptions eo;
    eo.rect = ui::RectF(host.Pixels(10), host.Pixels(40), host.Pixels(70), host.Pixels(24));
    ui::DuiButton* button = host.Add<ui::DuiButton>(eo, "确认");
    RECT at{0, 0, ui::Scaled(380, to), ui::Scaled(250, to)};
    SendMessageW(skinned, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&at));
    EXPECT_EQ(host.Dpi(), to);
    EXPECT_EQ(host.Width(), ui::Scaled(380, to));
    EXPECT_NEAR(button->Rect().X, ui::Scaled(10.0f, to), 0.01);
    EXPECT_NEAR(button->Rect().Width, ui::Scaled(70.0f, to), 0.01);
    EXPECT_EQ(host.TextFont(), ui::UiFont(to));
  }
  DestroyWindow(skinned);
}

// Rows of `pixels` (premultiplied ARGB, `stride` pixels a row) inside `area` that hold ink:
// a pixel darker than the row's background, read at the area's right edge, where no text is.
int InkHeight(const uint32_t* pixels, int stride, RECT area) {
  auto brightness = [](uint32_t p) { return static_cast<int>((p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF)); };
  int first = -1, last = -1;
  for (int y = area.top; y < area.bottom; ++y) {
    const int background = brightness(pixels[y * stride + area.right - 1]);
    for (int x = area.left; x < area.right - 1; ++x)
      if (brightness(pixels[y * stride + x]) < background - 150) {
        if (first < 0) first = y;
        last = y;
        break;
      }
  }
  return first < 0 ? 0 : last - first + 1;
}

// A notice's text at the display's DPI: its letters stand that much taller than the same text
// in the font of a 96-DPI display.
TEST_F(DisplayScaleTest, ANoticeTextIsDrawnAtTheDisplayScale) {
  const std::string text = "修改成功";
  int boxInk = 0;
  UINT dpi = 0;
  ui::SetMessageBoxShownHook([&](HWND box) {
    ui::DuiHost* host = ui::DuiHost::FromWindow(box);
    ASSERT_NE(host, nullptr);
    dpi = host->Dpi();
    for (ui::DuiElement* e : host->Elements()) {
      if (e->Role() != ui::DuiLabel::kRole || e == host->Caption()) continue;
      const ui::RectF r = e->Rect();
      const ui::Surface& buffer = host->BackBuffer();
      const RECT area{static_cast<LONG>(r.X), static_cast<LONG>(r.Y),
                      static_cast<LONG>(std::min<float>(r.X + r.Width, static_cast<float>(buffer.width()))),
                      static_cast<LONG>(std::min<float>(r.Y + r.Height, static_cast<float>(buffer.height())))};
      boxInk = InkHeight(buffer.pixels(), buffer.width(), area);
    }
    PostMessageW(box, WM_CLOSE, 0, 0);
  });
  ui::ShowNotice(text, nullptr, "温馨提示");
  ASSERT_GT(dpi, 0u) << "no notice was shown";

  ui::Surface design;
  ui::WindowDC screen(nullptr);
  ASSERT_TRUE(design.Create(screen.get(), 200, 60));
  design.Clear(0xFFFFFFFF);
  ui::DrawText(design.graphics(), text, ui::RectF(0, 0, 200, 60), ui::kDefaultTextColour, ui::UiFont(96), false, false);
  ui::gp::GdipFlush(design.graphics(), Gdiplus::FlushIntentionSync);
  const int designInk = InkHeight(design.pixels(), design.width(), RECT{0, 0, 200, 60});
  ASSERT_GT(designInk, 0);
  EXPECT_GE(boxInk * 96.0, designInk * 0.9 * dpi)
      << "ink " << boxInk << " at " << dpi << " DPI, " << designInk << " at 96";
  EXPECT_LE(boxInk * 96.0, designInk * 1.2 * dpi);
}

}  // namespace
}  // namespace xl
