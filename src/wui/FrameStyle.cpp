#include "wui/FrameStyle.h"

#include <algorithm>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "wui/GdiPaint.h"

namespace NsOvrin::NsWui {

namespace {

constexpr int kCorner = 10;  // rounded corners are quarter circles of this box
constexpr int kShade = 80;

uint32_t ShiftChannels(uint32_t colour, int delta) {
  uint32_t result = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int channel = std::clamp(static_cast<int>((colour >> shift) & 0xFF) + delta, 0, 255);
    result |= static_cast<uint32_t>(channel) << shift;
  }
  return result;
}

// An opaque colour with the given opacity.
QColor WithAlpha(uint32_t colour, uint8_t alpha) {
  QColor c = GdiColour(colour);
  c.setAlpha(alpha);
  return c;
}

QPen OutlinePen(uint32_t colour) {
  QPen pen(GdiColour(colour));
  pen.setWidthF(1.0);
  pen.setCapStyle(Qt::FlatCap);
  return pen;
}

}  // namespace

uint32_t FrameStyle::Lighter(uint32_t colour) { return ShiftChannels(colour, kShade); }
uint32_t FrameStyle::Darker(uint32_t colour) { return ShiftChannels(colour, -kShade); }

void FrameStyle::Draw(QPainter& painter, const WRect& rect) const {
  DrawBackground(painter, rect);
  switch (kind) {
    case kKindLines:
    case kKindLinesRaised:
    case kKindLinesSunken:
      DrawLines(painter, rect);
      break;
    case kKindRounded:
    case kKindRoundedRaised:
    case kKindRoundedSunken:
      DrawRoundedOutline(painter, rect);
      break;
    case kKindEllipse:
      if (sides != 0) {
        const int d = std::min(rect.Width(), rect.Height()) - 1;
        SmoothPixelScope scope(painter, true);
        // The outline is opaque whatever the fill's opacity.
        QPen pen(WithAlpha(leftColour, 255));
        pen.setWidthF(1.0);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(rect.left, rect.top, d, d));
      }
      break;
    default:
      break;
  }
}

void FrameStyle::DrawBackground(QPainter& painter, const WRect& rect) const {
  if (!background) return;
  switch (kind) {
    case kKindRounded:
    case kKindRoundedRaised:
    case kKindRoundedSunken:
      FillRoundedPath(painter, rect);
      break;
    case kKindEllipse: {
      const int d = std::min(rect.Width(), rect.Height()) - 1;
      SmoothPixelScope scope(painter, true);
      painter.setPen(Qt::NoPen);
      if (gradient) {
        const double cx = rect.left + rect.Width() / 2;
        QLinearGradient brush(cx, rect.top, cx, rect.bottom);
        brush.setColorAt(0.0, WithAlpha(backgroundColour, alpha));
        brush.setColorAt(1.0, WithAlpha(gradientEndColour, alpha));
        painter.setBrush(brush);
      } else {
        painter.setBrush(WithAlpha(backgroundColour, alpha));
      }
      painter.drawEllipse(QRectF(rect.left, rect.top, d, d));
      break;
    }
    case kKindLines:
    case kKindLinesRaised:
    case kKindLinesSunken:
      GdiFillRect(painter, rect, backgroundColour);
      break;
    default:
      break;
  }
}

void FrameStyle::FillRoundedPath(QPainter& painter, const WRect& rect) const {
  // The path starts one pixel left of the rectangle.
  const double l = rect.left - 1;
  const double t = rect.top;
  const double r = rect.right;
  const double b = rect.bottom;
  QPainterPath path;
  if (Has(kSideLeft) && Has(kSideTop)) {
    const QRectF box(l, t, kCorner, kCorner);
    path.arcMoveTo(box, 180);
    path.arcTo(box, 180, -90);
  } else {
    path.moveTo(l, t);
  }
  if (Has(kSideTop) && Has(kSideRight)) {
    path.arcTo(QRectF(r - kCorner, t, kCorner, kCorner), 90, -90);
  } else {
    path.lineTo(r, t);
  }
  if (Has(kSideRight) && Has(kSideBottom)) {
    path.arcTo(QRectF(r - kCorner, b - kCorner, kCorner, kCorner), 0, -90);
  } else {
    path.lineTo(r, b);
  }
  if (Has(kSideBottom) && Has(kSideLeft)) {
    path.arcTo(QRectF(l, b - kCorner, kCorner, kCorner), 270, -90);
  } else {
    path.lineTo(l, b);
  }
  path.closeSubpath();

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Qt::NoPen);
  if (gradient) {
    QLinearGradient brush(0, t, 0, b);
    brush.setColorAt(0.0, GdiColour(backgroundColour));
    brush.setColorAt(1.0, GdiColour(gradientEndColour));
    painter.setBrush(brush);
  } else {
    painter.setBrush(GdiColour(backgroundColour));
  }
  painter.drawPath(path);
  painter.restore();
}

