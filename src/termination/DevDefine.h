#pragma once
// The parameter records of a device: what the device dialogs edit, the
// channels file stores and the node factories build a node from.
#include <cstdint>
#include <string>

#include "QlDev/DeviceCatalog.h"

namespace NsOvrin::NsDevDefine {

// A device on an Ethernet channel.
struct ENetDevParam {
  std::string name;
  uint32_t deviceId = NsTermination::kModelNone;  // DeviceModelId: 4 Modbus TCP, 5 H3U
  uint8_t stationNo = 1;                          // unit identifier
  uint16_t resendTimes = 2;                       // stored, not used by the node
  uint32_t ipAddr = 0;                            // IPv4, network byte order
  uint32_t port = 0;                              // host order; the low 16 bits are the port
  uint32_t connTimeout = 6000;                    // ms
  uint32_t recvTimeout = 2000;                    // ms
};

// A device on a serial channel.
struct RsDevParam {
  std::string name;
  uint32_t deviceId = NsTermination::kModelNone;  // DeviceModelId: 2 Modbus RTU, 12 FX
  uint8_t stationNo = 1;                          // station address
  uint16_t resendTimes = 2;                       // stored, not used by the node
};

}  // namespace NsOvrin::NsDevDefine

namespace NsOvrin::NsTermination {
namespace NsDevDefine = ::NsOvrin::NsDevDefine;
}  // namespace NsOvrin::NsTermination
