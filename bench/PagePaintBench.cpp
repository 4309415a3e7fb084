// Painting one generated page of 98 elements (7 of each kind) into an image:
// through the render target with its caches, as the page view paints, and as
// a bare QPainter replay of the primitives the recording target captured from
// the same drawing. The two take turns; prints the ratio of their fastest
// times per page.
#include <benchmark/benchmark.h>

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>

#include "FastestTime.h"
#include "ProjectGen.h"
#include "QlUiElem/QlPageData.h"
#include "QlUiElem/QlUiElem.h"
#include "RunBenchmarks.h"
#include "dx2d/BitmapCache.h"
#include "dx2d/BrushCache.h"
#include "dx2d/D2Factory.h"
#include "dx2d/RecordingDrawContext.h"
#include "dx2d/TextFormatCache.h"
#include "dx2d/qt/QtDWriteFactory.h"
#include "dx2d/qt/QtPath.h"
#include "dx2d/qt/QtRenderTarget.h"
#include "project_persistence/PageCommands.h"
#include "project_persistence/PageFile.h"
#include "project_persistence/ProjectPictureStore.h"

namespace {

using namespace NsOvrin;
using namespace NsOvrin::NsDx2d;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 840;
constexpr int kHeight = 640;

// The fastest time of one page.
NsBench::FastestTime targetMeasure;
NsBench::FastestTime replayMeasure;

std::shared_ptr<NsQlUiElem::QlPageData> Page() {
  static NsBench::BenchProject project;
  static std::shared_ptr<NsQlUiElem::QlPageData> page = [] {
    std::shared_ptr<NsQlUiElem::QlPageData> loaded;
    if (!project.WritePages(1, 7, 8)) return loaded;
    PageLoadHooks hooks;
    hooks.rectTransform = EditRectShift;
    hooks.pictureResolver = ResolvePicturePath;
    LoadPageFile(project.Directory(), project.PageNames().front(), hooks, loaded);
    return loaded;
  }();
  return page;
}

// The page as the view draws it: background, then every element in order.
void DrawPage(RenderTarget& target, const D2ResInfo& info, const NsQlUiElem::QlPageData& page) {
  target.BeginDraw();
  target.Clear(D2D_COLOR_F{1.0f, 1.0f, 1.0f, 1.0f});
  for (const NsQlUiElem::QlElemData& entry : page.elements)
    if (entry.ui) entry.ui->Draw(info);
  target.EndDraw();
}

QColor ColourOf(const DrawCall& call) {
  return QColor(static_cast<int>(call.colour & 0xFF), static_cast<int>((call.colour >> 8) & 0xFF),
                static_cast<int>((call.colour >> 16) & 0xFF), static_cast<int>(std::lround(call.opacity * 255)));
}

QRectF RectOf(const D2D_RECT_F& r) { return QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)); }

