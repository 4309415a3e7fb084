#include "dialogs/ButtonLookGroup.h"

#include <QComboBox>
#include <QLineEdit>

#include "QlUiElem/QlUiButton.h"
#include "dialogs/ButtonLookOps.h"
#include "dialogs/OpacitySlider.h"
#include "dialogs/ProtDialog.h"
#include "dialogs/ProtFillers.h"
#include "wui/CColorButton.h"
#include "wui/DlgItem.h"

namespace NsOvrin {

using NsQlUiElem::QlUiButton;
using NsWui::CColorButton;

namespace {

template <class T>
T* Make(QWidget* parent, int id, const QRect& rect) {
  auto* control = new T(parent);
  NsWui::SetDlgItemId(control, id);
  control->setGeometry(rect);
  return control;
}

CColorButton* MakeColourButton(QWidget* parent, int id, const char* text, int y) {
  auto* button = Make<CColorButton>(parent, id, QRect(ProtDialog::kMargin, y, 130, 28));
  button->setText(QString::fromUtf8(text));
  return button;
}

}  // namespace

ButtonLookGroup::ButtonLookGroup(ProtDialog* page, UiElemProtEditor& editor, const bool& loading,
                                 int* y)
    : editor_(editor) {
  int top = page->AddGroup(IDC_LINE, IDC_CAPTION, "文字", *y);
  text = Make<QLineEdit>(page, IDC_TEXT, QRect(ProtDialog::kMargin, top, ProtDialog::kInnerWidth, 22));
  top += 30;
  textColour = MakeColourButton(page, IDC_TEXT_COLOR, "文字颜色", top);
  fontSize = Make<QComboBox>(page, IDC_FONT_SIZE, QRect(170, top + 3, 80, 22));
  borderColour = MakeColourButton(page, IDC_BORDER_COLOR, "边框颜色", top + 32);
  bkColour = MakeColourButton(page, IDC_BK_COLOR, "背景颜色", top + 64);
  page->AddEyeBitmap(150, top + 74);
  opacity = Make<OpacitySlider>(page, IDC_OPACITY, QRect(170, top + 68, 140, 20));
  *y = top + 98;

  QObject::connect(text, &QLineEdit::textChanged, page, [this, &loading](const QString& value) {
    if (loading) return;
    ApplyButtonText(editor_, value.toStdString());
  });
  QObject::connect(fontSize, &QComboBox::activated, page, [this] {
    ApplyFontSize(editor_, LeadingInt(fontSize->currentText().toStdString()) * 10);
  });
  opacity->released = [this](int pos) { ApplyOpacity(editor_, static_cast<float>(pos) / 100.0f); };
}

void ButtonLookGroup::OnInitDialog() { FillFontSizeCombo(*fontSize); }

void ButtonLookGroup::Bind() {
  const auto anchored = editor_.GetAnchored();
  const auto ui = anchored ? std::dynamic_pointer_cast<QlUiButton>(anchored->GetUi()) : nullptr;

  text->setText(QString::fromStdString(ui ? ui->data.text : std::string()));

  if (anchored) {
    textColour->swatchColour = ui ? ui->data.textColour : 0;
    textColour->update();
    textColour->colourListener = [this](uint32_t colour) { ApplyTextColour(editor_, colour); };
    SelectFontSize(*fontSize, ui ? ui->data.fontSize : 100);
    bkColour->swatchColour = ui ? ui->data.bkColour : 0;
    bkColour->update();
    bkColour->colourListener = [this](uint32_t colour) { ApplyBackColour(editor_, colour); };
    borderColour->swatchColour = ui ? ui->data.borderColour : 0;
    borderColour->update();
    borderColour->colourListener = [this](uint32_t colour) { ApplyBorderColour(editor_, colour); };
  } else {
    fontSize->setCurrentIndex(-1);
  }

  opacity->setValue(OpacityToSliderPos(ui ? ui->data.bkOpacity : 1.0f));
}

}  // namespace NsOvrin
