#include "alarm/AlarmManager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "alarm/AlarmSegCvb.h"
#include "termination/NodeDbFixture.h"

using namespace NsOvrin::NsAlarm;
using NsOvrin::NsTermination::Testing::NodeDbFixture;

namespace {

// A manager of the test's own, written nowhere.
std::unique_ptr<AlarmManager> LocalManager() {
  return std::make_unique<AlarmManager>(std::string(), false, nullptr);
}

std::shared_ptr<AlarmSeg> Segment(const std::string& text, std::vector<std::string> messages) {
  auto seg = std::make_shared<AlarmSeg>(text);
  seg->SetMessages(messages);
  return seg;
}

bool Set(AlarmSeg& seg, uint16_t bit, uint8_t value) {
  std::unique_lock lock(seg.GetLock());
  return seg.SetBit(bit, value);
}

std::vector<std::string> ActiveTexts(const AlarmManager& m) {
  std::shared_lock lock(m.GetActiveLock());
  std::vector<std::string> out;
  for (const ActiveAlarm& a : m.GetActiveAlarms()) out.push_back(a.segment->GetBitMessage(a.bit));
  return out;
}

std::vector<HistData> History(const AlarmManager& m) {
  std::shared_lock lock(m.GetHistoryLock());
  std::vector<HistData> out;
  for (uint32_t i = 0; i < m.GetHistory().Count(); ++i) out.push_back(m.GetHistory().At(i));
  return out;
}

uint32_t HistoryCount(const AlarmManager& m) {
  std::shared_lock lock(m.GetHistoryLock());
  return m.GetHistory().Count();
}

std::size_t ActiveCount(const AlarmManager& m) {
  std::shared_lock lock(m.GetActiveLock());
  return m.GetActiveAlarms().size();
}

}  // namespace

TEST(AlarmManagerTest, BitOnIsActiveAndOffIsHistory) {
  auto m = LocalManager();
  auto seg = Segment("锅炉", {"温度过高", "压力过低"});
  m->AddSeg(seg);
  const uint32_t alarms = m->GetAlarmChangeCount();
  const uint32_t history = m->GetHistoryChangeCount();
  EXPECT_EQ(alarms, AlarmManager::kInitialCount);
  EXPECT_EQ(history, AlarmManager::kInitialCount);

  // 0 -> 1 -> 1 -> 0: one active entry, then one history record.
  ASSERT_TRUE(Set(*seg, 1, 0));
  EXPECT_EQ(m->GetAlarmChangeCount(), alarms);
  const int64_t before = CurrentAlarmTime();
  ASSERT_TRUE(Set(*seg, 1, 1));
  ASSERT_TRUE(Set(*seg, 1, 1));
  EXPECT_EQ(ActiveTexts(*m), std::vector<std::string>{"压力过低"});
  {
    std::shared_lock lock(m->GetActiveLock());
    const ActiveAlarm& a = m->GetActiveAlarms().front();
    EXPECT_EQ(a.segment, seg.get());
    EXPECT_EQ(a.bit, 1u);
    EXPECT_GE(a.time, before);
  }
  EXPECT_EQ(m->GetAlarmChangeCount(), alarms + 1);
  EXPECT_EQ(HistoryCount(*m), 0u);

  ASSERT_TRUE(Set(*seg, 1, 0));
  EXPECT_TRUE(ActiveTexts(*m).empty());
  const std::vector<HistData> records = History(*m);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].message, "压力过低");
  EXPECT_EQ(records[0].sourceText, "锅炉");
  EXPECT_EQ(records[0].onTime, seg->GetBits()[1].onTime);
  EXPECT_EQ(records[0].offTime, seg->GetBits()[1].offTime);
  EXPECT_GE(records[0].onTime, before);
  EXPECT_GE(records[0].offTime, records[0].onTime);
  EXPECT_EQ(m->GetAlarmChangeCount(), alarms + 2);
  EXPECT_EQ(m->GetHistoryChangeCount(), history + 1);
}

