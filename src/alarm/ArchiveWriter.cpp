#include "alarm/ArchiveWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string_view>

#include "platform/AtomicFile.h"
#include "platform/Utf.h"

namespace NsOvrin::NsAlarm {
namespace {

// Malformed bytes become U+FFFD one by one: a stray byte in one message must
// not cost the text around it.
std::u16string ToUtf16Lossy(const std::string& utf8) {
  return NsPlatform::Utf8ToUtf16(NsPlatform::ReplaceInvalidUtf8(utf8, NsPlatform::kReplacementCharacter));
}

}  // namespace

void ArchiveWriter::WriteU16(uint16_t v) {
  WriteU8(static_cast<uint8_t>(v));
  WriteU8(static_cast<uint8_t>(v >> 8));
}

void ArchiveWriter::WriteU32(uint32_t v) {
  WriteU16(static_cast<uint16_t>(v));
  WriteU16(static_cast<uint16_t>(v >> 16));
}

void ArchiveWriter::WriteI64(int64_t v) {
  const auto u = static_cast<uint64_t>(v);
  WriteU32(static_cast<uint32_t>(u));
  WriteU32(static_cast<uint32_t>(u >> 32));
}

void ArchiveWriter::WriteString(const std::string& utf8) {
  const std::u16string units = ToUtf16Lossy(utf8);
  const std::size_t n = units.size();
  if (n > 0xFFFFFFFEu) {
    failed_ = true;
    return;
  }
  WriteU8(0xFF);
  WriteU16(0xFFFE);
  if (n < 0xFF) {
    WriteU8(static_cast<uint8_t>(n));
  } else if (n < 0xFFFE) {
    WriteU8(0xFF);
    WriteU16(static_cast<uint16_t>(n));
  } else {
    WriteU8(0xFF);
    WriteU16(0xFFFF);
    WriteU32(static_cast<uint32_t>(n));
  }
  for (char16_t c : units) WriteU16(static_cast<uint16_t>(c));
}

bool ArchiveWriter::SaveToFile(const std::string& path) const {
  if (failed_) return false;
  return NsPlatform::ReplaceFileAtomically(
      path, std::string_view(reinterpret_cast<const char*>(bytes_.data()), bytes_.size()));
}

}  // namespace NsOvrin::NsAlarm
