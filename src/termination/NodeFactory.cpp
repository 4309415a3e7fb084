#include "termination/NodeFactory.h"

#include <arpa/inet.h>

#include "common/Log.h"
#include "protocol/ProtocolMitsFx.h"
#include "protocol/ProtocolModbRtu.h"
#include "protocol/ProtocolModbTcp.h"
#include "termination/NodeMemHxU.h"
#include "termination/NodeMemMitsFx.h"
#include "termination/NodeMemModbus.h"

namespace NsOvrin::NsTermination::NodeFactory {

std::shared_ptr<DevETcpImpl> MakeTcpDevice(const NsDevDefine::ENetDevParam& param) {
  return std::make_shared<DevETcpImpl>(param.ipAddr, htons(static_cast<uint16_t>(param.port & 0xFFFF)),
                                       param.recvTimeout, 0, 0);
}

std::shared_ptr<Node> MakeModbusTcpNode(const NsDevDefine::ENetDevParam& param) {
  std::shared_ptr<DevETcpImpl> device = MakeTcpDevice(param);
  if (!device) return nullptr;
  return std::make_shared<Node>(param.name, std::make_shared<NodeMemModbus>(),
                                std::make_unique<NsProtocol::ProtocolGeneralModbTcp>(param.stationNo),
                                std::move(device));
}

std::shared_ptr<Node> MakeH3uTcpNode(const NsDevDefine::ENetDevParam& param) {
  std::shared_ptr<DevETcpImpl> device = MakeTcpDevice(param);
  if (!device) return nullptr;
  return std::make_shared<Node>(param.name, std::make_shared<NodeMemHxU>(),
                                std::make_unique<NsProtocol::ProtocolH3uTcp>(param.stationNo),
                                std::move(device));
}

std::shared_ptr<Node> MakeModbusRtuNode(const NsDevDefine::RsDevParam& param, uint8_t station) {
  return std::make_shared<Node>(param.name, std::make_shared<NodeMemModbus>(),
                                std::make_unique<NsProtocol::ProtocolGeneralModbRtu>(station), nullptr);
}

std::shared_ptr<Node> MakeFxNode(const NsDevDefine::RsDevParam& param) {
  return std::make_shared<Node>(param.name, std::make_shared<NodeMemMitsFx>(),
                                std::make_unique<NsProtocol::ProtocolMitsFx>(), nullptr);
}

std::shared_ptr<Node> MakeSerialNode(const NsDevDefine::RsDevParam& param) {
  switch (param.deviceId) {
    case kModelModbusRtu:
      return MakeModbusRtuNode(param, param.stationNo);
    case kModelMitsFx:
      return MakeFxNode(param);
    default:
      OV_LOG(8).AppendText("未知的 device-id: ").AppendNumber(param.deviceId);
      return nullptr;
  }
}

}  // namespace NsOvrin::NsTermination::NodeFactory
