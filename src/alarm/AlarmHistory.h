#pragma once
// The alarm manager's history ring and where it is kept.
#include <cstdint>
#include <string>

#include "alarm/CircArrPer.h"
#include "alarm/HistData.h"

namespace NsOvrin::NsAlarm {

using AlarmHistoryRing = CircArrPer<HistData>;

constexpr uint32_t kAlarmHistoryCapacity = 100;
constexpr uint32_t kAlarmHistoryVersion = 4;
constexpr const char* kAlarmHistoryFileName = "alarm_history";

// "alarm_history" next to the program, or in the folder config_ref.ini
// redirects relative files to.
std::string AlarmHistoryFilePath();

}  // namespace NsOvrin::NsAlarm
