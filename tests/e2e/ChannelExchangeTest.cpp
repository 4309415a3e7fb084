// Channels with real peers: a serial channel's nodes sharing one port, an
// Ethernet channel starting and stopping its nodes, and channels torn down
// while their nodes poll and write.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "E2eUtil.h"
#include "comm_server/SerialPort.h"
#include "support/ModbusRtuSlave.h"
#include "support/ModbusTcpSlave.h"
#include "termination/Channel.h"
#include "termination/NodeFactory.h"

namespace NsOvrin::NsTermination::E2e {
namespace {

using NsTestSupport::ModbusRtuSlave;
using NsTestSupport::ModbusTcpSlave;

std::shared_ptr<Node> RtuNode(const std::string& name, uint8_t station = 1) {
  NsDevDefine::RsDevParam param;
  param.name = name;
  param.deviceId = kModelModbusRtu;
  param.stationNo = station;
  return NodeFactory::MakeSerialNode(param);
}

class SerialChannelExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(slave.Start());
    for (uint16_t i = 0; i < 10; ++i) slave.SetHoldingRegister(i, static_cast<uint16_t>(0x100 + i));
    channel.SetRunningFlag(&running);
    channel.SetDevicePath(slave.SlavePath());
  }

  ModbusRtuSlave slave{1};
  bool running = true;
  ChannelSerialPort channel{"S1", "com:1;param:9600,n,8,1;"};
};

TEST_F(SerialChannelExchangeTest, NodesShareOnePortAndExchangeOneAtATime) {
  auto a = RtuNode("A");
  auto b = RtuNode("B");
  ASSERT_TRUE(channel.AddNode(a));
  ASSERT_TRUE(channel.AddNode(b));
  ASSERT_TRUE(channel.Open());
  EXPECT_EQ(a->GetDeviceImpl(), channel.GetDeviceImpl());
  EXPECT_EQ(b->GetDeviceImpl(), channel.GetDeviceImpl());

  auto low = AddPolledBlock(*a, "4x[0~4]", 10);
  auto high = AddPolledBlock(*b, "4x[5~9]", 10);
  // A node added while the channel runs polls through the open port too.
  auto late = RtuNode("late");
  ASSERT_TRUE(channel.AddNode(late));
  EXPECT_TRUE(late->GetWorkerCtrl().IsAlive());
  auto lateBlock = AddPolledBlock(*late, "4x[2~3]", 10);

  EXPECT_TRUE(WaitForBlock(*low, [](const CacheVarBlock& c) { return c.GetWord(8) == 0x104; }));
  EXPECT_TRUE(WaitForBlock(*high, [](const CacheVarBlock& c) { return c.GetWord(8) == 0x109; }));
  EXPECT_TRUE(WaitForBlock(*lateBlock, [](const CacheVarBlock& c) { return c.GetWord(2) == 0x103; }));

  // Writes from another thread interleave with three polling nodes on one
  // line; every exchange must keep its own reply.
  for (uint16_t i = 0; i < 20; ++i) {
    ASSERT_TRUE(WriteValue<uint16_t>(*b, "4x20", 4, static_cast<uint16_t>(0x2000 + i))) << i;
    EXPECT_EQ(slave.GetHoldingRegister(20), 0x2000 + i);
  }
  // The polled blocks still take whole, right replies afterwards.
  const uint32_t seen = low->GetCacheBlock()->GetUpdateCount();
  EXPECT_TRUE(WaitForBlock(*low, [seen](const CacheVarBlock& c) { return c.GetUpdateCount() > seen + 2; }));
  for (uint16_t i = 0; i < 5; ++i) {
    EXPECT_EQ(low->GetCacheBlock()->GetWord(static_cast<uint16_t>(2 * i)), 0x100 + i);
    EXPECT_EQ(high->GetCacheBlock()->GetWord(static_cast<uint16_t>(2 * i)), 0x105 + i);
  }
  channel.Close();
  EXPECT_FALSE(late->GetWorkerCtrl().IsAlive());
}

TEST_F(SerialChannelExchangeTest, PortThatFailsToOpenStartsNothingUntilARetrySucceeds) {
  auto a = RtuNode("A");
  ASSERT_TRUE(channel.AddNode(a));
  auto block = AddPolledBlock(*a, "4x[0~1]", 10);
  channel.SetDevicePath("/nonexistent/ttyX");
  EXPECT_FALSE(channel.Open());
  EXPECT_TRUE(channel.IsOpenFailed());
  EXPECT_FALSE(a->GetWorkerCtrl().IsAlive());
  EXPECT_FALSE(WriteValue<uint16_t>(*a, "4x1", 4, 7));  // not started: no exchange
  EXPECT_EQ(slave.RequestCount(), 0u);

  channel.SetDevicePath(slave.SlavePath());
  ASSERT_TRUE(channel.Open());
  EXPECT_FALSE(channel.IsOpenFailed());
  EXPECT_TRUE(WaitForBlock(*block, [](const CacheVarBlock& c) { return c.GetWord(2) == 0x101; }));
  channel.Close();
}

