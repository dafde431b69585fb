#pragma once
// A text button with four visual states (normal, hover, pressed, focused) that cross-fade.
// An "&X" in its text makes Alt+X an access key and shows X underlined.
#include "ui/dui_element.h"

namespace xl::ui {

class DuiButton : public DuiElement {
 public:
  enum State { kNormal = 0, kHover = 1, kPressedState = 2, kFocusedState = 3 };
  // Buttons are focusable and carry role code 2 unless the options say otherwise.
  static constexpr int kRole = 2;
  DuiButton(DuiHost& host, const ElementOptions& options, std::string_view text = {});

  void SetText(std::string_view text) override;
  int State() const { return state_; }
  void SetTextColour(ARGB colour) {
    textColour_ = colour;
    RequestRepaint();
  }

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Render(GpGraphics* g, float width, float height) override;

 private:
  void Enter(int state, int startAlpha);
  int state_ = kNormal;
  ARGB textColour_ = kDefaultTextColour;
};

// The access key of a text: the character after the first single "&", 0 when none.
wchar_t AccessKeyOf(std::string_view text);

// Draws GBK text into a rectangle in the default UI font (or `font`), "&X" underlining X.
void DrawText(GpGraphics* g, std::string_view text, RectF rect, ARGB colour, GpFont* font, bool centred, bool hotkeys);

}  // namespace xl::ui
