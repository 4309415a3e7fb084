#include "dialogs/CDlgProtMultFuncBtn.h"

#include <QComboBox>
#include <QPushButton>

#include "QlUiElem/QlUiButton.h"
#include "compiler/QlMultFuncBtnIo.h"
#include "dialogs/ButtonLookOps.h"
#include "dialogs/CtrlQlFuncList.h"
#include "dialogs/ProtFillers.h"
#include "wui/DlgItem.h"

namespace NsOvrin {

using NsQlUiElem::QlUiButton;

namespace {

template <class T>
T* Make(QWidget* parent, int id, const QRect& rect) {
  auto* control = new T(parent);
  NsWui::SetDlgItemId(control, id);
  control->setGeometry(rect);
  return control;
}

}  // namespace

CDlgProtMultFuncBtn::CDlgProtMultFuncBtn(QWidget* parent) : ProtDialog(parent, *this) {
  int y = 4;
  look_ = std::make_unique<ButtonLookGroup>(this, *this, loading, &y);

  y = AddGroup(IDC_LINE_STYLE, IDC_CAPTION_STYLE, "按钮样式", y);
  style_ = Make<QComboBox>(this, IDC_STYLE, QRect(kMargin, y, 130, 22));
  y += 30;

  y = AddGroup(IDC_LINE_LEVEL, IDC_CAPTION_LEVEL, "权限", y);
  userLevel_ = Make<QComboBox>(this, IDC_USER_LEVEL, QRect(kMargin, y, 120, 22));
  y += 30;

  y = AddGroup(IDC_LINE_VISIB, IDC_CAPTION_VISIB, "可见性", y);
  visibility_ = std::make_unique<VisibilityBlock>(this, *this, kMargin, y, kInnerWidth);
  y += VisibilityBlock::kHeight;

  y = AddGroup(IDC_LINE_FUNCS, IDC_CAPTION_FUNCS, "指令", y);
  auto* deleteRows = Make<QPushButton>(this, IDC_DELETE_ROWS, QRect(kMargin, y, 120, 24));
  deleteRows->setText(QStringLiteral("删除勾选的行"));
  auto* showFuncs = Make<QPushButton>(this, IDC_SHOW_FUNCS, QRect(kMargin + 130, y, 120, 24));
  showFuncs->setText(QStringLiteral("查看指令"));
  y += 32;
  funcTable = Make<CtrlQlFuncList>(this, IDC_FUNC_TABLE, QRect(kMargin, y, kInnerWidth, 190));
  y += 196;

  connect(style_, &QComboBox::activated, this, [this] {
    if (style_->currentIndex() < 0) return;
    ApplyButtonStyle(*this, style_->currentData().toInt());
  });
  connect(userLevel_, &QComboBox::activated, this, [this] {
    if (loading) return;
    ApplyPermission(*this, SelectedLevel(*userLevel_));
  });
  // The lines are part of the element: an edit marks its page like any other.
  funcTable->linesChanged = [this] { NotifyChanged(); };
  connect(deleteRows, &QPushButton::clicked, this, [this] {
    if (funcTable->DeleteCheckedRows()) funcTable->ReloadRows();
  });
  connect(showFuncs, &QPushButton::clicked, this, [this] {
    // Modeless and independent of the page: it stays open across binds.
    if (QWidget* window = funcListWindow ? funcListWindow() : nullptr) window->show();
  });

  OnInitDialog();
  MeasureContent(y + 6);
}

CDlgProtMultFuncBtn::~CDlgProtMultFuncBtn() = default;

void CDlgProtMultFuncBtn::OnInitDialog() {
  look_->OnInitDialog();
  FillUserLevelCombo(*userLevel_);
  funcTable->SetupColumns();
}

void CDlgProtMultFuncBtn::Bind(const Selection& elems) {
  selection = elems;
  const auto anchored = GetAnchored();
  const auto ui = anchored ? std::dynamic_pointer_cast<QlUiButton>(anchored->GetUi()) : nullptr;
  loading = true;

  look_->Bind();
  FillButtonStyleCombo(*style_, ui ? ui->data.borderStyle : 0);
  // Only the anchored button's lines, whatever else is selected.
  boundIo_ = anchored ? std::dynamic_pointer_cast<NsQlElemIo::QlMultFuncBtnIo>(anchored->GetIo()) : nullptr;
  funcTable->_exprArr = boundIo_ ? &boundIo_->funcList.sourceLines : nullptr;
  funcTable->ReloadRows();
  if (anchored) SelectComboByData(*userLevel_, ui ? ui->data.accessPermission : 0);
  LoadVisibilityBlock(this, *this, *visibility_);

  loading = false;
}

}  // namespace NsOvrin
