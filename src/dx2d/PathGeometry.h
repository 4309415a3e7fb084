#pragma once
// A device-independent path of figures made of lines and end-point arcs.
// It is written once through its sink (Open ... Close) and then only read;
// a geometry whose sink was not closed without error draws nothing.
#include <vector>

#include "dx2d/D2Types.h"

namespace NsOvrin::NsDx2d {

enum class FillMode { Alternate, Winding };
enum class FigureBegin { Filled, Hollow };
enum class FigureEnd { Open, Closed };
// Clockwise as seen on the screen (y down).
enum class SweepDirection { CounterClockwise, Clockwise };
enum class ArcSize { Small, Large };

struct ArcSegment {
  D2D_POINT_2F point;  // end point
  D2D_SIZE_F size;     // radii
  float rotationAngle = 0.0f;  // degrees, of the ellipse's x axis
  SweepDirection sweepDirection = SweepDirection::Clockwise;
  ArcSize arcSize = ArcSize::Small;
  bool operator==(const ArcSegment&) const = default;
};

struct PathSegment {
  enum class Kind { Line, Arc };
  Kind kind = Kind::Line;
  D2D_POINT_2F point;  // end point of both kinds
  ArcSegment arc;      // Arc only
  bool operator==(const PathSegment&) const = default;
};

struct PathFigure {
  D2D_POINT_2F start;
  FigureBegin begin = FigureBegin::Filled;
  FigureEnd end = FigureEnd::Open;
  std::vector<PathSegment> segments;
  bool operator==(const PathFigure&) const = default;
};

class PathGeometry;

class GeometrySink {
 public:
  void SetFillMode(FillMode mode);
  void BeginFigure(D2D_POINT_2F start, FigureBegin begin);
  void AddLine(D2D_POINT_2F point);
  void AddArc(const ArcSegment& arc);
  void EndFigure(FigureEnd end);
  // False when the sink was misused (a segment outside a figure, a figure
  // left open, a second close); the geometry then stays unusable.
  bool Close();

 private:
  friend class PathGeometry;
  explicit GeometrySink(PathGeometry& owner) : owner_(owner) {}

  PathGeometry& owner_;
  bool inFigure_ = false;
  bool failed_ = false;
  bool closed_ = false;
};

class PathGeometry {
 public:
  PathGeometry() : sink_(*this) {}
  PathGeometry(const PathGeometry&) = delete;
  PathGeometry& operator=(const PathGeometry&) = delete;
  virtual ~PathGeometry() = default;

  // The sink, once; null when the geometry was opened before.
  GeometrySink* Open();

  bool IsClosed() const { return closed_; }
  FillMode GetFillMode() const { return fillMode_; }
  const std::vector<PathFigure>& Figures() const { return figures_; }

 private:
  friend class GeometrySink;

  GeometrySink sink_;
  bool opened_ = false;
  bool closed_ = false;
  FillMode fillMode_ = FillMode::Alternate;
  std::vector<PathFigure> figures_;
};

}  // namespace NsOvrin::NsDx2d
