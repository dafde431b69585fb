#pragma once
// Image buttons: a standard push button ("Button" class) drawn entirely from pictures, one
// per visual state, laid over a copy of the pixels behind the button, so the transparent
// parts of the pictures show the parent's skin. The button keeps the system button's
// behaviour (focus, keyboard, BN_CLICKED through WM_COMMAND); only its drawing and hover
// tracking change.
//
// Everything a button needs lives in window properties on the button and on its parent, so
// any number of buttons on any number of windows need no table of their own:
//   on the button  "PngControl_Type" (3), "PngControl_WndProc" (previous procedure),
//                  "PngControl_NormalImage", "PngControl_OverlImage", "PngControl_DownImage",
//                  "PngControl_DisableImage", "PngControl_BackType", "PngControl_CacheBitmap",
//                  "Lumen_DrawState", "PngControl_IsFoucs"
//   on the parent  "PngControl_WndProc"
// The button removes its own properties (and frees its background copy) when it is destroyed;
// the parent removes its one when it is.
#include <optional>
#include <string_view>

#include "ui/gdi.h"

namespace xl::ui {

enum class ButtonState { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };

// How a state picture sits in the button (the "PngControl_BackType" values).
enum ImagePlacement : int {
  kPlacementNatural = 0,  // natural size from the top-left corner (also any unknown value)
  kPlacementStretch = 1,  // stretched to the button
  kPlacementFit = 2,      // shrunk to fit if needed, keeping its proportions, and centred
};

// The pictures of the four states. A null picture is "not given": that state keeps what it
// had. Pictures belong to the caller and must outlive the button (or be replaced first).
struct StateImages {
  GpImage* normal = nullptr;
  GpImage* hover = nullptr;
  GpImage* pressed = nullptr;
  GpImage* disabled = nullptr;
};

// The same as encoded pictures (PNG, JPEG, GIF...); empty bytes are "not given".
struct StateImageData {
  std::string_view normal{}, hover{}, pressed{}, disabled{};
};

// A wrapper around one window handle, through which the program makes image buttons and
// gives windows tooltips. Pictures it decodes itself (SetImagesFromData) belong to it.
class PngButton {
 public:
  PngButton() = default;
  PngButton(PngButton&&) = default;
  PngButton& operator=(PngButton&&) = default;

  // Takes `window` for this wrapper: makes it transparent over its siblings and subclasses
  // its parent. False, and nothing changed, when `window` is no window.
  bool Attach(HWND window);
  // A new image button (WS_EX_TRANSPARENT "Button", control id 0) on `parent`; null on failure.
  HWND Create(HWND parent, int left, int top, int width, int height, std::string_view text);
  // Turns an existing push button into an image button, optionally with its normal picture,
  // and has it drawn. False when `button` is no window.
  bool MakeImageButton(HWND button, GpImage* normal = nullptr);

  void SetImages(const StateImages& images);
  // Decodes each given picture (its first frame); one that does not decode is stored as no
  // picture, which shows the normal one instead.
  void SetImagesFromData(const StateImageData& data);
  // One of ImagePlacement.
  void SetPlacement(int placement);
  // Moves and sizes the window; a missing left or top keeps the current position in the
  // parent's client area, a missing width or height the current size.
  void MoveTo(std::optional<int> left, std::optional<int> top, std::optional<int> width, std::optional<int> height,
              bool noRedraw = false);
  // A hover tooltip through the process's one shared tooltip window; a second call changes
  // the text of the same tool. `followCursor` false centres the tip under the window.
  void SetTooltip(std::string_view text, bool followCursor = true);

  HWND Handle() const { return hwnd_; }
  bool IsWindow() const { return hwnd_ && ::IsWindow(hwnd_); }
  void SetProperty(const wchar_t* name, HANDLE value) const;
  HANDLE Property(const wchar_t* name) const;
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  // The whole window is drawn again at the next paint, without erasing.
  void Invalidate() const;

 private:
  HWND hwnd_ = nullptr;
  Image decoded_[4];  // normal, hover, pressed, disabled, from SetImagesFromData
};

// The state `button` draws now (Normal for a window that is no image button).
ButtonState DrawStateOf(HWND button);

}  // namespace xl::ui
