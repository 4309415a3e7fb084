// Looking the project's events up by address and moving an event to another
// address, with every refusal and its message.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "EventsFixture.h"
#include "events/QlBitVarEvent.h"
#include "events/QlIntVarEvent.h"
#include "project/QlEProject.h"

namespace NsOvrin::NsQlEvent {
namespace {

using Testing::EventsFixture;

// An event that resolves like a bit event but cannot be moved.
class FixedEvent : public QlIntVarEvent {
 public:
  std::string GetAddress() const override { return "PLC1.0x20"; }
  bool SetAddress(const std::string&) override { return false; }
};

class QlEProjectEvents : public EventsFixture {
 protected:
  void SetUp() override {
    EventsFixture::SetUp();
    auto& events = Project().events;
    events = {std::make_shared<QlBitVarEvent>("PLC1.0x1"), std::make_shared<QlIntVarEvent>(),
              nullptr,
              std::make_shared<QlBitVarEvent>("PLC1.0x2"),
              std::make_shared<QlBitVarEvent>("PLC1.0x1"),
              // A bit event at a word address, as a hand-edited events file
              // may give.
              std::make_shared<QlBitVarEvent>("PLC1.4x1"),
              std::make_shared<QlBitVarEvent>("Nobody.0x1"),
              std::make_shared<QlBitVarEvent>("PLC1.zz"),
              std::make_shared<FixedEvent>()};
    initial_ = events;
  }

  static QlEProject& Project() { return QlEProject::Instance(); }

  // The addresses of the events, in order.
  static std::vector<std::string> Addresses() {
    std::vector<std::string> addresses;
    for (const auto& event : Project().events)
      addresses.push_back(event ? event->GetAddress() : "-");
    return addresses;
  }

  std::vector<std::shared_ptr<QlVarEventBase>> initial_;
};

TEST_F(QlEProjectEvents, FindEventGivesTheFirstExactMatch) {
  struct Case {
    std::string address;
    int index;  // into the initial list; -1 for none
  };
  const Case cases[] = {
      {"PLC1.0x1", 0},  {"PLC1.0x2", 3},   {"PLC1.4x1", 5},   {"", 1},
      {"plc1.0x1", -1}, {" PLC1.0x1", -1}, {"PLC1.0x01", -1}, {"PLC1.0x", -1},
  };
  for (const Case& c : cases) {
    const auto found = Project().FindEvent(c.address);
    if (c.index < 0)
      EXPECT_EQ(found, nullptr) << c.address;
    else
      EXPECT_EQ(found, initial_[static_cast<std::size_t>(c.index)]) << c.address;
  }
  Project().events.clear();
  EXPECT_EQ(Project().FindEvent(""), nullptr);
}

TEST_F(QlEProjectEvents, ChangeEventAddressRefusals) {
  struct Case {
    std::string from, to;
    std::string message;
  };
  const Case cases[] = {
      {"PLC1.0x1", "", "新地址不能为空!"},
      {"PLC1.0x9", "PLC1.0x10", "未找到 \"PLC1.0x9\" 对应相应的变量事件"},
      {"plc1.0x1", "PLC1.0x10", "未找到 \"plc1.0x1\" 对应相应的变量事件"},
      {"Nobody.0x1", "PLC1.0x10", "没有找到相应的节点"},
      {"PLC1.zz", "PLC1.0x10", "格式错误"},
      {"PLC1.0x1", "PLC9.0x10", "没有找到相应的节点"},
      {"PLC1.0x1", "PLC1.zz", "格式错误"},
      {"PLC1.0x1", "PLC1.0x99999", "起始或者结束地址异常"},
      // The integer event keeps no address: "" finds it, and "" resolves to
      // nothing.
      {"", "PLC1.4x2", "格式错误"},
      {"PLC1.0x1", "PLC1.4x1", "两个地址(PLC1.0x1 vs PLC1.4x1)所代表的数据类型不一致."},
      {"PLC1.4x1", "PLC1.1x0", "两个地址(PLC1.4x1 vs PLC1.1x0)所代表的数据类型不一致."},
      {"PLC1.0x20", "PLC1.0x21", "未知错误."},
  };
  Project().modified = false;
  const auto addresses = Addresses();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from + " -> " + c.to);
    std::string message = "untouched";
    EXPECT_FALSE(Project().ChangeEventAddress(c.from, c.to, message));
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(Addresses(), addresses);
  }
  EXPECT_FALSE(Project().modified);
}

