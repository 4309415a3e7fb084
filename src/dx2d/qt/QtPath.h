#pragma once
// Path geometries as Qt painter paths. End-point arcs become cubic Bezier
// curves (at most a quarter turn each) through the ellipse's centre found
// from the two end points, radii, rotation, sweep and size, the radii grown
// when they cannot span the two points.
#include <QPainterPath>
#include <QPointF>

#include "dx2d/PathGeometry.h"

namespace NsOvrin::NsDx2d {

void AppendArc(QPainterPath& path, const ArcSegment& arc);
// forFill leaves out the hollow figures, which take no part in a fill.
QPainterPath ToPainterPath(const PathGeometry& geometry, bool forFill);

}  // namespace NsOvrin::NsDx2d
