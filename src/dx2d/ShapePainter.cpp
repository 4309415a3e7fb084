#include "dx2d/ShapePainter.h"

#include <algorithm>

#include "dx2d/BrushCache.h"
#include "dx2d/D2Factory.h"
#include "dx2d/RenderTarget.h"

namespace NsOvrin::NsDx2d {

namespace {

ArcSegment ClockwiseArc(D2D_POINT_2F to, float radius, ArcSize size) {
  ArcSegment arc;
  arc.point = to;
  arc.size = {radius, radius};
  arc.rotationAngle = 0.0f;
  arc.sweepDirection = SweepDirection::Clockwise;
  arc.arcSize = size;
  return arc;
}

// Only a geometry closed without error is kept.
std::unique_ptr<PathGeometry> Finish(std::unique_ptr<PathGeometry> geometry, GeometrySink* sink) {
  if (sink == nullptr || !sink->Close()) return nullptr;
  return geometry;
}

template <typename Channel>
COLORREF MapChannels(COLORREF colour, Channel channel) {
  const COLORREF r = channel(static_cast<int32_t>(colour & 0xFF));
  const COLORREF g = channel(static_cast<int32_t>((colour >> 8) & 0xFF));
  const COLORREF b = channel(static_cast<int32_t>((colour >> 16) & 0xFF));
  return r | (g << 8) | (b << 16);
}

}  // namespace

ShapePainter::ShapePainter(const ShapePainter& other)
    : cornerRadius(other.cornerRadius),
      borderWidth(other.borderWidth),
      bevelWidth(other.bevelWidth),
      switchFrameWidth(other.switchFrameWidth),
      borderColour(other.borderColour),
      fillColour(other.fillColour),
      opacity(other.opacity),
      rect(other.rect),
      style(other.style) {}

ShapePainter& ShapePainter::operator=(const ShapePainter& other) {
  if (this == &other) return *this;
  ReleaseGeometry();
  cornerRadius = other.cornerRadius;
  borderWidth = other.borderWidth;
  bevelWidth = other.bevelWidth;
  switchFrameWidth = other.switchFrameWidth;
  borderColour = other.borderColour;
  fillColour = other.fillColour;
  opacity = other.opacity;
  rect = other.rect;
  style = other.style;
  return *this;
}

ShapePainter::~ShapePainter() { ReleaseGeometry(); }

void ShapePainter::ReleaseGeometry() {
  lightEdgeGeometry_.reset();
  darkEdgeGeometry_.reset();
  checkMarkGeometry_.reset();
  switchTrackGeometry_.reset();
}

COLORREF ShapePainter::LighterColour(COLORREF colour) {
  return MapChannels(colour, [](int32_t c) {
    return static_cast<COLORREF>(std::min(255, c + static_cast<int32_t>(1.5 * c)));
  });
}

COLORREF ShapePainter::DarkerColour(COLORREF colour) {
  return MapChannels(colour, [](int32_t c) { return static_cast<COLORREF>(std::max(0, c - 48)); });
}

void ShapePainter::Fill(const D2ResInfo& d2) {
  RenderTarget* target = d2.renderTarget;
  if (target == nullptr || d2.brushCache == nullptr) return;
  switch (style) {
    case 0:
    case 1:
    case 2:
    case 5:
    case 7:
      if (SolidColorBrush* brush = d2.brushCache->GetBrush(fillColour, opacity)) {
        target->FillRoundedRectangle({rect, cornerRadius, cornerRadius}, *brush);
      }
      break;
    case 6:
      if (SolidColorBrush* brush = d2.brushCache->GetBrush(fillColour, opacity)) {
        target->FillRectangle(rect, *brush);
      }
      break;
    case 3:
      if (SolidColorBrush* brush = d2.brushCache->GetBrush(fillColour, opacity)) {
        target->FillEllipse(Circle(), *brush);
      }
      break;
    case 4:
    case 8:
    case 9:
    case 10:
      BuildSwitchTrackGeometry(d2.d2Factory);
      if (!switchTrackGeometry_) break;
      if (SolidColorBrush* brush = d2.brushCache->GetBrush(fillColour, opacity)) {
        target->FillGeometry(*switchTrackGeometry_, *brush);
      }
      break;
    default:
      break;
  }
}

void ShapePainter::Draw(const D2ResInfo& d2) {
  RenderTarget* target = d2.renderTarget;
  if (target == nullptr || d2.textFormatCache == nullptr || d2.brushCache == nullptr) return;
  BrushCache& brushes = *d2.brushCache;
  switch (style) {
    case 0: {
      SolidColorBrush* brush = brushes.GetBrush(borderColour, opacity);
      if (brush == nullptr) break;
      if (cornerRadius == 0.0f) {
        target->DrawRectangle(rect, *brush, borderWidth);
      } else {
        // Inset so that the whole stroke lies inside the rectangle.
        const float half = borderWidth / 2.0f;
        const D2D_RECT_F inner{rect.left + half, rect.top + half, rect.right - half, rect.bottom - half};
        target->DrawRoundedRectangle({inner, cornerRadius, cornerRadius}, *brush, borderWidth);
      }
      break;
    }
    case 1:
    case 5: {
      BuildBevelGeometry(d2.d2Factory);
      const COLORREF lighter = LighterColour(fillColour);
      const COLORREF darker = DarkerColour(fillColour);
      const COLORREF lightEdge = style == 1 ? lighter : darker;
      const COLORREF darkEdge = style == 1 ? darker : lighter;
      if (lightEdgeGeometry_) {
        if (SolidColorBrush* brush = brushes.GetBrush(lightEdge, opacity)) {
          target->DrawGeometry(*lightEdgeGeometry_, *brush, bevelWidth);
        }
      }
      if (darkEdgeGeometry_) {
        if (SolidColorBrush* brush = brushes.GetBrush(darkEdge, opacity)) {
          target->DrawGeometry(*darkEdgeGeometry_, *brush, bevelWidth);
        }
      }
      break;
    }
    case 2:
    case 7: {
      const bool ticked = style == 7;
      const D2D_RECT_F box = CheckBoxRect();
      if (SolidColorBrush* brush = brushes.GetBrush(0xFFFFFF, ticked ? 0.9f : 0.6f)) {
        target->FillRectangle(box, *brush);
      }
      if (SolidColorBrush* brush = brushes.GetBrush(ticked ? 0x666666 : 0xC8C8C8, 1.0f)) {
        target->DrawRectangle(box, *brush, borderWidth);
      }
      if (!ticked) break;
      BuildCheckMarkGeometry(d2.d2Factory);
      if (!checkMarkGeometry_) break;
      if (SolidColorBrush* brush = brushes.GetBrush(0xE97302, opacity)) {
        target->DrawGeometry(*checkMarkGeometry_, *brush, 2.0f);
      }
      break;
    }
    case 3:
      if (SolidColorBrush* brush = brushes.GetBrush(borderColour, opacity)) {
        target->DrawEllipse(Circle(), *brush, 1.0f);
      }
      break;
    case 4:
    case 8:
    case 9:
    case 10:
      BuildSwitchTrackGeometry(d2.d2Factory);
      if (switchTrackGeometry_) {
        if (SolidColorBrush* brush = brushes.GetBrush(borderColour, opacity)) {
          target->DrawGeometry(*switchTrackGeometry_, *brush, switchFrameWidth);
        }
      }
      DrawSwitchKnob(d2);
      break;
    default:
      break;
  }
}

void ShapePainter::DrawSwitchKnob(const D2ResInfo& d2) {
  const float w = rect.right - rect.left;
  const float h = rect.bottom - rect.top;
  const float k = std::min(w, h) / 2.0f - 3.0f;
  float x = 0.0f;
  switch (style) {
    case 4: x = rect.left + k + 3.0f; break;
    case 8: x = rect.left + k + 6.0f; break;
    case 9: x = rect.right - k - 3.0f; break;
    default: x = rect.right - k - 6.0f; break;
  }
  const Ellipse knob{{x, rect.top + k + 3.0f}, k, k};
  if (SolidColorBrush* brush = d2.brushCache->GetBrush(0xFFFFFF, 0.9f)) {
    d2.renderTarget->FillEllipse(knob, *brush);
  }
  if (SolidColorBrush* brush = d2.brushCache->GetBrush(0xC0C0C0, 0.8f)) {
    d2.renderTarget->DrawEllipse(knob, *brush, 1.0f);
  }
}

D2D_RECT_F ShapePainter::CheckBoxRect() const {
  const float centreY = (rect.top + rect.bottom) / 2.0f;
  return {rect.left + 6.0f, centreY - 8.0f, rect.left + 22.0f, centreY + 8.0f};
}

Ellipse ShapePainter::Circle() const {
  const float d = std::min(rect.right - rect.left, rect.bottom - rect.top) / 2.0f;
  return {{rect.left + d, rect.top + d}, d, d};
}

void ShapePainter::BuildBevelGeometry(D2Factory* factory) {
  if (factory == nullptr) return;
  const float l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
  const float q = bevelWidth / 2.0f;
  const float radius = cornerRadius;
  if (!lightEdgeGeometry_) {
    std::unique_ptr<PathGeometry> geometry = factory->CreatePathGeometry();
    if (geometry) {
      GeometrySink* sink = geometry->Open();
      if (sink != nullptr) {
        sink->SetFillMode(FillMode::Winding);
        sink->BeginFigure({l + q + radius, b - q}, FigureBegin::Hollow);
        sink->AddArc(ClockwiseArc({l + q, b - q - radius}, radius, ArcSize::Small));
        sink->AddLine({l + q, t + q + radius});
        sink->AddArc(ClockwiseArc({l + q + radius, t + q}, radius, ArcSize::Small));
        sink->AddLine({r - q - radius, t + q});
        sink->EndFigure(FigureEnd::Open);
      }
      lightEdgeGeometry_ = Finish(std::move(geometry), sink);
    }
  }
  if (!darkEdgeGeometry_) {
    std::unique_ptr<PathGeometry> geometry = factory->CreatePathGeometry();
    if (geometry) {
      GeometrySink* sink = geometry->Open();
      if (sink != nullptr) {
        sink->SetFillMode(FillMode::Winding);
        sink->BeginFigure({r - q - radius, t + q}, FigureBegin::Hollow);
        sink->AddArc(ClockwiseArc({r - q, t + q + radius}, radius, ArcSize::Small));
        sink->AddLine({r - q, b - q - radius});
        sink->AddArc(ClockwiseArc({r - q - radius, b - q}, radius, ArcSize::Small));
        sink->AddLine({l + q + radius, b - q});
        sink->EndFigure(FigureEnd::Open);
      }
      darkEdgeGeometry_ = Finish(std::move(geometry), sink);
    }
  }
}

void ShapePainter::BuildCheckMarkGeometry(D2Factory* factory) {
  if (checkMarkGeometry_ || factory == nullptr) return;
  std::unique_ptr<PathGeometry> geometry = factory->CreatePathGeometry();
  if (!geometry) return;
  const D2D_RECT_F box = CheckBoxRect();
  const float x0 = box.left, y0 = box.top, side = 16.0f;
  GeometrySink* sink = geometry->Open();
  if (sink != nullptr) {
    sink->BeginFigure({x0 + 0.196f * side, y0 + 0.433f * side}, FigureBegin::Hollow);
    sink->AddLine({x0 + 0.431f * side, y0 + side - 0.293f * side});
    sink->AddLine({x0 + 0.854f * side, y0 + 0.153f * side});
    sink->EndFigure(FigureEnd::Open);
  }
  checkMarkGeometry_ = Finish(std::move(geometry), sink);
}

void ShapePainter::BuildSwitchTrackGeometry(D2Factory* factory) {
  if (switchTrackGeometry_ || factory == nullptr) return;
  std::unique_ptr<PathGeometry> geometry = factory->CreatePathGeometry();
  if (!geometry) return;
  const float q = borderWidth / 2.0f;
  const float l = rect.left + q, t = rect.top + q, r = rect.right - q, b = rect.bottom - q;
  // A pill: two half circles of radius d joined by straight edges.
  const float d = std::min(b - t, r - l) / 2.0f;
  GeometrySink* sink = geometry->Open();
  if (sink != nullptr) {
    sink->SetFillMode(FillMode::Winding);
    sink->BeginFigure({l + d, b}, FigureBegin::Filled);
    sink->AddArc(ClockwiseArc({l + d, t}, d, ArcSize::Large));
    sink->AddLine({r - d, t});
    sink->AddArc(ClockwiseArc({r - d, b}, d, ArcSize::Large));
    sink->AddLine({l + d, b});
    sink->EndFigure(FigureEnd::Closed);
  }
  switchTrackGeometry_ = Finish(std::move(geometry), sink);
}

}  // namespace NsOvrin::NsDx2d
