// The hosts of the current-alarm list, the alarm history and the IO table:
// defaults, geometry, checks, clones, and the live data they show online.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "AlarmsFixture.h"
#include "HostLabel.h"
#include "dx2d/RecordingDrawContext.h"
#include "editor/EditorGlobals.h"
#include "editor/QlEHostAlarmHist.h"
#include "editor/QlEHostAlarmList.h"
#include "editor/QlEHostOvList.h"

namespace NsOvrin::NsQlElemEditor {
namespace {

using NsDx2d::DrawCall;
using NsDx2d::DrawOp;
using NsDx2d::RecordingDrawContext;
using NsQlElemIo::QlAlarmHistIo;
using NsQlElemIo::QlAlarmListIo;
using NsQlElemIo::QlOvListIo;
using NsQlUiElem::QlUiAlarmList;
using NsQlUiElem::QlUiOvList;
using NsQlUiElem::Testing::DataRows;
using NsQlUiElem::Testing::SetBit;
using NsQlUiElem::Testing::ShownRow;
using Texts = std::vector<std::string>;

constexpr const char* kDemo = "M1000, 演示警报消息.";
// The current-alarm list's demo row as shown: default text colour, message
// colour, no fills.
const std::vector<ShownRow> kDemoRows{{"1", kDemo, 0x333333, 0x493DFC, 0, 0}};

class TableKinds : public Testing::AlarmsFixture {
 protected:
  static void SwitchMode(QlEHostElem& host, bool online) {
    HostOnlineFlag = online;
    host.OnModeChanged();
  }

  // An IO table at (100, 50) with a row per description and these row
  // addresses, revalidated as a loaded page is.
  static std::shared_ptr<QlEHostOvList> IoTable(const Texts& descriptions, const Texts& addresses) {
    auto host = std::make_shared<QlEHostOvList>(D2D_POINT_2F{100, 50});
    for (const std::string& d : descriptions) EXPECT_TRUE(host->_qlUi->AddRow(d));
    host->_qlIo->rowAddresses = addresses;
    host->Revalidate();
    return host;
  }

  static std::vector<int32_t> LampStates(const QlUiOvList& table) {
    std::vector<int32_t> out;
    for (const auto& lamp : table.statusButtons) out.push_back(lamp->data.state);
    return out;
  }

