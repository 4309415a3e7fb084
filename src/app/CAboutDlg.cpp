#include "app/CAboutDlg.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace NsOvrin {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("关于 Quillane"));
  auto* icon = new QLabel(this);
  icon->setPixmap(QIcon(QStringLiteral(":/app/icons/app.png")).pixmap(48, 48));
  auto* name = new QLabel(QStringLiteral("Quillane，1.0 版"), this);
  auto* purpose = new QLabel(QStringLiteral("操作面板与 PLC 通讯的组态编辑器"), this);
  auto* ok = new QPushButton(QStringLiteral("确定"), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* texts = new QVBoxLayout;
  texts->addWidget(name);
  texts->addWidget(purpose);
  auto* row = new QHBoxLayout;
  row->addWidget(icon, 0, Qt::AlignTop);
  row->addLayout(texts, 1);
  row->addWidget(ok, 0, Qt::AlignTop);
  auto* top = new QVBoxLayout(this);
  top->addLayout(row);
  setFixedSize(sizeHint());
}

}  // namespace NsOvrin
