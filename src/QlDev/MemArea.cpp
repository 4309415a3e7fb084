#include "QlDev/MemArea.h"

#include "QlDev/OctalAddress.h"
#include "platform/Format.h"

namespace NsOvrin::NsTermination {

std::string FormatAreaRange(const MemArea& area) {
  const unsigned long long last = uint64_t{area.start} + area.size - 1;
  return NsPlatform::StrFormat("%s[%u~%llu]", area.prefix.c_str(), area.start, last);
}

std::string FormatOctalAreaRange(const MemArea& area) {
  return NsPlatform::StrFormat("%s[%u~%u]", area.prefix.c_str(), area.start,
                               OctalLastAddress(area.start, static_cast<uint16_t>(area.size)));
}

}  // namespace NsOvrin::NsTermination
