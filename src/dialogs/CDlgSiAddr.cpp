#include "dialogs/CDlgSiAddr.h"

#include <utility>

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "events/QlBitVarEvent.h"
#include "events/QlIntVarEvent.h"
#include "project/QlEProject.h"
#include "termination/ChannelManager.h"
#include "wui/DlgItem.h"
#include "wui/UiServices.h"

namespace NsOvrin {

using namespace NsTermination;

CDlgSiAddr::CDlgSiAddr(int mode, const std::string& oldAddress, QWidget* parent)
    : NsWui::CModalDialog(parent), mode(mode), oldAddress(oldAddress) {
  setWindowTitle(QStringLiteral("变量编辑"));
  auto* label = new QLabel(QStringLiteral("变量地址:"), this);
  auto* edit = new QLineEdit(this);
  NsWui::SetDlgItemId(edit, IDC_ADDRESS);
  edit->setMinimumWidth(220);
  auto* ok = new QPushButton(QStringLiteral("确定"), this);
  NsWui::SetDlgItemId(ok, IDC_OK);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });

  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(edit);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  auto* top = new QVBoxLayout(this);
  top->addLayout(row);
  top->addLayout(buttons);
}

CDlgSiAddr::CDlgSiAddr(std::shared_ptr<NsQlEvent::QlVarEventBase> changed, QWidget* parent)
    : CDlgSiAddr(kModeChange, changed ? changed->GetAddress() : std::string(), parent) {
  event = std::move(changed);
}

CDlgSiAddr::~CDlgSiAddr() = default;

void CDlgSiAddr::OnInitDialog() {
  if (auto* edit = NsWui::DlgItem<QLineEdit>(this, IDC_ADDRESS)) {
    edit->setText(QString::fromStdString(oldAddress));
  }
}

void CDlgSiAddr::Refuse(const std::string& message) {
  // The message is the tip's title; its text only says that it is one.
  if (QWidget* edit = NsWui::DlgItem<QLineEdit>(this, IDC_ADDRESS)) {
    NsWui::GetUiServices().ShowBalloonTip(edit, message, "错误");
  }
}

void CDlgSiAddr::OnOK() {
  const auto* edit = NsWui::DlgItem<QLineEdit>(this, IDC_ADDRESS);
  std::string text = edit ? edit->text().trimmed().toStdString() : std::string();
  if (text.empty()) {
    Refuse("地址不能为空!");
    return;
  }
  AddrCheckCode code = CheckDeviceAddress(text, true);
  if (code != kAddrOk) {
    Refuse(GetAddrCheckMessage(code));
    return;
  }
  text = NormalizeDeviceAddress(text);

  if (mode == kModeChange) {
    std::string message;
    QlEProject& project = QlEProject::Instance();
    const bool moved = event ? project.ChangeEventAddress(event, text, message)
                             : project.ChangeEventAddress(oldAddress, text, message);
    if (!moved) {
      Refuse(message);
      return;
    }
    newAddress = text;
  } else {
    TermAddr addr;
    code = ResolveDeviceAddress(text, nullptr, nullptr, &addr);
    if (code != kAddrOk) {
      Refuse(GetAddrCheckMessage(code));
      return;
    }
    if (addr.kind == kKindBit) {
      newEvent = std::make_shared<NsQlEvent::QlBitVarEvent>(text);
    } else {
      newEvent = std::make_shared<NsQlEvent::QlIntVarEvent>(text);
    }
  }
  accept();
}

}  // namespace NsOvrin
