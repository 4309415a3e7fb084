#pragma once
// Drawing on a QPainter with the pixel rules the in-house controls were laid
// out for: fills and frames cover exactly the pixels of their rectangle,
// lines leave out their last point, and anti-aliased drawings take integer
// coordinates as pixel centres.
#include <cstdint>

#include <QPainter>
#include <QPoint>

#include "wui/WRect.h"

namespace NsOvrin::NsWui {

// Window-system pen styles.
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_DASHDOT = 3;
inline constexpr int PS_DASHDOTDOT = 4;
inline constexpr int PS_NULL = 5;

// Text placement flags: the horizontal alignment values of the table model
// plus vertical centring on one line.
inline constexpr uint32_t DT_LEFT = 0;
inline constexpr uint32_t DT_CENTER = 1;
inline constexpr uint32_t DT_RIGHT = 2;
inline constexpr uint32_t DT_VCENTER = 4;
inline constexpr uint32_t DT_SINGLELINE = 0x20;

// 0x00BBGGRR, its high byte ignored.
QColor GdiColour(uint32_t colour);

void GdiFillRect(QPainter& painter, const WRect& rect, uint32_t colour);
// A one-pixel frame on the rectangle's outermost pixels.
void GdiFrameRect(QPainter& painter, const WRect& rect, uint32_t colour);
// A one-pixel line from 'from' towards 'to', 'to' itself left out.
void GdiLine(QPainter& painter, QPoint from, QPoint to, uint32_t colour, int penStyle = PS_SOLID);
// Text clipped to the rectangle, placed by DT_* flags (one line, always).
void GdiDrawText(QPainter& painter, const WRect& rect, const QString& text, const QFont& font,
                 uint32_t colour, uint32_t flags);

// Saves the painter and shifts it so that integer coordinates are pixel
// centres, with anti-aliasing as asked; restores on destruction.
class SmoothPixelScope {
 public:
  SmoothPixelScope(QPainter& painter, bool antialias);
  ~SmoothPixelScope();
  SmoothPixelScope(const SmoothPixelScope&) = delete;
  SmoothPixelScope& operator=(const SmoothPixelScope&) = delete;

 private:
  QPainter& painter_;
};

}  // namespace NsOvrin::NsWui
