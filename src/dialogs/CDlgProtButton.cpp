#include "dialogs/CDlgProtButton.h"

#include <algorithm>
#include <cmath>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "QlDev/AddrCheckCode.h"
#include "QlDev/DataTypeFlag.h"
#include "QlUiElem/QlUiButton.h"
#include "common/UiValidation.h"
#include "dialogs/ButtonLookOps.h"
#include "dialogs/DecimalText.h"
#include "dialogs/OpacitySlider.h"
#include "dialogs/ProtFillers.h"
#include "dialogs/ProtValidators.h"
#include "element_io/QlButtonIo.h"
#include "platform/Format.h"
#include "termination/AddrBinder.h"
#include "termination/ChannelManager.h"
#include "wui/CColorButton.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"
#include "wui/MfcEditBrowse.h"
#include "wui/UiServices.h"

namespace NsOvrin {

using NsPlatform::StrFormat;
using NsQlElemEditor::QlEHostElem;
using NsQlElemIo::QlButtonIo;
using NsQlUiElem::QlUiButton;
using NsWui::CColorButton;
using NsWui::CConfirmEditCtrl;
using NsWui::MfcEditBrowse;
namespace NsTerm = NsTermination;

namespace {

template <class T>
T* Make(QWidget* parent, int id, const QRect& rect) {
  auto* control = new T(parent);
  NsWui::SetDlgItemId(control, id);
  control->setGeometry(rect);
  return control;
}

CColorButton* MakeColourButton(QWidget* parent, int id, const char* text, const QRect& rect) {
  auto* button = Make<CColorButton>(parent, id, rect);
  button->setText(QString::fromUtf8(text));
  return button;
}

std::shared_ptr<QlButtonIo> ButtonIoOf(const std::shared_ptr<NsUiD2ElemEditor::TUiHost>& host) {
  const auto elem = std::dynamic_pointer_cast<QlEHostElem>(host);
  return elem ? std::dynamic_pointer_cast<QlButtonIo>(elem->GetIo()) : nullptr;
}

const char* const kButtonTypeNames[] = {"取反型按钮", "自复位型按钮", "设置ON按钮",
                                        "设置OFF按钮", "设置值按钮",   "仅显示状态"};

// Hold delays are typed in seconds, at most this many.
constexpr double kMaxHoldSeconds = 10.0;

}  // namespace

std::string GetButtonTypeName(int32_t type) {
  if (type < NsQlElemIo::kButtonToggle || type > NsQlElemIo::kButtonDisplayOnly) return {};
  return kButtonTypeNames[type];
}

std::string GetShownWriteAddress(const std::shared_ptr<NsUiD2ElemEditor::TUiHost>& host) {
  const auto io = ButtonIoOf(host);
  if (!io) return {};
  if (io->sameAsRead && io->buttonType == NsQlElemIo::kButtonMomentary) return io->readAddress;
  return io->writeAddress;
}

CDlgProtButton::CDlgProtButton(QWidget* parent) : ProtDialog(parent, *this) {
  const int fieldX = 84;
  const int fieldWidth = kInnerWidth - (fieldX - kMargin);
  const int editWidth = fieldWidth - NsWui::CConfirmEditBase::kButtonsWidth;
  const int browseWidth = fieldWidth - 30;
  const int clearX = kMargin + kInnerWidth - 26;

  int y = AddGroup(IDC_LINE_TYPE, IDC_CAPTION_TYPE, "按钮类型", 4);
  buttonType_ = Make<QComboBox>(this, IDC_BUTTON_TYPE, QRect(kMargin, y, 150, 22));
  y += 30;

  y = AddGroup(IDC_LINE_COMMON, IDC_CAPTION_COMMON, "通用", y);
  borderColour_ = MakeColourButton(this, IDC_BORDER_COLOR, "边框颜色", QRect(kMargin, y, 130, 28));
  fontSize_ = Make<QComboBox>(this, IDC_FONT_SIZE, QRect(170, y + 3, 80, 22));
  y += 34;
  AddStatic("背景透明:", QRect(kMargin, y + 2, 70, 20));
  AddEyeBitmap(fieldX, y + 6);
  opacity_ = Make<OpacitySlider>(this, IDC_OPACITY, QRect(fieldX + 20, y, 150, 20));
  opacity_->setTickPosition(QSlider::NoTicks);
  y += 28;
  AddStatic("图片样式:", QRect(kMargin, y + 2, 70, 20));
  imageFit_ = Make<QComboBox>(this, IDC_IMAGE_FIT, QRect(fieldX, y, 130, 22));
  y += 28;
  AddStatic("按钮样式:", QRect(kMargin, y + 2, 70, 20));
  style_ = Make<QComboBox>(this, IDC_STYLE, QRect(fieldX, y, 130, 22));
  y += 32;

  y = AddGroup(IDC_LINE_OFF, IDC_CAPTION_OFF, "OFF", y);
  text_ = Make<QLineEdit>(this, IDC_TEXT, QRect(kMargin, y, kInnerWidth, 22));
  y += 30;
  textColour_ = MakeColourButton(this, IDC_TEXT_COLOR, "文字颜色", QRect(kMargin, y, 130, 28));
  bkColour_ = MakeColourButton(this, IDC_BK_COLOR, "背景颜色", QRect(170, y, 130, 28));
  y += 34;
  AddStatic("图片:", QRect(kMargin, y + 2, 70, 20));
  image_ = Make<MfcEditBrowse>(this, IDC_IMAGE, QRect(fieldX, y, browseWidth, 22));
  image_->EnableFileBrowseButton(std::string());
  auto* clear = Make<QPushButton>(this, IDC_CLEAR_IMAGE, QRect(clearX, y, 26, 22));
  clear->setText(QStringLiteral("X"));
  y += 32;

  y = AddGroup(IDC_LINE_ON, IDC_CAPTION_ON, "ON", y);
  text2_ = Make<QLineEdit>(this, IDC_TEXT2, QRect(kMargin, y, kInnerWidth, 22));
  y += 30;
  textColour2_ = MakeColourButton(this, IDC_TEXT_COLOR2, "文字颜色", QRect(kMargin, y, 130, 28));
  bkColour2_ = MakeColourButton(this, IDC_BK_COLOR2, "背景颜色", QRect(170, y, 130, 28));
  y += 34;
  AddStatic("图片:", QRect(kMargin, y + 2, 70, 20));
  image2_ = Make<MfcEditBrowse>(this, IDC_IMAGE2, QRect(fieldX, y, browseWidth, 22));
  image2_->EnableFileBrowseButton(std::string());
  auto* clear2 = Make<QPushButton>(this, IDC_CLEAR_IMAGE2, QRect(clearX, y, 26, 22));
  clear2->setText(QStringLiteral("X"));
  y += 32;

  y = AddGroup(IDC_LINE_ADDRESS, IDC_CAPTION_ADDRESS, "读写地址", y);
  AddStatic("读地址:", QRect(kMargin, y + 2, 70, 20));
  readAddress_ = Make<CConfirmEditCtrl>(this, IDC_READ_ADDRESS, QRect(fieldX, y, editWidth, 22));
  y += 28;
  auto* same = Make<QCheckBox>(this, IDC_CHECK3, QRect(fieldX, y, 160, 20));
  same->setText(QStringLiteral("读写同一个地址"));
  y += 26;
  AddStatic("写地址:", QRect(kMargin, y + 2, 70, 20));
  writeAddress_ = Make<CConfirmEditCtrl>(this, IDC_WRITE_ADDRESS, QRect(fieldX, y, editWidth, 22));
  y += 32;

  y = AddGroup(IDC_LINE_SAFETY, IDC_CAPTION_SAFETY, "安全", y);
  userLevel_ = Make<QComboBox>(this, IDC_USER_LEVEL, QRect(kMargin, y, 120, 22));
  y += 28;
  NsWui::SetDlgItemId(AddStatic("长按延时(秒):", QRect(kMargin, y + 2, 90, 20)), IDC_HOLD_DELAY_LABEL);
  holdDelay_ = Make<CConfirmEditCtrl>(this, IDC_HOLD_DELAY, QRect(fieldX + 20, y, editWidth - 20, 22));
  y += 32;

  y = AddGroup(IDC_LINE_PRESET, IDC_CAPTION_PRESET, "写入常量", y);
  dataType_ = Make<QComboBox>(this, IDC_DATA_TYPE, QRect(kMargin, y, 170, 22));
  y += 28;
  presetLabel_ = AddStatic("写入值:", QRect(kMargin, y + 2, 70, 20));
  NsWui::SetDlgItemId(presetLabel_, IDC_PRESET_LABEL);
  preset_ = Make<CConfirmEditCtrl>(this, IDC_PRESET, QRect(fieldX, y, editWidth, 22));
  y += 32;

  y = AddGroup(IDC_LINE_VISIB, IDC_CAPTION_VISIB, "可见性", y);
  visibility_ = std::make_unique<VisibilityBlock>(this, *this, kMargin, y, kInnerWidth);
  y += VisibilityBlock::kHeight;

  connect(buttonType_, &QComboBox::activated, this, [this] { OnButtonTypeChosen(); });
  connect(style_, &QComboBox::activated, this, [this] {
    if (style_->currentIndex() < 0) return;
    ApplyButtonStyle(*this, style_->currentData().toInt());
  });
  connect(fontSize_, &QComboBox::activated, this, [this] {
    ApplyFontSize(*this, LeadingInt(fontSize_->currentText().toStdString()) * 10);
  });
  connect(imageFit_, &QComboBox::activated, this, [this] {
    if (imageFit_->currentIndex() < 0) return;
    ApplyPictureFit(*this, imageFit_->currentData().toInt());
  });
  connect(userLevel_, &QComboBox::activated, this, [this] {
    if (loading) return;
    ApplyPermission(*this, SelectedLevel(*userLevel_));
  });
  connect(dataType_, &QComboBox::activated, this, [this] {
    if (dataType_->currentIndex() < 0) return;
    const auto flag = static_cast<uint16_t>(dataType_->currentData().toInt());
    ApplyToBindings<QlButtonIo>(FollowUp::Check, [&](QlButtonIo& io) { io.dataType = flag; });
    preset_->setText(QString::fromStdString(FormatPresetValue()));
  });
  opacity_->released = [this](int pos) { ApplyOpacity(*this, static_cast<float>(pos) / 100.0f); };
  connect(text_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (loading) return;
    ApplyButtonText(*this, text.toStdString());
  });
  connect(text2_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (loading) return;
    const std::string value = text.toStdString();
    ApplyToRecords<QlUiButton>(FollowUp::None, [&](QlUiButton& ui) { ui.data.text2 = value; });
  });
  ConnectPicture(image_, clear, false);
  ConnectPicture(image2_, clear2, true);
  connect(same, &QCheckBox::clicked, this, [this, same] {
    const bool on = same->isChecked();
    ApplyToBindings<QlButtonIo>(FollowUp::Check, [&](QlButtonIo& io) { io.sameAsRead = on; });
    writeAddress_->setEnabled(!on);
  });

  OnInitDialog();
  MeasureContent(y + 6);
}

