// Image buttons and tooltips on real windows: the mouse is moved and clicked through the
// system's input queue and every answer is read back from the pixels on the screen.
#include "tests/win/dui_test_support.h"
#include "ui/png_button.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resources.h"
#include "ui/tooltip.h"
#include "ui/ui_start.h"

namespace xl::ui {
namespace {

using testing::PumpFor;

constexpr COLORREF kWhite = RGB(255, 255, 255);
// Opaque state colours (ARGB for the pictures, COLORREF for the screen).
struct Colour {
  ARGB argb;
  COLORREF screen;
};
constexpr Colour kRed{0xFFFF0000, RGB(255, 0, 0)};
constexpr Colour kGreen{0xFF00FF00, RGB(0, 255, 0)};
constexpr Colour kBlue{0xFF0000FF, RGB(0, 0, 255)};
constexpr Colour kGrey{0xFF808080, RGB(128, 128, 128)};
constexpr ARGB kClear = 0x00000000;

void MouseButton(DWORD flag) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flag;
  SendInput(1, &in, sizeof in);
  PumpFor(120);
}

// A picture of one colour, with an optional opaque square of another colour in its middle.
Image SolidImage(int w, int h, ARGB colour, ARGB centre = 0, int centreSize = 0) {
  GpBitmap* bmp = nullptr;
  gp::GdipCreateBitmapFromScan0(w, h, 0, PixelFormat32bppARGB, nullptr, &bmp);
  GpGraphics* g = nullptr;
  gp::GdipGetImageGraphicsContext(bmp, &g);
  gp::GdipGraphicsClear(g, colour);
  if (centreSize > 0) {
    GpSolidFill* brush = nullptr;
    gp::GdipCreateSolidFill(centre, &brush);
    gp::GdipFillRectangleI(g, brush, (w - centreSize) / 2, (h - centreSize) / 2, centreSize, centreSize);
    gp::GdipDeleteBrush(brush);
  }
  gp::GdipDeleteGraphics(g);
  return Image(bmp);
}

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd, msg, wp, lp); }

// A white top-level window, shared by the tests (showing a new window costs Wine seconds),
// with one image button of 40 x 40 at (20, 20) a test.
class PngButtonTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    StartSkinnedUi();
    StartPictureLoader();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"PngButtonTestParent";
    RegisterClassExW(&wc);
    parent = CreateWindowExW(0, L"PngButtonTestParent", L"", WS_POPUP | WS_VISIBLE, kLeft, kTop, 200, 120, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  static void TearDownTestSuite() { DestroyWindow(parent); }

  void SetUp() override {
    ASSERT_TRUE(parent);
    SetCursorPos(kLeft + 150, kTop + 100);  // over the parent, away from the button
    PumpFor(120);
  }
  void TearDown() override {
    if (IsWindow(button.Handle())) DestroyWindow(button.Handle());
    PumpFor(30);
  }

  HWND MakeButton(const StateImages& images, int placement = kPlacementNatural) {
    HWND h = button.Create(parent, 20, 20, 40, 40, "");
    button.SetImages(images);
    button.SetPlacement(placement);
    button.Invalidate();
    PumpFor(120);
    return h;
  }

  // What the screen shows at (x, y) of the button.
  COLORREF At(int x, int y) const {
    HDC dc = GetDC(button.Handle());
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(button.Handle(), dc);
    return c;
  }
  COLORREF Centre() const { return At(20, 20); }

  void MoveOnto(int x = 20, int y = 20) {
    SetCursorPos(kLeft + 20 + x, kTop + 20 + y);
    PumpFor(120);
  }
  // Leaving is noticed by the system's mouse tracking, which may take a few hundred ms.
  void MoveAway() {
    SetCursorPos(kLeft + 150, kTop + 100);
    PumpFor(600);
  }

  static constexpr int kLeft = 100, kTop = 100;
  static inline HWND parent = nullptr;
  PngButton button;
  Image normal = SolidImage(40, 40, kRed.argb), hover = SolidImage(40, 40, kGreen.argb),
        pressed = SolidImage(40, 40, kBlue.argb), disabled = SolidImage(40, 40, kGrey.argb);
};

