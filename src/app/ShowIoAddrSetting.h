#pragma once
// The persisted "show element addresses" switch: key "ShowIoAddr" of section
// "default_app_" in "default_config_.ini". Read once, at first use; written
// at every change. A missing or unreadable file reads as off; a failed write
// is logged as an error, and the switch still follows the user.
#include <string>
#include <utility>

namespace NsOvrin {

class ShowIoAddrSetting {
 public:
  static constexpr const char* kFileName = "default_config_.ini";
  static constexpr const char* kSection = "default_app_";
  static constexpr const char* kKey = "ShowIoAddr";

  explicit ShowIoAddrSetting(std::string iniPath) : iniPath_(std::move(iniPath)) {}

  // The process-wide setting, made on first use with the INI file resolved
  // beside the program (or where config_ref.ini redirects it).
  static ShowIoAddrSetting& Instance();

  // On exactly when the stored value reads as 1.
  bool Get();
  // Stores "0" or "1"; the value holds the new state whatever the write did.
  void Set(bool on);

  const std::string& GetFilePath() const { return iniPath_; }

 private:
  std::string iniPath_;
  bool loaded_ = false;
  bool value_ = false;
};

}  // namespace NsOvrin
