#pragma once
// DuiHost takes over an ordinary top-level window and draws its whole surface itself:
// background, icon, caption, caption buttons and any number of window-less elements, into
// a 32-bit back buffer pushed with BitBlt (opaque windows) or UpdateLayeredWindow (layered
// ones). It routes mouse and keyboard input to its elements, sizes the window by its edges,
// drags it by its caption and plays opening and closing effects.
//
// The window is found from its host through the property "Ex_Wnd_Control"; the host
// subclasses the window and passes every message it does not handle on.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/dui_element.h"
#include "ui/gdi.h"
#include "ui/picture_loader.h"

namespace xl::ui {

class DuiLabel;
class DuiSysButton;
class InputHold;

// Style flags of a host.
enum HostStyle : unsigned {
  kDrawIcon = 1,     // window icon, 16 x 16 at (11, 11)
  kCaptionText = 2,  // caption label from the window text; double-click toggles maximise
  kCloseButton = 4,
  kMaximizeButton = 8,
  kMinimizeButton = 16,
  kExtraButton1 = 32,  // 32..256: caption buttons whose clicks only reach the click handler
  kExtraButton2 = 64,
  kExtraButton3 = 128,
  kExtraButton4 = 256,
  kDeriveButtons = 1024,  // on attach: add the buttons the window's own style asks for
};

// Private messages a host posts or sends to its window.
enum HostMessage : UINT {
  kHostGrantFocus = 10240,  // wParam: element id
  kHostAccessKeys = 10251,  // wParam: element id, lParam: key (0 removes the element's keys)
  kHostPushBuffer = 10253,
  kHostRepaintElement = 10255,  // wParam: element id
  kHostRedraw = 10256,          // recompose the collected rectangles
  kHostElementMoved = 10257,    // wParam: element id, lParam 1: redraw old and new rectangle
  kHostForward1 = 10258,        // lParam: element id, wParam handed on
  kHostForward2 = 10259,
};
// wParam of a WM_LBUTTONDOWN that the host re-sent for a double click.
inline constexpr WPARAM kDoubleClickMark = 10086;

// Options of Attach; each has the default the comment names.
struct HostOptions {
  std::string_view backgroundImage;    // encoded picture bytes; none
  long backgroundColour = -1;          // 0x00BBGGRR; -1 none (the system's button face)
  std::optional<unsigned> styleFlags;  // derived: icon, caption, close + the window's own boxes
  int layerAlpha = -1;                 // -1 opaque; 0-255 layered, background alpha
  int frameStyle = 7;                  // 1 = plain: no border line, no blur
  bool animations = true;              // element state changes cross-fade
  std::optional<bool> resizable;       // the window had WS_THICKFRAME
  bool captionDrag = true;
  std::optional<bool> blurBehind;  // layered windows on Windows 6 and later
  RECT margins{0, 0, 0, 0};        // nine-grid margins of the background picture
  int storedOption = 0;
  int storedOption2 = 1;
  HWND skinSource = nullptr;  // reuse that window's host background picture
};

// One frame of an opening or closing effect: where the composed window image goes, at
// what constant alpha, and how long the host lets messages run before the next frame.
struct EffectFrame {
  RectF dest;    // kinds 1, 2 and 7: the whole image, moved or scaled
  bool strips;   // other kinds: the image cut into one-pixel columns that slide apart
  float spread;  // strips: 0 together, 1 fully apart
  int alpha;     // 0-255
  DWORD pauseMs;
};
// Number of frames of an effect kind: ten to open; fifteen to close, twenty for kind 2.
int EffectFrameCount(int kind, bool closing);
// Frame `frame` (1-based) of an effect on a window of the given size; `durationMs` is the
// length asked of an opening effect. Distances in pixels are the design's, at `dpi`.
EffectFrame EffectFrameAt(int kind, int frame, bool closing, int width, int height, int durationMs = 200,
                          UINT dpi = 96);

using CustomPaintHandler = std::function<void(HWND, GpGraphics*, int width, int height)>;
// Sees every window message first; any answer but kUnhandled is returned at once.
using MessageHook = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
using SizeChangedHandler = std::function<void(HWND, int width, int height)>;
using ElementEventHandler = std::function<void(HWND, DuiElement*, WPARAM, LPARAM, int role)>;

class DuiHost {
 public:
  DuiHost();
  ~DuiHost();  // detaches from a window still attached
  DuiHost(const DuiHost&) = delete;
  DuiHost& operator=(const DuiHost&) = delete;

