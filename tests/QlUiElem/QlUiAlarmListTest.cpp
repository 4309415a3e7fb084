#include "QlUiElem/QlUiAlarmList.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "AlarmTableRows.h"
#include "dx2d/RecordingDrawContext.h"

using namespace NsOvrin;
using namespace NsOvrin::NsQlUiElem;
using namespace NsOvrin::NsQlUiElem::Testing;
using namespace NsOvrin::NsDx2d;
using Lines = std::vector<std::string>;

namespace {

constexpr uint32_t kDefaultText = 0x333333;
constexpr uint32_t kMessage = 0x493DFC;
constexpr const char* kDemo = "M1000, 演示警报消息.";

// An element as the factory places one.
std::shared_ptr<QlUiAlarmList> PlacedList() {
  auto list = std::make_shared<QlUiAlarmList>();
  list->table.SetRect({0, 0, 390, 210});
  return list;
}

}  // namespace

TEST(QlUiAlarmList, ANewListIsSetUpWithoutDemoRow) {
  const QlUiAlarmList list;
  EXPECT_TRUE(list.shown);
  EXPECT_FALSE(list.selected);
  EXPECT_FALSE(list.inError);
  EXPECT_EQ(list.errorText, "");
  EXPECT_FALSE(list.forceRefresh);
  EXPECT_EQ(list.lastCounter, 0u);

  const Dx2Table& t = list.table;
  EXPECT_EQ(t.GetRowCount(), 3);
  EXPECT_EQ(t.columnCount, 2);
  EXPECT_EQ(t.title.text, "当前警报");
  EXPECT_EQ(t.title.backColour, 0xEAEAEAu);
  EXPECT_EQ(t.title.textColour, 0x6F6FE6u);
  EXPECT_TRUE(t.title.shown);
  EXPECT_EQ(t.title.fontSize, 120);
  EXPECT_EQ(t.title.height, 32.0f);
  EXPECT_EQ(t.rowHeight, 26.0f);
  EXPECT_EQ(t.gridColour, 0xE5D7D0u);
  EXPECT_EQ(*t.defBackColour, 0xF7F5F5u);
  EXPECT_EQ(*t.defTextColour, kDefaultText);
  EXPECT_TRUE(t.columnWidths.Resizable());
  EXPECT_EQ(t.columnWidths.Widths(), (std::vector<float>{60.0f, 300.0f}));
  EXPECT_EQ(t.columnWidths.Edges(), (std::vector<float>{0.0f, 64.0f, 368.0f}));
  EXPECT_FLOAT_EQ(t.scrollBars.contentWidth, 372.0f);
  EXPECT_FLOAT_EQ(t.scrollBars.contentHeight, 3 * 26.0f + 2.0f);

  EXPECT_EQ(t.GetCellText(0, 0), "序 号");
  EXPECT_EQ(t.GetCellText(0, 1), "警报消息");
  // Column 0 keeps the centred default, column 1 is left-aligned but for
  // its header.
  EXPECT_EQ(*t.columnAligns[0], kCellAlignCentre);
  EXPECT_EQ(*t.columnAligns[1], kCellAlignLeft);
  EXPECT_EQ(CellAlignment(t, *t.FindCell(0, 0)), kCellAlignCentre);
  EXPECT_EQ(CellAlignment(t, *t.FindCell(0, 1)), kCellAlignCentre);
  EXPECT_TRUE(DataRows(t)[0] == ShownRow({"", "", kDefaultText, kDefaultText, 0, 0}));
}

