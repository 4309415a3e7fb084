#pragma once
// The record of a number box and of a string box: a bordered box with the
// value's text. The binding (number or string) formats the text online; in
// design mode a number box shows its value 0.
#include <cstdint>
#include <memory>

#include "QlUiElem/QlUiElem.h"
#include "QlUiElem/QlUiText.h"
#include "dx2d/TextPainter.h"

namespace NsOvrin::NsQlUiElem {

class QlUiEdit : public QlUiElem {
 public:
  // Height of a new box.
  static constexpr float kNewHeight = 27.0f;

  QlUiEdit() { SetDefaultText(); }
  // A new box as the element factory places it: (p.x, p.y, p.x + width,
  // p.y + 27), the text box laid out inside.
  static std::shared_ptr<QlUiEdit> QlUiEditAt(NsDx2d::D2D_POINT_2F p, float width);

  // Text "0", 0x222222, size 120, leading, vertically centred.
  void SetDefaultText();

  // Fill, text, then the border; the border shares the fill's opacity.
  void Draw(const D2ResInfo& d2) override;
  D2D_RECT_F GetRect() const override { return rect; }

  // The element rectangle and, by the layout rule, the text box's.
  void SetRect(const D2D_RECT_F& r);

  // Every field, the base's included.
  std::shared_ptr<QlUiEdit> Clone() const;

  D2D_RECT_F rect;
  COLORREF bkColor = 0xFFFFFF;
  // Of the fill and of the border.
  float bkOpacity = 1.0f;
  COLORREF borderColor = 0xA0999A;
  // User level needed to enter a value (QlUserLevel).
  int32_t accessPermission = 0;
  TextPainter textBox;
};

}  // namespace NsOvrin::NsQlUiElem
