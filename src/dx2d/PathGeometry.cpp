#include "dx2d/PathGeometry.h"

namespace NsOvrin::NsDx2d {

void GeometrySink::SetFillMode(FillMode mode) {
  if (closed_ || inFigure_) {
    failed_ = true;
    return;
  }
  owner_.fillMode_ = mode;
}

void GeometrySink::BeginFigure(D2D_POINT_2F start, FigureBegin begin) {
  if (closed_ || inFigure_) {
    failed_ = true;
    return;
  }
  PathFigure figure;
  figure.start = start;
  figure.begin = begin;
  owner_.figures_.push_back(std::move(figure));
  inFigure_ = true;
}

void GeometrySink::AddLine(D2D_POINT_2F point) {
  if (closed_ || !inFigure_) {
    failed_ = true;
    return;
  }
  PathSegment segment;
  segment.kind = PathSegment::Kind::Line;
  segment.point = point;
  owner_.figures_.back().segments.push_back(segment);
}

void GeometrySink::AddArc(const ArcSegment& arc) {
  if (closed_ || !inFigure_) {
    failed_ = true;
    return;
  }
  PathSegment segment;
  segment.kind = PathSegment::Kind::Arc;
  segment.point = arc.point;
  segment.arc = arc;
  owner_.figures_.back().segments.push_back(segment);
}

void GeometrySink::EndFigure(FigureEnd end) {
  if (closed_ || !inFigure_) {
    failed_ = true;
    return;
  }
  owner_.figures_.back().end = end;
  inFigure_ = false;
}

bool GeometrySink::Close() {
  if (closed_) return false;
  closed_ = true;
  if (inFigure_) failed_ = true;
  owner_.closed_ = !failed_;
  return !failed_;
}

GeometrySink* PathGeometry::Open() {
  if (opened_) return nullptr;
  opened_ = true;
  return &sink_;
}

}  // namespace NsOvrin::NsDx2d