  // Skins the window. False, and nothing changed, when `window` is no window or this host
  // is already attached.
  bool Attach(HWND window, const HostOptions& options = {});
  bool Attached() const { return window_ != nullptr; }
  HWND Window() const { return window_; }
  static DuiHost* FromWindow(HWND window);

  // Shows the window, with an opening effect when `effect` is not 0.
  void Show(int effect = 0, int durationMs = 200);
  // Repaints everything into the back buffer and pushes it to the screen.
  void Compose();
  // Moves the keyboard focus; refuses hidden, disabled, non-focusable and role-1 elements.
  bool SetFocus(DuiElement* element, bool byMouse = false);
  // Points the host's tooltip at the element; no text: the element's own tooltip text.
  void UpdateTooltip(DuiElement* element, std::optional<std::string_view> text = std::nullopt);

  // The thirteen program handlers.
  void SetCustomPaint(CustomPaintHandler h) { customPaint_ = std::move(h); }
  void SetMessageHook(MessageHook h) { messageHook_ = std::move(h); }
  void SetSizeChanged(SizeChangedHandler h) { sizeChanged_ = std::move(h); }
  void SetOnLeftButtonDown(ElementEventHandler h) { onLeftDown_ = std::move(h); }
  void SetOnLeftButtonUp(ElementEventHandler h) { onLeftUp_ = std::move(h); }
  void SetOnClick(ElementEventHandler h) { onClick_ = std::move(h); }
  void SetOnDoubleClick(ElementEventHandler h) { onDoubleClick_ = std::move(h); }
  void SetOnRightButtonDown(ElementEventHandler h) { onRightDown_ = std::move(h); }
  void SetOnRightButtonUp(ElementEventHandler h) { onRightUp_ = std::move(h); }
  void SetOnMouseLeave(ElementEventHandler h) { onMouseLeave_ = std::move(h); }
  void SetOnMouseEnter(ElementEventHandler h) { onMouseEnter_ = std::move(h); }
  void SetOnFocusGained(ElementEventHandler h) { onFocusGained_ = std::move(h); }
  void SetOnFocusLost(ElementEventHandler h) { onFocusLost_ = std::move(h); }

  // Closing effect played on WM_CLOSE: 0 none, 1 fade, 2 swell and shrink, 7 shrink to
  // the centre, others strips.
  void SetCloseEffect(int kind) { closeEffect_ = kind; }
  int CloseEffect() const { return closeEffect_; }
  void SetDefaultCursor(HCURSOR cursor) { defaultCursor_ = cursor; }
  void SetDefaultCursorId(LPCWSTR systemCursorId) { defaultCursor_ = LoadCursorW(nullptr, systemCursorId); }
  void SetStoredOption(int value) { storedOption_ = value; }

  // Elements. The host owns them; Add creates one of kind T (constructed from the host and
  // ElementOptions plus the kind's own arguments).
  template <class T, class... Args>
  T* Add(const ElementOptions& options, Args&&... args) {
    auto element = std::make_unique<T>(*this, options, std::forward<Args>(args)...);
    T* raw = element.get();
    Adopt(std::move(element));
    return raw;
  }
  // Destroys the element and its children. Safe from inside the element's own handlers:
  // the memory goes once no message is being dispatched.
  void DestroyElement(DuiElement* element);
  // Live elements in creation order (children included).
  std::vector<DuiElement*> Elements() const;
  DuiElement* FindElement(UINT_PTR id) const;
  // Deepest visible, enabled element at the point (client coordinates), topmost first.
  DuiElement* HitTest(float x, float y) const;

