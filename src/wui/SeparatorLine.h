#pragma once
// A thin line that a dialog paints along the top edge (horizontal) or the
// left edge (vertical) of a hidden placeholder control, from its own paint
// handler.
#include <cstdint>

#include <QPointer>
#include <QWidget>

#include "wui/GdiPaint.h"

class QPainter;

namespace NsOvrin::NsWui {

struct SeparatorLine {
  // The placeholder; the line is drawn in its parent's coordinates.
  QPointer<QWidget> anchor;
  uint32_t colour = 0;
  bool shown = false;
  bool horizontal = false;
  int32_t penStyle = PS_SOLID;

  // Nothing when not shown or without an anchor.
  void Paint(QPainter& painter) const;
};

}  // namespace NsOvrin::NsWui
