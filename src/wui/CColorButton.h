#pragma once
// A push button painted as a colour swatch with its caption beside it (or a
// swatch over the whole button). A click opens the colour picker; a chosen
// colour is kept, shown and passed to the listener.
#include <cstdint>
#include <functional>

#include <QPushButton>

#include "wui/WRect.h"

namespace NsOvrin::NsWui {

class CColorButton : public QPushButton {
 public:
  // Colours are 0x00BBGGRR.
  using ColourListener = std::function<void(uint32_t)>;

  explicit CColorButton(QWidget* parent = nullptr);

  // Paints the button into rect (its client rectangle).
  void DrawItem(QPainter& painter, const WRect& rect) const;
  void OnClicked();
  // Hover tracking is never requested for the button, so nothing calls
  // these and the background keeps its value.
  void OnMouseHover();
  void OnMouseLeave();

  ColourListener colourListener;
  uint32_t swatchColour = 0;
  uint32_t textColour = 0xFF222222;
  uint32_t backColour = 0xE8E8E8;
  // The swatch fills the whole button and no caption is drawn.
  bool swatchOnly = false;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace NsOvrin::NsWui
