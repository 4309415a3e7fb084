// Modbus TCP replies, through the general Modbus map and through the H3U map.
#include "ProtocolFuzz.h"
#include "protocol/ProtocolModbTcp.h"
#include "termination/NodeMemHxU.h"
#include "termination/NodeMemModbus.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace NsOvrin;
  static const NsTermination::NodeMemModbus modbus;
  static const NsTermination::NodeMemHxU hxu;
  static const std::vector<const char*> modbusAddresses = {
      "4x[0~9]", "0x[0~15]", "1x[5~12]", "3x[65500~65533]", "4x100", "0x7", "4x[0~124]",
      "0x[0~1999]"};
  static const std::vector<const char*> hxuAddresses = {
      "D[0~9]", "M[0~127]", "X[0~17]", "Y[0~7]", "D100", "M5", "S[0~15]", "X[3~12]"};
  NsFuzz::InputReader in(data, size);
  const uint8_t device = in.Byte();
  const uint8_t unit = in.Byte();
  if (device & 1) {
    NsProtocol::ProtocolH3uTcp codec(unit);
    NsFuzz::FuzzReply(codec, hxu, hxuAddresses, in);
  } else {
    NsProtocol::ProtocolGeneralModbTcp codec(unit);
    NsFuzz::FuzzReply(codec, modbus, modbusAddresses, in);
  }
  return 0;
}
