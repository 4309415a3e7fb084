#include "common/ValueCodec.h"

#include <cstddef>
#include <cstring>

namespace NsOvrin {

namespace {

// order[i] is the significance (0 = b0) of the i-th byte in the frame.
constexpr uint8_t kOrder1[] = {0};
constexpr uint8_t kOrder21[] = {1, 0};
constexpr uint8_t kOrder12[] = {0, 1};
constexpr uint8_t kOrder3210[] = {3, 2, 1, 0};
constexpr uint8_t kOrder1032[] = {1, 0, 3, 2};
constexpr uint8_t kOrder0123[] = {0, 1, 2, 3};
constexpr uint8_t kOrder2301[] = {2, 3, 0, 1};
constexpr uint8_t kOrder76543210[] = {7, 6, 5, 4, 3, 2, 1, 0};

uint8_t HexDigit(unsigned nibble) {
  return static_cast<uint8_t>(nibble < 10 ? '0' + nibble : 'A' + nibble - 10);
}

// Anything that is not a hex digit counts as 0: replies are checked by their
// sum, not by their characters.
unsigned HexValue(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

template <size_t N>
bool WriteOrdered(uint64_t value, const uint8_t (&order)[N], bool hex, uint8_t* buffer, int32_t capacity,
                  int32_t& cursor) {
  const int64_t need = hex ? 2 * static_cast<int64_t>(N) : static_cast<int64_t>(N);
  // 64-bit sum: a cursor near the top of the range must not wrap into "room".
  if (buffer == nullptr || cursor < 0 || static_cast<int64_t>(cursor) + need > capacity) return false;
  uint8_t* p = buffer + cursor;
  for (uint8_t significance : order) {
    const auto byte = static_cast<uint8_t>(value >> (8 * significance));
    if (hex) {
      *p++ = HexDigit(byte >> 4);
      *p++ = HexDigit(byte & 0x0F);
    } else {
      *p++ = byte;
    }
  }
  cursor += static_cast<int32_t>(need);
  return true;
}

}  // namespace

// One line per operation: the order of the bytes in the frame, raw or hex.
#define OV_WRITER(Class, width, Type, order, hex)                                                 \
  bool Class::Write##width(Type value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const { \
    return WriteOrdered(value, order, hex, buffer, capacity, cursor);                              \
  }
#define OV_NO_WRITER(Class, width, Type) \
  bool Class::Write##width(Type, uint8_t*, int32_t, int32_t&) const { return false; }

#define OV_READER(Class, width, Type, order, hex)                                                      \
  bool Class::ReadU##width(const uint8_t* data, uint32_t length, uint32_t& cursor, Type& out) const { \
    uint64_t value = 0;                                                                                \
    if (!ReadOrdered(data, length, cursor, order, sizeof(order), hex, value)) return false;            \
    out = static_cast<Type>(value);                                                                    \
    return true;                                                                                       \
  }
#define OV_NO_READER(Class, width, Type) \
  bool Class::ReadU##width(const uint8_t*, uint32_t, uint32_t&, Type&) const { return false; }

