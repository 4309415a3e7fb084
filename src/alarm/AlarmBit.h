#pragma once
// One alarm bit of a segment: its last state, the change that set it and the
// text shown for it.
#include <cstdint>
#include <string>

namespace NsOvrin::NsAlarm {

struct AlarmBit {
  uint8_t turnedOn = 0;   // the last change was to 1
  uint8_t turnedOff = 0;  // the last change was to 0
  uint8_t state = 0;      // the last value set, 0 or 1
  int64_t onTime = 0;     // seconds since 1970-01-01 UTC of the last change to 1
  int64_t offTime = 0;    // seconds of the last change to 0
  std::string message;
  // The message is made from it when the segment has a message formatter.
  std::string messageTemplate;
};

}  // namespace NsOvrin::NsAlarm
