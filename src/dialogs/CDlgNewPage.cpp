#include "dialogs/CDlgNewPage.h"

#include <algorithm>

#include <QLineEdit>

#include "project/ProgramDefaults.h"
#include "project/QlEProject.h"
#include "wui/DlgItem.h"
#include "wui/FormDialog.h"
#include "ui_services/NewPageDialog.h"
#include "wui/UiServices.h"

namespace NsOvrin {

CDlgNewPage::CDlgNewPage(QWidget* parent) : NsWui::CModalDialog(parent) {
  setWindowTitle(QStringLiteral("新建页面"));

  auto* nameEdit = new QLineEdit(this);
  NsWui::SetDlgItemId(nameEdit, IDC_NAME);
  NsWui::LayOutFormDialog(*this, {{"页面名称:", nameEdit}}, [this] { OnOK(); });
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
