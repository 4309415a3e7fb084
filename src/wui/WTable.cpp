#include "wui/WTable.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include <QPainter>

#include "wui/FontManager.h"
#include "wui/GdiPaint.h"
#include "wui_model/TableCellPaint.h"

namespace NsOvrin::NsWui {

namespace {

// Selection band: a faint blue wash in a green frame.
constexpr QRgb kSelectionFill = 0x0A0000F0;  // ARGB
constexpr uint32_t kSelectionFrame = 0x5ADA23;

// Whether two rectangles share a pixel.
bool Meets(const WRect& a, const WRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

WTable::WTable(uint16_t columnCount, uint32_t flags)
    : UTableBase(columnCount, flags), columnWidths(columnCount, 100), titleShown((flags & kFlagTitleShown) != 0) {}

WTable::~WTable() = default;

void WTable::DrawRowBoxes(QPainter&, const WRect&) {}

WRect WTable::GetRowBoxRect(uint16_t) const { return {}; }

bool WTable::IsRowBoxShown(uint16_t) const { return false; }

WRect WTable::GetCellTextRect(uint16_t, uint16_t, const WRect& cell, uint32_t alignment) const {
  return CellTextRect(cell, alignment);
}

void WTable::Draw(QPainter* painter) {
  WRect client;
  if (painter == nullptr || !GetClientRect(client)) return;
  Draw(painter, client);
}

void WTable::Draw(QPainter* painter, const WRect& area) {
  if (painter == nullptr) return;
  WRect client;
  if (!GetClientRect(client)) return;
  QPainter& p = *painter;
  p.save();
  // Nothing leaves the client rectangle, nor the area asked for: what a
  // row outside it would draw is cut off anyway.
  p.setClipRect(client.ToQRect(), Qt::IntersectClip);
  p.setClipRect(area.ToQRect(), Qt::IntersectClip);
  p.setRenderHint(QPainter::Antialiasing, false);

  if (defBackColour) GdiFillRect(p, client, *defBackColour);
  DrawGrid(p, client);
  // Every cell draws inside its own rectangle, so the rows out of the area
  // change no pixel of it. The walk starts where a span reaching into the
  // area from above starts, and goes the same way as over the whole table.
  const auto [first, end] = RowsMeeting(client, area);
  for (int row = FirstRowReaching(static_cast<uint16_t>(first)); row < end; ++row) {
    for (int col = 0; col < columnCount;) {
      col = DrawCell(p, static_cast<uint16_t>(row), static_cast<uint16_t>(col), area);
    }
  }
  DrawRowBoxes(p, client);
  if (GetCurrentRowMark()) DrawSelection(p, client);
  if (titleShown) {
    const WRect band{client.left, client.top, client.right, client.top + titleHeight};
    GdiFillRect(p, band, titleBackColour);
    if (!titleText.empty()) {
      GdiDrawText(p, band, QString::fromStdString(titleText), *FontManager::Instance().GetDefaultFaceFont(titleFontSize),
                  titleTextColour, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
  }
  GdiFrameRect(p, client, outlineColour);
  p.restore();
}

void WTable::DrawGrid(QPainter& painter, const WRect& client) {
  if (rowHeight == 0) return;
  const int title = TitleBarHeight();
  const int vscroll = GetVScrollPos();
  const int hscroll = GetHScrollPos();
  const int first = (client.top + vscroll) / rowHeight;
  const int count = client.Height() / rowHeight;
  for (int i = 0; i <= count + 1; ++i) {
    const int y = title + (first + i) * rowHeight - vscroll;
    GdiLine(painter, {client.left, y}, {client.right, y}, gridColour);
  }
  const std::vector<int>& edges = columnWidths.Edges();
  for (std::size_t i = 1; i < edges.size(); ++i) {
    const int x = edges[i] - hscroll;
    GdiLine(painter, {x, client.top + title}, {x, client.bottom}, gridColour);
  }
}

int WTable::DrawCell(QPainter& painter, uint16_t row, uint16_t col, const WRect& area) {
  const CellStep step = StepCell(*this, row, col);
  if (step.record == nullptr) {
    if (cellDrawHook) {
      const WRect rect = GetCellRect(row, col, 1, 1);
      if (Meets(rect, area)) cellDrawHook(painter, *this, MakeDefaultCell(*this, row, col), rect);
    }
    return step.nextCol;
  }
  if (!step.startsHere) return step.nextCol;

  const CellInfo& cell = *step.record;
  const WRect rect = GetCellRect(row, col, cell.rowSpan, cell.colSpan);
  if (!Meets(rect, area)) return step.nextCol;
  if (cellDrawHook && cellDrawHook(painter, *this, cell, rect)) return step.nextCol;
  if (CellNeedsFill(*this, cell)) GdiFillRect(painter, rect, CellFillColour(*this, cell));
  if (!cell.text.empty()) DrawCellText(painter, row, col, cell, rect);
  return step.nextCol;
}

std::pair<int, int> WTable::RowsMeeting(const WRect& client, const WRect& area) const {
  const int rows = GetRowCount();
  if (rowHeight <= 0) return {0, rows};
  // Row r's cells lie from base + r * rowHeight + 1 to base + (r + 1) *
  // rowHeight (exclusive), as GetCellRect places them. Wide: an area may
  // reach far beyond the rows.
  const int64_t height = rowHeight;
  const int64_t base = int64_t{TitleBarHeight()} + client.top - GetVScrollPos();
  const auto rowAt = [height, rows](int64_t y) {
    const int64_t row = y >= 0 ? y / height : -((-y + height - 1) / height);
    return static_cast<int>(std::clamp<int64_t>(row, 0, rows));
  };
  return {rowAt(int64_t{area.top} - base), rowAt(int64_t{area.bottom} - 1 - base + height)};
}

void WTable::DrawCellText(QPainter& painter, uint16_t row, uint16_t col, const CellInfo& cell, const WRect& rect) {
  const uint32_t alignment = CellAlignment(*this, cell);
  const WRect textRect = GetCellTextRect(row, col, rect, alignment);
  const QFont* font = FontManager::Instance().GetFont(CellFontSize(*this, cell), defFontFace ? *defFontFace : std::string());
  GdiDrawText(painter, textRect, QString::fromStdString(cell.text), *font, CellTextColour(*this, cell),
              alignment | DT_VCENTER | DT_SINGLELINE);
}

void WTable::DrawSelection(QPainter& painter, const WRect& client) {
  if (rowHeight == 0) return;
  const int top = TitleBarHeight() + currentRow * rowHeight + client.top;
  const WRect band = WRect{columnWidths.Edge(0), top, columnWidths.Edges().back() + 1, top + rowHeight + 1}
                         .Offset(-GetHScrollPos(), -GetVScrollPos())
                         .Deflate(1, 1);
  if (band.IsEmpty()) return;
  painter.fillRect(band.ToQRect(), QColor::fromRgba(kSelectionFill));
  GdiFrameRect(painter, band, kSelectionFrame);
}

bool WTable::HitTest(QPoint point, uint16_t& row, uint16_t& col, bool& onColumnEdge, bool& inRowBox) const {
  onColumnEdge = false;
  inRowBox = false;
  if (rowHeight == 0) return false;
  const int x = point.x() + GetHScrollPos();
  const int y = point.y() - TitleBarHeight() + GetVScrollPos();
  if (y <= 0) return false;

  const std::vector<int>& edges = columnWidths.Edges();
  const auto found = std::lower_bound(edges.begin(), edges.end(), x);
  if (found == edges.end()) return false;
  if (found == edges.begin()) {
    col = 0;
  } else {
    col = static_cast<uint16_t>(found - edges.begin() - 1);
    if (columnWidths.Resizable()) onColumnEdge = std::abs(*found - x) <= ColumnWidths<int>::kGripWidth;
  }

  const int hitRow = y / rowHeight;
  if (hitRow >= GetRowCount()) return false;
  row = static_cast<uint16_t>(hitRow);
  if (IsRowBoxShown(row)) {
    // The box answers a little to its left as well.
    WRect box = GetRowBoxRect(row);
    box.left -= 6;
    inRowBox = box.Contains(point);
  }
  return true;
}

WRect WTable::GetCellRect(uint16_t row, uint16_t col, uint16_t rowSpan, uint16_t colSpan) const {
  WRect client;
  GetClientRect(client);
  int left = 0;
  int right = 0;
  if (columnCount > 0) {
    left = columnWidths.Edge(col);
    right = columnWidths.Edge(static_cast<std::size_t>(col) + colSpan) + 1;
  }
  const int top = TitleBarHeight() + row * rowHeight + client.top;
  const int bottom = top + rowSpan * rowHeight + 1;
  return WRect{left, top, right, bottom}.Offset(-GetHScrollPos(), -GetVScrollPos()).Deflate(1, 1);
}

WRect WTable::GetSpannedCellRect(uint16_t row, uint16_t col) const {
  if (const CellInfo* cell = FindCell(row, col)) return GetCellRect(cell->row, cell->col, cell->rowSpan, cell->colSpan);
  return GetCellRect(row, col, 1, 1);
}

void WTable::SetColumnWidth(uint16_t col, int width) {
  columnWidths.SetWidth(col, width);
  UpdateHScrollBar();
}

}  // namespace NsOvrin::NsWui
