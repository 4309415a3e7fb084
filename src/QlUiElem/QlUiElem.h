#pragma once
// What every drawable element record shares: the shown and selected flags,
// the result of the last check of its IO binding, and the two ways of showing
// a failed check on the canvas: a small red mark at the top-right corner of
// an unselected element, and a tip with the message beside a selected one.
#include <string>

#include "dx2d/D2ResInfo.h"
#include "dx2d/D2Types.h"

namespace NsOvrin::NsQlUiElem {

using NsDx2d::D2D_RECT_F;
using NsDx2d::D2ResInfo;

// Where the error mark and the error tip go, in page units.
struct ErrorTipLayout {
  NsDx2d::Ellipse dot;
  D2D_RECT_F crossSquare;
  D2D_RECT_F textBox;
  D2D_RECT_F tipBox;
};

// The two diagonals of the square in white.
void DrawErrorCross(const D2ResInfo& d2, const D2D_RECT_F& square);

class QlUiElem {
 public:
  // Size of the error text, tenths of a point.
  static constexpr int kErrorFontSize = 70;

  QlUiElem() = default;
  virtual ~QlUiElem() = default;

  // The tip over a selected element in error: pale box, red dot with a
  // cross, the error text.
  virtual void DrawErrorTip(const D2ResInfo& d2);
  // The element's content.
  virtual void Draw(const D2ResInfo& d2) = 0;
  // Page coordinates; hit testing, selection and the error mark go by it.
  virtual D2D_RECT_F GetRect() const = 0;

  // The content, then the red mark while in error and not selected.
  void DrawWithErrorMark(const D2ResInfo& d2);
  // Measures the error text first when its measured height is 0.
  ErrorTipLayout LayoutErrorTip(const D2ResInfo& d2);
  // A different text drops the measured size, so that the next drawing
  // measures it again.
  void SetErrorText(const std::string& text);

  bool shown = true;
  bool selected = false;
  bool inError = false;
  std::string errorText;
  // Measured at the error font size; a height of 0 means not measured yet.
  float errorTextWidth = 0.0f;
  float errorTextHeight = 0.0f;

 protected:
  // For the clones of the element classes: every base field is copied.
  QlUiElem(const QlUiElem&) = default;
  QlUiElem& operator=(const QlUiElem&) = default;

 private:
  void MeasureErrorText(const D2ResInfo& d2);
  void FillDot(const D2ResInfo& d2, const ErrorTipLayout& layout);
};

}  // namespace NsOvrin::NsQlUiElem
