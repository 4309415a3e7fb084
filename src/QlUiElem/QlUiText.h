#pragma once
// A static text: a text in a box with an optional background fill.
#include <memory>

#include "QlUiElem/QlUiElem.h"
#include "dx2d/TextPainter.h"

namespace NsOvrin::NsQlUiElem {

using NsDx2d::COLORREF;
using NsDx2d::TextPainter;

// The text box of an element rectangle: 4 in from the left and right, 2
// from the top and bottom. Whoever sets an element rectangle of a text or
// box sets its text box by this.
D2D_RECT_F TextBoxRectOf(const D2D_RECT_F& rect);

class QlUiText : public QlUiElem {
 public:
  QlUiText() = default;

  // The background (unless fully transparent), then the text.
  void Draw(const D2ResInfo& d2) override;
  D2D_RECT_F GetRect() const override { return rect; }

  // The element rectangle and, by the layout rule, the text box's.
  void SetRect(const D2D_RECT_F& r);

  // Every field, the base's included.
  std::shared_ptr<QlUiText> Clone() const;

  D2D_RECT_F rect;
  COLORREF bkColor = 0xFFFFFF;
  // 0 draws no background.
  float bkOpacity = 0.0f;
  TextPainter textBox;  // top-leading, 0x222222, size 120, empty
};

}  // namespace NsOvrin::NsQlUiElem
