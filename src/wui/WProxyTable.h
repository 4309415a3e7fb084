#pragma once
// A table drawn inside a rectangle of another control (the segmented
// selector): no scrolling, no scroll bars.
#include <QWidget>

#include "wui/WTable.h"

namespace NsOvrin::NsWui {

class WProxyTable : public WTable {
 public:
  WProxyTable(uint16_t columnCount, uint32_t flags) : WTable(columnCount, flags) {}

  bool GetClientRect(WRect& out) const override {
    out = rect;
    return true;
  }
  int GetVScrollPos() const override { return 0; }
  int GetHScrollPos() const override { return 0; }
  void UpdateVScrollBar() override {}
  void UpdateHScrollBar() override {}

  // Takes the host's client rectangle and shares it out evenly among the
  // rows and the columns.
  void FitToWindow(const QWidget* host);
  // The cell under the mouse cursor: a copy of the record covering it, or a
  // bare 1 x 1 record at it. False without a host, off the rectangle's inner
  // part or off the cells.
  bool HitTestCursor(const QWidget* host, CellInfo& cell) const;

  // In the host's client coordinates.
  WRect rect;
};

}  // namespace NsOvrin::NsWui