  DuiElement* Focused() const { return focused_; }
  DuiElement* Hot() const { return hot_; }
  DuiElement* Pressed() const { return pressed_; }
  DuiLabel* Caption() const { return caption_; }
  const std::vector<DuiSysButton*>& SysButtons() const { return sysButtons_; }
  void SetAccessKey(DuiElement* element, wchar_t key);

  // The DPI the window is drawn at (its monitor's); every layout of the host and of the boxes
  // and menus built on it is in design pixels times Dpi() / 96.
  UINT Dpi() const { return dpi_; }
  float Pixels(float design) const;
  // The text font of the elements at the host's DPI.
  GpFont* TextFont() const;

  int Width() const { return size_.cx; }
  int Height() const { return size_.cy; }
  unsigned StyleFlags() const { return styleFlags_; }
  int LayerAlpha() const { return layerAlpha_; }
  bool Layered() const { return layerAlpha_ >= 0; }
  int FrameStyle() const { return frameStyle_; }
  bool Animations() const { return animations_; }
  bool Resizable() const { return resizable_; }
  bool BlurBehind() const { return blurBehind_; }
  RECT Margins() const { return margins_; }
  int StoredOption() const { return storedOption_; }
  bool Busy() const { return busy_; }
  HWND TooltipWindow() const { return tooltip_; }
  // The back buffer (invalid when it could not be made: the host then paints directly).
  const Surface& BackBuffer() const { return buffer_; }
  GpGraphics* Graphics() const { return buffer_.graphics(); }
  GpImage* BackgroundImage() const;

  // Collects a rectangle to recompose; the recomposition runs once per posted kHostRedraw.
  void InvalidateRect(RectF rect);

 private:
  friend class DuiElement;
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam);

  // Attach and detach (dui_host.cpp).
  void ApplyStyleFlags(const HostOptions& options);
  bool CreateBuffers();
  void CreateCaption();
  void CreateTooltip();
  void Detach();
  void Adopt(std::unique_ptr<DuiElement> element);
  bool Reparent(DuiElement* element, DuiElement* parent);
  void Unlink(DuiElement* element);
  void ReleaseDeadElements();

  // Drawing (dui_host.cpp).
  void Draw(GpGraphics* g, const RECT& clip);
  void DrawBackground(GpGraphics* g);
  void DrawIcon(GpGraphics* g);
  void DrawBorder(GpGraphics* g);
  void DrawElements(GpGraphics* g, const std::vector<DuiElement*>& chain, const RECT& clip);
  void ComposeRect(const RECT& rect);
  void Push(const RECT& rect);
  void PushLayered(HDC source);
  void RedrawPending();

