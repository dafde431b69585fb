#pragma once
// A text label. It measures its text and can size itself to it; it takes no input.
#include "ui/dui_element.h"

namespace xl::ui {

class DuiLabel : public DuiElement {
 public:
  // Labels carry role code 3 unless the options say otherwise.
  static constexpr int kRole = 3;
  DuiLabel(DuiHost& host, const ElementOptions& options, std::string_view text = {}, ARGB colour = kDefaultTextColour,
           GpFont* font = nullptr);

  void SetColour(ARGB colour) {
    colour_ = colour;
    RequestRepaint();
  }
  ARGB Colour() const { return colour_; }
  // The label's font; null means the UI font at the host's DPI.
  void SetFont(GpFont* font) {
    font_ = font;
    RequestRepaint();
  }
  // With no width limit, only explicit line breaks wrap (the text is measured and drawn
  // as it would be in an unlimited rectangle).
  void SetUnlimitedWidth(bool on) {
    unlimited_ = on;
    RequestRepaint();
  }
  bool UnlimitedWidth() const { return unlimited_; }
  // Size of the text in the label's font.
  Gdiplus::SizeF Measure() const;
  // Resizes the label to its text.
  void SizeToText();

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Render(GpGraphics* g, float width, float height) override;

 private:
  ARGB colour_;
  GpFont* font_;
  bool unlimited_ = false;
};

// Width and height of GBK text in a font, without a layout limit (null font: default).
Gdiplus::SizeF MeasureText(GpGraphics* g, std::string_view text, GpFont* font = nullptr);

}  // namespace xl::ui