TEST(AlarmManagerTest, ActiveListKeepsTheOrderAlarmsCameOn) {
  auto m = LocalManager();
  auto a = Segment("", {"a0", "a1"});
  auto b = Segment("", {"b0"});
  m->AddSeg(a);
  m->AddSeg(b);
  ASSERT_TRUE(Set(*b, 0, 1));
  ASSERT_TRUE(Set(*a, 1, 1));
  ASSERT_TRUE(Set(*a, 0, 1));
  EXPECT_EQ(ActiveTexts(*m), (std::vector<std::string>{"b0", "a1", "a0"}));
  ASSERT_TRUE(Set(*a, 1, 0));
  EXPECT_EQ(ActiveTexts(*m), (std::vector<std::string>{"b0", "a0"}));
  std::vector<std::string> messages;
  for (const HistData& r : History(*m)) messages.push_back(r.message);
  EXPECT_EQ(messages, std::vector<std::string>{"a1"});
}

// What each listener saw of the manager when it was called.
struct OrderProbe : AlarmStateListener {
  explicit OrderProbe(AlarmManager& m) : manager(m) {}
  void OnAlarmOn(AlarmSeg*, uint16_t bit) override {
    log.push_back("on " + std::to_string(bit) + " active " + std::to_string(ActiveCount(manager)) +
                  " counter " + std::to_string(manager.GetAlarmChangeCount()));
  }
  void OnAlarmOff(AlarmSeg*, uint16_t bit) override {
    log.push_back("off " + std::to_string(bit) + " active " + std::to_string(ActiveCount(manager)) +
                  " history " + std::to_string(HistoryCount(manager)));
  }
  AlarmManager& manager;
  std::vector<std::string> log;
};

TEST(AlarmManagerTest, ListenersHearInTheOrderOfTheSteps) {
  auto m = LocalManager();
  auto probe = std::make_shared<OrderProbe>(*m);
  m->AddAlarmListener(probe);
  m->AddAlarmListener(nullptr);
  std::vector<HistData> heard;
  m->AddHistoryListener([&](const HistData& r) {
    heard.push_back(r);
    probe->log.push_back("history " + std::to_string(HistoryCount(*m)) + " counters " +
                         std::to_string(m->GetAlarmChangeCount()) + "/" +
                         std::to_string(m->GetHistoryChangeCount()));
  });
  auto seg = Segment("S", {"m0"});
  m->AddSeg(seg);

  ASSERT_TRUE(Set(*seg, 0, 1));
  ASSERT_TRUE(Set(*seg, 0, 0));
  // On: the entry is in before the listeners run, the counter moves after.
  // Off: the entry is gone, the listeners run, the record is added, the
  // history listeners run, then both counters move.
  EXPECT_EQ(probe->log, (std::vector<std::string>{"on 0 active 1 counter 2", "off 0 active 0 history 0",
                                                  "history 1 counters 3/2"}));
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(heard[0].message, "m0");
  EXPECT_EQ(heard[0].sourceText, "S");
  EXPECT_EQ(m->GetAlarmChangeCount(), 4u);
  EXPECT_EQ(m->GetHistoryChangeCount(), 3u);
}

TEST(AlarmManagerTest, HistorySizeAndClearing) {
  auto m = LocalManager();
  {
    std::shared_lock lock(m->GetHistoryLock());
    EXPECT_EQ(m->GetHistory().Capacity(), kAlarmHistoryCapacity);
  }
  const uint32_t counter = m->GetHistoryChangeCount();
  m->SetMaxHistCount(100);  // unchanged size still counts
  EXPECT_EQ(m->GetHistoryChangeCount(), counter + 1);
  m->SetMaxHistCount(2);
  EXPECT_EQ(m->GetHistoryChangeCount(), counter + 2);

  auto seg = Segment("", {"a", "b", "c"});
  m->AddSeg(seg);
  for (uint16_t bit = 0; bit < 3; ++bit) {
    ASSERT_TRUE(Set(*seg, bit, 1));
    ASSERT_TRUE(Set(*seg, bit, 0));
  }
  std::vector<std::string> kept;
  for (const HistData& r : History(*m)) kept.push_back(r.message);
  EXPECT_EQ(kept, (std::vector<std::string>{"b", "c"})) << "the oldest is overwritten";

  const uint32_t beforeClear = m->GetHistoryChangeCount();
  m->ClearHistory();
  EXPECT_EQ(HistoryCount(*m), 0u);
  EXPECT_EQ(m->GetHistoryChangeCount(), beforeClear + 1);
  {
    std::shared_lock lock(m->GetHistoryLock());
    EXPECT_EQ(m->GetHistory().Capacity(), 2u);
  }

  // Without capacity nothing is kept, but the alarm still goes off.
  m->SetMaxHistCount(0);
  ASSERT_TRUE(Set(*seg, 0, 1));
  ASSERT_TRUE(Set(*seg, 0, 0));
  EXPECT_EQ(HistoryCount(*m), 0u);
  EXPECT_EQ(ActiveCount(*m), 0u);
}

