#include "dialogs/CDlgRs232Dev.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "dialogs/DevDialogFields.h"
#include "termination/DevSetup.h"
#include "wui/DlgItem.h"
#include "wui/FormDialog.h"
#include "wui/UiServices.h"

namespace NsOvrin {

using namespace NsTermination;

CDlgRs232Dev::CDlgRs232Dev(QWidget* parent) : NsWui::CModalDialog(parent) { Build(); }

CDlgRs232Dev::CDlgRs232Dev(const NsDevDefine::RsDevParam& param, QWidget* parent)
    : NsWui::CModalDialog(parent),
      mode(kDeviceNameRename),
      name(param.name),
      model(param.deviceId),
      station(param.stationNo),
      resend(param.resendTimes),
      previousName(param.name) {
  Build();
}

const DevCatalog& CDlgRs232Dev::GetCatalog() {
  static const DevCatalog catalog = {{0, {kModelModbusRtu}}, {7, {kModelMitsFx}}};
  return catalog;
}

void CDlgRs232Dev::Build() {
  nameEdit = new QLineEdit(this);
  NsWui::SetDlgItemId(nameEdit, IDC_NAME);
  devType_ = new QPushButton(this);
  NsWui::SetDlgItemId(devType_, IDC_DEVTYPE);
  devType_->setAutoDefault(false);
  stationEdit = new QLineEdit(this);
  NsWui::SetDlgItemId(stationEdit, IDC_STATION);
  auto* resendEdit = new QLineEdit(this);
  NsWui::SetDlgItemId(resendEdit, IDC_RESEND);
  resendEdit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^\\d*$")), resendEdit));
  connect(devType_, &QPushButton::clicked, this, [this] { OnDevType(); });

  NsWui::LayOutFormDialog(*this,
                          {{"设备名称:", nameEdit},
                           {"设备类型:", devType_},
                           {"站号:", stationEdit},
                           {"重发次数:", resendEdit}},
                          [this] { OnOK(); });
}

NsDevDefine::RsDevParam CDlgRs232Dev::GetParam() const {
  NsDevDefine::RsDevParam param;
  param.name = name;
  param.deviceId = model;
  param.stationNo = static_cast<uint8_t>(station);
  param.resendTimes = resend;
  return param;
}

void CDlgRs232Dev::OnInitDialog() {
  nameEdit->setText(QString::fromStdString(name));
  devType_->setText(QString::fromStdString(GetProtocolId(static_cast<DeviceModelId>(model))));
  NsWui::SetDlgItemInt(this, IDC_STATION, station);
  setWindowTitle(mode == kDeviceNameNew ? QStringLiteral("添加串口设备")
                                        : QStringLiteral("编辑串口设备属性"));
  NsWui::SetDlgItemInt(this, IDC_RESEND, resend);
}

void CDlgRs232Dev::OnDevType() {
  CDlgDevList list(GetCatalog(), this);
  list.selectedMaker = 0;
  list.selectedModel = model;
  if (list.DoModal() != NsWui::IDOK) return;
  model = list.selectedModel;
  devType_->setText(QString::fromStdString(GetProtocolId(static_cast<DeviceModelId>(model))));
}

void CDlgRs232Dev::OnOK() {
  if (!NsDevDialog::ReadDeviceName(this, IDC_NAME, mode, previousName, name)) return;
  if (!NsDevDialog::CheckModelChosen(this, model)) return;
  if (!NsDevDialog::ReadStationNo(this, IDC_STATION, station)) return;
  if (!NsDevDialog::ReadResendTimes(this, IDC_RESEND, resend)) return;
  accept();
}

}  // namespace NsOvrin
