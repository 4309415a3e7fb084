#include "alarm/AlarmSeg.h"

#include <chrono>
#include <mutex>
#include <utility>

namespace NsOvrin::NsAlarm {

int64_t CurrentAlarmTime() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

AlarmSeg::AlarmSeg(std::string text) : _text(std::move(text)) {}

AlarmSeg::~AlarmSeg() = default;

void AlarmSeg::SwitchOffFrom(std::size_t first) {
  for (std::size_t i = first; i < _bits.size() && i <= 0xFFFF; ++i)
    if (_bits[i].state != 0) SetBit(static_cast<uint16_t>(i), 0);
}

void AlarmSeg::SetMessages(const std::vector<std::string>& messages) {
  std::unique_lock lock(_lock);
  SwitchOffFrom(0);
  _bits.clear();
  _bits.reserve(messages.size());
  for (const std::string& text : messages) {
    AlarmBit bit;
    bit.message = text;
    bit.messageTemplate = text;
    _bits.push_back(std::move(bit));
  }
}

void AlarmSeg::Resize(std::size_t n) {
  std::unique_lock lock(_lock);
  SwitchOffFrom(n);
  _bits.resize(n);
}

std::size_t AlarmSeg::GetCount() const {
  std::shared_lock lock(_lock);
  return _bits.size();
}

bool AlarmSeg::SetBit(uint16_t i, uint8_t value) {
  if (i >= _bits.size()) return false;
  AlarmBit& bit = _bits[i];
  const uint8_t v = value != 0 ? 1 : 0;
  if (v == bit.state) {
    bit.turnedOn = 0;
    bit.turnedOff = 0;
  } else {
    bit.state = v;
    bit.turnedOn = v;
    bit.turnedOff = v ^ 1;
  }
  if (bit.turnedOn) {
    bit.onTime = CurrentAlarmTime();
    if (_formatter) bit.message = _formatter(bit.messageTemplate);
    if (_onAlarmOn) _onAlarmOn(this, i);
  }
  if (bit.turnedOff) {
    bit.offTime = CurrentAlarmTime();
    if (_onAlarmOff) _onAlarmOff(this, i);
  }
  return true;
}

std::string AlarmSeg::GetBitMessage(std::size_t i) const {
  return i < _bits.size() ? _bits[i].message : std::string("?");
}

std::string AlarmSeg::GetBitTemplate(std::size_t i) const {
  return i < _bits.size() ? _bits[i].messageTemplate : std::string("?");
}

void AlarmSeg::SetAlarmCallbacks(AlarmCallback onAlarmOn, AlarmCallback onAlarmOff) {
  std::unique_lock lock(_lock);
  _onAlarmOn = std::move(onAlarmOn);
  _onAlarmOff = std::move(onAlarmOff);
}

void AlarmSeg::SetMessageFormatter(MessageFormatter formatter) {
  std::unique_lock lock(_lock);
  _formatter = std::move(formatter);
}

}  // namespace NsOvrin::NsAlarm