TEST_F(PngButtonTest, HoverIsDrawnOnceAndLeavingIsWatched) {
  MakeButton({normal.get(), hover.get(), pressed.get()});
  EXPECT_EQ(Centre(), kRed.screen);
  MoveOnto();
  EXPECT_EQ(Centre(), kGreen.screen);
  EXPECT_EQ(DrawStateOf(button.Handle()), ButtonState::Hover);
  TRACKMOUSEEVENT query{sizeof query, TME_QUERY, nullptr, 0};
  ASSERT_TRUE(TrackMouseEvent(&query));
  EXPECT_TRUE(query.dwFlags & TME_LEAVE);
  EXPECT_EQ(query.hwndTrack, button.Handle());

  // Paint a mark over the button: further moves on it must not draw it again.
  {
    HDC dc = GetDC(button.Handle());
    RECT r{0, 0, 40, 40};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(button.Handle(), dc);
  }
  MoveOnto(10, 10);
  MoveOnto(30, 25);
  EXPECT_EQ(Centre(), RGB(0, 0, 0));

  MoveAway();
  EXPECT_EQ(Centre(), kRed.screen);
  EXPECT_EQ(DrawStateOf(button.Handle()), ButtonState::Normal);
}

LRESULT CALLBACK CountClicks(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR clicks) {
  if (m == WM_COMMAND && HIWORD(w) == BN_CLICKED) ++*reinterpret_cast<int*>(clicks);
  return DefSubclassProc(h, m, w, l);
}

