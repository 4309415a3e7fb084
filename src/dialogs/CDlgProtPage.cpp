#include "dialogs/CDlgProtPage.h"

#include <limits>

#include <QComboBox>

#include "common/UiValidation.h"
#include "dialogs/ButtonLookOps.h"
#include "dialogs/DecimalText.h"
#include "dialogs/ProtFillers.h"
#include "dialogs/VisibilityBlock.h"
#include "editor/QlEPage.h"
#include "platform/Format.h"
#include "project/ListenerRegistry.h"
#include "project/PageListener.h"
#include "project/QlEProject.h"
#include "wui/CColorButton.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"

namespace NsOvrin {

using NsPlatform::StrFormat;
using NsWui::CColorButton;
using NsWui::CConfirmEditCtrl;

namespace {

template <class T>
T* Make(QWidget* parent, int id, const QRect& rect) {
  auto* control = new T(parent);
  NsWui::SetDlgItemId(control, id);
  control->setGeometry(rect);
  return control;
}

// Pages are at least this wide and high.
constexpr double kMinPageSize = 20.0;

}  // namespace

CDlgProtPage::CDlgProtPage(QWidget* parent) : ProtDialog(parent, *this) {
  const int editWidth = kInnerWidth - NsWui::CConfirmEditBase::kButtonsWidth;
  int y = AddGroup(IDC_LINE_NAME, IDC_CAPTION_NAME, "页面名称", 4);
  name_ = Make<CConfirmEditCtrl>(this, IDC_NAME, QRect(kMargin, y, editWidth, 22));
  y += 32;

  y = AddGroup(IDC_LINE_SIZE, IDC_CAPTION_SIZE, "尺寸", y);
  colour_ = Make<CColorButton>(this, IDC_BK_COLOR, QRect(kMargin, y, 130, 28));
  colour_->setText(QStringLiteral("背景颜色"));
  y += 34;
  AddStatic("页面宽度:", QRect(kMargin, y + 2, 70, 20));
  width_ = Make<CConfirmEditCtrl>(this, IDC_WIDTH, QRect(84, y, editWidth - 74, 22));
  y += 28;
  AddStatic("页面高度:", QRect(kMargin, y + 2, 70, 20));
  height_ = Make<CConfirmEditCtrl>(this, IDC_HEIGHT, QRect(84, y, editWidth - 74, 22));
  y += 32;

  y = AddGroup(IDC_LINE_LEVEL, IDC_CAPTION_LEVEL, "权限", y);
  userLevel_ = Make<QComboBox>(this, IDC_USER_LEVEL, QRect(kMargin, y, 120, 22));
  y += 30;

  connect(userLevel_, &QComboBox::activated, this, [this] {
    if (!page) return;
    page->accessPermission = SelectedLevel(*userLevel_);
    NotifyChanged();
  });

  OnInitDialog();
  MeasureContent(y + 6);
}

void CDlgProtPage::OnInitDialog() { FillUserLevelCombo(*userLevel_); }

void CDlgProtPage::Bind(const std::shared_ptr<QlEPage>& edited) {
  page = edited;

  // The name edit shows its OK and Cancel buttons while editing.
  name_->ShowButtons(false);
  name_->editing = false;
  name_->saved = false;
  name_->buttonsEnabled = true;
  name_->leaveOnFocusLoss = true;
  name_->SyncEditText();
  name_->setText(QString::fromStdString(page ? page->name : std::string()));
  name_->validator = [this](const std::string&, const std::string& text, std::string& message) {
    return RenamePageName(text, message);
  };
  name_->formatter = [this](const std::string&, std::string& text) { StorePageName(text); };

  colour_->swatchColour = page ? static_cast<uint32_t>(page->backgroundColour) : kNoPageColour;
  colour_->update();
  colour_->colourListener = [this](uint32_t colour) { SetPageColour(colour); };

  ResetConfirmEdit(*width_);
  ResetConfirmEdit(*height_);
  if (page) {
    width_->setText(QString::fromStdString(StrFormat("%.1f", page->rect.right - page->rect.left)));
    height_->setText(QString::fromStdString(StrFormat("%.1f", page->rect.bottom - page->rect.top)));
  } else {
    width_->setText(QStringLiteral("0"));
    height_->setText(QStringLiteral("0"));
  }
  const auto validator = [this](const std::string&, const std::string& text, std::string& message) {
    if (!page) {
      message = "无效参数.";
      return false;
    }
    return ValidatePageSize(text, message);
  };
  width_->validator = validator;
  height_->validator = validator;
  width_->formatter = [this](const std::string&, std::string& text) { SetPageWidth(text); };
  height_->formatter = [this](const std::string&, std::string& text) { SetPageHeight(text); };

  if (page) SelectComboByData(*userLevel_, page->accessPermission);
}

bool CDlgProtPage::RenamePageName(const std::string& text, std::string& message) {
  // No message: the tip then reads "未知原因.".
  if (!page) return false;
  // Its name may belong to another page by now.
  if (page->deleted) {
    message = "此页面已从工程中删除.";
    return false;
  }
  const std::string oldName = page->name;
  const int code = QlEProject::Instance().RenamePage(oldName, text);
  if (code != QlEProject::kRenameOk) {
    message = GetRenamePageMessage(code);
    return false;
  }
  std::string newName = text;
  TrimPageName(newName);
  NotifyListeners(PageListener::GetRegistry(),
                  [&](PageListener* listener) { listener->OnPageRenamed(oldName, newName); });
  return true;
}

void CDlgProtPage::StorePageName(std::string& text) {
  TrimPageName(text);
  if (page) page->name = text;
}

void CDlgProtPage::SetPageColour(uint32_t colour) {
  if (!page) return;
  page->backgroundColour = static_cast<int32_t>(colour);
  AnnouncePageChanged();
}

void CDlgProtPage::SetPageWidth(const std::string& text) {
  if (!page) return;
  page->rect.right = page->rect.left + PageSizeOf(text);
  AnnouncePageChanged();
  UpdateScrollRange(contentHeight, height());
}

void CDlgProtPage::SetPageHeight(const std::string& text) {
  if (!page) return;
  page->rect.bottom = page->rect.top + PageSizeOf(text);
  AnnouncePageChanged();
  UpdateScrollRange(contentHeight, height());
}

void CDlgProtPage::AnnouncePageChanged() {
  PageProperties properties;
  properties.backgroundColor = page->backgroundColour;
  properties.rect = {page->rect.left, page->rect.top, page->rect.right, page->rect.bottom};
  PageListener::NotifyPageChanged(page->name, properties);
  NotifyChanged();
}

bool CDlgProtPage::ValidatePageSize(const std::string& text, std::string& message) {
  UiRule rule("数据");
  rule.AddSegment(new NsUiRule::UiRuleSegFloatRange(kMinPageSize, 0.0, NsUiRule::kBoundLower, 1));
  return rule.Check(text, message);
}

float CDlgProtPage::PageSizeOf(const std::string& text) {
  const double value = ParseDecimalText(text);
  // Whatever the text, the page keeps finite coordinates.
  constexpr double kLargest = std::numeric_limits<float>::max();
  if (!(value < kLargest)) return std::numeric_limits<float>::max();
  if (!(value > -kLargest)) return -std::numeric_limits<float>::max();
  return static_cast<float>(value);
}

}  // namespace NsOvrin