CDlgProtButton::~CDlgProtButton() = default;

void CDlgProtButton::OnInitDialog() {
  FillFontSizeCombo(*fontSize_);
  for (int32_t type = NsQlElemIo::kButtonToggle; type <= NsQlElemIo::kButtonDisplayOnly; ++type) {
    buttonType_->addItem(QString::fromUtf8(kButtonTypeNames[type]), QVariant(type));
  }
  buttonType_->setCurrentIndex(-1);
  FillUserLevelCombo(*userLevel_);
}

void CDlgProtButton::ConnectPicture(MfcEditBrowse* edit, QPushButton* clear, bool second) {
  const auto apply = [this, second](const std::string& path) {
    if (!second) {
      ApplyButtonPicture(*this, path);
      return;
    }
    ApplyToRecords<QlUiButton>(FollowUp::Check, [&](QlUiButton& ui) { ui.data.imagePath2 = path; });
  };
  connect(edit, &QLineEdit::textChanged, this, [this, apply](const QString& text) {
    if (loading) return;
    apply(text.toStdString());
  });
  connect(clear, &QPushButton::clicked, this, [edit, apply] {
    // Emptying an empty edit raises no change of its own, yet every
    // selected button must still lose its picture.
    if (edit->text().isEmpty()) {
      apply(std::string());
    } else {
      edit->setText(QString());
    }
  });
}

