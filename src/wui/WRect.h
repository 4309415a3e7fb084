#pragma once
// A rectangle with the conventions of the window system the grids were
// designed on: right and bottom are exclusive, a point is inside when
// left <= x < right and top <= y < bottom.
#include <QPoint>
#include <QRect>

namespace NsOvrin::NsWui {

struct WRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(QPoint point) const {
    return point.x() >= left && point.x() < right && point.y() >= top && point.y() < bottom;
  }
  WRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  // Negative amounts grow the rectangle.
  WRect Deflate(int dx, int dy) const { return {left + dx, top + dy, right - dx, bottom - dy}; }
  QRect ToQRect() const { return QRect(left, top, right - left, bottom - top); }
  static WRect FromQRect(const QRect& rect) {
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
  }

  friend bool operator==(const WRect&, const WRect&) = default;
};

}  // namespace NsOvrin::NsWui
