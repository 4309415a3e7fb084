#include "term_data/TermAddr.h"

#include "QlDev/OctalAddress.h"

namespace NsOvrin::NsTermination {

int64_t TermAddr::LastAddress() const {
  if (lastAddress) return lastAddress(start, count);
  return int64_t{start} + count - 1;
}

bool TermAddr::Contains(const TermAddr& address, DataTypeFlag type, uint16_t* offset) const {
  if (address.prefix != prefix) return false;
  if (address.start < start) return false;
  const int64_t blockLast = LastAddress();
  const int64_t addressLast = address.LastAddress();
  if (addressLast > blockLast) return false;
  // A double word takes the word after the address as well.
  if ((type == kTypeInt32 || type == kTypeUInt32) && kind == kKindWord &&
      addressLast + 1 > blockLast)
    return false;
  if (offset) {
    const auto d = static_cast<uint16_t>(address.LinearPos(address.start) - LinearPos(start));
    if (address.kind == kKindBit) {
      *offset = d;
    } else if (address.kind == kKindWord) {
      *offset = static_cast<uint16_t>(2 * d);
    } else {
      *offset = d;
      return false;
    }
  }
  return true;
}

bool TermAddr::AcceptsDataType(DataTypeFlag type) const {
  switch (type) {
    case kTypeBit: return kind == kKindBit;
    case kTypeInt16:
    case kTypeUInt16:
    case kTypeInt32:
    case kTypeUInt32:
    case kTypeString: return kind == kKindWord;
  }
  return false;
}

void TermAddr::AlignOctal(TermAddr& addr) {
  const uint32_t p = OctalToLinear(addr.start);
  addr.start = LinearToOctal(p - p % 8);
  addr.count = static_cast<uint16_t>(addr.count + p % 8);
}

}  // namespace NsOvrin::NsTermination
