#include "dialogs/CDlgTextInfo.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include "dialogs/OpacitySlider.h"
#include "dialogs/ProtFillers.h"
#include "platform/Format.h"
#include "wui/CColorButton.h"
#include "wui/CMtRadioButton.h"
#include "wui/DlgItem.h"
#include "wui/UiServices.h"

namespace NsOvrin {

using NsQlUiElem::MultStateItem;
using NsWui::CColorButton;
using NsWui::CMtRadioButton;

namespace {

template <class T>
T* Make(QWidget* parent, int id, const QRect& rect) {
  auto* control = new T(parent);
  NsWui::SetDlgItemId(control, id);
  control->setGeometry(rect);
  return control;
}

QLabel* MakeStatic(QWidget* parent, const char* text, const QRect& rect) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setGeometry(rect);
  return label;
}

// The small eye that marks the opacity slider.
QLabel* MakeEye(QWidget* parent, int x, int y) {
  QPixmap eye(14, 9);
  eye.fill(Qt::transparent);
  {
    QPainter painter(&eye);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x60, 0x68, 0x70), 1.0));
    painter.drawEllipse(QRectF(0.5, 0.5, 13.0, 8.0));
    painter.setBrush(QColor(0x60, 0x68, 0x70));
    painter.drawEllipse(QRectF(4.5, 2.0, 5.0, 5.0));
  }
  auto* label = new QLabel(parent);
  label->setPixmap(eye);
  label->setGeometry(x, y, 14, 9);
  return label;
}

}  // namespace

CDlgTextInfo::CDlgTextInfo(const std::string& valueText, QWidget* parent)
    : NsWui::CModalDialog(parent), valueText(valueText), item(NsQlUiElem::DefaultMultStateItem()) {
  Build();
}

CDlgTextInfo::CDlgTextInfo(const std::string& valueText, const MultStateItem& item,
                           QWidget* parent)
    : NsWui::CModalDialog(parent), valueText(valueText), item(item), editMode(true) {
  Build();
}

void CDlgTextInfo::Build() {
  setWindowTitle(QStringLiteral("文本属性"));
  constexpr int kLeft = 15;
  constexpr int kField = 100;
  constexpr int kWidth = 357;

  MakeStatic(this, "对应的数字:", QRect(kLeft, 16, 80, 20));
  Make<QLineEdit>(this, IDC_VALUE, QRect(kField, 14, kWidth - kField - kLeft, 22));
  MakeStatic(this, "文字:", QRect(kLeft, 48, 80, 20));
  text_ = Make<QLineEdit>(this, IDC_TEXT, QRect(kField, 46, kWidth - kField - kLeft, 22));

  textColour_ = Make<CColorButton>(this, IDC_TEXT_COLOR, QRect(kLeft, 82, 130, 28));
  textColour_->setText(QStringLiteral("文字颜色"));
  MakeStatic(this, "字体尺寸:", QRect(170, 86, 70, 20));
  fontSize_ = Make<QComboBox>(this, IDC_FONT_SIZE, QRect(244, 85, 80, 22));

  bkColour_ = Make<CColorButton>(this, IDC_BK_COLOR, QRect(kLeft, 118, 130, 28));
  bkColour_->setText(QStringLiteral("背景颜色"));
  MakeEye(this, 170, 128);
  opacity_ = Make<OpacitySlider>(this, IDC_OPACITY, QRect(190, 122, 150, 20));

  hAlign_ = Make<CMtRadioButton>(this, IDC_HALIGN, QRect(kLeft, 160, kWidth - 2 * kLeft, 26));
  vAlign_ = Make<CMtRadioButton>(this, IDC_VALIGN, QRect(kLeft, 196, kWidth - 2 * kLeft, 26));

  auto* ok = Make<QPushButton>(this, IDC_OK, QRect(kWidth - 190, 290, 80, 28));
  ok->setText(QStringLiteral("确定"));
  ok->setDefault(true);
  auto* cancel = Make<QPushButton>(this, IDC_CANCEL, QRect(kWidth - 100, 290, 80, 28));
  cancel->setText(QStringLiteral("取消"));
  cancel->setAutoDefault(false);
  connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  connect(text_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!loading) item.text = text.toStdString();
  });
  connect(fontSize_, &QComboBox::activated, this, [this] {
    item.fontSize = LeadingInt(fontSize_->currentText().toStdString()) * 10;
  });
  // Taken only when the slider lets the mouse go.
  opacity_->released = [this](int pos) { item.bkOpacity = static_cast<float>(pos) / 100.0f; };

  setFixedSize(kWidth, 335);
}

void CDlgTextInfo::OnInitDialog() {
  loading = true;
  FillFontSizeCombo(*fontSize_);

  if (auto* value = NsWui::DlgItem<QLineEdit>(this, IDC_VALUE)) {
    value->setText(QString::fromStdString(valueText.empty() ? std::string("0") : valueText));
    value->setEnabled(!editMode);
  } else {
    NsWui::GetUiServices().MessageBox(this, NsPlatform::StrFormat("无效的 Item id: %s.", "IDC_EDIT4"),
                                      "提示", NsWui::MB_ICONERROR);
  }
  text_->setText(QString::fromStdString(item.text));

  textColour_->swatchColour = item.textColour;
  textColour_->update();
  textColour_->colourListener = [this](uint32_t colour) { item.textColour = colour; };
  bkColour_->swatchColour = item.bkColour;
  bkColour_->update();
  bkColour_->colourListener = [this](uint32_t colour) { item.bkColour = colour; };

  SelectFontSize(*fontSize_, item.fontSize);
  opacity_->setRange(0, 100);
  opacity_->setValue(OpacityToSliderPos(item.bkOpacity));

  FillHAlignSelector(*hAlign_, item.horizontalAlignment);
  FillVAlignSelector(*vAlign_, item.verticalAlignment);
  hAlign_->selectionListener = [this](uint16_t index, uint16_t) {
    item.horizontalAlignment = index;
  };
  vAlign_->selectionListener = [this](uint16_t index, uint16_t) { item.verticalAlignment = index; };
  loading = false;
}

void CDlgTextInfo::OnOK() {
  // An existing state keeps its value.
  if (editMode) {
    accept();
    return;
  }
  auto* value = NsWui::DlgItem<QLineEdit>(this, IDC_VALUE);
  valueText = value ? value->text().trimmed().toStdString() : std::string();
  // The balloon's title carries the reason.
  if (valueText.empty()) {
    if (value) NsWui::GetUiServices().ShowBalloonTip(value, "数据不能为空!", "提示");
    return;
  }
  std::string error;
  if (validator && !validator(valueText, error)) {
    if (value) NsWui::GetUiServices().ShowBalloonTip(value, error, "提示");
    return;
  }
  accept();
}

}  // namespace NsOvrin
