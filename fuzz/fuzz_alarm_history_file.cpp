// The alarm-history file: a ring of history records. A ring read from the
// file is archived, read and archived again to the same bytes.
#include <cstdlib>

#include "FuzzSupport.h"
#include "alarm/AlarmHistory.h"
#include "alarm/ArchiveWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace NsOvrin;
  using namespace NsOvrin::NsAlarm;
  AlarmHistoryRing ring(kAlarmHistoryCapacity, 0, false, kAlarmHistoryVersion,
                        NsFuzz::WriteFile("alarm_history", data, size));
  if (!ring.Load()) return 0;
  ArchiveWriter first;
  ring.WriteArchive(first, kAlarmHistoryVersion);
  AlarmHistoryRing again(kAlarmHistoryCapacity, 0, false, kAlarmHistoryVersion, "");
  ArchiveReader reader(first.Bytes().data(), first.Bytes().size());
  if (!again.ReadArchive(reader, kAlarmHistoryVersion)) std::abort();
  ArchiveWriter second;
  again.WriteArchive(second, kAlarmHistoryVersion);
  if (first.Bytes() != second.Bytes()) std::abort();
  return 0;
}