void CDlgProtButton::Bind(const Selection& elems) {
  selection = elems;
  const auto anchored = GetAnchored();
  const auto ui = anchored ? std::dynamic_pointer_cast<QlUiButton>(anchored->GetUi()) : nullptr;
  const auto io = ButtonIoOf(anchored);
  loading = true;

  text_->setText(QString::fromStdString(ui ? ui->data.text : std::string()));
  text2_->setText(QString::fromStdString(ui ? ui->data.text2 : std::string()));

  const std::pair<CColorButton*, uint32_t> colours[] = {
      {textColour_, ui ? ui->data.textColour : 0},   {textColour2_, ui ? ui->data.textColour2 : 0},
      {bkColour_, ui ? ui->data.bkColour : 0},       {bkColour2_, ui ? ui->data.bkColour2 : 0},
      {borderColour_, ui ? ui->data.borderColour : 0}};
  for (const auto& [button, colour] : colours) {
    button->swatchColour = colour;
    button->update();
  }
  textColour_->colourListener = [this](uint32_t colour) { ApplyTextColour(*this, colour); };
  textColour2_->colourListener = [this](uint32_t colour) {
    ApplyToRecords<QlUiButton>(FollowUp::None, [&](QlUiButton& b) { b.data.textColour2 = colour; });
  };
  bkColour_->colourListener = [this](uint32_t colour) { ApplyBackColour(*this, colour); };
  bkColour2_->colourListener = [this](uint32_t colour) {
    ApplyToRecords<QlUiButton>(FollowUp::None, [&](QlUiButton& b) { b.data.bkColour2 = colour; });
  };
  borderColour_->colourListener = [this](uint32_t colour) { ApplyBorderColour(*this, colour); };

  SelectFontSize(*fontSize_, ui ? ui->data.fontSize : 100);
  FillButtonStyleCombo(*style_, ui ? ui->data.borderStyle : 0);
  opacity_->setValue(OpacityToSliderPos(ui ? ui->data.bkOpacity : 1.0f));
  FillImageFitCombo(*imageFit_, ui ? ui->data.imageStyle : 0);
  image_->setText(QString::fromStdString(ui ? ui->data.imagePath : std::string()));
  image2_->setText(QString::fromStdString(ui ? ui->data.imagePath2 : std::string()));

  const int32_t type = io ? io->buttonType : NsQlElemIo::kButtonToggle;
  ComboSelectString(*buttonType_, GetButtonTypeName(type));
  ShowPresetControls(type == NsQlElemIo::kButtonSetValue);

  ResetConfirmEdit(*holdDelay_);
  holdDelay_->setText(QString::fromStdString(StrFormat("%.1f", ui ? ui->data.holdDelay / 10.0 : 0.0)));
  holdDelay_->validator = [this](const std::string&, const std::string& text, std::string& message) {
    return ValidateHoldDelay(text, message);
  };
  holdDelay_->formatter = [this](const std::string&, std::string& text) { ApplyHoldDelay(text); };

  SelectComboByData(*userLevel_, ui ? ui->data.accessPermission : 0);

  const bool sameAsRead = io && io->sameAsRead;
  if (auto* same = NsWui::DlgItem<QCheckBox>(this, IDC_CHECK3)) same->setChecked(sameAsRead);

  ResetConfirmEdit(*readAddress_);
  readAddress_->setText(QString::fromStdString(io ? io->readAddress : std::string()));
  readAddress_->validator = [this](const std::string&, const std::string& text, std::string& message) {
    return ValidateReadAddress(text, message);
  };
  readAddress_->formatter = [this](const std::string&, std::string& text) {
    text = NsTerm::NormalizeDeviceAddress(text);
    SetReadAddress(text);
  };

  ResetConfirmEdit(*writeAddress_);
  writeAddress_->setEnabled(!sameAsRead);
  writeAddress_->setText(QString::fromStdString(GetShownWriteAddress(anchored)));
  writeAddress_->validator = [](const std::string&, const std::string& text, std::string& message) {
    return ValidateWriteAddress(text, message);
  };
  writeAddress_->formatter = [this](const std::string&, std::string& text) {
    text = NsTerm::NormalizeDeviceAddress(text);
    SetWriteAddress(text);
  };

  FillDataTypeCombo(*dataType_, io ? io->dataType : uint32_t{NsTerm::kTypeInt16});
  ResetConfirmEdit(*preset_);
  preset_->setText(QString::fromStdString(FormatPresetValue()));
  preset_->validator = [this](const std::string&, const std::string& text, std::string& message) {
    return ValidatePresetValue(text, message);
  };
  preset_->formatter = [this](const std::string&, std::string& text) { ApplyPresetValue(text); };

  LoadVisibilityBlock(this, *this, *visibility_);
  UpdateAddressControls(type);
  holdDelay_->setEnabled(type != NsQlElemIo::kButtonMomentary &&
                         type != NsQlElemIo::kButtonDisplayOnly);
  loading = false;
}

