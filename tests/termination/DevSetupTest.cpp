#include "termination/DevSetup.h"

#include <gtest/gtest.h>

#include <any>
#include <memory>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "NodeDbFixture.h"
#include "PtyPeer.h"
#include "termination/NodeMemHxU.h"
#include "termination/NodeMemMitsFx.h"
#include "comm_server/SerialPort.h"
#include "termination/NodeMemModbus.h"

namespace NsOvrin::NsTermination {
namespace {

using Testing::LogCapture;

NsDevDefine::RsDevParam RsParam(const std::string& name, uint32_t deviceId, uint8_t station = 1) {
  NsDevDefine::RsDevParam param;
  param.name = name;
  param.deviceId = deviceId;
  param.stationNo = station;
  param.resendTimes = 3;
  return param;
}

class DevSetupTest : public Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    eth_ = AddEthernet("ETH1");
    serial_ = std::make_shared<ChannelSerialPort>("COM1", "");
    ASSERT_TRUE(Db().AddChannel(serial_));
  }

  std::shared_ptr<ChannelEthernet> eth_;
  std::shared_ptr<ChannelSerialPort> serial_;
};

TEST_F(DevSetupTest, AddEthernetDevices) {
  NsDevDefine::ENetDevParam modbus = TcpParam("PLC1", 502, kModelModbusTcp);
  modbus.stationNo = 7;
  ASSERT_TRUE(AddENetDev(eth_->GetHandle(), modbus));
  ASSERT_TRUE(AddENetDev(eth_->GetHandle(), TcpParam("H3U", 503, kModelH5u)));

  const std::shared_ptr<Node> node = FindShared("PLC1");
  ASSERT_NE(node, nullptr);
  EXPECT_NE(std::dynamic_pointer_cast<NodeMemModbus>(node->GetNodeMem()), nullptr);
  const auto* stored = std::any_cast<NsDevDefine::ENetDevParam>(&node->GetDeviceParams());
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->name, "PLC1");
  EXPECT_EQ(stored->stationNo, 7);
  EXPECT_EQ(stored->port, 502u);
  auto tcp = std::dynamic_pointer_cast<DevETcpImpl>(node->GetDeviceImpl());
  ASSERT_NE(tcp, nullptr);
  EXPECT_EQ(tcp->GetRemotePort(), htons(502));

  EXPECT_NE(std::dynamic_pointer_cast<NodeMemHxU>(FindShared("H3U")->GetNodeMem()), nullptr);
  EXPECT_EQ(eth_->GetNodeList().size(), 2u);
}

TEST_F(DevSetupTest, AddSerialDevicesShareTheChannelDevice) {
  ASSERT_TRUE(AddRsDev(serial_->GetHandle(), RsParam("RTU", kModelModbusRtu)));
  ASSERT_TRUE(AddRsDev(serial_->GetHandle(), RsParam("FX", kModelMitsFx)));
  const std::shared_ptr<Node> rtu = FindShared("RTU");
  const std::shared_ptr<Node> fx = FindShared("FX");
  ASSERT_NE(rtu, nullptr);
  ASSERT_NE(fx, nullptr);
  EXPECT_EQ(rtu->GetDeviceImpl(), serial_->GetDeviceImpl());
  EXPECT_EQ(fx->GetDeviceImpl(), serial_->GetDeviceImpl());
  EXPECT_NE(std::dynamic_pointer_cast<NodeMemMitsFx>(fx->GetNodeMem()), nullptr);
  const auto* stored = std::any_cast<NsDevDefine::RsDevParam>(&fx->GetDeviceParams());
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->deviceId, kModelMitsFx);
  EXPECT_EQ(stored->resendTimes, 3);
}

TEST_F(DevSetupTest, RefusedDevicesLeaveNothingBehind) {
  LogCapture errors(8);
  auto otherEth = AddEthernet("ETH2");
  ASSERT_TRUE(AddENetDev(otherEth->GetHandle(), TcpParam("TAKEN", 1)));

  struct Case {
    std::string what;
    bool added;
    std::vector<std::string> logged;
  };
  const std::vector<Case> cases = {
      {"ethernet device on a serial channel",
       AddENetDev(serial_->GetHandle(), TcpParam("E1", 1)), {"期望是以太网通道."}},
      {"serial device on an ethernet channel",
       AddRsDev(eth_->GetHandle(), RsParam("S1", kModelModbusRtu)), {"期望是串口通道."}},
      {"serial model on an ethernet channel",
       AddENetDev(eth_->GetHandle(), TcpParam("E2", 1, kModelModbusRtu)), {}},
      {"model without a node factory",
       AddRsDev(serial_->GetHandle(), RsParam("S2", kModelMitsFx3u)), {"未知的 device-id: 13"}},
      {"name on another channel", AddENetDev(eth_->GetHandle(), TcpParam("TAKEN", 1)), {}},
      {"serial name taken", AddRsDev(serial_->GetHandle(), RsParam("TAKEN", kModelMitsFx)), {}},
      {"empty name", AddENetDev(eth_->GetHandle(), TcpParam("", 1)), {}},
      {"empty serial name", AddRsDev(serial_->GetHandle(), RsParam("", kModelMitsFx)), {}},
      {"empty channel handle", AddENetDev(OneWayWrapper<Channel>(), TcpParam("E3", 1)), {}},
  };
  std::vector<std::string> expectedLog;
  for (const Case& c : cases) {
    EXPECT_FALSE(c.added) << c.what;
    expectedLog.insert(expectedLog.end(), c.logged.begin(), c.logged.end());
  }
  EXPECT_EQ(errors.Texts(), expectedLog);
  EXPECT_TRUE(eth_->GetNodeList().empty());
  EXPECT_TRUE(serial_->GetNodeList().empty());
  EXPECT_EQ(Db().GetAllNodes().size(), 1u);
}

