#include "termination/NodeFactory.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "LogCapture.h"
#include "protocol/ProtocolMitsFx.h"
#include "protocol/ProtocolModbRtu.h"
#include "protocol/ProtocolModbTcp.h"
#include "termination/NodeMemHxU.h"
#include "termination/NodeMemMitsFx.h"
#include "termination/NodeMemModbus.h"

namespace NsOvrin::NsTermination {
namespace {

using NsDevDefine::ENetDevParam;
using NsDevDefine::RsDevParam;
using Testing::LogCapture;

TEST(NodeFactoryTest, EthernetNodesGetMapCodecAndOwnTransport) {
  ENetDevParam param;
  param.name = "PLC1";
  param.stationNo = 7;
  param.ipAddr = inet_addr("192.168.1.10");
  param.port = 0x10000 + 502;  // only the low 16 bits are the port
  param.recvTimeout = 900;

  const struct {
    const char* what;
    std::function<std::shared_ptr<Node>(const ENetDevParam&)> make;
    bool (*rightMap)(const NodeMem*);
    uint8_t (*unitOf)(ProtocolBase*);
  } cases[] = {
      {"Modbus TCP", NodeFactory::MakeModbusTcpNode,
       [](const NodeMem* m) { return dynamic_cast<const NodeMemModbus*>(m) != nullptr; },
       [](ProtocolBase* p) {
         auto* codec = dynamic_cast<NsProtocol::ProtocolGeneralModbTcp*>(p);
         return codec ? codec->GetUnit() : uint8_t{0};
       }},
      {"H3U", NodeFactory::MakeH3uTcpNode,
       [](const NodeMem* m) { return dynamic_cast<const NodeMemHxU*>(m) != nullptr; },
       [](ProtocolBase* p) {
         auto* codec = dynamic_cast<NsProtocol::ProtocolH3uTcp*>(p);
         return codec ? codec->GetUnit() : uint8_t{0};
       }},
  };
  for (const auto& c : cases) {
    const std::shared_ptr<Node> node = c.make(param);
    ASSERT_TRUE(node) << c.what;
    EXPECT_EQ(node->GetName(), "PLC1") << c.what;
    EXPECT_TRUE(c.rightMap(node->GetNodeMem().get())) << c.what;
    EXPECT_EQ(c.unitOf(node->GetProtocol()), 7) << c.what;
    auto device = std::dynamic_pointer_cast<DevETcpImpl>(node->GetDeviceImpl());
    ASSERT_TRUE(device) << c.what;
    EXPECT_EQ(device->GetRemoteAddr(), inet_addr("192.168.1.10")) << c.what;
    EXPECT_EQ(device->GetRemotePort(), htons(502)) << c.what;
    EXPECT_EQ(device->GetClient().GetState(), NsCommServer::ENetClient::kNoSocket) << c.what;
    EXPECT_EQ(device->GetReconnectElapsed(), 0u) << c.what;
    EXPECT_FALSE(node->GetDeviceParams().has_value()) << c.what;
  }
  // Two nodes never share a TCP transport.
  EXPECT_NE(NodeFactory::MakeModbusTcpNode(param)->GetDeviceImpl(),
            NodeFactory::MakeModbusTcpNode(param)->GetDeviceImpl());
}

TEST(NodeFactoryTest, SerialDispatchByDeviceId) {
  LogCapture errors(8);
  RsDevParam param;
  param.name = "RTU1";
  param.stationNo = 1;

  param.deviceId = kModelModbusRtu;
  std::shared_ptr<Node> rtu = NodeFactory::MakeSerialNode(param);
  ASSERT_TRUE(rtu);
  EXPECT_EQ(rtu->GetName(), "RTU1");
  EXPECT_TRUE(dynamic_cast<const NodeMemModbus*>(rtu->GetNodeMem().get()));
  auto* rtuCodec = dynamic_cast<NsProtocol::ProtocolGeneralModbRtu*>(rtu->GetProtocol());
  ASSERT_TRUE(rtuCodec);
  EXPECT_EQ(rtuCodec->GetStation(), 1);
  EXPECT_EQ(rtuCodec->GetSink().Capacity(), 1024u);
  EXPECT_FALSE(rtu->GetDeviceImpl());  // the channel gives it one

  // Station 1 is the first byte of every request.
  TermAddr addr;
  ASSERT_EQ(rtu->GetNodeMem()->ParseAddress("4x[0~1]", addr), kAddrOk);
  uint8_t request[32] = {};
  uint32_t length = 0;
  ASSERT_EQ(rtuCodec->BuildReadRequest(addr, request, sizeof(request), length), 1);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(request[0], 0x01);

  param.deviceId = kModelMitsFx;
  std::shared_ptr<Node> fx = NodeFactory::MakeSerialNode(param);
  ASSERT_TRUE(fx);
  EXPECT_TRUE(dynamic_cast<const NodeMemMitsFx*>(fx->GetNodeMem().get()));
  auto* fxCodec = dynamic_cast<NsProtocol::ProtocolMitsFx*>(fx->GetProtocol());
  ASSERT_TRUE(fxCodec);
  EXPECT_EQ(fxCodec->Sink().Capacity(), 2048u);
  EXPECT_EQ(fxCodec->Sink().StartByte(), 0x02);
  EXPECT_EQ(fxCodec->Sink().EndByte(), 0x03);
  EXPECT_EQ(fxCodec->Sink().TrailingCount(), 2);
  EXPECT_FALSE(fx->GetDeviceImpl());
  EXPECT_TRUE(errors.Texts().empty());

  for (uint32_t id : {13u, 4u, 5u, 0u, 16u, 0xFFFFFFFFu}) {
    param.deviceId = id;
    EXPECT_FALSE(NodeFactory::MakeSerialNode(param)) << id;
    EXPECT_EQ(errors.Count("未知的 device-id: " + std::to_string(id)), 1u) << id;
  }
  EXPECT_EQ(errors.Texts().size(), 6u);
}

TEST(NodeFactoryTest, RtuStationComesFromTheArgument) {
  RsDevParam param;
  param.stationNo = 3;
  std::shared_ptr<Node> node = NodeFactory::MakeModbusRtuNode(param, 9);
  auto* codec = dynamic_cast<NsProtocol::ProtocolGeneralModbRtu*>(node->GetProtocol());
  ASSERT_TRUE(codec);
  EXPECT_EQ(codec->GetStation(), 9);
}

}  // namespace
}  // namespace NsOvrin::NsTermination
