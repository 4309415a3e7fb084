#include "dialogs/CDlgProtPageTo.h"

#include <algorithm>

#include <QComboBox>
#include <QPushButton>

#include "QlUiElem/QlUiButton.h"
#include "dialogs/ButtonLookOps.h"
#include "dialogs/ProtFillers.h"
#include "element_io/QlPageToIo.h"
#include "platform/Format.h"
#include "wui/DlgItem.h"
#include "wui/MfcEditBrowse.h"
#include "wui/UiServices.h"

namespace NsOvrin {

using NsQlElemEditor::QlEHostElem;
using NsQlElemIo::QlPageToIo;
using NsQlUiElem::QlUiButton;

namespace {

template <class T>
T* Make(QWidget* parent, int id, const QRect& rect) {
  auto* control = new T(parent);
  NsWui::SetDlgItemId(control, id);
  control->setGeometry(rect);
  return control;
}

std::shared_ptr<QlPageToIo> PageToIoOf(const std::shared_ptr<QlEHostElem>& host) {
  return host ? std::dynamic_pointer_cast<QlPageToIo>(host->GetIo()) : nullptr;
}

}  // namespace

CDlgProtPageTo::CDlgProtPageTo(QWidget* parent) : ProtDialog(parent, *this) {
  int y = 4;
  look_ = std::make_unique<ButtonLookGroup>(this, *this, loading, &y);

  y = AddGroup(IDC_LINE_STYLE, IDC_CAPTION_STYLE, "按钮样式", y);
  style_ = Make<QComboBox>(this, IDC_STYLE, QRect(kMargin, y, 130, 22));
  y += 28;
  AddStatic("图片样式:", QRect(kMargin, y + 2, 70, 20));
  imageFit_ = Make<QComboBox>(this, IDC_IMAGE_FIT, QRect(84, y, 130, 22));
  y += 28;
  AddStatic("图片:", QRect(kMargin, y + 2, 70, 20));
  image_ = Make<NsWui::MfcEditBrowse>(this, IDC_IMAGE, QRect(84, y, kInnerWidth - 74 - 30, 22));
  image_->EnableFileBrowseButton(std::string());
  auto* clear = Make<QPushButton>(this, IDC_CLEAR_IMAGE, QRect(kMargin + kInnerWidth - 26, y, 26, 22));
  clear->setText(QStringLiteral("X"));
  y += 32;

  y = AddGroup(IDC_LINE_JUMP, IDC_CAPTION_JUMP, "页面转跳", y);
  jumpType_ = Make<QComboBox>(this, IDC_JUMP_TYPE, QRect(kMargin, y, 150, 22));
  // The item index is the jump type.
  for (const char* text : {"前一个页面", "返回主页", "指定页面"}) jumpType_->addItem(QString::fromUtf8(text));
  jumpType_->setCurrentIndex(-1);
  y += 28;
  auto* pages = Make<QComboBox>(this, IDC_COMBO6, QRect(kMargin, y, 150, 22));
  y += 32;

  y = AddGroup(IDC_LINE_LEVEL, IDC_CAPTION_LEVEL, "权限", y);
  userLevel_ = Make<QComboBox>(this, IDC_USER_LEVEL, QRect(kMargin, y, 120, 22));
  y += 30;

  y = AddGroup(IDC_LINE_VISIB, IDC_CAPTION_VISIB, "可见性", y);
  visibility_ = std::make_unique<VisibilityBlock>(this, *this, kMargin, y, kInnerWidth);
  y += VisibilityBlock::kHeight;

  connect(style_, &QComboBox::activated, this, [this] {
    if (style_->currentIndex() < 0) return;
    ApplyButtonStyle(*this, style_->currentData().toInt());
  });
  connect(imageFit_, &QComboBox::activated, this, [this] {
    if (imageFit_->currentIndex() < 0) return;
    ApplyPictureFit(*this, imageFit_->currentData().toInt());
  });
  connect(image_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (loading) return;
    ApplyButtonPicture(*this, text.toStdString());
  });
  connect(clear, &QPushButton::clicked, this, [this] {
    // Emptying an empty edit raises no change of its own.
    if (image_->text().isEmpty()) {
      ApplyButtonPicture(*this, std::string());
    } else {
      image_->setText(QString());
    }
  });
  connect(jumpType_, &QComboBox::activated, this, [this] {
    const int type = jumpType_->currentIndex();
    if (type < 0) return;
    ApplyToBindings<QlPageToIo>(FollowUp::Check, [&](QlPageToIo& io) { io.jumpType = type; });
    EnablePageList(type == NsQlElemIo::kPageJumpNamed);
    if (type == NsQlElemIo::kPageJumpNamed) RefillPageList();
  });
  connect(pages, &QComboBox::activated, this, [this, pages] {
    const std::string name = pages->currentText().toStdString();
    ApplyToBindings<QlPageToIo>(FollowUp::Check, [&](QlPageToIo& io) { io.targetPage = name; });
  });
  connect(userLevel_, &QComboBox::activated, this, [this] {
    if (loading) return;
    ApplyPermission(*this, SelectedLevel(*userLevel_));
  });

