// Alarm groups on a node that polls a libmodbus slave on loopback.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "alarm/AlarmManager.h"
#include "alarm/AlarmSegCvb.h"
#include "support/ModbusTcpSlave.h"
#include "termination/AddrBinder.h"
#include "termination/NodeDbFixture.h"

using namespace NsOvrin::NsAlarm;
using NsOvrin::NsTermination::AddrBinder;
using NsOvrin::NsTermination::ChannelEthernet;
using NsOvrin::NsTermination::Node;
using NsOvrin::NsTermination::TaskReadData;
using NsOvrin::NsTestSupport::ModbusTcpSlave;

namespace {

class AlarmModbusTest : public NsOvrin::NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    ASSERT_TRUE(slave_.Start());
    eth_ = AddEthernet("ETH1");
    node_ = AddTcpNode(eth_, "PLC1", slave_.Port());
    ASSERT_NE(node_, nullptr);
    AddBlock(*node_, "0x[0~31]", "alarms", 20);
    AddBlock(*node_, "4x[0~9]", "registers", 20);
    alarmBlock_ = TaskNamed(*node_, "alarms");
    registerBlock_ = TaskNamed(*node_, "registers");
    Db().SetRunning(true);
    ASSERT_TRUE(eth_->Open());
  }
  void TearDown() override {
    Db().Reset();  // polling ends before the slave goes
    NodeDbFixture::TearDown();
  }

  static std::vector<std::string> Active(const AlarmManager& m) {
    std::shared_lock lock(m.GetActiveLock());
    std::vector<std::string> out;
    for (const ActiveAlarm& a : m.GetActiveAlarms()) out.push_back(a.segment->GetBitMessage(a.bit));
    return out;
  }
  static std::vector<HistData> History(const AlarmManager& m) {
    std::shared_lock lock(m.GetHistoryLock());
    std::vector<HistData> out;
    for (uint32_t i = 0; i < m.GetHistory().Count(); ++i) out.push_back(m.GetHistory().At(i));
    return out;
  }
  static uint32_t Updates(const std::shared_ptr<TaskReadData>& task) {
    return task->GetCacheBlock()->GetUpdateCount();
  }
  // Waits for n more replies into the block.
  bool WaitForPolls(const std::shared_ptr<TaskReadData>& task, uint32_t n) {
    const uint32_t from = Updates(task);
    return WaitFor([&] { return Updates(task) >= from + n; });
  }

  ModbusTcpSlave slave_;
  std::shared_ptr<ChannelEthernet> eth_;
  std::shared_ptr<Node> node_;
  std::shared_ptr<TaskReadData> alarmBlock_, registerBlock_;
};

