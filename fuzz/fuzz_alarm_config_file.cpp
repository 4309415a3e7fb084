// The alarm configuration file "alarm_config" against the fixed channels and
// data blocks; the groups read go through the error check of the alarm
// configuration, and are written, read and written again to the same bytes,
// with nothing left unread.
#include "FuzzSupport.h"
#include "ListBoxSink.h"
#include "RoundTrip.h"
#include "project_persistence/AlarmConfigFile.h"
#include "project_persistence/UiErrList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace NsOvrin;
  NsFuzz::LoadFixedNodeDb(true);
  if (ReadAlarmConfigFile(NsFuzz::WriteFile("alarm_config", data, size))) {
    NsFuzz::ListBoxSink listBox;
    UiErrList::Instance().CheckAlarmConfig(listBox);
    UiErrList::Instance().results.clear();
    const std::string first = NsFuzz::PrivateFolder() + "/first_alarm_config";
    const std::string second = NsFuzz::PrivateFolder() + "/second_alarm_config";
    if (!WriteAlarmConfigFile(first)) std::abort();
    NsFuzz::LoadFixedNodeDb(true);
    // What the editor wrote it reads whole.
    std::vector<std::string> unread;
    if (!ReadAlarmConfigFile(first, &unread) || !WriteAlarmConfigFile(second)) std::abort();
    if (!unread.empty()) std::abort();
    NsFuzz::ExpectSameFiles(first, second);
  }
  NsFuzz::ResetRuntime();
  return 0;
}
