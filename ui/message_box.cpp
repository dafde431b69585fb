#include "ui/message_box.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "resources/resources.h"
#include "ui/dpi.h"
#include "ui/dui_button.h"
#include "ui/dui_host.h"
#include "ui/dui_label.h"
#include "ui/fonts.h"
#include "ui/host_window.h"
#include "ui/input_hold.h"
#include "ui/picture_loader.h"
#include "ui/ui_start.h"

namespace xl::ui {
namespace {

// Button sets: texts and codes, button 1 (the rightmost) first.
struct ButtonSet {
  std::vector<std::string> texts;
  std::vector<int> codes;
};
const ButtonSet& ButtonSetOf(int set) {
  static const ButtonSet kSets[] = {
      {{"确认"}, {kResultOk}},
      {{"取消", "确认"}, {kResultCancel, kResultOk}},
      {{"忽略", "重试", "放弃"}, {kResultIgnore, kResultRetry, kResultAbort}},
      {{"取消", "否(&N)", "是(&Y)"}, {kResultCancel, kResultNo, kResultYes}},
      {{"否(&N)", "是(&Y)"}, {kResultNo, kResultYes}},
      {{"取消", "重试"}, {kResultCancel, kResultRetry}},
  };
  return kSets[std::clamp(set, 0, 5)];
}

constexpr float kBoxWidth = 320, kBoxHeight = 150;
constexpr float kButtonWidth = 70, kButtonHeight = 24;
constexpr long kBoxColour = 0xFF8800;  // 0x00BBGGRR: a clear blue
constexpr int kBoxLayerAlpha = 210;
constexpr int kMessageBoxKind = 3;

// Every length of the box's layout is in design pixels; at `dpi` it is this many pixels.
float Px(float design, UINT dpi) { return Scaled(design, dpi); }

RectF ButtonRect(float boxWidth, float boxHeight, int n, UINT dpi) {
  return RectF(boxWidth - Px(75.0f * static_cast<float>(n) + 10.0f, dpi), boxHeight - Px(36, dpi),
               Px(kButtonWidth, dpi), Px(kButtonHeight, dpi));
}

// Column of the badge for a style; unlisted styles take the first badge.
float IconColumn(INT_PTR style) {
  switch (style) {
    case kStyleExclamation: return 40;
    case kStyleQuestion: return 80;
    case kStyleAsterisk: return 120;
    case kStyleUser: return 160;
    default: return 0;
  }
}

// A box while it is up. Buttons find their box's result through the slot number in their
// tag text, looked up here: a tag can never name memory that is not a running box.
struct RunningBox {
  int slot = 0;
  int result = kResultCancel;
  HWND window = nullptr;
  DuiHost* host = nullptr;
  DuiLabel* label = nullptr;
  std::vector<DuiButton*> buttons;
  Picture strip, icons;
};
std::vector<RunningBox*>& Running() {
  static std::vector<RunningBox*> boxes;
  return boxes;
}
RunningBox* BoxOfSlot(long long slot) {
  for (RunningBox* b : Running())
    if (b->slot == slot) return b;
  return nullptr;
}
RunningBox* BoxOfWindow(HWND window) {
  for (RunningBox* b : Running())
    if (b->window == window) return b;
  return nullptr;
}
std::function<void(HWND)>& ShownHook() {
  static std::function<void(HWND)> hook;
  return hook;
}

// "a|b|c" split at "|".
std::vector<std::string_view> SplitBar(std::string_view s) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t bar; (bar = s.find('|', start)) != std::string_view::npos; start = bar + 1)
    parts.push_back(s.substr(start, bar - start));
  parts.push_back(s.substr(start));
  return parts;
}
std::optional<long long> Number(std::string_view s) {
  long long v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

// One source column of the strip, stretched over `dest`; a negative source height takes
// the rows above `sourceY`, mirrored.
void DrawSlice(GpGraphics* g, GpImage* strip, RectF dest, float sourceY, float sourceHeight) {
  if (dest.Width <= 0 || dest.Height <= 0) return;
  Gdiplus::PointF points[3];
  if (sourceHeight >= 0) {
    points[0] = {dest.X, dest.Y};
    points[1] = {dest.X + dest.Width, dest.Y};
    points[2] = {dest.X, dest.Y + dest.Height};
  } else {
    sourceY += sourceHeight;
    sourceHeight = -sourceHeight;
    points[0] = {dest.X, dest.Y + dest.Height};
    points[1] = {dest.X + dest.Width, dest.Y + dest.Height};
    points[2] = {dest.X, dest.Y};
  }
  gp::GdipDrawImagePointsRect(g, strip, points, 3, 0, sourceY, 1, sourceHeight, Gdiplus::UnitPixel, nullptr, nullptr,
                              nullptr);
}

void PaintBox(HWND window, GpGraphics* g, int width, int height) {
  RunningBox* box = BoxOfWindow(window);
  if (!box || !box->host) return;
  const UINT dpi = box->host->Dpi();
  auto px = [dpi](float design) { return Px(design, dpi); };
  float w = static_cast<float>(width), h = static_cast<float>(height);
  if (box->strip) {
    // One-pixel columns stretched: sample them exactly, without blending in the outside.
    // The strip's rows are design pixels, stretched to the DPI with them.
    gp::GdipSetInterpolationMode(g, Gdiplus::InterpolationModeNearestNeighbor);
    gp::GdipSetPixelOffsetMode(g, Gdiplus::PixelOffsetModeHalf);
    // The middle goes first, a pixel taller at both ends: sampled to another height than its
    // own, its edge rows could otherwise stay empty between the slices.
    DrawSlice(g, box->strip.get(), RectF(px(7), px(103) - 1, w - px(14), h - px(145) + 2), 97, -21);
    DrawSlice(g, box->strip.get(), RectF(px(7), px(7), w - px(14), px(96)), 0, 96);
    DrawSlice(g, box->strip.get(), RectF(px(7), h - px(42), w - px(14), px(35)), 129, 31);
    gp::GdipSetInterpolationMode(g, Gdiplus::InterpolationModeDefault);
    gp::GdipSetPixelOffsetMode(g, Gdiplus::PixelOffsetModeDefault);
  }
  auto kind = reinterpret_cast<INT_PTR>(GetPropW(window, kPropFlags));
  auto style = reinterpret_cast<INT_PTR>(GetPropW(window, kPropMsgBox));
  if (kind == kMessageBoxKind && style != 0 && box->icons)
    DrawSheetPart(g, box->icons.get(), RectF(px(30), px(40), px(40), px(40)), RectF(IconColumn(style), 0, 40, 40), 255);
}

// Keeps the buttons at the bottom right when the box changes size.
void PlaceButtons(HWND window, int width, int height) {
  DuiHost* host = DuiHost::FromWindow(window);
  if (!host) return;
  for (DuiElement* e : host->Elements()) {
    if (e->Role() != DuiButton::kRole) continue;
    auto fields = SplitBar(e->Tag());
    auto n = fields.size() == 3 ? Number(fields[2]) : std::nullopt;
    if (n)
      e->Move(ButtonRect(static_cast<float>(width), static_cast<float>(height), static_cast<int>(*n), host->Dpi()));
  }
}

// A click on a button stores its code in its box's result and closes the box.
void ClickButton(HWND window, DuiElement* element, WPARAM, LPARAM, int role) {
  if (role != DuiButton::kRole) return;
  auto fields = SplitBar(element->Tag());
  if (fields.size() == 3) {
    auto slot = Number(fields[0]);
    auto code = Number(fields[1]);
    if (RunningBox* box = slot ? BoxOfSlot(*slot) : nullptr; box && code && box->window == window)
      box->result = static_cast<int>(*code);
  }
  PostMessageW(window, WM_CLOSE, 0, 0);
}

HostOptions SkinOptions(HWND owner, const MessageBoxOptions& o, unsigned styleFlags) {
  HostOptions h;
  h.styleFlags = styleFlags;
  h.resizable = false;
  if (o.customSkin.value_or(false)) {
    if (o.skinImage) h.backgroundImage = *o.skinImage;
    h.layerAlpha = o.layerAlpha.value_or(-1);
    h.storedOption = o.storedOption.value_or(0);
    h.frameStyle = o.frameStyle.value_or(7);
    if (o.blurBehind) h.blurBehind = *o.blurBehind;
    if (o.marginRect) h.margins = *o.marginRect;
    return h;
  }
  if (DuiHost* ownerHost = owner ? DuiHost::FromWindow(owner) : nullptr) {
    // The owner is itself skinned: look like it.
    h.layerAlpha = ownerHost->LayerAlpha();
    h.storedOption = ownerHost->StoredOption();
    h.frameStyle = ownerHost->FrameStyle();
    h.animations = ownerHost->Animations();
    h.blurBehind = ownerHost->BlurBehind();
    h.margins = ownerHost->Margins();
    h.captionDrag = true;
    h.skinSource = owner;
    return h;
  }
  h.backgroundColour = kBoxColour;
  h.layerAlpha = kBoxLayerAlpha;
  return h;
}

// Runs the thread's messages until the box is gone; the hold keeps input and closes of other
// windows from them. Returns false when a quit message ended the loop (its exit code in
// `quitCode`).
bool ModalLoop(HWND box, const InputHold& hold, WPARAM& quitCode) {
  MSG m;
  while (IsWindow(box)) {
    BOOL got = GetMessageW(&m, nullptr, 0, 0);
    if (got == 0) {
      quitCode = m.wParam;
      return false;
    }
    if (got < 0) break;
    if (hold.Keeps(m)) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return true;
}

// Registers the box for the time of the call.
struct RunningScope {
  explicit RunningScope(RunningBox* box) : box(box) { Running().push_back(box); }
  ~RunningScope() { std::erase(Running(), box); }
  RunningBox* box;
};

}  // namespace

int SkinnedMessageBox(HWND owner, std::string_view text, const MessageBoxOptions& o) {
  static int nextSlot = 1;
  StartSkinnedUi();  // a notice must show even before the program started the toolkit
  const int buttonSet = std::clamp(o.buttonSet.value_or(0), 0, 5);
  const int style = o.style.value_or(0);
  const unsigned styleFlags = o.styleFlags.value_or(6);
  const bool liveOwner = owner && IsWindow(owner);

  RECT reference;
  if (o.centreOnOwner.value_or(false) && liveOwner)
    GetWindowRect(owner, &reference);
  else
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &reference, 0);
  auto centre = [&](float size, LONG from, LONG to) {
    return static_cast<float>(from) + (static_cast<float>(to - from) - size) / 2;
  };
  // The box is laid out at the DPI of the monitor it opens on.
  const UINT dpi = DpiAt(POINT{(reference.left + reference.right) / 2, (reference.top + reference.bottom) / 2});
  auto px = [dpi](float design) { return Px(design, dpi); };
  RectF box(0, 0, px(kBoxWidth), px(kBoxHeight));
  RectF textRect = style != 0 ? RectF(px(85), px(43), box.Width - px(120), box.Height - px(100))
                              : RectF(px(30), px(43), box.Width - px(60), box.Height - px(100));
  box.X = centre(box.Width, reference.left, reference.right);
  box.Y = centre(box.Height, reference.top, reference.bottom);

  HostWindowOptions windowOptions;
  std::string title = o.title.value_or("提示：");
  windowOptions.title = title;
  windowOptions.left = static_cast<int>(std::lround(box.X));
  windowOptions.top = static_cast<int>(std::lround(box.Y));
  windowOptions.width = static_cast<int>(box.Width);
  windowOptions.height = static_cast<int>(box.Height);
  HWND window = CreateHostWindow(owner, windowOptions);
  if (!window) return kResultCancel;
  SetPropW(window, kPropFlags, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(kMessageBoxKind)));
  SetPropW(window, kPropMsgBox, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(style)));

  RunningBox running;
  running.slot = nextSlot++;
  running.window = window;
  running.strip.Load(Resource("ui/msgbox_background.png"), false);
  running.icons.Load(Resource("ui/msgbox_icons.png"), false);
  RunningScope scope(&running);
  DuiHost host;
  running.host = &host;
  host.SetCustomPaint(PaintBox);
  host.Attach(window, SkinOptions(owner, o, styleFlags));
  host.SetMessageHook(WindowKindFilter);
  host.SetSizeChanged(PlaceButtons);
  host.SetOnClick(ClickButton);

  // Grow the box to the text; only explicit line breaks wrap.
  const float marginX = box.Width - textRect.Width, marginY = box.Height - textRect.Height;
  Gdiplus::SizeF measured = MeasureText(host.Graphics(), text, host.TextFont());
  auto moveBox = [&] {
    MoveWindow(window, static_cast<int>(std::lround(box.X)), static_cast<int>(std::lround(box.Y)),
               static_cast<int>(std::lround(box.Width)), static_cast<int>(std::lround(box.Height)), FALSE);
  };
  if (measured.Width > textRect.Width) {
    box.Width = measured.Width + marginX;
    box.X = centre(box.Width, reference.left, reference.right);
    moveBox();
    textRect.Width = measured.Width + px(10);
  }
  if (measured.Height > textRect.Height) {
    box.Height = measured.Height + marginY;
    box.Y = centre(box.Height, reference.top, reference.bottom);
    moveBox();
    textRect.Height = measured.Height + px(5);
  }
  if (measured.Height < px(30) - 1e-7f) textRect.Y += px(4);

  const ButtonSet& set = ButtonSetOf(buttonSet);
  const std::vector<std::string>& texts = o.buttonTexts && !o.buttonTexts->empty() ? *o.buttonTexts : set.texts;
  // One code a button: extra texts beyond the set's codes get no button.
  size_t count = std::min(texts.size(), set.codes.size());
  for (size_t i = 0; i < count; ++i) {
    int n = static_cast<int>(i) + 1;
    ElementOptions eo;
    eo.rect = ButtonRect(box.Width, box.Height, n, dpi);
    auto* button = host.Add<DuiButton>(eo, texts[i]);
    button->SetTag(std::to_string(running.slot) + "|" + std::to_string(set.codes[i]) + "|" + std::to_string(n));
    running.buttons.push_back(button);
  }
  int focus = std::clamp(o.focusButton.value_or(1), 1, static_cast<int>(count));
  host.SetFocus(running.buttons[static_cast<size_t>(focus - 1)], false);
  ElementOptions labelOptions;
  labelOptions.rect = textRect;
  running.label = host.Add<DuiLabel>(labelOptions, text);
  running.label->SetUnlimitedWidth(true);

  if (o.onBuilt) o.onBuilt(window, static_cast<int>(std::lround(box.Width)), static_cast<int>(std::lround(box.Height)));
  if (style != 0 && o.beep.value_or(true)) MessageBeep(static_cast<UINT>(style));
  if (liveOwner) SendMessageW(owner, WM_MOUSELEAVE, 0, 0);

  WPARAM quitCode = 0;
  bool quit = false;
  // From the entrance to the end of the exit, and until the box is destroyed: a close of the
  // window underneath that arrives meanwhile is carried out after that.
  InputHold hold(window);
  if (IsWindow(window)) {
    host.Show(o.showEffect.value_or(0));
    if (o.closeEffect) host.SetCloseEffect(*o.closeEffect);
    SetForegroundWindow(window);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (liveOwner) PostMessageW(owner, WM_MOUSELEAVE, 0, 0);
    if (ShownHook()) ShownHook()(window);
    quit = !ModalLoop(window, hold, quitCode);
  }
  // A quit ends the box at once: the window goes with it, and the quit goes on to the
  // loop that owns it, so the program still ends.
  if (IsWindow(window)) DestroyWindow(window);
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
  return running.result;
}

void ShowNotice(std::string_view text, HWND owner, std::string_view title) {
  MessageBoxOptions o;
  o.title = std::string(title);
  o.style = kStyleAsterisk;
  o.beep = true;
  o.showEffect = 2;
  o.closeEffect = 1;
  SkinnedMessageBox(owner, text, o);
}

std::vector<MessageBoxView> OpenMessageBoxes() {
  std::vector<MessageBoxView> views;
  for (RunningBox* box : Running()) {
    if (!IsWindow(box->window)) continue;
    MessageBoxView view;
    view.window = box->window;
    wchar_t title[256] = {};
    GetWindowTextW(box->window, title, 256);
    view.title = FromWide(title);
    view.text = box->label ? box->label->Text() : std::string();
    for (DuiButton* b : box->buttons) {
      RectF r = b->Rect();
      view.buttons.push_back({b->Text(), RECT{static_cast<LONG>(r.X), static_cast<LONG>(r.Y),
                                              static_cast<LONG>(r.X + r.Width), static_cast<LONG>(r.Y + r.Height)}});
    }
    views.push_back(std::move(view));
  }
  return views;
}

void SetMessageBoxShownHook(std::function<void(HWND)> hook) { ShownHook() = std::move(hook); }

}  // namespace xl::ui
