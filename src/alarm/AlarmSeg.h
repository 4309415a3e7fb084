#pragma once
// A run of alarm bits, one message per bit. Setting a bit to a new value
// stamps the change and tells the owner (the alarm manager) through the
// alarm-on and alarm-off callbacks.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <shared_mutex>
#include <string>
#include <vector>

#include "alarm/AlarmBit.h"

namespace NsOvrin::NsAlarm {

class AlarmSeg {
 public:
  using MessageFormatter = std::function<std::string(const std::string& messageTemplate)>;
  using AlarmCallback = std::function<void(AlarmSeg* segment, uint16_t bit)>;

  explicit AlarmSeg(std::string text = std::string());
  AlarmSeg(const AlarmSeg&) = delete;
  AlarmSeg& operator=(const AlarmSeg&) = delete;
  virtual ~AlarmSeg();

  // One new bit per text, in order, message and template both the text.
  // Alarms of the replaced bits end first (as if their bits went to 0):
  // otherwise they would stay active for ever.
  virtual void SetMessages(const std::vector<std::string>& messages);
  // n bits; new ones in their creation state. Alarms of the bits that go
  // end first.
  virtual void Resize(std::size_t n);

  std::size_t GetCount() const;

  // The caller holds the lock exclusively. Only a change of the bit's value
  // stamps its time and calls a callback; false for an index past the bits.
  bool SetBit(uint16_t i, uint8_t value);

  // "?" past the bits. No lock is taken: the caller holds this segment's
  // lock or the manager's active lock (messages change only on the
  // user-interface thread).
  std::string GetBitMessage(std::size_t i) const;
  std::string GetBitTemplate(std::size_t i) const;
  // The bits themselves; the caller holds the lock.
  const std::vector<AlarmBit>& GetBits() const { return _bits; }

  // Copied into every history record of the segment.
  const std::string& GetText() const { return _text; }

  // Both take the lock exclusively.
  void SetAlarmCallbacks(AlarmCallback onAlarmOn, AlarmCallback onAlarmOff);
  void SetMessageFormatter(MessageFormatter formatter);

  // Guards the bits and the callbacks.
  std::shared_mutex& GetLock() const { return _lock; }

 private:
  // Sets every bit from first on that is on to 0; the lock is held.
  void SwitchOffFrom(std::size_t first);

  MessageFormatter _formatter;
  AlarmCallback _onAlarmOn;
  AlarmCallback _onAlarmOff;
  const std::string _text;
  std::vector<AlarmBit> _bits;
  mutable std::shared_mutex _lock;
};

// Seconds since 1970-01-01 UTC.
int64_t CurrentAlarmTime();

}  // namespace NsOvrin::NsAlarm
