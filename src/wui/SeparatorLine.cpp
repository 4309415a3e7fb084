#include "wui/SeparatorLine.h"

#include <QPainter>

namespace NsOvrin::NsWui {

void SeparatorLine::Paint(QPainter& painter) const {
  if (!shown || anchor.isNull()) return;
  const WRect rect = WRect::FromQRect(anchor->geometry());
  const QPoint from(rect.left, rect.top);
  const QPoint to = horizontal ? QPoint(rect.right, rect.top) : QPoint(rect.left, rect.bottom);
  GdiLine(painter, from, to, colour, penStyle);
}

}  // namespace NsOvrin::NsWui
