#pragma once
// A picture drawn into a rectangle: at its own size from the rectangle's
// top-left corner (mode 0) or stretched over the rectangle (mode 1).
#include <cstdint>

#include <QImage>

#include "wui/WRect.h"

class QPainter;

namespace NsOvrin::NsWui {

struct ImagePainter {
  static constexpr int32_t kModeOwnSize = 0;
  static constexpr int32_t kModeStretch = 1;

  // Null: no picture.
  QImage image;
  WRect rect;
  int32_t mode = kModeStretch;

  // Nothing without a picture or with another mode.
  void Draw(QPainter* painter) const;
};

}  // namespace NsOvrin::NsWui
