#pragma once
// The drawable record of the button, the page-jump button, the
// multi-function button and the status lamps of the IO list. A button has
// two looks: the first (OFF) in display states 0 and 1, the second (ON) in
// states 2 and 3, each with its own text, text colour, background and
// picture. Its frame and body are drawn by an embedded shape painter in one
// of five styles.
#include <cstdint>
#include <memory>
#include <string>

#include "QlUiElem/QlUiElem.h"
#include "dx2d/ShapePainter.h"

namespace NsOvrin::NsQlUiElem {

using NsDx2d::COLORREF;

// Shape of a button; stored in page files.
using ButtonStyle = int32_t;

inline constexpr ButtonStyle kButtonFlat = 0;
inline constexpr ButtonStyle kButtonRaised = 1;
// A box at the left, the text after it.
inline constexpr ButtonStyle kButtonCheckbox = 2;
// A circle of the smaller side at the top-left corner.
inline constexpr ButtonStyle kButtonCircular = 3;
// A switch: no text and no picture.
inline constexpr ButtonStyle kButtonSwitch = 4;

// How a picture is placed.
using ImageStyle = int32_t;

// Own pixel size from the top-left corner.
inline constexpr ImageStyle kImageActualSize = 0;
// Stretched to the rectangle (so is any value other than 0).
inline constexpr ImageStyle kImageStretch = 1;

// The settings of a button, as page files store them and the property pages
// edit them.
struct QlUiButtonData {
  D2D_RECT_F rect;
  std::string text;
  std::string text2;
  COLORREF textColour = 0x333333;
  COLORREF textColour2 = 0x333333;
  int32_t fontSize = 100;  // tenths of a point
  COLORREF borderColour = 0xC8C8C8;
  ButtonStyle borderStyle = kButtonRaised;
  COLORREF bkColour = 0xEDEDED;
  COLORREF bkColour2 = 0xD2F3EC;
  ImageStyle imageStyle = kImageActualSize;
  std::string imagePath;
  std::string imagePath2;
  // Of the body and of the frame.
  float bkOpacity = 1.0f;
  // 0-3; set through QlUiButton::SetState.
  int32_t state = 0;
  // Units of 100 ms. Stored and edited only: buttons are not operated here.
  uint16_t holdDelay = 0;
  // QlUserLevel needed to operate the button.
  int32_t accessPermission = 0;
};

class QlUiButton : public QlUiElem {
 public:
  // Frame painter: corner radius 5, style 1, an empty rectangle.
  QlUiButton();

  // Body, picture, text, frame.
  void Draw(const D2ResInfo& d2) override;
  D2D_RECT_F GetRect() const override { return data.rect; }

  // Stores the display state and gives the painter the style that the
  // border style shows in it; the painter's geometry is dropped only when
  // that style changes.
  void SetState(int32_t state);
  // The painter style of a border style in a display state.
  static int32_t PainterStyleFor(ButtonStyle borderStyle, int32_t state);

  // Every field copied; the copy's painter builds its own geometry.
  std::shared_ptr<QlUiButton> Clone() const;

  QlUiButtonData data;
  // Its rectangle always equals data.rect: whoever moves the button sets
  // both and releases the painter's geometry.
  NsDx2d::ShapePainter painter;

 protected:
  QlUiButton(const QlUiButton&) = default;
  QlUiButton& operator=(const QlUiButton&) = default;

 private:
  // States 2 and 3 show the second look.
  bool ShowsSecondLook() const { return data.state == 2 || data.state == 3; }
  void DrawImage(const D2ResInfo& d2);
  void DrawText(const D2ResInfo& d2);
};

}  // namespace NsOvrin::NsQlUiElem
