#pragma once
// Passive scroll bars of a drawn table: they show that more content exists
// and where the view is, but take no input. The vertical bar takes 11 px of
// the view's width, the horizontal bar 12 px of its height.
#include <memory>

#include "dx2d/D2ResInfo.h"
#include "dx2d/D2Types.h"
#include "dx2d/PathGeometry.h"
#include "dx2d/ShapePainter.h"

namespace NsOvrin::NsDx2d {

class D2ScrollBars {
 public:
  static constexpr float kVBarWidth = 11.0f;
  static constexpr float kHBarHeight = 12.0f;

  D2ScrollBars();
  // A copy takes the settings only and builds its own geometry.
  D2ScrollBars(const D2ScrollBars& other);
  D2ScrollBars& operator=(const D2ScrollBars& other);

  // The part of the view rectangle left for content once the bars the
  // content needs are taken off.
  D2D_SIZE_F GetViewSize() const;
  void UpdateThumbRatios(float viewWidth, float viewHeight);
  void LayoutHThumb() { LayoutHThumb(GetViewSize()); }
  void LayoutVThumb() { LayoutVThumb(GetViewSize()); }
  // The same with GetViewSize() already at hand.
  void LayoutHThumb(const D2D_SIZE_F& view);
  void LayoutVThumb(const D2D_SIZE_F& view);
  // The small triangle in the corner where both bars meet.
  void DrawCornerGrip(const D2ResInfo& d2);
  void ReleaseCornerGrip() { cornerGripGeometry_.reset(); }

  // Hidden extent per pixel of thumb travel.
  float hRatio = 1.0f;
  float vRatio = 1.0f;
  // 0..1: the fraction of the hidden extent scrolled.
  float hPosition = 0.0f;
  float vPosition = 0.0f;
  COLORREF trackColour = 0xF0F0F0;
  float contentWidth = 100.0f;
  float contentHeight = 100.0f;
  D2D_RECT_F viewRect{0.0f, 0.0f, 100.0f, 100.0f};
  ShapePainter hThumb;
  ShapePainter vThumb;

 private:
  std::unique_ptr<PathGeometry> cornerGripGeometry_;
};

}  // namespace NsOvrin::NsDx2d
