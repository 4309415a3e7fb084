#pragma once
// Body and frame of a rectangular element in one of eleven styles:
//   0 flat frame          1 raised bevel          2 check box, empty
//   3 circle              4 switch, knob left     5 sunken bevel
//   6 plain rectangle     7 check box, ticked     8 switch, knob left, pressed
//   9 switch, knob right  10 switch, knob right, pressed
// Any other style draws nothing. The path geometries a style needs are built
// on first use and kept: whoever changes the rectangle, a width, the radius
// or the style calls ReleaseGeometry, or the old shape keeps being drawn.
#include <cstdint>
#include <memory>

#include "dx2d/D2ResInfo.h"
#include "dx2d/D2Types.h"
#include "dx2d/PathGeometry.h"

namespace NsOvrin::NsDx2d {

class ShapePainter {
 public:
  ShapePainter() = default;
  // A copy takes the settings only and builds its own geometry.
  ShapePainter(const ShapePainter& other);
  ShapePainter& operator=(const ShapePainter& other);
  ~ShapePainter();

  // The body in the fill colour at the painter's opacity.
  void Fill(const D2ResInfo& d2);
  // The frame; nothing unless the context has a render target, a text-format
  // cache and a brush cache.
  void Draw(const D2ResInfo& d2);
  void ReleaseGeometry();

  // Bevel colours from the fill colour: each channel c becomes
  // min(255, c + trunc(1.5 c)), respectively max(0, c - 48).
  static COLORREF LighterColour(COLORREF colour);
  static COLORREF DarkerColour(COLORREF colour);

  float cornerRadius = 0.0f;
  // Stroke of style 0 and of the check-box outline; inset of the switch track.
  float borderWidth = 1.0f;
  // Stroke width and inset of the bevel edges.
  float bevelWidth = 1.3f;
  // Stroke of the switch track's outline.
  float switchFrameWidth = 1.0f;
  COLORREF borderColour = 0;
  COLORREF fillColour = 0;
  float opacity = 1.0f;
  D2D_RECT_F rect;
  int32_t style = 0;

 private:
  void BuildBevelGeometry(D2Factory* factory);
  void BuildCheckMarkGeometry(D2Factory* factory);
  void BuildSwitchTrackGeometry(D2Factory* factory);
  void DrawSwitchKnob(const D2ResInfo& d2);
  D2D_RECT_F CheckBoxRect() const;
  Ellipse Circle() const;

  std::unique_ptr<PathGeometry> lightEdgeGeometry_;  // top and left edges
  std::unique_ptr<PathGeometry> darkEdgeGeometry_;   // right and bottom edges
  std::unique_ptr<PathGeometry> checkMarkGeometry_;
  std::unique_ptr<PathGeometry> switchTrackGeometry_;
};

}  // namespace NsOvrin::NsDx2d
