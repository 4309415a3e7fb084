// A bit event against a libmodbus slave on loopback: its block is polled
// because the event is bound, and the lists it runs write the slave.
#include <gtest/gtest.h>

#include <memory>

#include "events/QlBitVarEvent.h"
#include "support/ModbusTcpSlave.h"
#include "term_data/CacheVarBlock.h"
#include "termination/NodeDbFixture.h"

namespace NsOvrin::NsQlEvent {
namespace {

using NsTermination::CacheVarBlock;
using NsTestSupport::ModbusTcpSlave;

class QlBitVarEventModbus : public NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    ASSERT_TRUE(slave_.Start());
    channel_ = AddEthernet("ETH1");
    const auto node = AddTcpNode(channel_, "PLC1", slave_.Port());
    ASSERT_NE(node, nullptr);
    AddBlock(*node, "0x[0~15]", "coils", 20);
    coils_ = TaskNamed(*node, "coils");
    ASSERT_NE(coils_, nullptr);
  }
  void TearDown() override {
    Db().Reset();  // polling ends before the slave goes
    NodeDbFixture::TearDown();
  }

  void Connect() {
    Db().SetRunning(true);
    ASSERT_TRUE(channel_->Open());
  }

  // Waits for a reply newer than the call whose coil 1 is on.
  bool WaitForCoil1(bool on) {
    const CacheVarBlock& block = *coils_->GetCacheBlock();
    const uint32_t from = block.GetUpdateCount();
    return WaitFor([&] {
      bool bit = !on;
      return block.GetUpdateCount() > from && block.GetBit(1, bit) && bit == on;
    });
  }

  ModbusTcpSlave slave_;
  std::shared_ptr<NsTermination::ChannelEthernet> channel_;
  std::shared_ptr<NsTermination::TaskReadData> coils_;
};

TEST_F(QlBitVarEventModbus, EdgesOfAPolledCoilWriteTheSlave) {
  QlBitVarEvent event("PLC1.0x1");
  event.GetFunctionTexts(QlBitVarEvent::kRisingEdge) = {"SET PLC1.0x5"};
  event.GetFunctionTexts(QlBitVarEvent::kFallingEdge) = {"RST PLC1.0x5"};
  event.GetFunctionTexts(QlBitVarEvent::kWhileOn) = {"MOV 7 PLC1.4x2"};
  ASSERT_TRUE(event.Compile());
  ASSERT_TRUE(event.BindAddress());
  Connect();

  slave_.SetCoil(5, true);
  ASSERT_TRUE(WaitForCoil1(false));
  event.Evaluate();
  EXPECT_FALSE(slave_.GetCoil(5)) << "the first evaluation at 0 runs the falling edge";
  EXPECT_EQ(slave_.GetHoldingRegister(2), 0);

  slave_.SetCoil(1, true);
  ASSERT_TRUE(WaitForCoil1(true));
  event.Evaluate();
  EXPECT_TRUE(slave_.GetCoil(5));
  EXPECT_EQ(slave_.GetHoldingRegister(2), 7);

  // Still on at the next reading: only "==1" runs again.
  slave_.SetCoil(5, false);
  slave_.SetHoldingRegister(2, 0);
  ASSERT_TRUE(WaitForCoil1(true));
  event.Evaluate();
  EXPECT_FALSE(slave_.GetCoil(5));
  EXPECT_EQ(slave_.GetHoldingRegister(2), 7);
}

}  // namespace
}  // namespace NsOvrin::NsQlEvent
