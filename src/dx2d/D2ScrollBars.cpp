#include "dx2d/D2ScrollBars.h"

#include "dx2d/BrushCache.h"
#include "dx2d/D2Factory.h"
#include "dx2d/RenderTarget.h"

namespace NsOvrin::NsDx2d {

namespace {

void InitThumb(ShapePainter& thumb) {
  thumb.style = 0;
  thumb.borderColour = 0xCDCDCD;
  thumb.fillColour = 0xCDCDCD;
  thumb.opacity = 1.0f;
}

// Thumb length for a view of that size over that content. Content that is
// not positive (nothing laid out yet) counts as fitting the view.
float ThumbLength(float view, float content) {
  if (content <= 0.0f) return view - 4.0f;
  return (view - 4.0f) * view / content;
}

float Ratio(float view, float content) {
  const float travel = view - ThumbLength(view, content) - 4.0f;
  if (travel <= 1.0f) return 1.0f;
  return (content - view) / travel;
}

}  // namespace

D2ScrollBars::D2ScrollBars() {
  InitThumb(hThumb);
  InitThumb(vThumb);
}

D2ScrollBars::D2ScrollBars(const D2ScrollBars& other)
    : hRatio(other.hRatio),
      vRatio(other.vRatio),
      hPosition(other.hPosition),
      vPosition(other.vPosition),
      trackColour(other.trackColour),
      contentWidth(other.contentWidth),
      contentHeight(other.contentHeight),
      viewRect(other.viewRect),
      hThumb(other.hThumb),
      vThumb(other.vThumb) {}

D2ScrollBars& D2ScrollBars::operator=(const D2ScrollBars& other) {
  if (this == &other) return *this;
  hRatio = other.hRatio;
  vRatio = other.vRatio;
  hPosition = other.hPosition;
  vPosition = other.vPosition;
  trackColour = other.trackColour;
  contentWidth = other.contentWidth;
  contentHeight = other.contentHeight;
  viewRect = other.viewRect;
  hThumb = other.hThumb;
  vThumb = other.vThumb;
  cornerGripGeometry_.reset();
  return *this;
}

D2D_SIZE_F D2ScrollBars::GetViewSize() const {
  const float viewWidth = viewRect.right - viewRect.left;
  const float viewHeight = viewRect.bottom - viewRect.top;
  const bool vBarAtFirst = contentHeight > viewHeight + 1.0f;
  bool vBar = vBarAtFirst;
  float widthLeft = vBarAtFirst ? viewWidth - kVBarWidth : viewWidth;
  float heightLeft = viewHeight - kHBarHeight;
  if (contentWidth > viewWidth + 1.0f) {
    // The horizontal bar is needed whatever happens; it may push the
    // content below the bottom and so call for the vertical bar too.
    vBar = contentHeight > (viewHeight - kHBarHeight) + 1.0f;
  } else if (contentWidth <= widthLeft + 1.0f) {
    heightLeft = viewHeight;
  }
  if (!vBarAtFirst && vBar) widthLeft -= kVBarWidth;
  return {widthLeft, heightLeft};
}

void D2ScrollBars::UpdateThumbRatios(float viewWidth, float viewHeight) {
  hRatio = Ratio(viewWidth, contentWidth);
  vRatio = Ratio(viewHeight, contentHeight);
}

void D2ScrollBars::LayoutHThumb(const D2D_SIZE_F& view) {
  const float length = ThumbLength(view.width, contentWidth);
  const float x = (view.width - length - 4.0f) * hPosition + viewRect.left + 2.0f;
  hThumb.rect = {x, viewRect.bottom - 12.0f, x + length, viewRect.bottom - 3.0f};
  hThumb.cornerRadius = 3.0f;
  hThumb.ReleaseGeometry();
}

void D2ScrollBars::LayoutVThumb(const D2D_SIZE_F& view) {
  const float length = ThumbLength(view.height, contentHeight);
  const float y = (view.height - length - 4.0f) * vPosition + viewRect.top + 2.0f;
  vThumb.rect = {viewRect.right - 11.0f, y, viewRect.right - 3.0f, y + length};
  vThumb.cornerRadius = 3.0f;
  vThumb.ReleaseGeometry();
}

void D2ScrollBars::DrawCornerGrip(const D2ResInfo& d2) {
  if (d2.renderTarget == nullptr || d2.brushCache == nullptr) return;
  if (!cornerGripGeometry_ && d2.d2Factory != nullptr) {
    std::unique_ptr<PathGeometry> geometry = d2.d2Factory->CreatePathGeometry();
    GeometrySink* sink = geometry ? geometry->Open() : nullptr;
    if (sink != nullptr) {
      const float r = viewRect.right, b = viewRect.bottom;
      // An open figure; the fill closes it into a triangle.
      sink->BeginFigure({r - 3.0f, b - 12.0f}, FigureBegin::Filled);
      sink->AddLine({r - 3.0f, b - 3.0f});
      sink->AddLine({r - 11.0f, b - 3.0f});
      sink->EndFigure(FigureEnd::Open);
      if (sink->Close()) cornerGripGeometry_ = std::move(geometry);
    }
  }
  if (!cornerGripGeometry_) return;
  if (SolidColorBrush* brush = d2.brushCache->GetBrush(0xCDCDCD, 1.0f)) {
    d2.renderTarget->FillGeometry(*cornerGripGeometry_, *brush);
  }
}

}  // namespace NsOvrin::NsDx2d
