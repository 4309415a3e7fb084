#pragma once
// CRC-16/Modbus: reflected polynomial 0xA001, initial value 0xFFFF. Sent on
// the wire low byte first.
#include <cstddef>
#include <cstdint>

namespace NsOvrin::NsProtocol {

uint16_t Crc16(const uint8_t* data, size_t length);

}  // namespace NsOvrin::NsProtocol
