#include "dx2d/qt/QtPath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace NsOvrin::NsDx2d {

namespace {

double VectorAngle(double ux, double uy, double vx, double vy) {
  return std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
}

}  // namespace

void AppendArc(QPainterPath& path, const ArcSegment& arc) {
  const QPointF from = path.currentPosition();
  const QPointF to(arc.point.x, arc.point.y);
  if (from == to) return;
  double rx = std::fabs(static_cast<double>(arc.size.width));
  double ry = std::fabs(static_cast<double>(arc.size.height));
  if (rx == 0.0 || ry == 0.0 || !std::isfinite(rx) || !std::isfinite(ry)) {
    path.lineTo(to);
    return;
  }
  const double phi = static_cast<double>(arc.rotationAngle) * std::numbers::pi / 180.0;
  const double cosPhi = std::cos(phi), sinPhi = std::sin(phi);
  // The start point in the ellipse's own axes, relative to the chord's middle.
  const double hx = (from.x() - to.x()) / 2.0, hy = (from.y() - to.y()) / 2.0;
  const double x1 = cosPhi * hx + sinPhi * hy;
  const double y1 = -sinPhi * hx + cosPhi * hy;
  const double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
  if (lambda > 1.0) {
    rx *= std::sqrt(lambda);
    ry *= std::sqrt(lambda);
  }
  const double num = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
  const double den = rx * rx * y1 * y1 + ry * ry * x1 * x1;
  const bool large = arc.arcSize == ArcSize::Large;
  const bool clockwise = arc.sweepDirection == SweepDirection::Clockwise;
  double coef = den > 0.0 ? std::sqrt(std::max(0.0, num / den)) : 0.0;
  if (large == clockwise) coef = -coef;
  const double cxPrime = coef * rx * y1 / ry;
  const double cyPrime = -coef * ry * x1 / rx;
  const double cx = cosPhi * cxPrime - sinPhi * cyPrime + (from.x() + to.x()) / 2.0;
  const double cy = sinPhi * cxPrime + cosPhi * cyPrime + (from.y() + to.y()) / 2.0;
  const double theta = VectorAngle(1.0, 0.0, (x1 - cxPrime) / rx, (y1 - cyPrime) / ry);
  double sweep = VectorAngle((x1 - cxPrime) / rx, (y1 - cyPrime) / ry, (-x1 - cxPrime) / rx,
                             (-y1 - cyPrime) / ry);
  // With y pointing down, a growing angle turns clockwise on the screen.
  if (clockwise && sweep < 0.0) sweep += 2.0 * std::numbers::pi;
  if (!clockwise && sweep > 0.0) sweep -= 2.0 * std::numbers::pi;

  auto pointAt = [&](double angle) {
    const double ex = rx * std::cos(angle), ey = ry * std::sin(angle);
    return QPointF(cx + cosPhi * ex - sinPhi * ey, cy + sinPhi * ex + cosPhi * ey);
  };
  auto tangentAt = [&](double angle) {
    const double ex = -rx * std::sin(angle), ey = ry * std::cos(angle);
    return QPointF(cosPhi * ex - sinPhi * ey, sinPhi * ex + cosPhi * ey);
  };
  const int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / (std::numbers::pi / 2.0) - 1e-9)));
  const double step = sweep / pieces;
  const double k = 4.0 / 3.0 * std::tan(step / 4.0);
  double angle = theta;
  for (int i = 0; i < pieces; ++i) {
    const double next = angle + step;
    const QPointF end = i + 1 == pieces ? to : pointAt(next);
    path.cubicTo(pointAt(angle) + k * tangentAt(angle), pointAt(next) - k * tangentAt(next), end);
    angle = next;
  }
}

QPainterPath ToPainterPath(const PathGeometry& geometry, bool forFill) {
  QPainterPath path;
  path.setFillRule(geometry.GetFillMode() == FillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
  for (const PathFigure& figure : geometry.Figures()) {
    if (forFill && figure.begin == FigureBegin::Hollow) continue;
    path.moveTo(figure.start.x, figure.start.y);
    for (const PathSegment& segment : figure.segments) {
      if (segment.kind == PathSegment::Kind::Line) {
        path.lineTo(segment.point.x, segment.point.y);
      } else {
        AppendArc(path, segment.arc);
      }
    }
    if (figure.end == FigureEnd::Closed) path.closeSubpath();
  }
  return path;
}

}  // namespace NsOvrin::NsDx2d
