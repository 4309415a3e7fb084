#include "dx2d/qt/QtPath.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace NsOvrin::NsDx2d;

namespace {

ArcSegment Arc(D2D_POINT_2F to, float radius, SweepDirection sweep, ArcSize size) {
  ArcSegment arc;
  arc.point = to;
  arc.size = {radius, radius};
  arc.sweepDirection = sweep;
  arc.arcSize = size;
  return arc;
}

}  // namespace

TEST(QtPath, EndPointArcsGoTheWayTheirSweepAndSizeSay) {
  const double h = 10.0 / std::sqrt(2.0);
  struct Case {
    const char* name;
    D2D_POINT_2F from;
    ArcSegment arc;
    QPointF middle;
  };
  const Case cases[] = {
      // From 9 to 12 o'clock round (10,10), or the other way round (0,0).
      {"quarter clockwise", {0, 10}, Arc({10, 0}, 10, SweepDirection::Clockwise, ArcSize::Small),
       {10 - h, 10 - h}},
      {"quarter counter-clockwise", {0, 10}, Arc({10, 0}, 10, SweepDirection::CounterClockwise, ArcSize::Small),
       {h, h}},
      {"three quarters clockwise", {0, 10}, Arc({10, 0}, 10, SweepDirection::Clockwise, ArcSize::Large),
       {-h, -h}},
      // Radii too small to span the points grow to a half circle.
      {"grown radius", {0, 0}, Arc({20, 0}, 5, SweepDirection::Clockwise, ArcSize::Small), {10, -10}},
      {"zero radius is a line", {0, 0}, Arc({20, 0}, 0, SweepDirection::Clockwise, ArcSize::Small), {10, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QPainterPath path(QPointF(c.from.x, c.from.y));
    AppendArc(path, c.arc);
    EXPECT_EQ(path.currentPosition(), QPointF(c.arc.point.x, c.arc.point.y));
    const QPointF middle = path.pointAtPercent(0.5);
    EXPECT_NEAR(middle.x(), c.middle.x(), 0.05);
    EXPECT_NEAR(middle.y(), c.middle.y(), 0.05);
  }
}

TEST(QtPath, AnArcToItsOwnStartAddsNothing) {
  QPainterPath path(QPointF(3, 4));
  AppendArc(path, Arc({3, 4}, 5, SweepDirection::Clockwise, ArcSize::Large));
  EXPECT_EQ(path.elementCount(), 1);
}

TEST(QtPath, FillLeavesOutHollowFigures) {
  PathGeometry geometry;
  GeometrySink* sink = geometry.Open();
  sink->SetFillMode(FillMode::Winding);
  sink->BeginFigure({0, 0}, FigureBegin::Hollow);
  sink->AddLine({10, 0});
  sink->EndFigure(FigureEnd::Open);
  sink->BeginFigure({0, 20}, FigureBegin::Filled);
  sink->AddLine({10, 20});
  sink->AddLine({10, 30});
  sink->EndFigure(FigureEnd::Closed);
  ASSERT_TRUE(sink->Close());

  const QPainterPath fill = ToPainterPath(geometry, true);
  const QPainterPath stroke = ToPainterPath(geometry, false);
  EXPECT_EQ(fill.fillRule(), Qt::WindingFill);
  EXPECT_EQ(fill.boundingRect(), QRectF(0, 20, 10, 10));
  EXPECT_EQ(stroke.boundingRect(), QRectF(0, 0, 10, 30));
  // The closed figure ends back at its start.
  EXPECT_EQ(fill.currentPosition(), QPointF(0, 20));
}
