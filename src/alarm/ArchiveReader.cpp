#include "alarm/ArchiveReader.h"

#include <string_view>

#include "platform/Utf.h"

namespace NsOvrin::NsAlarm {

bool ArchiveReader::Take(std::size_t n, const uint8_t*& p) {
  if (n > size_ - pos_) return false;
  p = data_ + pos_;
  pos_ += n;
  return true;
}

bool ArchiveReader::ReadU8(uint8_t& v) {
  const uint8_t* p = nullptr;
  if (!Take(1, p)) return false;
  v = p[0];
  return true;
}

bool ArchiveReader::ReadU16(uint16_t& v) {
  const uint8_t* p = nullptr;
  if (!Take(2, p)) return false;
  v = static_cast<uint16_t>(p[0] | (p[1] << 8));
  return true;
}

bool ArchiveReader::ReadU32(uint32_t& v) {
  const uint8_t* p = nullptr;
  if (!Take(4, p)) return false;
  v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
      (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  return true;
}

bool ArchiveReader::ReadI64(int64_t& v) {
  const uint8_t* p = nullptr;
  if (!Take(8, p)) return false;
  uint64_t u = 0;
  for (int i = 7; i >= 0; --i) u = (u << 8) | p[i];
  v = static_cast<int64_t>(u);
  return true;
}

bool ArchiveReader::ReadString(std::string& utf8) {
  const std::size_t start = pos_;
  auto fail = [&] {
    pos_ = start;
    return false;
  };
  uint8_t b = 0;
  uint16_t w = 0;
  if (!ReadU8(b) || b != 0xFF || !ReadU16(w) || w != 0xFFFE) return fail();
  std::size_t n = 0;
  if (!ReadU8(b)) return fail();
  if (b < 0xFF) {
    n = b;
  } else {
    if (!ReadU16(w)) return fail();
    if (w < 0xFFFE) {
      n = w;
    } else if (w == 0xFFFF) {
      uint32_t d = 0;
      if (!ReadU32(d) || d == 0xFFFFFFFFu) return fail();
      n = d;
    } else {
      return fail();  // a second Unicode mark, or a form this file never holds
    }
  }
  // Checked before anything is allocated: a corrupt length must not ask
  // for gigabytes.
  if (n > Remaining() / 2) return fail();
  const uint8_t* p = nullptr;
  Take(n * 2, p);
  std::u16string units(n, u'\0');
  for (std::size_t i = 0; i < n; ++i)
    units[i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
  utf8 = NsPlatform::Utf16ToUtf8(units);
  return true;
}

}  // namespace NsOvrin::NsAlarm
