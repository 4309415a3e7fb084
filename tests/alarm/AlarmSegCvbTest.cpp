#include "alarm/AlarmSegCvb.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "alarm/AlarmManager.h"
#include "termination/NodeDbFixture.h"

using namespace NsOvrin::NsAlarm;
using NsOvrin::NsTermination::CacheVarBlock;
using NsOvrin::NsTermination::Node;
using NsOvrin::NsTermination::TaskReadData;

namespace {

std::vector<std::string> Messages(std::size_t n) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < n; ++i) out.push_back("m" + std::to_string(i));
  return out;
}

// An FX station with a bit block M[0~127] and a word block D[0~99], and a
// manager of the test's own that hears the segments.
}  // namespace

class AlarmSegCvbTest : public NsOvrin::NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    auto serial = std::make_shared<NsOvrin::NsTermination::ChannelSerialPort>("COM1", "");
    ASSERT_TRUE(Db().AddChannel(serial));
    NsOvrin::NsDevDefine::RsDevParam param;
    param.name = "PLC";
    param.deviceId = NsOvrin::NsTermination::kModelMitsFx;
    ASSERT_TRUE(NsOvrin::NsTermination::AddRsDev(serial->GetHandle(), param));
    node_ = FindShared("PLC");
    ASSERT_NE(node_, nullptr);
    AddBlock(*node_, "M[0~127]", "bits");
    AddBlock(*node_, "D[0~99]", "words");
    bits_ = TaskNamed(*node_, "bits");
    words_ = TaskNamed(*node_, "words");
  }

  std::shared_ptr<AlarmSegCvb> Segment(const std::string& address, std::size_t n) {
    auto seg = std::make_shared<AlarmSegCvb>();
    seg->SetAddress(address);
    seg->SetMessages(Messages(n));
    manager_.AddSeg(seg);
    return seg;
  }

  // Writes the whole block as a reply would: every byte 0 but the ones given.
  static void Write(const std::shared_ptr<TaskReadData>& task,
                    const std::vector<std::pair<std::size_t, uint8_t>>& bytes) {
    std::vector<uint8_t> data(task->GetCacheBlock()->GetSize(), 0);
    for (const auto& [at, value] : bytes) data.at(at) = value;
    task->GetCacheBlock()->Update(data.data(), data.size());
  }

  std::vector<std::string> Active() {
    std::shared_lock lock(manager_.GetActiveLock());
    std::vector<std::string> out;
    for (const ActiveAlarm& a : manager_.GetActiveAlarms()) out.push_back(a.segment->GetBitMessage(a.bit));
    return out;
  }

  AlarmManager manager_{std::string(), false, nullptr};
  std::shared_ptr<Node> node_;
  std::shared_ptr<TaskReadData> bits_, words_;
};

TEST_F(AlarmSegCvbTest, FreshSegmentIsUnbound) {
  AlarmSegCvb seg;
  EXPECT_EQ(seg.GetAddress(), "");
  EXPECT_FALSE(seg.IsBound());
  EXPECT_EQ(seg.GetRangeText(), "");
  EXPECT_EQ(seg.GetOffset(), 0u);
  EXPECT_EQ(seg.GetCount(), 0u);
  EXPECT_EQ(seg.GetText(), "");
  EXPECT_FALSE(seg.BindAddress());
}

TEST_F(AlarmSegCvbTest, BitAddressCoversARunOfBits) {
  auto seg = Segment(" PLC.m100 ", 16);
  ASSERT_TRUE(seg->IsBound());
  EXPECT_EQ(seg->GetAddress(), "PLC.M100");
  EXPECT_EQ(seg->GetRangeText(), "M[100~115]");
  EXPECT_EQ(seg->GetOffset(), 100u);
  EXPECT_EQ(seg->GetTask(), bits_);
  EXPECT_EQ(bits_->GetSubscriberCount(), 1u);
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);

  // M100 is bit 4 of byte 12, M115 bit 3 of byte 14; M116 is not ours.
  Write(bits_, {{12, 0x10}, {14, 0x18}});
  EXPECT_EQ(Active(), (std::vector<std::string>{"m0", "m15"}));
  Write(bits_, {{14, 0x08}, {11, 0xFF}});
  EXPECT_EQ(Active(), (std::vector<std::string>{"m15"}));
  std::shared_lock lock(manager_.GetHistoryLock());
  ASSERT_EQ(manager_.GetHistory().Count(), 1u);
  EXPECT_EQ(manager_.GetHistory().At(0).message, "m0");
}

