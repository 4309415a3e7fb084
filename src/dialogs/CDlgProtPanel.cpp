#include "dialogs/CDlgProtPanel.h"

#include <QComboBox>
#include <QLineEdit>

#include "QlUiElem/QlUiPanel.h"
#include "dialogs/ProtFillers.h"
#include "wui/CColorButton.h"
#include "wui/DlgItem.h"

namespace NsOvrin {

using NsQlUiElem::QlUiPanel;
using NsWui::CColorButton;

namespace {

template <class T>
T* Make(QWidget* parent, int id, const QRect& rect) {
  auto* control = new T(parent);
  NsWui::SetDlgItemId(control, id);
  control->setGeometry(rect);
  return control;
}

CColorButton* MakeColourButton(QWidget* parent, int id, const char* text, int x, int y) {
  auto* button = Make<CColorButton>(parent, id, QRect(x, y, 130, 28));
  button->setText(QString::fromUtf8(text));
  return button;
}

// The record a panel placed without settings has.
const QlUiPanel& DefaultPanel() {
  static const QlUiPanel panel;
  return panel;
}

}  // namespace

CDlgProtPanel::CDlgProtPanel(QWidget* parent) : ProtDialog(parent, *this) {
  int y = AddGroup(IDC_LINE_TITLE, IDC_CAPTION_TITLE, "标题", 4);
  title_ = Make<QLineEdit>(this, IDC_TITLE, QRect(kMargin, y, kInnerWidth, 22));
  y += 30;
  textColour_ = MakeColourButton(this, IDC_TEXT_COLOR, "标题颜色", kMargin, y);
  fontSize_ = Make<QComboBox>(this, IDC_FONT_SIZE, QRect(170, y + 3, 80, 22));
  y += 34;
  titleBkColour_ = MakeColourButton(this, IDC_TITLE_BK_COLOR, "标题背景", kMargin, y);
  y += 34;
  borderColour_ = MakeColourButton(this, IDC_BORDER_COLOR, "边框颜色", kMargin, y);
  bkColour_ = MakeColourButton(this, IDC_BK_COLOR, "面板背景", 170, y);
  y += 36;

  y = AddGroup(IDC_LINE_VISIB, IDC_CAPTION_VISIB, "可见性", y);
  visibility_ = std::make_unique<VisibilityBlock>(this, *this, kMargin, y, kInnerWidth);
  y += VisibilityBlock::kHeight;

  connect(title_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (loading) return;
    const std::string title = text.toStdString();
    ApplyToRecords<QlUiPanel>(FollowUp::None, [&](QlUiPanel& ui) {
      // The outline has rounded top corners only under a title bar.
      if (ui.title.empty() != title.empty()) ui.ReleaseGeometry();
      ui.title = title;
    });
  });
  connect(fontSize_, &QComboBox::activated, this, [this] {
    const int32_t size = LeadingInt(fontSize_->currentText().toStdString()) * 10;
    ApplyToRecords<QlUiPanel>(FollowUp::None, [&](QlUiPanel& ui) { ui.fontSize = size; });
  });

  OnInitDialog();
  MeasureContent(y + 6);
}

void CDlgProtPanel::OnInitDialog() { FillFontSizeCombo(*fontSize_); }

void CDlgProtPanel::Bind(const Selection& elems) {
  selection = elems;
  const auto anchored = GetAnchored();
  const auto ui = anchored ? std::dynamic_pointer_cast<QlUiPanel>(anchored->GetUi()) : nullptr;
  const QlUiPanel& shown = ui ? *ui : DefaultPanel();
  loading = true;

  title_->setText(QString::fromStdString(ui ? ui->title : std::string()));

  const std::pair<CColorButton*, uint32_t QlUiPanel::*> colours[] = {
      {textColour_, &QlUiPanel::textColour},
      {titleBkColour_, &QlUiPanel::titleBkColour},
      {borderColour_, &QlUiPanel::borderColour},
      {bkColour_, &QlUiPanel::bkColour}};
  for (const auto& [button, field] : colours) {
    button->swatchColour = shown.*field;
    button->update();
    button->colourListener = [this, field = field](uint32_t colour) {
      ApplyToRecords<QlUiPanel>(FollowUp::None, [&](QlUiPanel& p) { p.*field = colour; });
    };
  }

  if (anchored) {
    SelectFontSize(*fontSize_, shown.fontSize);
  } else {
    fontSize_->setCurrentIndex(-1);
  }

  LoadVisibilityBlock(this, *this, *visibility_);
  loading = false;
}

void CDlgProtPanel::Hide() { hide(); }

}  // namespace NsOvrin
