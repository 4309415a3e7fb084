#pragma once
// The modal dialog of a device on a serial channel: name, device type,
// station number and resend count. It only collects and checks the values;
// on IDOK the caller builds or rebuilds the device from GetParam().
#include <cstdint>
#include <string>

#include "dialogs/CDlgDevList.h"
#include "termination/DevDefine.h"
#include "wui/CModalDialog.h"

class QLineEdit;
class QPushButton;

namespace NsOvrin {

class CDlgRs232Dev : public NsWui::CModalDialog {
 public:
  static constexpr int IDC_NAME = 1000;
  static constexpr int IDC_DEVTYPE = 1018;
  static constexpr int IDC_STATION = 1002;
  static constexpr int IDC_RESEND = 1004;
  static constexpr int IDC_OK = 1;
  static constexpr int IDC_CANCEL = 2;

  // Adding a device: mode 0 with the defaults.
  explicit CDlgRs232Dev(QWidget* parent = nullptr);
  // Editing a device: mode 1 with its parameters; its name is the previous
  // name.
  CDlgRs232Dev(const NsDevDefine::RsDevParam& param, QWidget* parent = nullptr);

  // The makers and models a serial device may be.
  static const DevCatalog& GetCatalog();

  NsDevDefine::RsDevParam GetParam() const;

  void OnInitDialog() override;
  void OnDevType();
  void OnOK();

  int mode = 0;  // kDeviceNameNew or kDeviceNameRename
  std::string name;
  uint32_t model = NsTermination::kModelNone;
  uint16_t station = 1;
  uint16_t resend = 2;
  QLineEdit* nameEdit = nullptr;
  QLineEdit* stationEdit = nullptr;
  std::string previousName;

 private:
  void Build();

  QPushButton* devType_ = nullptr;
};

}  // namespace NsOvrin