void FrameStyle::DrawLines(QPainter& painter, const WRect& rect) const {
  uint32_t left = leftColour;
  uint32_t top = topColour;
  uint32_t right = rightColour;
  uint32_t bottom = bottomColour;
  if (kind == kKindLinesRaised) {
    left = top = Lighter(backgroundColour);
    right = bottom = Darker(gradientEndColour);
  } else if (kind == kKindLinesSunken) {
    left = top = Darker(backgroundColour);
    right = bottom = Lighter(gradientEndColour);
  }
  const int l = rect.left;
  const int t = rect.top;
  const int r = rect.right;
  const int b = rect.bottom;
  if (Has(kSideLeft)) GdiLine(painter, {l, b - 1}, {l, t}, left);
  if (Has(kSideTop)) GdiLine(painter, {l, t}, {r - 1, t}, top);
  if (Has(kSideRight)) GdiLine(painter, {r - 1, t}, {r - 1, b - 1}, right);
  if (Has(kSideBottom)) GdiLine(painter, {r - 1, b - 1}, {l, b - 1}, bottom);
}

void FrameStyle::DrawRoundedOutline(QPainter& painter, const WRect& rect) const {
  uint32_t left = leftColour;
  uint32_t top = topColour;
  uint32_t right = rightColour;
  uint32_t bottom = bottomColour;
  if (kind == kKindRoundedRaised) {
    left = top = Lighter(backgroundColour);
    right = bottom = Darker(gradientEndColour);
  } else if (kind == kKindRoundedSunken) {
    left = top = Darker(backgroundColour);
    right = bottom = Lighter(gradientEndColour);
  }
  const double l = rect.left;
  const double t = rect.top;
  const double r = rect.right;
  const double b = rect.bottom;
  const bool hasLeft = Has(kSideLeft);
  const bool hasTop = Has(kSideTop);
  const bool hasRight = Has(kSideRight);
  const bool hasBottom = Has(kSideBottom);

  SmoothPixelScope scope(painter, true);
  painter.setBrush(Qt::NoBrush);
  // A quarter arc of a 10 x 10 box from a start angle, clockwise on screen.
  auto arc = [&painter](double x, double y, int startAngle) {
    painter.drawArc(QRectF(x, y, kCorner, kCorner), -startAngle * 16, -90 * 16);
  };
  if (hasLeft) {
    painter.setPen(OutlinePen(left));
    painter.drawLine(QPointF(l, hasBottom ? b - 7 : b - 1), QPointF(l, hasTop ? t + 5 : t));
    if (hasTop) arc(l, t, 180);
  }
  if (hasTop) {
    painter.setPen(OutlinePen(top));
    painter.drawLine(QPointF(hasLeft ? l + 5 : l, t), QPointF(hasRight ? r - 6 : r - 1, t));
    if (hasRight) arc(r - 11, t, 270);
  }
  if (hasRight) {
    painter.setPen(OutlinePen(right));
    painter.drawLine(QPointF(r - 1, hasTop ? t + 5 : t), QPointF(r - 1, hasBottom ? b - 7 : b - 1));
    if (hasBottom) arc(r - 11, b - 11, 0);
  }
  if (hasBottom) {
    painter.setPen(OutlinePen(bottom));
    painter.drawLine(QPointF(hasRight ? r - 7 : r - 1, b - 1), QPointF(hasLeft ? l + 5 : l, b - 1));
    if (hasLeft) arc(l, b - 11, 90);
  }
}

}  // namespace NsOvrin::NsWui
