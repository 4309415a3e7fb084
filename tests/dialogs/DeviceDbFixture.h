#pragma once
// A node database in a known state for the device and data-block dialogs:
// the process-wide manager emptied before and after each test, one serial
// and one Ethernet channel, and helpers that add devices to them. Nothing
// is started, so no polling thread runs.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/ScriptedUiServices.h"
#include "termination/Channel.h"
#include "termination/ChannelManager.h"
#include "termination/DevDefine.h"
#include "termination/DevSetup.h"

namespace NsOvrin::Testing {

class DeviceDbFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    Db().Reset();
    serial_ = std::make_shared<NsTermination::ChannelSerialPort>("串口1",
                                                                 NsCommServer::SerialParams{});
    ethernet_ = std::make_shared<NsTermination::ChannelEthernet>("以太网1");
    ASSERT_TRUE(Db().AddChannel(serial_));
    ASSERT_TRUE(Db().AddChannel(ethernet_));
  }
  void TearDown() override { Db().Reset(); }

  static NsTermination::ChannelManager& Db() { return NsTermination::ChannelManager::Instance(); }

  bool AddRtu(const std::string& name, uint32_t model = NsTermination::kModelModbusRtu) {
    NsDevDefine::RsDevParam param;
    param.name = name;
    param.deviceId = model;
    return NsTermination::AddRsDev(serial_->GetHandle(), param);
  }
  bool AddTcp(const std::string& name, uint32_t model = NsTermination::kModelModbusTcp) {
    NsDevDefine::ENetDevParam param;
    param.name = name;
    param.deviceId = model;
    param.ipAddr = htonl(INADDR_LOOPBACK);
    param.port = 502;
    return NsTermination::AddENetDev(ethernet_->GetHandle(), param);
  }
  // A device whose model has no memory map (nor protocol or transport).
  bool AddUnmapped(const std::string& name) {
    return ethernet_->AddNode(std::make_shared<NsTermination::Node>(name, nullptr, nullptr, nullptr));
  }
  // The database's own pointer to the node.
  static std::shared_ptr<NsTermination::Node> Shared(const std::string& name) {
    for (const auto& channel : Db().GetChannels())
      for (const auto& node : channel->GetNodeList())
        if (node->GetName() == name) return node;
    return nullptr;
  }

  std::shared_ptr<NsTermination::ChannelSerialPort> serial_;
  std::shared_ptr<NsTermination::ChannelEthernet> ethernet_;
  NsWui::ScriptedUiServices ui_;
};

}  // namespace NsOvrin::Testing
