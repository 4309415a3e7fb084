#include "wui/RtEdit.h"

#include <QFocusEvent>

namespace NsOvrin::NsWui {

int WindowControlId(const QWidget* window) {
  if (window == nullptr) return 0;
  bool ok = false;
  const int id = window->objectName().toInt(&ok);
  return ok ? id : 0;
}

void RtEditWindow::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (onFocusOut) onFocusOut(event);
}

RtEdit::RtEdit(RtEditWindow* window) : window_(window) {
  if (window == nullptr) return;
  QObject::connect(window, &QLineEdit::textChanged, window, [this] { OnChange(); });
  window->onFocusOut = [this](QFocusEvent* event) {
    // A context menu opening is no focus loss; hiding the editor is none
    // either, its text is in the cell already.
    if (event->reason() == Qt::PopupFocusReason || hiding_) return;
    if (window_ && window_->window()->isHidden()) {
      // The dialog is closing, perhaps being destroyed with its owner's
      // members already gone: the text went into the cell with the last
      // keystroke, so only the edit ends.
      Close();
      return;
    }
    OnKillFocus();
  };
}

RtEdit::~RtEdit() { DestroyWnd(); }

int RtEdit::GetCtrlId() const { return WindowControlId(window_); }

void RtEdit::Show(QWidget* owner, const WRect& cell, const std::string& text) {
  if (owner == nullptr || window_.isNull()) return;
  owner_ = owner;
  const QString qtext = QString::fromStdString(text);
  // Setting an equal text raises no change, which then must not be
  // swallowed from the user's first keystroke.
  suppressNextChange = window_->text() != qtext;
  window_->setText(qtext);
  window_->setCursorPosition(static_cast<int>(qtext.size()));
  window_->setGeometry(cell.ToQRect());
  window_->show();
  window_->raise();
  window_->setFocus();
}

void RtEdit::Hide() {
  if (window_.isNull()) return;
  hiding_ = true;
  // The focus goes back to the grid rather than to some other control.
  if (window_->hasFocus() && !owner_.isNull()) owner_->setFocus();
  window_->hide();
  hiding_ = false;
}

void RtEdit::DestroyWnd() {
  if (window_.isNull()) return;
  RtEditWindow* window = window_;
  window_.clear();
  window->onFocusOut = nullptr;
  delete window;
}

void RtEdit::OnChange() {
  if (suppressNextChange) {
    suppressNextChange = false;
    return;
  }
  if (window_.isNull()) return;
  std::string text = window_->text().toStdString();
  Commit(text);
}

void RtEdit::OnKillFocus() {
  if (window_.isNull()) return;
  std::string text = window_->text().toStdString();
  Commit(text);
  Close();
}

}  // namespace NsOvrin::NsWui
