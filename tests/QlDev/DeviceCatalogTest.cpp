#include "QlDev/AddrCheckCode.h"
#include "QlDev/DataTypeFlag.h"
#include "QlDev/DeviceCatalog.h"

#include <gtest/gtest.h>

using namespace NsOvrin::NsTermination;

TEST(DeviceCatalog, ModelNamesAndProtocolIds) {
  const struct {
    uint16_t index;
    const char* name;
    const char* protocolId;
  } cases[] = {
      {0, "通用设备", "general.general"},
      {1, "FBS", "fatek.fbs"},
      {2, "Modbus-RTU", "modbus.RTU"},
      {3, "Modbus-ASCII", "modbus.ASCII"},
      {4, "Modbus-Tcp", "modbus.Tcp"},
      {5, "H3U/H5U", "inovance.H5U"},
      {6, "S7-200 smart", "siemens.S7-200_smart"},
      {7, "XC系列", "xinje.XC"},
      {8, "XD系列", "xinje.XD"},
      {9, "DVP-15MC", "delta.DVP-15MC"},
      {10, "DVP系列", "delta.DVP"},
      {11, "DVP-AS系列", "delta.DVP-AS"},
      {12, "Fx系列", "mitsubishi.FX"},
      {13, "Fx3u系列", "mitsubishi.FX3u"},
      {14, "FxSLMP系列", "mitsubishi.FxSLMP"},
      {15, "Omron系列", "omron.omron"},
      // No device: no name, but an empty protocol id; beyond it "?" for both.
      {16, "?", ""},
      {17, "?", "?"},
      {0xFFFF, "?", "?"},
  };
  for (const auto& c : cases) {
    const auto id = static_cast<DeviceModelId>(c.index);
    EXPECT_EQ(GetModelName(id), c.name) << c.index;
    EXPECT_EQ(GetProtocolId(id), c.protocolId) << c.index;
    if (c.index < kModelNone) {
      EXPECT_EQ(FindProtocolIndex(c.protocolId), id) << c.protocolId;
    }
  }
}

TEST(DeviceCatalog, FindProtocolIndexIsExactAndCaseSensitive) {
  const struct {
    const char* text;
    DeviceModelId expected;
  } cases[] = {
      {"modbus.RTU", kModelModbusRtu},
      {"mitsubishi.FX", kModelMitsFx},
      {"Modbus.RTU", kModelNone},
      {"modbus.rtu", kModelNone},
      {" modbus.RTU", kModelNone},
      {"modbus.RTU ", kModelNone},
      {"modbus", kModelNone},
      {"mitsubishi.FX3", kModelNone},
      {"", kModelNone},
  };
  for (const auto& c : cases) EXPECT_EQ(FindProtocolIndex(c.text), c.expected) << c.text;
}

TEST(DeviceCatalog, MakerNames) {
  const char* names[] = {"modbus", "汇川", "信捷", "西门子", "欧姆龙", "永宏", "台达", "三菱"};
  for (uint16_t i = 0; i < 8; ++i) EXPECT_EQ(GetMakerName(i), names[i]) << i;
  EXPECT_EQ(GetMakerName(8), "?");
  EXPECT_EQ(GetMakerName(0xFFFF), "?");
}

TEST(DeviceCatalog, DataTypeNames) {
  const struct {
    uint32_t flag;
    const char* name;
  } cases[] = {
      {1, "Bit"},
      {2, "有符号 WORD(16bits)"},
      {4, "无符号 WORD(16bits)"},
      {8, "有符号 DWORD(32bits)"},
      {16, "无符号 DWORD(32bits)"},
      {32, "字符串"},
      {0, ""},
      {3, ""},
      {64, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetDataTypeName(static_cast<DataTypeFlag>(c.flag)), c.name) << c.flag;
}

TEST(DeviceCatalog, AddrCheckMessages) {
  const char* messages[] = {
      "正确",           "地址不能为空",         "系统错误",           "格式错误",
      "地址类型无效",   "起始或者结束地址异常", "块长度异常",         "没有找到相应的节点",
      "不在预定义的数据块内", "数据类型与地址不匹配", "读写属性与地址不匹配",
  };
  for (uint32_t code = 0; code <= 10; ++code)
    EXPECT_EQ(GetAddrCheckMessage(static_cast<AddrCheckCode>(code)), messages[code]) << code;
  EXPECT_EQ(GetAddrCheckMessage(static_cast<AddrCheckCode>(11)), "未知异常");
  EXPECT_EQ(GetAddrCheckMessage(static_cast<AddrCheckCode>(0xFFFFFFFFu)), "未知异常");
}
