#pragma once
// The fixed device catalogue: makers, device models and the protocol ids the
// channels file stores for them.
#include <cstdint>
#include <string>

namespace NsOvrin::NsTermination {

// Index into the device catalogue; kModelNone means no device.
enum DeviceModelId : uint16_t {
  kModelGeneral = 0,
  kModelFbs = 1,
  kModelModbusRtu = 2,
  kModelModbusAscii = 3,
  kModelModbusTcp = 4,
  kModelH5u = 5,
  kModelS7200Smart = 6,
  kModelXinjeXc = 7,
  kModelXinjeXd = 8,
  kModelDvp15mc = 9,
  kModelDvp = 10,
  kModelDvpAs = 11,
  kModelMitsFx = 12,
  kModelMitsFx3u = 13,
  kModelMitsFxSlmp = 14,
  kModelOmron = 15,
  kModelNone = 16,
};

inline constexpr uint16_t kMakerCount = 8;

// "?" for an index above 7.
std::string GetMakerName(uint16_t maker);
// "?" for kModelNone and above.
std::string GetModelName(DeviceModelId model);
// Empty for kModelNone, "?" above it.
std::string GetProtocolId(DeviceModelId model);
// Exact, case-sensitive match of the whole text; kModelNone when none matches.
DeviceModelId FindProtocolIndex(const std::string& protocolId);

}  // namespace NsOvrin::NsTermination