TEST(EthernetChannelExchangeTest, OpenStartsAndCloseStopsThePolling) {
  ModbusTcpSlave slave;
  ASSERT_TRUE(slave.Start());
  slave.SetHoldingRegister(0, 0x0A0B);
  bool running = true;
  ChannelEthernet channel("E0");
  channel.SetRunningFlag(&running);
  std::vector<std::shared_ptr<Node>> nodes;
  std::vector<std::shared_ptr<TaskReadData>> blocks;
  for (int i = 0; i < 2; ++i) {
    // Added while the flag is clear: nothing starts before Open.
    running = false;
    nodes.push_back(NodeFactory::MakeModbusTcpNode(
        LoopbackParam("PLC" + std::to_string(i), kModelModbusTcp, slave.Port())));
    ASSERT_TRUE(channel.AddNode(nodes.back()));
    blocks.push_back(AddPolledBlock(*nodes.back(), "4x[0~0]", 10));
  }
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(slave.AcceptCount(), 0u);

  running = true;
  ASSERT_TRUE(channel.Open());
  for (const auto& block : blocks) {
    EXPECT_TRUE(WaitForBlock(*block, [](const CacheVarBlock& c) { return c.GetWord(0) == 0x0A0B; }));
  }
  EXPECT_EQ(slave.AcceptCount(), 2u);  // a socket per node

  channel.Close();
  for (const auto& node : nodes) EXPECT_FALSE(node->GetWorkerCtrl().IsAlive());
  const uint32_t after = slave.RequestCount();
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(slave.RequestCount(), after);

  // Reopened: new connections, polling again.
  slave.SetHoldingRegister(0, 0x0C0D);
  ASSERT_TRUE(channel.Open());
  for (const auto& block : blocks) {
    EXPECT_TRUE(WaitForBlock(*block, [](const CacheVarBlock& c) { return c.GetWord(0) == 0x0C0D; }));
  }
  EXPECT_EQ(slave.AcceptCount(), 4u);
  channel.Close();
}

// A writer that reaches its node through a handle, as bindings do, until the
// handle dies with the node.
class HandleWriter {
 public:
  explicit HandleWriter(OneWayWrapper<Node> handle)
      : thread_([this, handle] {
          for (uint16_t i = 0;; ++i) {
            {
              auto node = handle.Lock();
              if (!node) return;
              WriteValue<uint16_t>(*node, "4x30", 4, i);
              ++writes_;
            }
            // Leaves the destroyer a moment to take the handle's lock.
            std::this_thread::sleep_for(1ms);
          }
        }) {}
  ~HandleWriter() { thread_.join(); }
  uint32_t Writes() const { return writes_; }

 private:
  std::atomic<uint32_t> writes_{0};
  std::thread thread_;
};

TEST(ChannelTeardownTest, EthernetChannelDestroyedWhileItsNodesPollAndWrite) {
  ModbusTcpSlave slave;
  ASSERT_TRUE(slave.Start());
  bool running = true;
  auto channel = std::make_unique<ChannelEthernet>("E0");
  channel->SetRunningFlag(&running);
  std::vector<std::shared_ptr<TaskReadData>> blocks;
  for (int i = 0; i < 3; ++i) {
    auto node = NodeFactory::MakeModbusTcpNode(LoopbackParam("N" + std::to_string(i), kModelModbusTcp, slave.Port()));
    ASSERT_TRUE(channel->AddNode(node));
    blocks.push_back(AddPolledBlock(*node, "4x[0~3]", 1));
  }
  ASSERT_TRUE(channel->Open());
  HandleWriter writer(channel->FindNode("N1"));
  ASSERT_TRUE(WaitUntil([&] { return writer.Writes() >= 3; }));
  for (const auto& block : blocks) ASSERT_TRUE(WaitForBlock(*block, [](const CacheVarBlock&) { return true; }));

  channel.reset();
  // A request already on the wire when the sockets closed may still reach
  // the slave's thread; let it land before taking the counts.
  std::this_thread::sleep_for(100ms);
  // The subscribers' blocks outlive the nodes and stop changing.
  const uint32_t count = blocks[0]->GetCacheBlock()->GetUpdateCount();
  const uint32_t requests = slave.RequestCount();
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(blocks[0]->GetCacheBlock()->GetUpdateCount(), count);
  EXPECT_EQ(slave.RequestCount(), requests);
}

TEST_F(SerialChannelExchangeTest, SerialChannelDestroyedWhileItsNodesPollAndWrite) {
  auto owned = std::make_unique<ChannelSerialPort>("S2", "com:1;param:9600,n,8,1;");
  owned->SetRunningFlag(&running);
  owned->SetDevicePath(slave.SlavePath());
  std::vector<std::shared_ptr<TaskReadData>> blocks;
  for (int i = 0; i < 3; ++i) {
    auto node = RtuNode("R" + std::to_string(i));
    ASSERT_TRUE(owned->AddNode(node));
    blocks.push_back(AddPolledBlock(*node, "4x[0~3]", 1));
  }
  ASSERT_TRUE(owned->Open());
  std::shared_ptr<DevSerialImpl> port = owned->GetDeviceImpl();
  HandleWriter writer(owned->FindNode("R2"));
  ASSERT_TRUE(WaitUntil([&] { return writer.Writes() >= 3; }));
  for (const auto& block : blocks) ASSERT_TRUE(WaitForBlock(*block, [](const CacheVarBlock&) { return true; }));

  owned.reset();
  // A request already on the line when the port closed may still be served.
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(port->GetPortHandle(), NsCommServer::kInvalidSerialHandle);
  const uint32_t requests = slave.RequestCount();
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(slave.RequestCount(), requests);
}

}  // namespace
}  // namespace NsOvrin::NsTermination::E2e