TEST_F(AlarmSegCvbTest, WordAddressCoversWholeWords) {
  auto seg = Segment("PLC.D10", 16);
  ASSERT_TRUE(seg->IsBound());
  EXPECT_EQ(seg->GetRangeText(), "D10");
  EXPECT_EQ(seg->GetAddr().count, 1u);
  EXPECT_EQ(seg->GetOffset(), 20u) << "bytes into the block";
  EXPECT_EQ(seg->GetTask(), words_);

  Write(words_, {{20, 0x01}, {21, 0x80}, {22, 0xFF}, {19, 0xFF}});
  EXPECT_EQ(Active(), (std::vector<std::string>{"m0", "m15"}));

  // Seventeen bits take two words.
  seg->SetMessages(Messages(17));
  EXPECT_EQ(seg->GetRangeText(), "D[10~11]");
  EXPECT_EQ(seg->GetAddr().count, 2u);
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);
  // The replaced bits' alarms ended rather than stay on for ever.
  EXPECT_TRUE(Active().empty());
  {
    std::shared_lock lock(manager_.GetHistoryLock());
    ASSERT_EQ(manager_.GetHistory().Count(), 2u);
    EXPECT_EQ(manager_.GetHistory().At(0).message, "m0");
    EXPECT_EQ(manager_.GetHistory().At(1).message, "m15");
  }
  // The block did not change: the new bits learn of it at the next change.
  Write(words_, {{20, 0x01}, {22, 0x01}});
  EXPECT_EQ(Active(), (std::vector<std::string>{"m0", "m16"}));
}

TEST_F(AlarmSegCvbTest, AddressOutsideEveryBlockStaysUnbound) {
  for (const char* address : {"PLC.M200", "PLC.M[120~130]", "M100", "Nope.M1", "PLC.Q1", ""}) {
    auto seg = std::make_shared<AlarmSegCvb>();
    seg->SetAddress(address);
    seg->SetMessages(Messages(16));
    EXPECT_FALSE(seg->IsBound()) << address;
    EXPECT_EQ(seg->GetRangeText(), "") << address;
    manager_.AddSeg(seg);
  }
  // A run that starts inside but ends outside.
  auto tail = Segment("PLC.M120", 16);
  EXPECT_FALSE(tail->IsBound());
  EXPECT_EQ(tail->GetAddress(), "PLC.M120") << "rewritten even so";
  EXPECT_EQ(bits_->GetSubscriberCount(), 0u);

  for (std::size_t i = 0; i < 16; ++i) Write(bits_, {{i, 0xFF}});
  EXPECT_TRUE(Active().empty());
  EXPECT_EQ(manager_.GetAlarmChangeCount(), AlarmManager::kInitialCount);
}

TEST_F(AlarmSegCvbTest, BitsAlreadySetAreReportedAtTheNextChange) {
  Write(bits_, {{0, 0x01}});
  auto seg = Segment("PLC.M0", 8);
  ASSERT_TRUE(seg->IsBound());
  EXPECT_TRUE(Active().empty()) << "registration does not notify";
  Write(bits_, {{0, 0x01}, {15, 0x01}});  // a change elsewhere in the block
  EXPECT_EQ(Active(), std::vector<std::string>{"m0"});
}

TEST_F(AlarmSegCvbTest, RebindingKeepsOneSubscription) {
  auto seg = Segment("PLC.M8", 4);
  ASSERT_TRUE(seg->BindAddress());
  ASSERT_TRUE(seg->BindAddress());
  EXPECT_EQ(bits_->GetSubscriberCount(), 1u);
  seg->Resize(40);
  EXPECT_EQ(seg->GetRangeText(), "M[8~47]");
  EXPECT_EQ(bits_->GetSubscriberCount(), 1u);

  // Moving to the other block moves the subscription and the listener.
  ASSERT_TRUE(seg->BindAddress("PLC.D0"));
  EXPECT_EQ(bits_->GetSubscriberCount(), 0u);
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);
  EXPECT_EQ(seg->GetRangeText(), "D[0~2]");
  Write(bits_, {{1, 0xFF}});
  EXPECT_TRUE(Active().empty());
  Write(words_, {{0, 0x02}});
  EXPECT_EQ(Active(), std::vector<std::string>{"m1"});

  // A failed rebind leaves it unbound and deaf.
  EXPECT_FALSE(seg->BindAddress("PLC.D500"));
  EXPECT_FALSE(seg->IsBound());
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
  EXPECT_EQ(seg->GetOffset(), 0u);
  Write(words_, {{0, 0x00}});
  EXPECT_EQ(Active(), std::vector<std::string>{"m1"});
}

TEST_F(AlarmSegCvbTest, DestroyedSegmentLeavesItsBlock) {
  auto seg = Segment("PLC.M0", 8);
  ASSERT_TRUE(seg->IsBound());
  ASSERT_TRUE(manager_.RemoveSeg(seg.get()));
  std::weak_ptr<AlarmSegCvb> weak = seg;
  seg.reset();
  EXPECT_TRUE(weak.expired());
  EXPECT_EQ(bits_->GetSubscriberCount(), 0u);
  // Nothing is notified any more (a freed listener would be reached here).
  Write(bits_, {{0, 0xFF}});
  EXPECT_TRUE(Active().empty());
}
