#include "dialogs/CDlgProtString.h"

#include <QCheckBox>
#include <QLineEdit>

#include "QlDev/AddrCheckCode.h"
#include "QlDev/DataTypeFlag.h"
#include "common/UiValidation.h"
#include "dialogs/ProtFillers.h"
#include "element_io/QlStringIo.h"
#include "platform/Format.h"
#include "termination/AddrBinder.h"
#include "termination/ChannelManager.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"

namespace NsOvrin {

using NsQlElemEditor::QlEHostElem;
using NsQlElemIo::QlStringIo;
using NsWui::CConfirmEditCtrl;

namespace {

template <class T>
T* Make(QWidget* parent, int id, const QRect& rect) {
  auto* control = new T(parent);
  NsWui::SetDlgItemId(control, id);
  control->setGeometry(rect);
  return control;
}

std::shared_ptr<QlStringIo> StringIoOf(const std::shared_ptr<QlEHostElem>& host) {
  return host ? std::dynamic_pointer_cast<QlStringIo>(host->GetIo()) : nullptr;
}

}  // namespace

bool CDlgProtString::ValidateLength(const std::string& text, std::string& message) {
  UiRule rule("字符串长度");
  rule.AddSegment(new NsUiRule::UiRuleSegRequired);
  rule.AddSegment(new NsUiRule::UiRuleSegUIntRange(2, 100, NsUiRule::kBoundBoth));
  if (!rule.Check(text, message)) return false;
  if (LeadingInt(text) % 2 != 0) {
    message = "字符长度必须是偶数.";
    return false;
  }
  return true;
}

bool CDlgProtString::BindStartAddress(QlStringIo& io, const std::string& address) {
  // A trial binding of a copy: the binding itself is touched only when the
  // address binds, so a refused one keeps its previous address.
  std::string text = address;
  OneWayWrapper<NsTermination::Node> node;
  NsTermination::TermAddr addr;
  std::shared_ptr<NsTermination::TaskReadData> task;
  uint16_t offset = 0;
  NsTermination::AddrBinder trial;
  trial.node = &node;
  trial.addr = &addr;
  trial.dataType = NsTermination::kTypeString;
  trial.task = &task;
  trial.offset = &offset;
  const bool bound = NsTermination::BindAddress(text, trial);
  NsTermination::ReleaseReadTaskRef(task);
  if (!bound) return false;

  io.address = text;
  io.Bind();
  io.ApplyLength();
  io.UpdateAddressText();
  io.forceRefresh = true;
  return true;
}

CDlgProtString::CDlgProtString(QWidget* parent) : ProtDialog(parent, *this) {
  int y = 4;
  look_ = std::make_unique<EditLookGroups>(this, *this, &y);

  y = AddGroup(IDC_LINE_DATA, IDC_CAPTION_DATA, "数据", y);
  readOnly_ = Make<QCheckBox>(this, IDC_READ_ONLY, QRect(kMargin, y, 120, 20));
  readOnly_->setText(QStringLiteral("只读数据"));
  y += 26;
  const int editWidth = kInnerWidth - 74 - NsWui::CConfirmEditBase::kButtonsWidth;
  AddStatic("地址:", QRect(kMargin, y + 2, 70, 20));
  address_ = Make<CConfirmEditCtrl>(this, IDC_ADDRESS, QRect(84, y, editWidth, 22));
  y += 28;
  AddStatic("字符长度:", QRect(kMargin, y + 2, 70, 20));
  length_ = Make<CConfirmEditCtrl>(this, IDC_LENGTH, QRect(84, y, editWidth, 22));
  y += 28;
  AddStatic("最终范围:", QRect(kMargin, y + 2, 70, 20));
  auto* range = Make<QLineEdit>(this, IDC_RANGE, QRect(84, y, kInnerWidth - 74, 22));
  range->setReadOnly(true);
  range->setFrame(false);
  y += 32;

  y = AddGroup(IDC_LINE_VISIB, IDC_CAPTION_VISIB, "可见性", y);
  visibility_ = std::make_unique<VisibilityBlock>(this, *this, kMargin, y, kInnerWidth);
  y += VisibilityBlock::kHeight;

  connect(readOnly_, &QCheckBox::clicked, this, [this] {
    const bool on = readOnly_->isChecked();
    ApplyToBindings<QlStringIo>(FollowUp::Check, [&](QlStringIo& io) { io.readOnly = on; });
  });

  OnInitDialog();
  MeasureContent(y + 6);
}

CDlgProtString::~CDlgProtString() = default;

void CDlgProtString::OnInitDialog() { look_->OnInitDialog(); }

void CDlgProtString::Bind(const Selection& elems) {
  selection = elems;
  const auto io = StringIoOf(GetAnchored());

  look_->Bind();
  readOnly_->setChecked(io && io->readOnly);

  ResetConfirmEdit(*address_);
  address_->setText(QString::fromStdString(io ? io->GetRangeText() : std::string()));
  address_->validator = [](const std::string&, const std::string& text, std::string& message) {
    const NsTermination::AddrCheckCode code = NsTermination::CheckDeviceAddress(text, true);
    if (code == NsTermination::kAddrOk) return true;
    message = NsTermination::GetAddrCheckMessage(code);
    return false;
  };
  address_->formatter = [this](const std::string&, std::string& text) {
    text = NsTermination::NormalizeDeviceAddress(text);
    const std::string start = text;
    ForEachSelectedHost(FollowUp::Revalidate, [&](QlEHostElem& host) {
      const auto each = std::dynamic_pointer_cast<QlStringIo>(host.GetIo());
      if (!each) return false;
      BindStartAddress(*each, start);
      return true;
    });
    ShowRange();
    NotifyChanged();
  };

  ResetConfirmEdit(*length_);
  length_->setText(QString::fromStdString(NsPlatform::StrFormat("%u", io ? io->length : 2u)));
  length_->validator = [](const std::string&, const std::string& text, std::string& message) {
    return ValidateLength(text, message);
  };
  length_->formatter = [this](const std::string&, std::string& text) {
    const auto length = static_cast<uint16_t>(LeadingInt(text));
    ForEachSelectedHost(FollowUp::None, [&](QlEHostElem& host) {
      const auto each = std::dynamic_pointer_cast<QlStringIo>(host.GetIo());
      if (!each) return false;
      each->length = length;
      each->ApplyLength();
      each->UpdateAddressText();
      each->forceRefresh = true;
      return true;
    });
    ShowRange();
    NotifyChanged();
  };

  ShowRange();
  LoadVisibilityBlock(this, *this, *visibility_);
}

void CDlgProtString::ShowRange() {
  const auto io = StringIoOf(GetAnchored());
  if (auto* range = NsWui::DlgItem<QLineEdit>(this, IDC_RANGE)) {
    range->setText(QString::fromStdString(io ? io->address : std::string()));
  }
}

}  // namespace NsOvrin
