#pragma once
// One alarm that came on and went off again, as the history ring keeps it.
#include <cstdint>
#include <string>

#include "alarm/ArchiveReader.h"
#include "alarm/ArchiveWriter.h"

namespace NsOvrin::NsAlarm {

struct HistData {
  // Size the file's header states for one record; the records themselves
  // are variable-length.
  static constexpr uint32_t kArchiveRecordSize = 32;

  int64_t onTime = 0;   // seconds since 1970-01-01 UTC
  int64_t offTime = 0;  // seconds since 1970-01-01 UTC
  std::string sourceText;
  std::string message;

  // On time, off time, source text, message.
  void WriteArchive(ArchiveWriter& ar) const;
  // All or nothing: on failure the record is untouched.
  bool ReadArchive(ArchiveReader& ar);

  bool operator==(const HistData&) const = default;
};

}  // namespace NsOvrin::NsAlarm
