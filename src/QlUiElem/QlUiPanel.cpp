#include "QlUiElem/QlUiPanel.h"

#include "dx2d/BrushCache.h"
#include "dx2d/D2Factory.h"
#include "dx2d/RenderTarget.h"
#include "dx2d/TextFormatCache.h"

namespace NsOvrin::NsQlUiElem {
namespace {

using NsDx2d::PathGeometry;
using NsDx2d::SolidColorBrush;

constexpr float kBorderWidth = 1.0f;

NsDx2d::ArcSegment CornerArc(NsDx2d::D2D_POINT_2F to) {
  NsDx2d::ArcSegment arc;
  arc.point = to;
  arc.size = {QlUiPanel::kCornerRadius, QlUiPanel::kCornerRadius};
  arc.rotationAngle = 0.0f;
  arc.sweepDirection = NsDx2d::SweepDirection::Clockwise;
  arc.arcSize = NsDx2d::ArcSize::Small;
  return arc;
}

// One closed figure from start through the points the writer adds; only a
// geometry whose sink closed without error is kept.
template <typename Writer>
std::unique_ptr<PathGeometry> BuildFigure(NsDx2d::D2Factory* factory, NsDx2d::D2D_POINT_2F start,
                                          Writer write) {
  if (factory == nullptr) return nullptr;
  std::unique_ptr<PathGeometry> geometry = factory->CreatePathGeometry();
  if (!geometry) return nullptr;
  NsDx2d::GeometrySink* sink = geometry->Open();
  if (sink == nullptr) return nullptr;
  sink->SetFillMode(NsDx2d::FillMode::Winding);
  sink->BeginFigure(start, NsDx2d::FigureBegin::Filled);
  write(*sink);
  sink->EndFigure(NsDx2d::FigureEnd::Closed);
  if (!sink->Close()) return nullptr;
  return geometry;
}

}  // namespace

QlUiPanel::QlUiPanel(const QlUiPanel& other)
    : QlUiElem(other),
      rect(other.rect),
      title(other.title),
      fontSize(other.fontSize),
      textColour(other.textColour),
      titleBkColour(other.titleBkColour),
      borderColour(other.borderColour),
      bkColour(other.bkColour) {}

std::shared_ptr<QlUiPanel> QlUiPanel::Clone() const {
  return std::shared_ptr<QlUiPanel>(new QlUiPanel(*this));
}

void QlUiPanel::SetRect(const D2D_RECT_F& r) {
  rect = r;
  ReleaseGeometry();
}

void QlUiPanel::ReleaseGeometry() {
  titleBarGeometry_.reset();
  outlineGeometry_.reset();
}

void QlUiPanel::AddTopCorners(NsDx2d::GeometrySink& sink, const D2D_RECT_F& r) {
  sink.AddLine({r.left, r.top + kCornerRadius});
  sink.AddArc(CornerArc({r.left + kCornerRadius, r.top}));
  sink.AddLine({r.right - kCornerRadius, r.top});
  sink.AddArc(CornerArc({r.right, r.top + kCornerRadius}));
}

PathGeometry* QlUiPanel::GetTitleBarGeometry(NsDx2d::D2Factory* factory) {
  if (!titleBarGeometry_) {
    const D2D_RECT_F r = rect;
    const float barBottom = r.top + kTitleBarHeight;
    titleBarGeometry_ = BuildFigure(factory, {r.left, barBottom}, [&](NsDx2d::GeometrySink& sink) {
      AddTopCorners(sink, r);
      sink.AddLine({r.right, barBottom});
      sink.AddLine({r.left, barBottom});
    });
  }
  return titleBarGeometry_.get();
}

PathGeometry* QlUiPanel::GetOutlineGeometry(NsDx2d::D2Factory* factory) {
  if (!outlineGeometry_) {
    const D2D_RECT_F r = rect;
    const bool withTitle = !title.empty();
    outlineGeometry_ = BuildFigure(factory, {r.left, r.bottom}, [&](NsDx2d::GeometrySink& sink) {
      if (withTitle) AddTopCorners(sink, r);
      sink.AddLine({r.right, r.bottom});
      sink.AddLine({r.left, r.bottom});
    });
  }
  return outlineGeometry_.get();
}

void QlUiPanel::Draw(const D2ResInfo& d2) {
  if (d2.renderTarget == nullptr || d2.textFormatCache == nullptr || d2.brushCache == nullptr) return;
  NsDx2d::RenderTarget& target = *d2.renderTarget;
  const bool withTitle = !title.empty();

  D2D_RECT_F body = rect;
  if (withTitle) body.top += kTitleBarHeight;
  // The brush is recoloured by every request: draw with it at once.
  if (SolidColorBrush* brush = d2.brushCache->GetBrush(bkColour, 1.0f)) target.FillRectangle(body, *brush);

  if (withTitle) {
    if (SolidColorBrush* brush = d2.brushCache->GetBrush(titleBkColour, 1.0f)) {
      // Without the geometry the bar keeps its place, with square corners.
      if (const PathGeometry* bar = GetTitleBarGeometry(d2.d2Factory)) {
        target.FillGeometry(*bar, *brush);
      } else {
        target.FillRectangle({rect.left, rect.top, rect.right, rect.top + kTitleBarHeight}, *brush);
      }
    }
    DrawTitle(d2);
  }

  if (SolidColorBrush* brush = d2.brushCache->GetBrush(borderColour, 1.0f)) {
    const PathGeometry* outline = withTitle ? GetOutlineGeometry(d2.d2Factory) : nullptr;
    if (outline != nullptr) {
      target.DrawGeometry(*outline, *brush, kBorderWidth);
    } else {
      target.DrawRectangle(rect, *brush, kBorderWidth);
    }
  }
}

void QlUiPanel::DrawTitle(const D2ResInfo& d2) {
  NsDx2d::TextFormat* format = d2.textFormatCache->GetFormat(fontSize);
  if (format == nullptr) return;
  // The cached format keeps these for its next user.
  format->SetTextAlignment(NsDx2d::TextAlignment::Center);
  format->SetParagraphAlignment(NsDx2d::ParagraphAlignment::Center);
  SolidColorBrush* brush = d2.brushCache->GetBrush(textColour, 1.0f);
  if (brush == nullptr) return;
  d2.renderTarget->DrawText(title, *format, {rect.left, rect.top, rect.right, rect.top + kTitleBarHeight},
                            *brush);
}

}  // namespace NsOvrin::NsQlUiElem