  // Each lamp's error text, "" when it is clear.
  static Texts LampErrors(const QlUiOvList& table) {
    Texts out;
    for (const auto& lamp : table.statusButtons) out.push_back(lamp->inError ? lamp->errorText : "");
    return out;
  }
};

// The messages of the data rows.
Texts Messages(const NsDx2d::Dx2Table& table) {
  Texts out;
  for (const ShownRow& row : DataRows(table)) out.push_back(row.text1);
  return out;
}

std::string FirstCall(QlEHostElem& host) {
  RecordingDrawContext d2;
  host.Draw(d2.Info());
  return d2.Calls().empty() ? "" : d2.Calls().front();
}

void SetVisibility(QlEHostElem& host, const std::string& address) {
  NsQlElemIo::BaseIoData& visib = *host.GetIo()->GetBaseIoData();
  visib.enableVisib = true;
  visib.addressForVisib = address;
}

TEST_F(TableKinds, NewElementsAtAPoint) {
  const D2D_POINT_2F p{100, 50};
  auto list = std::make_shared<QlEHostAlarmList>(p);
  auto hist = std::make_shared<QlEHostAlarmHist>(p);
  auto table = std::make_shared<QlEHostOvList>(p);
  struct Case {
    QlEHostElem* host;
    int type;
    D2D_RECT_F rect;
    std::string body;
  };
  const Case cases[] = {
      {list.get(), 9, {100, 50, 490, 260}, "FillRectangle (100,50,490,260) 0xF7F5F5@1"},
      {hist.get(), 11, {100, 50, 550, 260}, "FillRectangle (100,50,550,260) 0xF7F5F5@1"},
      {table.get(), 14, {100, 50, 490, 260}, "FillRectangle (100,50,490,260) 0xF7F5F5@1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    EXPECT_EQ(c.host->GetType(), c.type);
    EXPECT_EQ(c.host->GetRect(), c.rect);
    EXPECT_FALSE(c.host->IsSelected());
    ASSERT_NE(c.host->GetUi(), nullptr);
    ASSERT_NE(c.host->GetIo(), nullptr);
    EXPECT_FALSE(c.host->GetUi()->inError) << c.host->GetUi()->errorText;
    const NsQlElemIo::BaseIoData& visib = *c.host->GetIo()->GetBaseIoData();
    EXPECT_FALSE(visib.enableVisib);
    EXPECT_FALSE(visib.showWhenTrue);
    EXPECT_TRUE(visib.addressForVisib.empty());
    // The table's body is the first thing drawn, over the whole rectangle.
    EXPECT_EQ(FirstCall(*c.host), c.body);
    EXPECT_EQ(Testing::DrawnLabel(*c.host), "") << "no kind here has a label";
  }

  EXPECT_EQ(DataRows(list->_qlUi->table), kDemoRows);
  EXPECT_EQ(list->_qlUi->table.title.text, "当前警报");
  EXPECT_EQ(hist->_qlUi->table.GetCellText(1, 0), "1/01 09:00:00");
  EXPECT_EQ(Messages(hist->_qlUi->table), Texts{kDemo});
  EXPECT_EQ(hist->_qlUi->table.title.text, "历史警报");
  EXPECT_EQ(table->_qlUi->table.title.text, "IO表");
  EXPECT_EQ(table->_qlUi->table.GetRowCount(), 1);
  EXPECT_TRUE(table->_qlUi->statusButtons.empty());
  EXPECT_TRUE(table->_qlIo->rowAddresses.empty());
  EXPECT_TRUE(table->_qlIo->GetRowIos().empty());
  EXPECT_EQ(table->_qlIo->GetUi(), table->_qlUi) << "the binding marks this table's lamps";
}

TEST_F(TableKinds, SetRectMovesTheTablesAndTheLamps) {
  const D2D_RECT_F r{0, 0, 390, 210};
  QlEHostAlarmList list(D2D_POINT_2F{100, 50});
  QlEHostAlarmHist hist(D2D_POINT_2F{100, 50});
  for (QlEHostElem* host : std::vector<QlEHostElem*>{&list, &hist}) {
    SCOPED_TRACE(host->GetType());
    host->SetRect(r);
    EXPECT_EQ(host->GetRect(), r);
    EXPECT_EQ(FirstCall(*host), "FillRectangle (0,0,390,210) 0xF7F5F5@1");
  }

  // Lamp of table row n sits centred in the status column (305-367) of
  // rows 32 n + 33 to 32 n + 63.
  const auto table = IoTable({"a", "b", "c"}, {});
  table->SetRect(r);
  EXPECT_EQ(table->GetRect(), r);
  for (uint16_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const float cy = 32.0f * static_cast<float>(i + 1) + 48.0f;
    const D2D_RECT_F lamp{327, cy - 9, 345, cy + 9};
    EXPECT_EQ(table->_qlUi->statusButtons[i]->data.rect, lamp);
    EXPECT_EQ(table->_qlUi->statusButtons[i]->painter.rect, lamp);
  }
}

TEST_F(TableKinds, AlarmTablesCheckTheirRecordAndRevalidateTheirVisibility) {
  QlEHostAlarmList list(D2D_POINT_2F{100, 50});
  QlEHostAlarmHist hist(D2D_POINT_2F{100, 50});
  struct Pair {
    QlEHostElem* host;
    bool* force;
  };
  for (const Pair& p : {Pair{&list, &list._qlUi->forceRefresh}, Pair{&hist, &hist._qlUi->forceRefresh}}) {
    SCOPED_TRACE(p.host->GetType());
    const auto ui = p.host->GetUi();
    SetVisibility(*p.host, "PLC1.0x3");
    EXPECT_TRUE(p.host->Revalidate());
    EXPECT_TRUE(*p.force) << "the next online tick rebuilds";
    EXPECT_FALSE(ui->inError);

    // Revalidation judges the binding; the check looks at the record alone.
    *p.force = false;
    SetVisibility(*p.host, "PLC1.4x3");
    EXPECT_TRUE(p.host->Revalidate());
    EXPECT_TRUE(ui->inError);
    EXPECT_EQ(ui->errorText, "控制可见性的地址不是点类型数据.");
    std::string message = "untouched";
    EXPECT_TRUE(p.host->Check(&message));
    EXPECT_EQ(message, "untouched");
    EXPECT_FALSE(ui->inError);

    // A binding that does not bind arms nothing.
    *p.force = false;
    SetVisibility(*p.host, "PLC9.0x3");
    EXPECT_FALSE(p.host->Revalidate());
    EXPECT_FALSE(*p.force);
  }
  EXPECT_EQ(coils_->GetSubscriberCount(), 0u) << "the replaced visibility bindings let go";
}

TEST_F(TableKinds, IoTableRowsAreCheckedOnTheirLamps) {
  const auto table = IoTable({"温度", "压力", "液位"}, {"PLC1.0x1", "PLC9.0x1", ""});
  EXPECT_EQ(LampErrors(*table->_qlUi), (Texts{"", "读写地址节点不存在.", "读写地址不能为空!"}));
  EXPECT_FALSE(table->_qlUi->inError) << "the rows speak for themselves";

  std::string message;
  EXPECT_FALSE(table->Check(&message));
  EXPECT_EQ(message, "读写地址节点不存在.");
  EXPECT_FALSE(table->_qlUi->inError);

  // Mended rows: the check passes and clears the lamps.
  table->_qlIo->rowAddresses = {"PLC1.0x1", "PLC1.0x2", "PLC1.0x3"};
  EXPECT_TRUE(table->Revalidate());
  EXPECT_EQ(LampErrors(*table->_qlUi), (Texts{"", "", ""}));
  message = "untouched";
  EXPECT_TRUE(table->Check(&message));
  EXPECT_EQ(message, "untouched");
  EXPECT_EQ(coils_->GetSubscriberCount(), 3u);

  // Revalidation says whether binding succeeded.
  SetVisibility(*table, "PLC9.0x3");
  EXPECT_FALSE(table->Revalidate());
  EXPECT_FALSE(table->Check(&message));
  EXPECT_EQ(message, "控制可见性的地址异常.");
  EXPECT_FALSE(table->_qlUi->inError);
}

TEST_F(TableKinds, ChecksWithoutRecordOrBinding) {
  auto listUi = std::make_shared<QlUiAlarmList>();
  auto tableUi = std::make_shared<QlUiOvList>();
  tableUi->inError = true;
  struct Case {
    const char* name;
    std::shared_ptr<QlEHostElem> host;
    std::string message;  // "" when the check passes
    bool bound;           // what Revalidate returns
    bool live = false;    // the first tick online rebuilds
  };
  const Case cases[] = {
      {"alarm list without record",
       std::make_shared<QlEHostAlarmList>(nullptr, std::make_shared<QlAlarmListIo>()),
       "系统错误: QlUiAlarmList == 0", true},
      {"alarm history without record",
       std::make_shared<QlEHostAlarmHist>(nullptr, std::make_shared<QlAlarmHistIo>()),
       "系统错误: QlUiAlarmList == 0", true},
      {"IO table without record",
       std::make_shared<QlEHostOvList>(nullptr, std::make_shared<QlOvListIo>(tableUi)),
       "系统错误: _qlUi == 0", true},
      // The rows come from the alarm manager, not from the binding.
      {"alarm list without binding", std::make_shared<QlEHostAlarmList>(listUi, nullptr), "", false,
       true},
      {"IO table without binding", std::make_shared<QlEHostOvList>(tableUi, nullptr),
       "系统错误: _qlIo == 0", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string message;
    EXPECT_EQ(c.host->Check(&message), c.message.empty());
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(c.host->Check(nullptr), c.message.empty());
    EXPECT_EQ(c.host->Revalidate(), c.bound);

    // Online or not, nothing to break.
    for (bool online : {true, false, true}) {
      SwitchMode(*c.host, online);
      EXPECT_EQ(c.host->Refresh(), online && c.live);
    }
    HostOnlineFlag = false;
    if (!c.host->GetUi()) {
      c.host->SetRect({1, 2, 3, 4});
      EXPECT_EQ(c.host->GetRect(), (D2D_RECT_F{}));
      c.host->SetSelected(true);
      RecordingDrawContext d2;
      c.host->Draw(d2.Info());
      c.host->DrawOverlay(d2.Info());
      EXPECT_TRUE(d2.target.calls.empty());
    }
  }
  EXPECT_TRUE(tableUi->inError) << "the IO table never marks its record";
  EXPECT_FALSE(listUi->inError) << "the record alone is checked";
}

TEST_F(TableKinds, AlarmTablesFollowTheManagerOnline) {
  QlEHostAlarmList list(D2D_POINT_2F{100, 50});
  QlEHostAlarmHist hist(D2D_POINT_2F{100, 50});
  auto group = AddGroup({"温度过高", "压力过低"});

  // Design mode: the demo rows stay whatever the alarms do.
  SetBit(*group, 0, 1);
  EXPECT_FALSE(list.Refresh());
  EXPECT_FALSE(hist.Refresh());
  EXPECT_EQ(Messages(list._qlUi->table), Texts{kDemo});
  EXPECT_EQ(Messages(hist._qlUi->table), Texts{kDemo});

  SwitchMode(list, true);
  SwitchMode(hist, true);
  struct Tick {
    const char* name;
    int bit;  // -1: nothing happens
    uint8_t value;
    bool listChanged, histChanged;
    Texts active, history;
  };
  const Tick ticks[] = {
      {"the first tick online shows the live rows", -1, 0, true, true, {"温度过高"}, {}},
      {"nothing moved", -1, 0, false, false, {"温度过高"}, {}},
      {"still nothing", -1, 0, false, false, {"温度过高"}, {}},
      {"a second alarm comes on", 1, 1, true, false, {"温度过高", "压力过低"}, {}},
      {"the first goes off", 0, 0, true, true, {"压力过低"}, {"温度过高"}},
      {"quiet again", -1, 0, false, false, {"压力过低"}, {"温度过高"}},
      {"the second goes off", 1, 0, true, true, {}, {"温度过高", "压力过低"}},
  };
  for (const Tick& tick : ticks) {
    SCOPED_TRACE(tick.name);
    if (tick.bit >= 0) SetBit(*group, static_cast<uint16_t>(tick.bit), tick.value);
    EXPECT_EQ(list.Refresh(), tick.listChanged);
    EXPECT_EQ(hist.Refresh(), tick.histChanged);
    EXPECT_EQ(Messages(list._qlUi->table), tick.active);
    EXPECT_EQ(Messages(hist._qlUi->table), tick.history);
  }
  EXPECT_EQ(list._qlUi->table.GetCellText(0, 0), "序 号");
  EXPECT_EQ(hist._qlUi->table.GetCellText(0, 0), "日 期");

  // A successful revalidation online rebuilds at the next tick.
  EXPECT_TRUE(list.Revalidate());
  EXPECT_TRUE(list.Refresh());
  EXPECT_FALSE(list.Refresh());

  // Back in design mode: demo rows, and no tick rebuilds.
  SwitchMode(list, false);
  SwitchMode(hist, false);
  EXPECT_EQ(DataRows(list._qlUi->table), kDemoRows);
  EXPECT_EQ(hist._qlUi->table.GetCellText(1, 0), "1/01 09:00:00");
  EXPECT_EQ(Messages(hist._qlUi->table), Texts{kDemo});
  SetBit(*group, 0, 1);
  EXPECT_FALSE(list.Refresh());
  EXPECT_FALSE(hist.Refresh());

  // Online again: the first tick rebuilds both, the history although no
  // record came since it was last online.
  SwitchMode(list, true);
  SwitchMode(hist, true);
  SwitchMode(list, true);  // twice in a row only re-arms
  EXPECT_TRUE(list.Refresh());
  EXPECT_TRUE(hist.Refresh());
  EXPECT_EQ(Messages(list._qlUi->table), Texts{"温度过高"});
  EXPECT_EQ(Messages(hist._qlUi->table), (Texts{"温度过高", "压力过低"}));
  EXPECT_FALSE(list.Refresh());
  EXPECT_FALSE(hist.Refresh());
}

TEST_F(TableKinds, IoTableLampsFollowTheirBitsOnline) {
  // Three rows, two addresses: coils 1 and 2.
  const auto table = IoTable({"a", "b", "c"}, {"PLC1.0x1", "PLC1.0x2"});
  const QlUiOvList& ui = *table->_qlUi;
  ReplyCoils({1});
  EXPECT_FALSE(table->Refresh()) << "design mode reads nothing";
  EXPECT_EQ(LampStates(ui), (std::vector<int32_t>{0, 0, 0}));

  SwitchMode(*table, true);
  EXPECT_EQ(LampStates(ui), (std::vector<int32_t>{2, 0, 0})) << "shown at once";

  struct Tick {
    const char* name;
    std::vector<int> coils;  // a reply with these coils ON; none when empty and no reply
    bool reply;
    bool changed;
    std::vector<int32_t> states;
  };
  const Tick ticks[] = {
      {"nothing new", {}, false, false, {2, 0, 0}},
      {"the same reply again", {1}, true, false, {2, 0, 0}},
      {"coil 2 on too", {1, 2}, true, true, {2, 2, 0}},
      {"coil 1 off, an unrelated coil on", {2, 9}, true, true, {0, 2, 0}},
  };
  for (const Tick& tick : ticks) {
    SCOPED_TRACE(tick.name);
    if (tick.reply) {
      std::vector<uint8_t> bytes(2, 0);
      for (int bit : tick.coils) bytes[bit / 8] |= static_cast<uint8_t>(1u << (bit % 8));
      coils_->GetCacheBlock()->Update(bytes.data(), bytes.size());
    }
    EXPECT_EQ(table->Refresh(), tick.changed);
    EXPECT_EQ(LampStates(ui), tick.states);
  }

  // The row without an address is put out on every tick, and the page is
  // repainted when that changed what it shows.
  table->_qlUi->statusButtons[2]->SetState(2);
  EXPECT_TRUE(table->Refresh());
  EXPECT_EQ(LampStates(ui), (std::vector<int32_t>{0, 2, 0}));
  EXPECT_FALSE(table->Refresh());

  // Lit lamps are drawn green.
  RecordingDrawContext d2;
  table->Draw(d2.Info());
  std::vector<NsDx2d::COLORREF> fills;
  for (const DrawCall& call : d2.target.CallsOf(DrawOp::FillEllipse)) fills.push_back(call.colour);
  EXPECT_EQ(fills, (std::vector<NsDx2d::COLORREF>{0xC0C0C0, 0x00FF00, 0xC0C0C0}));

  // Design mode: every lamp off, in the shape of its style.
  SwitchMode(*table, false);
  EXPECT_EQ(LampStates(ui), (std::vector<int32_t>{0, 0, 0}));
  for (const auto& lamp : ui.statusButtons) EXPECT_EQ(lamp->painter.style, 3);
  EXPECT_FALSE(table->Refresh());

  // Online again with the bits unchanged: the lamp of coil 2 lights up.
  SwitchMode(*table, true);
  EXPECT_EQ(LampStates(ui), (std::vector<int32_t>{0, 2, 0}));
  EXPECT_FALSE(table->Refresh());
}

TEST_F(TableKinds, SelectingAnIoTableSelectsItsLampsAndShowsTheirTips) {
  const auto table = IoTable({"温度", "压力"}, {"PLC1.0x1", "PLC9.0x1"});
  RecordingDrawContext unselected;
  table->DrawOverlay(unselected.Info());
  EXPECT_TRUE(unselected.target.calls.empty());

  table->SetSelected(true);
  EXPECT_TRUE(table->_qlUi->selected);
  for (const auto& lamp : table->_qlUi->statusButtons) EXPECT_TRUE(lamp->selected);
  RecordingDrawContext selected;
  table->DrawOverlay(selected.Info());
  Texts tips;
  for (const DrawCall& call : selected.target.CallsOf(DrawOp::DrawText)) tips.push_back(call.text);
  EXPECT_EQ(tips, Texts{"读写地址节点不存在."});

  table->SetSelected(false);
  EXPECT_FALSE(table->_qlUi->selected);
  for (const auto& lamp : table->_qlUi->statusButtons) EXPECT_FALSE(lamp->selected);

  QlEHostAlarmList list(D2D_POINT_2F{100, 50});
  list.SetSelected(true);
  EXPECT_TRUE(list._qlUi->selected);
  list.SetSelected(false);
  EXPECT_FALSE(list._qlUi->selected);
}

TEST_F(TableKinds, AlarmTableCopiesStartInDesignLook) {
  auto group = AddGroup({"温度过高"});
  SetBit(*group, 0, 1);
  SetBit(*group, 0, 0);
  SetBit(*group, 0, 1);
  QlEHostAlarmList list(D2D_POINT_2F{100, 50});
  QlEHostAlarmHist hist(D2D_POINT_2F{100, 50});
  list._qlUi->table.title.text = "报警";
  SwitchMode(list, true);
  SwitchMode(hist, true);
  ASSERT_TRUE(list.Refresh());
  ASSERT_TRUE(hist.Refresh());

  for (QlEHostElem* host : std::vector<QlEHostElem*>{&list, &hist}) {
    SCOPED_TRACE(host->GetType());
    host->SetSelected(true);
    auto copy = std::dynamic_pointer_cast<QlEHostElem>(host->Clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetType(), host->GetType());
    EXPECT_FALSE(copy->IsSelected());
    EXPECT_FALSE(copy->GetUi()->selected);
    EXPECT_NE(copy->GetUi(), host->GetUi());
    ASSERT_NE(copy->GetIo(), nullptr);
    EXPECT_NE(copy->GetIo(), host->GetIo());
    EXPECT_EQ(copy->GetRect(), host->GetRect());
    copy->SetRect({0, 0, 10, 10});
    EXPECT_EQ(host->GetRect().left, 100.0f);
  }
  auto listCopy = std::dynamic_pointer_cast<QlEHostAlarmList>(list.Clone());
  auto histCopy = std::dynamic_pointer_cast<QlEHostAlarmHist>(hist.Clone());
  EXPECT_EQ(Messages(listCopy->_qlUi->table), Texts{kDemo});
  EXPECT_EQ(Messages(histCopy->_qlUi->table), Texts{kDemo});
  EXPECT_EQ(listCopy->_qlUi->table.title.text, "报警");
  EXPECT_EQ(Messages(list._qlUi->table), Texts{"温度过高"}) << "the source keeps its rows";
  EXPECT_EQ(Messages(hist._qlUi->table), Texts{"温度过高"});

  // Pasted while online, the copy shows the live rows at its first tick.
  EXPECT_TRUE(listCopy->Refresh());
  EXPECT_TRUE(histCopy->Refresh());
  EXPECT_EQ(Messages(listCopy->_qlUi->table), Texts{"温度过高"});
  EXPECT_EQ(Messages(histCopy->_qlUi->table), Texts{"温度过高"});
}

TEST_F(TableKinds, IoTableCopyMarksAndLightsItsOwnLamps) {
  const auto table = IoTable({"温度", "压力"}, {"PLC1.0x1", "PLC9.0x1"});
  table->SetSelected(true);
  auto copy = std::dynamic_pointer_cast<QlEHostOvList>(table->Clone());
  ASSERT_NE(copy, nullptr);
  EXPECT_FALSE(copy->IsSelected());
  EXPECT_FALSE(copy->_qlUi->selected);
  for (const auto& lamp : copy->_qlUi->statusButtons) EXPECT_FALSE(lamp->selected);
  EXPECT_NE(copy->_qlUi, table->_qlUi);
  EXPECT_EQ(copy->_qlIo->GetUi(), copy->_qlUi);
  EXPECT_EQ(table->_qlIo->GetUi(), table->_qlUi);
  EXPECT_EQ(copy->_qlIo->rowAddresses, table->_qlIo->rowAddresses);
  EXPECT_EQ(coils_->GetSubscriberCount(), 2u) << "the copy's row binds for itself";

  // The copy's check marks its own lamps only.
  table->_qlUi->statusButtons[1]->inError = false;
  copy->_qlUi->statusButtons[1]->inError = false;
  EXPECT_FALSE(copy->Check(nullptr));
  EXPECT_EQ(LampErrors(*copy->_qlUi), (Texts{"", "读写地址节点不存在."}));
  EXPECT_EQ(LampErrors(*table->_qlUi), (Texts{"", ""}));

  // Online, its reads light its own lamps.
  HostOnlineFlag = true;
  ReplyCoils({1});
  EXPECT_TRUE(copy->Refresh());
  EXPECT_EQ(LampStates(*copy->_qlUi), (std::vector<int32_t>{2, 0}));
  EXPECT_EQ(LampStates(*table->_qlUi), (std::vector<int32_t>{0, 0}));
  EXPECT_TRUE(table->Refresh()) << "the source's read was not swallowed";
  EXPECT_EQ(LampStates(*table->_qlUi), (std::vector<int32_t>{2, 0}));

  // A copy of a binding without its table is linked to no table at all.
  QlEHostOvList bare(nullptr, std::make_shared<QlOvListIo>(table->_qlUi));
  auto bareCopy = std::dynamic_pointer_cast<QlEHostOvList>(bare.Clone());
  ASSERT_NE(bareCopy->_qlIo, nullptr);
  EXPECT_EQ(bareCopy->_qlIo->GetUi(), nullptr);
}

TEST_F(TableKinds, IoTableRowTexts) {
  const auto table = IoTable({"温度", "压力", "液位"}, {" PLC1.0x1 ", "PLC1.0x2"});
  EXPECT_EQ(table->GetRowDescription(0), "温度");
  EXPECT_EQ(table->GetRowDescription(2), "液位");
  EXPECT_EQ(table->GetRowDescription(3), "");
  EXPECT_EQ(table->GetRowDescription(0xFFFFFFFFu), "");
  EXPECT_EQ(table->GetRowAddress(0), "PLC1.0x1") << "trimmed by the binding";
  EXPECT_EQ(table->GetRowAddress(1), "PLC1.0x2");
  EXPECT_EQ(table->GetRowAddress(2), "") << "one past the addresses";

  QlEHostOvList bare(nullptr, nullptr);
  EXPECT_EQ(bare.GetRowDescription(0), "");
  EXPECT_EQ(bare.GetRowAddress(0), "");
}

}  // namespace
}  // namespace NsOvrin::NsQlElemEditor
