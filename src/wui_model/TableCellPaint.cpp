#include "wui_model/TableCellPaint.h"

namespace NsOvrin {
namespace {

template <class T>
T Resolve(const std::shared_ptr<T>& own, const std::shared_ptr<T>& shared, T initial) {
  if (own) return *own;
  if (shared) return *shared;
  return initial;
}

}  // namespace

CellStep StepCell(const UTableBase& table, uint16_t row, uint16_t col) {
  CellStep step;
  step.record = table.FindCell(row, col);
  if (step.record == nullptr) {
    step.nextCol = col + 1;
    return step;
  }
  step.startsHere = step.record->row == row && step.record->col == col;
  // A covering record spans at least one column, so the walk always moves on.
  step.nextCol = col + step.record->colSpan;
  return step;
}

CellInfo MakeDefaultCell(const UTableBase& table, uint16_t row, uint16_t col) {
  CellInfo cell;
  cell.row = row;
  cell.col = col;
  table.ApplyDefaults(cell);
  return cell;
}

bool HasOwnBackColour(const UTableBase& table, const CellInfo& cell) {
  return cell.backColour && cell.backColour != table.defBackColour;
}

bool CellNeedsFill(const UTableBase& table, const CellInfo& cell) {
  return cell.rowSpan != 1 || cell.colSpan != 1 || HasOwnBackColour(table, cell);
}

uint32_t CellFillColour(const UTableBase& table, const CellInfo& cell) {
  return Resolve(cell.backColour, table.defBackColour, kCellFallbackBackColour);
}

uint32_t CellTextColour(const UTableBase& table, const CellInfo& cell) {
  return Resolve(cell.textColour, table.defTextColour, uint32_t{0x333333});
}

int CellFontSize(const UTableBase& table, const CellInfo& cell) {
  return Resolve(cell.fontSize, table.defFontSize, 90);
}

uint32_t CellAlignment(const UTableBase& table, const CellInfo& cell) {
  return Resolve(cell.align, table.GetColumnAlign(cell.col), kCellAlignCentre);
}

}  // namespace NsOvrin
