#pragma once
// The alarm history: a two-column table (date, message) of the records in
// the alarm manager's history ring, oldest first. In design mode it shows
// one demonstration row; online its host asks it on every tick to compare
// the manager's history change counter and to rebuild the rows when it
// moved. The rows are copies made under the manager's history lock.
#include <cstdint>
#include <memory>
#include <string>

#include "QlUiElem/QlUiElem.h"
#include "dx2d/Dx2Table.h"

namespace NsOvrin::NsAlarm {
class AlarmManager;
struct HistData;
}  // namespace NsOvrin::NsAlarm

namespace NsOvrin::NsQlUiElem {

class QlUiAlarmHist : public QlUiElem {
 public:
  // A table of 3 rows, set up; no demonstration row yet.
  QlUiAlarmHist();
  QlUiAlarmHist(const QlUiAlarmHist&) = delete;
  QlUiAlarmHist& operator=(const QlUiAlarmHist&) = delete;

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
  // A refresh tick against the program's alarm manager.
  bool RefreshFromManager();
  // The counter test with the manager's history change counter, then the
  // rows rebuilt from its ring under the history lock. True when they were
  // (the view repaints). When the ring holds more records than the table
  // can, the oldest are left out.
  bool RefreshFromManager(const NsAlarm::AlarmManager& manager);

  // Writes the record into row (date, message, colours) and moves row on.
  // The row must hold no records yet: the rebuild empties the data rows
  // first. Nothing for a row outside the table.
  void AddHistoryRow(uint16_t& row, const NsAlarm::HistData& record);

  // "%m/%d %H:%M:%S" of the seconds since 1970 in local time; empty when
  // the time cannot be converted.
  static std::string FormatOnTime(int64_t seconds);

  // A new element with the base fields, the table's model, cells, rectangle
  // and title, and the counter state copied.
  std::shared_ptr<QlUiAlarmHist> Clone() const;

  NsDx2d::Dx2Table table{3};
  // The next refresh rebuilds whatever the counter says.
  bool forceRefresh = false;
  // The manager's counter at the last rebuild.
  uint32_t lastCounter = 0;
};

}  // namespace NsOvrin::NsQlUiElem
