#include "wui/FormDialog.h"

#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "wui/DlgItem.h"
#include "wui/UiServices.h"

namespace NsOvrin::NsWui {

void LayOutFormDialog(QDialog& dialog, const std::vector<FormRow>& rows,
                      std::function<void()> onOk) {
  auto* form = new QFormLayout;
  for (const auto& [label, field] : rows) form->addRow(QString::fromUtf8(label), field);

  auto* ok = new QPushButton(QStringLiteral("确定"), &dialog);
  SetDlgItemId(ok, IDOK);
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("取消"), &dialog);
  SetDlgItemId(cancel, IDCANCEL);
  QObject::connect(ok, &QPushButton::clicked, &dialog, std::move(onOk));
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* top = new QVBoxLayout(&dialog);
  top->addLayout(form);
  top->addLayout(buttons);
}

}  // namespace NsOvrin::NsWui