TEST(QlUiAlarmList, DemoRowReplacesWhateverRowsThereWere) {
  auto m = LocalManager();
  auto seg = AddSegment(*m, {"a", "b", "c"});
  for (uint16_t bit = 0; bit < 3; ++bit) SetBit(*seg, bit, 1);

  auto list = PlacedList();
  const ShownRow demo{"1", kDemo, kDefaultText, kMessage, 0, 0};
  list->ShowDemoRows();
  EXPECT_EQ(DataRows(list->table), std::vector<ShownRow>{demo});

  QlUiAlarmList::FillFromActiveAlarms(*m, *list);
  ASSERT_EQ(list->table.GetRowCount(), 4);
  list->table.currentRow = 3;
  list->ShowDemoRows();
  EXPECT_EQ(DataRows(list->table), std::vector<ShownRow>{demo});
  EXPECT_EQ(list->table.currentRow, UTableBase::kNoRow);
  EXPECT_FLOAT_EQ(list->table.scrollBars.contentHeight, 2 * 26.0f + 2.0f);

  // The header row stays current.
  list->table.currentRow = 0;
  list->ShowDemoRows();
  EXPECT_EQ(list->table.currentRow, 0);
  EXPECT_EQ(DataRows(list->table), std::vector<ShownRow>{demo});
  EXPECT_EQ(list->table.GetCellText(0, 1), "警报消息");
}

TEST(QlUiAlarmList, DrawsTheTableWithTheDemoRow) {
  auto list = PlacedList();
  list->ShowDemoRows();
  RecordingDrawContext d2;
  list->Draw(d2.Info());

  std::string grid = "DrawGeometry alternate";
  for (int y = 32; y <= 32 + 9 * 26; y += 26) grid += " [hollow M(0," + std::to_string(y) + ") L(390," + std::to_string(y) + ") open]";
  grid += " [hollow M(64,32) L(64,210) open] [hollow M(368,32) L(368,210) open] 0xE5D7D0@1 w=1";
  EXPECT_EQ(d2.Calls(), (Lines{
                            "FillRectangle (0,0,390,210) 0xF7F5F5@1",
                            "PushAxisAlignedClip (1,1,389,209)",
                            grid,
                            "PopAxisAlignedClip",
                            "PushAxisAlignedClip (2,2,387,207)",
                            "DrawText \"序 号\" (1,33,63,57) 0x333333@1 微软雅黑 12 centre/centre",
                            "DrawText \"警报消息\" (65,33,367,57) 0x333333@1 微软雅黑 12 centre/centre",
                            "DrawText \"1\" (1,59,63,83) 0x333333@1 微软雅黑 12 centre/centre",
                            "DrawText \"M1000, 演示警报消息.\" (69,59,367,83) 0x493DFC@1 微软雅黑 12 leading/centre",
                            "PopAxisAlignedClip",
                            "FillRectangle (0,0,390,31) 0xEAEAEA@1",
                            "DrawText \"当前警报\" (0,0,390,31) 0x6F6FE6@1 微软雅黑 16 centre/centre",
                            "DrawRectangle (0,0,389,209) 0x908782@1 w=1",
                        }));
  EXPECT_EQ(list->GetRect(), (D2D_RECT_F{0, 0, 390, 210}));
}

TEST(QlUiAlarmList, ShowsTheActiveAlarmsNumberedAndStriped) {
  auto m = LocalManager();
  auto seg = AddSegment(*m, {"温度过高", "压力过低", "液位过高", "门未关"});
  auto list = PlacedList();
  list->ShowDemoRows();

  // In the order they came on, not in bit order.
  SetBit(*seg, 2, 1);
  SetBit(*seg, 0, 1);
  SetBit(*seg, 3, 1);
  QlUiAlarmList::RowAdder adder;
  QlUiAlarmList::FillFromActiveAlarms(*m, *list, adder);
  EXPECT_EQ(DataRows(list->table), (std::vector<ShownRow>{
                                        {"1", "液位过高", kDefaultText, kMessage, 0xEFEFEF, 0xEFEFEF},
                                        {"2", "温度过高", kDefaultText, kMessage, 0xFAFAFA, 0xFAFAFA},
                                        {"3", "门未关", kDefaultText, kMessage, 0xEFEFEF, 0xEFEFEF},
                                    }));
  EXPECT_EQ(adder.number, 3u);
  EXPECT_EQ(adder.row, 4);
  EXPECT_FLOAT_EQ(list->table.scrollBars.contentHeight, 4 * 26.0f + 2.0f);
  EXPECT_EQ(list->table.GetCellText(0, 0), "序 号");

  // One goes off: the rows are rebuilt, none is left behind.
  SetBit(*seg, 0, 0);
  QlUiAlarmList::FillFromActiveAlarms(*m, *list);
  EXPECT_EQ(DataRows(list->table), (std::vector<ShownRow>{
                                        {"1", "液位过高", kDefaultText, kMessage, 0xEFEFEF, 0xEFEFEF},
                                        {"2", "门未关", kDefaultText, kMessage, 0xFAFAFA, 0xFAFAFA},
                                    }));
  EXPECT_EQ(list->table.cells.size(), 2u + 4u);

  // A bit past its segment's messages shows "?".
  m->OnAlarmOn(seg.get(), 9);
  QlUiAlarmList::FillFromActiveAlarms(*m, *list);
  ASSERT_EQ(list->table.GetRowCount(), 4);
  EXPECT_EQ(list->table.GetCellText(3, 0), "3");
  EXPECT_EQ(list->table.GetCellText(3, 1), "?");

  // Without active alarms only the header is left.
  m->Clear();
  QlUiAlarmList::FillFromActiveAlarms(*m, *list);
  EXPECT_EQ(list->table.GetRowCount(), 1);
  EXPECT_EQ(list->table.cells.size(), 2u);
}

