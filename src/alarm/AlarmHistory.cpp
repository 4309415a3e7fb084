#include "alarm/AlarmHistory.h"

#include "common/PathUtil.h"

namespace NsOvrin::NsAlarm {

std::string AlarmHistoryFilePath() { return ResolveRelativePath(kAlarmHistoryFileName); }

}  // namespace NsOvrin::NsAlarm
