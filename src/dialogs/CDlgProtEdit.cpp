#include "dialogs/CDlgProtEdit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>
#include <utility>

#include <QCheckBox>
#include <QComboBox>

#include "QlDev/AddrCheckCode.h"
#include "common/UiValidation.h"
#include "dialogs/ProtFillers.h"
#include "editor/QlEHostEdit.h"
#include "element_io/QlEditIo.h"
#include "platform/Format.h"
#include "termination/ChannelManager.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"

namespace NsOvrin {

using NsQlElemEditor::QlEHostEdit;
using NsQlElemEditor::QlEHostElem;
using NsQlElemIo::QlEditIo;
using NsWui::CConfirmEditCtrl;

namespace {

template <class T>
T* Make(QWidget* parent, int id, const QRect& rect) {
  auto* control = new T(parent);
  NsWui::SetDlgItemId(control, id);
  control->setGeometry(rect);
  return control;
}

QCheckBox* MakeCheck(QWidget* parent, int id, const char* text, const QRect& rect) {
  auto* box = Make<QCheckBox>(parent, id, rect);
  box->setText(QString::fromUtf8(text));
  return box;
}

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::shared_ptr<QlEditIo> EditIoOf(const std::shared_ptr<QlEHostElem>& host) {
  return host ? std::dynamic_pointer_cast<QlEditIo>(host->GetIo()) : nullptr;
}

}  // namespace

int64_t CDlgProtEdit::LimitTextToValue(const std::string& text, uint8_t scale) {
  // Beyond every 32-bit value, and small enough to take one more digit.
  constexpr int64_t kCap = 10'000'000'000;
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  int64_t value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) value = std::min(value * 10 + (text[i] - '0'), kCap);
  if (scale > 0) {
    // The decimals are taken digit by digit: no binary fraction can make
    // 0.29 read as 0.28.
    const bool hasFraction = i < text.size() && text[i] == '.';
    if (hasFraction) ++i;
    for (int taken = 0; taken < scale; ++taken) {
      int digit = 0;
      if (hasFraction && i < text.size() && IsDigit(text[i])) digit = text[i++] - '0';
      value = std::min(value * 10 + digit, kCap);
    }
  }
  return negative ? -value : value;
}

uint32_t CDlgProtEdit::LimitTextToRaw(const std::string& text, uint8_t scale) {
  // Anything from the signed minimum to the unsigned maximum fits the 32 raw
  // bits; beyond that it stops at the end.
  return static_cast<uint32_t>(std::clamp<int64_t>(LimitTextToValue(text, scale),
                                                   std::numeric_limits<int32_t>::min(),
                                                   std::numeric_limits<uint32_t>::max()));
}

bool CDlgProtEdit::GetLimitRange(uint16_t dataType, int64_t& low, int64_t& high) {
  using Limits = std::pair<int64_t, int64_t>;
  Limits range;
  switch (dataType) {
    case NsTermination::kTypeBit: range = {0, 1}; break;
    case NsTermination::kTypeInt16:
      range = {std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()};
      break;
    case NsTermination::kTypeUInt16: range = {0, std::numeric_limits<uint16_t>::max()}; break;
    case NsTermination::kTypeInt32:
      range = {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()};
      break;
    case NsTermination::kTypeUInt32: range = {0, std::numeric_limits<uint32_t>::max()}; break;
    default: return false;
  }
  std::tie(low, high) = range;
  return true;
}

bool CDlgProtEdit::CheckLimitRange(const std::string& text, uint16_t dataType, uint8_t scale,
                                   std::string& reason) {
  int64_t low = 0;
  int64_t high = 0;
  if (!GetLimitRange(dataType, low, high)) return true;
  const int64_t value = LimitTextToValue(text, scale);
  if (value >= low && value <= high) return true;
  if (scale == 0) {
    reason = low < 0 ? NsUiRule::FormatIntRangeError(NsUiRule::kBoundBoth, static_cast<int32_t>(low),
                                                     static_cast<int32_t>(high), "%d")
                     : NsUiRule::FormatIntRangeError(NsUiRule::kBoundBoth, static_cast<uint32_t>(low),
                                                     static_cast<uint32_t>(high), "%u");
  } else {
    const double divisor = std::pow(10.0, scale);
    const std::string numberFormat = NsPlatform::StrFormat("%%.%dlf", static_cast<int>(scale));
    reason = NsUiRule::FormatFloatRangeError(NsUiRule::kBoundBoth, static_cast<double>(low) / divisor,
                                             static_cast<double>(high) / divisor, numberFormat.c_str());
  }
  return false;
}