void CDlgProtButton::OnButtonTypeChosen() {
  if (buttonType_->currentIndex() < 0) return;
  const int32_t type = buttonType_->currentData().toInt();
  const bool setValue = type == NsQlElemIo::kButtonSetValue;
  ApplyToBindings<QlButtonIo>(FollowUp::Revalidate, [&](QlButtonIo& io) {
    io.buttonType = type;
    io.dataType = setValue ? uint16_t{NsTerm::kTypeUInt16} : uint16_t{NsTerm::kTypeBit};
  });
  // The data type list keeps what it showed: the user chooses the
  // constant's type there.
  ShowPresetControls(setValue);
  UpdateAddressControls(type);
  writeAddress_->setText(QString::fromStdString(GetShownWriteAddress(GetAnchored())));
  holdDelay_->setEnabled(type != NsQlElemIo::kButtonMomentary &&
                         type != NsQlElemIo::kButtonDisplayOnly);
}

void CDlgProtButton::ShowPresetControls(bool show) {
  dataType_->setVisible(show);
  preset_->setVisible(show);
  presetLabel_->setVisible(show);
}

void CDlgProtButton::UpdateAddressControls(int32_t type) {
  if (selection.empty()) return;
  auto* same = NsWui::DlgItem<QCheckBox>(this, IDC_CHECK3);
  if (same == nullptr) {
    NsWui::GetUiServices().MessageBox(this, StrFormat("无效的 Item id: %s.", "IDC_CHECK3"), "提示",
                                      NsWui::MB_ICONERROR);
  }
  const auto io = ButtonIoOf(GetAnchored());
  const bool sameAsRead = io && io->sameAsRead;
  switch (type) {
    case NsQlElemIo::kButtonMomentary:
      if (same) same->setEnabled(false);
      readAddress_->setEnabled(false);
      writeAddress_->setEnabled(true);
      break;
    case NsQlElemIo::kButtonDisplayOnly:
      // Shown as reading and writing one address; the binding is left as
      // it is.
      if (same) {
        same->setEnabled(false);
        same->setChecked(true);
      }
      readAddress_->setEnabled(true);
      writeAddress_->setEnabled(false);
      break;
    default:
      if (same) {
        same->setEnabled(true);
        same->setChecked(sameAsRead);
      }
      readAddress_->setEnabled(true);
      writeAddress_->setEnabled(!sameAsRead);
      break;
  }
}