TEST(QlUiAlarmList, FilledRowsAreDrawnWithTheirStripes) {
  auto m = LocalManager();
  auto seg = AddSegment(*m, {"甲", "乙"});
  SetBit(*seg, 0, 1);
  SetBit(*seg, 1, 1);
  auto list = PlacedList();
  QlUiAlarmList::FillFromActiveAlarms(*m, *list);
  RecordingDrawContext d2;
  list->Draw(d2.Info());
  Lines cells;
  bool inCells = false;
  int clips = 0;
  for (const DrawCall& call : d2.target.calls) {
    if (call.op == DrawOp::PushAxisAlignedClip) inCells = ++clips == 2;
    else if (call.op == DrawOp::PopAxisAlignedClip) inCells = false;
    else if (inCells) cells.push_back(call.ToString());
  }
  EXPECT_EQ(cells, (Lines{
                       "DrawText \"序 号\" (1,33,63,57) 0x333333@1 微软雅黑 12 centre/centre",
                       "DrawText \"警报消息\" (65,33,367,57) 0x333333@1 微软雅黑 12 centre/centre",
                       "FillRectangle (1,59,63,83) 0xEFEFEF@1",
                       "DrawText \"1\" (1,59,63,83) 0x333333@1 微软雅黑 12 centre/centre",
                       "FillRectangle (65,59,367,83) 0xEFEFEF@1",
                       "DrawText \"甲\" (69,59,367,83) 0x493DFC@1 微软雅黑 12 leading/centre",
                       "FillRectangle (1,85,63,109) 0xFAFAFA@1",
                       "DrawText \"2\" (1,85,63,109) 0x333333@1 微软雅黑 12 centre/centre",
                       "FillRectangle (65,85,367,109) 0xFAFAFA@1",
                       "DrawText \"乙\" (69,85,367,109) 0x493DFC@1 微软雅黑 12 leading/centre",
                   }));
}

