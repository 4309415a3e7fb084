#pragma once
// A brush of one colour, made by a render target. Recolouring it is how the
// brush cache serves every colour with a single brush.
#include "dx2d/D2Types.h"

namespace NsOvrin::NsDx2d {

class SolidColorBrush {
 public:
  explicit SolidColorBrush(const D2D_COLOR_F& colour) : colour_(colour) {}
  virtual ~SolidColorBrush() = default;

  void SetColor(const D2D_COLOR_F& colour) { colour_ = colour; }
  const D2D_COLOR_F& GetColor() const { return colour_; }

 private:
  D2D_COLOR_F colour_;
};

}  // namespace NsOvrin::NsDx2d
