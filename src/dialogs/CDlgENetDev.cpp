#include "dialogs/CDlgENetDev.h"

#include <arpa/inet.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "dialogs/DevDialogFields.h"
#include "termination/DevSetup.h"
#include "wui/DlgItem.h"
#include "wui/FormDialog.h"
#include "wui/IpAddressCtrl.h"
#include "wui/UiServices.h"

namespace NsOvrin {

using namespace NsTermination;

namespace {

constexpr uint32_t kMaxPort = 0xFFFF;
// What the dialog can read from an edit at most.
constexpr uint32_t kMaxTimeout = 0x7FFFFFFF;
constexpr const char* kTimeoutRange = "超时时间必须在1到2147483647之间.";

QLineEdit* MakeDigitsEdit(QWidget* parent, int id) {
  auto* edit = new QLineEdit(parent);
  NsWui::SetDlgItemId(edit, id);
  edit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^\\d*$")), edit));
  return edit;
}

}  // namespace

CDlgENetDev::CDlgENetDev(QWidget* parent) : NsWui::CModalDialog(parent) { Build(); }

CDlgENetDev::CDlgENetDev(const NsDevDefine::ENetDevParam& param, QWidget* parent)
    : NsWui::CModalDialog(parent),
      mode(kDeviceNameRename),
      name(param.name),
      model(param.deviceId),
      station(param.stationNo),
      resend(param.resendTimes),
      ipAddr(param.ipAddr),
      port(param.port),
      connTimeout(param.connTimeout),
      commTimeout(param.recvTimeout),
      previousName(param.name) {
  Build();
}

const DevCatalog& CDlgENetDev::GetCatalog() {
  static const DevCatalog catalog = {{0, {kModelModbusTcp}}, {1, {kModelH5u}}};
  return catalog;
}

uint32_t CDlgENetDev::GetDefaultPort(uint32_t model) {
  if (model == kModelGeneral || model > kModelOmron) return 0;
  return model == kModelFbs ? 9600 : 502;
}

void CDlgENetDev::Build() {
  nameEdit = new QLineEdit(this);
  NsWui::SetDlgItemId(nameEdit, IDC_NAME);
  devType_ = new QPushButton(this);
  NsWui::SetDlgItemId(devType_, IDC_DEVTYPE);
  devType_->setAutoDefault(false);
  ipAddrCtrl = new NsWui::IpAddressCtrl(this);
  NsWui::SetDlgItemId(ipAddrCtrl, IDC_IPADDR);
  QLineEdit* portEdit = MakeDigitsEdit(this, IDC_PORT);
  stationEdit = MakeDigitsEdit(this, IDC_STATION);
  QLineEdit* connEdit = MakeDigitsEdit(this, IDC_CONN_TIMEOUT);
  QLineEdit* commEdit = MakeDigitsEdit(this, IDC_COMM_TIMEOUT);
  QLineEdit* resendEdit = MakeDigitsEdit(this, IDC_RESEND);
  connect(devType_, &QPushButton::clicked, this, [this] { OnDevType(); });

  NsWui::LayOutFormDialog(*this,
                          {{"设备名称:", nameEdit},
                           {"设备类型:", devType_},
                           {"IP地址:", ipAddrCtrl},
                           {"端口号:", portEdit},
                           {"站号:", stationEdit},
                           {"连接超时(ms):", connEdit},
                           {"通讯超时(ms):", commEdit},
                           {"重发次数:", resendEdit}},
                          [this] { OnOK(); });
}

NsDevDefine::ENetDevParam CDlgENetDev::GetParam() const {
  NsDevDefine::ENetDevParam param;
  param.name = name;
  param.deviceId = model;
  param.stationNo = static_cast<uint8_t>(station);
  param.resendTimes = resend;
  param.ipAddr = ipAddr;
  param.port = port;
  param.connTimeout = connTimeout;
  param.recvTimeout = commTimeout;
  return param;
}

void CDlgENetDev::OnInitDialog() {
  nameEdit->setText(QString::fromStdString(name));
  devType_->setText(QString::fromStdString(GetProtocolId(static_cast<DeviceModelId>(model))));
  setWindowTitle(mode == kDeviceNameNew ? QStringLiteral("添加以太网设备")
                                        : QStringLiteral("编辑以太网设备属性"));
  // A new device starts with a blank address rather than 0.0.0.0.
  if (mode == kDeviceNameNew) {
    ipAddrCtrl->ClearAddress();
  } else {
    ipAddrCtrl->SetAddress(ntohl(ipAddr));
  }
  NsWui::SetDlgItemInt(this, IDC_PORT, port);
  NsWui::SetDlgItemInt(this, IDC_CONN_TIMEOUT, connTimeout);
  NsWui::SetDlgItemInt(this, IDC_COMM_TIMEOUT, commTimeout);
  NsWui::SetDlgItemInt(this, IDC_RESEND, resend);
  NsWui::SetDlgItemInt(this, IDC_STATION, station);
}

void CDlgENetDev::OnDevType() {
  CDlgDevList list(GetCatalog(), this);
  list.selectedMaker = 0;
  list.selectedModel = model;
  if (list.DoModal() != NsWui::IDOK) return;
  model = list.selectedModel;
  devType_->setText(QString::fromStdString(GetProtocolId(static_cast<DeviceModelId>(model))));
  if (model <= kModelOmron) {
    port = GetDefaultPort(model);
    NsWui::SetDlgItemInt(this, IDC_PORT, port);
  }
}

void CDlgENetDev::OnOK() {
  if (!NsDevDialog::ReadDeviceName(this, IDC_NAME, mode, previousName, name)) return;
  if (!NsDevDialog::CheckModelChosen(this, model)) return;
  if (!NsDevDialog::ReadStationNo(this, IDC_STATION, station)) return;
  if (ipAddrCtrl->IsBlank()) {
    NsWui::GetUiServices().MessageBox(this, "IP地址不能为空!", "提示", NsWui::MB_ICONERROR);
    return;
  }
  ipAddr = htonl(ipAddrCtrl->GetAddress());
  if (!NsDevDialog::ReadPositive(this, IDC_PORT, kMaxPort, "端口号不能为空并且不能为0.",
                                 "端口号必须为大于0的数字.", "端口号必须在1到65535之间.", port)) {
    return;
  }
  if (!NsDevDialog::ReadPositive(this, IDC_CONN_TIMEOUT, kMaxTimeout,
                                 "连接超时时间不能为空并且不能为0.", "超时时间必须为大于0的数字.",
                                 kTimeoutRange, connTimeout)) {
    return;
  }
  if (!NsDevDialog::ReadPositive(this, IDC_COMM_TIMEOUT, kMaxTimeout,
                                 "通讯超时时间不能为空并且不能为0.", "超时时间必须为大于0的数字.",
                                 kTimeoutRange, commTimeout)) {
    return;
  }
  if (!NsDevDialog::ReadResendTimes(this, IDC_RESEND, resend)) return;
  accept();
}

}  // namespace NsOvrin
