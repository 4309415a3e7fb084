#pragma once
// Result of every address parse and check; 0 is success.
#include <cstdint>
#include <string>

namespace NsOvrin::NsTermination {

enum AddrCheckCode : uint32_t {
  kAddrOk = 0,
  kAddrEmpty = 1,           // the address text is empty
  kAddrSystemError = 2,     // no memory map, protocol, device or area table
  kAddrFormatError = 3,     // no address form matches, or the node is ambiguous
  kAddrBadType = 4,         // the area prefix is not one of the map's
  kAddrBadRange = 5,        // start or end invalid
  kAddrBadLength = 6,       // unit count 0 or more than one request carries
  kAddrNoNode = 7,          // no node of that name
  kAddrNotInBlock = 8,      // inside no data block of the node
  kAddrTypeMismatch = 9,    // data type or kind does not fit the address
  kAddrAccessMismatch = 10, // read/write attribute does not fit the address
};

// The message the user sees; "未知异常" for any other code.
std::string GetAddrCheckMessage(AddrCheckCode code);

}  // namespace NsOvrin::NsTermination
