#pragma once
// The live state behind one loaded window: its handle, its controls with their handles and
// positions, and what the painted controls draw. Shared by Win32Ui and the window procedures.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "win32/bitmap.h"
#include "platform/window_def.h"

namespace xl::win32 {

class Win32Ui;
struct LiveWindow;

struct LiveControl {
  LiveWindow* window = nullptr;
  const Unit* unit = nullptr;
  HWND hwnd = nullptr;  // null for the archive component
  LiveControl* container = nullptr;
  int x = 0, y = 0;  // in the window's client area, design pixels
  RECT rect{};       // in the window's client area, pixels at the window's DPI
  int depth = 0;     // containers above it
  int index = 0;     // position in the definition

  DibPicture picture;         // picture box; image button normal state
  DibPicture hover, pressed;  // image and plain buttons
  // The encoded pictures behind the three, decoded again at another DPI.
  std::string pictureBytes, hoverBytes, pressedBytes;
  std::string pictureName;         // what PictureOf reports
  bool hot = false, down = false;  // mouse over; pressed and captured
  int updateDepth = 0;             // nesting of BeginUpdate
  int page = 0;                    // current page of a tab control
  std::wstring text;               // text of the painted controls
  std::wstring hint;               // edit boxes: the grey hint drawn while the box is empty
  bool swallowLowSurrogate = false;
  bool shortcutCharacterDue = false;  // a shortcut went to the window: its character is dropped

  // Shown by its own flag, its containers' flags and (on a tab page) the current page.
  bool Shown() const;
  // The control's text font at its window's DPI.
  HFONT Font() const;
  // Decodes the pictures from their bytes at the control's size on the screen.
  void DecodePictures();
};

struct LiveWindow {
  Win32Ui* ui = nullptr;
  const WindowDef* def = nullptr;
  HWND hwnd = nullptr;
  UINT dpi = 96;  // the window's monitor's; every design pixel is dpi / 96 pixels on the screen
  std::vector<std::unique_ptr<LiveControl>> controls;
  std::map<std::string, LiveControl*, std::less<>> byName;
  int drags = 0;

  LiveControl* Find(std::string_view name) const;
  LiveControl* FindHandle(HWND hwnd) const;
  // The control whose click the window's own close stands for (Unit::closesWindow), or null.
  LiveControl* ClosingControl() const;
  // The window's tab control (a window has at most one), or null.
  const LiveControl* Tabs() const;
};

// Window classes of the top-level windows and the painted controls; registered once.
void RegisterWindowClasses();
inline constexpr wchar_t kTopWindowClass[] = L"XinglvWindow";

// Creates every unit of the window's definition as a child of window.hwnd, positioned in
// its container, containers below their contents, then shows what the pages allow.
void CreateControls(LiveWindow& window);
// Shows or hides each control as LiveControl::Shown says.
void ApplyVisibility(LiveWindow& window);
// Moves, sizes and gives fonts to every control at the window's DPI, after it changed.
void PlaceControls(LiveWindow& window);
// Gives the control its font at the window's DPI; a label the largest, up to that size, in
// which its whole text fits.
void SetControlFont(LiveControl& control);
// Repaints the controls drawn over `container` (after its picture changed).
void InvalidateContents(LiveWindow& window, const LiveControl& container);

LRESULT CALLBACK TopWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace xl::win32
