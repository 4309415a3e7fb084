#pragma once
// What the alarm tables show, read back from their table model, and the
// alarm sources the tests drive: a manager of the test's own (written
// nowhere) and segments whose bits the test switches.
#include <memory>
#include <ostream>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

#include "alarm/AlarmManager.h"
#include "dx2d/Dx2Table.h"
#include "wui_model/TableCellPaint.h"

namespace NsOvrin::NsQlUiElem::Testing {

// One row as shown: both texts, the text colours and the fills (0 when the
// cell is not filled).
struct ShownRow {
  std::string text0, text1;
  uint32_t textColour0 = 0, textColour1 = 0;
  uint32_t fill0 = 0, fill1 = 0;
  bool operator==(const ShownRow&) const = default;
};

inline void PrintTo(const ShownRow& r, std::ostream* os) {
  *os << std::hex << "{\"" << r.text0 << "\" 0x" << r.textColour0 << " fill 0x" << r.fill0 << " | \"" << r.text1
      << "\" 0x" << r.textColour1 << " fill 0x" << r.fill1 << "}";
}

inline ShownRow ShowRow(const NsDx2d::Dx2Table& table, uint16_t row) {
  ShownRow shown;
  const auto cell = [&](uint16_t col, std::string& text, uint32_t& colour, uint32_t& fill) {
    const CellInfo* record = table.FindCell(row, col);
    const CellInfo info = record != nullptr ? *record : MakeDefaultCell(table, row, col);
    text = info.text;
    colour = CellTextColour(table, info);
    fill = CellNeedsFill(table, info) ? CellFillColour(table, info) : 0;
  };
  cell(0, shown.text0, shown.textColour0, shown.fill0);
  cell(1, shown.text1, shown.textColour1, shown.fill1);
  return shown;
}

// The data rows, header left out.
inline std::vector<ShownRow> DataRows(const NsDx2d::Dx2Table& table) {
  std::vector<ShownRow> rows;
  for (uint16_t r = 1; r < table.GetRowCount(); ++r) rows.push_back(ShowRow(table, r));
  return rows;
}

inline std::unique_ptr<NsAlarm::AlarmManager> LocalManager() {
  return std::make_unique<NsAlarm::AlarmManager>(std::string(), false, nullptr);
}

inline std::shared_ptr<NsAlarm::AlarmSeg> AddSegment(NsAlarm::AlarmManager& manager,
                                                     const std::vector<std::string>& messages) {
  auto seg = std::make_shared<NsAlarm::AlarmSeg>();
  seg->SetMessages(messages);
  manager.AddSeg(seg);
  return seg;
}

// As a poll would: under the segment's lock.
inline void SetBit(NsAlarm::AlarmSeg& seg, uint16_t bit, uint8_t value) {
  std::unique_lock lock(seg.GetLock());
  seg.SetBit(bit, value);
}

}  // namespace NsOvrin::NsQlUiElem::Testing