TEST_F(QlEProjectEvents, ChangeEventAddressMovesTheFirstEvent) {
  struct Case {
    std::string from, to;
    int moved;  // index of the event that takes the new address; -1 for none
  };
  const Case cases[] = {
      // An unchanged text is accepted without a look-up.
      {"PLC1.0x1", "PLC1.0x1", -1},
      {"PLC9.9", "PLC9.9", -1},
      {"PLC1.0x1", "PLC1.0x5", 0},
      // Now the second event at PLC1.0x1 is the first.
      {"PLC1.0x1", "0x6", 4},
      // Another event there does not stop the move.
      {"PLC1.0x2", "PLC1.0x5", 3},
      // Inside no data block, a read-only input: still a bit address.
      {"PLC1.0x5", "PLC1.1x500", 0},
      {"PLC1.4x1", "PLC1.4x[2~3]", 5},
  };
  Project().modified = false;
  std::vector<std::string> addresses = Addresses();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from + " -> " + c.to);
    std::string message = "untouched";
    EXPECT_TRUE(Project().ChangeEventAddress(c.from, c.to, message));
    EXPECT_EQ(message, "untouched");
    if (c.moved >= 0) addresses[static_cast<std::size_t>(c.moved)] = c.to;
    EXPECT_EQ(Addresses(), addresses);
  }
  EXPECT_EQ(Project().events, initial_) << "the events themselves stay, in their order";
  EXPECT_FALSE(Project().modified);
}

TEST_F(QlEProjectEvents, ThePickedEventOfSeveralAtOneAddressMoves) {
  const auto second = initial_[4];  // the second event at PLC1.0x1
  std::string message = "untouched";
  EXPECT_TRUE(Project().ChangeEventAddress(second, "PLC1.0x7", message));
  EXPECT_EQ(message, "untouched");
  EXPECT_EQ(initial_[0]->GetAddress(), "PLC1.0x1");
  EXPECT_EQ(second->GetAddress(), "PLC1.0x7");

  // An integer event moves between word addresses, not to a bit.
  auto word = std::make_shared<QlIntVarEvent>("PLC1.4x1");
  Project().events.push_back(word);
  EXPECT_TRUE(Project().ChangeEventAddress(word, "PLC1.4x[4~5]", message));
  EXPECT_EQ(word->GetAddress(), "PLC1.4x[4~5]");
  EXPECT_EQ(initial_[5]->GetAddress(), "PLC1.4x1") << "the bit event at that address stays";
  EXPECT_FALSE(Project().ChangeEventAddress(word, "PLC1.0x3", message));
  EXPECT_EQ(message, "两个地址(PLC1.4x[4~5] vs PLC1.0x3)所代表的数据类型不一致.");

  // Only the project's own events move.
  auto stranger = std::make_shared<QlBitVarEvent>("PLC1.0x1");
  EXPECT_FALSE(Project().ChangeEventAddress(stranger, "PLC1.0x9", message));
  EXPECT_EQ(message, "未找到 \"PLC1.0x1\" 对应相应的变量事件");
  EXPECT_FALSE(Project().ChangeEventAddress(std::shared_ptr<QlVarEventBase>(), "PLC1.0x9", message));
  EXPECT_EQ(message, "未找到 \"\" 对应相应的变量事件");
  EXPECT_FALSE(Project().ChangeEventAddress(second, "", message));
  EXPECT_EQ(message, "新地址不能为空!");
  EXPECT_EQ(stranger->GetAddress(), "PLC1.0x1");
}

}  // namespace

}  // namespace NsOvrin::NsQlEvent
