// Replies of the FX programming port against the areas of the FX map.
#include "ProtocolFuzz.h"
#include "protocol/ProtocolMitsFx.h"
#include "termination/NodeMemMitsFx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace NsOvrin;
  static const NsTermination::NodeMemMitsFx map;
  static const std::vector<const char*> addresses = {
      "D[0~9]", "M[0~15]", "X[0~17]", "Y[0~7]", "D100", "M5", "S[0~15]", "D[0~63]", "Y3"};
  NsFuzz::InputReader in(data, size);
  NsProtocol::ProtocolMitsFx codec;
  NsFuzz::FuzzReply(codec, map, addresses, in);
  return 0;
}