TEST_F(PngButtonTest, PressAndRelease) {
  int clicks = 0;
  MakeButton({normal.get(), hover.get(), pressed.get()});
  SetWindowSubclass(parent, CountClicks, 1, reinterpret_cast<DWORD_PTR>(&clicks));

  MoveOnto();
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  EXPECT_EQ(Centre(), kBlue.screen);
  MouseButton(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(Centre(), kGreen.screen) << "a release after a press shows the hover picture";
  EXPECT_EQ(clicks, 1) << "the parent still hears the click";

  // Pressed outside, released on the button: no press of its own, so the normal picture.
  MoveAway();
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  MoveOnto();
  MouseButton(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(Centre(), kRed.screen);
  EXPECT_EQ(clicks, 1);
  RemoveWindowSubclass(parent, CountClicks, 1);
}

TEST_F(PngButtonTest, StatesWithoutTheirOwnPictureShowTheNormalOne) {
  MakeButton({normal.get()});
  MoveOnto();
  EXPECT_EQ(DrawStateOf(button.Handle()), ButtonState::Hover);
  EXPECT_EQ(Centre(), kRed.screen);
  MoveAway();

  EnableWindow(button.Handle(), FALSE);
  PumpFor(120);
  EXPECT_EQ(DrawStateOf(button.Handle()), ButtonState::Disabled);
  EXPECT_EQ(Centre(), kRed.screen);

  button.SetImages({nullptr, nullptr, nullptr, disabled.get()});
  EnableWindow(button.Handle(), TRUE);
  PumpFor(120);
  EXPECT_EQ(Centre(), kRed.screen);
  EnableWindow(button.Handle(), FALSE);
  PumpFor(120);
  EXPECT_EQ(Centre(), kGrey.screen);
  EnableWindow(button.Handle(), TRUE);
  PumpFor(120);
  EXPECT_EQ(Centre(), kRed.screen);
}

// A picture with transparent parts lets the parent show through; the previous state's
// picture must never show through it.
TEST_F(PngButtonTest, TransparentPartsShowTheParentOnly) {
  Image dot = SolidImage(40, 40, kClear, kRed.argb, 10);
  MakeButton({dot.get(), hover.get()});
  EXPECT_EQ(At(2, 2), kWhite);
  EXPECT_EQ(Centre(), kRed.screen);
  MoveOnto();
  EXPECT_EQ(At(2, 2), kGreen.screen);
  MoveAway();
  EXPECT_EQ(At(2, 2), kWhite);
  EXPECT_EQ(Centre(), kRed.screen);
}

TEST_F(PngButtonTest, Placements) {
  struct Case {
    const char* what;
    int placement;
    int iw, ih;
    std::vector<POINT> inside, outside;  // button pixels showing the picture, and not
  };
  const Case cases[] = {
      {"natural size at the corner", kPlacementNatural, 20, 10, {{1, 1}, {18, 8}}, {{21, 2}, {2, 12}, {30, 30}}},
      {"stretched", kPlacementStretch, 20, 10, {{1, 1}, {38, 38}, {20, 20}}, {}},
      {"fit: smaller is centred at natural size",
       kPlacementFit,
       20,
       10,
       {{11, 16}, {28, 23}},
       {{9, 20}, {30, 20}, {20, 14}, {20, 25}}},
      {"fit: wider is scaled to the width", kPlacementFit, 80, 20, {{1, 17}, {38, 22}}, {{20, 13}, {20, 26}}},
      {"fit: taller is scaled to the height", kPlacementFit, 10, 80, {{18, 1}, {21, 38}}, {{16, 20}, {23, 20}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Image picture = SolidImage(c.iw, c.ih, kBlue.argb);
    HWND h = MakeButton({picture.get()}, c.placement);
    for (POINT p : c.inside) EXPECT_EQ(At(p.x, p.y), kBlue.screen) << p.x << "," << p.y;
    for (POINT p : c.outside) EXPECT_EQ(At(p.x, p.y), kWhite) << p.x << "," << p.y;
    DestroyWindow(h);
    PumpFor(30);
  }
}

TEST_F(PngButtonTest, MoveToKeepsWhatIsNotGiven) {
  EXPECT_FALSE(button.MakeImageButton(nullptr));
  MakeButton({normal.get()});
  auto placement = [&] {
    RECT r{};
    GetWindowRect(button.Handle(), &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  button.MoveTo(std::nullopt, std::nullopt, 70, std::nullopt);
  RECT r = placement();
  EXPECT_EQ(r.left, 20);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right - r.left, 70);
  EXPECT_EQ(r.bottom - r.top, 40);
  button.MoveTo(5, std::nullopt, std::nullopt, std::nullopt);
  r = placement();
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right - r.left, 70);
}

TEST_F(PngButtonTest, PicturesFromBytes) {
  MakeButton({});
  button.SetImagesFromData({Resource("pictures/close_normal.png"), Resource("pictures/close_hover.png")});
  button.Invalidate();
  PumpFor(120);
  EXPECT_EQ(At(2, 2), kWhite);  // the close picture's corners are transparent
  MoveOnto();
  EXPECT_EQ(At(2, 2), RGB(229, 72, 77));
  MoveAway();
  EXPECT_EQ(At(2, 2), kWhite);

  // Bytes that are no picture leave that state without one: it shows the normal picture.
  button.SetImages({normal.get()});
  button.SetImagesFromData({.hover = "not a picture"});
  MoveOnto();
  EXPECT_EQ(Centre(), kRed.screen);
}

int ToolCount() { return static_cast<int>(SendMessageW(SharedTooltipWindow(), TTM_GETTOOLCOUNT, 0, 0)); }

TOOLINFOW ToolOf(HWND window, wchar_t* text) {
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = window;
  tool.lpszText = text;
  return tool;
}

TEST_F(PngButtonTest, TooltipIsOneToolAWindow) {
  MakeButton({normal.get()});
  button.SetTooltip("\xB9\xD8\xB1\xD5");  // 关闭
  ASSERT_TRUE(SharedTooltipWindow());
  int tools = ToolCount();
  button.SetTooltip("\xD7\xEE\xD0\xA1\xBB\xAF");  // 最小化
  EXPECT_EQ(ToolCount(), tools);
  wchar_t text[80] = {};
  TOOLINFOW tool = ToolOf(button.Handle(), text);
  SendMessageW(SharedTooltipWindow(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(std::wstring(text), L"\u6700\u5C0F\u5316");

  // The tool keeps the client area the window had when it was added.
  button.MoveTo(std::nullopt, std::nullopt, 90, 50);
  button.SetTooltip("x");
  tool = ToolOf(button.Handle(), nullptr);
  ASSERT_TRUE(SendMessageW(SharedTooltipWindow(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
  EXPECT_EQ(tool.rect.right, 40);
  EXPECT_EQ(tool.rect.bottom, 40);

  // A destroyed window takes its tool with it.
  DestroyWindow(button.Handle());
  EXPECT_EQ(ToolCount(), tools - 1);
}

}  // namespace
}  // namespace xl::ui
