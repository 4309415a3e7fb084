// Modbus RTU replies against every area of the Modbus memory map.
#include "ProtocolFuzz.h"
#include "protocol/ProtocolModbRtu.h"
#include "termination/NodeMemModbus.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace NsOvrin;
  static const NsTermination::NodeMemModbus map;
  static const std::vector<const char*> addresses = {
      "4x[0~9]", "0x[0~15]", "1x[5~12]", "3x[65500~65533]", "4x100", "0x7", "4x[0~124]",
      "0x[0~1999]", "1x3", "3x[0~1]"};
  NsFuzz::InputReader in(data, size);
  NsProtocol::ProtocolGeneralModbRtu codec(in.Byte());
  NsFuzz::FuzzReply(codec, map, addresses, in);
  return 0;
}