void CDlgProtButton::SetReadAddress(const std::string& address) {
  ApplyToBindings<QlButtonIo>(FollowUp::Revalidate, [&](QlButtonIo& io) { io.readAddress = address; });
}

void CDlgProtButton::SetWriteAddress(const std::string& address) {
  // Decided once, by the anchored button, for every selected one.
  const auto anchoredIo = ButtonIoOf(GetAnchored());
  const bool alsoRead = anchoredIo && anchoredIo->sameAsRead;
  ApplyToBindings<QlButtonIo>(FollowUp::Revalidate, [&](QlButtonIo& io) {
    if (alsoRead) io.readAddress = address;
    io.writeAddress = address;
  });
}

bool CDlgProtButton::ValidateReadAddress(const std::string& text, std::string& message) const {
  const auto anchored = GetAnchored();
  if (!anchored) {
    message = "系统错误: 无效的控件.";
    return false;
  }
  const auto io = ButtonIoOf(anchored);
  std::string trimmed = text;
  NsTerm::TrimBlanks(trimmed);
  if (trimmed.empty()) {
    // Only buttons that write without reading may go without one.
    if (io && io->buttonType >= NsQlElemIo::kButtonMomentary &&
        io->buttonType <= NsQlElemIo::kButtonSetValue) {
      return true;
    }
    message = "读写地址不能为空.";
    return false;
  }
  const bool withBlock = io && !io->GetReadAddr().prefix.empty() && io->GetReadAddr().count != 0;
  const NsTerm::AddrCheckCode code = NsTerm::CheckDeviceAddress(text, withBlock);
  if (code == NsTerm::kAddrOk) return true;
  message = NsTerm::GetAddrCheckMessage(code);
  return false;
}