  OnInitDialog();
  MeasureContent(y + 6);
  PageListener::Register(this);
}

CDlgProtPageTo::~CDlgProtPageTo() {
  // No notification may reach a page that is going away.
  auto& registry = PageListener::GetRegistry();
  registry.erase(std::remove(registry.begin(), registry.end(), static_cast<PageListener*>(this)),
                 registry.end());
}

void CDlgProtPageTo::OnInitDialog() {
  look_->OnInitDialog();
  FillUserLevelCombo(*userLevel_);
}

void CDlgProtPageTo::Bind(const Selection& elems) {
  selection = elems;
  const auto anchored = GetAnchored();
  const auto ui = anchored ? std::dynamic_pointer_cast<QlUiButton>(anchored->GetUi()) : nullptr;
  loading = true;

  look_->Bind();
  FillButtonStyleCombo(*style_, ui ? ui->data.borderStyle : 0);
  FillImageFitCombo(*imageFit_, ui ? ui->data.imageStyle : 0);
  image_->setText(QString::fromStdString(ui ? ui->data.imagePath : std::string()));
  LoadJumpTarget();
  SelectComboByData(*userLevel_, ui ? ui->data.accessPermission : 0);
  LoadVisibilityBlock(this, *this, *visibility_);

  loading = false;
}

void CDlgProtPageTo::LoadJumpTarget() {
  const auto anchored = GetAnchored();
  if (!anchored) return;
  const auto io = PageToIoOf(anchored);
  const int32_t type = io ? io->jumpType : NsQlElemIo::kPageJumpHome;
  EnablePageList(type == NsQlElemIo::kPageJumpNamed);
  // Another stored value leaves the list as it was.
  if (type >= 0 && type < jumpType_->count()) jumpType_->setCurrentIndex(type);
  if (type == NsQlElemIo::kPageJumpNamed) RefillPageList();
}

void CDlgProtPageTo::EnablePageList(bool on) {
  if (QWidget* pages = NsWui::GetDlgItem(this, IDC_COMBO6)) {
    pages->setEnabled(on);
    return;
  }
  NsWui::GetUiServices().MessageBox(this, NsPlatform::StrFormat("无效的 Item id: %s.", "IDC_COMBO6"),
                                    "提示", NsWui::MB_ICONERROR);
}

std::string CDlgProtPageTo::SoleTarget() const {
  if (selection.size() != 1 || !selection.front()) return std::string();
  const auto host = std::dynamic_pointer_cast<QlEHostElem>(selection.front()->host);
  const auto io = PageToIoOf(host);
  return io ? io->targetPage : std::string();
}

void CDlgProtPageTo::FillPageList(const std::string& selected) {
  if (auto* pages = NsWui::DlgItem<QComboBox>(this, IDC_COMBO6)) FillPageNameCombo(*pages, selected);
}

void CDlgProtPageTo::RefillPageList() {
  if (!isVisible()) return;
  FillPageList(SoleTarget());
}

void CDlgProtPageTo::OnPageAdded(const std::string& /*name*/) { RefillPageList(); }

void CDlgProtPageTo::OnPageDeleted(const std::string& /*name*/) { RefillPageList(); }

void CDlgProtPageTo::OnPageRenamed(const std::string& oldName, const std::string& newName) {
  if (!isVisible()) return;
  // The button's host may hear of the rename after this page does: a
  // target still of the old name is the renamed page.
  std::string target = SoleTarget();
  if (target == oldName) target = newName;
  FillPageList(target);
}

}  // namespace NsOvrin