TEST_F(AlarmModbusTest, SlaveBitsRaiseAndClearAlarms) {
  AlarmManager m(std::string(), false, nullptr);
  auto seg = std::make_shared<AlarmSegCvb>();
  seg->SetAddress("PLC1.0x8");
  seg->SetMessages({"过温", "欠压", "急停"});
  m.AddSeg(seg);
  ASSERT_TRUE(seg->IsBound());
  EXPECT_EQ(seg->GetRangeText(), "0x[00008~00010]");

  // Only the subscribed block is read.
  ASSERT_TRUE(WaitForPolls(alarmBlock_, 3));
  EXPECT_EQ(Updates(registerBlock_), NsOvrin::NsTermination::CacheVarBlock::kInitialCount);
  EXPECT_TRUE(Active(m).empty());

  const uint32_t alarms = m.GetAlarmChangeCount();
  const uint32_t history = m.GetHistoryChangeCount();
  slave_.SetCoil(9, true);
  ASSERT_TRUE(WaitFor([&] { return Active(m) == std::vector<std::string>{"欠压"}; }));
  slave_.SetCoil(8, true);
  slave_.SetCoil(7, true);   // outside the group
  slave_.SetCoil(11, true);  // outside the group
  ASSERT_TRUE(WaitFor([&] { return Active(m).size() == 2; }));
  EXPECT_EQ(Active(m), (std::vector<std::string>{"欠压", "过温"}));
  EXPECT_EQ(m.GetAlarmChangeCount(), alarms + 2);

  slave_.SetCoil(9, false);
  // The alarm leaves the active list before its record reaches the history;
  // the history's count tells when it has.
  ASSERT_TRUE(WaitFor([&] {
    return Active(m) == std::vector<std::string>{"过温"} && m.GetHistoryChangeCount() == history + 1;
  }));
  const std::vector<HistData> records = History(m);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].message, "欠压");
  EXPECT_EQ(records[0].sourceText, "");
  EXPECT_GT(records[0].onTime, 0);
  EXPECT_GE(records[0].offTime, records[0].onTime);
  EXPECT_EQ(m.GetAlarmChangeCount(), alarms + 3);
  EXPECT_EQ(m.GetHistoryChangeCount(), history + 1);

  // Once the group is gone the block has no subscriber and is not read.
  ASSERT_TRUE(m.RemoveSeg(seg.get()));
  seg.reset();
  EXPECT_EQ(alarmBlock_->GetSubscriberCount(), 0u);
  EXPECT_TRUE(Active(m).empty());
  NsOvrin::OneWayWrapper<Node> handle;
  std::shared_ptr<TaskReadData> task;
  uint16_t offset = 0;
  std::string text = "PLC1.4x3";
  AddrBinder binder;
  binder.node = &handle;
  binder.task = &task;
  binder.offset = &offset;
  binder.dataType = NsOvrin::NsTermination::kTypeUInt16;
  ASSERT_TRUE(NsOvrin::NsTermination::BindAddress(text, binder));
  ASSERT_TRUE(WaitForPolls(registerBlock_, 3));
  const uint32_t settled = Updates(alarmBlock_);
  ASSERT_TRUE(WaitForPolls(registerBlock_, 5));
  EXPECT_EQ(Updates(alarmBlock_), settled);
  NsOvrin::NsTermination::ReleaseBinding(binder);
}

// A group on holding registers takes 16 alarms from each register in the
// order the reply carries its bytes, high byte first: alarms 1 to 8 are bits
// 8 to 15 of the register's value, alarms 9 to 16 bits 0 to 7.
TEST_F(AlarmModbusTest, RegisterBitsRaiseAlarmsHighByteFirst) {
  AlarmManager m(std::string(), false, nullptr);
  auto seg = std::make_shared<AlarmSegCvb>();
  seg->SetAddress("PLC1.4x4");
  std::vector<std::string> messages;
  for (int i = 1; i <= 32; ++i) messages.push_back("alarm " + std::to_string(i));
  seg->SetMessages(messages);
  m.AddSeg(seg);
  ASSERT_TRUE(seg->IsBound());
  EXPECT_EQ(seg->GetRangeText(), "4x[00004~00005]");
  const struct {
    uint16_t first, second;
    std::vector<std::string> active;
  } kRows[] = {
      {0x0100, 0, {"alarm 1"}},
      {0x8000, 0, {"alarm 8"}},
      {0x0001, 0, {"alarm 9"}},
      {0x0080, 0, {"alarm 16"}},
      {0, 0x0100, {"alarm 17"}},
      {0, 0x0001, {"alarm 25"}},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(::testing::Message() << std::hex << row.first << " " << row.second);
    slave_.SetHoldingRegister(4, row.first);
    slave_.SetHoldingRegister(5, row.second);
    ASSERT_TRUE(WaitFor([&] { return Active(m) == row.active; }));
  }
}

