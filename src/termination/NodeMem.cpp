#include "termination/NodeMem.h"

namespace NsOvrin::NsTermination {

AddrCheckCode NodeMem::FindArea(const std::string& text, MemArea& area) const {
  TermAddr addr;
  const AddrCheckCode code = ParseAddress(text, addr);
  if (code != kAddrOk) return code;
  for (const MemArea& a : GetAreas()) {
    if (a.prefix == addr.prefix) {
      area = a;
      return kAddrOk;
    }
  }
  return kAddrBadType;
}

}  // namespace NsOvrin::NsTermination
