#include "QlUiElem/QlUiAlarmHist.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "AlarmTableRows.h"
#include "QlUiElem/QlUiAlarmList.h"
#include "alarm/HistData.h"
#include "dx2d/RecordingDrawContext.h"

using namespace NsOvrin;
using namespace NsOvrin::NsQlUiElem;
using namespace NsOvrin::NsQlUiElem::Testing;
using namespace NsOvrin::NsDx2d;
using Lines = std::vector<std::string>;

namespace {

constexpr uint32_t kDefaultText = 0x333333;
constexpr uint32_t kMessage = 0x666666;

std::shared_ptr<QlUiAlarmHist> PlacedHist() {
  auto hist = std::make_shared<QlUiAlarmHist>();
  hist->table.SetRect({0, 0, 450, 210});
  return hist;
}

// Seconds of a local time.
int64_t LocalSeconds(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&tm));
}

// Each bit of the segment on and off once, in order: one record per bit.
void RecordEach(NsAlarm::AlarmSeg& seg, uint32_t bits) {
  std::unique_lock lock(seg.GetLock());
  for (uint32_t i = 0; i < bits; ++i) {
    seg.SetBit(static_cast<uint16_t>(i), 1);
    seg.SetBit(static_cast<uint16_t>(i), 0);
  }
}

std::vector<std::string> Messages(const Dx2Table& table) {
  std::vector<std::string> out;
  for (const ShownRow& row : DataRows(table)) out.push_back(row.text1);
  return out;
}

std::vector<std::string> Numbered(const char* prefix, uint32_t first, uint32_t end) {
  std::vector<std::string> out;
  for (uint32_t i = first; i < end; ++i) out.push_back(prefix + std::to_string(i));
  return out;
}

}  // namespace

TEST(QlUiAlarmHist, ANewHistoryIsSetUpWithoutDemoRow) {
  const QlUiAlarmHist hist;
  EXPECT_TRUE(hist.shown);
  EXPECT_FALSE(hist.inError);
  EXPECT_FALSE(hist.forceRefresh);
  EXPECT_EQ(hist.lastCounter, 0u);
  const Dx2Table& t = hist.table;
  EXPECT_EQ(t.GetRowCount(), 3);
  EXPECT_EQ(t.title.text, "历史警报");
  EXPECT_EQ(t.title.backColour, 0xEAEAEAu);
  EXPECT_EQ(t.title.textColour, 0x6F6FE6u);
  EXPECT_EQ(t.title.fontSize, 120);
  EXPECT_TRUE(t.title.shown);
  EXPECT_EQ(t.rowHeight, 26.0f);
  EXPECT_TRUE(t.columnWidths.Resizable());
  EXPECT_EQ(t.columnWidths.Widths(), (std::vector<float>{120.0f, 300.0f}));
  EXPECT_EQ(t.columnWidths.Edges(), (std::vector<float>{0.0f, 124.0f, 428.0f}));
  EXPECT_FLOAT_EQ(t.scrollBars.contentWidth, 432.0f);
  EXPECT_EQ(t.GetCellText(0, 0), "日 期");
  EXPECT_EQ(t.GetCellText(0, 1), "警报消息");
  EXPECT_EQ(*t.columnAligns[0], kCellAlignCentre);
  EXPECT_EQ(*t.columnAligns[1], kCellAlignLeft);
  EXPECT_EQ(CellAlignment(t, *t.FindCell(0, 1)), kCellAlignCentre);
}

TEST(QlUiAlarmHist, DrawsTheTableWithTheDemoRow) {
  auto hist = PlacedHist();
  hist->ShowDemoRows();
  EXPECT_EQ(DataRows(hist->table),
            (std::vector<ShownRow>{{"1/01 09:00:00", "M1000, 演示警报消息.", kDefaultText, kDefaultText, 0, 0}}));
  RecordingDrawContext d2;
  hist->Draw(d2.Info());
  const Lines calls = d2.Calls();
  ASSERT_EQ(calls.size(), 13u);
  EXPECT_EQ(Lines(calls.begin() + 5, calls.end()),
            (Lines{
                "DrawText \"日 期\" (1,33,123,57) 0x333333@1 微软雅黑 12 centre/centre",
                "DrawText \"警报消息\" (125,33,427,57) 0x333333@1 微软雅黑 12 centre/centre",
                "DrawText \"1/01 09:00:00\" (1,59,123,83) 0x333333@1 微软雅黑 12 centre/centre",
                "DrawText \"M1000, 演示警报消息.\" (129,59,427,83) 0x333333@1 微软雅黑 12 leading/centre",
                "PopAxisAlignedClip",
                "FillRectangle (0,0,450,31) 0xEAEAEA@1",
                "DrawText \"历史警报\" (0,0,450,31) 0x6F6FE6@1 微软雅黑 16 centre/centre",
                "DrawRectangle (0,0,449,209) 0x908782@1 w=1",
            }));
}

