#pragma once
// Little-endian byte stream in the layout of the framework archive that wrote
// the alarm-history file, so files stay readable by the tools that read it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace NsOvrin::NsAlarm {

class ArchiveWriter {
 public:
  void WriteU8(uint8_t v) { bytes_.push_back(v); }
  void WriteU16(uint16_t v);
  void WriteU32(uint32_t v);
  void WriteI64(int64_t v);
  // The wide-string form: byte 0xFF, WORD 0xFFFE, the length in UTF-16 units
  // (one byte below 255; else 0xFF and a WORD below 0xFFFE; else 0xFF, WORD
  // 0xFFFF and a DWORD), then UTF-16LE without terminator. Malformed UTF-8
  // bytes are written as U+FFFD.
  void WriteString(const std::string& utf8);

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  bool Failed() const { return failed_; }

  // Writes the bytes to a new file beside path and renames it over path, so
  // a crash or a full disk never leaves a half-written file. False on any
  // error (the target then stays as it was) and for a failed archive.
  bool SaveToFile(const std::string& path) const;

 private:
  std::vector<uint8_t> bytes_;
  bool failed_ = false;
};

}  // namespace NsOvrin::NsAlarm
