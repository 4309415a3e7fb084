#include "app/ShowIoAddrSetting.h"

#include "common/Log.h"
#include "common/PathUtil.h"
#include "platform/Format.h"
#include "platform/IniFile.h"

namespace NsOvrin {

ShowIoAddrSetting& ShowIoAddrSetting::Instance() {
  static ShowIoAddrSetting setting(ResolveRelativePath(kFileName));
  return setting;
}

bool ShowIoAddrSetting::Get() {
  if (!loaded_) {
    // As an integer profile read: the leading digits count, anything else is 0.
    const std::string text = NsPlatform::GetProfileString(iniPath_, kSection, kKey, "0");
    value_ = NsPlatform::ParseDecimalU32Saturating(text) == 1;
    loaded_ = true;
  }
  return value_;
}

void ShowIoAddrSetting::Set(bool on) {
  if (!NsPlatform::WriteProfileString(iniPath_, kSection, kKey,
                                      NsPlatform::StrFormat("%d", on ? 1 : 0))) {
    OV_LOG(8).AppendText("ShowIoAddr not written to ").AppendText(iniPath_);
  }
  value_ = on;
  loaded_ = true;
}

}  // namespace NsOvrin
