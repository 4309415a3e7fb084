// Button bindings on a node that polls a libmodbus slave on loopback: the
// button writes through its node and shows what the slave holds.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "QlUiElem/QlUiButton.h"
#include "element_io/QlButtonIo.h"
#include "support/ModbusTcpSlave.h"
#include "termination/ChannelManager.h"
#include "termination/NodeDbFixture.h"
#include "termination/NodeFactory.h"

namespace NsOvrin::NsQlElemIo {
namespace {

using NsQlUiElem::QlUiButton;
using NsTermination::CacheVarBlock;
using NsTermination::ChannelEthernet;
using NsTermination::Node;
using NsTermination::TaskReadData;
using NsTestSupport::ModbusTcpSlave;

class QlButtonIoModbusTest : public NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    ASSERT_TRUE(slave_.Start());
    channel_ = std::make_shared<ChannelEthernet>("ETH1");
    ASSERT_TRUE(Db().AddChannel(channel_));
    node_ = NsTermination::NodeFactory::MakeModbusTcpNode(TcpParam("PLC1", slave_.Port()));
    ASSERT_NE(node_, nullptr);
    ASSERT_TRUE(channel_->AddNode(node_));
    AddBlock(*node_, "0x[0~15]", "coils", 20);
    AddBlock(*node_, "4x[0~9]", "registers", 20);
    coils_ = TaskNamed(*node_, "coils");
    registers_ = TaskNamed(*node_, "registers");
    ASSERT_TRUE(coils_ && registers_);
    Db().SetRunning(true);
    ASSERT_TRUE(channel_->Open());
  }
  void TearDown() override {
    Db().Reset();  // polling ends before the slave goes
    NodeDbFixture::TearDown();
  }

  // One refresh tick of the button's host: the bit read, the look switched
  // on a change.
  static void Refresh(QlButtonIo& io, QlUiButton& button) {
    uint8_t value = 0;
    bool changed = false;
    if (io.ReadState(value, changed) && changed) button.SetState(value != 0 ? 2 : 0);
  }

  // Refreshes until the button shows the state.
  bool ShowsState(QlButtonIo& io, QlUiButton& button, int32_t state) {
    return WaitFor([&] {
      Refresh(io, button);
      return button.data.state == state;
    });
  }

  // Waits until the block has taken a reply that satisfies the check.
  bool WaitForBlock(const std::shared_ptr<TaskReadData>& task,
                    const std::function<bool(const CacheVarBlock&)>& check) {
    const CacheVarBlock& block = *task->GetCacheBlock();
    const uint32_t from = block.GetUpdateCount();
    return WaitFor([&] { return block.GetUpdateCount() > from && check(block); });
  }

  ModbusTcpSlave slave_;
  std::shared_ptr<ChannelEthernet> channel_;
  std::shared_ptr<Node> node_;
  std::shared_ptr<TaskReadData> coils_, registers_;
};

TEST_F(QlButtonIoModbusTest, AToggleButtonWritesItsBitAndFollowsTheSlave) {
  QlButtonIo io;
  io.readAddress = "PLC1.0x3";
  ASSERT_TRUE(io.Bind());
  ASSERT_TRUE(io.Check(nullptr));
  QlUiButton button;
  button.data.borderStyle = NsQlUiElem::kButtonRaised;

  // Subscribed: the block is polled and the bit shows OFF.
  ASSERT_TRUE(WaitForBlock(coils_, [](const CacheVarBlock&) { return true; }));
  Refresh(io, button);
  EXPECT_EQ(button.data.state, 0);
  EXPECT_EQ(registers_->GetCacheBlock()->GetUpdateCount(), CacheVarBlock::kInitialCount)
      << "a block nobody is bound to is not read";

  ASSERT_TRUE(io.WriteValue(1));
  EXPECT_TRUE(slave_.GetCoil(3));
  EXPECT_FALSE(slave_.GetCoil(2));
  EXPECT_FALSE(slave_.GetCoil(4));
  ASSERT_TRUE(ShowsState(io, button, 2));
  EXPECT_EQ(button.painter.style, 0) << "a pressed raised button looks flat";

  // Changed on the slave's side.
  slave_.SetCoil(3, false);
  ASSERT_TRUE(ShowsState(io, button, 0));
  EXPECT_EQ(button.painter.style, 1);
  slave_.SetCoil(3, true);
  ASSERT_TRUE(ShowsState(io, button, 2));

  // Toggled back by the button.
  ASSERT_TRUE(io.WriteValue(0));
  EXPECT_FALSE(slave_.GetCoil(3));
  ASSERT_TRUE(ShowsState(io, button, 0));
}

TEST_F(QlButtonIoModbusTest, ASeparateWriteAddressAndTheSetResetWriter) {
  QlButtonIo io;
  io.buttonType = kButtonSetOn;
  io.sameAsRead = false;
  io.readAddress = "PLC1.0x3";
  io.writeAddress = "PLC1.0x9";
  ASSERT_TRUE(io.Bind());
  ASSERT_TRUE(io.Check(nullptr));
  ASSERT_TRUE(WaitForBlock(coils_, [](const CacheVarBlock&) { return true; }));
  ASSERT_TRUE(io.WriteValue(1));
  EXPECT_TRUE(slave_.GetCoil(9));
  EXPECT_FALSE(slave_.GetCoil(3));

  // The writer of SET and RST needs no data block.
  const auto setReset = QlButtonIo::QlButtonIoWithAddresses("", "PLC1.0x100");
  ASSERT_TRUE(setReset->Bind());
  ASSERT_TRUE(setReset->Check(nullptr));
  ASSERT_TRUE(setReset->WriteValue(1));
  EXPECT_TRUE(slave_.GetCoil(100));
  ASSERT_TRUE(setReset->WriteValue(0));
  EXPECT_FALSE(slave_.GetCoil(100));
}

TEST_F(QlButtonIoModbusTest, AWordReadAddressFollowsTheRegister) {
  QlButtonIo io;
  io.buttonType = kButtonSetValue;
  io.dataType = NsTermination::kTypeUInt16;
  io.readAddress = "PLC1.4x2";
  ASSERT_TRUE(io.Bind());
  ASSERT_TRUE(io.Check(nullptr));
  QlUiButton button;

  // Register 0 puts a set bit where the byte offset of 4x2 would name one.
  slave_.SetHoldingRegister(0, 0x1000);
  ASSERT_TRUE(WaitForBlock(registers_, [](const CacheVarBlock& b) { return b.GetWord(0) == 0x1000; }));
  Refresh(io, button);
  EXPECT_EQ(button.data.state, 0);

  slave_.SetHoldingRegister(2, 0x0100);
  ASSERT_TRUE(ShowsState(io, button, 2));
  slave_.SetHoldingRegister(2, 0);
  ASSERT_TRUE(ShowsState(io, button, 0));
}

TEST_F(QlButtonIoModbusTest, NoWriteOnceTheNodeIsGone) {
  QlButtonIo io;
  io.readAddress = "PLC1.0x3";
  ASSERT_TRUE(io.Bind());
  ASSERT_TRUE(WaitForBlock(coils_, [](const CacheVarBlock&) { return true; }));
  ASSERT_TRUE(io.WriteValue(1));
  Db().Reset();
  channel_.reset();
  node_.reset();
  EXPECT_FALSE(io.GetReadNode().IsValid());
  EXPECT_FALSE(io.WriteValue(0));
  EXPECT_TRUE(slave_.GetCoil(3));
}

}  // namespace
}  // namespace NsOvrin::NsQlElemIo