TEST_F(DevSetupTest, ModifyEthernetDevice) {
  ASSERT_TRUE(AddENetDev(eth_->GetHandle(), TcpParam("A", 1)));
  ASSERT_TRUE(AddENetDev(eth_->GetHandle(), TcpParam("B", 1)));
  const OneWayWrapper<Node> oldA = Db().FindNode("A");
  std::shared_ptr<Node> made = std::make_shared<Node>("junk", nullptr, nullptr, nullptr);

  // No node for a serial model; the output is emptied.
  EXPECT_FALSE(ModifyENetDev(eth_->GetHandle(), oldA, TcpParam("A", 1, kModelModbusRtu), made));
  EXPECT_EQ(made, nullptr);
  // Taking another device's name.
  EXPECT_FALSE(ModifyENetDev(eth_->GetHandle(), oldA, TcpParam("B", 1), made));
  EXPECT_NE(made, nullptr) << "built, then refused by the replacement";
  EXPECT_FALSE(ModifyENetDev(eth_->GetHandle(), oldA, TcpParam("", 1), made));
  EXPECT_FALSE(ModifyENetDev(eth_->GetHandle(), OneWayWrapper<Node>(), TcpParam("A", 1), made));
  EXPECT_FALSE(ModifyENetDev(OneWayWrapper<Channel>(), oldA, TcpParam("A", 1), made));
  ASSERT_TRUE(oldA.IsValid());

  ASSERT_TRUE(ModifyENetDev(eth_->GetHandle(), oldA, TcpParam("A2", 600, kModelH5u), made));
  EXPECT_FALSE(oldA.IsValid());
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(eth_->GetNodeList().front(), made);
  EXPECT_EQ(made->GetName(), "A2");
  EXPECT_NE(std::dynamic_pointer_cast<NodeMemHxU>(made->GetNodeMem()), nullptr);
  EXPECT_EQ(std::any_cast<NsDevDefine::ENetDevParam>(made->GetDeviceParams()).port, 600u);
}

TEST_F(DevSetupTest, ModifyDeviceOfTheWrongChannelKindIsRefused) {
  LogCapture errors(8);
  ASSERT_TRUE(AddRsDev(serial_->GetHandle(), RsParam("RTU", kModelModbusRtu)));
  ASSERT_TRUE(AddENetDev(eth_->GetHandle(), TcpParam("TCP", 1)));
  std::shared_ptr<Node> made;
  // A TCP node must not be handed the serial line, nor the reverse.
  EXPECT_FALSE(ModifyENetDev(serial_->GetHandle(), Db().FindNode("RTU"), TcpParam("RTU", 1), made));
  EXPECT_FALSE(ModifyRsDev(eth_->GetHandle(), Db().FindNode("TCP"), RsParam("TCP", kModelMitsFx)));
  EXPECT_EQ(errors.Texts(), (std::vector<std::string>{"期望是以太网通道.", "期望是串口通道."}));
  EXPECT_TRUE(Db().FindNode("RTU").IsValid());
  EXPECT_TRUE(Db().FindNode("TCP").IsValid());
}

