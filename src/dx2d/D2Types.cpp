#include "dx2d/D2Types.h"

#include <algorithm>
#include <cmath>

namespace NsOvrin::NsDx2d {

namespace {

COLORREF Channel(float value) {
  const float clamped = std::clamp(std::isnan(value) ? 0.0f : value, 0.0f, 1.0f);
  return static_cast<COLORREF>(std::lround(clamped * 255.0f));
}

}  // namespace

COLORREF ColorToRef(const D2D_COLOR_F& colour) {
  return Channel(colour.r) | (Channel(colour.g) << 8) | (Channel(colour.b) << 16);
}

}  // namespace NsOvrin::NsDx2d
