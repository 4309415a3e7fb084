#pragma once
// The frame and background of an owner-drawn control: straight lines, a
// rounded outline or an ellipse, flat or raised or sunken, on a solid or
// vertically graded fill, on the sides the control asks for.
#include <cstdint>

#include "wui/ImagePainter.h"
#include "wui/WRect.h"

class QPainter;

namespace NsOvrin::NsWui {

struct FrameStyle {
  // Bits of sides.
  static constexpr uint16_t kSideLeft = 1;
  static constexpr uint16_t kSideRight = 2;
  static constexpr uint16_t kSideTop = 4;
  static constexpr uint16_t kSideBottom = 8;

  // Values of kind.
  static constexpr int32_t kKindLines = 0;
  static constexpr int32_t kKindRounded = 1;
  static constexpr int32_t kKindRoundedRaised = 2;
  static constexpr int32_t kKindRoundedSunken = 3;
  static constexpr int32_t kKindEllipse = 4;
  static constexpr int32_t kKindLinesRaised = 5;
  static constexpr int32_t kKindLinesSunken = 6;

  uint32_t leftColour = 0x666666;
  uint32_t topColour = 0x666666;
  uint32_t rightColour = 0x666666;
  uint32_t bottomColour = 0x666666;
  // The background is painted only when set.
  bool background = false;
  int32_t kind = kKindRounded;
  ImagePainter image;
  // Fill colour, and the top colour of a gradient.
  uint32_t backgroundColour = 0xFFFFFFFF;
  // Bottom colour of a gradient; the right and bottom sides of the 3D kinds
  // derive from it.
  uint32_t gradientEndColour = 0xFFFFFFFF;
  // Vertical gradient instead of a solid fill (kinds 1 to 4).
  bool gradient = false;
  // Opacity of the ellipse's fill.
  uint8_t alpha = 255;
  uint16_t sides = 0;

  // The background, then the frame of the kind.
  void Draw(QPainter& painter, const WRect& rect) const;
  void DrawBackground(QPainter& painter, const WRect& rect) const;

  // Each channel 80 brighter (at most 255) or darker (at least 0).
  static uint32_t Lighter(uint32_t colour);
  static uint32_t Darker(uint32_t colour);

 private:
  void FillRoundedPath(QPainter& painter, const WRect& rect) const;
  void DrawLines(QPainter& painter, const WRect& rect) const;
  void DrawRoundedOutline(QPainter& painter, const WRect& rect) const;
  bool Has(uint16_t side) const { return (sides & side) != 0; }
};

}  // namespace NsOvrin::NsWui
