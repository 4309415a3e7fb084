#include "dialogs/CDlgProtImage.h"

#include <QComboBox>

#include "QlUiElem/QlUiImage.h"
#include "dialogs/ProtFillers.h"
#include "wui/DlgItem.h"
#include "wui/MfcEditBrowse.h"

namespace NsOvrin {

using NsQlUiElem::QlUiImage;
using NsWui::MfcEditBrowse;

namespace {

template <class T>
T* Make(QWidget* parent, int id, const QRect& rect) {
  auto* control = new T(parent);
  NsWui::SetDlgItemId(control, id);
  control->setGeometry(rect);
  return control;
}

}  // namespace

CDlgProtImage::CDlgProtImage(QWidget* parent) : ProtDialog(parent, *this) {
  int y = AddGroup(IDC_LINE_IMAGE, IDC_CAPTION_IMAGE, "图片", 4);
  AddStatic("样式:", QRect(kMargin, y + 2, 70, 20));
  style_ = Make<QComboBox>(this, IDC_STYLE, QRect(84, y, 120, 22));
  y += 30;
  AddStatic("图片文件:", QRect(kMargin, y + 2, 70, 20));
  file_ = Make<MfcEditBrowse>(this, IDC_FILE, QRect(84, y, kInnerWidth - 74, 22));
  y += 34;

  y = AddGroup(IDC_LINE_VISIB, IDC_CAPTION_VISIB, "可见性", y);
  visibility_ = std::make_unique<VisibilityBlock>(this, *this, kMargin, y, kInnerWidth);
  y += VisibilityBlock::kHeight;

  connect(style_, &QComboBox::activated, this, [this](int index) {
    if (index < 0) return;
    const int32_t fit = style_->itemData(index).toInt();
    ApplyToRecords<QlUiImage>(FollowUp::None, [&](QlUiImage& ui) { ui.imageStyle = fit; });
  });
  // Every typed character, and a browsed path once; the check puts a
  // picture without an existing file into error.
  connect(file_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (loading) return;
    const std::string path = text.toStdString();
    ApplyToRecords<QlUiImage>(FollowUp::Check, [&](QlUiImage& ui) { ui.imagePath = path; });
  });

  OnInitDialog();
  MeasureContent(y + 6);
}

void CDlgProtImage::OnInitDialog() { file_->EnableFileBrowseButton(kImageFilter); }

void CDlgProtImage::Bind(const Selection& elems) {
  selection = elems;
  const auto anchored = GetAnchored();
  const auto ui = anchored ? std::dynamic_pointer_cast<QlUiImage>(anchored->GetUi()) : nullptr;
  loading = true;

  FillImageFitCombo(*style_, ui ? ui->imageStyle : 0);
  file_->setText(QString::fromStdString(ui ? ui->imagePath : std::string()));
  // The content size stays the layout's: measured from the pane, a short
  // pane could no longer scroll down to the lower controls.

  LoadVisibilityBlock(this, *this, *visibility_);
  loading = false;
}

void CDlgProtImage::Hide() { hide(); }

}  // namespace NsOvrin
