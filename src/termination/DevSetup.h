#pragma once
// Devices of the project: a node built from a device parameter record and
// added to its channel, rebuilt when the device is modified, and the checks
// of the two fields the device dialogs ask for.
#include <memory>
#include <string>

#include "common/OneWayWrapper.h"
#include "termination/Channel.h"
#include "termination/DevDefine.h"
#include "termination/Node.h"

namespace NsOvrin::NsTermination {

// Builds the node (device id 4 Modbus TCP or 5 H3U) and adds it to the
// Ethernet channel; false for an empty handle or name, a channel of another
// kind (logged), another device id or a name that exists in the database.
bool AddENetDev(const OneWayWrapper<Channel>& channel, const NsDevDefine::ENetDevParam& param);
// The same for a serial channel and device id 2 (Modbus RTU) or 12 (FX).
bool AddRsDev(const OneWayWrapper<Channel>& channel, const NsDevDefine::RsDevParam& param);

// Replaces the old node with one built from the record. The new node is
// handed back (empty for a device id that has no node) so that the caller
// can give it the old node's data blocks.
bool ModifyENetDev(const OneWayWrapper<Channel>& channel, const OneWayWrapper<Node>& oldNode,
                   const NsDevDefine::ENetDevParam& param, std::shared_ptr<Node>& newNode);
bool ModifyRsDev(const OneWayWrapper<Channel>& channel, const OneWayWrapper<Node>& oldNode,
                 const NsDevDefine::RsDevParam& param);

// Device name modes.
constexpr int kDeviceNameNew = 0;
constexpr int kDeviceNameRename = 1;

// Trims the name in place. It must not be empty nor hold a ".", the
// separator of address texts; a new device's name must be free, a renamed
// device's name free or unchanged. message receives the reason of a
// refusal.
bool CheckDeviceName(int mode, const std::string& oldName, std::string& newName,
                     std::string& message);
// A station number from 1 to 254.
bool CheckStationNo(const std::string& text, std::string& message);

}  // namespace NsOvrin::NsTermination
