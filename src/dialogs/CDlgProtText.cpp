#include "dialogs/CDlgProtText.h"

#include <QComboBox>
#include <QLineEdit>

#include "QlUiElem/QlUiText.h"
#include "dialogs/OpacitySlider.h"
#include "dialogs/ProtFillers.h"
#include "wui/CColorButton.h"
#include "wui/CMtRadioButton.h"
#include "wui/DlgItem.h"

namespace NsOvrin {

using NsQlUiElem::QlUiText;
using NsWui::CColorButton;
using NsWui::CMtRadioButton;
using NsWui::SetDlgItemId;

namespace {

template <class T>
T* Make(QWidget* parent, int id, const QRect& rect) {
  auto* control = new T(parent);
  SetDlgItemId(control, id);
  control->setGeometry(rect);
  return control;
}

}  // namespace

CDlgProtText::CDlgProtText(QWidget* parent) : ProtDialog(parent, *this) {
  int y = AddGroup(IDC_LINE_TEXT, IDC_CAPTION_TEXT, "文字", 4);
  text_ = Make<QLineEdit>(this, IDC_TEXT, QRect(kMargin, y, kInnerWidth, 22));
  y += 30;
  textColour_ = Make<CColorButton>(this, IDC_TEXT_COLOR, QRect(kMargin, y, 130, 28));
  textColour_->setText(QStringLiteral("文字颜色"));
  fontSize_ = Make<QComboBox>(this, IDC_FONT_SIZE, QRect(170, y + 3, 80, 22));
  y += 34;
  bkColour_ = Make<CColorButton>(this, IDC_BK_COLOR, QRect(kMargin, y, 130, 28));
  bkColour_->setText(QStringLiteral("背景颜色"));
  AddEyeBitmap(150, y + 10);
  opacity_ = Make<OpacitySlider>(this, IDC_OPACITY, QRect(170, y + 4, 140, 20));
  y += 36;

  y = AddGroup(IDC_LINE_ALIGN, IDC_CAPTION_ALIGN, "对齐", y);
  hAlign_ = Make<CMtRadioButton>(this, IDC_HALIGN, QRect(kMargin, y, kInnerWidth, 26));
  y += 32;
  vAlign_ = Make<CMtRadioButton>(this, IDC_VALIGN, QRect(kMargin, y, kInnerWidth, 26));
  y += 34;

  y = AddGroup(IDC_LINE_VISIB, IDC_CAPTION_VISIB, "可见性", y);
  visibility_ = std::make_unique<VisibilityBlock>(this, *this, kMargin, y, kInnerWidth);
  y += VisibilityBlock::kHeight;

  connect(text_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (loading) return;
    const std::string value = text.toStdString();
    ApplyToRecords<QlUiText>(FollowUp::None, [&](QlUiText& ui) { ui.textBox.text = value; });
  });
  connect(fontSize_, &QComboBox::activated, this, [this] {
    const int32_t size = LeadingInt(fontSize_->currentText().toStdString()) * 10;
    ApplyToRecords<QlUiText>(FollowUp::None, [&](QlUiText& ui) { ui.textBox.fontSize = size; });
  });
  opacity_->released = [this](int pos) {
    const float opacity = static_cast<float>(pos) / 100.0f;
    ApplyToRecords<QlUiText>(FollowUp::None, [&](QlUiText& ui) { ui.bkOpacity = opacity; });
  };

  OnInitDialog();
  MeasureContent(y + 6);
}

void CDlgProtText::OnInitDialog() { FillFontSizeCombo(*fontSize_); }

void CDlgProtText::Bind(const Selection& elems) {
  selection = elems;
  const auto anchored = GetAnchored();
  const auto ui = anchored ? std::dynamic_pointer_cast<QlUiText>(anchored->GetUi()) : nullptr;
  loading = true;

  text_->setText(QString::fromStdString(ui ? ui->textBox.text : std::string()));

  textColour_->swatchColour = ui ? ui->textBox.colour : 0;
  textColour_->update();
  textColour_->colourListener = [this](uint32_t colour) {
    ApplyToRecords<QlUiText>(FollowUp::None, [&](QlUiText& t) { t.textBox.colour = colour; });
  };

  SelectFontSize(*fontSize_, ui ? ui->textBox.fontSize : 100);

  bkColour_->swatchColour = ui ? ui->bkColor : 0;
  bkColour_->update();
  bkColour_->colourListener = [this](uint32_t colour) {
    ApplyToRecords<QlUiText>(FollowUp::None, [&](QlUiText& t) { t.bkColor = colour; });
  };

  opacity_->setValue(OpacityToSliderPos(ui ? ui->bkOpacity : 1.0f));

  FillHAlignSelector(*hAlign_, ui ? ui->textBox.horizontalAlignment : 0);
  hAlign_->selectionListener = [this](uint16_t index, uint16_t) {
    ApplyToRecords<QlUiText>(FollowUp::None,
                             [&](QlUiText& t) { t.textBox.horizontalAlignment = index; });
  };
  FillVAlignSelector(*vAlign_, ui ? ui->textBox.verticalAlignment : 0);
  vAlign_->selectionListener = [this](uint16_t index, uint16_t) {
    ApplyToRecords<QlUiText>(FollowUp::None,
                             [&](QlUiText& t) { t.textBox.verticalAlignment = index; });
  };

  LoadVisibilityBlock(this, *this, *visibility_);
  loading = false;
}

}  // namespace NsOvrin
