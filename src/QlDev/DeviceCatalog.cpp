#include "QlDev/DeviceCatalog.h"

#include <array>

namespace NsOvrin::NsTermination {
namespace {

constexpr std::array<const char*, kMakerCount> kMakerNames = {
    "modbus", "汇川", "信捷", "西门子", "欧姆龙", "永宏", "台达", "三菱",
};

struct ModelEntry {
  const char* name;
  const char* protocolId;
};

constexpr std::array<ModelEntry, kModelNone> kModels = {{
    {"通用设备", "general.general"},
    {"FBS", "fatek.fbs"},
    {"Modbus-RTU", "modbus.RTU"},
    {"Modbus-ASCII", "modbus.ASCII"},
    {"Modbus-Tcp", "modbus.Tcp"},
    {"H3U/H5U", "inovance.H5U"},
    {"S7-200 smart", "siemens.S7-200_smart"},
    {"XC系列", "xinje.XC"},
    {"XD系列", "xinje.XD"},
    {"DVP-15MC", "delta.DVP-15MC"},
    {"DVP系列", "delta.DVP"},
    {"DVP-AS系列", "delta.DVP-AS"},
    {"Fx系列", "mitsubishi.FX"},
    {"Fx3u系列", "mitsubishi.FX3u"},
    {"FxSLMP系列", "mitsubishi.FxSLMP"},
    {"Omron系列", "omron.omron"},
}};

}  // namespace

std::string GetMakerName(uint16_t maker) {
  return maker < kMakerNames.size() ? kMakerNames[maker] : "?";
}

std::string GetModelName(DeviceModelId model) {
  return model < kModels.size() ? kModels[model].name : "?";
}

std::string GetProtocolId(DeviceModelId model) {
  if (model == kModelNone) return {};
  return model < kModels.size() ? kModels[model].protocolId : "?";
}

DeviceModelId FindProtocolIndex(const std::string& protocolId) {
  if (protocolId.empty()) return kModelNone;
  for (std::size_t i = 0; i < kModels.size(); ++i) {
    if (protocolId == kModels[i].protocolId) return static_cast<DeviceModelId>(i);
  }
  return kModelNone;
}

}  // namespace NsOvrin::NsTermination
