#include "QlUiElem/QlUiAlarmList.h"
#include "QlUiElem/AlarmTableCells.h"

#include <algorithm>
#include <iterator>
#include <list>
#include <mutex>
#include <shared_mutex>
#include <utility>

#include "alarm/AlarmManager.h"
#include "platform/Format.h"

namespace NsOvrin::NsQlUiElem {
namespace {

using NsDx2d::Dx2Table;

constexpr float kNumberWidth = 60.0f;
constexpr float kMessageWidth = 300.0f;
constexpr NsDx2d::COLORREF kTitleBack = 0xEAEAEA;
constexpr NsDx2d::COLORREF kTitleText = 0x6F6FE6;
constexpr NsDx2d::COLORREF kMessageColour = 0x493DFC;
constexpr const char* kDemoMessage = "M1000, 演示警报消息.";


}  // namespace

QlUiAlarmList::QlUiAlarmList() { SetupTable(); }

void QlUiAlarmList::SetupTable() {
  table.columnWidths.SetResizable(true);
  table.columnWidths.SetWidth(0, kNumberWidth);
  table.columnWidths.SetWidth(1, kMessageWidth);
  table.UpdateContentWidth();
  table.title.text = "当前警报";
  table.title.backColour = kTitleBack;
  table.title.textColour = kTitleText;
  table.SetCellText(0, 0, "序 号");
  table.SetCellText(0, 1, "警报消息");
  table.CenterHeaderCell(1);
  if (const auto align = table.GetColumnAlign(1)) *align = kCellAlignLeft;
}

void QlUiAlarmList::ShowDemoRows() {
  table.SetRowCount(1);
  if (table.currentRow >= 1) table.currentRow = UTableBase::kNoRow;
  table.UpdateContentHeight();
  table.SetRowCount(static_cast<uint16_t>(table.GetRowCount() + 1));
  table.UpdateContentHeight();
  table.SetCellText(1, 0, "1");
  table.SetCellText(1, 1, kDemoMessage);
  table.SetCellTextColour(1, 1, kMessageColour);
}

bool QlUiAlarmList::CounterMoved(uint32_t counter) {
  if (forceRefresh) {
    lastCounter = counter - 1;
    forceRefresh = false;
  }
  if (counter == lastCounter) return false;
  lastCounter = counter;
  return true;
}

bool QlUiAlarmList::RefreshFromManager(const NsAlarm::AlarmManager& manager) {
  // Read before the rows: an alarm that lands during the rebuild moves the
  // counter again and is caught on the next tick.
  if (!CounterMoved(manager.GetAlarmChangeCount())) return false;
  FillFromActiveAlarms(manager, *this);
  return true;
}

void QlUiAlarmList::FillFromActiveAlarms(const NsAlarm::AlarmManager& manager, QlUiAlarmList& element) {
  RowAdder adder;
  FillFromActiveAlarms(manager, element, adder);
}

void QlUiAlarmList::FillFromActiveAlarms(const NsAlarm::AlarmManager& manager, QlUiAlarmList& element,
                                         RowAdder& adder) {
  std::shared_lock lock(manager.GetActiveLock());
  const std::list<NsAlarm::ActiveAlarm>& active = manager.GetActiveAlarms();
  const std::size_t shown = std::min<std::size_t>(active.size(), kMaxAlarmTableRows);
  Dx2Table& table = element.table;
  // The old data rows go first, so that every row is written afresh.
  table.SetRowCount(1);
  table.SetRowCount(static_cast<uint16_t>(shown + 1));
  table.UpdateContentHeight();
  auto it = active.begin();
  std::advance(it, static_cast<std::ptrdiff_t>(active.size() - shown));
  for (; it != active.end(); ++it) {
    // The segment stays the manager's while the active lock is held.
    element.AddAlarmRow(adder, it->segment != nullptr ? it->segment->GetBitMessage(it->bit) : "?");
  }
}

void QlUiAlarmList::AddAlarmRow(RowAdder& adder, const std::string& message) {
  const uint16_t r = adder.row;
  if (r >= table.GetRowCount()) return;
  ++adder.number;
  const uint32_t back = AlarmRowBackColour(r);
  AppendAlarmCell(table, r, 0, NsPlatform::StrFormat("%u", adder.number), back, nullptr);
  AppendAlarmCell(table, r, 1, message, back, &kMessageColour);
  adder.row = static_cast<uint16_t>(r + 1);
}

std::shared_ptr<QlUiAlarmList> QlUiAlarmList::Clone() const {
  auto copy = std::make_shared<QlUiAlarmList>();
  copy->QlUiElem::operator=(*this);
  copy->table.CopyFrom(table);
  copy->forceRefresh = forceRefresh;
  copy->lastCounter = lastCounter;
  return copy;
}

}  // namespace NsOvrin::NsQlUiElem
