#pragma once
// The window-less element: a rectangle of a DuiHost's surface that draws itself into its
// own cached bitmap, takes part in hit testing, focus and the Tab order, and cross-fades
// from one visual state to the next. Kinds (DuiButton, DuiLabel, DuiSysButton) override
// Render and OnMessage.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/gdi.h"

namespace xl::ui {

class DuiHost;
class DuiElement;

// Messages an element receives: first its kind's OnMessage, then its bound handlers.
enum ElementMessage : UINT {
  kElementCreated = 1,
  kElementDestroyed = 2,
  kElementPaint = 15,
  kFadeTick = 275,
  kFocusGained = 10240,
  kFocusLost = 10241,
  kMouseEntered = 10242,
  kMouseLeft = 10243,
  kClicked = 10244,
  kRedrawRequest = 10245,
  kHidden = 10246,
  kShown = 10247,
  kAcceptsPress = 10250,  // any answer but kUnhandled: the element takes presses
  kEnabledChanged = 10254,
  kMoved = 10257,
  kHasFocusQuery = 10260,
  kRepaintFull = 10262,
};
inline constexpr LRESULT kUnhandled = -1;

// A handler bound to one message of one element. `parent` is the element's parent element
// (null for top-level elements).
using ElementHandler = std::function<LRESULT(DuiElement* parent, DuiElement* element, UINT, WPARAM, LPARAM)>;

// What every element is created with.
struct ElementOptions {
  RectF rect{};
  int role = 0;  // handed to the host's handlers; role 1 never takes the focus
  bool visible = true;
  bool focusable = false;
  HCURSOR cursor = nullptr;  // null: the host's default cursor
  UINT fadeInterval = 0;     // ms between cross-fade ticks; 0 = no timer
  DuiElement* parent = nullptr;
};

// Fade steps: five ticks take an element from 0 to full alpha.
inline constexpr int kFadeStep = 51;

class DuiElement {
 public:
  DuiElement(DuiHost& host, const ElementOptions& options);
  virtual ~DuiElement();
  DuiElement(const DuiElement&) = delete;
  DuiElement& operator=(const DuiElement&) = delete;

  DuiHost& Host() const { return host_; }
  HWND Window() const;
  // Unique within the host for the element's lifetime; also its fade timer id.
  UINT_PTR Id() const { return id_; }
  DuiElement* ParentElement() const { return parent_; }
  // Makes the element the last (topmost) child of `parent`, or a top-level element when
  // null. Refused (false) for a parent of another host, the element itself or one of its
  // descendants.
  bool SetParentElement(DuiElement* parent);
  const std::vector<DuiElement*>& Children() const { return children_; }
  int Role() const { return role_; }

  bool Enabled() const { return !disabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Focusable() const { return focusable_; }
  void SetFocusable(bool focusable) { focusable_ = focusable; }
  bool HasFocus() const;

  RectF Rect() const { return rect_; }
  RectF PreviousRect() const { return previousRect_; }
  void Move(RectF rect);

  const std::string& Text() const { return text_; }
  virtual void SetText(std::string_view text);
  const std::string& Tooltip() const { return tooltip_; }
  void SetTooltip(std::string_view text) { tooltip_ = text; }
  const std::string& Tag() const { return tag_; }
  void SetTag(std::string_view tag) { tag_ = tag; }
  HCURSOR Cursor() const { return cursor_; }
  void SetCursor(HCURSOR cursor) { cursor_ = cursor; }
  void SetCursorId(LPCWSTR systemCursorId) { cursor_ = LoadCursorW(nullptr, systemCursorId); }

  // Alpha of the running cross-fade, and the alpha the element rests at (255, or half of
  // it while disabled).
  int Alpha() const { return alpha_; }
  void SetAlpha(int alpha);
  int FullAlpha() const { return static_cast<int>(fullAlpha_); }
  bool Fading() const { return fading_; }
  UINT FadeInterval() const { return fadeInterval_; }

  // Tells the element (kRedrawRequest) and asks the host to recompose its rectangle
  // (posted, merged with other requests).
  void RequestRedraw();
  // Asks the host to have the element re-render its current state at full alpha: the host
  // sends it kElementPaint (posted, so several requests in one message cost one render).
  void RequestRepaint();
  // Draws the cached bitmap(s) into the host's surface.
  virtual void Paint(GpGraphics* g);

  // Runs the kind's own message method, then the bound handler of that message.
  LRESULT Dispatch(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  void Bind(UINT message, ElementHandler handler);

 protected:
  // The kind's message method; kUnhandled when it does not handle the message.
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Draws the current visual state into the element's bitmap (cleared, element-sized).
  virtual void Render(GpGraphics* g, float width, float height) = 0;
  // Renders the new state and starts a cross-fade to it from `startAlpha` (host animations
  // off: straight to full alpha).
  void ChangeVisual(int startAlpha);

 private:
  friend class DuiHost;
  void RenderBitmap();
  void Repaint();
  void FadeTick();
  void StopFade();

  DuiHost& host_;
  UINT_PTR id_ = 0;
  DuiElement* parent_ = nullptr;
  std::vector<DuiElement*> children_;
  RectF rect_{};
  RectF previousRect_{};
  int role_ = 0;
  bool visible_ = true;
  bool disabled_ = false;
  bool focusable_ = false;
  bool dead_ = false;
  bool fading_ = false;
  HCURSOR cursor_ = nullptr;
  UINT fadeInterval_ = 0;
  std::string text_, tooltip_, tag_;
  std::vector<std::pair<UINT, ElementHandler>> bindings_;
  int alpha_ = 255;
  float fullAlpha_ = 255.0f;  // a float, so halving and doubling gives back exactly 255
  Bitmap bitmap_;
  Bitmap previous_;
};

// ARGB of a text colour given as a system colour value (0x00BBGGRR) and an optional alpha:
// a missing alpha and 255 both become 254.
ARGB TextColour(uint32_t bgr, int alpha = -1);
inline constexpr ARGB kDefaultTextColour = 0xD2000000;  // black, alpha 210

}  // namespace xl::ui
