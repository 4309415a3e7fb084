#pragma once
// The cell rules every table painter shares: the walk along a row that
// skips the columns under a span, the record handed to a cell-draw hook for
// a cell without one, which cells are filled and in which colour, and where
// a cell's text goes.
#include <cstdint>

#include "wui_model/UTableBase.h"

namespace NsOvrin {

// Fill of a cell when neither the cell nor the table has a back colour.
constexpr uint32_t kCellFallbackBackColour = 0xF0F0F0;
// Gap between a cell's side and text that is not centred.
constexpr int kCellTextInset = 4;

// One step of a painter's walk along a row.
struct CellStep {
  // The record covering the cell; null when none does.
  const CellInfo* record = nullptr;
  // The record starts at the cell, so the painter draws it here.
  bool startsHere = false;
  // The column the walk goes on with: past the covering record's span.
  int nextCol = 0;
};

CellStep StepCell(const UTableBase& table, uint16_t row, uint16_t col);

// The 1 x 1 record with the table's defaults and no text that a cell-draw
// hook is shown for a cell without a record.
CellInfo MakeDefaultCell(const UTableBase& table, uint16_t row, uint16_t col);

// Not null and not the table's shared default.
bool HasOwnBackColour(const UTableBase& table, const CellInfo& cell);
// A span, or a cell with a back colour of its own, is filled; any other cell
// shows the table's background.
bool CellNeedsFill(const UTableBase& table, const CellInfo& cell);
// The cell's back colour, else the table's, else kCellFallbackBackColour.
uint32_t CellFillColour(const UTableBase& table, const CellInfo& cell);

// A null attribute inherits: the table's default, else the model's initial
// default.
uint32_t CellTextColour(const UTableBase& table, const CellInfo& cell);
int CellFontSize(const UTableBase& table, const CellInfo& cell);
uint32_t CellAlignment(const UTableBase& table, const CellInfo& cell);

// Centred text uses the whole cell; right-aligned text keeps kCellTextInset
// from the right side, any other text from the left side. Rect is any
// rectangle with left and right members.
template <class Rect>
Rect CellTextRect(Rect cell, uint32_t alignment) {
  if ((alignment & kCellAlignCentre) != 0) return cell;
  if ((alignment & kCellAlignRight) != 0) {
    cell.right -= kCellTextInset;
  } else {
    cell.left += kCellTextInset;
  }
  return cell;
}

}  // namespace NsOvrin