// Groups without messages, as the editor makes and keeps them, are polled
// with their block and raise nothing, on a bit address inside a byte, on a
// byte boundary and on a word address, while a group beside them alarms.
TEST_F(AlarmModbusTest, GroupsWithoutMessagesRaiseNothingWhilePolled) {
  AlarmManager m(std::string(), false, nullptr);
  for (const char* address : {"PLC1.0x3", "PLC1.0x8", "PLC1.4x2"}) {
    SCOPED_TRACE(address);
    auto empty = std::make_shared<AlarmSegCvb>();
    empty->SetAddress(address);
    empty->SetMessages({});
    m.AddSeg(empty);
    EXPECT_TRUE(empty->IsBound());
    EXPECT_EQ(empty->GetCount(), 0u);
  }
  auto beside = std::make_shared<AlarmSegCvb>();
  beside->SetAddress("PLC1.0x20");
  beside->SetMessages({"旁边"});
  m.AddSeg(beside);

  for (int round = 0; round < 3; ++round) {
    for (int coil = 0; coil < 32; ++coil) slave_.SetCoil(coil, (coil + round) % 2 == 0);
    slave_.SetHoldingRegister(2, static_cast<uint16_t>(0xFFFF >> round));
    const std::vector<std::string> expected =
        round % 2 == 0 ? std::vector<std::string>{"旁边"} : std::vector<std::string>{};
    ASSERT_TRUE(WaitFor([&] { return Active(m) == expected; }));
    // Replies that carry the new bits reach the empty groups as well.
    ASSERT_TRUE(WaitForPolls(alarmBlock_, 2));
    ASSERT_TRUE(WaitForPolls(registerBlock_, 2));
    EXPECT_EQ(Active(m), expected);
  }
  for (const auto& group : m.GetSegments()) {
    if (group.get() == beside.get()) continue;
    std::shared_lock lock(group->GetLock());
    EXPECT_TRUE(group->GetBits().empty());
  }
  for (const HistData& record : History(m)) EXPECT_EQ(record.message, "旁边");
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void AppendLe(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

TEST_F(AlarmModbusTest, ShutdownStopsPollingBeforeTheHistoryIsWritten) {
  std::string dir = (std::filesystem::temp_directory_path() / "alarmshutXXXXXX").string();
  ASSERT_NE(::mkdtemp(dir.data()), nullptr);
  const std::string path = dir + "/alarm_history";

  auto m = std::make_unique<AlarmManager>(path, true, &Db());
  m->SetMaxHistCount(2);
  auto seg = std::make_shared<AlarmSegCvb>();
  seg->BindAddress("PLC1.0x0");
  seg->SetMessages({"门开"});
  m->AddSeg(seg);
  ASSERT_TRUE(seg->IsBound());
  for (int cycle = 0; cycle < 3; ++cycle) {
    slave_.SetCoil(0, true);
    ASSERT_TRUE(WaitFor([&] { return Active(*m).size() == 1; }));
    slave_.SetCoil(0, false);
    ASSERT_TRUE(WaitFor([&] { return Active(*m).empty(); }));
  }
  slave_.SetCoil(0, true);  // still on when the manager goes
  ASSERT_TRUE(WaitFor([&] { return Active(*m).size() == 1; }));
  const std::vector<HistData> records = History(*m);
  ASSERT_EQ(records.size(), 2u);

  // The block keeps changing while the manager is destroyed.
  std::atomic<bool> stop{false};
  std::thread flipper([&] {
    for (bool on = false; !stop.load(); on = !on) {
      slave_.SetCoil(5, on);
      std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
  });
  ASSERT_TRUE(WaitForPolls(alarmBlock_, 3));
  const std::weak_ptr<AlarmSegCvb> weak = seg;
  seg.reset();
  m.reset();
  stop.store(true);
  flipper.join();

  EXPECT_FALSE(node_->GetWorkerCtrl().IsAlive());
  EXPECT_TRUE(Db().GetChannels().empty());
  EXPECT_FALSE(Db().IsRunning());
  EXPECT_TRUE(weak.expired());

  // Header, then the two records oldest first: the third cycle wrapped the
  // ring of two, and the alarm still on left no record.
  std::vector<uint8_t> expected = {0x0C, 0x00, 4, 0, 0, 0, 32, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0};
  for (const HistData& r : records) {
    AppendLe(expected, static_cast<uint64_t>(r.onTime), 8);
    AppendLe(expected, static_cast<uint64_t>(r.offTime), 8);
    expected.insert(expected.end(), {0xFF, 0xFE, 0xFF, 0x00});                          // no source
    expected.insert(expected.end(), {0xFF, 0xFE, 0xFF, 0x02, 0xE8, 0x95, 0x00, 0x5F});  // 门开
  }
  EXPECT_EQ(ReadFile(path), expected);
  std::filesystem::remove_all(dir);
}

}  // namespace
