#pragma once
// Growable byte array for converted text and file contents, and the reader
// that loads a whole file into one.
#include <cstdint>
#include <memory>
#include <string>

namespace NsOvrin {

class ByteBuffer {
 public:
  ByteBuffer() = default;
  ByteBuffer(ByteBuffer&& other) noexcept;
  ByteBuffer& operator=(ByteBuffer&& other) noexcept;
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;

  // Grows the storage to at least n bytes (by half again at least, so
  // repeated small reserves stay cheap). keep copies the bytes in use and keeps
  // the size; otherwise the size becomes 0. Returns the storage, null while
  // nothing is allocated or when the allocation fails (the buffer is then
  // unchanged).
  uint8_t* Reserve(int32_t n, bool keep);
  // The capacity Reserve(n) grows a buffer of the given capacity to: the larger
  // of n and (capacity / 2) * 3, never past the largest 32-bit count.
  static int32_t GrownCapacity(int32_t capacity, int32_t n);

  // Null while the capacity is 0.
  uint8_t* Data() { return data_.get(); }
  const uint8_t* Data() const { return data_.get(); }
  int32_t Capacity() const { return capacity_; }
  int32_t Size() const { return size_; }
  // Clamped to [0, Capacity()]: a size never describes bytes that are not there.
  void SetSize(int32_t size);

  // An index outside [0, Capacity()) reads 0 and writes to a scratch byte,
  // never outside the storage.
  uint8_t& operator[](int32_t index);
  uint8_t operator[](int32_t index) const;

 private:
  int32_t capacity_ = 0;
  int32_t size_ = 0;
  std::unique_ptr<uint8_t[]> data_;
  uint8_t scratch_ = 0;
};

// Loads the whole regular file at path (UTF-8) into buffer, followed by two
// NUL bytes outside the size, so the contents can be used as C text. Files of
// 2 GiB and more, short reads and anything but a regular file fail; on a
// failure after the file was opened the buffer's size is 0.
bool ReadWholeFile(const std::string& path, ByteBuffer& buffer);

}  // namespace NsOvrin
