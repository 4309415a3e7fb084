#include "QlUiElem/AlarmTableCells.h"

#include <memory>
#include <utility>

namespace NsOvrin::NsQlUiElem {

uint32_t AlarmRowBackColour(uint16_t row) { return row % 2 != 0 ? 0xEFEFEF : 0xFAFAFA; }

void AppendAlarmCell(NsDx2d::Dx2Table& table, uint16_t row, uint16_t col, std::string text,
                     uint32_t backColour, const uint32_t* textColour) {
  CellInfo cell;
  cell.row = row;
  cell.col = col;
  cell.text = std::move(text);
  table.ApplyDefaults(cell);
  cell.backColour = std::make_shared<uint32_t>(backColour);
  if (textColour != nullptr) cell.textColour = std::make_shared<uint32_t>(*textColour);
  table.cells.push_back(std::move(cell));
}

}  // namespace NsOvrin::NsQlUiElem
