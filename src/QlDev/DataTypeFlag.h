#pragma once
// Data type of an address or a value, one bit each so that sets of types can
// be held in one mask.
#include <cstdint>
#include <string>

namespace NsOvrin::NsTermination {

enum DataTypeFlag : uint32_t {
  kTypeBit = 1,
  kTypeInt16 = 2,
  kTypeUInt16 = 4,
  kTypeInt32 = 8,
  kTypeUInt32 = 16,
  kTypeString = 32,
};

// Display name; empty for a value that is not exactly one of the flags.
std::string GetDataTypeName(DataTypeFlag type);

}  // namespace NsOvrin::NsTermination
