#include "protocol/ProtocolDataSink.h"

#include <cstring>

namespace NsOvrin::NsProtocol {

ProtocolDataSink::ProtocolDataSink(uint32_t capacity) : storage_(new uint8_t[capacity]()) {
  buffer_.data = storage_.get();
  buffer_.capacity = static_cast<int32_t>(capacity);
  buffer_.used = 0;
}

ProtocolDataSink::~ProtocolDataSink() = default;

bool ProtocolDataSink::AppendAndFindFrame(const uint8_t* data, uint32_t length, uint32_t& begin,
                                          uint32_t& end) {
  if (data == nullptr && length > 0) return false;
  if (!buffer_.Append(data, length)) return false;
  return FindFrame(begin, end);
}

void ProtocolDataSink::Reset() {
  buffer_.used = 0;
  if (buffer_.capacity > 0) std::memset(buffer_.data, 0, static_cast<size_t>(buffer_.capacity));
}

bool ProtocolDataSinkNoMark::FindFrame(uint32_t& begin, uint32_t& end) const {
  if (buffer_.used == 0) return false;
  begin = 0;
  end = buffer_.used;
  return true;
}

bool ProtoDataSinkStartEndExtend::FindFrame(uint32_t& begin, uint32_t& end) const {
  const uint32_t used = buffer_.used;
  if (used == 0) return false;
  const uint8_t* data = buffer_.data;

  uint32_t i = used;
  while (i > 0 && data[i - 1] != endByte_) --i;
  if (i == 0) return false;
  const uint32_t endIndex = i - 1;

  uint32_t j = endIndex;
  while (j > 0 && data[j - 1] != startByte_) --j;
  if (j == 0) return false;
  const uint32_t startIndex = j - 1;

  // A start byte directly followed by the end byte frames nothing.
  if (endIndex - startIndex < 2) return false;

  const uint64_t frameEnd = uint64_t{endIndex} + 1 + trailingCount_;
  if (frameEnd > used) return false;
  begin = startIndex;
  end = static_cast<uint32_t>(frameEnd);
  return true;
}

}  // namespace NsOvrin::NsProtocol
