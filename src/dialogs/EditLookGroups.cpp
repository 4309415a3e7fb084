#include "dialogs/EditLookGroups.h"

#include <QComboBox>

#include "QlUiElem/QlUiEdit.h"
#include "dialogs/OpacitySlider.h"
#include "dialogs/ProtDialog.h"
#include "dialogs/ProtFillers.h"
#include "wui/CColorButton.h"
#include "wui/CMtRadioButton.h"
#include "wui/DlgItem.h"

namespace NsOvrin {

using NsQlUiElem::QlUiEdit;
using NsWui::CColorButton;
using NsWui::CMtRadioButton;
using FollowUp = UiElemProtEditor::FollowUp;

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

EditLookGroups::EditLookGroups(ProtDialog* page, UiElemProtEditor& editor, int* y)
    : editor_(editor) {
  int top = page->AddGroup(IDC_LINE_TEXT, IDC_CAPTION_TEXT, "文字", *y);
  textColour = MakeColourButton(page, IDC_TEXT_COLOR, "文字颜色", top);
  fontSize = Make<QComboBox>(page, IDC_FONT_SIZE, QRect(170, top + 3, 80, 22));
  borderColour = MakeColourButton(page, IDC_BORDER_COLOR, "边框颜色", top + 32);
  bkColour = MakeColourButton(page, IDC_BK_COLOR, "背景颜色", top + 64);
  page->AddEyeBitmap(150, top + 74);
  opacity = Make<OpacitySlider>(page, IDC_OPACITY, QRect(170, top + 68, 140, 20));
  top += 98;

  top = page->AddGroup(IDC_LINE_ALIGN, IDC_CAPTION_ALIGN, "对齐", top);
  hAlign = Make<CMtRadioButton>(page, IDC_HALIGN, QRect(ProtDialog::kMargin, top,
                                                         ProtDialog::kInnerWidth, 26));
  top += 34;

  top = page->AddGroup(IDC_LINE_LEVEL, IDC_CAPTION_LEVEL, "权限", top);
  userLevel = Make<QComboBox>(page, IDC_USER_LEVEL, QRect(ProtDialog::kMargin, top, 120, 22));
  top += 30;
  *y = top;

  QObject::connect(fontSize, &QComboBox::activated, page, [this] {
    const int32_t size = LeadingInt(fontSize->currentText().toStdString()) * 10;
    editor_.ApplyToRecords<QlUiEdit>(FollowUp::None,
                                     [&](QlUiEdit& ui) { ui.textBox.fontSize = size; });
  });
  opacity->released = [this](int pos) {
    const float value = static_cast<float>(pos) / 100.0f;
    editor_.ApplyToRecords<QlUiEdit>(FollowUp::None, [&](QlUiEdit& ui) { ui.bkOpacity = value; });
  };
  QObject::connect(userLevel, &QComboBox::activated, page, [this] {
    // Nothing selected counts as the first item.
    const int index = userLevel->currentIndex();
    const int32_t level = userLevel->itemData(index >= 0 ? index : 0).toInt();
    editor_.ApplyToRecords<QlUiEdit>(FollowUp::Revalidate,
                                     [&](QlUiEdit& ui) { ui.accessPermission = level; });
  });
}

void EditLookGroups::OnInitDialog() {
  FillFontSizeCombo(*fontSize);
  FillUserLevelCombo(*userLevel);
}

void EditLookGroups::Bind() {
  const auto anchored = editor_.GetAnchored();
  const auto ui = anchored ? std::dynamic_pointer_cast<QlUiEdit>(anchored->GetUi()) : nullptr;

  textColour->swatchColour = ui ? ui->textBox.colour : 0;
  bkColour->swatchColour = ui ? ui->bkColor : 0;
  borderColour->swatchColour = ui ? ui->borderColor : 0;
  for (CColorButton* button : {textColour, bkColour, borderColour}) button->update();
  textColour->colourListener = [this](uint32_t colour) {
    editor_.ApplyToRecords<QlUiEdit>(FollowUp::None, [&](QlUiEdit& e) { e.textBox.colour = colour; });
  };
  bkColour->colourListener = [this](uint32_t colour) {
    editor_.ApplyToRecords<QlUiEdit>(FollowUp::None, [&](QlUiEdit& e) { e.bkColor = colour; });
  };
  borderColour->colourListener = [this](uint32_t colour) {
    editor_.ApplyToRecords<QlUiEdit>(FollowUp::None, [&](QlUiEdit& e) { e.borderColor = colour; });
  };

  opacity->setValue(OpacityToSliderPos(ui ? ui->bkOpacity : 1.0f));

  FillHAlignSelector(*hAlign, ui ? ui->textBox.horizontalAlignment : 0);
  hAlign->selectionListener = [this](uint16_t index, uint16_t) {
    editor_.ApplyToRecords<QlUiEdit>(FollowUp::None,
                                     [&](QlUiEdit& e) { e.textBox.horizontalAlignment = index; });
  };

  SelectComboByData(*userLevel, ui ? ui->accessPermission : 0);
  SelectFontSize(*fontSize, ui ? ui->textBox.fontSize : 100);
}

}  // namespace NsOvrin
