// Composing a 700 x 400 skinned window with 50 elements, against filling the same surface
// once (the least a full repaint can cost), and redrawing one element's rectangle.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "ui/dui_button.h"
#include "ui/dui_host.h"
#include "ui/dui_label.h"
#include "ui/ui_start.h"

namespace {

using namespace xl::ui;
using Clock = std::chrono::steady_clock;

// Median time of one call, in microseconds, over `rounds` rounds of `calls` calls.
template <class F>
double MedianMicros(F&& work, int rounds = 15, int calls = 20) {
  std::vector<double> times;
  for (int r = 0; r < rounds; ++r) {
    auto t0 = Clock::now();
    for (int i = 0; i < calls; ++i) work();
    times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / calls);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void Pump() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
}

}  // namespace

int main() {
  StartSkinnedUi();
  StartPictureLoader();
  HWND window = CreateWindowExW(0, kHostWindowClass, L"bench", WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 700, 400,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  DuiHost host;
  HostOptions options;
  options.backgroundColour = 0xB07830;
  if (!host.Attach(window, options)) return 1;
  std::vector<DuiElement*> elements;
  for (int i = 0; i < 50; ++i) {
    ElementOptions o;
    o.rect = RectF(static_cast<float>(20 + (i % 8) * 84), static_cast<float>(40 + (i / 8) * 50), 76, 26);
    if (i % 2)
      elements.push_back(host.Add<DuiButton>(o, "按钮"));
    else
      elements.push_back(host.Add<DuiLabel>(o, "标签文字"));
  }
  host.Compose();
  Pump();
  const Surface& buffer = host.BackBuffer();

  double fill = MedianMicros([&] { buffer.Clear(0xFF3078B0); });
  double compose = MedianMicros([&] { host.Compose(); });
  double redraw = MedianMicros([&] {
    elements[9]->RequestRedraw();
    Pump();
  });
  std::printf("fill 700x400          %9.1f us\n", fill);
  std::printf("compose 50 elements   %9.1f us\n", compose);
  std::printf("redraw one element    %9.1f us\n", redraw);
  // A full compose draws the background, the border and 50 cached element bitmaps.
  std::printf("ratio  Compose/50 elements vs Fill/700x400 = %.2fx (goal <= 10x)  %s\n", compose / fill,
              compose / fill <= 10 ? "ok" : "SLOW");
  std::printf("ratio  Redraw/one element vs Compose/50 elements = %.2fx (goal <= 0.5x)  %s\n", redraw / compose,
              redraw / compose <= 0.5 ? "ok" : "SLOW");
  DestroyWindow(window);
  StopSkinnedUi();
  return 0;
}
