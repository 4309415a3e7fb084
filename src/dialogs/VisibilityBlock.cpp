#include "dialogs/VisibilityBlock.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

#include "QlDev/AddrCheckCode.h"
#include "QlDev/MemArea.h"
#include "dialogs/ProtDialog.h"
#include "dialogs/ProtFillers.h"
#include "editor/QlEHostElem.h"
#include "platform/Format.h"
#include "termination/AddrBinder.h"
#include "termination/ChannelManager.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"
#include "wui/UiServices.h"

namespace NsOvrin {

using NsUiD2ElemEditor::TUiHost;
using NsWui::CConfirmEditCtrl;
using FollowUp = UiElemProtEditor::FollowUp;

VisibilityBlock::VisibilityBlock(QWidget* page, UiElemProtEditor& editor, int x, int y,
                                 int width) {
  enable = new QCheckBox(QStringLiteral("启用"), page);
  NsWui::SetDlgItemId(enable, IDC_ENABLE);
  enable->setGeometry(x, y, width, 20);

  addressLabel = ProtDialog::NewStatic(page, "地址:", QRect(x, y + 26, 40, 22));
  address = new CConfirmEditCtrl(page);
  NsWui::SetDlgItemId(address, IDC_ADDRESS);
  address->setGeometry(x + 44, y + 26, width - 44 - NsWui::CConfirmEditBase::kButtonsWidth, 22);

  showOn = new QRadioButton(QStringLiteral("ON时显示, OFF时隐藏"), page);
  NsWui::SetDlgItemId(showOn, IDC_RADIO1);
  showOn->setGeometry(x, y + 54, width / 2, 20);
  showOff = new QRadioButton(QStringLiteral("ON时隐藏, OFF时显示"), page);
  NsWui::SetDlgItemId(showOff, IDC_RADIO2);
  showOff->setGeometry(x + width / 2, y + 54, width - width / 2, 20);
  // The two radios exclude each other, and nothing else on the page.
  modeGroup_ = new QButtonGroup(page);
  modeGroup_->addButton(showOn);
  modeGroup_->addButton(showOff);

  QCheckBox* enableBox = enable;
  QObject::connect(enable, &QCheckBox::clicked, page, [page, &editor, enableBox] {
    const bool on = enableBox->isChecked();
    SetVisibilityEnabled(editor, on);
    EnableVisibilityControls(page, on);
  });
  QObject::connect(showOn, &QRadioButton::clicked, page,
                   [&editor] { SetVisibilityMode(editor, true); });
  QObject::connect(showOff, &QRadioButton::clicked, page,
                   [&editor] { SetVisibilityMode(editor, false); });
}

void LoadVisibilityBlock(QWidget* page, UiElemProtEditor& editor, const VisibilityBlock& block) {
  const auto anchored = editor.GetAnchored();
  const auto io = anchored ? anchored->GetIo() : nullptr;
  const NsQlElemIo::BaseIoData* data = io ? io->GetBaseIoDataConst() : nullptr;
  const bool enabled = data != nullptr && data->enableVisib;
  const bool showWhenTrue = data != nullptr && data->showWhenTrue;

  block.enable->setChecked(enabled);
  block.showOn->setChecked(showWhenTrue);
  block.showOff->setChecked(!showWhenTrue);

  CConfirmEditCtrl& edit = *block.address;
  ResetConfirmEdit(edit);
  edit.setText(QString::fromStdString(GetVisibilityAddressText(anchored)));
  edit.validator = [&editor](const std::string&, const std::string& text, std::string& message) {
    return ValidateVisibilityAddress(GetAnchoredHost(editor.selection), text, message);
  };
  edit.formatter = [&editor](const std::string&, std::string& text) {
    text = NsTermination::NormalizeDeviceAddress(text);
    SetVisibilityAddress(editor, text);
  };
  EnableVisibilityControls(page, enabled);
}

bool ValidateVisibilityAddress(const std::shared_ptr<TUiHost>& anchored, const std::string& text,
                               std::string& message) {
  if (!anchored) {
    message = "系统错误: 无效的控件.";
    return false;
  }
  std::string trimmed = text;
  NsTermination::TrimBlanks(trimmed);
  if (trimmed.empty()) {
    message = "可见性控制地址不能为空.";
    return false;
  }
  const NsTermination::AddrCheckCode code =
      NsTermination::CheckDeviceAddressKind(text, NsTermination::kKindBit);
  if (code == NsTermination::kAddrOk) return true;
  message = NsTermination::GetAddrCheckMessage(code);
  return false;
}

void SetVisibilityAddress(UiElemProtEditor& editor, const std::string& address) {
  editor.ApplyToBaseIoData(FollowUp::Revalidate,
                           [&](NsQlElemIo::BaseIoData& data) { data.addressForVisib = address; });
}

void SetVisibilityEnabled(UiElemProtEditor& editor, bool enabled) {
  editor.ApplyToBaseIoData(FollowUp::Check,
                           [&](NsQlElemIo::BaseIoData& data) { data.enableVisib = enabled; });
}

void SetVisibilityMode(UiElemProtEditor& editor, bool showWhenTrue) {
  editor.ApplyToBaseIoData(FollowUp::None,
                           [&](NsQlElemIo::BaseIoData& data) { data.showWhenTrue = showWhenTrue; });
}

void EnableVisibilityControls(QWidget* page, bool on) {
  if (QWidget* edit = NsWui::GetDlgItem(page, VisibilityBlock::IDC_ADDRESS)) edit->setEnabled(on);
  const std::pair<int, const char*> radios[] = {{VisibilityBlock::IDC_RADIO1, "IDC_RADIO1"},
                                                {VisibilityBlock::IDC_RADIO2, "IDC_RADIO2"}};
  for (const auto& [id, symbol] : radios) {
    if (QWidget* radio = NsWui::GetDlgItem(page, id)) {
      radio->setEnabled(on);
    } else {
      NsWui::GetUiServices().MessageBox(page, NsPlatform::StrFormat("无效的 Item id: %s.", symbol),
                                        "提示", NsWui::MB_ICONERROR);
    }
  }
}

void ResetConfirmEdit(CConfirmEditCtrl& edit) {
  edit.ShowButtons(false);
  edit.editing = false;
  edit.saved = false;
  edit.buttonsEnabled = false;
  edit.leaveOnFocusLoss = true;
  edit.SyncEditText();
}

}  // namespace NsOvrin
