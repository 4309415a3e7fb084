#include "dialogs/CDlgProtMultStateText.h"

#include <cstddef>
#include <limits>

#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include "QlDev/AddrCheckCode.h"
#include "QlDev/MemArea.h"
#include "QlUiElem/QlUiElemDef.h"
#include "common/UiValidation.h"
#include "dialogs/CDlgTextInfo.h"
#include "dialogs/ProtFillers.h"
#include "editor/QlEHostMultStateText.h"
#include "element_io/QlMultStateTextIo.h"
#include "platform/Format.h"
#include "termination/ChannelManager.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"
#include "wui/GridLineDelegate.h"
#include "wui/RtConfirmEdit.h"
#include "wui/UiServices.h"
#include "wui/WReportCtrl.h"

namespace NsOvrin {

using NsQlElemEditor::QlEHostElem;
using NsQlElemEditor::QlEHostMultStateText;
using NsQlElemIo::QlMultStateTextIo;
using NsQlUiElem::MultStateItem;
using NsQlUiElem::QlUiMultStateText;
using NsQlUiElem::ValueKind;
using NsWui::CConfirmEditCtrl;
using NsWui::WReportCtrl;

namespace {

template <class T>
T* Make(QWidget* parent, int id, const QRect& rect) {
  auto* control = new T(parent);
  NsWui::SetDlgItemId(control, id);
  control->setGeometry(rect);
  return control;
}

QPushButton* MakeButton(QWidget* parent, int id, const char* text, const QRect& rect) {
  auto* button = Make<QPushButton>(parent, id, rect);
  button->setText(QString::fromUtf8(text));
  button->setAutoDefault(false);
  return button;
}

constexpr int kRowHeight = 26;
constexpr const char* kNoAnchored = "系统错误: anchoredElem == nullptr";

bool IsKnownKind(ValueKind kind) {
  return kind >= NsQlUiElem::kValueInt16 && kind <= NsQlUiElem::kValueUInt32;
}

// Leading blanks, a sign and the digits up to the first other character;
// saturates far beyond 32 bits instead of wrapping.
int64_t ParseLeadingDecimal(const std::string& text) {
  constexpr int64_t kLimit = int64_t{1} << 40;
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value < kLimit) value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

std::shared_ptr<QlMultStateTextIo> IoOf(const std::shared_ptr<QlEHostElem>& host) {
  return host ? std::dynamic_pointer_cast<QlMultStateTextIo>(host->GetIo()) : nullptr;
}

}  // namespace

std::string CDlgProtMultStateText::NextStateValue(const QlMultStateTextIo* io) {
  if (io == nullptr || io->stateValues.empty()) return "0";
  const ValueKind kind = io->valueKind;
  const std::vector<uint32_t>& values = io->stateValues;
  uint32_t largest = values.front();
  for (const uint32_t value : values) {
    bool larger = false;
    switch (kind) {
      case NsQlUiElem::kValueInt16:
        larger = static_cast<int16_t>(value & 0xFFFFu) > static_cast<int16_t>(largest & 0xFFFFu);
        break;
      case NsQlUiElem::kValueUInt16: larger = (value & 0xFFFFu) > (largest & 0xFFFFu); break;
      case NsQlUiElem::kValueInt32:
        larger = static_cast<int32_t>(value) > static_cast<int32_t>(largest);
        break;
      case NsQlUiElem::kValueUInt32: larger = value > largest; break;
      default: break;
    }
    if (larger) largest = value;
  }
  uint32_t next = largest;
  if (kind == NsQlUiElem::kValueInt16 || kind == NsQlUiElem::kValueUInt16) {
    next = (largest + 1u) & 0xFFFFu;
  } else if (IsKnownKind(kind)) {
    next = largest + 1u;
  }
  return NsQlUiElem::FormatValueOfKind(kind, next);
}

uint32_t CDlgProtMultStateText::StateValueOfText(int32_t kind, const std::string& text) {
  // The unsigned double word takes its whole range; the others the signed
  // 32-bit range, as a state is looked up by its text.
  const int64_t high = kind == NsQlUiElem::kValueUInt32 ? std::numeric_limits<uint32_t>::max()
                                                         : std::numeric_limits<int32_t>::max();
  const int64_t low = std::numeric_limits<int32_t>::min();
  const int64_t parsed = ParseLeadingDecimal(text);
  const auto value = static_cast<uint32_t>(parsed < low ? low : parsed > high ? high : parsed);
  const bool is16 = kind == NsQlUiElem::kValueInt16 || kind == NsQlUiElem::kValueUInt16;
  return is16 ? (value & 0xFFFFu) : value;
}

CDlgProtMultStateText::CDlgProtMultStateText(QWidget* parent) : ProtDialog(parent, *this) {
  int y = AddGroup(IDC_LINE_DATA, IDC_CAPTION_DATA, "数据类型/地址", 4);
  dataType_ = Make<QComboBox>(this, IDC_DATA_TYPE, QRect(kMargin, y, 160, 22));
  y += 30;
  AddStatic("读状态地址:", QRect(kMargin, y + 2, 80, 20));
  const int editWidth = kInnerWidth - 84 - NsWui::CConfirmEditBase::kButtonsWidth;
  address_ = Make<CConfirmEditCtrl>(this, IDC_ADDRESS, QRect(94, y, editWidth, 22));
  y += 32;

  y = AddGroup(IDC_LINE_STATES, IDC_CAPTION_STATES, "多状态文字", y);
  QPushButton* add = MakeButton(this, IDC_ADD, "新 增", QRect(kMargin, y, 80, 26));
  QPushButton* editText = MakeButton(this, IDC_EDIT_TEXT, "编辑文字", QRect(100, y, 90, 26));
  editText->setEnabled(false);
  QPushButton* remove = MakeButton(this, IDC_DELETE, "删除勾选项", QRect(200, y, 110, 26));
  y += 32;
  states_ = Make<WReportCtrl>(this, IDC_STATES, QRect(kMargin, y, kInnerWidth, 260));
  y += 268;

  y = AddGroup(IDC_LINE_VISIB, IDC_CAPTION_VISIB, "可见性", y);
  visibility_ = std::make_unique<VisibilityBlock>(this, *this, kMargin, y, kInnerWidth);
  y += VisibilityBlock::kHeight;

  connect(dataType_, &QComboBox::activated, this, [this](int index) { OnDataTypeChanged(index); });
  connect(add, &QPushButton::clicked, this, [this] { OnAdd(); });
  connect(editText, &QPushButton::clicked, this, [this] { OnEditText(); });
  connect(remove, &QPushButton::clicked, this, [this] { OnDelete(); });
  connect(states_, &QTreeWidget::itemDoubleClicked, this, [this] { OnEditText(); });

  OnInitDialog();
  MeasureContent(y + 6);
}

CDlgProtMultStateText::~CDlgProtMultStateText() {
  // The editor and the click hook call into this page; they go first.
  states_->clickHook = nullptr;
  states_->DestroyEditors();
}

void CDlgProtMultStateText::OnInitDialog() {
  // A list view in report style: grid lines, a tick box per row, full-row
  // selection, rows 26 pixels high.
  states_->setSelectionMode(QAbstractItemView::SingleSelection);
  states_->setSelectionBehavior(QAbstractItemView::SelectRows);
  states_->setAllColumnsShowFocus(true);
  states_->setSortingEnabled(false);
  states_->header()->setSectionsClickable(false);
  states_->header()->setStretchLastSection(false);
  NsWui::ShowGridLines(*states_);
  states_->setColumnCount(3);
  states_->setHeaderLabels(
      {QStringLiteral("序号"), QStringLiteral("数据"), QStringLiteral("文字(可双击编辑)")});
  const std::pair<int, Qt::Alignment> columns[] = {
      {60, Qt::AlignLeft}, {70, Qt::AlignHCenter}, {180, Qt::AlignLeft}};
  for (int col = 0; col < 3; ++col) {
    states_->setColumnWidth(col, columns[col].first);
    states_->headerItem()->setTextAlignment(col, columns[col].second | Qt::AlignVCenter);
  }

  auto value = states_->MakeConfirmEdit();
  value->validator = [this](const std::string&, const std::string& text, std::string& message) {
    return ValidateCellValue(text, message);
  };
  value->changeHook = [this](std::string& text) { CommitCellValue(text); };
  states_->AddColumnEditor(kColValue, value, 0);
  states_->clickHook = [this](int item, int subItem) { return OnListClick(item, subItem); };
}

std::shared_ptr<QlEHostMultStateText> CDlgProtMultStateText::AnchoredText() const {
  return std::dynamic_pointer_cast<QlEHostMultStateText>(GetAnchored());
}

void CDlgProtMultStateText::Bind(const Selection& elems) {
  selection = elems;
  const auto anchored = GetAnchored();
  const auto io = IoOf(anchored);

  if (anchored) {
    dataType_->clear();
    for (const ValueKind kind : {NsQlUiElem::kValueInt16, NsQlUiElem::kValueUInt16,
                                 NsQlUiElem::kValueInt32, NsQlUiElem::kValueUInt32}) {
      dataType_->addItem(QString::fromStdString(NsQlUiElem::GetValueKindName(kind)),
                         QVariant(static_cast<int32_t>(kind)));
    }
    dataType_->setCurrentIndex(-1);
    ComboSelectString(*dataType_,
                      NsQlUiElem::GetValueKindName(io ? io->valueKind : NsQlUiElem::kValueInt16));

    ResetConfirmEdit(*address_);
    address_->setText(QString::fromStdString(io ? io->readAddress : std::string()));
    address_->validator = [](const std::string&, const std::string& text, std::string& message) {
      const NsTermination::AddrCheckCode code =
          NsTermination::CheckDeviceAddressKind(text, NsTermination::kKindWord);
      if (code == NsTermination::kAddrOk) return true;
      message = NsTermination::GetAddrCheckMessage(code);
      return false;
    };
    address_->formatter = [this](const std::string&, std::string& text) {
      text = NsTermination::NormalizeDeviceAddress(text);
      const std::string address = text;
      ApplyToBindings<QlMultStateTextIo>(
          FollowUp::Revalidate, [&](QlMultStateTextIo& each) { each.readAddress = address; });
    };
  }

  LoadVisibilityBlock(this, *this, *visibility_);
  FillStateList();
}

void CDlgProtMultStateText::Hide() {
  states_->EndEdit();
  UiElemProtEditor::Hide();
}

void CDlgProtMultStateText::FillStateList() {
  // An editor left open would write into a row of other states.
  states_->EndEdit();
  states_->clear();
  const auto host = AnchoredText();
  if (!host) return;
  const auto io = host->_qlIo;
  const auto ui = host->_qlUi;
  const std::size_t count = std::max(io ? io->stateValues.size() : 0, ui ? ui->states.size() : 0);
  for (std::size_t i = 0; i < count; ++i) {
    const auto index = static_cast<int32_t>(i);
    auto* row = new QTreeWidgetItem(
        states_, {QString::fromStdString(NsPlatform::StrFormat("%u", static_cast<unsigned>(i + 1))),
                  QString::fromStdString(host->GetStateValueText(index)),
                  QString::fromStdString(host->GetStateText(index))});
    row->setSizeHint(0, QSize(0, kRowHeight));
    for (int col = 0; col < 3; ++col) {
      row->setTextAlignment(col, Qt::Alignment(states_->headerItem()->textAlignment(col)));
    }
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    row->setCheckState(kColNumber, Qt::Unchecked);
  }
}

void CDlgProtMultStateText::OnDataTypeChanged(int index) {
  if (index < 0) return;
  const auto kind = static_cast<ValueKind>(dataType_->itemData(index).toInt());
  // The stored values stay as they are: they read anew under the kind.
  ForEachSelectedHost(FollowUp::None, [&](QlEHostElem& host) {
    const auto io = std::dynamic_pointer_cast<QlMultStateTextIo>(host.GetIo());
    if (!io) return false;
    io->valueKind = kind;
    io->forceRefresh = true;
    return true;
  });
  FillStateList();
  NotifyChanged();
}

bool CDlgProtMultStateText::OnListClick(int item, int subItem) {
  if (QWidget* button = NsWui::GetDlgItem(this, IDC_EDIT_TEXT)) {
    button->setEnabled(item >= 0 && (subItem == kColNumber || subItem == kColText));
  } else {
    NsWui::GetUiServices().MessageBox(
        this, NsPlatform::StrFormat("无效的 Item id: %s.", "IDC_BUTTON7"), "提示", NsWui::MB_ICONERROR);
  }
  // A click on a value goes on to its editor.
  return true;
}

bool CDlgProtMultStateText::CheckNewValue(const std::string& text, std::string& message) const {
  const auto anchored = GetAnchored();
  if (!anchored) {
    message = kNoAnchored;
    return false;
  }
  const auto io = IoOf(anchored);
  if (!io) return true;
  if (!ValidateDataTypeValue(io->valueKind, text, &message)) return false;
  if (io->FindStateByValueText(text)) {
    message = "数字已经存在, 请设置其它数字.";
    return false;
  }
  return true;
}

bool CDlgProtMultStateText::ValidateCellValue(const std::string& text, std::string& message) const {
  const auto anchored = GetAnchored();
  if (!anchored) {
    message = kNoAnchored;
    return false;
  }
  const auto io = IoOf(anchored);
  if (!io) return false;
  // Only the range: another state may hold the value already.
  return ValidateDataTypeValue(io->valueKind, text, &message);
}

void CDlgProtMultStateText::CommitCellValue(const std::string& text) {
  const int row = states_->editRow;
  ForEachSelectedHost(FollowUp::None, [&](QlEHostElem& host) {
    const auto io = std::dynamic_pointer_cast<QlMultStateTextIo>(host.GetIo());
    if (!io) return false;
    if (!IsKnownKind(io->valueKind) || !ValidateDataTypeValue(io->valueKind, text, nullptr)) {
      return false;
    }
    if (row < 0 || static_cast<std::size_t>(row) >= io->stateValues.size()) return false;
    io->stateValues[static_cast<std::size_t>(row)] = StateValueOfText(io->valueKind, text);
    return true;
  });
  NotifyChanged();
}

void CDlgProtMultStateText::OnAdd() {
  const auto anchored = AnchoredText();
  if (!anchored) return;
  CDlgTextInfo dialog(NextStateValue(anchored->_qlIo.get()), this);
  dialog.validator = [this](const std::string& text, std::string& message) {
    return CheckNewValue(text, message);
  };
  if (dialog.DoModal() != NsWui::IDOK) return;
  ForEachSelectedHost(FollowUp::None, [&](QlEHostElem& host) {
    auto* text = dynamic_cast<QlEHostMultStateText*>(&host);
    // An element that has the value already keeps its states.
    return text != nullptr && text->AddState(dialog.valueText, dialog.item);
  });
  NotifyChanged();
  FillStateList();
}

void CDlgProtMultStateText::OnEditText() {
  const auto anchored = AnchoredText();
  if (!anchored) return;
  int row = -1;
  for (int i = 0; i < states_->topLevelItemCount(); ++i) {
    if (states_->topLevelItem(i)->isSelected()) {
      row = i;
      break;
    }
  }
  if (row < 0) return;
  const std::string valueText = states_->GetCellText(row, kColValue);
  const auto& records = anchored->_qlUi;
  const MultStateItem& shown = records && static_cast<std::size_t>(row) < records->states.size()
                                   ? records->states[static_cast<std::size_t>(row)]
                                   : NsQlUiElem::DefaultMultStateItem();
  CDlgTextInfo dialog(valueText, shown, this);
  dialog.validator = [this](const std::string& text, std::string& message) {
    return CheckNewValue(text, message);
  };
  if (dialog.DoModal() != NsWui::IDOK) return;
  // The state of that value in each element, wherever it stands in its list.
  ForEachSelectedHost(FollowUp::None, [&](QlEHostElem& host) {
    const auto io = std::dynamic_pointer_cast<QlMultStateTextIo>(host.GetIo());
    const auto ui = std::dynamic_pointer_cast<QlUiMultStateText>(host.GetUi());
    if (!io || !ui) return false;
    int32_t index = -1;
    if (!io->FindStateByValueText(dialog.valueText, &index) || index < 0) return false;
    if (static_cast<std::size_t>(index) >= ui->states.size()) return false;
    ui->states[static_cast<std::size_t>(index)] = dialog.item;
    return true;
  });
  NotifyChanged();
  FillStateList();
}

void CDlgProtMultStateText::OnDelete() {
  bool anyTicked = false;
  for (int i = 0; i < states_->topLevelItemCount(); ++i) {
    if (states_->topLevelItem(i)->checkState(kColNumber) != Qt::Checked) continue;
    anyTicked = true;
    const std::string valueText = states_->GetCellText(i, kColValue);
    // By value, from both lists of each element.
    ForEachSelectedHost(FollowUp::None, [&](QlEHostElem& host) {
      auto* text = dynamic_cast<QlEHostMultStateText*>(&host);
      return text != nullptr && text->RemoveState(valueText);
    });
  }
  if (!anyTicked) return;
  FillStateList();
  NotifyChanged();
}

}  // namespace NsOvrin