  // Window messages (dui_host.cpp).
  void OnSize();
  void OnDpiChanged(UINT dpi, const RECT* suggested);
  void OnActivate(bool active);
  LRESULT OnSetText(LPCWSTR text);
  void OnPaint();
  LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam);
  bool OnSetCursor(HWND target);
  void OnGetMinMaxInfo(MINMAXINFO* info);
  void OnStyleChanged();
  void OnTimer(UINT_PTR id);
  LRESULT OnPrivate(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT ToFocused(UINT message, WPARAM wParam, LPARAM lParam);

  // Input (dui_host_input.cpp).
  void OnKeyDown(WPARAM key, LPARAM lParam);
  void OnSysKeyDown(WPARAM key);
  void OnMouse(UINT message, WPARAM wParam, LPARAM lParam);
  void OnMouseMoveTracking();
  void OnMouseLeave();
  LRESULT OnDoubleClick(LPARAM lParam);
  bool EdgeSizing(UINT message, int x, int y);
  void ReleasePress(WPARAM wParam, LPARAM lParam, float x, float y);
  void PressAt(DuiElement* hit, WPARAM wParam, LPARAM lParam, float y);
  void ToggleMaximize();
  void Click(DuiElement* element, WPARAM wParam, LPARAM lParam);
  void FocusNext();
  void Raise(const ElementEventHandler& handler, DuiElement* element, WPARAM wParam, LPARAM lParam);
  void ElementDisabled(DuiElement* element);

  // Effects and layered output (dui_host_effects.cpp).
  void PlayCloseEffect();
  void PlayOpenEffect(int effect, int durationMs);
  void DrawEffectFrame(Surface& target, int kind, const EffectFrame& frame);
  void PumpFor(DWORD ms, const InputHold& hold);
  void ApplyBlur(const RECT& rect, int corner);
  RECT BlurRect() const;
  void SetRoundedRegion(int inset, int corner);

  HWND window_ = nullptr;
  WNDPROC previousProc_ = nullptr;
  SIZE size_{0, 0};
  UINT dpi_ = 96;
  Surface buffer_;
  Surface second_;
  Picture background_;
  long backgroundColour_ = -1;
  HWND skinSource_ = nullptr;
  unsigned styleFlags_ = 0;
  int layerAlpha_ = -1;
  int frameStyle_ = 7;
  bool animations_ = true;
  bool resizable_ = false;
  bool captionDrag_ = true;
  bool blurBehind_ = false;
  RECT margins_{0, 0, 0, 0};
  int storedOption_ = 0;
  int storedOption2_ = 1;
  int closeEffect_ = 0;
  bool busy_ = false;
  bool closing_ = false;
  bool tracking_ = false;
  bool pressing_ = false;
  HCURSOR defaultCursor_ = nullptr;
  HWND tooltip_ = nullptr;
  bool toolAdded_ = false;

  std::vector<std::unique_ptr<DuiElement>> owned_;  // creation order
  std::vector<DuiElement*> topLevel_;
  std::vector<std::unique_ptr<DuiElement>> dead_;
  int dispatchDepth_ = 0;
  UINT_PTR nextId_ = 0x100;
  DuiElement* focused_ = nullptr;
  DuiElement* hot_ = nullptr;
  DuiElement* pressed_ = nullptr;
  DuiLabel* caption_ = nullptr;
  std::vector<DuiSysButton*> sysButtons_;
  std::vector<std::pair<wchar_t, DuiElement*>> accessKeys_;
  std::vector<RECT> pendingRedraw_;
  bool redrawPosted_ = false;

  CustomPaintHandler customPaint_;
  MessageHook messageHook_;
  SizeChangedHandler sizeChanged_;
  ElementEventHandler onLeftDown_, onLeftUp_, onClick_, onDoubleClick_, onRightDown_, onRightUp_, onMouseLeave_,
      onMouseEnter_, onFocusGained_, onFocusLost_;
};

// The window-kind filter, used as the message hook of message boxes and popup menus: acts
// on the window's "Ex_Wnd_Flags" (1 popup menu, 2 close on deactivation, 3 message box).
// Escape closes every kind. Always answers kUnhandled.
LRESULT WindowKindFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Window property names.
inline constexpr wchar_t kPropControl[] = L"Ex_Wnd_Control";
inline constexpr wchar_t kPropFlags[] = L"Ex_Wnd_Flags";
inline constexpr wchar_t kPropHost[] = L"Ex_DirectUI_Host";
inline constexpr wchar_t kPropSub[] = L"Ex_DirectUI_Sub";
inline constexpr wchar_t kPropAct[] = L"Ex_DirectUI_Act";
inline constexpr wchar_t kPropEvent[] = L"Ex_DirectUI_Event";
inline constexpr wchar_t kPropMsgBox[] = L"Ex_DirectUI_MsgBox";

}  // namespace xl::ui