std::string CDlgProtEdit::LimitRawToText(uint32_t raw, uint16_t dataType, uint8_t scale) {
  // Read as the box reads a stored limit, but in whole digits: single
  // precision would show 429.4967295 as 429.4967296.
  const bool isSigned = dataType == NsTermination::kTypeInt16 || dataType == NsTermination::kTypeInt32;
  const int64_t value = isSigned ? int64_t{static_cast<int32_t>(raw)} : int64_t{raw};
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (scale > 0) {
    if (digits.size() <= scale) digits.insert(0, scale + 1 - digits.size(), '0');
    digits.insert(digits.size() - scale, ".");
  }
  return value < 0 ? "-" + digits : digits;
}

CDlgProtEdit::CDlgProtEdit(QWidget* parent)
    : ProtDialog(parent, *this), limitRule_(std::make_shared<UiRule>("最小值")) {
  limitRule_->AddSegment(new NsUiRule::UiRuleSegRequired);
  limitRule_->AddSegment(new NsUiRule::UiRuleSegFloatRange(0.0, 0.0, NsUiRule::kBoundNone, 7));

  int y = 4;
  look_ = std::make_unique<EditLookGroups>(this, *this, &y);

  y = AddGroup(IDC_LINE_DATA, IDC_CAPTION_DATA, "数据", y);
  AddStatic("数据类型:", QRect(kMargin, y + 2, 70, 20));
  dataType_ = Make<QComboBox>(this, IDC_DATA_TYPE, QRect(84, y, 170, 22));
  y += 28;
  AddStatic("小数位:", QRect(kMargin, y + 2, 70, 20));
  scale_ = Make<QComboBox>(this, IDC_SCALE, QRect(84, y, 80, 22));
  for (int i = 0; i <= 7; ++i) scale_->addItem(QString::number(i));
  y += 28;
  readOnly_ = MakeCheck(this, IDC_READ_ONLY, "只读数据", QRect(kMargin, y, 120, 20));
  y += 26;
  const int editWidth = kInnerWidth - 74 - NsWui::CConfirmEditBase::kButtonsWidth;
  enableMin_ = MakeCheck(this, IDC_ENABLE_MIN, "最小值", QRect(kMargin, y, 70, 22));
  min_ = Make<CConfirmEditCtrl>(this, IDC_MIN, QRect(84, y, editWidth, 22));
  min_->setEnabled(false);
  y += 28;
  enableMax_ = MakeCheck(this, IDC_ENABLE_MAX, "最大值", QRect(kMargin, y, 70, 22));
  max_ = Make<CConfirmEditCtrl>(this, IDC_MAX, QRect(84, y, editWidth, 22));
  max_->setEnabled(false);
  y += 28;
  AddStatic("地址:", QRect(kMargin, y + 2, 70, 20));
  address_ = Make<CConfirmEditCtrl>(this, IDC_ADDRESS, QRect(84, y, editWidth, 22));
  y += 32;

  y = AddGroup(IDC_LINE_VISIB, IDC_CAPTION_VISIB, "可见性", y);
  visibility_ = std::make_unique<VisibilityBlock>(this, *this, kMargin, y, kInnerWidth);
  y += VisibilityBlock::kHeight;

  connect(dataType_, &QComboBox::activated, this, [this] {
    if (dataType_->currentIndex() < 0) return;
    const auto flag = static_cast<uint16_t>(dataType_->currentData().toInt());
    ApplyToBindings<QlEditIo>(FollowUp::Check, [&](QlEditIo& io) {
      io.dataType = flag;
      io.forceRefresh = true;
    });
  });
  connect(scale_, &QComboBox::activated, this, [this] {
    if (scale_->currentIndex() < 0) return;
    const auto decimals = static_cast<uint8_t>(LeadingInt(scale_->currentText().toStdString()));
    ForEachSelectedHost(FollowUp::None, [&](QlEHostElem& host) {
      const auto io = std::dynamic_pointer_cast<QlEditIo>(host.GetIo());
      if (!io) return false;
      io->scale = decimals;
      io->forceRefresh = true;
      if (auto* edit = dynamic_cast<QlEHostEdit*>(&host)) edit->SetPendingRefresh(true);
      return true;
    });
    NotifyChanged();
    // The raw limits stay; they read anew with the new decimals.
    ShowLimits();
  });
  connect(readOnly_, &QCheckBox::clicked, this, [this] {
    const bool on = readOnly_->isChecked();
    ApplyToBindings<QlEditIo>(FollowUp::Check, [&](QlEditIo& io) {
      io.readOnly = on;
      io.forceRefresh = true;
    });
    UpdateLimitControls();
  });
  connect(enableMin_, &QCheckBox::clicked, this, [this] {
    const bool on = enableMin_->isChecked();
    ApplyToBindings<QlEditIo>(FollowUp::None, [&](QlEditIo& io) {
      io.enableMinVal = on;
      io.forceRefresh = true;
    });
    min_->setEnabled(on);
  });
  connect(enableMax_, &QCheckBox::clicked, this, [this] {
    const bool on = enableMax_->isChecked();
    ApplyToBindings<QlEditIo>(FollowUp::None, [&](QlEditIo& io) {
      io.enableMaxVal = on;
      io.forceRefresh = true;
    });
    max_->setEnabled(on);
  });

  OnInitDialog();
  MeasureContent(y + 6);
}

