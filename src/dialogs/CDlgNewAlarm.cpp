#include "dialogs/CDlgNewAlarm.h"

#include <QLabel>
#include <QPushButton>

#include "alarm/AlarmManager.h"
#include "alarm/AlarmSegCvb.h"
#include "dialogs/AlarmGroupEdits.h"
#include "platform/Format.h"
#include "termination/ChannelManager.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"

namespace NsOvrin {

using NsWui::CConfirmEditCtrl;

namespace {

constexpr int kLabelWidth = 100;
constexpr int kEditWidth = 200;
constexpr int kRowHeight = 24;

CConfirmEditCtrl* AddEditRow(QWidget* dialog, const char* label, int id, int y) {
  auto* caption = new QLabel(QString::fromUtf8(label), dialog);
  caption->setGeometry(12, y + 3, kLabelWidth, 20);
  auto* edit = new CConfirmEditCtrl(dialog);
  NsWui::SetDlgItemId(edit, id);
  edit->setGeometry(12 + kLabelWidth, y, kEditWidth, kRowHeight);
  return edit;
}

}  // namespace

CDlgNewAlarm::CDlgNewAlarm(std::shared_ptr<NsAlarm::AlarmSegCvb> segment, QWidget* parent)
    : NsWui::CModalDialog(parent), segment(std::move(segment)) {
  setWindowTitle(QStringLiteral("新增警报列表"));
  addressEdit = AddEditRow(this, "警报起始地址:", IDC_ADDRESS, 16);
  countEdit = AddEditRow(this, "警报数量:", IDC_COUNT, 52);

  auto* ok = new QPushButton(QStringLiteral("确定"), this);
  NsWui::SetDlgItemId(ok, IDC_OK);
  ok->setDefault(true);
  ok->setGeometry(150, 96, 80, 26);
  auto* cancel = new QPushButton(QStringLiteral("取消"), this);
  NsWui::SetDlgItemId(cancel, IDC_CANCEL);
  cancel->setAutoDefault(false);
  cancel->setGeometry(240, 96, 80, 26);
  connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  // Room for the edits' own buttons while they edit.
  setFixedSize(12 + kLabelWidth + kEditWidth + CConfirmEditCtrl::kButtonsWidth + 12, 136);
}

void CDlgNewAlarm::OnInitDialog() {
  ResetAlarmEdit(*countEdit, std::string());
  countEdit->validator = [](const std::string&, const std::string& text, std::string& message) {
    return CheckAlarmCount(text, message);
  };
  countEdit->formatter = [this](const std::string&, std::string& text) { CommitCount(text); };

  ResetAlarmEdit(*addressEdit, std::string());
  addressEdit->validator = [](const std::string&, const std::string& text, std::string& message) {
    return CheckAlarmAddress(text, message);
  };
  addressEdit->formatter = [this](const std::string&, std::string& text) { CommitAddress(text); };
}

void CDlgNewAlarm::CommitCount(std::string& text) {
  if (segment) segment->Resize(NsPlatform::ParseDecimalU32Saturating(text));
}

void CDlgNewAlarm::CommitAddress(std::string& text) {
  if (segment) {
    ApplyAlarmAddress(*segment, text);
  } else {
    text = NsTermination::NormalizeDeviceAddress(text);
  }
}

void CDlgNewAlarm::OnOK() {
  if (segment) NsAlarm::AlarmManager::Instance().AddSeg(segment);
  accept();
}

}  // namespace NsOvrin
