#include "dx2d/qt/QtRenderTarget.h"

#include <QColor>
#include <QPaintDevice>
#include <QPainterPath>
#include <QPen>
#include <QString>
#include <QTextLayout>
#include <QTextOption>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "dx2d/qt/QtBitmap.h"
#include "dx2d/qt/QtPath.h"
#include "dx2d/qt/QtTextFormat.h"

namespace NsOvrin::NsDx2d {

namespace {

QColor ToQColor(const D2D_COLOR_F& colour) {
  auto unit = [](float v) { return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : 0.0f; };
  return QColor::fromRgbF(unit(colour.r), unit(colour.g), unit(colour.b), unit(colour.a));
}

QRectF ToQRect(const D2D_RECT_F& rect) {
  return QRectF(QPointF(rect.left, rect.top), QPointF(rect.right, rect.bottom)).normalized();
}

QTransform ToQTransform(const Matrix3x2F& m) { return QTransform(m.m11, m.m12, m.m21, m.m22, m.dx, m.dy); }

// Strokes centred on the outline, flat caps, miter joins cut at five stroke
// widths from the corner (ten half-widths).
QPen MakePen(const SolidColorBrush& brush, float strokeWidth) {
  QPen pen(QBrush(ToQColor(brush.GetColor())), strokeWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
  pen.setMiterLimit(5.0);
  return pen;
}

bool Strokable(float strokeWidth) { return std::isfinite(strokeWidth) && strokeWidth > 0.0f; }

}  // namespace

QtRenderTarget::QtRenderTarget(QPaintDevice* device) : device_(device) {}

QtRenderTarget::~QtRenderTarget() {
  if (painter_.isActive()) painter_.end();
}

void QtRenderTarget::BeginDraw() {
  if (Active() || device_ == nullptr) return;
  clips_.clear();
  clipsUnbalanced_ = false;
  if (!painter_.begin(device_)) return;
  painter_.setRenderHint(QPainter::Antialiasing, true);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  painter_.setWorldTransform(ToQTransform(transform_));
}

bool QtRenderTarget::EndDraw() {
  if (!Active()) return false;
  const bool balanced = clips_.empty() && !clipsUnbalanced_;
  clips_.clear();
  clipsUnbalanced_ = false;
  const bool ended = painter_.end();
  return ended && balanced;
}

std::unique_ptr<SolidColorBrush> QtRenderTarget::CreateSolidColorBrush(const D2D_COLOR_F& colour) {
  return std::make_unique<SolidColorBrush>(colour);
}

std::unique_ptr<Bitmap> QtRenderTarget::CreateBitmap(const DecodedImage& image) {
  if (image.width == 0 || image.height == 0 || image.width > INT32_MAX / 4 || image.height > INT32_MAX ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
    return nullptr;
  }
  QImage copy(static_cast<int>(image.width), static_cast<int>(image.height),
              QImage::Format_ARGB32_Premultiplied);
  if (copy.isNull()) return nullptr;
  for (uint32_t y = 0; y < image.height; ++y) {
    std::memcpy(copy.scanLine(static_cast<int>(y)), &image.pixels[static_cast<std::size_t>(y) * image.width],
                image.width * sizeof(uint32_t));
  }
  return std::make_unique<QtBitmap>(std::move(copy));
}

void QtRenderTarget::Clear(const D2D_COLOR_F& colour) {
  if (!Active()) return;
  painter_.save();
  painter_.resetTransform();
  painter_.setCompositionMode(QPainter::CompositionMode_Source);
  painter_.fillRect(QRectF(0.0, 0.0, device_->width(), device_->height()), ToQColor(colour));
  painter_.restore();
}

void QtRenderTarget::SetTransform(const Matrix3x2F& transform) {
  transform_ = transform;
  if (Active()) painter_.setWorldTransform(ToQTransform(transform_));
}

void QtRenderTarget::FillPath(const QPainterPath& path, const SolidColorBrush& brush) {
  if (!Active()) return;
  painter_.fillPath(path, QBrush(ToQColor(brush.GetColor())));
}

void QtRenderTarget::StrokePath(const QPainterPath& path, const SolidColorBrush& brush,
                                float strokeWidth) {
  if (!Active() || !Strokable(strokeWidth)) return;
  painter_.strokePath(path, MakePen(brush, strokeWidth));
}

void QtRenderTarget::FillRectangle(const D2D_RECT_F& rect, const SolidColorBrush& brush) {
  if (!Active()) return;
  painter_.fillRect(ToQRect(rect), ToQColor(brush.GetColor()));
}

void QtRenderTarget::DrawRectangle(const D2D_RECT_F& rect, const SolidColorBrush& brush,
                                   float strokeWidth) {
  QPainterPath path;
  path.addRect(ToQRect(rect));
  StrokePath(path, brush, strokeWidth);
}

void QtRenderTarget::FillRoundedRectangle(const RoundedRect& rect, const SolidColorBrush& brush) {
  QPainterPath path;
  path.addRoundedRect(ToQRect(rect.rect), std::fabs(rect.radiusX), std::fabs(rect.radiusY));
  FillPath(path, brush);
}

void QtRenderTarget::DrawRoundedRectangle(const RoundedRect& rect, const SolidColorBrush& brush,
                                          float strokeWidth) {
  QPainterPath path;
  path.addRoundedRect(ToQRect(rect.rect), std::fabs(rect.radiusX), std::fabs(rect.radiusY));
  StrokePath(path, brush, strokeWidth);
}

void QtRenderTarget::FillEllipse(const Ellipse& ellipse, const SolidColorBrush& brush) {
  QPainterPath path;
  path.addEllipse(QPointF(ellipse.point.x, ellipse.point.y), std::fabs(ellipse.radiusX),
                  std::fabs(ellipse.radiusY));
  FillPath(path, brush);
}

void QtRenderTarget::DrawEllipse(const Ellipse& ellipse, const SolidColorBrush& brush,
                                 float strokeWidth) {
  QPainterPath path;
  path.addEllipse(QPointF(ellipse.point.x, ellipse.point.y), std::fabs(ellipse.radiusX),
                  std::fabs(ellipse.radiusY));
  StrokePath(path, brush, strokeWidth);
}

void QtRenderTarget::DrawLine(D2D_POINT_2F from, D2D_POINT_2F to, const SolidColorBrush& brush,
                              float strokeWidth) {
  QPainterPath path(QPointF(from.x, from.y));
  path.lineTo(to.x, to.y);
  StrokePath(path, brush, strokeWidth);
}

void QtRenderTarget::FillGeometry(const PathGeometry& geometry, const SolidColorBrush& brush) {
  if (!geometry.IsClosed()) return;
  FillPath(ToPainterPath(geometry, true), brush);
}

void QtRenderTarget::DrawGeometry(const PathGeometry& geometry, const SolidColorBrush& brush,
                                  float strokeWidth) {
  if (!geometry.IsClosed()) return;
  StrokePath(ToPainterPath(geometry, false), brush, strokeWidth);
}

void QtRenderTarget::DrawBitmap(const Bitmap& bitmap, const D2D_RECT_F& dest, float opacity,
                                BitmapInterpolationMode interpolation) {
  const auto* qtBitmap = dynamic_cast<const QtBitmap*>(&bitmap);
  if (!Active() || qtBitmap == nullptr) return;
  painter_.save();
  painter_.setOpacity(std::isfinite(opacity) ? std::clamp(opacity, 0.0f, 1.0f) : 0.0);
  painter_.setRenderHint(QPainter::SmoothPixmapTransform,
                         interpolation == BitmapInterpolationMode::Linear);
  painter_.drawImage(ToQRect(dest), qtBitmap->Image(), QRectF(qtBitmap->Image().rect()));
  painter_.restore();
}

void QtRenderTarget::DrawText(const std::string& text, const TextFormat& format,
                              const D2D_RECT_F& layoutRect, const SolidColorBrush& brush) {
  if (!Active() || text.empty()) return;
  const QRectF box = ToQRect(layoutRect);
  QString qtext = QString::fromStdString(text);
  qtext.replace(QLatin1Char('\n'), QChar::LineSeparator);

  // Laid out line by line, so that a word wider than the box is broken
  // inside the box rather than run over its neighbours.
  QTextOption option;
  option.setWrapMode(WrapModeOf(format));
  switch (format.GetTextAlignment()) {
    case TextAlignment::Leading: option.setAlignment(Qt::AlignLeft); break;
    case TextAlignment::Center: option.setAlignment(Qt::AlignHCenter); break;
    case TextAlignment::Trailing: option.setAlignment(Qt::AlignRight); break;
  }
  QTextLayout layout(qtext, FontOf(format, device_->logicalDpiY()), device_);
  layout.setTextOption(option);
  qreal height = 0.0;
  layout.beginLayout();
  for (;;) {
    QTextLine line = layout.createLine();
    if (!line.isValid()) break;
    line.setLineWidth(box.width());
    line.setPosition(QPointF(0.0, height));
    height += line.height();
  }
  layout.endLayout();

  // Not clipped: a text taller than its box runs out above and below as
  // its paragraph alignment puts it.
  qreal top = box.top();
  switch (format.GetParagraphAlignment()) {
    case ParagraphAlignment::Near: break;
    case ParagraphAlignment::Center: top += (box.height() - height) / 2.0; break;
    case ParagraphAlignment::Far: top = box.bottom() - height; break;
  }
  painter_.save();
  painter_.setPen(QPen(ToQColor(brush.GetColor())));
  layout.draw(&painter_, QPointF(box.left(), top));
  painter_.restore();
}

void QtRenderTarget::ApplyClip() {
  const QTransform world = painter_.worldTransform();
  painter_.setWorldTransform(QTransform());
  painter_.setClipRect(clips_.back(), Qt::ReplaceClip);
  painter_.setWorldTransform(world);
}

void QtRenderTarget::PushAxisAlignedClip(const D2D_RECT_F& rect) {
  if (!Active()) return;
  QRectF deviceRect = painter_.worldTransform().mapRect(ToQRect(rect));
  if (!clips_.empty()) deviceRect = deviceRect.intersected(clips_.back());
  clips_.push_back(deviceRect);
  ApplyClip();
}

void QtRenderTarget::PopAxisAlignedClip() {
  if (!Active()) return;
  if (clips_.empty()) {
    clipsUnbalanced_ = true;
    return;
  }
  clips_.pop_back();
  if (clips_.empty()) {
    painter_.setClipping(false);
  } else {
    ApplyClip();
  }
}

}  // namespace NsOvrin::NsDx2d