TEST(QlUiAlarmList, RebuildsOnlyWhenTheAlarmCounterMoves) {
  auto m = LocalManager();
  auto seg = AddSegment(*m, {"a", "b"});
  auto list = PlacedList();
  list->ShowDemoRows();

  struct Tick {
    const char* name;
    void (*before)(QlUiAlarmList&, NsAlarm::AlarmSeg&);
    bool rebuilt;
    std::vector<std::string> messages;
  };
  const Tick ticks[] = {
      {"online: the first tick rebuilds", [](QlUiAlarmList& l, NsAlarm::AlarmSeg&) { l.forceRefresh = true; }, true, {}},
      {"nothing changed", [](QlUiAlarmList&, NsAlarm::AlarmSeg&) {}, false, {}},
      {"still nothing", [](QlUiAlarmList&, NsAlarm::AlarmSeg&) {}, false, {}},
      {"an alarm comes on", [](QlUiAlarmList&, NsAlarm::AlarmSeg& s) { SetBit(s, 1, 1); }, true, {"b"}},
      {"a repeated value is no change", [](QlUiAlarmList&, NsAlarm::AlarmSeg& s) { SetBit(s, 1, 1); }, false, {"b"}},
      {"another comes on", [](QlUiAlarmList&, NsAlarm::AlarmSeg& s) { SetBit(s, 0, 1); }, true, {"b", "a"}},
      {"one goes off", [](QlUiAlarmList&, NsAlarm::AlarmSeg& s) { SetBit(s, 1, 0); }, true, {"a"}},
      {"forced again without a change", [](QlUiAlarmList& l, NsAlarm::AlarmSeg&) { l.forceRefresh = true; }, true, {"a"}},
      {"and quiet", [](QlUiAlarmList&, NsAlarm::AlarmSeg&) {}, false, {"a"}},
  };
  for (const Tick& tick : ticks) {
    SCOPED_TRACE(tick.name);
    tick.before(*list, *seg);
    EXPECT_EQ(list->RefreshFromManager(*m), tick.rebuilt);
    EXPECT_FALSE(list->forceRefresh);
    EXPECT_EQ(list->lastCounter, m->GetAlarmChangeCount());
    std::vector<std::string> shown;
    for (const ShownRow& row : DataRows(list->table)) shown.push_back(row.text1);
    EXPECT_EQ(shown, tick.messages);
  }

  // Leaving online mode brings the demo row back.
  list->ShowDemoRows();
  EXPECT_EQ(DataRows(list->table), (std::vector<ShownRow>{{"1", kDemo, kDefaultText, kMessage, 0, 0}}));
}