TEST(AlarmManagerTest, HistoryOfABitThatIsNotThere) {
  auto m = LocalManager();
  auto seg = Segment("源", {"a"});
  m->AddSeg(seg);
  const int64_t before = CurrentAlarmTime();
  {
    std::unique_lock lock(seg->GetLock());
    m->AddHistory(seg.get(), 5);
  }
  const std::vector<HistData> records = History(*m);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].message, "?");
  EXPECT_EQ(records[0].sourceText, "源");
  EXPECT_GE(records[0].onTime, before);
  EXPECT_EQ(records[0].onTime, records[0].offTime);
}

TEST(AlarmManagerTest, ASegmentThatLeavesTakesItsAlarmsAndStopsReporting) {
  auto m = LocalManager();
  auto a = Segment("", {"a0", "a1"});
  auto b = Segment("", {"b0"});
  auto c = Segment("", {"c0"});
  m->AddSeg(a);
  m->AddSeg(b);
  m->AddSeg(c);
  m->AddSeg(nullptr);
  ASSERT_TRUE(Set(*a, 0, 1));
  ASSERT_TRUE(Set(*b, 0, 1));
  ASSERT_TRUE(Set(*a, 1, 1));
  const uint32_t counter = m->GetAlarmChangeCount();

  ASSERT_TRUE(m->RemoveSeg(a.get()));
  EXPECT_FALSE(m->RemoveSeg(a.get()));
  EXPECT_EQ(ActiveTexts(*m), std::vector<std::string>{"b0"});
  EXPECT_EQ(m->GetAlarmChangeCount(), counter + 1);
  const std::vector<std::shared_ptr<AlarmSeg>> left = m->GetSegments();
  EXPECT_EQ(left, (std::vector<std::shared_ptr<AlarmSeg>>{b, c}));

  // Still alive for the caller, but nothing of it reaches the manager.
  ASSERT_TRUE(Set(*a, 0, 0));
  ASSERT_TRUE(Set(*a, 0, 1));
  EXPECT_EQ(ActiveTexts(*m), std::vector<std::string>{"b0"});
  EXPECT_EQ(HistoryCount(*m), 0u);
  EXPECT_EQ(m->GetAlarmChangeCount(), counter + 1);

  // A report that raced with the removal is ignored as well.
  m->OnAlarmOn(a.get(), 0);
  m->OnAlarmOff(a.get(), 0);
  EXPECT_EQ(ActiveTexts(*m), std::vector<std::string>{"b0"});
  EXPECT_EQ(HistoryCount(*m), 0u);
}

TEST(AlarmManagerTest, ClearEmptiesSegmentsAlarmsAndListenersButKeepsHistory) {
  auto m = LocalManager();
  auto probe = std::make_shared<OrderProbe>(*m);
  m->AddAlarmListener(probe);
  int historyCalls = 0;
  m->AddHistoryListener([&](const HistData&) { ++historyCalls; });
  auto seg = Segment("", {"a", "b"});
  std::weak_ptr<AlarmSeg> weak = seg;
  m->AddSeg(seg);
  ASSERT_TRUE(Set(*seg, 0, 1));
  ASSERT_TRUE(Set(*seg, 0, 0));
  ASSERT_TRUE(Set(*seg, 1, 1));
  const uint32_t alarms = m->GetAlarmChangeCount();
  const uint32_t history = m->GetHistoryChangeCount();
  ASSERT_EQ(probe->log.size(), 3u);

  m->Clear();
  EXPECT_EQ(ActiveCount(*m), 0u);
  EXPECT_TRUE(m->GetSegments().empty());
  EXPECT_EQ(HistoryCount(*m), 1u);
  EXPECT_EQ(m->GetAlarmChangeCount(), alarms);
  EXPECT_EQ(m->GetHistoryChangeCount(), history);
  EXPECT_EQ(probe.use_count(), 1) << "the listener list let go";

  // The segment is still held here: it reports to nobody now.
  ASSERT_TRUE(Set(*seg, 1, 0));
  EXPECT_EQ(probe->log.size(), 3u);
  EXPECT_EQ(historyCalls, 1);
  EXPECT_EQ(HistoryCount(*m), 1u);
  seg.reset();
  EXPECT_TRUE(weak.expired());
}