TEST_F(DevSetupTest, ModifySerialDeviceOnARunningChannel) {
  Testing::PtyPeer pty;
  ASSERT_TRUE(pty.IsOpen());
  serial_->SetDevicePath(pty.SlavePath());
  ASSERT_TRUE(AddRsDev(serial_->GetHandle(), RsParam("A", kModelModbusRtu)));
  ASSERT_TRUE(AddRsDev(serial_->GetHandle(), RsParam("B", kModelModbusRtu, 2)));
  Db().SetRunning(true);
  ASSERT_TRUE(serial_->Open());

  const OneWayWrapper<Node> oldA = Db().FindNode("A");
  EXPECT_FALSE(ModifyRsDev(serial_->GetHandle(), oldA, RsParam("B", kModelMitsFx)));
  EXPECT_FALSE(ModifyRsDev(serial_->GetHandle(), oldA, RsParam("A", kModelOmron)));
  EXPECT_FALSE(ModifyRsDev(serial_->GetHandle(), oldA, RsParam("", kModelMitsFx)));
  EXPECT_FALSE(ModifyRsDev(serial_->GetHandle(), Db().FindNode("none"), RsParam("A", kModelMitsFx)));
  ASSERT_TRUE(oldA.IsValid());

  ASSERT_TRUE(ModifyRsDev(serial_->GetHandle(), oldA, RsParam("A", kModelMitsFx)));
  EXPECT_FALSE(oldA.IsValid());
  const std::shared_ptr<Node> a = serial_->GetNodeList().front();
  EXPECT_EQ(a->GetName(), "A");
  EXPECT_NE(std::dynamic_pointer_cast<NodeMemMitsFx>(a->GetNodeMem()), nullptr);
  // It polls through the channel's open port like its neighbour.
  EXPECT_EQ(a->GetDeviceImpl(), serial_->GetDeviceImpl());
  EXPECT_TRUE(a->GetWorkerCtrl().IsAlive());
  EXPECT_NE(serial_->GetDeviceImpl()->GetPortHandle(), NsCommServer::kInvalidSerialHandle);
  EXPECT_EQ(std::any_cast<NsDevDefine::RsDevParam>(a->GetDeviceParams()).deviceId, kModelMitsFx);
  serial_->Close();
}

TEST_F(DevSetupTest, CheckDeviceName) {
  ASSERT_TRUE(AddENetDev(eth_->GetHandle(), TcpParam("PLC1", 1)));
  ASSERT_TRUE(AddENetDev(eth_->GetHandle(), TcpParam("PLC2", 1)));
  struct Case {
    int mode;
    std::string oldName, newName;
    bool ok;
    std::string trimmed, message;
  };
  const std::vector<Case> cases = {
      {kDeviceNameNew, "", "   ", false, "", "[设备名称] 输入不能为空！"},
      {kDeviceNameNew, "", "PLC1", false, "PLC1", "设备名称已经存在."},
      {kDeviceNameNew, "", " PLC1\t", false, "PLC1", "设备名称已经存在."},
      {kDeviceNameNew, "", " 新设备 ", true, "新设备", ""},
      {kDeviceNameRename, "PLC1", "PLC1", true, "PLC1", ""},
      {kDeviceNameRename, "PLC1", " PLC1 ", true, "PLC1", ""},
      {kDeviceNameRename, "PLC1", "PLC3", true, "PLC3", ""},
      {kDeviceNameRename, "PLC1", "PLC2", false, "PLC2", "新名称已经存在."},
      {kDeviceNameRename, "GONE", "PLC3", false, "PLC3", "新名称已经存在."},
      {kDeviceNameRename, "PLC1", "", false, "", "[设备名称] 输入不能为空！"},
      {7, "", "PLC1", true, "PLC1", ""},
      // An address text splits at its first dot, so no address could name it.
      {kDeviceNameNew, "", " A.B ", false, "A.B", "设备名称不能包含\".\"."},
      {kDeviceNameNew, "", ".", false, ".", "设备名称不能包含\".\"."},
      {kDeviceNameRename, "PLC1", "PLC1.", false, "PLC1.", "设备名称不能包含\".\"."},
  };
  for (const Case& c : cases) {
    std::string name = c.newName;
    std::string message;
    EXPECT_EQ(CheckDeviceName(c.mode, c.oldName, name, message), c.ok) << c.newName;
    EXPECT_EQ(name, c.trimmed) << c.newName;
    EXPECT_EQ(message, c.message) << c.newName;
  }
}

TEST(CheckStationNoTest, OneTo254) {
  const std::string unsignedForm = "[站号] 请输入无符号类型的数字例如 (0， 100) 等等.";
  const std::string range = "[站号] 数据必须在 1 ~ 254 之间.";
  struct Case {
    std::string text;
    bool ok;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"1", true, ""},      {"254", true, ""},           {"17", true, ""},
      {"0", false, range},  {"255", false, range},       {"99999999999", false, range},
      {"", false, "[站号] 输入不能为空！"},               {"-1", false, unsignedForm},
      {"+5", false, unsignedForm},                          {"1.5", false, unsignedForm},
      {"abc", false, unsignedForm},
  };
  for (const Case& c : cases) {
    std::string message;
    EXPECT_EQ(CheckStationNo(c.text, message), c.ok) << c.text;
    EXPECT_EQ(message, c.message) << c.text;
  }
}

}  // namespace
}  // namespace NsOvrin::NsTermination
