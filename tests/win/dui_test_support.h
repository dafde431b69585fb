#pragma once
// Shared by the Windows tests: message pumps, a hosted test window and an element kind that
// records what it receives.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/dui_host.h"
#include "ui/ui_start.h"

namespace xl::ui::testing {

// Runs everything posted to this thread so far.
inline void Pump() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

// Runs messages for `ms` milliseconds of real time: input sent through the system's queue,
// paints, and hover and menu timers need it.
inline void PumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    Pump();
    Sleep(5);
  } while (GetTickCount() - start < ms);
}

inline LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// A plain coloured element that logs its messages and counts its paints.
class Probe : public DuiElement {
 public:
  Probe(DuiHost& host, ElementOptions options, ARGB colour = 0xFF2080C0)
      : DuiElement(host, WithFade(options)), colour_(colour) {}
  static ElementOptions WithFade(ElementOptions o) {
    o.fadeInterval = 10;
    return o;
  }
  std::vector<UINT> log;
  int paints = 0;
  bool Received(UINT code) const { return std::count(log.begin(), log.end(), code) > 0; }
  int Count(UINT code) const { return static_cast<int>(std::count(log.begin(), log.end(), code)); }
  void Paint(GpGraphics* g) override {
    ++paints;
    DuiElement::Paint(g);
  }
  void ChangeTo(int startAlpha) { ChangeVisual(startAlpha); }

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    log.push_back(message);
    return DuiElement::OnMessage(message, wParam, lParam);
  }
  void Render(GpGraphics* g, float width, float height) override {
    GpSolidFill* brush = nullptr;
    gp::GdipCreateSolidFill(colour_, &brush);
    gp::GdipFillRectangle(g, brush, 0, 0, width, height);
    gp::GdipDeleteBrush(brush);
  }

 private:
  ARGB colour_;
};

inline ElementOptions Box(float x, float y, float w, float h, bool focusable = false, DuiElement* parent = nullptr) {
  ElementOptions o;
  o.rect = RectF(x, y, w, h);
  o.focusable = focusable;
  o.parent = parent;
  return o;
}

// A visible "Ex_DirectUI" window of the given size; destroyed with the fixture.
class HostWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    StartSkinnedUi();
    StartPictureLoader();
  }
  void TearDown() override {
    if (IsWindow(window)) DestroyWindow(window);
    Pump();
  }
  HWND MakeWindow(int w, int h, DWORD style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                  const wchar_t* title = L"test") {
    window = CreateWindowExW(0, kHostWindowClass, title, style, 100, 100, w, h, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    return window;
  }
  // Attaches `host` with no caption buttons and no window drag unless told otherwise.
  DuiHost& Attach(int w, int h, HostOptions options = PlainOptions()) {
    MakeWindow(w, h);
    EXPECT_TRUE(host.Attach(window, options));
    ShowWindow(window, SW_SHOWNORMAL);
    Pump();
    return host;
  }
  static HostOptions PlainOptions() {
    HostOptions o;
    o.styleFlags = 0u;
    o.captionDrag = false;
    o.resizable = false;
    return o;
  }
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(window, message, wParam, lParam);
  }

  HWND window = nullptr;
  DuiHost host;
};

}  // namespace xl::ui::testing
