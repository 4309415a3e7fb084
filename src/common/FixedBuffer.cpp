#include "common/FixedBuffer.h"

#include <cstring>

#include "common/Log.h"

namespace NsOvrin {

bool FixedBuffer::Append(const uint8_t* bytes, uint32_t length) {
  // A negative capacity or a fill count past it leaves no room rather than a
  // wrapped-around "free" space.
  const uint32_t size = capacity > 0 ? static_cast<uint32_t>(capacity) : 0;
  const uint32_t free = used < size ? size - used : 0;
  if (free >= length) {
    if (length > 0) std::memcpy(data + used, bytes, length);
    used += length;
    return true;
  }
  used = 0;
  OV_LOG(8).AppendText("数据长度超过缓存：").AppendNumber(length).AppendText(" vs ").AppendNumber(free);
  return false;
}

}  // namespace NsOvrin
