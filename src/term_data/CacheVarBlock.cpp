#include "term_data/CacheVarBlock.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace NsOvrin::NsTermination {

CacheVarBlock::CacheVarBlock(uint16_t size) : size_(size), data_(size, 0) {}

CacheVarBlock::~CacheVarBlock() = default;

bool CacheVarBlock::ReadBytes(uint16_t offset, uint8_t* buffer, uint16_t length) const {
  std::shared_lock lock(dataLock_);
  const std::size_t end = std::min<std::size_t>(std::size_t{offset} + length, size_);
  const std::size_t copied = end > offset ? end - offset : 0;
  if (copied) std::memcpy(buffer, data_.data() + offset, copied);
  if (length > copied) std::memset(buffer + copied, 0, length - copied);
  return true;
}

char* CacheVarBlock::ReadString(uint16_t offset, char* buffer, uint16_t length) const {
  return CopyText(offset, buffer, length, true, false);
}

char* CacheVarBlock::CopyText(uint16_t offset, char* buffer, uint16_t length, bool swapBytes,
                              bool stopAtLineEnd) const {
  std::shared_lock lock(dataLock_);
  const std::size_t base = offset & ~std::size_t{1};
  const std::size_t wholeEnd = size_ & ~std::size_t{1};
  const std::size_t available = wholeEnd > base ? wholeEnd - base : 0;
  const std::size_t limit = std::min<std::size_t>(available, length);
  std::size_t n = 0;
  for (; n < limit; ++n) {
    const uint8_t c = data_[base + (swapBytes ? (n ^ 1) : n)];
    if (c == 0 || (stopAtLineEnd && (c == '\n' || c == '\r'))) break;
    buffer[n] = static_cast<char>(c);
  }
  if (n < length) buffer[n] = '\0';
  return buffer + n;
}

bool CacheVarBlock::GetBit(uint32_t index, bool& bit) const {
  if (index >= uint32_t{size_} * 8) return false;
  std::shared_lock lock(dataLock_);
  bit = (data_[index / 8] >> (index % 8)) & 1;
  return true;
}

uint16_t CacheVarBlock::GetWord(uint16_t offset) const {
  if (std::size_t{offset} + 1 >= size_) return 0;
  std::shared_lock lock(dataLock_);
  return MakeWord(data_[offset], data_[offset + 1]);
}

uint32_t CacheVarBlock::GetDword(uint16_t offset) const {
  if (std::size_t{offset} + 3 >= size_) return 0;
  std::shared_lock lock(dataLock_);
  return MakeDword(data_[offset], data_[offset + 1], data_[offset + 2], data_[offset + 3]);
}

void CacheVarBlock::Update(const uint8_t* data, std::size_t length) {
  const std::size_t n = std::min<std::size_t>(length, size_);
  {
    std::unique_lock lock(dataLock_);
    hasData_.store(true);
    if (n == 0 || std::memcmp(data_.data(), data, n) == 0) {
      lock.unlock();
      updateCount_.fetch_add(1);
      return;
    }
    std::memcpy(data_.data(), data, n);
  }
  updateCount_.fetch_add(1);
  changeCount_.fetch_add(1);
  ForEachListener([this](CvbListener& listener) { listener.OnBlockChanged(*this); });
}

void CacheVarBlock::MarkUnread() {
  {
    std::unique_lock lock(dataLock_);
    hasData_.store(false);
    if (std::all_of(data_.begin(), data_.end(), [](uint8_t b) { return b == 0; })) return;
    std::fill(data_.begin(), data_.end(), uint8_t{0});
  }
  changeCount_.fetch_add(1);
  ForEachListener([this](CvbListener& listener) { listener.OnBlockChanged(*this); });
}

std::string CacheVarBlock::GetName() const {
  std::shared_lock lock(dataLock_);
  return name_;
}

void CacheVarBlock::SetName(const std::string& name) {
  std::unique_lock lock(dataLock_);
  name_ = name;
}

}  // namespace NsOvrin::NsTermination
