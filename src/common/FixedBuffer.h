#pragma once
// Receive buffer in which a protocol collects reply bytes until a whole frame
// is there. The storage belongs to the owner of the buffer.
#include <cstdint>

namespace NsOvrin {

struct FixedBuffer {
  uint8_t* data = nullptr;
  int32_t capacity = 0;
  uint32_t used = 0;  // bytes held, from the start of data

  // Appends the bytes when they fit. When they do not, every buffered byte is
  // dropped (the next reply starts clean), the overflow is logged and false
  // is returned. Appending 0 bytes always succeeds.
  bool Append(const uint8_t* bytes, uint32_t length);
};

}  // namespace NsOvrin
