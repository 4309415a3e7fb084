#pragma once
// Paints a table model: background, grid lines, cell records with their
// spans, a selection band, optional row boxes, an optional title bar and an
// outline; and maps points to cells. Where it draws, how far it is scrolled
// and how its scroll bars follow are left to the concrete grids.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include <QPoint>

#include "wui/WRect.h"
#include "wui_model/ColumnWidths.h"
#include "wui_model/UTableBase.h"

class QPainter;

namespace NsOvrin::NsWui {

class WTable : public UTableBase {
 public:
  // Asked first for every cell; true means it drew the cell.
  using CellDrawHook = std::function<bool(QPainter&, const WTable&, const CellInfo&, const WRect&)>;

  WTable(uint16_t columnCount, uint32_t flags);
  ~WTable() override;

  virtual void DrawRowBoxes(QPainter& painter, const WRect& clip);
  virtual WRect GetRowBoxRect(uint16_t row) const;
  virtual bool IsRowBoxShown(uint16_t row) const;
  // False when there is nowhere to draw.
  virtual bool GetClientRect(WRect& rect) const = 0;
  virtual int GetVScrollPos() const = 0;
  virtual int GetHScrollPos() const = 0;
  virtual void UpdateVScrollBar() = 0;
  virtual void UpdateHScrollBar() = 0;
  // Centred text uses the whole cell; other text keeps 4 px from its side.
  virtual WRect GetCellTextRect(uint16_t row, uint16_t col, const WRect& cell, uint32_t alignment) const;

  // Paints the whole table; nothing without a painter or a client rectangle.
  void Draw(QPainter* painter);
  // Paints what of the table lies in area (client coordinates), as a paint
  // event asks: only the rows and cells that meet it are drawn, so a long
  // table repaints as quickly as a short one.
  void Draw(QPainter* painter, const WRect& area);
  // Point in client coordinates. The out-values are written as they are
  // found, so the column (and the edge flag) may be set although the result
  // is false because no row lies there.
  bool HitTest(QPoint point, uint16_t& row, uint16_t& col, bool& onColumnEdge, bool& inRowBox) const;
  // The rectangle inside the grid lines of a block of cells, scrolled.
  WRect GetCellRect(uint16_t row, uint16_t col, uint16_t rowSpan, uint16_t colSpan) const;
  // That of the record covering the cell, or of the cell alone.
  WRect GetSpannedCellRect(uint16_t row, uint16_t col) const;
  // Ignored for a column that does not exist; the horizontal scroll bar is
  // updated in any case.
  void SetColumnWidth(uint16_t col, int width);
  // The title height while the title is shown, else 0.
  int TitleBarHeight() const { return titleShown ? titleHeight : 0; }

  CellDrawHook cellDrawHook;
  int rowHeight = 26;
  ColumnWidths<int> columnWidths;
  std::string titleText;
  uint32_t titleTextColour = 0x1F1D1D;
  uint32_t titleBackColour = 0xE0E0E0;
  int titleFontSize = 120;
  int titleHeight = 29;
  // Bit kFlagTitleShown of the flags, whatever the other bits say.
  bool titleShown;

 protected:
  void DrawGrid(QPainter& painter, const WRect& client);
  // Returns the next column to draw: spans skip columns. A cell that does
  // not meet area is passed over.
  int DrawCell(QPainter& painter, uint16_t row, uint16_t col, const WRect& area);
  // The rows whose cells meet area, from the first to one past the last.
  std::pair<int, int> RowsMeeting(const WRect& client, const WRect& area) const;
  void DrawCellText(QPainter& painter, uint16_t row, uint16_t col, const CellInfo& cell, const WRect& rect);
  void DrawSelection(QPainter& painter, const WRect& client);
};

}  // namespace NsOvrin::NsWui