TEST(QlUiAlarmList, CounterTestWrapsAroundAndIsForcedByTheFlag) {
  QlUiAlarmList list;
  struct Case {
    const char* name;
    bool force;
    uint32_t last, counter;
    bool moved;
  };
  const Case cases[] = {
      {"same counter", false, 7, 7, false},
      {"moved", false, 7, 8, true},
      {"moved backwards is still a move", false, 7, 6, true},
      {"forced with the same counter", true, 7, 7, true},
      {"forced at 0 does not trip over the wrap", true, 5, 0, true},
      {"wrapped past the top", false, 0xFFFFFFFF, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    list.forceRefresh = c.force;
    list.lastCounter = c.last;
    EXPECT_EQ(list.CounterMoved(c.counter), c.moved);
    EXPECT_EQ(list.lastCounter, c.counter);
    EXPECT_FALSE(list.forceRefresh);
  }
}

TEST(QlUiAlarmList, MoreAlarmsThanATableHoldsShowTheNewest) {
  auto m = LocalManager();
  std::vector<std::string> messages;
  const uint32_t alarms = kMaxAlarmTableRows + 2;
  for (uint32_t i = 0; i < alarms; ++i) messages.push_back("m" + std::to_string(i));
  auto seg = AddSegment(*m, messages);
  {
    std::unique_lock lock(seg->GetLock());
    for (uint32_t i = 0; i < alarms; ++i) seg->SetBit(static_cast<uint16_t>(i), 1);
  }
  auto list = PlacedList();
  QlUiAlarmList::FillFromActiveAlarms(*m, *list);
  const Dx2Table& t = list->table;
  ASSERT_EQ(t.GetRowCount(), 0xFFFF);
  EXPECT_EQ(t.GetCellText(0, 0), "序 号");
  EXPECT_EQ(t.GetCellText(1, 0), "1");
  EXPECT_EQ(t.GetCellText(1, 1), "m2");
  EXPECT_EQ(t.GetCellText(0xFFFE, 0), "65534");
  EXPECT_EQ(t.GetCellText(0xFFFE, 1), "m65535");
  EXPECT_EQ(t.cells.size(), 2u + 2u * kMaxAlarmTableRows);
}

TEST(QlUiAlarmList, AddAlarmRowStaysInsideTheTable) {
  QlUiAlarmList list;  // rows 0-2
  QlUiAlarmList::RowAdder adder;
  adder.row = 2;
  adder.number = 41;
  list.AddAlarmRow(adder, "x");
  EXPECT_EQ(adder.row, 3);
  EXPECT_EQ(adder.number, 42u);
  EXPECT_EQ(list.table.GetCellText(2, 0), "42");
  EXPECT_EQ(ShowRow(list.table, 2), (ShownRow{"42", "x", kDefaultText, kMessage, 0xFAFAFA, 0xFAFAFA}));

  const std::size_t records = list.table.cells.size();
  list.AddAlarmRow(adder, "y");
  EXPECT_EQ(list.table.cells.size(), records);
  EXPECT_EQ(adder.row, 3);
  EXPECT_EQ(adder.number, 42u);
}

TEST(QlUiAlarmList, CloneCopiesRowsLookAndCounterState) {
  auto m = LocalManager();
  auto seg = AddSegment(*m, {"a", "b"});
  SetBit(*seg, 1, 1);
  auto list = PlacedList();
  list->forceRefresh = true;
  ASSERT_TRUE(list->RefreshFromManager(*m));
  list->forceRefresh = true;
  list->selected = true;
  list->inError = true;
  list->SetErrorText("坏了");
  list->errorTextWidth = 30;
  list->errorTextHeight = 10;
  list->table.title.text = "报警";

  const std::shared_ptr<QlUiAlarmList> copy = list->Clone();
  ASSERT_NE(copy, list);
  EXPECT_TRUE(copy->selected);
  EXPECT_TRUE(copy->inError);
  EXPECT_EQ(copy->errorText, "坏了");
  EXPECT_EQ(copy->errorTextWidth, 30.0f);
  EXPECT_EQ(copy->errorTextHeight, 10.0f);
  EXPECT_TRUE(copy->forceRefresh);
  EXPECT_EQ(copy->lastCounter, list->lastCounter);
  EXPECT_EQ(copy->GetRect(), list->GetRect());
  EXPECT_EQ(copy->table.title.text, "报警");
  EXPECT_EQ(DataRows(copy->table), DataRows(list->table));
  EXPECT_EQ(copy->table.columnWidths.Widths(), (std::vector<float>{60.0f, 300.0f}));

  // Drawn alike, and apart afterwards.
  RecordingDrawContext a, b;
  list->Draw(a.Info());
  copy->Draw(b.Info());
  EXPECT_EQ(a.Calls(), b.Calls());
  copy->ShowDemoRows();
  EXPECT_EQ(list->table.GetCellText(1, 1), "b");
  EXPECT_EQ(copy->table.GetCellText(1, 1), kDemo);
}

// The polling threads switch alarms while the view thread rebuilds: the
// rows are copied under the manager's lock, and the last tick shows the
// final state.
TEST(QlUiAlarmList, RebuildsWhileAlarmsChangeOnAnotherThread) {
  auto m = LocalManager();
  auto seg = AddSegment(*m, {"a", "b", "c", "d"});
  auto list = PlacedList();
  std::atomic<bool> stop{false};
  std::thread poller([&] {
    for (int i = 0; i < 2000 && !stop; ++i) {
      SetBit(*seg, static_cast<uint16_t>(i % 4), static_cast<uint8_t>((i / 4) % 2));
      if (i % 97 == 0) {
        // A segment leaving takes its alarms with it.
        auto other = AddSegment(*m, {"x"});
        SetBit(*other, 0, 1);
        m->RemoveSeg(other.get());
      }
    }
  });
  for (int i = 0; i < 300; ++i) list->RefreshFromManager(*m);
  stop = true;
  poller.join();
  SetBit(*seg, 0, 1);
  SetBit(*seg, 1, 0);
  SetBit(*seg, 2, 0);
  SetBit(*seg, 3, 0);
  EXPECT_TRUE(list->RefreshFromManager(*m));
  EXPECT_EQ(DataRows(list->table), (std::vector<ShownRow>{{"1", "a", kDefaultText, kMessage, 0xEFEFEF, 0xEFEFEF}}));
}
