#include "dialogs/CDlgNewPage.h"

#include <algorithm>

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "project/ProgramDefaults.h"
#include "project/QlEProject.h"
#include "wui/DlgItem.h"
#include "ui_services/NewPageDialog.h"
#include "wui/UiServices.h"

namespace NsOvrin {

CDlgNewPage::CDlgNewPage(QWidget* parent) : NsWui::CModalDialog(parent) {
  setWindowTitle(QStringLiteral("新建页面"));

  auto* nameEdit = new QLineEdit(this);
  NsWui::SetDlgItemId(nameEdit, IDC_NAME);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("页面名称:"), nameEdit);

  auto* ok = new QPushButton(QStringLiteral("确定"), this);
  NsWui::SetDlgItemId(ok, IDC_OK);
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("取消"), this);
  NsWui::SetDlgItemId(cancel, IDC_CANCEL);
  connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* top = new QVBoxLayout(this);
  top->addLayout(form);
  top->addLayout(buttons);
}

void CDlgNewPage::OnInitDialog() {
  NsWui::DlgItem<QLineEdit>(this, IDC_NAME)->setText(QString::fromStdString(pageName));
}

void CDlgNewPage::OnOK() {
  pageName = NsWui::DlgItem<QLineEdit>(this, IDC_NAME)->text().toStdString();
  std::string message;
  if (!NewPageDialog::CheckName(pageName, message)) {
    NsWui::GetUiServices().MessageBox(this, message, "提示", NsWui::MB_ICONERROR);
    return;
  }
  accept();
}

}  // namespace NsOvrin
