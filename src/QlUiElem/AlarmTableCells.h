#pragma once
// Cell records shared by the current-alarm list and the alarm history.
#include <cstdint>
#include <string>

#include "dx2d/Dx2Table.h"

namespace NsOvrin::NsQlUiElem {

// Alternating back colour of a data row.
uint32_t AlarmRowBackColour(uint16_t row);

// A record for a cell that no record covers yet, with its own back colour and
// optionally its own text colour. Appending directly keeps a rebuild linear
// in the rows; the setters would search the whole list for every cell.
void AppendAlarmCell(NsDx2d::Dx2Table& table, uint16_t row, uint16_t col, std::string text,
                     uint32_t backColour, const uint32_t* textColour);

}  // namespace NsOvrin::NsQlUiElem
