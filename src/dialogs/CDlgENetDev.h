#pragma once
// The modal dialog of a device on an Ethernet channel: name, device type,
// IP address, port, station number, the two time-outs and the resend count.
// It only collects and checks the values; on IDOK the caller builds or
// rebuilds the device from GetParam().
#include <cstdint>
#include <string>

#include "dialogs/CDlgDevList.h"
#include "termination/DevDefine.h"
#include "wui/CModalDialog.h"

class QLineEdit;
class QPushButton;

namespace NsOvrin {

namespace NsWui {
class IpAddressCtrl;
}

class CDlgENetDev : public NsWui::CModalDialog {
 public:
  static constexpr int IDC_NAME = 1000;
  static constexpr int IDC_DEVTYPE = 1018;
  static constexpr int IDC_IPADDR = 1027;
  static constexpr int IDC_PORT = 1002;
  static constexpr int IDC_STATION = 1005;
  static constexpr int IDC_CONN_TIMEOUT = 1003;
  static constexpr int IDC_COMM_TIMEOUT = 1001;
  static constexpr int IDC_RESEND = 1004;
  static constexpr int IDC_OK = 1;
  static constexpr int IDC_CANCEL = 2;

  // Adding a device: mode 0 with the defaults.
  explicit CDlgENetDev(QWidget* parent = nullptr);
  // Editing a device: mode 1 with its parameters; its name is the previous
  // name.
  CDlgENetDev(const NsDevDefine::ENetDevParam& param, QWidget* parent = nullptr);

  // The makers and models an Ethernet device may be.
  static const DevCatalog& GetCatalog();
  // The port a model is usually reached on; 0 for a model beyond the
  // catalogue.
  static uint32_t GetDefaultPort(uint32_t model);

  NsDevDefine::ENetDevParam GetParam() const;

  void OnInitDialog() override;
  void OnDevType();
  void OnOK();

  int mode = 0;  // kDeviceNameNew or kDeviceNameRename
  std::string name;
  uint32_t model = NsTermination::kModelNone;
  uint16_t station = 1;
  uint16_t resend = 2;
  uint32_t ipAddr = 0;  // network byte order
  uint32_t port = 0;
  uint32_t connTimeout = 6000;  // ms
  uint32_t commTimeout = 2000;  // ms
  QLineEdit* nameEdit = nullptr;
  std::string previousName;
  NsWui::IpAddressCtrl* ipAddrCtrl = nullptr;
  QLineEdit* stationEdit = nullptr;

 private:
  void Build();

  QPushButton* devType_ = nullptr;
};

}  // namespace NsOvrin