bool CDlgProtButton::ValidateWriteAddress(const std::string& text, std::string& message) {
  const NsTerm::AddrCheckCode code = NsTerm::CheckDeviceAddress(text, false);
  if (code == NsTerm::kAddrOk) return true;
  message = NsTerm::GetAddrCheckMessage(code);
  return false;
}

bool CDlgProtButton::ValidateHoldDelay(const std::string& text, std::string& message) const {
  if (!GetAnchored()) {
    message = "系统错误: 无效的控件.";
    return false;
  }
  UiRule rule("长按延时");
  rule.AddSegment(new NsUiRule::UiRuleSegFloatRange(0.0, kMaxHoldSeconds, NsUiRule::kBoundBoth, 1));
  return rule.Check(text, message);
}

int32_t CDlgProtButton::ChosenDataType() const {
  return dataType_->currentIndex() < 0 ? 0 : dataType_->currentData().toInt();
}

bool CDlgProtButton::ValidatePresetValue(const std::string& text, std::string& message) const {
  if (dataType_->currentIndex() < 0) {
    message = "请先选择数据类型.";
    return false;
  }
  switch (ChosenDataType()) {
    case NsTerm::kTypeInt16: return ValidateInt16Value(text, message);
    case NsTerm::kTypeUInt16: return ValidateUInt16Value(text, message);
    case NsTerm::kTypeInt32: return ValidateInt32Value(text, message);
    case NsTerm::kTypeUInt32: return ValidateUInt32Value(text, message);
    default: message = "无效的数据类型."; return false;
  }
}

std::string CDlgProtButton::FormatPresetValue() const {
  if (dataType_->currentIndex() < 0 || selection.empty()) return {};
  const auto io = ButtonIoOf(GetAnchored());
  const uint32_t value = io ? io->presetValue : 0;
  switch (ChosenDataType()) {
    case NsTerm::kTypeInt16: return StrFormat("%d", static_cast<int16_t>(value & 0xFFFF));
    case NsTerm::kTypeUInt16: return StrFormat("%u", value & 0xFFFF);
    case NsTerm::kTypeInt32: return StrFormat("%d", static_cast<int32_t>(value));
    case NsTerm::kTypeUInt32: return StrFormat("%u", value);
    default: return "0";
  }
}

void CDlgProtButton::ApplyPresetValue(const std::string& text) {
  if (dataType_->currentIndex() < 0) return;
  uint32_t stored = 0;
  switch (ChosenDataType()) {
    case NsTerm::kTypeInt16:
    case NsTerm::kTypeUInt16:
      // Kept as 16 bits: -5 is stored as its two's complement word.
      stored = static_cast<uint16_t>(LeadingInt(text));
      break;
    case NsTerm::kTypeInt32: stored = static_cast<uint32_t>(LeadingInt(text)); break;
    case NsTerm::kTypeUInt32: stored = NsPlatform::ParseDecimalU32Saturating(text); break;
    default: return;
  }
  ApplyToBindings<QlButtonIo>(FollowUp::None, [&](QlButtonIo& io) { io.presetValue = stored; });
}

void CDlgProtButton::ApplyHoldDelay(const std::string& text) {
  const double tenths = std::floor(ParseDecimalText(text) * 10.0 + 0.5);
  // The rule keeps the value within 0..10 s; the word never wraps whatever.
  const auto stored = static_cast<uint16_t>(std::clamp(tenths, 0.0, 65535.0));
  ApplyToRecords<QlUiButton>(FollowUp::None, [&](QlUiButton& ui) { ui.data.holdDelay = stored; });
}

}  // namespace NsOvrin