namespace NsOBuffHelper {

OV_WRITER(V2Bin_1234, 64, uint64_t, kOrder76543210, false)
OV_WRITER(V2Bin_1234, 32, uint32_t, kOrder3210, false)
OV_WRITER(V2Bin_1234, 16, uint16_t, kOrder21, false)
OV_WRITER(V2Bin_1234, 8, uint8_t, kOrder1, false)

OV_NO_WRITER(V2Bin_3412, 64, uint64_t)
OV_WRITER(V2Bin_3412, 32, uint32_t, kOrder1032, false)
OV_WRITER(V2Bin_3412, 16, uint16_t, kOrder21, false)
OV_WRITER(V2Bin_3412, 8, uint8_t, kOrder1, false)

OV_NO_WRITER(V2Bin_4321, 64, uint64_t)
OV_WRITER(V2Bin_4321, 32, uint32_t, kOrder0123, false)
OV_WRITER(V2Bin_4321, 16, uint16_t, kOrder12, false)
OV_WRITER(V2Bin_4321, 8, uint8_t, kOrder1, false)

OV_WRITER(V2HexStr_1234, 64, uint64_t, kOrder76543210, true)
OV_WRITER(V2HexStr_1234, 32, uint32_t, kOrder3210, true)
OV_WRITER(V2HexStr_1234, 16, uint16_t, kOrder21, true)
OV_WRITER(V2HexStr_1234, 8, uint8_t, kOrder1, true)

OV_NO_WRITER(V2HexStr_3412, 64, uint64_t)
OV_WRITER(V2HexStr_3412, 32, uint32_t, kOrder1032, true)
OV_WRITER(V2HexStr_3412, 16, uint16_t, kOrder21, true)
OV_WRITER(V2HexStr_3412, 8, uint8_t, kOrder1, true)

// Words swapped, each low byte first: the class name does not describe it.
OV_NO_WRITER(V2HexStr_4321, 64, uint64_t)
OV_WRITER(V2HexStr_4321, 32, uint32_t, kOrder2301, true)
OV_WRITER(V2HexStr_4321, 16, uint16_t, kOrder12, true)
OV_WRITER(V2HexStr_4321, 8, uint8_t, kOrder1, true)

// Least significant byte first, as the FX write commands expect.
OV_NO_WRITER(V2HexStr_2143, 64, uint64_t)
OV_WRITER(V2HexStr_2143, 32, uint32_t, kOrder0123, true)
OV_WRITER(V2HexStr_2143, 16, uint16_t, kOrder12, true)
OV_WRITER(V2HexStr_2143, 8, uint8_t, kOrder1, true)

}  // namespace NsOBuffHelper

namespace Internal {

bool ToV::ReadOrdered(const uint8_t* data, uint32_t length, uint32_t& cursor, const uint8_t* order, uint32_t n,
                      bool hex, uint64_t& out) const {
  if (overrun_ == nullptr || *overrun_) return false;
  const uint64_t need = hex ? 2 * uint64_t{n} : uint64_t{n};
  // A null reply is "too short" for every reader, raw ones included.
  if (data == nullptr || uint64_t{cursor} + need > length) {
    *overrun_ = true;
    return false;
  }
  const uint8_t* p = data + cursor;
  uint64_t value = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const uint64_t byte = hex ? (HexValue(p[2 * i]) << 4) | HexValue(p[2 * i + 1]) : p[i];
    value |= byte << (8 * order[i]);
  }
  cursor += static_cast<uint32_t>(need);
  out = value;
  return true;
}

OV_READER(ToV_Bin_1234, 64, uint64_t, kOrder76543210, false)
OV_READER(ToV_Bin_1234, 32, uint32_t, kOrder3210, false)
OV_READER(ToV_Bin_1234, 16, uint16_t, kOrder21, false)
OV_READER(ToV_Bin_1234, 8, uint8_t, kOrder1, false)

OV_NO_READER(ToV_Bin_3412, 64, uint64_t)
OV_READER(ToV_Bin_3412, 32, uint32_t, kOrder1032, false)
OV_READER(ToV_Bin_3412, 16, uint16_t, kOrder21, false)
OV_READER(ToV_Bin_3412, 8, uint8_t, kOrder1, false)

OV_NO_READER(ToV_Bin_4321, 64, uint64_t)
OV_READER(ToV_Bin_4321, 32, uint32_t, kOrder0123, false)
OV_READER(ToV_Bin_4321, 16, uint16_t, kOrder12, false)
OV_READER(ToV_Bin_4321, 8, uint8_t, kOrder1, false)

OV_NO_READER(ToV_HexStr_1234, 64, uint64_t)
OV_NO_READER(ToV_HexStr_1234, 32, uint32_t)
OV_READER(ToV_HexStr_1234, 16, uint16_t, kOrder21, true)
OV_READER(ToV_HexStr_1234, 8, uint8_t, kOrder1, true)

OV_NO_READER(ToV_HexStr_3412, 64, uint64_t)
OV_NO_READER(ToV_HexStr_3412, 32, uint32_t)
OV_READER(ToV_HexStr_3412, 16, uint16_t, kOrder21, true)
OV_READER(ToV_HexStr_3412, 8, uint8_t, kOrder1, true)

OV_NO_READER(ToV_HexStr_4321, 64, uint64_t)
OV_READER(ToV_HexStr_4321, 16, uint16_t, kOrder12, true)
OV_READER(ToV_HexStr_4321, 8, uint8_t, kOrder1, true)

