#pragma once
// Fixed byte-order number codecs for protocol frames, raw or as ASCII hex
// (two upper-case digits per byte, high nibble first). Frame builders and
// parsers go through OBuffHelper / IBuffHelper, which carry one failure flag
// per frame: after the first failed access every later one is skipped.
//
// Byte names: b0 is the least significant byte of a value.
#include <cstdint>

namespace NsOvrin {

namespace NsOBuffHelper {

// A writer puts a value at buffer[cursor] and advances the cursor by the bytes
// or characters written. No room, or a width the order has no form for,
// returns false and writes nothing.
class V2 {
 public:
  virtual ~V2() = default;
  virtual bool Write64(uint64_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const = 0;
  virtual bool Write32(uint32_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const = 0;
  virtual bool Write16(uint16_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const = 0;
  virtual bool Write8(uint8_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const = 0;
};

// 16: b1 b0, 32: b3 b2 b1 b0, 64: b7 .. b0.
class V2Bin_1234 final : public V2 {
 public:
  bool Write64(uint64_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write32(uint32_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write16(uint16_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write8(uint8_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
};

// 16: b1 b0, 32: b1 b0 b3 b2, no 64.
class V2Bin_3412 final : public V2 {
 public:
  bool Write64(uint64_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write32(uint32_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write16(uint16_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write8(uint8_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
};

// 16: b0 b1, 32: b0 b1 b2 b3, no 64.
class V2Bin_4321 final : public V2 {
 public:
  bool Write64(uint64_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write32(uint32_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write16(uint16_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write8(uint8_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
};

// Hex, 16: b1 b0, 32: b3 b2 b1 b0, 64: b7 .. b0.
class V2HexStr_1234 final : public V2 {
 public:
  bool Write64(uint64_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write32(uint32_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write16(uint16_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write8(uint8_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
};

// Hex, 16: b1 b0, 32: b1 b0 b3 b2, no 64.
class V2HexStr_3412 final : public V2 {
 public:
  bool Write64(uint64_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write32(uint32_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write16(uint16_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write8(uint8_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
};

// Hex, 16: b0 b1, 32: b2 b3 b0 b1 (words swapped, not fully reversed), no 64.
class V2HexStr_4321 final : public V2 {
 public:
  bool Write64(uint64_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write32(uint32_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write16(uint16_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write8(uint8_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
};

// Hex, 16: b0 b1, 32: b0 b1 b2 b3 (least significant byte first), no 64.
class V2HexStr_2143 final : public V2 {
 public:
  bool Write64(uint64_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write32(uint32_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write16(uint16_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
  bool Write8(uint8_t value, uint8_t* buffer, int32_t capacity, int32_t& cursor) const override;
};

}  // namespace NsOBuffHelper

namespace Internal {

// A reader takes a value from data[cursor], stores it in out and advances the
// cursor. It fails without reading when it has no flag or the flag is already
// set; input too short sets the shared flag. A width the order has no form for
// returns false and leaves the flag to the caller. out is untouched on failure.
class ToV {
 public:
  explicit ToV(bool* overrun) : overrun_(overrun) {}
  virtual bool ReadU64(const uint8_t* data, uint32_t length, uint32_t& cursor, uint64_t& out) const = 0;
  virtual bool ReadU32(const uint8_t* data, uint32_t length, uint32_t& cursor, uint32_t& out) const = 0;
  virtual bool ReadU16(const uint8_t* data, uint32_t length, uint32_t& cursor, uint16_t& out) const = 0;
  virtual bool ReadU8(const uint8_t* data, uint32_t length, uint32_t& cursor, uint8_t& out) const = 0;

 protected:
  // Readers live inside their helper and are never deleted through the base.
  ~ToV() = default;

  // Reads n bytes in the given order (order[i] is the significance of the
  // i-th byte of the input) into out; raw or two hex characters per byte.
  bool ReadOrdered(const uint8_t* data, uint32_t length, uint32_t& cursor, const uint8_t* order,
                   uint32_t n, bool hex, uint64_t& out) const;

  bool* overrun_;
};

// 16: b1 b0, 32: b3 b2 b1 b0, 64: b7 .. b0.
class ToV_Bin_1234 final : public ToV {
 public:
  explicit ToV_Bin_1234(bool* overrun = nullptr) : ToV(overrun) {}
  bool ReadU64(const uint8_t* data, uint32_t length, uint32_t& cursor, uint64_t& out) const override;
  bool ReadU32(const uint8_t* data, uint32_t length, uint32_t& cursor, uint32_t& out) const override;
  bool ReadU16(const uint8_t* data, uint32_t length, uint32_t& cursor, uint16_t& out) const override;
  bool ReadU8(const uint8_t* data, uint32_t length, uint32_t& cursor, uint8_t& out) const override;
};

// 16: b1 b0, 32: b1 b0 b3 b2, no 64.
class ToV_Bin_3412 final : public ToV {
 public:
  explicit ToV_Bin_3412(bool* overrun = nullptr) : ToV(overrun) {}
  bool ReadU64(const uint8_t* data, uint32_t length, uint32_t& cursor, uint64_t& out) const override;
  bool ReadU32(const uint8_t* data, uint32_t length, uint32_t& cursor, uint32_t& out) const override;
  bool ReadU16(const uint8_t* data, uint32_t length, uint32_t& cursor, uint16_t& out) const override;
  bool ReadU8(const uint8_t* data, uint32_t length, uint32_t& cursor, uint8_t& out) const override;
};

// 16: b0 b1, 32: b0 b1 b2 b3, no 64.
class ToV_Bin_4321 final : public ToV {
 public:
  explicit ToV_Bin_4321(bool* overrun = nullptr) : ToV(overrun) {}
  bool ReadU64(const uint8_t* data, uint32_t length, uint32_t& cursor, uint64_t& out) const override;
  bool ReadU32(const uint8_t* data, uint32_t length, uint32_t& cursor, uint32_t& out) const override;
  bool ReadU16(const uint8_t* data, uint32_t length, uint32_t& cursor, uint16_t& out) const override;
  bool ReadU8(const uint8_t* data, uint32_t length, uint32_t& cursor, uint8_t& out) const override;
};

// Hex, 16: b1 b0; no 32 or 64.
class ToV_HexStr_1234 final : public ToV {
 public:
  explicit ToV_HexStr_1234(bool* overrun = nullptr) : ToV(overrun) {}
  bool ReadU64(const uint8_t* data, uint32_t length, uint32_t& cursor, uint64_t& out) const override;
  bool ReadU32(const uint8_t* data, uint32_t length, uint32_t& cursor, uint32_t& out) const override;
  bool ReadU16(const uint8_t* data, uint32_t length, uint32_t& cursor, uint16_t& out) const override;
  bool ReadU8(const uint8_t* data, uint32_t length, uint32_t& cursor, uint8_t& out) const override;
};

// Hex, 16: b1 b0; no 32 or 64.
class ToV_HexStr_3412 final : public ToV {
 public:
  explicit ToV_HexStr_3412(bool* overrun = nullptr) : ToV(overrun) {}
  bool ReadU64(const uint8_t* data, uint32_t length, uint32_t& cursor, uint64_t& out) const override;
  bool ReadU32(const uint8_t* data, uint32_t length, uint32_t& cursor, uint32_t& out) const override;
  bool ReadU16(const uint8_t* data, uint32_t length, uint32_t& cursor, uint16_t& out) const override;
  bool ReadU8(const uint8_t* data, uint32_t length, uint32_t& cursor, uint8_t& out) const override;
};

// Hex, 16: b0 b1, 32: two 16-bit reads, low word first (b0 b1 b2 b3); no 64.
// When the second word is missing the first has already been consumed.
class ToV_HexStr_4321 final : public ToV {
 public:
  explicit ToV_HexStr_4321(bool* overrun = nullptr) : ToV(overrun) {}
  bool ReadU64(const uint8_t* data, uint32_t length, uint32_t& cursor, uint64_t& out) const override;
  bool ReadU32(const uint8_t* data, uint32_t length, uint32_t& cursor, uint32_t& out) const override;
  bool ReadU16(const uint8_t* data, uint32_t length, uint32_t& cursor, uint16_t& out) const override;
  bool ReadU8(const uint8_t* data, uint32_t length, uint32_t& cursor, uint8_t& out) const override;
};

}  // namespace Internal

// Writes one request frame into a caller's buffer. The first write that does
// not fit sets the overflow flag; every later write is then skipped, so the
// builder checks the flag once at the end. Cursor() is the frame length.
class OBuffHelper {
 public:
  enum class Writer : uint8_t { HexStr_1234, HexStr_3412, HexStr_4321, HexStr_2143, Bin_3412, Bin_1234, Bin_4321 };

  OBuffHelper(uint8_t* buffer, int32_t capacity) : buffer_(buffer), capacity_(capacity) {}
  // The current writer points into this object.
  OBuffHelper(const OBuffHelper&) = delete;
  OBuffHelper& operator=(const OBuffHelper&) = delete;

  void SelectWriter(Writer writer);

  // Through the current writer; with none selected the put fails.
  void Put8(uint8_t value);
  void Put16(uint16_t value);
  void Put32(uint32_t value);
  void Put64(uint64_t value);

  // Copies n raw bytes whatever writer is selected; n <= 0 does nothing.
  void AppendBytes(const void* bytes, int32_t n);
  void PutRawByte(uint8_t b);

  bool Overflow() const { return overflow_; }
  int32_t Cursor() const { return cursor_; }
  int32_t Capacity() const { return capacity_; }
  uint8_t* Buffer() const { return buffer_; }

 private:
  bool overflow_ = false;
  uint8_t* buffer_;
  int32_t capacity_;
  int32_t cursor_ = 0;
  const NsOBuffHelper::V2* current_ = nullptr;
  NsOBuffHelper::V2HexStr_1234 hexStr1234_;
  NsOBuffHelper::V2HexStr_3412 hexStr3412_;
  NsOBuffHelper::V2HexStr_4321 hexStr4321_;
  NsOBuffHelper::V2HexStr_2143 hexStr2143_;
  NsOBuffHelper::V2Bin_3412 bin3412_;
  NsOBuffHelper::V2Bin_1234 bin1234_;
  NsOBuffHelper::V2Bin_4321 bin4321_;
};

// Reads the fields of one reply frame. The first read that fails sets the
// overrun flag; every later read is then skipped and leaves its output as it
// was, so the parser checks the flag once after reading its fields.
class IBuffHelper {
 public:
  enum class Reader : uint8_t { HexStr_3412, HexStr_4321, HexStr_1234, Bin_3412, Bin_1234, Bin_4321 };

  IBuffHelper() = default;
  IBuffHelper(const uint8_t* data, uint16_t length) : data_(data), length_(length) {}
  // The readers point at this object's flag.
  IBuffHelper(const IBuffHelper&) = delete;
  IBuffHelper& operator=(const IBuffHelper&) = delete;

  void SelectReader(Reader reader);
  void SetData(const uint8_t* data, uint16_t length) {
    data_ = data;
    length_ = length;
  }
  void SetLength(uint16_t length) { length_ = length; }
  void SetCursor(uint32_t cursor) { cursor_ = cursor; }

  // Through the current reader; with none selected the get fails.
  void Get8(uint8_t& out);
  void Get16(uint16_t& out);
  void Get32(uint32_t& out);
  void Get64(uint64_t& out);

  bool Overrun() const { return overrun_; }
  const uint8_t* Data() const { return data_; }
  uint16_t Length() const { return length_; }
  uint32_t Cursor() const { return cursor_; }

 private:
  bool overrun_ = false;
  const uint8_t* data_ = nullptr;
  uint16_t length_ = 0;
  uint32_t cursor_ = 0;
  const Internal::ToV* current_ = nullptr;
  Internal::ToV_HexStr_3412 hexStr3412_{&overrun_};
  Internal::ToV_HexStr_4321 hexStr4321_{&overrun_};
  Internal::ToV_HexStr_1234 hexStr1234_{&overrun_};
  Internal::ToV_Bin_3412 bin3412_{&overrun_};
  Internal::ToV_Bin_1234 bin1234_{&overrun_};
  Internal::ToV_Bin_4321 bin4321_{&overrun_};
};

}  // namespace NsOvrin
