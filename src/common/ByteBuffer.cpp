#include "common/ByteBuffer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

#include "platform/CheckedFile.h"

namespace NsOvrin {

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : capacity_(std::exchange(other.capacity_, 0)),
      size_(std::exchange(other.size_, 0)),
      data_(std::move(other.data_)) {}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
  if (this != &other) {
    capacity_ = std::exchange(other.capacity_, 0);
    size_ = std::exchange(other.size_, 0);
    data_ = std::move(other.data_);
  }
  return *this;
}

int32_t ByteBuffer::GrownCapacity(int32_t capacity, int32_t n) {
  // Computed wide: half again of a capacity above 1.4 GiB does not fit 32 bits.
  const int64_t grown = int64_t{capacity / 2} * 3;
  return static_cast<int32_t>(
      std::min<int64_t>(std::max<int64_t>(n, grown), std::numeric_limits<int32_t>::max()));
}

uint8_t* ByteBuffer::Reserve(int32_t n, bool keep) {
  if (capacity_ >= n) return data_.get();
  const int32_t wanted = GrownCapacity(capacity_, n);
  std::unique_ptr<uint8_t[]> storage(new (std::nothrow) uint8_t[static_cast<size_t>(wanted)]);
  if (!storage) return nullptr;
  if (keep) {
    const int32_t kept = std::min(capacity_, size_);
    if (kept > 0) std::memcpy(storage.get(), data_.get(), static_cast<size_t>(kept));
  } else {
    size_ = 0;
  }
  data_ = std::move(storage);
  capacity_ = wanted;
  return data_.get();
}

void ByteBuffer::SetSize(int32_t size) { size_ = std::clamp(size, 0, capacity_); }

uint8_t& ByteBuffer::operator[](int32_t index) {
  if (index < 0 || index >= capacity_) {
    scratch_ = 0;
    return scratch_;
  }
  return data_[static_cast<size_t>(index)];
}

uint8_t ByteBuffer::operator[](int32_t index) const {
  if (index < 0 || index >= capacity_) return 0;
  return data_[static_cast<size_t>(index)];
}

namespace {

struct FileCloser {
  int fd;
  ~FileCloser() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

bool ReadWholeFile(const std::string& path, ByteBuffer& buffer) {
  FileCloser file{NsPlatform::OpenRegularFileForReading(path)};
  if (file.fd < 0) return false;
  struct stat st {};
  if (::fstat(file.fd, &st) != 0) return false;
  // The size and its two NUL bytes must fit the buffer's 32-bit count.
  if (st.st_size < 0 || st.st_size > std::numeric_limits<int32_t>::max() - 2) return false;
  const auto fileSize = static_cast<int32_t>(st.st_size);

  uint8_t* data = buffer.Reserve(fileSize + 2, false);
  // A buffer that was already large enough keeps its old size otherwise.
  buffer.SetSize(0);
  if (data == nullptr) return false;

  int32_t got = 0;
  while (got < fileSize) {
    const ssize_t n = ::read(file.fd, data + got, static_cast<size_t>(fileSize - got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;  // error, or the file shrank since fstat
    got += static_cast<int32_t>(n);
  }
  buffer[fileSize + 1] = 0;
  buffer[fileSize] = 0;
  buffer.SetSize(fileSize);
  return true;
}

}  // namespace NsOvrin
