#pragma once
// The current-alarm list: a two-column table (number, message) of the alarms
// that are on now. In design mode it shows one demonstration row; online its
// host compares the alarm manager's alarm change counter on every tick and
// rebuilds the rows when it moved. The rows are copies of the messages made
// under the manager's active-list lock: nothing here points into the manager.
#include <cstdint>
#include <memory>
#include <string>

#include "QlUiElem/QlUiElem.h"
#include "dx2d/Dx2Table.h"

namespace NsOvrin::NsAlarm {
class AlarmManager;
}

namespace NsOvrin::NsQlUiElem {

// Most data rows a table can hold beside its header: its row count is 16-bit.
inline constexpr uint32_t kMaxAlarmTableRows = 0xFFFE;

class QlUiAlarmList : public QlUiElem {
 public:
  // Where the next alarm row goes and the number it shows.
  struct RowAdder {
    uint32_t number = 0;
    uint16_t row = 1;
  };

  // A table of 3 rows, set up; no demonstration row yet.
  QlUiAlarmList();
  QlUiAlarmList(const QlUiAlarmList&) = delete;
  QlUiAlarmList& operator=(const QlUiAlarmList&) = delete;

  void Draw(const D2ResInfo& d2) override { table.Draw(d2); }
  // The table's rectangle; whoever places the element calls table.SetRect.
  D2D_RECT_F GetRect() const override { return table.GetRect(); }

  // Columns, title, header row.
  void SetupTable();
  // The design-time preview: the header and one demonstration row.
  void ShowDemoRows();

  // The counter test of a refresh tick: true when the rows are to be rebuilt
  // (the counter differs from the last one seen, or a refresh is forced);
  // the counter is then remembered.
  bool CounterMoved(uint32_t counter);
  // A refresh tick: the counter test with the manager's alarm change counter,
  // then the rows rebuilt. True when they were (the view repaints).
  bool RefreshFromManager(const NsAlarm::AlarmManager& manager);

  // Replaces the data rows by the manager's active alarms, oldest first,
  // under its active-list lock. When there are more than the table holds
  // the oldest are left out.
  static void FillFromActiveAlarms(const NsAlarm::AlarmManager& manager, QlUiAlarmList& element,
                                   RowAdder& adder);
  // The same with an adder numbering from 1 in row 1.
  static void FillFromActiveAlarms(const NsAlarm::AlarmManager& manager, QlUiAlarmList& element);

  // Writes the adder's row (number, message, colours) and moves the adder
  // on. The row must hold no records yet: the fill empties the data rows
  // first. Nothing for a row outside the table.
  void AddAlarmRow(RowAdder& adder, const std::string& message);

  // A new element with the base fields, the table's model, cells, rectangle
  // and title, and the counter state copied.
  std::shared_ptr<QlUiAlarmList> Clone() const;

  NsDx2d::Dx2Table table{3};
  // The next refresh rebuilds whatever the counter says.
  bool forceRefresh = false;
  // The manager's counter at the last rebuild.
  uint32_t lastCounter = 0;
};

}  // namespace NsOvrin::NsQlUiElem
