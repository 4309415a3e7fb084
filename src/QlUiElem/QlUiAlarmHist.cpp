#include "QlUiElem/QlUiAlarmHist.h"
#include "QlUiElem/AlarmTableCells.h"

#include <algorithm>
#include <ctime>
#include <mutex>
#include <shared_mutex>
#include <utility>

#include "QlUiElem/QlUiAlarmList.h"
#include "alarm/AlarmManager.h"
#include "alarm/HistData.h"
#include "platform/Format.h"

namespace NsOvrin::NsQlUiElem {
namespace {

using NsDx2d::Dx2Table;

constexpr float kDateWidth = 120.0f;
constexpr float kMessageWidth = 300.0f;
constexpr NsDx2d::COLORREF kTitleBack = 0xEAEAEA;
constexpr NsDx2d::COLORREF kTitleText = 0x6F6FE6;
constexpr NsDx2d::COLORREF kMessageColour = 0x666666;


}  // namespace

QlUiAlarmHist::QlUiAlarmHist() { SetupTable(); }

void QlUiAlarmHist::SetupTable() {
  table.columnWidths.SetResizable(true);
  table.columnWidths.SetWidth(0, kDateWidth);
  table.columnWidths.SetWidth(1, kMessageWidth);
  table.UpdateContentWidth();
  table.title.text = "历史警报";
  table.title.backColour = kTitleBack;
  table.title.textColour = kTitleText;
  table.SetCellText(0, 0, "日 期");
  table.SetCellText(0, 1, "警报消息");
  table.CenterHeaderCell(1);
  if (const auto align = table.GetColumnAlign(1)) *align = kCellAlignLeft;
}

void QlUiAlarmHist::ShowDemoRows() {
  table.SetRowCount(1);
  if (table.currentRow >= 1) table.currentRow = UTableBase::kNoRow;
  table.UpdateContentHeight();
  table.SetRowCount(static_cast<uint16_t>(table.GetRowCount() + 1));
  table.UpdateContentHeight();
  table.SetCellText(1, 0, "1/01 09:00:00");
  table.SetCellText(1, 1, "M1000, 演示警报消息.");
}

bool QlUiAlarmHist::CounterMoved(uint32_t counter) {
  if (forceRefresh) {
    lastCounter = counter - 1;
    forceRefresh = false;
  }
  if (counter == lastCounter) return false;
  lastCounter = counter;
  return true;
}

bool QlUiAlarmHist::RefreshFromManager() { return RefreshFromManager(NsAlarm::AlarmManager::Instance()); }

bool QlUiAlarmHist::RefreshFromManager(const NsAlarm::AlarmManager& manager) {
  // Read before the rows: a record that lands during the rebuild moves the
  // counter again and is caught on the next tick.
  if (!CounterMoved(manager.GetHistoryChangeCount())) return false;
  std::shared_lock lock(manager.GetHistoryLock());
  const NsAlarm::AlarmHistoryRing& ring = manager.GetHistory();
  const uint32_t count = ring.Count();
  const uint32_t shown = std::min(count, kMaxAlarmTableRows);
  // The old data rows go first, so that every row is written afresh.
  table.SetRowCount(1);
  table.SetRowCount(static_cast<uint16_t>(shown + 1));
  table.UpdateContentHeight();
  uint16_t row = 1;
  for (uint32_t i = count - shown; i < count; ++i) AddHistoryRow(row, ring.At(i));
  return true;
}

std::string QlUiAlarmHist::FormatOnTime(int64_t seconds) {
  static_assert(sizeof(std::time_t) >= sizeof(int64_t), "every stored time converts");
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (localtime_r(&time, &local) == nullptr) return std::string();
  return NsPlatform::StrFormat("%02d/%02d %02d:%02d:%02d", local.tm_mon + 1, local.tm_mday, local.tm_hour,
                               local.tm_min, local.tm_sec);
}

void QlUiAlarmHist::AddHistoryRow(uint16_t& row, const NsAlarm::HistData& record) {
  const uint16_t r = row;
  if (r >= table.GetRowCount()) return;
  const uint32_t back = AlarmRowBackColour(r);
  AppendAlarmCell(table, r, 0, FormatOnTime(record.onTime), back, nullptr);
  AppendAlarmCell(table, r, 1, record.message, back, &kMessageColour);
  row = static_cast<uint16_t>(r + 1);
}

std::shared_ptr<QlUiAlarmHist> QlUiAlarmHist::Clone() const {
  auto copy = std::make_shared<QlUiAlarmHist>();
  copy->QlUiElem::operator=(*this);
  copy->table.CopyFrom(table);
  copy->forceRefresh = forceRefresh;
  copy->lastCounter = lastCounter;
  return copy;
}

}  // namespace NsOvrin::NsQlUiElem
