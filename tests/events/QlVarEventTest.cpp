// Bit and integer variable events: their triggers and lines, compiling and
// binding, and which lists a bit event runs on the readings of its block.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "EventsFixture.h"
#include "compiler/QlFuncList.h"
#include "events/QlBitVarEvent.h"
#include "events/QlIntVarEvent.h"

namespace NsOvrin::NsQlEvent {
namespace {

using Strings = std::vector<std::string>;
using Testing::EventsFixture;

TEST(QlVarEvent, TriggersOfBothKinds) {
  QlBitVarEvent bit("PLC1.0x3");
  QlIntVarEvent word;
  struct Case {
    QlVarEventBase* event;
    uint16_t type;
    Strings names;  // trigger 0, 1, ... and one past the last
  };
  const Case cases[] = {
      {&bit, kBitEvent, {"上升沿", "下降沿", "==1", ""}},
      {&word, kIntEvent, {"数值变更", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.names.front());
    QlVarEventBase& event = *c.event;
    EXPECT_EQ(event.GetEventType(), c.type);
    ASSERT_EQ(event.GetTriggerCount(), c.names.size() - 1);
    for (std::size_t i = 0; i < c.names.size(); ++i)
      EXPECT_EQ(event.GetTriggerName(i), c.names[i]) << i;
    EXPECT_EQ(event.GetTriggerName(99), "");

    // Each trigger keeps its own lines; past the last there is only the
    // shared empty list.
    for (std::size_t i = 0; i < event.GetTriggerCount(); ++i) {
      EXPECT_TRUE(event.GetFunctionTextsConst(i).empty()) << i;
      event.GetFunctionTexts(i).push_back("短消息 \"" + std::to_string(i) + "\"");
    }
    for (std::size_t i = 0; i < event.GetTriggerCount(); ++i) {
      EXPECT_EQ(event.GetFunctionTextsConst(i), Strings{"短消息 \"" + std::to_string(i) + "\""});
      EXPECT_EQ(&event.GetFunctionTextsConst(i), &event.GetFunctionTexts(i));
    }
    const std::size_t past = event.GetTriggerCount();
    EXPECT_EQ(&event.GetFunctionTextsConst(past), &EmptyFunctionTexts);
    EXPECT_EQ(event.GetFunctions(past), nullptr);
  }
}

TEST(QlVarEvent, LinesWrittenPastTheTriggersGoNowhere) {
  QlBitVarEvent bit("PLC1.0x3");
  QlIntVarEvent word;
  bit.GetFunctionTexts(3).push_back("SET PLC1.0x1");
  word.GetFunctionTexts(1).push_back("SET PLC1.0x1");
  EXPECT_TRUE(EmptyFunctionTexts.empty());
  EXPECT_TRUE(bit.GetFunctionTexts(5).empty());
  EXPECT_TRUE(word.GetFunctionTexts(1).empty());
  EXPECT_TRUE(bit.GetFunctionTextsConst(3).empty());
  for (std::size_t i = 0; i < bit.GetTriggerCount(); ++i)
    EXPECT_TRUE(bit.GetFunctionTextsConst(i).empty()) << i;
  EXPECT_TRUE(word.GetFunctionTextsConst(0).empty());
}

TEST(QlVarEvent, ABitEventWatchesItsAddressThroughADisplayOnlyBinding) {
  QlBitVarEvent event(" PLC1.0x3");
  EXPECT_EQ(event.GetAddress(), " PLC1.0x3");
  const auto& io = event.GetIo();
  EXPECT_EQ(io.readAddress, " PLC1.0x3");
  EXPECT_EQ(io.writeAddress, "");
  EXPECT_EQ(io.buttonType, NsQlElemIo::kButtonDisplayOnly);
  EXPECT_EQ(io.dataType, NsTermination::kTypeBit);
  EXPECT_TRUE(io.sameAsRead);
  EXPECT_EQ(io.GetReadTask(), nullptr) << "made, not bound";

  EXPECT_TRUE(event.SetAddress("PLC1.0x9"));
  EXPECT_EQ(event.GetAddress(), "PLC1.0x9");
  EXPECT_EQ(io.readAddress, "PLC1.0x9");
  for (std::size_t i = 0; i < event.GetTriggerCount(); ++i)
    EXPECT_NE(event.GetFunctions(i), nullptr) << i;
}

TEST(QlVarEvent, AnIntegerEventKeepsItsAddressAndLines) {
  QlIntVarEvent event("PLC1.4x1");
  EXPECT_EQ(event.GetAddress(), "PLC1.4x1");
  event.GetFunctionTexts(0) = {"xyz", "短消息 \"changed\""};
  EXPECT_TRUE(event.SetAddress("PLC1.4x2"));
  EXPECT_EQ(event.GetAddress(), "PLC1.4x2");
  EXPECT_EQ(QlIntVarEvent().GetAddress(), "");
  // It compiles and runs nothing.
  EXPECT_FALSE(event.Compile());
  EXPECT_EQ(event.GetFunctions(0), nullptr);
  EXPECT_FALSE(event.BindAddress());
  event.Evaluate();
  EXPECT_EQ(event.GetFunctionTextsConst(0), (Strings{"xyz", "短消息 \"changed\""}));
}

class QlBitVarEventTest : public EventsFixture {
 protected:
  // A bound event at PLC1.0x3 whose lists show which of them ran.
  std::shared_ptr<QlBitVarEvent> WatchedEvent(const std::string& address = "PLC1.0x3") {
    auto event = std::make_shared<QlBitVarEvent>(address);
    event->GetFunctionTexts(QlBitVarEvent::kRisingEdge) = {"短消息 \"上升沿\""};
    event->GetFunctionTexts(QlBitVarEvent::kFallingEdge) = {"短消息 \"下降沿\""};
    event->GetFunctionTexts(QlBitVarEvent::kWhileOn) = {"短消息 \"==1\""};
    EXPECT_TRUE(event->Compile());
    return event;
  }

  Strings EvaluateOnce(QlBitVarEvent& event) {
    event.Evaluate();
    return ui_.Take();
  }
};

TEST_F(QlBitVarEventTest, CompileRebuildsEveryTriggerAndKeepsTheLines) {
  QlBitVarEvent event("PLC1.0x3");
  EXPECT_TRUE(event.Compile());
  for (std::size_t i = 0; i < event.GetTriggerCount(); ++i)
    EXPECT_TRUE(event.GetFunctions(i)->functions.empty()) << i;

  event.GetFunctionTexts(0) = {"set  PLC1.0x5", "", "xyz 1"};
  event.GetFunctionTexts(1) = {"SET PLC1.1x0"};
  event.GetFunctionTexts(2) = {"页面跳到 \"页面9\"", "MOV PLC1.4x1 PLC1.4x1"};
  EXPECT_TRUE(event.Compile());

  struct Expected {
    std::size_t trigger;
    std::size_t position;
    bool ready;
    std::string line;
    std::string error;
  };
  const Expected expected[] = {
      {0, 0, true, "SET PLC1.0x00005", ""},
      {0, 1, false, "xyz 1", "未知指令: xyz 1"},
      {1, 0, false, "SET PLC1.1x0", "地址无写入权限."},
      {2, 0, false, "页面跳到 \"页面9\"", "页面 \"页面9\" 不存在."},
      {2, 1, false, "MOV PLC1.4x1 PLC1.4x1", "源地址和目标地址不能相同."},
  };
  const std::size_t counts[] = {2, 1, 2};
  for (std::size_t i = 0; i < 3; ++i) ASSERT_EQ(event.GetFunctions(i)->functions.size(), counts[i]);
  for (const Expected& e : expected) {
    const auto& function = event.GetFunctions(e.trigger)->functions[e.position];
    EXPECT_EQ(function->IsReady(), e.ready) << e.line;
    EXPECT_EQ(function->GetSourceLine(), e.line);
    EXPECT_EQ(function->GetError(), e.error) << e.line;
  }
  EXPECT_EQ(event.GetFunctionTextsConst(0), (Strings{"set  PLC1.0x5", "", "xyz 1"}))
      << "the stored lines stay as typed";

  event.GetFunctionTexts(0).clear();
  EXPECT_TRUE(event.Compile());
  EXPECT_TRUE(event.GetFunctions(0)->functions.empty());
  EXPECT_EQ(event.GetFunctions(1)->functions.size(), 1u);
}

TEST_F(QlBitVarEventTest, BindAddressIsTheBindingsBind) {
  struct Case {
    std::string address;
    bool bound;
    std::shared_ptr<NsTermination::TaskReadData> task;
    uint16_t offset;
  };
  const Case cases[] = {
      {"PLC1.0x3", true, coils_, 3},
      {" PLC1.0x100 ", true, coils_, 100},
      {"0x7", false, nullptr, 0},  // a binding names its node
      {"PLC1.1x5", true, inputs_, 5},
      {"PLC1.0x200", false, nullptr, 0},  // outside every block
      {"PLC9.0x3", false, nullptr, 0},
      {"PLC1.zz", false, nullptr, 0},
      {"", true, nullptr, 0},  // nothing to bind
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    QlBitVarEvent event(c.address);
    EXPECT_EQ(event.BindAddress(), c.bound);
    EXPECT_EQ(event.GetIo().GetReadTask(), c.task);
    if (c.task) {
      EXPECT_EQ(event.GetIo().GetReadOffset(), c.offset);
    }
    EXPECT_TRUE(event.GetIo().GetForceRefresh());
  }
  {
    QlBitVarEvent event("PLC1.0x3");
    ASSERT_TRUE(event.BindAddress());
    EXPECT_EQ(coils_->GetSubscriberCount(), 1u) << "a bound event keeps its block polled";
  }
  EXPECT_EQ(coils_->GetSubscriberCount(), 0u);
}

TEST_F(QlBitVarEventTest, EdgesAndReadingsRunTheirLists) {
  enum class Reading { kNone, kOn, kOff, kSame, kOtherBit, kRebind };
  struct Step {
    Reading reading;
    Strings ran;
  };
  // Each sequence starts with a freshly bound event; the block starts at 0.
  struct Case {
    const char* name;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"first evaluation at 0",
       {{Reading::kNone, {"下降沿"}}, {Reading::kNone, {}}, {Reading::kSame, {}}}},
      {"first evaluation at 1",
       {{Reading::kOn, {"上升沿", "==1"}}, {Reading::kNone, {}}, {Reading::kSame, {"==1"}}}},
      {"rising, staying on, falling",
       {{Reading::kNone, {"下降沿"}},
        {Reading::kOn, {"上升沿", "==1"}},
        {Reading::kNone, {}},
        {Reading::kSame, {"==1"}},
        {Reading::kOtherBit, {"==1"}},
        {Reading::kOff, {"下降沿"}},
        {Reading::kSame, {}},
        {Reading::kOtherBit, {}}}},
      {"a rebind counts as a change, not as a reading",
       {{Reading::kOn, {"上升沿", "==1"}},
        {Reading::kRebind, {"上升沿"}},
        {Reading::kOff, {"下降沿"}},
        {Reading::kRebind, {"下降沿"}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetCoil(3, false);
    SetCoil(4, false);
    const auto event = WatchedEvent();
    ASSERT_TRUE(event->BindAddress());
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      const Step& step = c.steps[i];
      switch (step.reading) {
        case Reading::kNone: break;
        case Reading::kOn: SetCoil(3, true); break;
        case Reading::kOff: SetCoil(3, false); break;
        case Reading::kSame: RepeatCoils(); break;
        case Reading::kOtherBit: SetCoil(4, !CoilIsOn(4)); break;
        case Reading::kRebind: ASSERT_TRUE(event->BindAddress()); break;
      }
      EXPECT_EQ(EvaluateOnce(*event), step.ran) << "step " << i;
    }
  }
}

TEST_F(QlBitVarEventTest, ATriggerRunsItsReadyFunctionsInOrder) {
  QlBitVarEvent event("PLC1.0x3");
  event.GetFunctionTexts(QlBitVarEvent::kRisingEdge) = {"短消息 \"一\"", "xyz", "",
                                                        "页面跳到 \"页面9\"", "短消息 \"二\""};
  event.GetFunctionTexts(QlBitVarEvent::kWhileOn) = {"弹出画面 \"页面1\""};
  QlEProject::Instance().pageNames = {"页面1"};
  ASSERT_TRUE(event.Compile());
  ASSERT_TRUE(event.BindAddress());
  SetCoil(3, true);
  EXPECT_EQ(EvaluateOnce(event), (Strings{"一", "二", "popup 页面1"}));
}

TEST_F(QlBitVarEventTest, NothingRunsWithoutAReadableBlock) {
  // Lines that are not compiled run nothing either.
  {
    QlBitVarEvent event("PLC1.0x3");
    event.GetFunctionTexts(QlBitVarEvent::kFallingEdge) = {"短消息 \"下降沿\""};
    ASSERT_TRUE(event.BindAddress());
    EXPECT_EQ(EvaluateOnce(event), Strings{});
  }
  const char* addresses[] = {"PLC1.0x200", "PLC9.0x3", ""};
  for (const char* address : addresses) {
    SCOPED_TRACE(address);
    const auto event = WatchedEvent(address);
    EXPECT_EQ(EvaluateOnce(*event), Strings{}) << "not bound";
    event->BindAddress();
    SetCoil(3, true);
    EXPECT_EQ(EvaluateOnce(*event), Strings{});
  }
}

}  // namespace
}  // namespace NsOvrin::NsQlEvent
