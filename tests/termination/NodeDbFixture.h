#pragma once
// A channel database in a known state for each test: the process-wide
// manager emptied before and after, Ethernet and serial channels made on
// demand, Modbus TCP nodes pointed at a loopback port, data blocks parsed by
// the node's own map.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "termination/Channel.h"
#include "termination/ChannelManager.h"
#include "termination/DevDefine.h"
#include "termination/DevSetup.h"
#include "termination/Node.h"

namespace NsOvrin::NsTermination::Testing {

class NodeDbFixture : public ::testing::Test {
 public:
  // Generous: only a hang fails.
  static bool WaitFor(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(15)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }

 protected:
  void SetUp() override { ChannelManager::Instance().Reset(); }
  void TearDown() override { ChannelManager::Instance().Reset(); }

  static ChannelManager& Db() { return ChannelManager::Instance(); }

  static std::shared_ptr<ChannelEthernet> AddEthernet(const std::string& name) {
    auto channel = std::make_shared<ChannelEthernet>(name);
    EXPECT_TRUE(Db().AddChannel(channel));
    return channel;
  }

  static NsDevDefine::ENetDevParam TcpParam(const std::string& name, uint16_t port,
                                            uint32_t deviceId = kModelModbusTcp) {
    NsDevDefine::ENetDevParam param;
    param.name = name;
    param.deviceId = deviceId;
    param.stationNo = 1;
    param.ipAddr = htonl(INADDR_LOOPBACK);
    param.port = port;
    param.recvTimeout = 500;
    return param;
  }

  // A Modbus TCP device on the channel; the node, or null when refused.
  static std::shared_ptr<Node> AddTcpNode(const std::shared_ptr<Channel>& channel,
                                          const std::string& name, uint16_t port = 1) {
    if (!AddENetDev(channel->GetHandle(), TcpParam(name, port))) return nullptr;
    return FindShared(name);
  }

  // The database's own shared pointer to the node.
  static std::shared_ptr<Node> FindShared(const std::string& name) {
    for (const auto& channel : Db().GetChannels())
      for (const auto& node : channel->GetNodeList())
        if (node->GetName() == name) return node;
    return nullptr;
  }

  // A read task for the block text, parsed by the node's map.
  static void AddBlock(Node& node, const std::string& text, const std::string& name,
                       uint16_t interval = 50, bool enable = true) {
    BlockDescriptor block;
    ASSERT_EQ(node.GetNodeMem()->ParseAddress(text, block.addr), kAddrOk) << text;
    block.interval = interval;
    ASSERT_TRUE(node.AddReadTask(block, name, enable));
  }

  static std::shared_ptr<TaskReadData> TaskNamed(const Node& node, const std::string& name) {
    for (const auto& task : node.GetTasks())
      if (task->GetName() == name) return task;
    return nullptr;
  }
};

}  // namespace NsOvrin::NsTermination::Testing
