#pragma once
// A history ring that is written to its file when it is destroyed (at process
// exit, after the polling threads have ended) and can be saved and read back.
//
// File layout, little-endian: WORD 12, DWORD version, DWORD record size,
// DWORD head, DWORD capacity, DWORD count, then count records oldest first.
// T provides kArchiveRecordSize, WriteArchive(ArchiveWriter&) and
// ReadArchive(ArchiveReader&).
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "alarm/ArchiveReader.h"
#include "alarm/ArchiveWriter.h"
#include "alarm/CircArray.h"
#include "common/ByteBuffer.h"

namespace NsOvrin::NsAlarm {

// First WORD of the file.
constexpr uint16_t kCircArchiveTag = 12;
// Largest capacity accepted from a file: the configured history size is a
// 16-bit count, and a corrupt header must not make us allocate gigabytes.
constexpr uint32_t kCircArchiveMaxCapacity = 0xFFFF;

template <typename T>
class CircArrPer : public CircArray<T> {
 public:
  CircArrPer(uint32_t capacity, uint32_t head, bool persist, uint32_t version, std::string path)
      : CircArray<T>(capacity, head), persist_(persist), version_(version), path_(std::move(path)) {}

  // Nobody is left to tell at exit, so a failed write is not reported.
  ~CircArrPer() override {
    if (persist_) Save();
  }

  void WriteArchive(ArchiveWriter& ar, uint32_t version) const {
    const uint32_t count = this->Count();
    ar.WriteU16(kCircArchiveTag);
    ar.WriteU32(version);
    ar.WriteU32(T::kArchiveRecordSize);
    ar.WriteU32(this->Head());
    ar.WriteU32(this->Capacity());
    ar.WriteU32(count);
    for (uint32_t i = 0; i < count; ++i) this->At(i).WriteArchive(ar);
  }

  // All or nothing: a file of another version or record size, an
  // inconsistent header, a truncated record or trailing bytes leave the ring
  // as it was and give false.
  bool ReadArchive(ArchiveReader& ar, uint32_t version) {
    uint16_t tag = 0;
    uint32_t fileVersion = 0, recordSize = 0, head = 0, capacity = 0, count = 0;
    if (!ar.ReadU16(tag) || !ar.ReadU32(fileVersion) || !ar.ReadU32(recordSize) ||
        !ar.ReadU32(head) || !ar.ReadU32(capacity) || !ar.ReadU32(count))
      return false;
    if (tag != kCircArchiveTag || fileVersion != version || recordSize != T::kArchiveRecordSize)
      return false;
    if (capacity > kCircArchiveMaxCapacity || count > capacity) return false;
    if (capacity == 0 ? head != 0 : head >= capacity) return false;
    std::vector<T> records(count);
    for (T& record : records)
      if (!record.ReadArchive(ar)) return false;
    if (!ar.AtEnd()) return false;
    this->Restore(capacity, head, std::move(records));
    return true;
  }

  bool Save() const {
    ArchiveWriter ar;
    WriteArchive(ar, version_);
    return ar.SaveToFile(path_);
  }

  // Reads the ring back from its file; false (ring unchanged) when the file
  // is missing or not a ring of this version.
  bool Load() {
    ByteBuffer buffer;
    if (!ReadWholeFile(path_, buffer)) return false;
    ArchiveReader ar(buffer.Data(), static_cast<std::size_t>(buffer.Size()));
    return ReadArchive(ar, version_);
  }

  bool Persist() const { return persist_; }
  void SetPersist(bool persist) { persist_ = persist; }
  uint32_t Version() const { return version_; }
  const std::string& Path() const { return path_; }

 private:
  bool persist_;
  uint32_t version_;
  std::string path_;
};

}  // namespace NsOvrin::NsAlarm