TEST(QlUiAlarmHist, FormatsTheOnTimeInLocalTime) {
  struct Case {
    int64_t seconds;
    std::string expected;
  };
  const Case cases[] = {
      {LocalSeconds(2024, 3, 2, 13, 5, 9), "03/02 13:05:09"},
      {LocalSeconds(2023, 12, 31, 23, 59, 59), "12/31 23:59:59"},
      {LocalSeconds(2025, 1, 1, 0, 0, 0), "01/01 00:00:00"},
      // No calendar year holds it.
      {std::numeric_limits<int64_t>::max(), ""},
      {std::numeric_limits<int64_t>::min(), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seconds);
    EXPECT_EQ(QlUiAlarmHist::FormatOnTime(c.seconds), c.expected);
  }
}

TEST(QlUiAlarmHist, AHistoryRowShowsDateAndMessageStriped) {
  QlUiAlarmHist hist;  // rows 0-2
  NsAlarm::HistData record;
  record.onTime = LocalSeconds(2024, 3, 2, 13, 5, 9);
  record.offTime = record.onTime + 60;
  record.sourceText = "锅炉";
  record.message = "温度过高";
  uint16_t row = 1;
  hist.AddHistoryRow(row, record);
  record.onTime = std::numeric_limits<int64_t>::max();
  record.message = "压力过低";
  hist.AddHistoryRow(row, record);
  EXPECT_EQ(row, 3);
  EXPECT_EQ(DataRows(hist.table), (std::vector<ShownRow>{
                                      {"03/02 13:05:09", "温度过高", kDefaultText, kMessage, 0xEFEFEF, 0xEFEFEF},
                                      {"", "压力过低", kDefaultText, kMessage, 0xFAFAFA, 0xFAFAFA},
                                  }));
  // Past the table: nothing.
  const std::size_t records = hist.table.cells.size();
  hist.AddHistoryRow(row, record);
  EXPECT_EQ(row, 3);
  EXPECT_EQ(hist.table.cells.size(), records);
}

TEST(QlUiAlarmHist, ShowsTheRecordsOfTheRingOldestFirst) {
  auto m = LocalManager();
  auto seg = AddSegment(*m, {"温度过高", "压力过低", "液位过高"});
  auto hist = PlacedHist();
  hist->ShowDemoRows();

  SetBit(*seg, 1, 1);
  SetBit(*seg, 2, 1);
  SetBit(*seg, 2, 0);
  SetBit(*seg, 1, 0);
  SetBit(*seg, 0, 1);  // on, not in the history yet
  ASSERT_TRUE(hist->RefreshFromManager(*m));
  const int64_t on2 = seg->GetBits()[2].onTime;
  const int64_t on1 = seg->GetBits()[1].onTime;
  EXPECT_EQ(DataRows(hist->table),
            (std::vector<ShownRow>{
                {QlUiAlarmHist::FormatOnTime(on2), "液位过高", kDefaultText, kMessage, 0xEFEFEF, 0xEFEFEF},
                {QlUiAlarmHist::FormatOnTime(on1), "压力过低", kDefaultText, kMessage, 0xFAFAFA, 0xFAFAFA},
            }));
  EXPECT_FALSE(hist->table.GetCellText(1, 0).empty());
  EXPECT_FLOAT_EQ(hist->table.scrollBars.contentHeight, 3 * 26.0f + 2.0f);

  // Back to design mode.
  hist->ShowDemoRows();
  EXPECT_EQ(Messages(hist->table), std::vector<std::string>{"M1000, 演示警报消息."});
}

TEST(QlUiAlarmHist, AFullRingFillsItsCapacityOfRows) {
  struct Case {
    const char* name;
    uint16_t capacity;
    uint32_t records;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"not full", 100, 3, Numbered("m", 0, 3)},
      {"exactly full", 100, 100, Numbered("m", 0, 100)},
      {"wrapped: the oldest went", 100, 130, Numbered("m", 30, 130)},
      {"wrapped a small ring", 3, 5, Numbered("m", 2, 5)},
      {"no capacity: header only", 0, 5, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto m = LocalManager();
    m->SetMaxHistCount(c.capacity);
    auto seg = AddSegment(*m, Numbered("m", 0, c.records));
    RecordEach(*seg, c.records);
    auto hist = PlacedHist();
    hist->ShowDemoRows();
    ASSERT_TRUE(hist->RefreshFromManager(*m));
    EXPECT_EQ(hist->table.GetRowCount(), c.expected.size() + 1);
    EXPECT_EQ(Messages(hist->table), c.expected);
    EXPECT_EQ(hist->table.GetCellText(0, 0), "日 期");
  }
}

