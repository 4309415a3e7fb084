#pragma once
// Bounds-checked reader of the archive layout ArchiveWriter produces. Every
// read fails, leaving its output untouched, when the bytes run out.
#include <cstddef>
#include <cstdint>
#include <string>

namespace NsOvrin::NsAlarm {

class ArchiveReader {
 public:
  // The bytes must outlive the reader.
  ArchiveReader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool ReadU8(uint8_t& v);
  bool ReadU16(uint16_t& v);
  bool ReadU32(uint32_t& v);
  bool ReadI64(int64_t& v);
  // A wide string as ArchiveWriter::WriteString writes it; a missing marker,
  // a length past the end or another length form fails.
  bool ReadString(std::string& utf8);

  std::size_t Remaining() const { return size_ - pos_; }
  bool AtEnd() const { return pos_ == size_; }

 private:
  bool Take(std::size_t n, const uint8_t*& p);

  const uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace NsOvrin::NsAlarm
