#include "wui/GdiPaint.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include <QPen>

#include "wui/QtUiServices.h"

namespace NsOvrin::NsWui {

namespace {

Qt::PenStyle QtPenStyle(int penStyle) {
  switch (penStyle) {
    case PS_DASH: return Qt::DashLine;
    case PS_DOT: return Qt::DotLine;
    case PS_DASHDOT: return Qt::DashDotLine;
    case PS_DASHDOTDOT: return Qt::DashDotDotLine;
    case PS_NULL: return Qt::NoPen;
    default: return Qt::SolidLine;
  }
}

int Sign(int value) { return (value > 0) - (value < 0); }

// On and off runs of the window system's cosmetic pens; empty: solid.
const std::vector<int>& DashPattern(int penStyle) {
  static const std::vector<int> kSolid;
  static const std::vector<int> kDash{18, 6};
  static const std::vector<int> kDot{3, 3};
  static const std::vector<int> kDashDot{9, 6, 3, 6};
  static const std::vector<int> kDashDotDot{9, 3, 3, 3, 3, 3};
  switch (penStyle) {
    case PS_DASH: return kDash;
    case PS_DOT: return kDot;
    case PS_DASHDOT: return kDashDot;
    case PS_DASHDOTDOT: return kDashDotDot;
    default: return kSolid;
  }
}

}  // namespace

QColor GdiColour(uint32_t colour) { return ColorRefToQColor(colour); }

void GdiFillRect(QPainter& painter, const WRect& rect, uint32_t colour) {
  if (rect.IsEmpty()) return;
  painter.fillRect(rect.ToQRect(), GdiColour(colour));
}

void GdiFrameRect(QPainter& painter, const WRect& rect, uint32_t colour) {
  if (rect.IsEmpty()) return;
  const QColor c = GdiColour(colour);
  const int w = rect.Width();
  const int h = rect.Height();
  painter.fillRect(QRect(rect.left, rect.top, w, 1), c);
  painter.fillRect(QRect(rect.left, rect.bottom - 1, w, 1), c);
  painter.fillRect(QRect(rect.left, rect.top, 1, h), c);
  painter.fillRect(QRect(rect.right - 1, rect.top, 1, h), c);
}

void GdiLine(QPainter& painter, QPoint from, QPoint to, uint32_t colour, int penStyle) {
  if (from == to || penStyle == PS_NULL) return;
  const QColor c = GdiColour(colour);
  const int dx = to.x() - from.x();
  const int dy = to.y() - from.y();
  if (dx != 0 && dy != 0) {
    // Only the straight lines of the controls need exact pixels.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(c);
    pen.setWidth(0);
    pen.setStyle(QtPenStyle(penStyle));
    painter.setPen(pen);
    painter.drawLine(from, to);
    painter.restore();
    return;
  }
  // Pixel by pixel from 'from', 'to' left out, the pen's dash pattern
  // restarting at 'from'.
  const std::vector<int>& pattern = DashPattern(penStyle);
  int period = 0;
  for (int run : pattern) period += run;
  const int steps = std::abs(dx) + std::abs(dy);
  const QPoint step(Sign(dx), Sign(dy));
  int i = 0;
  while (i < steps) {
    // The longest run of pixels on (or off) from step i.
    int phase = period > 0 ? i % period : 0;
    bool on = true;
    int left = steps - i;
    if (period > 0) {
      for (std::size_t k = 0; k < pattern.size(); ++k) {
        if (phase < pattern[k]) {
          on = k % 2 == 0;
          left = std::min(left, pattern[k] - phase);
          break;
        }
        phase -= pattern[k];
      }
    }
    if (on) {
      const QPoint a = from + step * i;
      const QPoint b = from + step * (i + left - 1);
      painter.fillRect(QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                             QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y()))),
                       c);
    }
    i += left;
  }
}

void GdiDrawText(QPainter& painter, const WRect& rect, const QString& text, const QFont& font,
                 uint32_t colour, uint32_t flags) {
  if (text.isEmpty() || rect.IsEmpty()) return;
  int qtFlags = Qt::TextSingleLine;
  if ((flags & DT_CENTER) != 0) {
    qtFlags |= Qt::AlignHCenter;
  } else if ((flags & DT_RIGHT) != 0) {
    qtFlags |= Qt::AlignRight;
  } else {
    qtFlags |= Qt::AlignLeft;
  }
  qtFlags |= (flags & DT_VCENTER) != 0 ? Qt::AlignVCenter : Qt::AlignTop;
  painter.save();
  painter.setFont(font);
  painter.setPen(GdiColour(colour));
  painter.setClipRect(rect.ToQRect(), Qt::IntersectClip);
  painter.drawText(rect.ToQRect(), qtFlags, text);
  painter.restore();
}

SmoothPixelScope::SmoothPixelScope(QPainter& painter, bool antialias) : painter_(painter) {
  painter_.save();
  painter_.setRenderHint(QPainter::Antialiasing, antialias);
  painter_.setRenderHint(QPainter::SmoothPixmapTransform, antialias);
  painter_.translate(0.5, 0.5);
}

SmoothPixelScope::~SmoothPixelScope() { painter_.restore(); }

}  // namespace NsOvrin::NsWui