TEST(QlUiAlarmHist, ARingLargerThanATableShowsTheNewest) {
  auto m = LocalManager();
  m->SetMaxHistCount(0xFFFF);
  const uint32_t records = 0xFFFF;
  auto seg = AddSegment(*m, Numbered("m", 0, records));
  RecordEach(*seg, records);
  auto hist = PlacedHist();
  ASSERT_TRUE(hist->RefreshFromManager(*m));
  const Dx2Table& t = hist->table;
  ASSERT_EQ(t.GetRowCount(), 0xFFFF);
  EXPECT_EQ(t.GetCellText(0, 1), "警报消息");
  EXPECT_EQ(t.GetCellText(1, 1), "m1");
  EXPECT_EQ(t.GetCellText(0xFFFE, 1), "m65534");
  EXPECT_EQ(t.cells.size(), 2u + 2u * kMaxAlarmTableRows);
}

TEST(QlUiAlarmHist, RebuildsOnlyWhenTheHistoryCounterMoves) {
  auto m = LocalManager();
  auto seg = AddSegment(*m, {"a", "b"});
  auto hist = PlacedHist();
  auto list = std::make_shared<QlUiAlarmList>();
  hist->ShowDemoRows();
  list->ShowDemoRows();
  hist->forceRefresh = true;
  list->forceRefresh = true;

  struct Tick {
    const char* name;
    int bit;  // -1: nothing happens
    uint8_t value;
    bool histRebuilt, listRebuilt;
    std::vector<std::string> history;
  };
  const Tick ticks[] = {
      {"the first tick online rebuilds both", -1, 0, true, true, {}},
      {"no change", -1, 0, false, false, {}},
      {"no change again", -1, 0, false, false, {}},
      {"an alarm on moves only the alarm counter", 0, 1, false, true, {}},
      {"an alarm off moves both", 0, 0, true, true, {"a"}},
      {"quiet", -1, 0, false, false, {"a"}},
      {"another round", 1, 1, false, true, {"a"}},
      {"and off", 1, 0, true, true, {"a", "b"}},
  };
  for (const Tick& tick : ticks) {
    SCOPED_TRACE(tick.name);
    if (tick.bit >= 0) SetBit(*seg, static_cast<uint16_t>(tick.bit), tick.value);
    EXPECT_EQ(hist->RefreshFromManager(*m), tick.histRebuilt);
    EXPECT_EQ(list->RefreshFromManager(*m), tick.listRebuilt);
    EXPECT_EQ(hist->lastCounter, m->GetHistoryChangeCount());
    EXPECT_EQ(Messages(hist->table), tick.history);
  }

  // Resizing the history empties it and is a change.
  m->SetMaxHistCount(50);
  EXPECT_TRUE(hist->RefreshFromManager(*m));
  EXPECT_EQ(hist->table.GetRowCount(), 1);
}

TEST(QlUiAlarmHist, CloneCopiesRowsLookAndCounterState) {
  auto m = LocalManager();
  auto seg = AddSegment(*m, {"a"});
  SetBit(*seg, 0, 1);
  SetBit(*seg, 0, 0);
  auto hist = PlacedHist();
  ASSERT_TRUE(hist->RefreshFromManager(*m));
  hist->selected = true;
  hist->SetErrorText("x");
  hist->table.SetRect({10, 20, 300, 400});

  const std::shared_ptr<QlUiAlarmHist> copy = hist->Clone();
  EXPECT_TRUE(copy->selected);
  EXPECT_EQ(copy->errorText, "x");
  EXPECT_FALSE(copy->forceRefresh);
  EXPECT_EQ(copy->lastCounter, hist->lastCounter);
  EXPECT_EQ(copy->GetRect(), (D2D_RECT_F{10, 20, 300, 400}));
  EXPECT_EQ(copy->table.title.text, "历史警报");
  EXPECT_EQ(DataRows(copy->table), DataRows(hist->table));
  RecordingDrawContext a, b;
  hist->Draw(a.Info());
  copy->Draw(b.Info());
  EXPECT_EQ(a.Calls(), b.Calls());

  // The copy follows the counter from where the source was.
  EXPECT_FALSE(copy->RefreshFromManager(*m));
  copy->ShowDemoRows();
  EXPECT_EQ(Messages(hist->table), std::vector<std::string>{"a"});
}
