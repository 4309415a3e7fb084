#include "alarm/AlarmSeg.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

using namespace NsOvrin::NsAlarm;

namespace {

// Records the callbacks in order: "on 3", "off 3".
struct CallLog {
  std::vector<std::string> calls;
  void Attach(AlarmSeg& seg) {
    seg.SetAlarmCallbacks(
        [this](AlarmSeg*, uint16_t bit) { calls.push_back("on " + std::to_string(bit)); },
        [this](AlarmSeg*, uint16_t bit) { calls.push_back("off " + std::to_string(bit)); });
  }
};

bool Set(AlarmSeg& seg, uint16_t bit, uint8_t value) {
  std::unique_lock lock(seg.GetLock());
  return seg.SetBit(bit, value);
}

}  // namespace

TEST(AlarmSegTest, MessagesMakeOneBitEach) {
  AlarmSeg seg("源");
  EXPECT_EQ(seg.GetCount(), 0u);
  seg.SetMessages({"温度过高", "压力过低", ""});
  ASSERT_EQ(seg.GetCount(), 3u);
  EXPECT_EQ(seg.GetBitMessage(0), "温度过高");
  EXPECT_EQ(seg.GetBitTemplate(1), "压力过低");
  EXPECT_EQ(seg.GetBitMessage(2), "");
  EXPECT_EQ(seg.GetBitMessage(3), "?");
  EXPECT_EQ(seg.GetBitTemplate(99), "?");
  EXPECT_EQ(seg.GetText(), "源");

  // New messages replace the bits, states included.
  ASSERT_TRUE(Set(seg, 0, 1));
  seg.SetMessages({"x"});
  ASSERT_EQ(seg.GetCount(), 1u);
  EXPECT_EQ(seg.GetBits()[0].state, 0);

  // Resizing keeps the bits that stay; new ones are fresh.
  ASSERT_TRUE(Set(seg, 0, 1));
  seg.Resize(3);
  ASSERT_EQ(seg.GetCount(), 3u);
  EXPECT_EQ(seg.GetBits()[0].state, 1);
  EXPECT_EQ(seg.GetBitMessage(0), "x");
  EXPECT_EQ(seg.GetBitMessage(2), "");
  EXPECT_EQ(seg.GetBits()[2].onTime, 0);
  seg.Resize(0);
  EXPECT_EQ(seg.GetCount(), 0u);
}

TEST(AlarmSegTest, OnlyChangesCallBack) {
  AlarmSeg seg;
  seg.SetMessages({"a", "b"});
  CallLog log;
  log.Attach(seg);

  struct Step {
    uint16_t bit;
    uint8_t value;
    bool result;
    uint8_t state, turnedOn, turnedOff;
  };
  const std::vector<Step> steps = {
      {0, 0, true, 0, 0, 0},  // first poll of a 0 bit: nothing
      {0, 1, true, 1, 1, 0},  {0, 1, true, 1, 0, 0}, {1, 7, true, 1, 1, 0},  // any non-zero is 1
      {0, 0, true, 0, 0, 1},  {0, 0, true, 0, 0, 0}, {2, 1, false, 0, 0, 0},
  };
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    EXPECT_EQ(Set(seg, s.bit, s.value), s.result) << i;
    if (!s.result) continue;
    const AlarmBit& bit = seg.GetBits()[s.bit];
    EXPECT_EQ(bit.state, s.state) << i;
    EXPECT_EQ(bit.turnedOn, s.turnedOn) << i;
    EXPECT_EQ(bit.turnedOff, s.turnedOff) << i;
  }
  EXPECT_EQ(log.calls, (std::vector<std::string>{"on 0", "on 1", "off 0"}));
}

TEST(AlarmSegTest, ChangesAreStamped) {
  AlarmSeg seg;
  seg.SetMessages({"a"});
  const int64_t before = CurrentAlarmTime();
  ASSERT_TRUE(Set(seg, 0, 1));
  const int64_t on = seg.GetBits()[0].onTime;
  EXPECT_GE(on, before);
  EXPECT_LE(on, CurrentAlarmTime());
  EXPECT_EQ(seg.GetBits()[0].offTime, 0);
  ASSERT_TRUE(Set(seg, 0, 0));
  EXPECT_GE(seg.GetBits()[0].offTime, on);
  EXPECT_EQ(seg.GetBits()[0].onTime, on) << "the on time stays for the history";
}

TEST(AlarmSegTest, FormatterMakesTheMessageWhenTheBitComesOn) {
  AlarmSeg seg;
  seg.SetMessages({"T"});
  std::string seenInCallback;
  seg.SetAlarmCallbacks([&](AlarmSeg* s, uint16_t bit) { seenInCallback = s->GetBitMessage(bit); },
                        nullptr);
  seg.SetMessageFormatter([](const std::string& t) { return "<" + t + ">"; });
  EXPECT_EQ(seg.GetBitMessage(0), "T");
  ASSERT_TRUE(Set(seg, 0, 1));
  EXPECT_EQ(seg.GetBitMessage(0), "<T>");
  EXPECT_EQ(seenInCallback, "<T>");
  EXPECT_EQ(seg.GetBitTemplate(0), "T");
  ASSERT_TRUE(Set(seg, 0, 0));  // no off callback set: nothing to call
  EXPECT_EQ(seg.GetBitMessage(0), "<T>");
}

TEST(AlarmSegTest, BitsThatGoAwayEndTheirAlarms) {
  AlarmSeg seg;
  seg.SetMessages({"a", "b", "c", "d"});
  CallLog log;
  log.Attach(seg);
  for (uint16_t bit : {0, 2, 3}) ASSERT_TRUE(Set(seg, bit, 1));
  log.calls.clear();

  seg.Resize(3);  // bit 3 goes
  EXPECT_EQ(log.calls, std::vector<std::string>{"off 3"});
  seg.Resize(5);  // growing ends nothing
  EXPECT_EQ(log.calls, std::vector<std::string>{"off 3"});
  seg.SetMessages({"x"});  // every bit is replaced
  EXPECT_EQ(log.calls, (std::vector<std::string>{"off 3", "off 0", "off 2"}));
  EXPECT_EQ(seg.GetBits()[0].state, 0);
}
