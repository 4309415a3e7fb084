#include "wui/RtConfirmEdit.h"

#include "wui/RtEdit.h"

namespace NsOvrin::NsWui {

RtConfirmEdit::RtConfirmEdit(CConfirmEditCtrl* control) : control_(control) {
  if (control == nullptr) return;
  control->focusLostHook = [this](CConfirmEditCtrl&) {
    if (!hiding_) Close();
  };
}

RtConfirmEdit::~RtConfirmEdit() { DestroyWnd(); }

int RtConfirmEdit::GetCtrlId() const { return WindowControlId(control_); }

void RtConfirmEdit::Show(QWidget* owner, const WRect& cell, const std::string& text) {
  if (control_.isNull() || owner == nullptr) return;
  owner_ = owner;
  // An empty validator accepts every text.
  control_->validator = validator;
  // After an accepted confirmation: the text goes to the hooks, then the
  // control goes. Hiding may end the edit and clear the formatter; the
  // control runs it from a copy.
  control_->formatter = [this](const std::string&, std::string& confirmed) {
    Commit(confirmed);
    HideControl();
  };
  control_->cancelHook = [this] { HideControl(); };
  control_->setText(QString::fromStdString(text));
  control_->setGeometry(cell.ToQRect());
  control_->raise();
  control_->StartEditing();
}

void RtConfirmEdit::Hide() {
  if (control_.isNull()) return;
  hiding_ = true;
  control_->LeaveEditMode(false);
  if (const auto cancel = control_->cancelHook) cancel();
  control_->hide();
  control_->formatter = nullptr;
  hiding_ = false;
}

void RtConfirmEdit::DestroyWnd() {
  if (control_.isNull()) return;
  CConfirmEditCtrl* control = control_;
  control_.clear();
  control->focusLostHook = nullptr;
  control->formatter = nullptr;
  control->cancelHook = nullptr;
  control->validator = nullptr;
  delete control;
}

void RtConfirmEdit::HideControl() {
  if (control_.isNull()) return;
  // The focus goes back to the grid; losing it closes the edit.
  if (control_->hasFocus() && !owner_.isNull()) owner_->setFocus();
  if (!control_.isNull()) control_->hide();
}

}  // namespace NsOvrin::NsWui
