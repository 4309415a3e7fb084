#pragma once
// A caption drawn on one line in a rectangle, left, centred or right, with
// an optional icon in front of it.
#include <cstdint>
#include <string>

#include "wui/WRect.h"

class QImage;
class QPainter;

namespace NsOvrin::NsWui {

struct TextLayout {
  static constexpr int32_t kAlignLeft = 0;
  static constexpr int32_t kAlignCentre = 1;
  static constexpr int32_t kAlignRight = 2;

  uint32_t textColour = 0;
  // Tenths of a point.
  int32_t fontSize = 90;
  int32_t alignment = kAlignLeft;
  // Empty: the system's caption face, looked up on first use.
  std::string face;
  // Not owned; may be null.
  const QImage* icon = nullptr;

  void Draw(QPainter& painter, const WRect& rect, const std::string& text);
  const std::string& GetFace();
};

}  // namespace NsOvrin::NsWui