QPen PenOf(const DrawCall& call) {
  return QPen(QBrush(ColourOf(call)), call.strokeWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
}

QPainterPath PathOf(const DrawCall& call) {
  QPainterPath path;
  for (const PathFigure& figure : call.figures) {
    path.moveTo(figure.start.x, figure.start.y);
    for (const PathSegment& segment : figure.segments) {
      if (segment.kind == PathSegment::Kind::Arc) {
        AppendArc(path, segment.arc);
      } else {
        path.lineTo(segment.point.x, segment.point.y);
      }
    }
    if (figure.end == FigureEnd::Closed) path.closeSubpath();
  }
  return path;
}

// The captured primitives drawn with QPainter alone: no caches, no brushes,
// no text formats.
void Replay(QPainter& painter, const std::vector<DrawCall>& calls, std::map<const Bitmap*, QImage>& images) {
  for (const DrawCall& call : calls) {
    switch (call.op) {
      case DrawOp::BeginDraw:
      case DrawOp::EndDraw: break;
      case DrawOp::Clear: painter.fillRect(QRectF(0, 0, kWidth, kHeight), ColourOf(call)); break;
      case DrawOp::SetTransform: {
        const Matrix3x2F& m = call.transform;
        painter.setWorldTransform(QTransform(m.m11, m.m12, m.m21, m.m22, m.dx, m.dy));
        break;
      }
      case DrawOp::FillRectangle: painter.fillRect(RectOf(call.rect), ColourOf(call)); break;
      case DrawOp::DrawRectangle:
        painter.strokePath([&] { QPainterPath p; p.addRect(RectOf(call.rect)); return p; }(), PenOf(call));
        break;
      case DrawOp::FillRoundedRectangle: {
        QPainterPath p;
        p.addRoundedRect(RectOf(call.rect), call.radiusX, call.radiusY);
        painter.fillPath(p, ColourOf(call));
        break;
      }
      case DrawOp::DrawRoundedRectangle: {
        QPainterPath p;
        p.addRoundedRect(RectOf(call.rect), call.radiusX, call.radiusY);
        painter.strokePath(p, PenOf(call));
        break;
      }
      case DrawOp::FillEllipse: {
        QPainterPath p;
        p.addEllipse(QPointF(call.point0.x, call.point0.y), call.radiusX, call.radiusY);
        painter.fillPath(p, ColourOf(call));
        break;
      }
      case DrawOp::DrawEllipse: {
        QPainterPath p;
        p.addEllipse(QPointF(call.point0.x, call.point0.y), call.radiusX, call.radiusY);
        painter.strokePath(p, PenOf(call));
        break;
      }
      case DrawOp::DrawLine: {
        QPainterPath p;
        p.moveTo(call.point0.x, call.point0.y);
        p.lineTo(call.point1.x, call.point1.y);
        painter.strokePath(p, PenOf(call));
        break;
      }
      case DrawOp::FillGeometry: painter.fillPath(PathOf(call), ColourOf(call)); break;
      case DrawOp::DrawGeometry: painter.strokePath(PathOf(call), PenOf(call)); break;
      case DrawOp::DrawBitmap: {
        QImage& image = images[call.bitmap];
        if (image.isNull()) {
          image = QImage(static_cast<int>(std::max(1u, call.bitmapSize.width)),
                         static_cast<int>(std::max(1u, call.bitmapSize.height)), QImage::Format_ARGB32_Premultiplied);
          image.fill(Qt::gray);
        }
        painter.setOpacity(call.opacity);
        painter.drawImage(RectOf(call.rect), image);
        painter.setOpacity(1.0);
        break;
      }
      case DrawOp::DrawText: {
        QFont font(QString::fromStdString(call.fontFamily));
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(call.fontSize))));
        painter.setFont(font);
        painter.setPen(ColourOf(call));
        int flags = Qt::TextDontClip | Qt::TextWordWrap;
        flags |= call.textAlignment == TextAlignment::Center     ? Qt::AlignHCenter
                 : call.textAlignment == TextAlignment::Trailing ? Qt::AlignRight
                                                                  : Qt::AlignLeft;
        flags |= call.paragraphAlignment == ParagraphAlignment::Center ? Qt::AlignVCenter
                 : call.paragraphAlignment == ParagraphAlignment::Far  ? Qt::AlignBottom
                                                                        : Qt::AlignTop;
        painter.drawText(RectOf(call.rect), flags, QString::fromStdString(call.text));
        break;
      }
      case DrawOp::PushAxisAlignedClip:
        painter.save();
        painter.setClipRect(RectOf(call.rect), Qt::IntersectClip);
        break;
      case DrawOp::PopAxisAlignedClip: painter.restore(); break;
    }
  }
}

// Each iteration paints the page through the render target and then replays
// its primitives, so that both share whatever else the machine does.
void BM_PagePaint(benchmark::State& state) {
  const auto page = Page();
  if (!page) {
    state.SkipWithError("no page");
    return;
  }
  QImage targetImage(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  D2Factory d2Factory;
  QtDWriteFactory dwrite;
  QtRenderTarget target(&targetImage);
  TextFormatCache textFormats;
  BrushCache brushes;
  BitmapCache bitmaps;
  textFormats.SetFactory(&dwrite);
  brushes.SetRenderTarget(&target);
  bitmaps.SetRenderTarget(&target);
  const D2ResInfo info{&d2Factory, &dwrite, &target, &textFormats, &brushes, &bitmaps};

  RecordingDrawContext recording;
  DrawPage(recording.target, recording.Info(), *page);
  const std::vector<DrawCall> calls = recording.target.calls;
  QImage replayImage(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  std::map<const Bitmap*, QImage> images;

  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    DrawPage(target, info, *page);
    targetMeasure.Record(Clock::now() - start);
    start = Clock::now();
    {
      QPainter painter(&replayImage);
      painter.setRenderHint(QPainter::Antialiasing, true);
      painter.setRenderHint(QPainter::TextAntialiasing, true);
      Replay(painter, calls, images);
    }
    replayMeasure.Record(Clock::now() - start);
  }
  state.counters["primitives"] = static_cast<double>(calls.size());
}

BENCHMARK(BM_PagePaint)->Unit(benchmark::kMicrosecond)->UseRealTime()->Apply(NsOvrin::NsBench::MinTime<2>);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (!NsOvrin::NsBench::RunBenchmarks(argc, argv)) return 1;
  if (targetMeasure.runs > 0 && replayMeasure.runs > 0) {
    std::printf("page paint through the render target %.1f us, bare QPainter replay %.1f us, ratio %.2f\n",
                targetMeasure.seconds * 1e6, replayMeasure.seconds * 1e6,
                targetMeasure.seconds / replayMeasure.seconds);
  }
  return NsOvrin::NsBench::FiguresGiven(targetMeasure.runs > 0 && replayMeasure.runs > 0);
}