CDlgProtEdit::~CDlgProtEdit() = default;

void CDlgProtEdit::OnInitDialog() { look_->OnInitDialog(); }

void CDlgProtEdit::Bind(const Selection& elems) {
  selection = elems;
  const auto anchored = GetAnchored();
  const auto io = EditIoOf(anchored);

  look_->Bind();
  readOnly_->setChecked(io && io->readOnly);
  FillDataTypeCombo(*dataType_, io ? io->dataType : uint32_t{NsTermination::kTypeInt16});
  scale_->setCurrentIndex(io ? (io->scale < scale_->count() ? io->scale : -1) : 0);

  ResetConfirmEdit(*min_);
  ResetConfirmEdit(*max_);
  ShowLimits();
  SetUpLimitEdit(*min_, true);
  SetUpLimitEdit(*max_, false);

  ResetConfirmEdit(*address_);
  address_->setText(QString::fromStdString(io ? io->address : std::string()));
  address_->validator = [](const std::string&, const std::string& text, std::string& message) {
    const NsTermination::AddrCheckCode code = NsTermination::CheckDeviceAddress(text, true);
    if (code == NsTermination::kAddrOk) return true;
    message = NsTermination::GetAddrCheckMessage(code);
    return false;
  };
  address_->formatter = [this](const std::string&, std::string& text) {
    text = NsTermination::NormalizeDeviceAddress(text);
    const std::string& value = text;
    ApplyToBindings<QlEditIo>(FollowUp::Revalidate, [&](QlEditIo& e) { e.address = value; });
  };

  UpdateLimitControls();
  LoadVisibilityBlock(this, *this, *visibility_);
}

void CDlgProtEdit::ShowLimits() {
  const auto io = EditIoOf(GetAnchored());
  const auto text = [&io](int32_t limit) {
    return io ? LimitRawToText(static_cast<uint32_t>(limit), io->dataType, io->scale) : "0";
  };
  min_->setText(QString::fromStdString(text(io ? io->minVal : 0)));
  max_->setText(QString::fromStdString(text(io ? io->maxVal : 0)));
}

void CDlgProtEdit::SetUpLimitEdit(CConfirmEditCtrl& edit, bool isMin) {
  const std::shared_ptr<UiRule> rule = limitRule_;
  edit.validator = [this, rule](const std::string&, const std::string& text, std::string& message) {
    if (!rule->Check(text, message)) return false;
    // Beyond what the anchored box's data type holds, the stored bits would
    // read as another number.
    const auto anchoredIo = EditIoOf(GetAnchored());
    std::string reason;
    if (!anchoredIo || CheckLimitRange(text, anchoredIo->dataType, anchoredIo->scale, reason)) {
      return true;
    }
    message = NsPlatform::StrFormat("[%s] %s", rule->Name().c_str(), reason.c_str());
    return false;
  };
  edit.formatter = [this, isMin](const std::string&, std::string& text) {
    uint32_t raw = 0;
    if (const auto anchoredIo = EditIoOf(GetAnchored())) {
      raw = LimitTextToRaw(text, anchoredIo->scale);
      // What the edit shows is what is stored.
      text = LimitRawToText(raw, anchoredIo->dataType, anchoredIo->scale);
    }
    const auto value = static_cast<int32_t>(raw);
    ApplyToBindings<QlEditIo>(FollowUp::None, [&](QlEditIo& io) {
      (isMin ? io.minVal : io.maxVal) = value;
      io.forceRefresh = true;
    });
  };
}

void CDlgProtEdit::UpdateLimitControls() {
  const auto io = EditIoOf(GetAnchored());
  const bool readOnly = io && io->readOnly;
  const bool minOn = io && io->enableMinVal;
  const bool maxOn = io && io->enableMaxVal;
  enableMin_->setEnabled(!readOnly);
  enableMax_->setEnabled(!readOnly);
  enableMin_->setChecked(minOn);
  enableMax_->setChecked(maxOn);
  min_->setEnabled(!readOnly && minOn);
  max_->setEnabled(!readOnly && maxOn);
}

}  // namespace NsOvrin