// Two words, low word first; a missing second word leaves the first consumed.
bool ToV_HexStr_4321::ReadU32(const uint8_t* data, uint32_t length, uint32_t& cursor, uint32_t& out) const {
  uint16_t low = 0, high = 0;
  if (!ReadU16(data, length, cursor, low)) return false;
  if (!ReadU16(data, length, cursor, high)) return false;
  out = (uint32_t{high} << 16) | low;
  return true;
}

}  // namespace Internal

#undef OV_WRITER
#undef OV_NO_WRITER
#undef OV_READER
#undef OV_NO_READER

void OBuffHelper::SelectWriter(Writer writer) {
  switch (writer) {
    case Writer::HexStr_1234: current_ = &hexStr1234_; return;
    case Writer::HexStr_3412: current_ = &hexStr3412_; return;
    case Writer::HexStr_4321: current_ = &hexStr4321_; return;
    case Writer::HexStr_2143: current_ = &hexStr2143_; return;
    case Writer::Bin_3412: current_ = &bin3412_; return;
    case Writer::Bin_1234: current_ = &bin1234_; return;
    case Writer::Bin_4321: current_ = &bin4321_; return;
  }
  current_ = nullptr;
}

void OBuffHelper::Put8(uint8_t value) {
  if (overflow_) return;
  if (current_ == nullptr || !current_->Write8(value, buffer_, capacity_, cursor_)) overflow_ = true;
}

void OBuffHelper::Put16(uint16_t value) {
  if (overflow_) return;
  if (current_ == nullptr || !current_->Write16(value, buffer_, capacity_, cursor_)) overflow_ = true;
}

void OBuffHelper::Put32(uint32_t value) {
  if (overflow_) return;
  if (current_ == nullptr || !current_->Write32(value, buffer_, capacity_, cursor_)) overflow_ = true;
}

void OBuffHelper::Put64(uint64_t value) {
  if (overflow_) return;
  if (current_ == nullptr || !current_->Write64(value, buffer_, capacity_, cursor_)) overflow_ = true;
}

void OBuffHelper::AppendBytes(const void* bytes, int32_t n) {
  if (n <= 0 || overflow_) return;
  if (bytes == nullptr || buffer_ == nullptr || cursor_ < 0 || int64_t{cursor_} + n > capacity_) {
    overflow_ = true;
    return;
  }
  std::memcpy(buffer_ + cursor_, bytes, static_cast<size_t>(n));
  cursor_ += n;
}

void OBuffHelper::PutRawByte(uint8_t b) {
  if (overflow_) return;
  if (buffer_ == nullptr || cursor_ < 0 || cursor_ >= capacity_) {
    overflow_ = true;
    return;
  }
  buffer_[cursor_++] = b;
}

void IBuffHelper::SelectReader(Reader reader) {
  switch (reader) {
    case Reader::HexStr_3412: current_ = &hexStr3412_; return;
    case Reader::HexStr_4321: current_ = &hexStr4321_; return;
    case Reader::HexStr_1234: current_ = &hexStr1234_; return;
    case Reader::Bin_3412: current_ = &bin3412_; return;
    case Reader::Bin_1234: current_ = &bin1234_; return;
    case Reader::Bin_4321: current_ = &bin4321_; return;
  }
  current_ = nullptr;
}

void IBuffHelper::Get8(uint8_t& out) {
  if (overrun_) return;
  if (current_ == nullptr || !current_->ReadU8(data_, length_, cursor_, out)) overrun_ = true;
}

void IBuffHelper::Get16(uint16_t& out) {
  if (overrun_) return;
  if (current_ == nullptr || !current_->ReadU16(data_, length_, cursor_, out)) overrun_ = true;
}

void IBuffHelper::Get32(uint32_t& out) {
  if (overrun_) return;
  if (current_ == nullptr || !current_->ReadU32(data_, length_, cursor_, out)) overrun_ = true;
}

void IBuffHelper::Get64(uint64_t& out) {
  if (overrun_) return;
  if (current_ == nullptr || !current_->ReadU64(data_, length_, cursor_, out)) overrun_ = true;
}

}  // namespace NsOvrin
