#pragma once
// Builds a ready node from a device's parameters: the memory map of the
// device family, the codec and, for an Ethernet device, its own TCP
// transport. A serial node gets its transport from its channel.
#include <memory>

#include "termination/DevDefine.h"
#include "termination/DeviceImpl.h"
#include "termination/Node.h"

namespace NsOvrin::NsTermination::NodeFactory {

// Device id 4.
std::shared_ptr<Node> MakeModbusTcpNode(const NsDevDefine::ENetDevParam& param);
// Device id 5 (Inovance H3U/H5U).
std::shared_ptr<Node> MakeH3uTcpNode(const NsDevDefine::ENetDevParam& param);
// Device id 2.
std::shared_ptr<Node> MakeModbusRtuNode(const NsDevDefine::RsDevParam& param, uint8_t station);
// Device id 12.
std::shared_ptr<Node> MakeFxNode(const NsDevDefine::RsDevParam& param);
// The transport of an Ethernet node: no local bind, the stored address, the
// port's low 16 bits in network byte order, the receive time-out.
std::shared_ptr<DevETcpImpl> MakeTcpDevice(const NsDevDefine::ENetDevParam& param);
// Dispatch by device id (2 or 12); any other id is logged and gives no node.
std::shared_ptr<Node> MakeSerialNode(const NsDevDefine::RsDevParam& param);

}  // namespace NsOvrin::NsTermination::NodeFactory
