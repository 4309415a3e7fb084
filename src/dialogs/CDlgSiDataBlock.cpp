#include "dialogs/CDlgSiDataBlock.h"

#include <QLineEdit>

#include "common/UiValidation.h"
#include "dialogs/DataBlockRules.h"
#include "platform/Format.h"
#include "wui/DlgItem.h"
#include "wui/FormDialog.h"
#include "wui/UiServices.h"

namespace NsOvrin {

using namespace NsTermination;

CDlgSiDataBlock::CDlgSiDataBlock(const BlockDescriptor& preset, const OneWayWrapper<Node>& node,
                                 QWidget* parent)
    : QDialog(parent), block(preset), node(node) {
  setWindowTitle(QStringLiteral("新增数据块"));
  std::vector<NsWui::FormRow> rows;
  const std::pair<int, const char*> edits[] = {
      {IDC_START, "起始地址:"}, {IDC_LENGTH, "数据长度:"}, {IDC_INTERVAL, "采样间隔时间(ms):"}};
  for (const auto& [id, label] : edits) {
    auto* edit = new QLineEdit(this);
    NsWui::SetDlgItemId(edit, id);
    rows.emplace_back(label, edit);
  }
  NsWui::LayOutFormDialog(*this, rows, [this] { OnOK(); });
}

int CDlgSiDataBlock::DoModal() {
  return exec() == QDialog::Accepted ? NsWui::IDOK : NsWui::IDCANCEL;
}

void CDlgSiDataBlock::Refuse(int id, const std::string& message) {
  if (QWidget* edit = NsWui::GetDlgItem(this, id)) {
    NsWui::GetUiServices().ShowBalloonTip(edit, "提示", message);
  }
}

void CDlgSiDataBlock::OnOK() {
  const auto text = [this](int id) {
    return NsWui::DlgItem<QLineEdit>(this, id)->text().toStdString();
  };
  const std::string start = text(IDC_START);
  const auto locked = node.Lock();
  if (!locked) {
    Refuse(IDC_START, "无效的节点.");
    return;
  }
  const std::shared_ptr<NodeMem>& mem = locked->GetNodeMem();
  const AddrCheckCode parsed = mem ? mem->ParseAddress(start, block.addr) : kAddrSystemError;
  if (parsed != kAddrOk) {
    Refuse(IDC_START, GetAddrCheckMessage(parsed));
    return;
  }

  const std::string lengthText = text(IDC_LENGTH);
  std::string message;
  if (!MakeLengthRule()->Check(lengthText, message)) {
    Refuse(IDC_LENGTH, message);
    return;
  }
  // A length beyond 16 bits saturates: no request carries that many units,
  // so the block check refuses it instead of taking the low bits.
  const uint32_t length = NsPlatform::ParseDecimalU32Saturating(lengthText);
  block.addr.count = static_cast<uint16_t>(length > 0xFFFF ? 0xFFFF : length);
  const AddrCheckCode checked = locked->CheckBlock(block.addr);
  if (checked != kAddrOk) {
    Refuse(IDC_LENGTH, GetAddrCheckMessage(checked));
    return;
  }

  const std::string intervalText = text(IDC_INTERVAL);
  if (!MakeIntervalRule()->Check(intervalText, message)) {
    Refuse(IDC_INTERVAL, message);
    return;
  }
  block.interval = static_cast<uint16_t>(NsPlatform::ParseDecimalU32Saturating(intervalText));
  mem->AlignBitBlock(block.addr);
  accept();
}

}  // namespace NsOvrin
