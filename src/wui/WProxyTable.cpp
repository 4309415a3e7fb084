#include "wui/WProxyTable.h"

#include <QCursor>

namespace NsOvrin::NsWui {

void WProxyTable::FitToWindow(const QWidget* host) {
  if (host == nullptr) return;
  rect = WRect::FromQRect(host->rect());
  if (const uint16_t rows = GetRowCount(); rows > 0) {
    rowHeight = rect.Height() / rows;
    UpdateVScrollBar();
  }
  if (columnCount > 0) columnWidths.SetAllWidths(rect.Width() / columnCount);
  UpdateHScrollBar();
}

bool WProxyTable::HitTestCursor(const QWidget* host, CellInfo& cell) const {
  if (host == nullptr) return false;
  const QPoint point = host->mapFromGlobal(QCursor::pos());
  if (!rect.Deflate(1, 1).Contains(point)) return false;
  uint16_t row = 0;
  uint16_t col = 0;
  bool onEdge = false;
  bool inBox = false;
  if (!HitTest(point, row, col, onEdge, inBox)) return false;
  if (const CellInfo* found = FindCell(row, col)) {
    cell = *found;
  } else {
    cell = CellInfo{};
    cell.row = row;
    cell.col = col;
  }
  return true;
}

}  // namespace NsOvrin::NsWui