// ---- with segments bound to a data block written by another thread ----

class AlarmManagerBlockTest : public NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    auto eth = AddEthernet("ETH1");
    node_ = AddTcpNode(eth, "PLC1");
    ASSERT_NE(node_, nullptr);
    AddBlock(*node_, "0x[0~15]", "coils");
    block_ = TaskNamed(*node_, "coils")->GetCacheBlock();
  }

  std::shared_ptr<AlarmSegCvb> BoundSegment(const std::string& address, std::size_t bits) {
    auto seg = std::make_shared<AlarmSegCvb>();
    seg->SetAddress(address);
    std::vector<std::string> messages;
    for (std::size_t i = 0; i < bits; ++i) messages.push_back("m" + std::to_string(i));
    seg->SetMessages(messages);
    EXPECT_TRUE(seg->IsBound()) << address;
    return seg;
  }

  // Writes alternating patterns into the block as the polling thread would.
  void StartWriter() {
    writer_ = std::thread([this] {
      uint8_t pattern[2] = {0xFF, 0xFF};
      while (!stop_.load()) {
        pattern[0] ^= 0xFF;
        pattern[1] ^= 0xFF;
        block_->Update(pattern, sizeof(pattern));
        ++writes_;
      }
    });
  }
  void StopWriter() {
    stop_.store(true);
    if (writer_.joinable()) writer_.join();
  }
  void TearDown() override {
    StopWriter();
    NodeDbFixture::TearDown();
  }

  // Runs fn on a thread and fails (ending the program, which would hang
  // otherwise) when it does not finish.
  static void WithinDeadline(const std::function<void()>& fn, const char* what) {
    auto done = std::async(std::launch::async, fn);
    if (done.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
      ADD_FAILURE() << what << " did not finish: deadlock";
      std::_Exit(3);
    }
    done.get();
  }

  std::shared_ptr<NsOvrin::NsTermination::Node> node_;
  std::shared_ptr<NsOvrin::NsTermination::CacheVarBlock> block_;
  std::thread writer_;
  std::atomic<bool> stop_{false};
  std::atomic<uint64_t> writes_{0};
};

TEST_F(AlarmManagerBlockTest, ClearWhileTheBlockNotifiesNeverDeadlocks) {
  auto m = LocalManager();
  StartWriter();
  for (int round = 0; round < 50; ++round) {
    for (int i = 0; i < 3; ++i) m->AddSeg(BoundSegment("PLC1.0x" + std::to_string(i * 4), 4));
    const uint64_t seen = writes_.load();
    ASSERT_TRUE(WaitFor([&] { return writes_.load() > seen + 2; }));
    WithinDeadline([&] { m->Clear(); }, "Clear");
    EXPECT_EQ(ActiveCount(*m), 0u);
  }
  StopWriter();
  EXPECT_GT(m->GetAlarmChangeCount(), AlarmManager::kInitialCount);
  EXPECT_GT(HistoryCount(*m), 0u);
}

TEST_F(AlarmManagerBlockTest, RemovedSegmentsNeverLeaveEntriesBehind) {
  auto m = LocalManager();
  StartWriter();
  for (int round = 0; round < 50; ++round) {
    auto seg = BoundSegment("PLC1.0x2", 8);
    m->AddSeg(seg);
    const uint64_t seen = writes_.load();
    ASSERT_TRUE(WaitFor([&] { return writes_.load() > seen + 2; }));
    WithinDeadline([&] { m->RemoveSeg(seg.get()); }, "RemoveSeg");
    seg.reset();  // freed now; no entry may point at it
    EXPECT_EQ(ActiveCount(*m), 0u);
  }
}

TEST_F(AlarmManagerBlockTest, ManagerDestroyedWhileTheBlockNotifies) {
  StartWriter();
  for (int round = 0; round < 20; ++round) {
    auto m = LocalManager();
    auto kept = BoundSegment("PLC1.0x0", 8);
    m->AddSeg(kept);
    m->AddSeg(BoundSegment("PLC1.0x8", 8));
    const uint64_t seen = writes_.load();
    ASSERT_TRUE(WaitFor([&] { return writes_.load() > seen + 2; }));
    WithinDeadline([&] { m.reset(); }, "the manager's destruction");
    // The segment held here keeps being notified, and reaches no manager.
    const uint64_t after = writes_.load();
    ASSERT_TRUE(WaitFor([&] { return writes_.load() > after + 2; }));
  }
}
